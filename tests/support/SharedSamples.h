#pragma once
// The real downloads the import tests read. They are third-party files kept beside the project
// (CITAVOX_SHARED_DIR, by default ../shared) and read there, never copied into the repository;
// where that folder is absent the tests that need them are skipped with the reason.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#ifndef CITAVOX_SAMPLES_DIR
#error "CITAVOX_SAMPLES_DIR must name the folder of the real downloads"
#endif

namespace cvx::test {

// A download by its name inside the samples folder ("ris/asreview_embase.ris").
inline std::string SamplePath(std::string_view file) {
    return std::string(CITAVOX_SAMPLES_DIR) + "/" + std::string(file);
}

inline bool SamplesPresent() {
    std::error_code ec;
    return std::filesystem::is_directory(CITAVOX_SAMPLES_DIR, ec);
}

// Why a test that needs the downloads did not run.
inline std::string SamplesMissing() {
    return "the real downloads are read in place from " + std::string(CITAVOX_SAMPLES_DIR) +
           ", which does not exist (set the CMake cache path CITAVOX_SHARED_DIR to the shared "
           "folder)";
}

} // namespace cvx::test

// Ends the current test as skipped when the downloads are absent.
#define CITAVOX_SKIP_WITHOUT_SAMPLES()                                                             \
    if (!::cvx::test::SamplesPresent())                                                            \
    GTEST_SKIP() << ::cvx::test::SamplesMissing()
