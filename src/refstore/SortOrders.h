#pragma once
// The orders that references are sorted in (the names of GMSG_RefSorting) and the rule that marks
// a suspected duplicate in a sorted sequence: the comparisons every sorter shares (file sorting,
// display orders, lists).

#include "refstore/OrderFile.h"
#include "refstore/SortRec.h"
#include "text/Collation.h"

#include <optional>
#include <string>
#include <string_view>

namespace cvx {

// True when `a` sorts before `b` in `order`, text keys compared with `collation`, numbers as
// integers. References whose keys are all equal come longer block first, then in file order, so
// every order is total and a sort gives the same sequence every time.
bool SortsBefore(DisplayOrder order, const TSortRec& a, const TSortRec& b, Collation collation);

// Appends the key of `record` in `order` to `key`: bytes that compare bytewise (a shorter run of
// bytes first) as SortsBefore orders the records, so that a sort compares prepared bytes instead
// of collating at every comparison.
void AppendOrderKey(DisplayOrder order, const TSortRec& record, Collation collation,
                    std::string& key);

// What the duplicate rule compares besides year, journal key, volume and first page.
enum class DuplicateTest {
    SourceAndAuthors, // the author keys must agree too
    SourceOnly,       // the setting "Sorts\Duplicate account": authors are not compared
};

// True when `later`, right after `earlier` in a sorted sequence, is a suspected duplicate of it:
// the same year, author key (unless SourceOnly), journal key, volume and first page.
bool SuspectedDuplicate(const TSortRec& earlier, const TSortRec& later, DuplicateTest test,
                        Collation collation);

// The order a user names: its number (0 to 6), its short name ("author", "year",
// "year-descending", "year-journal", "journal", "identification", "original") or its name in the
// catalogue (GMSG_RefSorting) in any letter case, as code page 1252; nullopt for anything else.
std::optional<DisplayOrder> SortOrderByName(std::string_view name);

} // namespace cvx
