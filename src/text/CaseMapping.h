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

// Headline-style capitalisation of a title: the first letter of every word is raised, except in
// the minor words (articles, short prepositions and conjunctions: "a", "an", "and", "as", "at",
// "but", "by", "down", "for", "from", "in", "into", "nor", "of", "on", "onto", "or", "over", "so",
// "the", "till", "to", "up", "via", "with", "yet"), which stay in lower case unless they begin
// or end the title or follow a colon, "?", "!" or ". ". Nothing is lowered: a word that begins
// with a capital or holds one ("fMRI", "UniProt", "DNA") is left as it is. The parts of a
// hyphenated word are words of their own. Markup codes are stepped over, text in the Symbol font
// (Greek letters) is left alone, and in Shift-JIS mode the text is returned unchanged.
std::string HeadlineCase(std::string_view text);

// Two upper-case hexadecimal digits.
std::string HexByte(unsigned char b);

} // namespace cvx
