#pragma once
// LaTeX output of marked-up text: the converter for lists and the clipboard, the escaping used
// inside LaTeX manuscripts and its inverse.

#include <string>
#include <string_view>

namespace cvx {

// The three-byte markers the formatter leaves for an italic and a plain "et al." in LaTeX mode.
inline constexpr std::string_view kItalicEtAlMarker = "\xFF\xFF\xFF";
inline constexpr std::string_view kPlainEtAlMarker = "\xFE\xFE\xFE";

std::string CodesToLatex(std::string_view text);
std::string LatexEscapeInPlace(std::string_view text);
std::string LatexUnescape(std::string_view text);

// The LaTeX form of one character written in the Symbol font.
std::string LatexSymbol(unsigned char c);

// The LaTeX form of one byte 0x80..0xFF (other bytes come back as themselves).
std::string LatexChar(unsigned char c);

} // namespace cvx
