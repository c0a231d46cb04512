// The jobs over one reference file that the front ends share: opening for a job, numbers as the
// user gives them, and that a job refused for a bad argument writes nothing.

#include "refstore/ReferenceJobs.h"
#include "refstore/Companions.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

using test::NumberedFile;
using test::ReadBytes;
using test::WriteBytes;

class ReferenceJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.Write("refs.ref", NumberedFile(3));
        ASSERT_TRUE(OpenReferenceFile(file_, path_, &progress_).ok());
    }

    // The statuses and tag marks of ListReferences, "C-" per reference.
    std::string Marks() {
        std::vector<ListedReference> list;
        EXPECT_TRUE(ListReferences(file_, {}, list).ok());
        std::string marks;
        for (const ListedReference& r : list) {
            marks += std::string(1, "CSRD"[static_cast<int>(r.status)]) + (r.tagged ? "*" : "-");
        }
        return marks;
    }

    test::TempDir dir_;
    std::string path_;
    Progress progress_;
    TReferenceFile file_;
};

TEST_F(ReferenceJobsTest, OpeningRefusesWhatCannotBeAReferenceFile) {
    struct Case {
        const char* name;
        std::string text; // empty: no file
        std::string messagePart;
        bool lineEnds;
    } cases[] = {
        {"missing.ref", "", "There is no file with the name", false},
        {"empty.ref", "\r\n", "is empty", false},
        {"lf.ref", " Id\n Smith, J.\n T.\n 1998 (1) pp 1\n Nature\n\n", "LF-only", true},
        {"cr.ref", " Id\r Smith, J.\r T.\r 1998 (1) pp 1\r Nature\r\r", "CR-only", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.text.empty() ? dir_.File(c.name) : dir_.Write(c.name, c.text);
        TReferenceFile file;
        const Outcome r = OpenReferenceFile(file, path, nullptr);
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.message().find(c.messagePart), std::string::npos) << r.message();
        EXPECT_EQ(RefusedForLineEnds(r), c.lineEnds);
    }
    EXPECT_FALSE(RefusedForLineEnds(Outcome::Ok()));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.ref")));
}

TEST_F(ReferenceJobsTest, NumbersOutsideTheFileAreRefused) {
    for (int n : {0, -1, 4}) {
        const Outcome r = GoToReference(file_, n);
        EXPECT_FALSE(r.ok()) << n;
        EXPECT_NE(r.message().find("contains only 3 references"), std::string::npos) << r.message();
    }
    ASSERT_TRUE(GoToReference(file_, 2).ok());
    EXPECT_EQ(file_.IdentificationString(), "Ref2");
    TRefArrData record;
    ASSERT_TRUE(ReadReference(file_, 3, record).ok());
    EXPECT_EQ(record[FieldIndex::IdString], "Ref3");
}

// Listing and showing read through the file's const read: the window's cursor stays.
TEST_F(ReferenceJobsTest, ListAndShow) {
    ASSERT_TRUE(TagReferences(file_, "2", false).ok());
    ASSERT_TRUE(GoToReference(file_, 2).ok());
    std::vector<ListedReference> list;
    ASSERT_TRUE(ListReferences(file_, {}, list).ok());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].number, 2);
    EXPECT_TRUE(list[1].tagged);
    EXPECT_FALSE(list[0].tagged);
    // The short form without its title markers and markup codes.
    EXPECT_EQ(list[0].line, "1991 Authorb: Title number 1 Journal of Tests");

    ShownReference shown;
    ASSERT_TRUE(ShowReference(file_, 3, {}, shown).ok());
    EXPECT_EQ(shown.number, 3);
    EXPECT_EQ(shown.status, RefStatus::FormallyCorrect);
    EXPECT_EQ(shown.identification, "Ref3");
    EXPECT_NE(shown.proper.find("Title number 3."), std::string::npos);
    EXPECT_EQ(shown.data[FieldIndex::Journal], "Journal of Tests");
    EXPECT_FALSE(ShowReference(file_, 4, {}, shown).ok());
    EXPECT_EQ(file_.CurrentIndex(), 1);
    EXPECT_EQ(file_.IdentificationString(), "Ref2");
}

