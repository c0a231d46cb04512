// The database file: its index and blocks at their limits, rings, and files that are truncated,
// corrupted or not databases at all, which must give errors 7, 10 or 11 and never a crash or a
// walk without end.

#include "JournalTestFiles.h"

#include "journals/JournalMatching.h"
#include "journals/JournalNames.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace cvx {
namespace {

using test::DatabaseBytes;
using test::RawDatabase;
using test::TableEntry;
using test::TempDir;

// A database of `count` journals named "J0", "J1", ..., one block each.
std::string OneJournalPerBlock(int count) {
    std::string rows;
    for (int i = 0; i < count; ++i) {
        rows += "Name " + std::to_string(i) + ",,,,,,,,\n";
    }
    JournalBuildOptions options;
    options.blockRecords = 1;
    return DatabaseBytes(rows, options);
}

TEST(JournalDatabase, ReadsAnIndexOf512EntriesWhole) {
    TempDir dir;
    const std::string path = dir.Write("full.jdb", OneJournalPerBlock(512));
    JournalDatabase db;
    ASSERT_EQ(db.Open(path), JournalError::None);
    EXPECT_EQ(db.BlockCount(), 512);
    EXPECT_EQ(db.RecordCount(), 512);
    for (const int i : {0, 255, 511}) {
        const std::string name = "Name " + std::to_string(i);
        EXPECT_EQ(LookUpJournal(db, name, JournalForm::FullName).name, name);
    }
}

TEST(JournalDatabase, A513thBlockCannotBeDescribed) {
    std::vector<JournalDefinition> journals(513);
    for (std::size_t i = 0; i < journals.size(); ++i) {
        journals[i].texts[1] = "Name " + std::to_string(i);
    }
    JournalBuildOptions options;
    options.blockRecords = 1;
    JournalImage image;
    const JournalBuildProblem p = BuildJournalImage(journals, options, image);
    EXPECT_EQ(p.error, JournalError::Malformed);
    EXPECT_EQ(p.blocks, 513);

    // A file whose terminator would be the 513th entry is not a database.
    std::string bytes = OneJournalPerBlock(512);
    JournalIndex index;
    ASSERT_EQ(index.Read(bytes, bytes.size()), JournalError::None);
    std::string longer =
        bytes.substr(0, 511 * 8) + bytes.substr(510 * 8, 8) + bytes.substr(511 * 8);
    EXPECT_EQ(index.Read(longer, longer.size()), JournalError::Inconsistent);
}

TEST(JournalDatabase, TooManyNamesStopTheBuilder) {
    std::vector<JournalDefinition> journals(32768);
    for (std::size_t i = 0; i < journals.size(); ++i) {
        journals[i].texts[1] = "Full " + std::to_string(i);
        journals[i].texts[2] = "Short " + std::to_string(i);
    }
    JournalImage image;
    const JournalBuildProblem p = BuildJournalImage(journals, {}, image);
    EXPECT_EQ(p.error, JournalError::Malformed);
    EXPECT_EQ(p.records, 65536);
    journals.pop_back();
    EXPECT_EQ(BuildJournalImage(journals, {}, image).error, JournalError::None);
    EXPECT_EQ(image.Records().size(), 65534u);
}

// A block of `names` records with the given names, all of one signature, each its own ring.
std::string BlockOf(const std::vector<std::string>& names) {
    std::string table;
    std::string data;
    const std::size_t start = names.size() * kJournalTableEntrySize;
    for (std::size_t i = 0; i < names.size(); ++i) {
        table +=
            TableEntry(kJournalFlagFullName, 100, static_cast<std::uint16_t>(start + data.size()),
                       static_cast<std::uint16_t>(i));
        data += names[i];
    }
    return table + data;
}

TEST(JournalDatabase, BlocksExpandToAt15000Bytes) {
    // 58 records: 57 names of 255 bytes and one of 59 make exactly 15000 bytes.
    std::vector<std::string> names(57, std::string(254, 'a'));
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] += static_cast<char>('A' + i % 26);
    }
    names.push_back(std::string(59, 'z'));
    const std::string block = BlockOf(names);
    ASSERT_EQ(block.size(), 15000u);
    TempDir dir;
    JournalDatabase db;
    ASSERT_EQ(db.Open(dir.Write("exact.jdb", RawDatabase({CompressBlock(block)}, {}, 58))),
              JournalError::None);
    const std::optional<JournalRecordView> first = db.Record(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name.size(), 255u); // a name of 255 bytes is read whole
    EXPECT_EQ(db.Record(57)->name, std::string(59, 'z'));

    // One byte more is a malformed block.
    names.back() += 'z';
    JournalDatabase over;
    ASSERT_EQ(
        over.Open(dir.Write("over.jdb", RawDatabase({CompressBlock(BlockOf(names))}, {}, 58))),
        JournalError::None);
    EXPECT_FALSE(over.Record(0));
    EXPECT_EQ(over.LastError(), JournalError::Malformed);
}

