#include "shell/ClipboardText.h"

#include "text/Cp1252.h"
#include "text/LatexText.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// Screen and plain text show the italic "et al." marker of the formatter as " et al".
constexpr std::string_view kItalicEtAl = "\xFF\xFF\xFF";

} // namespace

ClipboardText ClipboardForms(std::string_view text, TextEncoding encoding, bool latex,
                             bool suppressRtf) {
    const std::string cp1252 =
        encoding == TextEncoding::Utf8 ? Utf8ToCp1252(text) : std::string(text);
    ClipboardText out;
    if (latex) {
        out.plain = Cp1252ToUtf8(CodesToLatex(cp1252));
        return out;
    }
    out.stored = cp1252;
    const std::string plain = CodesToPlainText(ReplaceAll(text, kItalicEtAl, " et al"));
    out.plain = encoding == TextEncoding::Utf8 ? plain : Cp1252ToUtf8(plain);
    if (!suppressRtf) {
        out.rtf = CodesToRtf(ReplaceAll(cp1252, kItalicEtAl, " et al"));
    }
    return out;
}

} // namespace cvx
