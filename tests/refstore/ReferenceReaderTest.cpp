// The const read of a reference file: several threads read one open file while its window moves
// and rewrites it, a reader keeps its version, and a text changed in place is refused.

#include "refstore/ReferenceReader.h"
#include "refstore/ReferenceFile.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace cvx {
namespace {

using test::JournalBlock;
using test::NumberedFile;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(ReferenceReader, ReadsPartsAndReturnsQualityWithoutSideEffects) {
    TempDir dir;
    const std::string path =
        dir.Write("q.ref", JournalBlock("Good", "Smith, J.", "A title.", "1998 (12(3)) pp 123-129",
                                        "Nature") +
                               JournalBlock("Short", "Smith, J.", "T.", "98 (12) 5", "J") +
                               " OnlyId\r\n\r\n" + std::string(kDeletedMarker));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    const std::shared_ptr<const ReferenceReader> reader = file.Reader();
    ASSERT_EQ(reader->Count(), 4);

    StoredReference ref;
    ASSERT_TRUE(reader->Parse(0, true, {true, nullptr}, ref).ok());
    EXPECT_EQ(ref.split.identification, "Good");
    EXPECT_EQ(ref.data[FieldIndex::Issue], "3");
    EXPECT_FALSE(ref.suspect || ref.ruined || ref.deleted);
    ASSERT_TRUE(reader->Parse(1, true, {true, nullptr}, ref).ok());
    EXPECT_TRUE(ref.suspect);
    ASSERT_TRUE(reader->Parse(2, true, {true, nullptr}, ref).ok());
    EXPECT_TRUE(ref.ruined);
    ASSERT_TRUE(reader->Read(3, ref).ok());
    EXPECT_TRUE(ref.deleted);
    EXPECT_EQ(ref.bytes, kDeletedMarker);
    EXPECT_FALSE(reader->Read(4, ref).ok());
    EXPECT_FALSE(reader->Read(-1, ref).ok());

    // The window's cursor and quality sets are untouched by what the reader found.
    EXPECT_EQ(file.CurrentIndex(), 0);
    EXPECT_EQ(file.SuspectSet().Count(), 0);
    EXPECT_EQ(file.RuinedSet().Count(), 0);
}

TEST(ReferenceReader, KeepsReadingItsVersionAfterTheFileIsRewritten) {
    TempDir dir;
    const std::string path = dir.Write("v.ref", NumberedFile(4));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    const std::shared_ptr<const ReferenceReader> before = file.Reader();
    ASSERT_TRUE(file.GoTo(1).ok());
    ASSERT_TRUE(file.DeleteCurrent().ok());
    ASSERT_TRUE(file.Compress().ok());
    ASSERT_EQ(file.RefCount(), 3);

    StoredReference ref;
    ASSERT_TRUE(before->Read(1, ref).ok());
    EXPECT_EQ(ref.split.identification, "Ref2");
    ASSERT_TRUE(file.Reader()->Read(1, ref).ok());
    EXPECT_EQ(ref.split.identification, "Ref3");
}

TEST(ReferenceReader, RefusesFragmentsOfATextChangedInPlace) {
    TempDir dir;
    const std::string path = dir.Write("c.ref", NumberedFile(6));
    std::shared_ptr<const ReferenceReader> reader;
    ASSERT_TRUE(OpenReferenceReader(FileSystem::Default(), path, nullptr, false, reader).ok());
    // Another program shifts the text by a few bytes without giving it a new inode.
    std::string text = ReadBytes(path);
    text.insert(0, "xyz");
    {
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    ReadBuffer buffer;
    StoredReference ref;
    for (int i = 1; i < reader->Count(); ++i) {
        EXPECT_FALSE(reader->Read(i, ref, &buffer).ok()) << i;
        EXPECT_FALSE(reader->Read(i, ref).ok()) << i;
    }
    EXPECT_FALSE(reader->EntriesFit({2}));
}

TEST(ReferenceReader, OneBufferServesSeveralReaders) {
    TempDir dir;
    const std::string a = dir.Write("a.ref", NumberedFile(3));
    const std::string b =
        dir.Write("b.ref", JournalBlock("Other", "X, Y.", "T.", "2000", "J") +
                               JournalBlock("Second", "X, Y.", "T.", "2000", "J"));
    std::shared_ptr<const ReferenceReader> ra;
    std::shared_ptr<const ReferenceReader> rb;
    ASSERT_TRUE(OpenReferenceReader(FileSystem::Default(), a, nullptr, false, ra).ok());
    ASSERT_TRUE(OpenReferenceReader(FileSystem::Default(), b, nullptr, false, rb).ok());
    ReadBuffer buffer;
    StoredReference ref;
    ASSERT_TRUE(ra->Read(1, ref, &buffer).ok());
    EXPECT_EQ(ref.split.identification, "Ref2");
    ASSERT_TRUE(rb->Read(1, ref, &buffer).ok());
    EXPECT_EQ(ref.split.identification, "Second");
    ASSERT_TRUE(ra->Read(0, ref, &buffer).ok());
    EXPECT_EQ(ref.split.identification, "Ref1");
}

TEST(ReferenceReader, ThreadsReadWhileTheWindowNavigatesAndWrites) {
    TempDir dir;
    constexpr int kCount = 400;
    const std::string original = NumberedFile(kCount);
    const std::string path = dir.Write("t.ref", original);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());

    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::atomic<long> reads{0};
    auto readAll = [&](std::shared_ptr<const ReferenceReader> reader) {
        ReadBuffer buffer;
        StoredReference ref;
        while (!stop.load()) {
            for (int i = 0; i < reader->Count(); ++i) {
                const bool ok = reader->Parse(i, false, {}, ref, (i % 2) ? &buffer : nullptr).ok();
                const std::string want = "Ref" + std::to_string(i + 1);
                // Each reader's version holds Refn at index n-1, or a deleted marker there.
                if (!ok || (ref.split.identification != want && !ref.deleted)) {
                    ++wrong;
                }
                ++reads;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back(readAll, file.Reader());
    }
    // Meanwhile the window moves about and deletes references (which rewrites the file).
    for (int step = 0; step < 40; ++step) {
        ASSERT_TRUE(file.GoTo((step * 37) % kCount).ok());
        if (step % 8 == 0) {
            ASSERT_TRUE(file.DeleteCurrent().ok());
            threads.emplace_back(readAll, file.Reader());
        }
        ASSERT_TRUE(file.Next(true).ok());
    }
    stop = true;
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(file.DeletedCount(), 5);
}

TEST(ReferenceView, OrderPositionAndTaggedOnlyMode) {
    ReferenceView view;
    view.Reset(5, 1, DisplayOrder::AuthorYear, {4, 2, 0, 3, 1});
    EXPECT_EQ(view.VisibleCount(), 4);
    EXPECT_EQ(view.Current(), 4);
    EXPECT_EQ(view.AbsoluteToDisplay(0), 2);
    RefSet tagged(5);
    EXPECT_FALSE(view.SetTaggedOnly(true, tagged));
    EXPECT_EQ(view.StepTarget(-1, false, tagged), 0);
    EXPECT_EQ(view.StepTarget(-1, true, tagged), 3);
    tagged.Set(3);
    ASSERT_TRUE(view.SetTaggedOnly(true, tagged));
    EXPECT_EQ(view.StepTarget(1, false, tagged), 3);
    ASSERT_TRUE(view.MoveTo(99));
    EXPECT_EQ(view.Position(), 4);
    // A view without a stored order shows the file's own order, deleted references included.
    view.Reset(5, 1, DisplayOrder::AuthorYear, {});
    EXPECT_EQ(view.Kind(), DisplayOrder::Original);
    EXPECT_EQ(view.VisibleCount(), 5);
    EXPECT_EQ(view.DisplayToAbsolute(3), 3);
}

} // namespace
} // namespace cvx
