// Storing, replacing and deleting journals: the file keeps its layout (rings, record numbers,
// block starts), limits are refused with their errors, and a failed write leaves the old file.

#include "JournalTestFiles.h"

#include "journals/JournalMatching.h"
#include "support/ForwardingFileSystem.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::DatabaseBytes;
using test::ReadBytes;
using test::TempDir;

// Passes everything to the disk, but can say files are read-only or let writing fail.
class FaultyFiles final : public test::ForwardingFileSystem {
public:
    bool readOnly = false;
    bool failRename = false;

    FileInfo Stat(const std::string& path) override {
        FileInfo info = disk_.Stat(path);
        info.writable = info.writable && !readOnly;
        return info;
    }
    Outcome Rename(const std::string& from, const std::string& to) override {
        return failRename ? Outcome::Error("disk full") : disk_.Rename(from, to);
    }
};

const char* const kList = "The Journal of Biological Chemistry,,J Biol Chem,J. Biol. Chem.,,"
                          "J. Biol. Chem.,0021-9258,1,\n"
                          "Nature,,Nature,Nature,,Nature,0028-0836,,\n"
                          "Brain and Language,,Brain Lang,Brain Lang.,,,0093-934X,,\n"
                          "Chirurgie,,Chirurgie (Paris),,,,0009-4722,,\n"
                          "Cell,Cell (Cambridge),Cell,Cell,,,0092-8674,,1\n";

JournalDefinition Definition(std::string full, std::string medlar, std::string issn = {}) {
    JournalDefinition def;
    def.texts[1] = std::move(full);
    def.texts[2] = std::move(medlar);
    def.texts[6] = std::move(issn);
    return def;
}

class JournalEditing : public ::testing::Test {
protected:
    void SetUp() override { path_ = dir_.Write("journals.jdb", DatabaseBytes(kList)); }

    // The journals of the list and anything stored since still find their own names, and
    // every ring walks back to its start.
    void ExpectIntact(const std::vector<std::string>& fullNames) {
        JournalDatabase db;
        ASSERT_EQ(db.Open(path_), JournalError::None);
        for (const std::string& name : fullNames) {
            EXPECT_EQ(LookUpJournal(db, name, JournalForm::FullName).name, name);
        }
        for (int r = 0; r < db.RecordCount(); ++r) {
            EXPECT_TRUE(db.FormName(r, JournalForm::FullName)) << r;
            EXPECT_FALSE(db.FormName(r, JournalForm::Biosis));
            EXPECT_EQ(db.LastError(), JournalError::None) << r;
        }
    }

    TempDir dir_;
    std::string path_;
    JournalDatabase db_;
};

TEST_F(JournalEditing, StoresAJournalWithItsNamesAndFlags) {
    JournalDefinition def = Definition("Acta Physiologica", "Acta Physiol", "1748-1708");
    def.texts[0] = "Acta Physiol. Scand. = Acta Physiologica Scandinavica";
    def.texts[3] = "Acta Physiol.";
    def.texts[5] = "Acta Physiol"; // the same text as Medlar: one record with both forms
    def.requiresIssue = true;
    ASSERT_EQ(StoreJournal(db_, path_, def), JournalError::None);
    EXPECT_EQ(db_.LastError(), JournalError::None);

    JournalDefinition read;
    ASSERT_TRUE(ReadJournalDefinition(db_, "acta physiologica scandinavica", read));
    EXPECT_EQ(read.texts[0], "Acta Physiol. Scand.");
    EXPECT_EQ(read.texts[1], "Acta Physiologica");
    EXPECT_EQ(read.texts[2], "Acta Physiol");
    EXPECT_EQ(read.texts[3], "Acta Physiol.");
    EXPECT_EQ(read.texts[4], "");
    EXPECT_EQ(read.texts[5], "Acta Physiol");
    EXPECT_EQ(read.texts[6], "1748-1708");
    EXPECT_TRUE(read.requiresIssue);
    EXPECT_FALSE(read.lacksVolume);
    EXPECT_TRUE(read.editedByUser);
    EXPECT_EQ(db_.Record(read.fullNameRecord)->name, "Acta Physiologica");
    const std::optional<JournalCounts> counts = db_.Statistics();
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->records, 11 + 5); // five distinct names
    EXPECT_EQ(counts->withBit[0], 1);
    EXPECT_EQ(counts->alternateNames, 1 + 2);

    // The builder's definitions are not the user's; flags come from the full-name record.
    ASSERT_TRUE(ReadJournalDefinition(db_, "Cell (Cambridge)", read));
    EXPECT_FALSE(read.editedByUser);
    EXPECT_TRUE(read.lacksVolume);
    EXPECT_FALSE(read.requiresIssue);
    ExpectIntact({"The Journal of Biological Chemistry", "Nature", "Brain and Language",
                  "Chirurgie", "Cell", "Acta Physiologica"});
}

