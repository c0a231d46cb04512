#include "refstore/SortOrders.h"

#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// -1, 0 or 1 as a sorts before, equals or sorts after b.
int Compare(std::int32_t a, std::int32_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int Compare(Collation collation, std::string_view a, std::string_view b) {
    const int c = CompareKeys(collation, a, b);
    return c == kSortsBefore ? -1 : c == kSortsAfter ? 1 : 0;
}

// The levels of an order, the first that differs deciding.
int CompareLevels(DisplayOrder order, const TSortRec& a, const TSortRec& b, Collation c) {
    int r = 0;
    auto level = [&r](int next) {
        if (r == 0) {
            r = next;
        }
    };
    switch (order) {
    case DisplayOrder::AuthorYear:
        level(Compare(c, a.authorKey, b.authorKey));
        level(Compare(a.year, b.year));
        level(Compare(c, a.journalKey, b.journalKey));
        break;
    case DisplayOrder::YearAscending:
    case DisplayOrder::YearDescending:
        level(order == DisplayOrder::YearAscending ? Compare(a.year, b.year)
                                                   : Compare(b.year, a.year));
        level(Compare(c, a.authorKey, b.authorKey));
        level(Compare(c, a.journalKey, b.journalKey));
        break;
    case DisplayOrder::YearJournal:
        level(Compare(a.year, b.year));
        level(Compare(c, a.journalKey, b.journalKey));
        break;
    case DisplayOrder::JournalYear: // the year is not compared
        level(Compare(c, a.journalKey, b.journalKey));
        break;
    case DisplayOrder::IdentificationString:
        level(Compare(c, a.idString, b.idString));
        level(Compare(a.year, b.year));
        break;
    case DisplayOrder::Original:
        return Compare(a.index, b.index);
    }
    level(Compare(a.volume, b.volume));
    level(Compare(a.pageFirst, b.pageFirst));
    level(Compare(b.length, a.length)); // the longer block first
    level(Compare(a.index, b.index));
    return r;
}

} // namespace

namespace {

// A number as four bytes that compare bytewise as the numbers do (or the other way round when
// `descending`).
void AppendNumber(std::int32_t value, bool descending, std::string& key) {
    std::uint32_t bits = static_cast<std::uint32_t>(value) ^ 0x80000000U;
    if (descending) {
        bits = ~bits;
    }
    for (int shift = 24; shift >= 0; shift -= 8) {
        key += static_cast<char>((bits >> shift) & 0xFFU);
    }
}

} // namespace

void AppendOrderKey(DisplayOrder order, const TSortRec& r, Collation c, std::string& key) {
    // The same levels as CompareLevels, in the same order.
    switch (order) {
    case DisplayOrder::AuthorYear:
        AppendCollationKey(c, r.authorKey, key);
        AppendNumber(r.year, false, key);
        AppendCollationKey(c, r.journalKey, key);
        break;
    case DisplayOrder::YearAscending:
    case DisplayOrder::YearDescending:
        AppendNumber(r.year, order == DisplayOrder::YearDescending, key);
        AppendCollationKey(c, r.authorKey, key);
        AppendCollationKey(c, r.journalKey, key);
        break;
    case DisplayOrder::YearJournal:
        AppendNumber(r.year, false, key);
        AppendCollationKey(c, r.journalKey, key);
        break;
    case DisplayOrder::JournalYear:
        AppendCollationKey(c, r.journalKey, key);
        break;
    case DisplayOrder::IdentificationString:
        AppendCollationKey(c, r.idString, key);
        AppendNumber(r.year, false, key);
        break;
    case DisplayOrder::Original:
        AppendNumber(r.index, false, key);
        return;
    }
    AppendNumber(r.volume, false, key);
    AppendNumber(r.pageFirst, false, key);
    AppendNumber(r.length, true, key);
    AppendNumber(r.index, false, key);
}

bool SortsBefore(DisplayOrder order, const TSortRec& a, const TSortRec& b, Collation collation) {
    return CompareLevels(order, a, b, collation) < 0;
}

bool SuspectedDuplicate(const TSortRec& earlier, const TSortRec& later, DuplicateTest test,
                        Collation collation) {
    return earlier.year == later.year && earlier.volume == later.volume &&
           earlier.pageFirst == later.pageFirst &&
           Compare(collation, earlier.journalKey, later.journalKey) == 0 &&
           (test == DuplicateTest::SourceOnly ||
            Compare(collation, earlier.authorKey, later.authorKey) == 0);
}

// The command line's short names of the orders, in their order.
constexpr std::string_view kOrderKeys[] = {
    "author", "year", "year-descending", "year-journal", "journal", "identification", "original"};

std::optional<DisplayOrder> SortOrderByName(std::string_view name) {
    for (int i = 0; i <= static_cast<int>(DisplayOrder::Original); ++i) {
        if (name == kOrderKeys[i]) {
            return static_cast<DisplayOrder>(i);
        }
    }
    if (const std::optional<int> n = ParseInt(name, true)) {
        return *n >= 0 && *n <= static_cast<int>(DisplayOrder::Original)
                   ? std::optional(static_cast<DisplayOrder>(*n))
                   : std::nullopt;
    }
    const std::string wanted = UpperText(TrimView(name));
    for (int i = 0; i <= static_cast<int>(DisplayOrder::Original); ++i) {
        if (UpperText(Message(msg::RefSorting::AuthorYear + i)) == wanted) {
            return static_cast<DisplayOrder>(i);
        }
    }
    return std::nullopt;
}

} // namespace cvx
