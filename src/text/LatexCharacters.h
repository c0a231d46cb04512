#pragma once
// LaTeX's spellings of single characters: the commands that stand for a character of their own
// (\ss, \AA, \dag, \alpha, \leq ...) and the accent commands (\'{e}, \c{c} ...) with the
// combining mark each puts on its argument. The reading of BibTeX fields and the LaTeX writer
// spell characters by this one table.

#include <string_view>

namespace cvx {

// The character a command (its name without the backslash) stands for; 0 for any other name.
char32_t LatexCommandCharacter(std::string_view name);

// The command that writes a character (its name without the backslash); empty when LaTeX has
// none.
std::string_view LatexCommandFor(char32_t character);

// The combining mark an accent command puts on its argument; 0 for any other name.
char32_t LatexAccentMark(std::string_view name);

// The accent command that puts a combining mark on a letter; 0 when LaTeX has none.
char LatexAccentCommand(char32_t mark);

} // namespace cvx
