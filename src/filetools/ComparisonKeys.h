#pragma once
// The comparison keys of a filter file: each reference's numeric year, volume and first page,
// sorted, so that a comparison finds the candidates for a reference by a binary search. They are
// kept beside the filter file in its key file ("yvp"): records of 14 bytes (reference number,
// 2 bytes; year, volume and first page, 4 bytes each; little-endian, no header) in ascending key
// order. A filter file of more references than 2 bytes can number has records of 16 bytes, the
// reference number taking 4; the file's size tells the two apart. Other tools read that layout, so
// which text a key file was made for is kept in the filter file's stamp file (StampFile.h), with
// its size and content hash.

#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class FileSystem;
class Progress;
class ReferenceReader;
struct NumericKeys;

struct ComparisonKey {
    std::uint32_t reference = 0; // in the filter file, from 0
    std::int32_t year = 0;
    std::int32_t volume = 0;
    std::int32_t pageFirst = 0;

    // The key (0, 0, 0) matches nothing.
    bool Empty() const { return year == 0 && volume == 0 && pageFirst == 0; }
    bool SameKey(const ComparisonKey& other) const {
        return year == other.year && volume == other.volume && pageFirst == other.pageFirst;
    }
};

ComparisonKey KeyOf(std::uint32_t reference, const NumericKeys& keys);

// Orders keys by year, volume and first page; the reference number takes no part.
bool KeyBefore(const ComparisonKey& a, const ComparisonKey& b);

// The key file image of sorted keys.
std::string KeyFileImage(const std::vector<ComparisonKey>& keys);
// Reads a key file image for a filter file of `count` references; false for an image of another
// size, keys out of order or reference numbers that are not each of 0..count-1 once.
bool KeysFromImage(std::string_view image, int count, std::vector<ComparisonKey>& keys);

// The sorted keys of the filter file: its key file when the stamp file vouches for exactly its
// bytes and this version of the text and it is sound, otherwise built from the references and
// stored with its stamp (when the text was not changed meanwhile). `reused` tells which.
Outcome LoadOrBuildKeys(FileSystem& fs, const ReferenceReader& filter, Progress& progress,
                        std::vector<ComparisonKey>& keys, bool& reused);

// Builds the keys from the references and stores them, whatever key file there is.
Outcome BuildKeys(FileSystem& fs, const ReferenceReader& filter, Progress& progress,
                  std::vector<ComparisonKey>& keys);

} // namespace cvx