TEST_F(JournalEditing, CleansNamesAndRefusesBadDefinitions) {
    JournalDefinition def = Definition("  Chirurgie #2 ", " Chirurgie (Basel)");
    ASSERT_EQ(StoreJournal(db_, path_, def), JournalError::None);
    // A second journal of the same name is now numbered among its equals.
    EXPECT_EQ(LookUpJournal(db_, "Chirurgie #2", JournalForm::Medlar).name, "Chirurgie (Basel)");

    const std::string before = ReadBytes(path_);
    EXPECT_EQ(StoreJournal(db_, path_, Definition("", "Abbrev")), JournalError::FullNameLacking);
    EXPECT_EQ(db_.LastError(), JournalError::FullNameLacking);
    EXPECT_EQ(StoreJournal(db_, path_, Definition("Name", "", "0123-976x")),
              JournalError::IllegalIssn);
    JournalDefinition many = Definition("Name", "N");
    many.texts[0] = "A1 = A2 = A3 = A4 = A5";
    many.texts[3] = "I1 = I2 = I3 = I4 = I5 = I6 = I7"; // ten further names in all
    EXPECT_EQ(StoreJournal(db_, path_, many), JournalError::Malformed);
    EXPECT_EQ(ReadBytes(path_), before);
    many.texts[3] = "I1 = I2 = I3 = I4 = I5 = I6";
    EXPECT_EQ(StoreJournal(db_, path_, many), JournalError::None);
    EXPECT_EQ(LookUpJournal(db_, "I5", JournalForm::FullName).name, "Name");
}

TEST_F(JournalEditing, DeletesAJournalAndRenumbersTheRest) {
    ASSERT_EQ(StoreJournal(db_, path_, Definition("Chirurgie", "Chirurgie (Basel)")),
              JournalError::None);
    EXPECT_EQ(DeleteJournal(db_, path_, "Chirurgie"), JournalError::Ambiguous);
    EXPECT_EQ(DeleteJournal(db_, path_, "No Such Journal"), JournalError::NotFound);
    ASSERT_EQ(DeleteJournal(db_, path_, "Chirurgie #1 [0009-4722]"), JournalError::None);
    EXPECT_EQ(LookUpJournal(db_, "Chirurgie", JournalForm::Medlar).name, "Chirurgie (Basel)");

    ASSERT_EQ(DeleteJournal(db_, path_, "J. Biol. Chem."), JournalError::None);
    JournalDatabase db;
    ASSERT_EQ(db.Open(path_), JournalError::None);
    EXPECT_FALSE(
        LookUpJournal(db, "The Journal of Biological Chemistry", JournalForm::FullName).Matched());
    EXPECT_FALSE(LookUpJournal(db, "J Biol Chem", JournalForm::FullName).Matched());
    ExpectIntact({"Nature", "Brain and Language", "Chirurgie", "Cell"});

    // Deleting everything leaves an empty but valid database.
    for (const char* name : {"Nature", "Brain Lang", "Chirurgie", "Cell"}) {
        ASSERT_EQ(DeleteJournal(db_, path_, name), JournalError::None) << name;
    }
    JournalDatabase empty;
    ASSERT_TRUE(empty.Check(path_));
    EXPECT_EQ(empty.RecordCount(), 0);
    ASSERT_EQ(StoreJournal(db_, path_, Definition("Nature", "Nat")), JournalError::None);
    EXPECT_EQ(LookUpJournal(db_, "Nature", JournalForm::Medlar).name, "Nat");
}

