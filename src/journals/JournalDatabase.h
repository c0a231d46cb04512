#pragma once
// The access layer of the journal-name database: one open database file with its index and its
// expanded blocks, records and the rings that join a journal's names.
//
// Every thread has its own access state (ThreadJournalDatabase), so a background thread and the
// main thread can read the database at the same time without locks. The state keeps the file
// open and its blocks expanded between look-ups, and reads them afresh when the file changed.

#include "journals/JournalFormat.h"
#include "journals/JournalIndex.h"
#include "journals/JournalLookup.h"
#include "storage/FileSystem.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

enum class JournalOpenMode : int { Read = 0, ReadWrite = 2 };

// One record as stored: its flags, signature, the next record of its journal's ring, its name
// and, when the flags say so, its packed ISSN and extra byte.
struct JournalRecordView {
    std::uint8_t flags = 0;
    std::uint16_t signature = 0;
    std::uint16_t next = 0;
    std::string_view name;
    std::string_view packedIssn; // four bytes with kJournalFlagIssn, else empty
    std::uint8_t extra = 0;      // with kJournalFlagExtra, else 0
};

// Records counted by their flags.
struct JournalCounts {
    int records = 0;
    int alternateNames = 0;       // records whose flags are 0
    std::array<int, 7> withBit{}; // records whose flags have bit n (1 full names, ... 6 ISSN)
};

// A count as the statistics show it: "," before the last three digits of a number of more than
// three digits, and no other separator (1234567 is "1234,567").
std::string JournalCountText(long count);

// The message for a last error: "Journal name database error: ..." with the error's name.
std::string JournalErrorText(JournalError e);

class JournalDatabase {
public:
    explicit JournalDatabase(FileSystem& fs = FileSystem::Default());
    JournalDatabase(const JournalDatabase&) = delete;
    JournalDatabase& operator=(const JournalDatabase&) = delete;
    ~JournalDatabase();

    // Opens the database and reads its index. A database that is already open and unchanged
    // on the disk stays as it is, with its expanded blocks. Errors: 7 no name, a missing or
    // rejected file; 8 read and write asked of a file that may not be written; 9 a failed read;
    // 11 an index that is not a journal database's.
    JournalError Open(const std::string& path, JournalOpenMode mode = JournalOpenMode::Read);
    // Opens read-only as Open does, but trusts the check of the same file made for the same
    // `job` (a number above 0) within the last second: the many look-ups of one job look at the
    // file once a second, and the next job sees a file changed meanwhile.
    JournalError OpenForJob(const std::string& path, std::uint64_t job);
    void Close();
    // Opens the file read-only and checks its index; a file that fails is rejected by this
    // access state from then on.
    bool Check(const std::string& path);

    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }
    FileSystem& Files() const { return fs_; }

    // While a failure is set every operation does nothing; callers reset it before a new
    // look-up. Setting an error never replaces a failure.
    JournalError LastError() const { return error_; }
    void ResetError() { error_ = JournalError::None; }
    void SetError(JournalError e);

    int RecordCount() const { return index_.RecordCount(); }
    int BlockCount() const { return index_.BlockCount(); }
    const JournalIndex& Index() const { return index_; }

    // A record; nullopt when it cannot be read (the last error says why).
    std::optional<JournalRecordView> Record(int record);
    // The record's normalised name (kept with the expanded block); null when it cannot be read.
    const std::string* NormalisedName(int record);

    // The first record of the ring through `record` that serves the form: form 0 takes a record
    // whose flags are 0, form 7 any record, forms 8 and 15 the full name, the others the
    // record with bit n. nullopt when the ring has none; a ring of more than 16 steps or a
    // link beyond the last record is error 11.
    std::optional<int> FindInRing(int record, JournalForm form);
    // The journal's name in a form (form 6 the ISSN "dddd-dddd", form 8 the full name with its
    // ambiguity number and ISSN, form 15 the full-name record's number).
    std::optional<std::string> FormName(int record, JournalForm form);

    // The first record whose signature is `signature` or more; RecordCount() when there is
    // none, -1 when a block cannot be read.
    int FindBySignature(std::uint16_t signature);
    // The first record with this packed ISSN; -1 when there is none or a block cannot be read.
    int FindByIssn(std::string_view packedIssn);

    // The 1-based place of a record among the records with its normalised name, and their
    // number; nullopt when a block cannot be read.
    struct Rank {
        int place = 0;
        int of = 0;
    };
    std::optional<Rank> EqualNameRank(int record);

    std::optional<JournalCounts> Statistics();

private:
    struct Entry {
        std::uint8_t flags;
        std::uint16_t signature;
        std::uint16_t next;
        std::uint16_t dataBegin; // ISSN and extra byte included
        std::uint16_t nameBegin;
        std::uint16_t nameEnd;
    };
    struct Block {
        bool loaded = false;
        std::string expanded;
        std::vector<Entry> entries;
        std::vector<std::string> normalised; // filled on first use
    };

    // Reads and expands a block unless it is there; false (with the error set) on failure.
    bool LoadBlock(int block);
    JournalError ParseTable(int block, Block& b) const;
    bool Usable() const { return file_ && !IsJournalFailure(error_); }

    FileSystem& fs_;
    std::unique_ptr<ReadableFile> file_;
    std::string path_;
    JournalOpenMode mode_ = JournalOpenMode::Read;
    FileInfo identity_;
    std::uint64_t checkedJob_ = 0; // the job whose OpenForJob last looked at the file
    std::chrono::steady_clock::time_point checkedAt_;
    JournalIndex index_;
    std::vector<Block> blocks_;
    JournalError error_ = JournalError::None;
    std::set<std::string> rejected_;
};

// This thread's access state.
JournalDatabase& ThreadJournalDatabase();

} // namespace cvx
