// The structure check: which references each scope finds faulty, and the faulty references made
// the file's tags only while the file still holds the text that was checked.

#include "filetools/StructureCheck.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceJobs.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::JournalBlock;
using test::TempDir;

// 0 sound, 1 a year of two digits, 2 an author name without its final ".", 3 cannot be parsed,
// 4 sound.
std::string Fixture() {
    return JournalBlock("Good", "Smith, J.", "A title.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("Year", "Smith, J.", "A title.", "01 (10) pp 5-9", "Nature") +
           JournalBlock("Names", "Smith, J", "A title.", "2001 (10) pp 5-9", "Nature") +
           " Broken\r\n Nobody, N.\r\n Only a title\r\n\r\n" +
           JournalBlock("Good2", "Adams, K.", "Another title.", "1999 (3) pp 1-2", "Science");
}

std::vector<int> Members(const RefSet& set) {
    std::vector<int> members;
    for (int i = 0; i < set.Size(); ++i) {
        if (set.Test(i)) {
            members.push_back(i);
        }
    }
    return members;
}

TEST(StructureCheck, EachScopeFindsItsFaultsAndUnparsedReferencesAlways) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    std::shared_ptr<const ReferenceReader> reader;
    ASSERT_TRUE(OpenReferenceReader(FileSystem::Default(), path, nullptr, false, reader).ok());
    const struct {
        CheckKind scope;
        std::vector<int> faulty;
    } cases[] = {
        {CheckKind::All, {1, 2, 3}},
        {CheckKind::YearVolumePages, {1, 3}},
        {CheckKind::Names, {2, 3}},
        {CheckKind::Source, {1, 3}}, // the source rules and the year rule
        {CheckKind::JournalNames, {3}},
    };
    for (const auto& c : cases) {
        Progress progress;
        const CheckReport r = CheckReferenceStructure(reader, c.scope, {}, progress);
        ASSERT_TRUE(r.outcome.ok());
        EXPECT_EQ(Members(r.faulty), c.faulty) << static_cast<int>(c.scope);
    }
}

TEST(StructureCheck, FaultyReferencesBecomeTheTagsOfTheCheckedText) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    file.TaggedSet().Set(4);
    Progress progress;
    const CheckReport r = CheckFileStructure(file, CheckKind::All, {}, progress);
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_EQ(Members(file.TaggedSet()), (std::vector<int>{1, 2, 3}));

    // A result made from another version of the text is refused and the tags stay.
    TempDir other;
    const std::string otherPath = other.Write("refs.ref", Fixture() + Fixture());
    std::shared_ptr<const ReferenceReader> otherReader;
    ASSERT_TRUE(
        OpenReferenceReader(FileSystem::Default(), otherPath, nullptr, false, otherReader).ok());
    const CheckReport foreign = CheckReferenceStructure(otherReader, CheckKind::All, {}, progress);
    EXPECT_FALSE(ReplaceTags(file, foreign.faulty, *otherReader).ok());
    EXPECT_EQ(Members(file.TaggedSet()), (std::vector<int>{1, 2, 3}));
}

TEST(StructureCheck, AbortIsReported) {
    TempDir dir;
    std::shared_ptr<const ReferenceReader> reader;
    ASSERT_TRUE(OpenReferenceReader(FileSystem::Default(), dir.Write("r.ref", Fixture()), nullptr,
                                    false, reader)
                    .ok());
    Progress progress;
    progress.RequestAbort();
    EXPECT_TRUE(CheckReferenceStructure(reader, CheckKind::All, {}, progress).outcome.aborted());
}

} // namespace
} // namespace cvx
