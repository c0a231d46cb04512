#pragma once
// Journal databases for tests: built from CSV text, or put together byte by byte to be broken
// in a chosen way, in a temporary folder that disappears with the test.

#include "journals/BlockCodec.h"
#include "journals/JournalBuilder.h"
#include "storage/LittleEndian.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cvx::test {

inline constexpr std::string_view kCsvHeader = "Full name,Alternate names,Medlar,Index Medicus,"
                                               "BIOSIS,Chemical Abstracts,ISSN,Requires issue,"
                                               "Lacks volume\n";

// The bytes of a database built from CSV rows (the header is added).
inline std::string DatabaseBytes(std::string_view rows, JournalBuildOptions options = {}) {
    std::vector<JournalDefinition> journals;
    EXPECT_EQ(ReadJournalCsv(std::string(kCsvHeader) + std::string(rows), journals).kind,
              JournalCsvProblem::Kind::None);
    JournalImage image;
    EXPECT_EQ(BuildJournalImage(journals, options, image).error, JournalError::None);
    std::string bytes;
    EXPECT_EQ(image.Serialise(bytes), JournalError::None);
    return bytes;
}

// One entry of a block's record table.
inline std::string TableEntry(std::uint8_t flags, std::uint16_t signature, std::uint16_t offset,
                              std::uint16_t next) {
    std::string e(1, static_cast<char>(flags));
    PutLe16(e, signature);
    PutLe16(e, offset);
    PutLe16(e, next);
    return e;
}

// A database file of compressed blocks: `starts` holds the first signature and first record of
// blocks 1, 2, ...; `total` is the record count in the terminator.
inline std::string RawDatabase(const std::vector<std::string>& compressed,
                               const std::vector<std::pair<std::uint16_t, std::uint16_t>>& starts,
                               std::uint16_t total) {
    std::vector<JournalIndexEntry> entries;
    std::uint32_t offset = static_cast<std::uint32_t>(compressed.size() * kJournalIndexEntrySize);
    for (std::size_t b = 0; b < compressed.size(); ++b) {
        const auto [signature, first] =
            b == 0 ? std::pair<std::uint16_t, std::uint16_t>{0, 0} : starts[b - 1];
        entries.push_back({offset, signature, first});
        offset += static_cast<std::uint32_t>(compressed[b].size());
    }
    std::string bytes = JournalIndex::Make(entries, total, offset).Bytes();
    for (const std::string& c : compressed) {
        bytes += c;
    }
    return bytes;
}

} // namespace cvx::test
