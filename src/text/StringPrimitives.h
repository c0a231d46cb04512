#pragma once
// Small string primitives over code page 1252 (or Shift-JIS) byte text.
//
// A "blank" is any byte of value 32 or less. Positions that these functions take or return are
// 1-based, as the callers count characters; a 0-based index is called an index.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

constexpr bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
// The value of a hexadecimal digit (either case); -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string_view TrimView(std::string_view text);
// The text without its final blanks, for trimming a string in place.
std::string_view TrimRightView(std::string_view text);
std::string TrimBlanks(std::string_view text);
std::string TrimLeftBlanks(std::string_view text);
std::string TrimRightBlanks(std::string_view text);
// Trims a string of the caller's own where it is, without a copy.
void TrimBlanksInPlace(std::string& text);

// Deletes `count` characters at 1-based position `pos`, then trims.
std::string DeleteAndTrim(std::string_view text, std::size_t pos, std::size_t count);

// Trims, then removes one final ".".
std::string DropFinalPeriod(std::string_view text);

// The text between the first "(" and its matching ")", nesting counted; for a parenthesis
// that is never closed, the text after "(" up to the first space; "" without "(".
std::string ParenContent(std::string_view text);

struct ListItem {
    std::string item;
    std::size_t separator; // index of the separating comma, or the text's length without one
};
// The first item of a comma-separated list; commas inside double quotes do not separate and
// double quotes around the item are removed.
ListItem FirstListItem(std::string_view text);

bool IsAllDigits(std::string_view text); // of the trimmed text; the empty text counts
bool HasDigit(std::string_view text);

// Every run of digits becomes one byte 0xFF, so texts that differ only in their numbers match.
std::string DigitPattern(std::string_view text);

// The first run of digits plus one, zero-padded to the run's former width (RN0099 -> RN0100).
std::string IncrementNumber(std::string_view text);

// The lines of a text. A line ends at CR LF, LF or a lone CR; a final line end begins no
// further line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The blank-separated words of a text.
std::vector<std::string_view> BlankSeparatedWords(std::string_view text);

// The first blank-separated word of exactly eight digits, else the first word.
std::string FindEightDigitWord(std::string_view text);

std::string FirstWord(std::string_view text);

// Page ranges: drops ",", ")", "(", "." and ";" and completes a short last page (123-9 -> 123-129)
// as CompleteLastPage does.
std::string NormalizePages(std::string_view text);

// The last page of a range written in full: a last page of digits that is shorter than the first
// page takes the first page's leading characters ("123", "9" -> "129"; "S12", "5" -> "S15"), one
// step higher where the digits alone would fall below the first page ("199", "02" -> "202").
// Any other last page (roman numerals, "e19", one as long as the first) is returned as it is.
std::string CompleteLastPage(std::string_view first, std::string_view last);

// 1-based position at which to break a line of at most `limit` characters.
std::size_t BreakPosition(std::string_view text, std::size_t limit);

// Joins soft-wrapped lines: a CR LF not followed by a space becomes one space.
std::string JoinSoftBreaks(std::string_view text);

// The n-th (1-based) maximal run of bytes that are not in `separators`; "" when there are fewer.
std::string NthWord(std::size_t n, std::string_view text, std::string_view separators);

// The ISSN syntax: four digits, "-", three digits and a digit or a capital "X" ("0123-976X").
bool IsValidIssn(std::string_view text);

// A signed decimal integer after trimming. The lenient form reads an empty text as 0; the strict
// form refuses it. Any other character, or a value outside int, fails.
std::optional<int> ParseInt(std::string_view text, bool strict = false);

// "English" -> "Eng": the three-letter code of a language name the text begins, else the text.
std::string LanguageCode(std::string_view text);
// "Fre" -> "French": the language of the language list whose name the text begins; empty when
// there is none.
std::string LanguageName(std::string_view text);

std::string TidyJapaneseText(std::string_view text);

// True for a text shaped like a full file path ("C:\dir\name.ext" or "/dir/name.ext").
bool LooksLikePath(std::string_view text);

// The target of a link written in running text: brackets removed, cut before "(", ")" and ";".
std::string LinkTarget(std::string_view text);

// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

bool StartsWith(std::string_view text, std::string_view prefix);

} // namespace cvx
