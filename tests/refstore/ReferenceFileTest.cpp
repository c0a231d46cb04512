#include "refstore/ReferenceFile.h"
#include "IdentificationStrings.h"
#include "refstore/Companions.h"
#include "refstore/OrderFile.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Progress.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::Ids;
using test::JournalBlock;
using test::NumberedFile;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class ReferenceFileTest : public ::testing::Test {
protected:
    std::string MakeFile(const std::string& text, const std::string& name = "refs.ref") {
        const std::string path = dir_.File(name);
        WriteBytes(path, text);
        return path;
    }

    TempDir dir_;
};

TEST_F(ReferenceFileTest, MissingAndEmptyFilesHaveNoReferences) {
    TReferenceFile file;
    EXPECT_TRUE(file.Open(dir_.File("missing.ref")).ok());
    EXPECT_EQ(file.RefCount(), 0);
    EXPECT_TRUE(file.Open(MakeFile("\r\n")).ok());
    EXPECT_EQ(file.RefCount(), 0);
    EXPECT_TRUE(FileIsEmpty(FileSystem::Default(), dir_.File("refs.ref")));
}

TEST_F(ReferenceFileTest, NavigationAndTaggedOnlyMode) {
    TReferenceFile file;
    ASSERT_TRUE(file.Open(MakeFile(NumberedFile(5))).ok());
    EXPECT_EQ(file.IdentificationString(), "Ref1");
    ASSERT_TRUE(file.Previous(false).ok());
    EXPECT_EQ(file.CurrentPosition(), 0);
    ASSERT_TRUE(file.Previous(true).ok());
    EXPECT_EQ(file.CurrentPosition(), 4);
    ASSERT_TRUE(file.Next(true).ok());
    EXPECT_EQ(file.CurrentPosition(), 0);
    EXPECT_FALSE(file.SetTaggedOnly(true)); // nothing tagged
    file.TaggedSet().Set(1);
    file.TaggedSet().Set(3);
    ASSERT_TRUE(file.SetTaggedOnly(true));
    ASSERT_TRUE(file.Next(false).ok());
    EXPECT_EQ(file.IdentificationString(), "Ref2");
    ASSERT_TRUE(file.Next(false).ok());
    EXPECT_EQ(file.IdentificationString(), "Ref4");
    ASSERT_TRUE(file.Next(false).ok());
    EXPECT_EQ(file.IdentificationString(), "Ref2");
    ASSERT_TRUE(file.GoTo(99).ok());
    EXPECT_EQ(file.CurrentPosition(), 4);
}

TEST_F(ReferenceFileTest, TagFileMustFitTheReferenceCount) {
    const std::string path = MakeFile(NumberedFile(101));
    RefSet tags(100);
    tags.Set(5);
    WriteBytes(dir_.File("refs.smp"), tags.ToTagImage());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.TaggedCount(), 0);
    file.TaggedSet().Set(7);
    ASSERT_TRUE(file.SaveTags().ok());
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_TRUE(file.IsTagged(7));
    EXPECT_EQ(file.TaggedCount(), 1);
}

TEST_F(ReferenceFileTest, OrderFileRules) {
    const std::string path = MakeFile(NumberedFile(4));
    // Order 0 reverses the file; the other five are the identity.
    std::vector<std::vector<std::int32_t>> orders(6, {0, 1, 2, 3});
    orders[0] = {3, 2, 1, 0};
    ASSERT_TRUE(SaveOrders(FileSystem::Default(), dir_.File("refs.srt"), orders).ok());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path, DisplayOrder::AuthorYear).ok());
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::AuthorYear);
    EXPECT_EQ(file.IdentificationString(), "Ref4");
    EXPECT_EQ(file.AbsoluteToDisplay(0), 3);

    // A file of 24 N + 4 bytes is ignored: the references show in file order.
    WriteBytes(dir_.File("refs.srt"), ReadBytes(dir_.File("refs.srt")) + "junk");
    ASSERT_TRUE(file.Open(path, DisplayOrder::AuthorYear).ok());
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::Original);
    EXPECT_EQ(file.IdentificationString(), "Ref1");

    // So is an order that is not a permutation of the references.
    orders[0] = {0, 0, 1, 2};
    ASSERT_TRUE(SaveOrders(FileSystem::Default(), dir_.File("refs.srt"), orders).ok());
    ASSERT_TRUE(file.Open(path, DisplayOrder::AuthorYear).ok());
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::Original);
}

