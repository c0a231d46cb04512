#pragma once
// Builds the word index of a reference file: every reference is read once, in file order, and cut
// into index words by field; the words are collected in a table in memory that is written out as
// a sorted run whenever it outgrows its memory, and the runs are merged into the index. The index
// is written beside the file under a temporary name and takes the index's name by a rename at
// the end, so that a build that fails, is aborted or is killed leaves the previous index (or
// none), never a torn one. When the year line is indexed, the index key file is written too.

#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cvx {

class Progress;

struct IndexBuildOptions {
    // The word table is written out as a run when it holds more than this many bytes.
    std::size_t memoryLimit = std::size_t{96} << 20;
};

struct IndexBuildReport {
    std::uint32_t references = 0;
    std::uint32_t distinctWords = 0;
    std::uint32_t totalWords = 0;
    int runs = 0;                   // runs written to the disk
    std::size_t peakTableBytes = 0; // the most the word table held
};

// Builds the index of the fields of `fieldMask` (bits 4..12 and 16; 7 the year line). Reports
// through `progress` (which may be null): the status texts of the build, the words processed and
// its progress; an abort request ends it with an Aborted outcome.
Outcome CreateWordIndex(FileSystem& fs, const std::string& referenceFile, std::uint32_t fieldMask,
                        Progress* progress, const IndexBuildOptions& options = {},
                        IndexBuildReport* report = nullptr);

// The name of the index key file: the reference file's name with ".yvp" as its extension text.
std::string IndexKeyFileOf(const std::string& referenceFile);

} // namespace cvx
