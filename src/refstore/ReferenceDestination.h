#pragma once
// A reference file that a writer outside the store fills by its name (an import: Lexmill writes
// the converted references itself): the checks before the run, the hold on the file for the whole
// run, and an end that either keeps what was written, forced to the disk, or leaves the file as it
// was before.

#include "storage/AppendSession.h"
#include "storage/FileSystem.h"
#include "storage/WriteLock.h"
#include "text/Outcome.h"

#include <string>

namespace cvx {

class Progress;

enum class DestinationMode {
    New,     // the reference file must not exist yet
    Append,  // add to the end of the reference file (made when it does not exist)
    Replace, // replace the reference file; its old text is kept as "bak"
};

class ReferenceDestination {
public:
    explicit ReferenceDestination(FileSystem& fs = FileSystem::Default()) : fs_(fs), session_(fs) {}
    ReferenceDestination(const ReferenceDestination&) = delete;
    ReferenceDestination& operator=(const ReferenceDestination&) = delete;
    ~ReferenceDestination(); // a run that was not finished leaves the file as it was

    // Refuses a destination whose extension is a companion's, one that is the source itself (by
    // any name: the same device and inode), one that is not a regular file and, in mode New, one
    // that exists. Holds the destination (the file a symbolic link stands for) until Finish,
    // waiting for another writer of it as WriteLock does.
    Outcome Begin(const std::string& destination, const std::string& source, DestinationMode mode,
                  Progress* progress);
    // Where the writer writes: the destination, or a temporary beside it while it is replaced.
    const std::string& WritePath() const { return writePath_; }
    // The writer appends to text that is there already (else it writes a file of its own).
    bool Appending() const { return appending_; }
    // With `keep`, what was written is forced to the disk and (replacing) takes the destination's
    // name, the old text kept as "bak"; the destination's map, tags, orders and stamps, which
    // describe its old text, are removed. Without, the destination is left as it was.
    Outcome Finish(bool keep);

private:
    FileSystem& fs_;
    AppendSession session_;
    WriteLock lock_; // while replacing
    std::string path_;
    std::string shown_;
    std::string writePath_;
    bool replacing_ = false;
    bool appending_ = false;
    bool begun_ = false;
};

} // namespace cvx