TEST_F(ReferenceFileTest, TagSequences) {
    TReferenceFile file;
    ASSERT_TRUE(file.Open(MakeFile(NumberedFile(10))).ok());
    struct Case {
        std::string_view text;
        std::vector<int> tagged; // 0-based
    } cases[] = {
        {"1-3, 7", {0, 1, 2, 6}}, {"2-", {1}},          {"x5y;9", {4, 8}},
        {"8 - 12", {7, 8, 9}},    {"0, 11, 50-60", {}}, {"4-2", {1, 2, 3}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(file.TagSequence(c.text, false, true).ok()) << c.text;
        std::vector<int> tagged;
        for (int i = 0; i < file.RefCount(); ++i) {
            if (file.IsTagged(i)) {
                tagged.push_back(i);
            }
        }
        EXPECT_EQ(tagged, c.tagged) << c.text;
    }
    // An overflowing number stops the scan and keeps what was tagged before it.
    const Outcome r = file.TagSequence("3, 99999999999999, 5", false, true);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message().find("99999999999999, 5"), std::string::npos) << r.message();
    EXPECT_TRUE(file.IsTagged(2));
    EXPECT_FALSE(file.IsTagged(4));
}

TEST_F(ReferenceFileTest, DeleteCurrentKeepsNumbersAndBacksUp) {
    const std::string original = NumberedFile(3);
    const std::string path = MakeFile(original);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.GoTo(1).ok());
    ASSERT_TRUE(file.DeleteCurrent().ok());
    EXPECT_EQ(file.RefCount(), 3);
    EXPECT_EQ(file.DeletedCount(), 1);
    EXPECT_EQ(file.Status(1), RefStatus::Deleted);
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "DELETED", "Ref3"}));
    EXPECT_EQ(ReadBytes(dir_.File("refs.bak")), original);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("refs.$$$")));
}

TEST_F(ReferenceFileTest, DeleteCurrentInSortedDisplay) {
    const std::string path = MakeFile(NumberedFile(4));
    std::vector<std::vector<std::int32_t>> orders(6, {0, 1, 2, 3});
    orders[0] = {2, 0, 3, 1};
    ASSERT_TRUE(SaveOrders(FileSystem::Default(), dir_.File("refs.srt"), orders).ok());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path, DisplayOrder::AuthorYear).ok());
    ASSERT_TRUE(file.GoTo(3).ok()); // the last visible reference, Ref2
    ASSERT_TRUE(file.DeleteCurrent().ok());
    // The order file was kept valid with the deleted reference moved last; the display stays on
    // the last visible reference.
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::AuthorYear);
    EXPECT_EQ(file.VisibleCount(), 3);
    EXPECT_EQ(file.CurrentPosition(), 2);
    EXPECT_EQ(file.IdentificationString(), "Ref4");
    EXPECT_EQ(file.DisplayToAbsolute(3), 1);
}

// Several references deleted at once go to the end of every stored order, in the order they
// were named, and the order file stays valid for the new text.
TEST_F(ReferenceFileTest, DeleteSeveralInSortedDisplay) {
    const std::string path = MakeFile(NumberedFile(5));
    std::vector<std::vector<std::int32_t>> orders(6, {0, 1, 2, 3, 4});
    orders[0] = {2, 0, 4, 3, 1};
    ASSERT_TRUE(SaveOrders(FileSystem::Default(), dir_.File("refs.srt"), orders).ok());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path, DisplayOrder::AuthorYear).ok());
    ASSERT_TRUE(file.DeleteAt({3, 0}).ok());
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::AuthorYear);
    EXPECT_EQ(file.VisibleCount(), 3);
    std::vector<int> shown;
    for (int p = 0; p < 5; ++p) {
        shown.push_back(file.DisplayToAbsolute(p));
    }
    EXPECT_EQ(shown, (std::vector<int>{2, 4, 1, 3, 0}));
    EXPECT_EQ(file.DeletedCount(), 2);
    // A number outside the file writes nothing.
    const std::string before = ReadBytes(path);
    EXPECT_FALSE(file.DeleteAt({1, 5}).ok());
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(ReferenceFileTest, DeleteTaggedAndCompress) {
    const std::string path = MakeFile("\r\nstray-prefix\r\n\r\n" + NumberedFile(5));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.TagSequence("2,4", true, true).ok());
    ASSERT_TRUE(file.DeleteTagged().ok());
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "DELETED", "Ref3", "DELETED", "Ref5"}));
    ASSERT_TRUE(file.Compress().ok());
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "Ref3", "Ref5"}));
    EXPECT_EQ(file.TaggedCount(), 0);
    EXPECT_EQ(ReadBytes(path).substr(0, 18), "\r\nstray-prefix\r\n\r\n");

    // Compressing a file without deleted references rewrites it unchanged and clears the tags.
    const std::string before = ReadBytes(path);
    file.TaggedSet().Set(0);
    ASSERT_TRUE(file.SaveTags().ok());
    ASSERT_TRUE(file.Compress().ok());
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(file.TaggedCount(), 0);
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.TaggedCount(), 0);
}

