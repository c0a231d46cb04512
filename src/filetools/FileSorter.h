#pragma once
// Sorting a reference file into a new file, or into itself, by one of the seven orders, with the
// suspected duplicates dropped or kept and marked. The thread is TVoxSort; the command line calls
// SortReferenceFile directly.

#include "refstore/OrderFile.h"
#include "refstore/SortOrders.h"
#include "text/Collation.h"
#include "text/JobThread.h"
#include "text/Outcome.h"

#include <string>
#include <vector>

namespace cvx {

class FileSystem;
class JournalLookup;
class Progress;

struct SortRequest {
    std::string source;
    std::string destination; // may be the source itself: the file is sorted in place
    DisplayOrder order = DisplayOrder::AuthorYear;
    bool keepDuplicates = false; // keep suspected duplicates, marked, instead of dropping them
};

// What a sort takes from the settings (JobOptions::Sort).
struct SortOptions {
    Collation collation = Collation::English;                   // "Sorts\Character sorting"
    DuplicateTest duplicates = DuplicateTest::SourceAndAuthors; // "Sorts\Duplicate account"
    const JournalLookup* journals = nullptr;                    // journal keys; null: as stored
};

struct SortReport {
    Outcome outcome;      // failed or aborted: the destination (and the source) are as they were
    bool inPlace = false; // the destination was the source
    int references = 0;   // in the source, deleted ones included
    int written = 0;      // references in the sorted file
    int duplicates = 0;   // suspected duplicates: dropped, or kept with the marker
    int deleted = 0;      // deleted references, which are not written
    // References that could not be parsed (numbers from 1, file order): they are written as they
    // were stored and never count as duplicates.
    std::vector<int> unparsed;
};

// Sorts `request.source` into `request.destination`. The destination is written beside its name
// and takes it only when complete (an old file of that name is kept as "bak"); sorting in place
// also keeps the "bak" before that as "~ba". The map, tag and order files of the destination are
// removed. Progress: status texts and the bar for reading, sorting and writing; an abort leaves
// every file as it was.
SortReport SortReferenceFile(FileSystem& fs, const SortRequest& request, const SortOptions& options,
                             Progress& progress);

// The file-sorting thread; one runs at a time.
class TVoxSort : public JobThread<SortReport> {
public:
    TVoxSort(FileSystem& fs, SortRequest request, SortOptions options, Progress& progress);
};

} // namespace cvx
