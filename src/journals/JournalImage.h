#pragma once
// A whole journal database in memory, as editing and the database builder change it: every
// record in file order and the blocks they are grouped into. Written out, each block is
// compressed anew and the index made from the blocks' new offsets.

#include "journals/JournalDatabase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cvx {

struct JournalRecord {
    std::uint8_t flags = 0;
    std::uint16_t signature = 0;
    int next = 0;           // the next record of the journal's ring
    std::string packedIssn; // four bytes with kJournalFlagIssn
    std::uint8_t extra = 0; // with kJournalFlagExtra
    std::string name;

    // Bytes the record takes in an expanded block, its table entry included.
    std::size_t Size() const;
};

class JournalImage {
public:
    // Reads every record of an open database.
    static JournalError Load(JournalDatabase& db, JournalImage& image);

    const std::vector<JournalRecord>& Records() const { return records_; }
    std::vector<JournalRecord>& Records() { return records_; }
    // The first record of every block, ascending; the first is 0.
    const std::vector<int>& BlockStarts() const { return blockStarts_; }
    void SetBlockStarts(std::vector<int> starts) { blockStarts_ = std::move(starts); }
    int BlockCount() const { return static_cast<int>(blockStarts_.size()); }
    int BlockOf(int record) const;
    int BlockEnd(int block) const;
    std::size_t BlockSize(int block) const;

    // Inserts a record at `position` into `block` (which must hold or border the position),
    // moving every ring link and block start at or above the position up by one.
    void Insert(int position, int block, JournalRecord record);
    // Removes records, moving the links and block starts above them down; blocks left empty
    // are dropped.
    void Remove(std::vector<int> positions);

    // The database file. Errors: 10 when a block would expand beyond 15000 bytes or compress
    // beyond 17988, when there are more than 512 blocks or 65535 records.
    JournalError Serialise(std::string& bytes) const;

private:
    std::vector<JournalRecord> records_;
    std::vector<int> blockStarts_{0};
};

} // namespace cvx
