#pragma once
// What the desktop program puts on the clipboard for a text with markup codes: the text as stored
// in the program's own format, the plain text (or LaTeX) and Rich Text, each as its setting says.

#include <optional>
#include <string>
#include <string_view>

namespace cvx {

struct ClipboardText {
    std::optional<std::string> stored; // code page 1252 with its codes; not with LaTeX
    std::string plain;                 // UTF-8: LaTeX when it is enabled, else the plain text
    std::optional<std::string> rtf;    // not with LaTeX, nor while RTF is suppressed
};

enum class TextEncoding { Cp1252, Utf8 };

// The clipboard's forms of `text`. UTF-8 text (pseudo-citations, which name their file as the
// system does) keeps its characters in the plain text; RTF and LaTeX, which are made from code
// page 1252, get a "?" for a character the code page lacks.
ClipboardText ClipboardForms(std::string_view text, TextEncoding encoding, bool latex,
                             bool suppressRtf);

} // namespace cvx
