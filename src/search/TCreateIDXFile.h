#pragma once
// The index build as a thread of its own: created with the reference file and the fields, it
// builds the word index (CreateWordIndex) on its thread, reporting and taking an abort request
// through the Progress it was given, and hands back the outcome when it is waited for.

#include "search/WordIndexBuilder.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace cvx {

class Progress;

class TCreateIDXFile {
public:
    // `progress` must outlive the object; the build reads nothing else of the caller's.
    TCreateIDXFile(std::string referenceFile, std::uint32_t fieldMask, Progress& progress,
                   IndexBuildOptions options = {}, FileSystem& fs = FileSystem::Default());
    TCreateIDXFile(const TCreateIDXFile&) = delete;
    TCreateIDXFile& operator=(const TCreateIDXFile&) = delete;
    // A build still running is asked to abort and waited for.
    ~TCreateIDXFile();

    void Start();
    // True once the build has ended (successfully or not); Wait then returns at once.
    bool Finished() const { return finished_.load(); }
    // Waits for the build to end and gives its outcome.
    Outcome Wait();
    const IndexBuildReport& Report() const { return report_; }
    const std::string& FileName() const { return referenceFile_; }

private:
    std::string referenceFile_;
    std::uint32_t fieldMask_;
    Progress& progress_;
    IndexBuildOptions options_;
    FileSystem& fs_;
    std::thread thread_;
    std::atomic<bool> finished_{false};
    Outcome outcome_;
    IndexBuildReport report_;
};

} // namespace cvx
