#include "storage/WriteLock.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include <algorithm>
#include <thread>

namespace cvx {

namespace {

// One attempt: the hold on the file that `path` names now, kept only when the name still stands
// for it once it is held (else another writer gave the name to a new file meanwhile).
std::unique_ptr<FileLock> Attempt(FileSystem& fs, const std::string& path, LockState& state,
                                  Outcome& result) {
    std::unique_ptr<FileLock> lock = fs.TryLock(path, state, result);
    if (lock && !fs.Stat(path).SameFileAs(lock->Info())) {
        state = LockState::Busy;
        return nullptr;
    }
    return lock;
}

} // namespace

Outcome WriteLock::Acquire(FileSystem& fs, const std::string& path, const std::string& shown,
                           Progress* progress, std::chrono::milliseconds patience) {
    Release();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        LockState state = LockState::Failed;
        Outcome result;
        if (std::unique_ptr<FileLock> lock = Attempt(fs, path, state, result)) {
            locks_.push_back(std::move(lock));
            return Outcome::Ok();
        }
        if (state == LockState::Failed) {
            return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(shown)) + "\r" +
                                  result.message());
        }
        if (progress != nullptr && progress->AbortRequested()) {
            return Outcome::Aborted();
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return Outcome::Error(Msg(msg::Citavox::FileBusy, DisplayPath(shown)));
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

bool WriteLock::TryAcquire(FileSystem& fs, const std::string& path) {
    Release();
    LockState state = LockState::Failed;
    Outcome result;
    if (std::unique_ptr<FileLock> lock = Attempt(fs, path, state, result)) {
        locks_.push_back(std::move(lock));
        return true;
    }
    return false;
}

Outcome WriteLock::Extend(FileSystem& fs, const std::string& path) {
    LockState state = LockState::Failed;
    Outcome result;
    std::unique_ptr<FileLock> lock = fs.TryLock(path, state, result);
    if (!lock) {
        return state == LockState::Busy
                   ? Outcome::Error(Msg(msg::Citavox::FileBusy, DisplayPath(path)))
                   : result;
    }
    locks_.push_back(std::move(lock));
    return Outcome::Ok();
}

bool WriteLock::StillNames(FileSystem& fs, const std::string& path) const {
    const FileInfo named = fs.Stat(path);
    return std::any_of(locks_.begin(), locks_.end(), [&](const std::unique_ptr<FileLock>& l) {
        return named.SameFileAs(l->Info());
    });
}

} // namespace cvx