TEST_F(ReferenceFileTest, ReplaceCurrentAndRawRanges) {
    const std::string path = MakeFile(NumberedFile(4));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.GoTo(1).ok());
    const std::string replacement =
        JournalBlock("New", "Doe, J.", "Replaced.", "2020 (1) pp 1-2", "J");
    ASSERT_TRUE(file.ReplaceCurrent(replacement).ok());
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "New", "Ref3", "Ref4"}));

    ASSERT_TRUE(file.GoTo(2).ok());
    std::string raw;
    ASSERT_TRUE(file.ReadRawRange(100000, raw).ok());
    EXPECT_EQ(raw.find(" New\r\n"), 0u); // starts one reference before the current one
    const std::size_t cut = raw.find(" Ref3");
    ASSERT_TRUE(file.WriteRawRange(raw.substr(0, cut) + "\r\n\r\n").ok());
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "New"}));
    EXPECT_FALSE(file.WriteRawRange(std::string(40000, 'x')).ok());
}

TEST_F(ReferenceFileTest, AppendToAnotherFile) {
    const std::string from = MakeFile(NumberedFile(3));
    const std::string to = MakeFile(NumberedFile(1), "to.ref");
    {
        TReferenceFile target;
        ASSERT_TRUE(target.Open(to).ok());
    }
    ASSERT_TRUE(std::filesystem::exists(dir_.File("to.map")));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(from).ok());
    file.TaggedSet().Set(0);
    file.TaggedSet().Set(2);
    ASSERT_TRUE(file.AppendTo(to, true).ok());
    EXPECT_FALSE(std::filesystem::exists(dir_.File("to.map")));
    TReferenceFile target;
    ASSERT_TRUE(target.Open(to).ok());
    EXPECT_EQ(Ids(target), (std::vector<std::string>{"Ref1", "Ref1", "Ref3"}));
    EXPECT_FALSE(file.AppendTo(from, true).ok());
}

TEST_F(ReferenceFileTest, ReprintNumbers) {
    std::string text;
    for (std::string_view id : {"RN0099 old", "\"\"", "key RN7 RN8", "plain"}) {
        text += JournalBlock(id, "Smith, J.", "T.", "1998 (1) pp 1", "J");
    }
    const std::string path = MakeFile(text);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.RewriteReprintNumbers(true, ReprintScope::AllPresent, "RN0100").ok());
    EXPECT_EQ(Ids(file),
              (std::vector<std::string>{"RN0100 old", "RN0101", "key RN0102", "RN0103 plain"}));
    ASSERT_TRUE(file.TagSequence("1,3", true, true).ok());
    ASSERT_TRUE(file.RewriteReprintNumbers(false, ReprintScope::Tagged, "RN1").ok());
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"old", "RN0101", "key", "RN0103 plain"}));
}

class AbortAfterFirstDetail final : public Progress {
public:
    void SetDetail(std::string_view text) override {
        if (text == "1") {
            RequestAbort();
        }
    }
};

TEST_F(ReferenceFileTest, AbortedReprintRewriteChangesNothing) {
    const std::string path = MakeFile(NumberedFile(20));
    WriteBytes(dir_.File("refs.bak"), "previous backup");
    const std::string before = ReadBytes(path);
    AbortAfterFirstDetail progress;
    TReferenceFile file;
    file.SetProgress(&progress);
    ASSERT_TRUE(file.Open(path).ok());
    const Outcome r = file.RewriteReprintNumbers(true, ReprintScope::AllPresent, "RN1");
    EXPECT_TRUE(r.aborted());
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(ReadBytes(dir_.File("refs.bak")), "previous backup");
    EXPECT_FALSE(std::filesystem::exists(dir_.File("refs.$$$")));
}