TEST_F(JournalEditing, ReplacesAJournalInOneWrite) {
    JournalDefinition def = Definition("Nature", "Nature (Lond)", "0028-0836");
    def.texts[0] = "Nature London";
    ASSERT_EQ(ReplaceJournal(db_, path_, "Nature", def), JournalError::None);
    EXPECT_EQ(LookUpJournal(db_, "Nature London", JournalForm::Medlar).name, "Nature (Lond)");
    EXPECT_EQ(LookUpJournal(db_, "Nature", JournalForm::IndexMedicus).quality,
              JournalError::FullNameReturned);
    // A replacement that cannot be stored leaves the journal it would have replaced.
    EXPECT_EQ(ReplaceJournal(db_, path_, "Nature", Definition("", "X")),
              JournalError::FullNameLacking);
    db_.ResetError();
    EXPECT_EQ(LookUpJournal(db_, "Nature London", JournalForm::Medlar).name, "Nature (Lond)");
}

TEST_F(JournalEditing, AFullBlockRefusesNewNames) {
    // One block filled to 14990 bytes: a name of ten more bytes does not fit.
    std::string rows;
    std::size_t size = 0;
    for (int i = 0; size + 7 + 100 <= 14990 - 100; ++i) {
        const std::string name = "Journal " + std::string(88, 'x') + std::to_string(1000 + i);
        rows += name + ",,,,,,,,\n";
        size += 7 + name.size();
    }
    JournalBuildOptions options;
    options.blockBytes = 14999;
    options.blockRecords = 500;
    std::string bytes = DatabaseBytes(rows, options);
    dir_.Write("journals.jdb", bytes);
    JournalDatabase db;
    ASSERT_EQ(db.Open(path_), JournalError::None);
    ASSERT_EQ(db.BlockCount(), 1);
    std::string filler(14999 - 7 - size - 1, 'f');
    ASSERT_EQ(StoreJournal(db_, path_, Definition(filler, "")), JournalError::None);
    const std::string full = ReadBytes(path_);
    EXPECT_EQ(StoreJournal(db_, path_, Definition("Ab", "")), JournalError::Malformed);
    EXPECT_EQ(ReadBytes(path_), full);
}

TEST_F(JournalEditing, RefusesNamesBeyond65500) {
    std::vector<JournalDefinition> journals(65501);
    for (std::size_t i = 0; i < journals.size(); ++i) {
        journals[i].texts[1] = "J" + std::to_string(i);
    }
    JournalImage image;
    ASSERT_EQ(BuildJournalImage(journals, {}, image).error, JournalError::None);
    EXPECT_EQ(StoreDefinition(image, Definition("One More", "")), JournalError::Malformed);
    image.Remove({0});
    EXPECT_EQ(StoreDefinition(image, Definition("One More", "")), JournalError::None);
    EXPECT_EQ(image.Records().size(), 65501u);
}

TEST_F(JournalEditing, AFailedWriteLeavesTheDatabaseWhole) {
    FaultyFiles files;
    JournalDatabase db(files);
    const std::string before = ReadBytes(path_);

    files.readOnly = true;
    EXPECT_EQ(StoreJournal(db, path_, Definition("Acta", "Acta")), JournalError::CannotModify);
    db.ResetError();
    EXPECT_EQ(DeleteJournal(db, path_, "Nature"), JournalError::CannotModify);
    EXPECT_EQ(ReadBytes(path_), before);

    files.readOnly = false;
    files.failRename = true;
    EXPECT_EQ(StoreJournal(db, path_, Definition("Acta", "Acta")), JournalError::TransferFailed);
    EXPECT_EQ(ReadBytes(path_), before);
    db.ResetError();
    EXPECT_EQ(DeleteJournal(db, path_, "Nature"), JournalError::TransferFailed);
    EXPECT_EQ(ReadBytes(path_), before);
    ExpectIntact({"The Journal of Biological Chemistry", "Nature", "Brain and Language",
                  "Chirurgie", "Cell"});
}

} // namespace
} // namespace cvx
