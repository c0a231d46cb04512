#pragma once
// The inline markup of reference text ("#B" bold, "#I" italic, "#L" line break, ...) and its
// conversion to plain text and RTF. The LaTeX converters are in LatexText.h.

#include <string>
#include <string_view>

namespace cvx {

// Code letters that the plain-text and LaTeX converters recognise.
bool IsMarkupLetter(char c);

std::string CodesToPlainText(std::string_view text);
std::string RemoveStyleCodes(std::string_view text);
std::string RemoveExportCodes(std::string_view text);

// A complete RTF document for the marked-up text. Letters in the Symbol font are written as the
// Greek letters they stand for (Unicode escapes), with the letter itself as the fallback that
// older readers draw in the Symbol font.
std::string CodesToRtf(std::string_view text);

// The RTF escape of a Unicode character, "\u945" (signed 16-bit, as RTF wants it), without the
// fallback character that must follow it.
std::string RtfUnicodeEscape(char32_t ch);

} // namespace cvx
