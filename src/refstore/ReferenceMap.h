#pragma once
// The map of a reference file: where each reference block starts and how long it is, and the
// block-finding rules that build it.

#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class Progress;
class ReadableFile;

struct MapEntry {
    std::uint32_t offset = 0;
    std::uint16_t length = 0; // including the empty line that ends the block

    bool operator==(const MapEntry&) const = default;
};

// Blocks shorter than this are deleted references (the marker is 12 bytes).
inline constexpr std::uint16_t kMinPresentLength = 14;
inline constexpr std::string_view kDeletedMarker = " DELETED\r\n\r\n";
inline constexpr std::size_t kMapEntrySize = 6;

// The line ends a file mostly uses, as found while mapping it.
enum class LineEnds { CrLf, LfOnly, CrOnly, Mixed };

struct MapBuildResult {
    std::vector<MapEntry> entries;
    LineEnds lineEnds = LineEnds::CrLf;
    bool binary = false; // the text holds a NUL byte (the scan stopped there)
    // Set when a block does not fit an entry: its 0-based index and its length.
    bool tooLarge = false;
    std::size_t tooLargeIndex = 0;
    std::uint64_t tooLargeLength = 0;
};

// Scans the reference text for its blocks. A block starts with a blank and a printable byte (at
// the start of the text, or after a line feed that follows the block before) and ends with its
// first empty line: a line feed, one blank and a line feed, or two line feeds. Progress is
// reported every 36 entries; an abort request ends the scan with an Aborted outcome.
// The scan uses the widest instructions the processor has (`Best`); `Baseline` keeps to those of
// every processor of its kind, so that tests hold both against the same rules.
enum class ScanInstructions { Best, Baseline };

Outcome BuildMap(ReadableFile& text, std::uint64_t size, Progress* progress, MapBuildResult& result,
                 ScanInstructions instructions = ScanInstructions::Best);

// The map file image and its reading. Reading fails for a file whose size is not a multiple of
// the entry size or whose entries are not in order inside the text's size.
std::string MapToImage(const std::vector<MapEntry>& entries);
bool MapFromImage(std::string_view image, std::uint64_t textSize, std::vector<MapEntry>& entries);

constexpr bool IsBlankByte(unsigned char c) {
    return c <= 32 && c != '\n';
}
constexpr bool IsPrintableByte(unsigned char c) {
    return c > 32;
}

} // namespace cvx
