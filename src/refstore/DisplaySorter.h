#pragma once
// Display sorting: the six sorted display orders of a reference file, computed once in the
// background and stored in its order file, so that a window switches orders by loading one
// array. While sorting it finds the suspected duplicates (in the author order), which the window
// offers to tag. The thread is TSortDisplay; the reference window starts it and handles its end.

#include "refstore/RefSet.h"
#include "refstore/SortOrders.h"
#include "text/Collation.h"
#include "text/JobThread.h"
#include "text/Outcome.h"

#include <memory>

namespace cvx {

class FileSystem;
class JournalLookup;
class Progress;
class ReferenceReader;

struct DisplaySortOptions {
    Collation collation = Collation::English; // "Interface\Display character sorting"
    DuplicateTest duplicates = DuplicateTest::SourceAndAuthors; // "Sorts\Duplicate account"
    const JournalLookup* journals = nullptr;                    // null: journal names as stored
};

struct DisplaySortReport {
    Outcome outcome;    // failed or aborted: the order file was left as it was
    RefSet duplicates;  // the suspected duplicates, by absolute index
    int references = 0; // in the file
};

// Sorts the references of `reader` into the six stored display orders (deleted references last in
// each) and writes them as the file's order file, all at once and only when the file still holds
// the text that was read; an abort or a failure leaves the order file as it was.
DisplaySortReport SortDisplayOrders(FileSystem& fs,
                                    const std::shared_ptr<const ReferenceReader>& reader,
                                    const DisplaySortOptions& options, Progress& progress);

// The display sorting thread: created suspended, resumed by the window.
class TSortDisplay : public JobThread<DisplaySortReport> {
public:
    TSortDisplay(FileSystem& fs, std::shared_ptr<const ReferenceReader> reader,
                 DisplaySortOptions options, Progress& progress);
};

} // namespace cvx