TEST(JournalDatabase, NamesLongerThan255BytesAreInconsistent) {
    TempDir dir;
    JournalDatabase db;
    ASSERT_EQ(
        db.Open(dir.Write("long.jdb",
                          RawDatabase({CompressBlock(BlockOf({std::string(256, 'n')}))}, {}, 1))),
        JournalError::None);
    EXPECT_FALSE(db.Record(0));
    EXPECT_EQ(db.LastError(), JournalError::Inconsistent);
}

// A block of `count` records of one journal ring: record i points to `next(i)`.
std::string RingBlock(int count, const std::function<int(int)>& next) {
    std::string table;
    std::string data;
    const std::size_t start = static_cast<std::size_t>(count) * kJournalTableEntrySize;
    for (int i = 0; i < count; ++i) {
        const std::string name = "Ring " + std::to_string(i);
        table += TableEntry(
            i == 0 ? kJournalFlagFullName : 0x04, SignatureOf(NormaliseJournalName(name)).value,
            static_cast<std::uint16_t>(start + data.size()), static_cast<std::uint16_t>(next(i)));
        data += name;
    }
    return table + data;
}

TEST(JournalDatabase, RingWalksEndWithin16Steps) {
    TempDir dir;
    const auto ring = [&](int count, const std::function<int(int)>& next) {
        auto db = std::make_unique<JournalDatabase>();
        EXPECT_EQ(db->Open(dir.Write("ring" + std::to_string(count) + ".jdb",
                                     RawDatabase({CompressBlock(RingBlock(count, next))}, {},
                                                 static_cast<std::uint16_t>(count)))),
                  JournalError::None);
        return db;
    };
    // Sixteen names: the walk visits them all and comes back; the ring has no ISSN.
    auto sixteen = ring(16, [](int i) { return (i + 1) % 16; });
    EXPECT_FALSE(sixteen->FormName(0, JournalForm::Issn));
    EXPECT_EQ(sixteen->LastError(), JournalError::None);
    EXPECT_EQ(sixteen->FormName(15, JournalForm::FullName), "Ring 0");

    auto seventeen = ring(17, [](int i) { return (i + 1) % 17; });
    EXPECT_FALSE(seventeen->FormName(0, JournalForm::Issn));
    EXPECT_EQ(seventeen->LastError(), JournalError::Inconsistent);

    // A ring that never comes back to its start, and a link beyond the last record.
    auto loop = ring(3, [](int i) { return i == 0 ? 1 : 2; });
    EXPECT_FALSE(loop->FormName(0, JournalForm::Issn));
    EXPECT_EQ(loop->LastError(), JournalError::Inconsistent);
    auto beyond = ring(3, [](int i) { return i == 2 ? 3 : i + 1; });
    EXPECT_FALSE(beyond->FormName(0, JournalForm::Issn));
    EXPECT_EQ(beyond->LastError(), JournalError::Inconsistent);
    // A failure stops every further operation until the caller resets it.
    EXPECT_FALSE(beyond->Record(0));
    beyond->ResetError();
    EXPECT_TRUE(beyond->Record(0));
    EXPECT_EQ(LookUpJournal(*beyond, "Ring 1", JournalForm::FullName).quality,
              JournalError::Inconsistent);
}

const char* const kSmallList = "Journal of Biological Chemistry,,J Biol Chem,J. Biol. Chem.,,"
                               "J. Biol. Chem.,0021-9258,1,\n"
                               "Nature,,Nature,Nature,,Nature,0028-0836,,\n"
                               "Brain and Language,,Brain Lang,Brain Lang.,,,0093-934X,,\n"
                               "Cell,Cell (Cambridge),Cell,Cell,,,0092-8674,,1\n";

