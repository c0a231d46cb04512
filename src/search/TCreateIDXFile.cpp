#include "search/TCreateIDXFile.h"

#include "text/Progress.h"

namespace cvx {

TCreateIDXFile::TCreateIDXFile(std::string referenceFile, std::uint32_t fieldMask,
                               Progress& progress, IndexBuildOptions options, FileSystem& fs)
    : referenceFile_(std::move(referenceFile)), fieldMask_(fieldMask), progress_(progress),
      options_(options), fs_(fs) {}

TCreateIDXFile::~TCreateIDXFile() {
    if (thread_.joinable()) {
        progress_.RequestAbort();
        thread_.join();
    }
}

void TCreateIDXFile::Start() {
    if (thread_.joinable() || finished_) {
        return;
    }
    thread_ = std::thread([this] {
        outcome_ = CreateWordIndex(fs_, referenceFile_, fieldMask_, &progress_, options_, &report_);
        finished_ = true;
    });
}

Outcome TCreateIDXFile::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return outcome_;
}

} // namespace cvx
