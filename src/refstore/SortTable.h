#pragma once
// The sort table of a run: the sort record of every reference in its scope, read once through the
// const read of the file, and the sort of positions into it. Every sorter (file sorting, display
// orders, lists) reads and sorts through it, so they agree on keys, orders and duplicates.

#include "refstore/OrderFile.h"
#include "refstore/SortOrders.h"
#include "refstore/SortRec.h"
#include "text/Collation.h"
#include "text/Outcome.h"

#include <cstdint>
#include <vector>

namespace cvx {

class JournalLookup;
class Progress;
class ReferenceReader;

// A part of the progress bar that one step of a job fills: from `from` to `to` per mille.
struct ProgressSpan {
    int from = 0;
    int to = 1000;
    // The position `done` out of `total` of the step reaches.
    int At(unsigned long long done, unsigned long long total) const;
};

// The sort keys of the references of one run, in the order they were read.
class SortTable {
public:
    // What a row knows besides its keys.
    struct Row {
        TSortRec record;
        bool deleted = false; // a deleted reference
        bool ruined = false;  // its text could not be split into its fields
    };

    // Reads the rows of the references `indices` (absolute, in the order given) of `reader`, keys
    // made with `journals` (may be null) and `collation`. Reports the share read in `span` and
    // stops with an Aborted outcome when asked to.
    Outcome Read(const ReferenceReader& reader, const std::vector<int>& indices,
                 const JournalLookup* journals, Collation collation, Progress* progress,
                 ProgressSpan span);
    // Reads every reference of the file.
    Outcome ReadAll(const ReferenceReader& reader, const JournalLookup* journals,
                    Collation collation, Progress* progress, ProgressSpan span);

    int Size() const { return static_cast<int>(rows_.size()); }
    const Row& operator[](int position) const { return rows_[static_cast<std::size_t>(position)]; }
    Collation KeyCollation() const { return collation_; }

    // The positions 0..Size()-1 sorted by `order`, with the rows `last` (e.g. deleted references)
    // after all others in the same order. Reports the share sorted in `span`; false when aborted
    // (the positions are then only partly sorted).
    bool Sort(DisplayOrder order, Progress* progress, ProgressSpan span,
              std::vector<std::int32_t>& positions, bool deletedLast = false) const;

    // True when the row at `later` is a suspected duplicate of the row at `earlier` (deleted and
    // ruined references never are, nor have one).
    bool Duplicate(std::int32_t earlier, std::int32_t later, DuplicateTest test) const;

private:
    std::vector<Row> rows_;
    Collation collation_ = Collation::English;
};

} // namespace cvx
