#pragma once
// A file system for tests that passes everything to the real disk until a chosen mutating step,
// which fails (a write is cut in half first). After a crash every further change fails too: the
// state the disk is left in when the process dies at that step. After a failure (a full disk for
// one write, say) the program goes on and may clean up. It can also refuse all changes, like a
// folder the user may not write to.

#include "support/ForwardingFileSystem.h"

#include <memory>
#include <string>

namespace cvx::test {

enum class Fault { Crash, Failure };

class FaultFileSystem final : public ForwardingFileSystem {
public:
    // atStep: 1-based number of the mutating step that fails; 0 never. `reason` is what the
    // failing step says.
    explicit FaultFileSystem(int atStep = 0, Fault fault = Fault::Crash,
                             std::string reason = "simulated failure")
        : at_(atStep), fault_(fault), reason_(std::move(reason)) {}

    void RefuseAllChanges() { refuseAll_ = true; }
    int Steps() const { return steps_; }
    bool Crashed() const { return crashed_; }
    bool Failing() const { return failing_; } // the step under way is the one that fails

    // Counts a mutating step; false when it must fail.
    bool Step() {
        failing_ = false;
        if (refuseAll_ || crashed_) {
            return false;
        }
        ++steps_;
        if (at_ != 0 && steps_ == at_) {
            crashed_ = fault_ == Fault::Crash;
            failing_ = true;
            return false;
        }
        return true;
    }

    FileInfo Stat(const std::string& path) override {
        FileInfo info = disk_.Stat(path);
        if (refuseAll_) {
            info.writable = false;
        }
        return info;
    }
    std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                               Outcome& result) override;
    std::unique_ptr<WritableFile> CreateTemporary(const std::string& path, std::string_view ext,
                                                  std::uint32_t permissions, std::string& created,
                                                  Outcome& result) override;
    Outcome Rename(const std::string& from, const std::string& to) override {
        return Step() ? disk_.Rename(from, to) : Failed();
    }
    Outcome Remove(const std::string& path) override {
        return Step() ? disk_.Remove(path) : Failed();
    }
    Outcome HardLink(const std::string& existing, const std::string& link) override {
        return Step() ? disk_.HardLink(existing, link) : Failed();
    }
    Outcome SyncDirectory(const std::string& dir) override {
        return Step() ? disk_.SyncDirectory(dir) : Failed();
    }

    Outcome Failed() const { return Outcome::Error(reason_); }

private:
    int at_;
    Fault fault_;
    std::string reason_;
    int steps_ = 0;
    bool crashed_ = false;
    bool failing_ = false;
    bool refuseAll_ = false;
};

class FaultWritableFile final : public WritableFile {
public:
    FaultWritableFile(FaultFileSystem& fs, std::unique_ptr<WritableFile> real)
        : fs_(fs), real_(std::move(real)) {}

    Outcome Append(std::string_view data) override {
        if (!fs_.Step()) {
            if (!fs_.Failing()) {
                return fs_.Failed();
            }
            (void)real_->Append(data.substr(0, data.size() / 2));
            (void)real_->Sync(); // what reached the disk before the failure
            return fs_.Failed();
        }
        return real_->Append(data);
    }
    Outcome Sync() override { return fs_.Step() ? real_->Sync() : fs_.Failed(); }
    Outcome Truncate(std::uint64_t size) override {
        return fs_.Step() ? real_->Truncate(size) : fs_.Failed();
    }
    Outcome Close() override {
        // Closing always releases the descriptor; only the result tells of the failure.
        const bool ok = fs_.Step();
        Outcome r = real_->Close();
        return ok ? r : fs_.Failed();
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
    std::unique_ptr<WritableFile> real = disk_.OpenForWrite(path, append, result);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<FaultWritableFile>(*this, std::move(real));
}

inline std::unique_ptr<WritableFile>
FaultFileSystem::CreateTemporary(const std::string& path, std::string_view ext,
                                 std::uint32_t permissions, std::string& created, Outcome& result) {
    if (!Step()) {
        result = Failed();
        return nullptr;
    }
    std::unique_ptr<WritableFile> real =
        disk_.CreateTemporary(path, ext, permissions, created, result);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<FaultWritableFile>(*this, std::move(real));
}

} // namespace cvx::test
