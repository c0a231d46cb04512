#pragma once
// Field texts as the export layouts write them: flat single-line text in the program's code page
// (MEDLINE, RIS), or Unicode with the styles written in the layout's own way (BibTeX, CSL JSON).

#include <string>
#include <string_view>

namespace cvx {

// A field's text; the explicitly unknown field ("") is empty.
std::string_view KnownText(std::string_view field);

// The text of a field on one line (an explicitly unknown field is empty): markup codes removed,
// every line break and tab one blank, trimmed.
std::string FlatText(std::string_view field);
// FlatText without a copy: a view of the field itself when it only needs trimming (most fields),
// else of the text made in `room`, which the view needs as long as it is used.
std::string_view FlatView(std::string_view field, std::string& room);

// Appends the decimal digits of `n`.
void AppendNumber(std::string& out, int n);

// Appends `text` after `tag` as one line ending with CR LF; nothing for an empty text.
void AppendTaggedLine(std::string& out, std::string_view tag, std::string_view text);

// Appends `text` after `tag` in lines of at most `width` characters, broken at blanks where
// possible; the lines after the first begin with `continuation`. Every line ends with CR LF;
// nothing is appended for an empty text.
void AppendWrapped(std::string& out, std::string_view tag, std::string_view text,
                   std::string_view continuation, std::size_t width = 74);

// How a layout writes the styles of marked-up text and the characters it must escape.
struct UnicodeStyles {
    std::string_view italic[2]; // opening and closing
    std::string_view bold[2];
    std::string_view superscript[2];
    std::string_view subscript[2];
    std::string_view underline[2];
    // The layout's escape of a character (UTF-8); empty when the character stands for itself.
    std::string (*escape)(char32_t);
};

// Marked-up code page 1252 text as UTF-8: styles written as `styles` says (each one closed at the
// end when the text leaves it open), Symbol-font letters as the Greek letters they stand for, line
// breaks and tabs as one blank, other codes dropped; trimmed.
std::string StyledUnicode(std::string_view field, const UnicodeStyles& styles);

} // namespace cvx
