#include "search/YearRange.h"

#include "text/StringPrimitives.h"

#include <algorithm>

namespace cvx {

namespace {

// The digits of a side with its blanks left out; false when it holds anything else.
bool Digits(std::string_view side, std::string& digits) {
    digits.clear();
    for (const char c : side) {
        if (IsDigit(c)) {
            digits.push_back(c);
        } else if (!IsBlank(c)) {
            return false;
        }
    }
    return digits.size() <= 4;
}

bool FourDigitYear(const std::string& digits, int& year) {
    if (digits.size() != 4) {
        return false;
    }
    year = std::stoi(digits);
    return year >= kFirstRangeYear && year <= kLastRangeYear;
}

} // namespace

bool ParseYearRange(std::string_view text, YearRange& range) {
    const std::size_t at = text.find_first_of("-<>");
    if (at == std::string_view::npos ||
        text.find_first_of("-<>", at + 1) != std::string_view::npos) {
        return false;
    }
    std::string before;
    std::string after;
    if (!Digits(text.substr(0, at), before) || !Digits(text.substr(at + 1), after)) {
        return false;
    }
    range.sign = text[at];
    if (range.sign == '<' || range.sign == '>') {
        int year = 0;
        if (!before.empty() || !FourDigitYear(after, year)) {
            return false;
        }
        range.first = range.sign == '<' ? kFirstRangeYear : year + 1;
        range.last = range.sign == '<' ? year - 1 : kLastRangeYear;
        return range.first <= range.last;
    }
    if (before.empty() && after.empty()) {
        return false;
    }
    if (before.empty()) {
        range.first = kFirstRangeYear;
        return FourDigitYear(after, range.last) && range.first <= range.last;
    }
    if (!FourDigitYear(before, range.first)) {
        return false;
    }
    if (after.empty()) {
        range.last = kLastRangeYear;
        return true;
    }
    // A short end replaces the start's last digits, one step higher when it would fall below.
    int step = 1;
    for (std::size_t i = 0; i < after.size(); ++i) {
        step *= 10;
    }
    range.last = range.first - range.first % step + std::stoi(after);
    if (range.last < range.first) {
        range.last += step;
    }
    return range.last <= kLastRangeYear;
}

std::vector<std::string> YearPrefixes(int first, int last) {
    std::vector<std::string> prefixes;
    for (int year = first; year <= last;) {
        int step = 1;
        while (year % (step * 10) == 0 && year + step * 10 - 1 <= last) {
            step *= 10;
        }
        prefixes.push_back(std::to_string(year / step));
        year += step;
    }
    return prefixes;
}

} // namespace cvx