TEST_F(ReferenceFileTest, SingleLineText) {
    std::string text =
        JournalBlock("A", "Smith, J. Brown, K. Lee, L.", "A title.", "1998 (1) pp 1", "Nature");
    text += JournalBlock("B", "\"\"", "\"\"", "2001 (1) pp 1", "\"\"");
    text +=
        " C\r\n Doe, J.\r\n \"\"\r\n 2002 pp 1-9\r\n E: The Book\r\n Ed, E.\r\n Pub (City)\r\n\r\n";
    text += std::string(kDeletedMarker);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(MakeFile(text)).ok());
    EXPECT_EQ(file.SingleLineText(), "#B1998#B Smith et al: !T!T!TA title!T!T!T #INature#I");
    ASSERT_TRUE(file.GoTo(1).ok());
    EXPECT_EQ(file.SingleLineText(), "#B2001#B #IAnon.#I: !T!T!T#I<lacks title>#I!T!T!T #I????#I");
    ASSERT_TRUE(file.GoTo(2).ok());
    EXPECT_EQ(file.SingleLineText(), "#B2002#B Doe: #IThe Book#I");
    ASSERT_TRUE(file.GoTo(3).ok());
    EXPECT_EQ(file.SingleLineText(), "#IDeleted#I");
}

TEST_F(ReferenceFileTest, SortRecordsAndKeys) {
    std::string text = JournalBlock("Id1", "Smith, J A. Brown-Hill, K.", "A title.",
                                    "1998 (12a(3)) pp 123-9", "Nat. Med.");
    text +=
        " Id2\r\n \"\"\r\n T\r\n 2001 (S7) pp e5\r\n E: The Book\r\n Ed, E.\r\n Pub (City)\r\n\r\n";
    TReferenceFile file;
    ASSERT_TRUE(file.Open(MakeFile(text)).ok());
    TSortRec r;
    ASSERT_TRUE(file.SortRecord(0, r).ok());
    EXPECT_EQ(r.year, 1998);
    EXPECT_EQ(r.volume, 12);
    EXPECT_EQ(r.issue, 3);
    EXPECT_EQ(r.pageFirst, 123);
    EXPECT_EQ(r.journalKey, "Nat Med");
    EXPECT_EQ(r.authorKey, "SMITH JA BROWN-HILL K");
    EXPECT_EQ(r.length, static_cast<int>(file.EntryOf(0).length));
    ASSERT_TRUE(file.SortRecord(1, r).ok());
    EXPECT_EQ(r.sourceType, SourceType::Chapter);
    EXPECT_EQ(r.journalKey, "The Book");
    EXPECT_EQ(r.authorKey, "ED E");
    EXPECT_EQ(r.pageFirst, 0);
    NumericKeys keys;
    ASSERT_TRUE(file.KeysOf(1, keys).ok());
    EXPECT_EQ(keys.year, 2001);
    EXPECT_EQ(keys.volume, 7);
    EXPECT_EQ(keys.pageFirst, 5);
}

TEST_F(ReferenceFileTest, OutsideChangesAreCaughtBeforeWriting) {
    const std::string path = MakeFile(NumberedFile(3));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.GoTo(2).ok());
    // Another program puts a reference in front: the map no longer describes the file.
    WriteBytes(path,
               JournalBlock("Inserted", "Doe, J.", "T.", "2000 (1) pp 1", "J") + NumberedFile(3));
    const Outcome r = file.DeleteCurrent();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(file.RefCount(), 4);
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Inserted", "Ref1", "Ref2", "Ref3"}));
}

TEST_F(ReferenceFileTest, VanishingFileIsDisconnected) {
    const std::string path = MakeFile(NumberedFile(3));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    std::filesystem::remove(path);
    const Outcome gone = file.GoTo(2);
    EXPECT_FALSE(gone.ok());
    EXPECT_NE(gone.message().find("disconnected"), std::string::npos);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.RefCount(), 0);
}

} // namespace
} // namespace cvx
