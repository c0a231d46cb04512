#pragma once
// A reference file that a job writes (a sorted file, the references a comparison selected): held
// against every other writer from before the job reads anything until the new text is in place,
// written whole through the safe rewrite (the old text kept as "bak") or appended to as one
// change, and rid of the companions that described its old text.

#include "storage/AppendSession.h"
#include "storage/FileSystem.h"
#include "storage/WriteLock.h"
#include "text/Outcome.h"

#include <functional>
#include <string>
#include <string_view>

namespace cvx {

class Progress;

class ReferenceTarget {
public:
    // Takes one block of the new text at a time.
    using Sink = std::function<Outcome(std::string_view bytes)>;

    explicit ReferenceTarget(FileSystem& fs) : fs_(fs), session_(fs) {}
    ReferenceTarget(const ReferenceTarget&) = delete;
    ReferenceTarget& operator=(const ReferenceTarget&) = delete;

    // Refuses a name with a companion's extension, a folder, a pipe or a device and a
    // write-protected file; then holds the file `name` stands for (resolved from links), waiting
    // for another writer as WriteLock does. A file that does not exist is held once it is made:
    // appending makes it at once, a rewrite when its text takes the name.
    Outcome Begin(const std::string& name, bool append, Progress* progress);
    // The hold on the file, for reading it under the hold (a sort in place); null when the file
    // did not exist.
    WriteLock* Held();
    // Writes the new text with `produce`: the whole text, or (appending) what follows the text the
    // file holds, which is first ended by an empty line. Complete or not at all.
    Outcome Write(const std::function<Outcome(const Sink& sink)>& produce);

private:
    Outcome Append(const std::function<Outcome(const Sink& sink)>& produce);
    Outcome EndOfOldText(std::string& separator);

    FileSystem& fs_;
    AppendSession session_;
    WriteLock lock_; // while rewriting
    std::string name_;
    std::string path_;
    bool append_ = false;
};

} // namespace cvx