TEST(JournalDatabase, MissingNamelessAndForeignFiles) {
    TempDir dir;
    JournalDatabase db;
    EXPECT_EQ(db.Open(""), JournalError::CannotOpen);
    db.ResetError();
    EXPECT_EQ(db.Open(dir.File("missing.jdb")), JournalError::CannotOpen);
    db.ResetError();
    EXPECT_EQ(db.Open(dir.File("")), JournalError::CannotOpen); // a folder
    const std::string foreign[] = {
        "",
        "short",
        "\x89PNG\r\n\x1a\n" + std::string(600, '\0'),
        "Full name,Alternate names,Medlar\nNature,,Nature\n",
        std::string(5000, '\xFF'),
    };
    for (const std::string& bytes : foreign) {
        db.ResetError();
        EXPECT_EQ(db.Open(dir.Write("foreign.jdb", bytes)), JournalError::Inconsistent);
        EXPECT_EQ(LookUpJournal(db, "Nature", JournalForm::FullName).quality,
                  JournalError::Inconsistent);
    }
    EXPECT_EQ(LookUpJournal(dir.File("missing.jdb"), "Nature", JournalForm::FullName).quality,
              JournalError::CannotOpen);
    EXPECT_EQ(LookUpJournal("", "Nature", JournalForm::FullName).quality, JournalError::CannotOpen);
}

TEST(JournalDatabase, TruncatedAndGarbledFiles) {
    TempDir dir;
    const std::string good = DatabaseBytes(kSmallList);
    for (std::size_t cut : {good.size() - 1, good.size() / 2, std::size_t{8}, std::size_t{4}}) {
        JournalDatabase db;
        EXPECT_EQ(db.Open(dir.Write("cut.jdb", good.substr(0, cut))), JournalError::Inconsistent)
            << cut;
    }
    // The block's bytes garbled while the sizes still fit: the look-up fails and says why.
    std::string garbled = good;
    for (std::size_t i = 8; i < garbled.size(); ++i) {
        garbled[i] = static_cast<char>(0xF8);
    }
    JournalDatabase db;
    ASSERT_EQ(db.Open(dir.Write("garbled.jdb", garbled)), JournalError::None);
    const JournalHit hit = LookUpJournal(db, "Nature", JournalForm::FullName);
    EXPECT_TRUE(hit.name.empty());
    EXPECT_EQ(hit.quality, JournalError::Malformed);
}

// Every single byte of a small database changed, one at a time, to several values: whatever
// the damage, the access layer answers (maybe wrongly, maybe with an error) and never hangs.
TEST(JournalDatabase, SurvivesEverySingleByteCorruption) {
    TempDir dir;
    const std::string good = DatabaseBytes(kSmallList);
    const std::string path = dir.File("damaged.jdb");
    for (std::size_t i = 0; i < good.size(); ++i) {
        const int flipped = static_cast<unsigned char>(good[i]) ^ 0x10;
        for (const int value : {0x00, 0xFF, flipped}) {
            std::string bad = good;
            bad[i] = static_cast<char>(value);
            dir.Write("damaged.jdb", bad);
            JournalDatabase db;
            if (db.Open(path) != JournalError::None) {
                EXPECT_TRUE(IsJournalFailure(db.LastError()));
                continue;
            }
            for (const char* name : {"Nature", "J Biol Chem", "Cell (Cambridge)", "[0093-934X]"}) {
                db.ResetError();
                const JournalHit hit = LookUpJournal(db, name, JournalForm::WithSuffix);
                EXPECT_TRUE(hit.Matched() || hit.name.empty());
            }
            db.ResetError();
            (void)db.Statistics();
        }
    }
}

