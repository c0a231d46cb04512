#pragma once
// Greek letters of the Symbol font: the markup code "#G" makes the following Latin letters stand
// for the Greek letters that the Symbol font draws in their place. Output that cannot rely on the
// font writes the Greek letters themselves (RTF as Unicode characters).

namespace cvx {

// The Greek letter a Latin letter stands for in the Symbol font; 0 for any other byte.
char32_t SymbolGreekLetter(unsigned char latin);

} // namespace cvx
