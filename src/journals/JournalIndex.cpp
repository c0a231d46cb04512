#include "journals/JournalIndex.h"

#include "storage/LittleEndian.h"

#include <algorithm>

namespace cvx {

JournalError JournalIndex::Read(std::string_view head, std::uint64_t fileSize) {
    entries_.clear();
    recordTotal_ = 0;
    fileSize_ = 0;
    head = head.substr(0, std::min(head.size(), kJournalIndexReadSize));
    const std::size_t available = head.size() / kJournalIndexEntrySize;
    std::size_t count = 0; // entries before the terminator
    while (count < available &&
           GetLe16(head, count * kJournalIndexEntrySize + 4) < kJournalSignatureLimit) {
        ++count;
    }
    if (count == available) {
        return JournalError::Inconsistent;
    }
    const std::size_t t = count * kJournalIndexEntrySize;
    if (GetLe16(head, t + 4) != kJournalTerminatorSignature || GetLe32(head, t) != fileSize) {
        return JournalError::Inconsistent;
    }
    JournalIndexEntry previous{static_cast<std::uint32_t>(t + kJournalIndexEntrySize), 0, 0};
    entries_.push_back(previous);
    for (std::size_t i = 0; i <= count; ++i) {
        const std::size_t at = i * kJournalIndexEntrySize;
        const JournalIndexEntry e{GetLe32(head, at), GetLe16(head, at + 4), GetLe16(head, at + 6)};
        const bool terminator = i == count;
        if (e.offset < previous.offset || e.firstRecord < previous.firstRecord ||
            (!terminator && e.signature < previous.signature)) {
            entries_.clear();
            return JournalError::Inconsistent;
        }
        if (terminator) {
            recordTotal_ = e.firstRecord;
        } else {
            entries_.push_back(e);
        }
        previous = e;
    }
    fileSize_ = static_cast<std::uint32_t>(fileSize);
    return JournalError::None;
}

JournalIndex JournalIndex::Make(const std::vector<JournalIndexEntry>& blocks, int recordTotal,
                                std::uint32_t fileSize) {
    JournalIndex index;
    index.entries_ = blocks;
    index.recordTotal_ = recordTotal;
    index.fileSize_ = fileSize;
    return index;
}

std::string JournalIndex::Bytes() const {
    std::string out;
    for (std::size_t b = 1; b < entries_.size(); ++b) {
        PutLe32(out, entries_[b].offset);
        PutLe16(out, entries_[b].signature);
        PutLe16(out, entries_[b].firstRecord);
    }
    PutLe32(out, fileSize_);
    PutLe16(out, kJournalTerminatorSignature);
    PutLe16(out, static_cast<std::uint16_t>(recordTotal_));
    return out;
}

std::uint32_t JournalIndex::BlockEnd(int block) const {
    return block + 1 < BlockCount() ? entries_[block + 1].offset : fileSize_;
}

int JournalIndex::EndRecord(int block) const {
    return block + 1 < BlockCount() ? entries_[block + 1].firstRecord : recordTotal_;
}

int JournalIndex::BlockOfRecord(int record) const {
    // The last block whose first record is at or below the record; empty blocks before it are
    // stepped over because their first record equals the next block's.
    const auto it = std::upper_bound(
        entries_.begin(), entries_.end(), record,
        [](int r, const JournalIndexEntry& e) { return r < static_cast<int>(e.firstRecord); });
    return static_cast<int>(it - entries_.begin()) - 1;
}

int JournalIndex::LastBlockBelow(std::uint16_t signature) const {
    const auto it = std::lower_bound(
        entries_.begin() + 1, entries_.end(), signature,
        [](const JournalIndexEntry& e, std::uint16_t s) { return e.signature < s; });
    return static_cast<int>(it - entries_.begin()) - 1;
}

} // namespace cvx