TEST(JournalDatabase, FindsRecordsBySignatureAcrossBlocks) {
    // Six journals share a normalised name; blocks of two records split them.
    std::string rows;
    for (int i = 0; i < 6; ++i) {
        rows += "Chirurgie,,Chir " + std::to_string(i) + ",,,,,,\n";
    }
    JournalBuildOptions options;
    options.blockRecords = 2;
    TempDir dir;
    JournalDatabase db;
    ASSERT_EQ(db.Open(dir.Write("split.jdb", DatabaseBytes(rows, options))), JournalError::None);
    EXPECT_GE(db.BlockCount(), 5);
    const std::uint16_t signature = SignatureOf("CHIRURGIE").value;
    const int first = db.FindBySignature(signature);
    ASSERT_GE(first, 0);
    EXPECT_EQ(db.Record(first)->signature, signature);
    EXPECT_TRUE(first == 0 || db.Record(first - 1)->signature < signature);
    EXPECT_EQ(db.FindBySignature(0), 0);
    EXPECT_EQ(db.FindBySignature(59048), db.RecordCount());
    const JournalHit hit = LookUpJournal(db, "Chirurgie", JournalForm::Medlar);
    EXPECT_EQ(hit.quality, JournalError::Ambiguous);
    EXPECT_EQ(hit.records.size(), 6u);
    EXPECT_EQ(LookUpJournal(db, "Chirurgie #6", JournalForm::Medlar).name, "Chir 5");
}

TEST(JournalDatabase, CountsRecordsByFlags) {
    TempDir dir;
    JournalDatabase db;
    ASSERT_EQ(db.Open(dir.Write("small.jdb", DatabaseBytes(kSmallList))), JournalError::None);
    const std::optional<JournalCounts> counts = db.Statistics();
    ASSERT_TRUE(counts);
    // Names: JBC, J Biol Chem, J. Biol. Chem.; Nature; Brain and Language, Brain Lang,
    // Brain Lang.; Cell, Cell (Cambridge).
    EXPECT_EQ(counts->records, 9);
    EXPECT_EQ(counts->alternateNames, 1);
    EXPECT_EQ(counts->withBit[1], 4);
    EXPECT_EQ(counts->withBit[2], 4);
    EXPECT_EQ(counts->withBit[3], 4);
    EXPECT_EQ(counts->withBit[4], 0);
    EXPECT_EQ(counts->withBit[5], 2);
    EXPECT_EQ(counts->withBit[6], 4);
    EXPECT_EQ(counts->withBit[0], 0);
    EXPECT_EQ(JournalCountText(1234567), "1234,567");
    EXPECT_EQ(JournalCountText(999), "999");
    EXPECT_EQ(JournalCountText(1000), "1,000");
}

TEST(JournalDatabase, ChecksOnceAndRejectsAFailedFile) {
    TempDir dir;
    const std::string good = dir.Write("good.jdb", DatabaseBytes(kSmallList));
    const std::string bad = dir.Write("bad.jdb", "not a database");
    JournalDatabase db;
    EXPECT_TRUE(db.Check(good));
    EXPECT_FALSE(db.Check(bad));
    // Mended on the disk, the rejected file is still not used in this access state.
    dir.Write("bad.jdb", DatabaseBytes(kSmallList));
    db.ResetError();
    EXPECT_EQ(db.Open(bad), JournalError::CannotOpen);
    db.ResetError();
    EXPECT_EQ(db.Open(good), JournalError::None);
}

TEST(JournalDatabase, RereadsAFileThatChanged) {
    TempDir dir;
    const std::string path = dir.Write("changing.jdb", DatabaseBytes(kSmallList));
    EXPECT_EQ(LookUpJournal(path, "Nature", JournalForm::FullName).name, "Nature");
    dir.Write("changing.jdb.new", DatabaseBytes("Nature,,Nat,,,,,,\n"));
    std::filesystem::rename(dir.File("changing.jdb.new"), path);
    EXPECT_EQ(LookUpJournal(path, "Nature", JournalForm::Medlar).name, "Nat");
}

TEST(JournalDatabase, EveryThreadHasItsOwnAccessState) {
    TempDir dir;
    const std::string path = dir.Write("shared.jdb", DatabaseBytes(kSmallList));
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                const bool odd = (i + t) % 2 != 0;
                const JournalHit hit =
                    LookUpJournal(path, odd ? "nature" : "J. Biol. Chem.", JournalForm::Medlar);
                if (hit.name != (odd ? "Nature" : "J Biol Chem")) {
                    ++failures[static_cast<std::size_t>(t)];
                }
            }
            ThreadJournalDatabase().Close();
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

} // namespace
} // namespace cvx
