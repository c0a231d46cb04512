#pragma once
// The Symbol font of reference text: Greek letters and mathematical signs are written as bytes
// between "#G" codes, and the font draws the byte of a Latin letter as the Greek letter in its
// place ("#Gb#G" is a beta). Formats without a font switch write the Greek letters themselves.

#include <string>

namespace cvx {

// The Greek letter the Symbol font draws for a Latin letter; 0 for any other byte.
char32_t SymbolGreekLetter(unsigned char latin);

// The character the Symbol font draws for a byte: a Greek letter, a mathematical sign, or the
// code page 1252 character of any other byte (digits and most punctuation look the same).
char32_t SymbolCharacter(unsigned char byte);

// The Symbol-font byte of a Greek letter or mathematical sign; 0 when it has none.
unsigned char SymbolFontByte(char32_t codePoint);

// One Symbol-font character as markup: "#G" + byte + "#G".
std::string SymbolMarkup(unsigned char symbolByte);

} // namespace cvx
