#pragma once
// The index at the head of a journal database: one eight-byte entry for each block after the
// first (u32 file offset, u16 signature of its first record, u16 number of its first record)
// and a terminator (u32 file size, u16 59054, u16 total number of records). Block 0 starts
// right after the index.

#include "journals/JournalFormat.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct JournalIndexEntry {
    std::uint32_t offset = 0;
    std::uint16_t signature = 0;
    std::uint16_t firstRecord = 0;
};

class JournalIndex {
public:
    // Reads the index from the first bytes of a file of `fileSize` bytes and checks it: the
    // terminator must lie within the bytes and hold the file size, and offsets, signatures and
    // record numbers must never decrease. Anything else is JournalError::Inconsistent.
    JournalError Read(std::string_view head, std::uint64_t fileSize);

    // An index over blocks that start at the given offsets (block 0 right after the index).
    static JournalIndex Make(const std::vector<JournalIndexEntry>& blocks, int recordTotal,
                             std::uint32_t fileSize);
    std::string Bytes() const;

    int BlockCount() const { return static_cast<int>(entries_.size()); }
    int RecordCount() const { return recordTotal_; }
    std::uint32_t FileSize() const { return fileSize_; }
    std::uint32_t BlockStart(int block) const { return entries_[block].offset; }
    std::uint32_t BlockEnd(int block) const;
    int FirstRecord(int block) const { return entries_[block].firstRecord; }
    int EndRecord(int block) const;
    // The signature of a block's first record; block 0 has none in the index and gives 0.
    std::uint16_t FirstSignature(int block) const { return entries_[block].signature; }

    // The block that holds a record (0 <= record < RecordCount()).
    int BlockOfRecord(int record) const;
    // The last block whose first signature is below `signature` (block 0 when none is).
    int LastBlockBelow(std::uint16_t signature) const;

private:
    // One entry per block, block 0 included (its offset is the index size, its signature 0).
    std::vector<JournalIndexEntry> entries_;
    int recordTotal_ = 0;
    std::uint32_t fileSize_ = 0;
};

} // namespace cvx
