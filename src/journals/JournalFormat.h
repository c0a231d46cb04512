#pragma once
// The layout constants of the journal-name database file, its record flags and the error codes
// of the access layer. The file is an index of at most 512 eight-byte entries followed by
// LZ-compressed blocks; every block expands to a table of seven-byte record entries and the
// records' data.

#include <cstddef>
#include <cstdint>

namespace cvx {

inline constexpr std::size_t kJournalIndexEntrySize = 8;
inline constexpr int kJournalMaxIndexEntries = 512; // the terminator included
inline constexpr int kJournalMaxBlocks = kJournalMaxIndexEntries;
inline constexpr std::size_t kJournalIndexReadSize =
    kJournalMaxIndexEntries * kJournalIndexEntrySize;
// The terminator's signature field; a field of kJournalSignatureLimit or more ends the index.
inline constexpr std::uint16_t kJournalTerminatorSignature = 59054;
inline constexpr std::uint16_t kJournalSignatureLimit = 59050;
inline constexpr int kJournalSignatureCount = 59049; // 9 to the power of 5

inline constexpr std::size_t kJournalMaxExpandedBlock = 15000;
inline constexpr std::size_t kJournalMaxCompressedBlock = 17988;
inline constexpr std::size_t kJournalTableEntrySize = 7;
inline constexpr std::size_t kJournalMaxNameLength = 255;
inline constexpr std::size_t kJournalPackedIssnSize = 4;
inline constexpr int kJournalMaxRecords = 65535;
// A ring returns to its start within this many steps, so a journal has at most 16 names.
inline constexpr int kJournalMaxRingSteps = 16;

// What editing may put into one block: blocks are never split, so a full block refuses names.
inline constexpr int kJournalMaxBlockRecords = 500;
inline constexpr std::size_t kJournalMaxEditedBlock = 14999;
// Editing refuses new names once the file holds this many.
inline constexpr int kJournalEditRecordLimit = 65501;

// Flags of a record: bit n marks a name of display form n.
inline constexpr std::uint8_t kJournalFlagUserEdited = 0x01;
inline constexpr std::uint8_t kJournalFlagFullName = 0x02;
inline constexpr std::uint8_t kJournalFlagIssn = 0x40;  // the data begins with a packed ISSN
inline constexpr std::uint8_t kJournalFlagExtra = 0x80; // one further byte precedes the name

// Bits of the extra byte, kept on the full-name record.
inline constexpr std::uint8_t kJournalExtraRequiresIssue = 0x01;
inline constexpr std::uint8_t kJournalExtraLacksVolume = 0x02;

// The last error of the access layer. Codes 2 and 3 tell the quality of a look-up; the others
// are failures, and while one is set every further operation does nothing.
enum class JournalError : int {
    None = 0,
    NotFound = 1,
    FullNameReturned = 2,
    Ambiguous = 3,
    FullNameLacking = 4,
    IllegalIssn = 5,
    OutOfMemory = 6,
    CannotOpen = 7,
    CannotModify = 8,
    TransferFailed = 9,
    Malformed = 10, // a malformed block, or too many names for the file or a block
    Inconsistent = 11,
};

constexpr bool IsJournalFailure(JournalError e) {
    return e != JournalError::None && e != JournalError::FullNameReturned &&
           e != JournalError::Ambiguous;
}

} // namespace cvx
