#include "journals/JournalImage.h"

#include "journals/BlockCodec.h"
#include "storage/LittleEndian.h"

#include <algorithm>

namespace cvx {

std::size_t JournalRecord::Size() const {
    return kJournalTableEntrySize + ((flags & kJournalFlagIssn) ? kJournalPackedIssnSize : 0) +
           ((flags & kJournalFlagExtra) ? 1 : 0) + name.size();
}

JournalError JournalImage::Load(JournalDatabase& db, JournalImage& image) {
    image.records_.clear();
    image.blockStarts_.clear();
    const JournalIndex& index = db.Index();
    for (int b = 0; b < index.BlockCount(); ++b) {
        if (index.EndRecord(b) > index.FirstRecord(b)) {
            image.blockStarts_.push_back(index.FirstRecord(b));
        }
    }
    if (image.blockStarts_.empty()) {
        image.blockStarts_.push_back(0);
    }
    image.records_.reserve(static_cast<std::size_t>(db.RecordCount()));
    for (int r = 0; r < db.RecordCount(); ++r) {
        const std::optional<JournalRecordView> v = db.Record(r);
        if (!v) {
            return db.LastError();
        }
        image.records_.push_back(JournalRecord{v->flags, v->signature, v->next,
                                               std::string(v->packedIssn), v->extra,
                                               std::string(v->name)});
    }
    return JournalError::None;
}

int JournalImage::BlockOf(int record) const {
    const auto it = std::upper_bound(blockStarts_.begin(), blockStarts_.end(), record);
    return static_cast<int>(it - blockStarts_.begin()) - 1;
}

int JournalImage::BlockEnd(int block) const {
    return block + 1 < BlockCount() ? blockStarts_[static_cast<std::size_t>(block) + 1]
                                    : static_cast<int>(records_.size());
}

std::size_t JournalImage::BlockSize(int block) const {
    std::size_t size = 0;
    for (int r = blockStarts_[static_cast<std::size_t>(block)]; r < BlockEnd(block); ++r) {
        size += records_[static_cast<std::size_t>(r)].Size();
    }
    return size;
}

void JournalImage::Insert(int position, int block, JournalRecord record) {
    for (JournalRecord& r : records_) {
        if (r.next >= position) {
            ++r.next;
        }
    }
    records_.insert(records_.begin() + position, std::move(record));
    for (std::size_t b = static_cast<std::size_t>(block) + 1; b < blockStarts_.size(); ++b) {
        ++blockStarts_[b];
    }
}

void JournalImage::Remove(std::vector<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    const auto below = [&](int n) {
        return static_cast<int>(std::lower_bound(positions.begin(), positions.end(), n) -
                                positions.begin());
    };
    std::vector<JournalRecord> kept;
    kept.reserve(records_.size() - positions.size());
    for (std::size_t r = 0; r < records_.size(); ++r) {
        if (!std::binary_search(positions.begin(), positions.end(), static_cast<int>(r))) {
            kept.push_back(std::move(records_[r]));
            kept.back().next -= below(kept.back().next);
        }
    }
    records_ = std::move(kept);
    std::vector<int> starts;
    for (int start : blockStarts_) {
        const int moved = start - below(start);
        if (starts.empty() || moved > starts.back()) {
            starts.push_back(moved);
        }
    }
    // A block that lost all its records would begin where the file ends.
    while (starts.size() > 1 && starts.back() >= static_cast<int>(records_.size())) {
        starts.pop_back();
    }
    blockStarts_ = std::move(starts);
}

JournalError JournalImage::Serialise(std::string& bytes) const {
    if (records_.size() > static_cast<std::size_t>(kJournalMaxRecords) ||
        blockStarts_.size() > static_cast<std::size_t>(kJournalMaxBlocks)) {
        return JournalError::Malformed;
    }
    std::vector<std::string> compressed;
    compressed.reserve(blockStarts_.size());
    for (int b = 0; b < BlockCount(); ++b) {
        const int first = blockStarts_[static_cast<std::size_t>(b)];
        const int end = BlockEnd(b);
        std::string table;
        std::string data;
        std::size_t offset = static_cast<std::size_t>(end - first) * kJournalTableEntrySize;
        for (int r = first; r < end; ++r) {
            const JournalRecord& rec = records_[static_cast<std::size_t>(r)];
            if (rec.name.size() > kJournalMaxNameLength) {
                return JournalError::Malformed;
            }
            table.push_back(static_cast<char>(rec.flags));
            PutLe16(table, rec.signature);
            PutLe16(table, static_cast<std::uint16_t>(std::min<std::size_t>(offset, 0xFFFF)));
            PutLe16(table, static_cast<std::uint16_t>(rec.next));
            const std::size_t before = data.size();
            if (rec.flags & kJournalFlagIssn) {
                data += rec.packedIssn;
            }
            if (rec.flags & kJournalFlagExtra) {
                data.push_back(static_cast<char>(rec.extra));
            }
            data += rec.name;
            offset += data.size() - before;
        }
        const std::string expanded = table + data;
        if (expanded.size() > kJournalMaxExpandedBlock) {
            return JournalError::Malformed;
        }
        compressed.push_back(CompressBlock(expanded));
        if (compressed.back().size() > kJournalMaxCompressedBlock) {
            return JournalError::Malformed;
        }
    }
    std::vector<JournalIndexEntry> entries;
    std::uint32_t offset = static_cast<std::uint32_t>(compressed.size() * kJournalIndexEntrySize);
    for (int b = 0; b < BlockCount(); ++b) {
        const int first = blockStarts_[static_cast<std::size_t>(b)];
        const std::uint16_t signature = first < static_cast<int>(records_.size())
                                            ? records_[static_cast<std::size_t>(first)].signature
                                            : std::uint16_t{0};
        entries.push_back({offset, signature, static_cast<std::uint16_t>(first)});
        offset += static_cast<std::uint32_t>(compressed[static_cast<std::size_t>(b)].size());
    }
    bytes = JournalIndex::Make(entries, static_cast<int>(records_.size()), offset).Bytes();
    for (const std::string& c : compressed) {
        bytes += c;
    }
    return JournalError::None;
}

} // namespace cvx
