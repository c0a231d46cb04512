#pragma once
// Greek letters of the Symbol font: the markup code "#G" makes the following Latin letters stand
// for the Greek letters that the Symbol font draws in their place. Formats without a font switch
// write the Greek letters themselves: RTF as Unicode characters, WordPerfect as characters of its
// Greek character set.

namespace cvx {

// The Greek letter a Latin letter stands for in the Symbol font; 0 for any other byte.
char32_t SymbolGreekLetter(unsigned char latin);

// The index of a Greek letter in WordPerfect's Greek character set (set 8); -1 when it has none.
int WordPerfectGreekIndex(char32_t greek);

} // namespace cvx
