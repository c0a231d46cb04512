#pragma once
// Appending to a file as one change by one writer: the file is held (WriteLock) from before its
// length is taken until the end, what was appended reaches the disk before success is reported,
// and a failure cuts the file back to its old length (or removes it when the session made it).
// Others may write into the file by its name meanwhile (an import run of Lexmill): Commit and
// Abandon cover their bytes too.

#include "storage/FileSystem.h"
#include "storage/WriteLock.h"

#include <memory>
#include <string>
#include <string_view>

namespace cvx {

class Progress;

class AppendSession {
public:
    explicit AppendSession(FileSystem& fs) : fs_(fs) {}
    AppendSession(const AppendSession&) = delete;
    AppendSession& operator=(const AppendSession&) = delete;
    ~AppendSession(); // a session that is still open is abandoned

    // Holds and opens `path` (a regular file, resolved from links; created when missing) for
    // appending, waiting for another writer as WriteLock does, or taking over the hold `held`
    // when the caller has it already. `shown` names it in messages.
    Outcome Open(const std::string& path, const std::string& shown, Progress* progress,
                 WriteLock held = {});
    bool Created() const { return created_; } // the file did not exist before
    std::uint64_t OldLength() const { return oldLength_; }
    WriteLock& Lock() { return lock_; }

    Outcome Append(std::string_view bytes);
    // Forces what was appended to the disk and closes; the hold lasts as long as the session.
    Outcome Commit();
    // Cuts the file back to its old length, or removes the file the session made, and closes.
    void Abandon();

private:
    Outcome NotOpen() const;

    FileSystem& fs_;
    std::string path_;
    WriteLock lock_;
    std::unique_ptr<WritableFile> out_;
    std::uint64_t oldLength_ = 0;
    bool created_ = false;
};

} // namespace cvx
