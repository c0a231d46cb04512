#pragma once
// The inline markup of reference text ("#B" bold, "#I" italic, "#L" line break, ...) and its
// conversion to plain text and RTF. The LaTeX converters are in LatexText.h.

#include <string>
#include <string_view>

namespace cvx {

// Code letters that the plain-text and LaTeX converters recognise.
bool IsMarkupLetter(char c);

std::string CodesToPlainText(std::string_view text);
// Plain text that keeps the layout codes: "#T" becomes a tab and "#L" CR LF; the other codes go.
std::string CodesToPlainLayout(std::string_view text);
std::string RemoveStyleCodes(std::string_view text);
std::string RemoveExportCodes(std::string_view text);

// A complete RTF document for the marked-up text. Letters in the Symbol font are written as the
// Greek letters they stand for (Unicode escapes), with the letter itself as the fallback that
// older readers draw in the Symbol font.
std::string CodesToRtf(std::string_view text);

// The RTF of marked-up text for inside a document: escaped text in style groups, every group
// closed at its end, "#L" written as `lineBreak`. The Symbol font is font 3 ("\f3"), which the
// document's font table must name.
std::string CodesToRtfFragment(std::string_view text, std::string_view lineBreak);

// The RTF escape of a Unicode character, "\u945" (signed 16-bit, as RTF wants it), without the
// fallback character that must follow it.
std::string RtfUnicodeEscape(char32_t ch);

} // namespace cvx
