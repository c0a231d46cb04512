#pragma once
// Comparing two reference files: which references of a new file are already in a filter file.
// Two references are the same when their numeric year, volume and first page are equal and their
// titles and source titles agree. The filter file's keys, sorted, are kept beside it in its key
// file ("yvp") and built again only when its text changes. The thread is TVoxComp.

#include "refstore/RefSet.h"
#include "text/JobThread.h"
#include "text/Outcome.h"

#include <memory>
#include <string>
#include <vector>

namespace cvx {

class FileSystem;
class JournalLookup;
class Progress;
class ReferenceReader;

// What a comparison takes from the settings (JobOptions::Compare).
struct CompareOptions {
    const JournalLookup* journals = nullptr; // journal names compared by their database form
    bool ignoreJournalDatabase = false;      // "Journal names\Ignore database"
};

struct CompareReport {
    Outcome outcome;            // failed or aborted: the counts below are not complete
    RefSet common;              // over the new file: its references that the filter file holds
    int commonCount = 0;        // references of the new file in `common`
    int uniqueCount = 0;        // references of the new file that are neither deleted nor common
    bool keyFileReused = false; // the filter file's key file was current and was used
    // References of the new file that could not be parsed (numbers from 1): they count as unique
    // and are written with the unique references as they were stored.
    std::vector<int> unparsed;
    // The version of the new file that was compared; the results are written from it.
    std::shared_ptr<const ReferenceReader> newFile;
};

// Compares `newFile` with `filterFile`. Status texts and progress for building or loading the
// filter file's keys and for reading the new file; an abort stops at the next reference.
CompareReport CompareFiles(FileSystem& fs, const std::string& filterFile,
                           const std::string& newFile, const CompareOptions& options,
                           Progress& progress);

enum class CompareSelection { Common, Unique };

// Writes the common or the unique references of a comparison, in the new file's order and as they
// are stored, to the reference file `destination`: a new file (an existing one is replaced, its
// old text kept as "bak"), or with `append` after the text it holds. The destination is written
// completely or not at all; it may not be the new file. `written` counts the references.
Outcome WriteCompareResult(FileSystem& fs, const CompareReport& report, CompareSelection which,
                           const std::string& destination, bool append, Progress& progress,
                           int& written);

// The comparison thread; one runs at a time.
class TVoxComp : public JobThread<CompareReport> {
public:
    TVoxComp(FileSystem& fs, std::string filterFile, std::string newFile, CompareOptions options,
             Progress& progress);
};

} // namespace cvx
