#pragma once
// The stamp file ("stp") beside a reference file: for its map, its tag file and its comparison key
// file, which version of the text each was made for and which bytes it had then. A companion is
// trusted only when its stamp vouches for it; anything else (a map restored with a reordered text,
// a map torn by a crash, tags or keys saved for another text of the same length) is rebuilt or
// dropped.
//
// The map, tag and key files keep their fixed layouts, which other tools read: a map is a bare
// array of 6-byte entries whose count is its size divided by 6, so a header or trailer would add
// entries for those tools. The stamps therefore live in a companion of their own:
//
//   offset  size  meaning
//   0       4     "CVXS"
//   4       4     version, 1
//   8       4     number of records
//   12      64·n  records: kind (4; 1 map, 2 tags, 3 comparison keys), 0 (4), the companion's
//                 size (8) and content hash (8), then the text's size (8), modification time (8),
//                 status-change time (8), inode (8) and device (8); integers little-endian, times
//                 in nanoseconds
//
// Only a writer that holds the reference file (WriteLock) changes the stamps.

#include "refstore/TextStamp.h"
#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class FileSystem;

enum class Stamped : std::uint32_t { Map = 1, Tags = 2, Keys = 3 };

struct CompanionStamp {
    Stamped kind = Stamped::Map;
    std::uint64_t size = 0; // of the companion file
    std::uint64_t hash = 0; // TextHash of its bytes
    TextStamp text;         // the version of the text it was made for
};

class StampFile {
public:
    // The stamps beside a reference file; none when the file is missing, damaged or foreign.
    static StampFile Load(FileSystem& fs, const std::string& referenceFile);

    // The stamp of a companion whose bytes are `image`, when there is one for exactly these bytes.
    // It points into this stamp file, so a temporary one cannot hand it out.
    const CompanionStamp* For(Stamped kind, std::string_view image) const&;
    const CompanionStamp* For(Stamped kind, std::string_view image) const&& = delete;
    // True when `image` is the companion stamped for the text version `text`.
    bool Vouches(Stamped kind, std::string_view image, const TextStamp& text) const;
    void Set(Stamped kind, std::string_view image, const TextStamp& text);
    void Drop(Stamped kind);

    // Writes the stamps beside the reference file (no file when there are none). A stamp file
    // lost in a crash costs only a rebuilt map, so only `durable` waits for the disk.
    Outcome Save(FileSystem& fs, const std::string& referenceFile, bool durable) const;

    static std::string Image(const std::vector<CompanionStamp>& stamps);
    static bool FromImage(std::string_view image, std::vector<CompanionStamp>& stamps);

private:
    std::vector<CompanionStamp> stamps_;
};

} // namespace cvx
