#pragma once
// Year ranges of the indexed search: a term such as "1985-90", "1990-", "-1990", "<1990" or
// ">1990" names the years from 1000 to 2099 it covers, and a range is looked up as the fewest
// year prefixes that cover it (1990..2009 as 199 and 200).

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

inline constexpr int kFirstRangeYear = 1000;
inline constexpr int kLastRangeYear = 2099;

struct YearRange {
    int first = 0;
    int last = 0;
    char sign = '-'; // '-', '<' or '>'
};

// Digits and blanks around exactly one "-", "<" or ">": "A-B" (a B of fewer than four digits
// replaces as many trailing digits of A, moved up a step when that falls below A), "A-", "-B",
// "<B" and ">A". False for any other text and for years outside 1000..2099 or in wrong order.
bool ParseYearRange(std::string_view text, YearRange& range);

// The prefixes that cover the years first..last: from the first year on, each the current year
// divided by the largest power of ten that divides it and keeps the step inside the range.
std::vector<std::string> YearPrefixes(int first, int last);

} // namespace cvx
