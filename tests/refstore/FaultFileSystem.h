#pragma once
// A file system for tests that passes everything to the real disk until a chosen mutating step,
// which fails (a write is cut in half first) and after which every change fails: the state the
// disk is left in when the process dies at that step. It can also refuse all changes, like a
// folder the user may not write to.

#include "storage/FileSystem.h"

#include <memory>

namespace cvx::test {

class FaultFileSystem final : public FileSystem {
public:
    // crashAtStep: 1-based number of the mutating step that fails; 0 never.
    explicit FaultFileSystem(int crashAtStep = 0) : crashAt_(crashAtStep) {}

    void RefuseAllChanges() { refuseAll_ = true; }
    int Steps() const { return steps_; }
    bool Crashed() const { return crashed_; }

    // Counts a mutating step; false when it must fail.
    bool Step() {
        if (refuseAll_ || crashed_) {
            return false;
        }
        ++steps_;
        if (crashAt_ != 0 && steps_ >= crashAt_) {
            crashed_ = true;
            return false;
        }
        return true;
    }

    FileInfo Stat(const std::string& path) override {
        FileInfo info = real_.Stat(path);
        if (refuseAll_) {
            info.writable = false;
        }
        return info;
    }
    std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) override {
        return real_.OpenForRead(path, result);
    }
    std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                               Outcome& result) override;
    Outcome Rename(const std::string& from, const std::string& to) override {
        return Step() ? real_.Rename(from, to) : Failed();
    }
    Outcome Remove(const std::string& path) override {
        return Step() ? real_.Remove(path) : Failed();
    }
    Outcome HardLink(const std::string& existing, const std::string& link) override {
        return Step() ? real_.HardLink(existing, link) : Failed();
    }
    Outcome SyncDirectory(const std::string& dir) override {
        return Step() ? real_.SyncDirectory(dir) : Failed();
    }
    std::vector<std::string> ListDirectory(const std::string& dir) override {
        return real_.ListDirectory(dir);
    }
    bool SameFile(const std::string& a, const std::string& b) override {
        return real_.SameFile(a, b);
    }

    static Outcome Failed() { return Outcome::Error("simulated failure"); }

private:
    FileSystem& real_ = FileSystem::Default();
    int crashAt_;
    int steps_ = 0;
    bool crashed_ = false;
    bool refuseAll_ = false;
};

class FaultWritableFile final : public WritableFile {
public:
    FaultWritableFile(FaultFileSystem& fs, std::unique_ptr<WritableFile> real)
        : fs_(fs), real_(std::move(real)) {}

    Outcome Append(std::string_view data) override {
        if (!fs_.Step()) {
            if (!fs_.Crashed()) {
                return FaultFileSystem::Failed();
            }
            (void)real_->Append(data.substr(0, data.size() / 2));
            (void)real_->Sync(); // what reached the disk before the end
            return FaultFileSystem::Failed();
        }
        return real_->Append(data);
    }
    Outcome Sync() override { return fs_.Step() ? real_->Sync() : FaultFileSystem::Failed(); }
    Outcome Close() override {
        // Closing always releases the descriptor; only the result tells of the failure.
        const bool ok = fs_.Step();
        Outcome r = real_->Close();
        return ok ? r : FaultFileSystem::Failed();
    }

private:
    FaultFileSystem& fs_;
    std::unique_ptr<WritableFile> real_;
};

inline std::unique_ptr<WritableFile> FaultFileSystem::OpenForWrite(const std::string& path,
                                                                   bool append, Outcome& result) {
    if (!Step()) {
        result = Failed();
        return nullptr;
    }
    std::unique_ptr<WritableFile> real = real_.OpenForWrite(path, append, result);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<FaultWritableFile>(*this, std::move(real));
}

} // namespace cvx::test
