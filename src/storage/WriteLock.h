#pragma once
// The right to change one file, exclusive against every other writer of it: other processes (the
// desktop program and the command line run side by side) and other threads of this one. A writer
// holds it for the whole read-check-write, so what it checked is still true when it writes.
//
// The hold is on the file itself, not on its name, and a rewrite gives the name to a new file: a
// writer that waited for the old file finds the name taken by another and goes on to wait for
// that one, and RewriteFile puts the new file under the same hold before it takes the name.

#include "storage/FileSystem.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace cvx {

class Progress;

class WriteLock {
public:
    // How long a writer waits for another one by default.
    static constexpr std::chrono::milliseconds kPatience{30000};

    WriteLock() = default;
    WriteLock(WriteLock&&) = default;
    WriteLock& operator=(WriteLock&&) = default;

    // Waits, at most `patience` and while nobody asks `progress` (may be null) to abort, until no
    // other writer holds the regular file `path` (a name already resolved from links), then holds
    // it. Fails when the file cannot be held, with a message that names it as `shown`.
    Outcome Acquire(FileSystem& fs, const std::string& path, const std::string& shown,
                    Progress* progress, std::chrono::milliseconds patience = kPatience);
    // Holds the file only when nobody else does; false (and no hold) otherwise.
    bool TryAcquire(FileSystem& fs, const std::string& path);
    // Adds the hold on a file that nobody else can know yet (a temporary about to take the held
    // file's name).
    Outcome Extend(FileSystem& fs, const std::string& path);

    bool Held() const { return !locks_.empty(); }
    // True when the name `path` stands for a file that is held.
    bool StillNames(FileSystem& fs, const std::string& path) const;
    void Release() { locks_.clear(); }

private:
    std::vector<std::unique_ptr<FileLock>> locks_;
};

} // namespace cvx
