#pragma once
// WordPerfect's Greek character set (set 8): where a WordPerfect manuscript gets the Greek
// letters that the Symbol font draws in reference text (text/SymbolFont.h).

namespace cvx {

// The index of a Greek letter in WordPerfect's Greek character set; -1 when it has none.
int WordPerfectGreekIndex(char32_t greek);

} // namespace cvx
