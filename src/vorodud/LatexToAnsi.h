#pragma once
// The text of a BibTeX field in the program's character set: LaTeX accents, special letters,
// dashes, quotes and Greek letters become code page 1252 characters or Symbol markup (through
// AnsiWriter), \emph, \textbf, superscripts and subscripts become markup codes, and braces that
// only protect capitals disappear.

#include <string>
#include <string_view>

namespace cvx::vorodud {

// `text` is code page 1252 (the source after decoding); the result is too.
std::string LatexToAnsi(std::string_view text);

} // namespace cvx::vorodud
