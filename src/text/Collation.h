#pragma once
// The process-wide character collation that every sort of the program compares keys with.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// The collation choices, in the order of their names in the catalogue.
enum class Collation : int {
    Swedish = 0,
    English = 1,
    JapaneseShiftJis = 2,
    JapanesePronounced = 3,
    DanishAaLast = 4,
    Norwegian = 5,
    Finnish = 6,
    Spanish = 7,
    German = 8,
    DanishAaFirst = 9,
};
inline constexpr int kCollationCount = 10;

// Results of CompareKeys.
inline constexpr int kSortsBefore = 0;
inline constexpr int kSortsEqual = 1;
inline constexpr int kSortsAfter = 2;

// The collation of a stored value (a setting, a format file's byte); values outside 0..9 are
// English.
Collation CollationFromValue(int value);

// The collation a user names: its number (0 to 9) or its name in the catalogue
// (GMSG_CharSorting) in any letter case, as code page 1252; nullopt for anything else.
std::optional<Collation> CollationByName(std::string_view name);
// The catalogue's names of the collations in their order, separated by ", ", for messages.
std::string CollationNames();

// Puts a collation into effect for every later comparison.
void SelectCollation(Collation collation);
Collation SelectedCollation();

// Compares two keys with the collation in effect: kSortsBefore, kSortsEqual or kSortsAfter.
int CompareKeys(std::string_view a, std::string_view b);

// Compares with a given collation. A sort takes the collation in effect once, when it starts, and
// compares with it throughout, so a selection made meanwhile (on another thread) cannot change
// the order in the middle of the sort.
int CompareKeys(Collation collation, std::string_view a, std::string_view b);

// Appends the collation key of `text` to `key`: bytes that compare bytewise (a shorter run of
// bytes first) as CompareKeys compares the texts, closed by a mark that sorts before anything a
// key can go on with, so that the keys of several texts set one after another compare level by
// level. Sorting by prepared keys spares the collation at every comparison.
void AppendCollationKey(Collation collation, std::string_view text, std::string& key);

// Sorts keys with a given collation; equal keys keep their order.
void SortKeys(Collation collation, std::vector<std::string>& keys);

// The rank of a byte in a collation's table (0: no rank), for tests and diagnostics.
int CollationRank(Collation collation, unsigned char byte);

} // namespace cvx
