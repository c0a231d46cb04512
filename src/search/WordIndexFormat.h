#pragma once
// The word index file ("idx") of a reference file: a 262-byte header with 14 section records,
// the word lists of the indexed fields, then the reference data of their words. Integers are
// little-endian.
//
// A word list begins with a byte 0 and holds the section's words in ascending order, each
// followed by its start number (where its reference data begins, from the start of the section's
// data); a closing entry gives the end of the last word's data. A word's characters carry the two
// lowest bits of its number each ("0" and above, so word bytes are 84 or higher), the rest of the
// number follows in base 80 (bytes below 80). Reference data is the bit set of the references
// when that is no longer than the list of their numbers as differences.
//
// Besides the layout, the header identifies the version of the reference text it was built
// from: its size (the builder's working value), its modification time, and in the reserved
// integers of the section records a hash of its bytes, the nanoseconds of the time and the file's
// inode, marked as present by a tag of their own.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

inline constexpr std::string_view kIndexMagic = "IDX6";
inline constexpr std::size_t kIndexHeaderSize = 262;
inline constexpr int kFirstIndexField = 4;
inline constexpr int kLastIndexField = 16;
inline constexpr int kIndexSectionRecords = 14; // sections 4..17, 17 closing the last
// The fields of the word index. The year-volume-pages line (7) is stored as its three parts.
inline constexpr int kYearField = 13;
inline constexpr int kVolumeField = 14;
inline constexpr int kPagesField = 15;
inline constexpr int kFreeTextField = 16;
inline constexpr int kYearLineField = 7;
inline constexpr std::uint32_t kYearPartsMask =
    (1u << kYearField) | (1u << kVolumeField) | (1u << kPagesField);
// The fields that can be asked for: 4..12 and 16.
inline constexpr std::uint32_t kIndexableMask = 0x11FF0;
// The indexing dialog's suggestion: authors, year line and free text.
inline constexpr std::uint32_t kDefaultIndexMask = 0x100A0;

// The fields a requested mask stores: the year line as its three parts.
std::uint32_t StoredFieldMask(std::uint32_t requested);

struct IndexSection {
    std::uint32_t wordStart = 0;
    std::uint32_t dataStart = 0;
    std::uint32_t wordCount = 0;
    std::uint32_t reserved = 0;
};

// Which version of a reference text an index was built from.
struct IndexedText {
    std::uint32_t size = 0;
    std::uint64_t hash = 0;
    std::int64_t modifiedNs = 0;
    std::uint32_t inode = 0; // its low 32 bits

    bool operator==(const IndexedText&) const = default;
};

struct IndexHeader {
    std::uint32_t fileSize = 0;
    std::uint32_t referenceCount = 0;
    std::uint32_t distinctWords = 0;
    std::uint32_t totalWords = 0;
    std::uint32_t fieldMask = 0; // stored fields (offset 34): 4..16, 13..15 for the year line
    std::array<IndexSection, kIndexSectionRecords> sections{};
    IndexedText text;
    bool textKnown = false; // the header identifies its text

    // The section record of field 4..17.
    IndexSection& Section(int field) { return sections[static_cast<std::size_t>(field - 4)]; }
    const IndexSection& Section(int field) const {
        return sections[static_cast<std::size_t>(field - 4)];
    }
    bool HasField(int field) const { return field >= 0 && field < 32 && (fieldMask >> field) & 1u; }

    std::string Encode() const;
    // Reads a header and checks it against the layout and the size of the file it heads; false
    // when the file is not a usable index.
    bool Decode(std::string_view bytes, std::uint64_t actualFileSize);
};

// The word list entry of `word` (index characters) with start number `start`.
void AppendWordEntry(std::string& list, std::string_view word, std::uint32_t start);
// The closing entry with the end number of the section's data.
void AppendClosingEntry(std::string& list, std::uint32_t end);

// The reference data of ascending 0-based reference numbers in a file of `count` references:
// the list of differences, or the bit set when that is no longer (or when a difference cannot
// be written in a list).
std::string EncodeReferenceData(const std::vector<std::uint32_t>& numbers, std::uint32_t count);
// The reference numbers of a word's data; false when the data is damaged (a number out of range
// or not ascending, a cut difference).
bool DecodeReferenceData(std::string_view data, std::uint32_t count,
                         std::vector<std::uint32_t>& numbers);
// The bit set size of a file of `count` references; data of exactly this size is a bit set.
inline std::size_t BitSetSize(std::uint32_t count) {
    return (static_cast<std::size_t>(count) + 7) / 8;
}

} // namespace cvx
