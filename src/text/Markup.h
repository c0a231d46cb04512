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

// A complete RTF document for the marked-up text.
std::string CodesToRtf(std::string_view text);

} // namespace cvx
