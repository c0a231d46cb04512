#pragma once
// The Greek letters of the Symbol font (text/SymbolFont.h) in WordPerfect's Greek character set.

namespace cvx {

// The index of a Greek letter in WordPerfect's Greek character set (set 8); -1 when it has none.
int WordPerfectGreekIndex(char32_t greek);

} // namespace cvx