// A job refused for one bad number or a bad reprint number leaves the file as it was.
TEST_F(ReferenceJobsTest, RefusedJobsWriteNothing) {
    const std::string before = ReadBytes(path_);
    EXPECT_FALSE(DeleteReferences(file_, {1, 9}).ok());
    for (const char* number : {"RN", "R 1", "R\t1"}) {
        const Outcome r = ApplyReprintNumbers(file_, true, ReferenceScope::AllPresent, 0, number);
        EXPECT_FALSE(r.ok()) << number;
        EXPECT_NE(r.message().find("'Reprint numbers'"), std::string::npos) << r.message();
    }
    EXPECT_FALSE(ApplyReprintNumbers(file_, true, ReferenceScope::Current, 7, "RN1").ok());
    int count = -1;
    EXPECT_FALSE(
        AppendReferences(file_, dir_.File("other.ref"), ReferenceScope::Current, 5, count).ok());
    EXPECT_EQ(count, 0);
    // Nothing tagged: nothing to delete or append, and nothing is written.
    ASSERT_TRUE(DeleteTaggedReferences(file_, count).ok());
    EXPECT_EQ(count, 0);
    ASSERT_TRUE(
        AppendReferences(file_, dir_.File("other.ref"), ReferenceScope::Tagged, 0, count).ok());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("other.ref")));
    EXPECT_EQ(Marks(), "C-C-C-");
}

TEST_F(ReferenceJobsTest, DeletingAndAppending) {
    ASSERT_TRUE(DeleteReferences(file_, {3}).ok());
    EXPECT_EQ(Marks(), "C-C-D-");
    // Every present reference goes; the tags are left alone.
    int appended = 0;
    const std::string other = dir_.File("other.ref");
    ASSERT_TRUE(AppendReferences(file_, other, ReferenceScope::AllPresent, 0, appended).ok());
    EXPECT_EQ(appended, 2);
    EXPECT_EQ(file_.TaggedCount(), 0) << "the user's tags are as they were";
    EXPECT_FALSE(std::filesystem::exists(CompanionPath(FileSystem::Default(), path_, kTagExt)));
    ASSERT_TRUE(AppendReferences(file_, other, ReferenceScope::Current, 2, appended).ok());
    EXPECT_EQ(appended, 1);
    TReferenceFile target;
    ASSERT_TRUE(OpenReferenceFile(target, other, nullptr).ok());
    EXPECT_EQ(target.RefCount(), 3);

    ASSERT_TRUE(TagReferences(file_, "1", false).ok());
    int deleted = 0;
    ASSERT_TRUE(DeleteTaggedReferences(file_, deleted).ok());
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(Marks(), "D-C-D-");
}

// A reference deleted by number loses its tag, and the saved tags say so too.
TEST_F(ReferenceJobsTest, DeletedReferencesLoseTheirTags) {
    ASSERT_TRUE(TagReferences(file_, "1,2", false).ok());
    ASSERT_TRUE(DeleteReferences(file_, {2}).ok());
    EXPECT_EQ(file_.TaggedCount(), 1);
    TReferenceFile again;
    ASSERT_TRUE(OpenReferenceFile(again, path_, nullptr).ok());
    EXPECT_EQ(again.TaggedCount(), 1);
}

TEST_F(ReferenceJobsTest, ReprintNumbersOnTheCurrentOne) {
    ASSERT_TRUE(ApplyReprintNumbers(file_, true, ReferenceScope::Current, 2, "RN001").ok());
    ShownReference shown;
    ASSERT_TRUE(ShowReference(file_, 2, {}, shown).ok());
    EXPECT_EQ(shown.identification, "RN001 Ref2");
    ASSERT_TRUE(ShowReference(file_, 1, {}, shown).ok());
    EXPECT_EQ(shown.identification, "Ref1");
}

TEST(RepairLineEndsTest, RepairsOnlyWhatNeedsIt) {
    test::TempDir dir;
    bool changed = true;
    const Outcome missing = RepairLineEnds(dir.File("missing.ref"), changed);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("There is no file"), std::string::npos);
    EXPECT_FALSE(changed);

    const std::string lf = dir.Write("lf.ref", " Id\n Smith, J.\n T.\n 1998 (1) pp 1\n Nature\n\n");
    ASSERT_TRUE(RepairLineEnds(lf, changed).ok());
    EXPECT_TRUE(changed);
    EXPECT_EQ(ReadBytes(lf), " Id\r\n Smith, J.\r\n T.\r\n 1998 (1) pp 1\r\n Nature\r\n\r\n");
    ASSERT_TRUE(RepairLineEnds(lf, changed).ok());
    EXPECT_FALSE(changed);
    TReferenceFile file;
    EXPECT_TRUE(OpenReferenceFile(file, lf, nullptr).ok());
}

} // namespace
} // namespace cvx
