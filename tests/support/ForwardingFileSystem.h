#pragma once
// A file system for tests that passes every call to the real disk; a test's own file system
// derives from it and overrides the calls it makes fail.

#include "storage/FileSystem.h"

namespace cvx::test {

class ForwardingFileSystem : public FileSystem {
public:
    FileInfo Stat(const std::string& path) override { return disk_.Stat(path); }
    std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) override {
        return disk_.OpenForRead(path, result);
    }
    std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                               Outcome& result) override {
        return disk_.OpenForWrite(path, append, result);
    }
    std::unique_ptr<WritableFile> CreateTemporary(const std::string& path, std::string_view ext,
                                                  std::uint32_t permissions, std::string& created,
                                                  Outcome& result) override {
        return disk_.CreateTemporary(path, ext, permissions, created, result);
    }
    Outcome Rename(const std::string& from, const std::string& to) override {
        return disk_.Rename(from, to);
    }
    Outcome Remove(const std::string& path) override { return disk_.Remove(path); }
    Outcome HardLink(const std::string& existing, const std::string& link) override {
        return disk_.HardLink(existing, link);
    }
    Outcome SyncDirectory(const std::string& dir) override { return disk_.SyncDirectory(dir); }
    std::vector<std::string> ListDirectory(const std::string& dir) override {
        return disk_.ListDirectory(dir);
    }
    bool SameFile(const std::string& a, const std::string& b) override {
        return disk_.SameFile(a, b);
    }
    std::string ResolveLinks(const std::string& path) override { return disk_.ResolveLinks(path); }
    std::unique_ptr<FileLock> TryLock(const std::string& path, LockState& state,
                                      Outcome& result) override {
        return disk_.TryLock(path, state, result);
    }

protected:
    FileSystem& disk_ = FileSystem::Default();
};

} // namespace cvx::test
