#pragma once
// Conversion between code page 1252 byte text and UTF-8.
//
// The five bytes that code page 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 control characters of the same value, so every byte string round-trips.

#include <string>
#include <string_view>

namespace cvx {

char32_t Cp1252ToUnicode(unsigned char byte);

// The code page 1252 byte for a code point, or 0 when the code page has none (U+0000 aside).
unsigned char UnicodeToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view text);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// True when the text is well-formed UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view text);

// Characters that code page 1252 lacks become `replacement`; malformed UTF-8 bytes are read as
// code page 1252 bytes, so text that was never UTF-8 survives unchanged.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');

// True when every character of the UTF-8 text exists in code page 1252.
bool Utf8FitsCp1252(std::string_view text);

} // namespace cvx
