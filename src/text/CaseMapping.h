#pragma once
// Case mapping of code page 1252 text by fixed tables, independent of any C library locale.

#include <string>
#include <string_view>

namespace cvx {

unsigned char UpperChar(unsigned char c);
unsigned char LowerChar(unsigned char c);
std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);

// As UpperText/LowerText, but in Shift-JIS mode double-byte characters and half-width
// katakana are stepped over unchanged and other bytes map with UpperChar/LowerChar.
std::string UpperTextJ(std::string_view text);
std::string LowerTextJ(std::string_view text);

// Two upper-case hexadecimal digits.
std::string HexByte(unsigned char b);

} // namespace cvx
