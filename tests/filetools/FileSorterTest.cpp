// Sorting a reference file: the orders, the duplicate rule, references that cannot be parsed, and
// a sort in place that dies at any step or is aborted.

#include "filetools/FileSorter.h"
#include "refstore/DisplaySorter.h"
#include "refstore/OrderFile.h"
#include "refstore/ReferenceMap.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "storage/WriteLock.h"
#include "support/FaultFileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Five references, one a duplicate of another (same author, year, journal, volume and page), one
// that cannot be parsed, and one deleted block.
std::string Fixture() {
    return JournalBlock("Smith01", "Smith, J.", "First title.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("Adams99", "Adams, K.", "Second title.", "1999 (3) pp 1-2", "Science") +
           " Broken\r\n Nobody, N.\r\n Only a title\r\n\r\n" +
           JournalBlock("Smith01b", "Smith, J.", "First title again.", "2001 (10) pp 5-9", "Nature",
                        "A longer comment that makes this block the longer one") +
           std::string(kDeletedMarker) +
           JournalBlock("Brown05", "Brown, L.", "Third title.", "2005 (7) pp 11-19", "Cell");
}

// The identification lines of a file, in order.
std::vector<std::string> Ids(const std::string& text) {
    std::vector<std::string> ids;
    bool start = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        const std::string line = text.substr(pos, end - pos);
        if (start && !line.empty()) {
            ids.push_back(line.substr(1));
        }
        start = line.empty();
        if (end == std::string::npos) {
            break;
        }
        pos = end + 2;
    }
    return ids;
}

// The identification and author lines of the references of a file, in order.
std::vector<std::string> IdsAndAuthors(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t idEnd = text.find("\r\n", start);
        const std::size_t authorsEnd = text.find("\r\n", idEnd + 2);
        found.push_back(text.substr(start, authorsEnd - start));
        const std::size_t end = text.find("\r\n\r\n", authorsEnd);
        start = end == std::string::npos ? text.size() : end + 4;
    }
    return found;
}

SortReport Sort(FileSystem& fs, const std::string& from, const std::string& to, DisplayOrder order,
                bool keep, Progress& progress) {
    return SortReferenceFile(fs, SortRequest{from, to, order, keep}, SortOptions{}, progress);
}

TEST(FileSorter, OrdersDropDuplicatesAndCarryUnparsedReferences) {
    struct Case {
        DisplayOrder order;
        bool keep;
        std::vector<std::string> ids;
    };
    // The unparsed reference sorts by what could be read of it (its author, no year). Of two
    // duplicates the longer block comes first; the other is dropped or marked.
    const Case cases[] = {
        {DisplayOrder::AuthorYear, false, {"Adams99", "Brown05", "Broken", "Smith01b"}},
        {DisplayOrder::YearAscending, false, {"Broken", "Adams99", "Smith01b", "Brown05"}},
        {DisplayOrder::YearDescending, false, {"Brown05", "Smith01b", "Adams99", "Broken"}},
        {DisplayOrder::Original, false, {"Adams99", "Broken", "Smith01b", "Brown05"}},
        {DisplayOrder::Original, true, {"Smith01", "Adams99", "Broken", "Smith01b", "Brown05"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string in = dir.Write("in.ref", Fixture());
        const std::string out = dir.File("out.ref");
        Progress progress;
        const SortReport r = Sort(FileSystem::Default(), in, out, c.order, c.keep, progress);
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
        const std::string sorted = ReadBytes(out);
        EXPECT_EQ(Ids(sorted), c.ids) << static_cast<int>(c.order) << " keep " << c.keep;
        EXPECT_EQ(r.duplicates, 1);
        EXPECT_EQ(r.deleted, 1);
        EXPECT_EQ(r.written, static_cast<int>(c.ids.size()));
        EXPECT_EQ(r.unparsed, std::vector<int>{3});
        // The unparsed reference is carried over byte for byte; the kept duplicate is marked
        // once, and only it.
        EXPECT_NE(sorted.find(" Broken\r\n Nobody, N.\r\n Only a title\r\n\r\n"),
                  std::string::npos);
        std::size_t marks = 0;
        for (std::size_t at = sorted.find("DUPLICATE"); at != std::string::npos;
             at = sorted.find("DUPLICATE", at + 1)) {
            ++marks;
        }
        EXPECT_EQ(marks, c.keep ? 1U : 0U);
        EXPECT_EQ(ReadBytes(in), Fixture()) << "the source is left alone";
    }
}

// Pairs of references that differ at one level of the orders, each sorted by the file sort and by
// the display sort in every order: which of the two comes first, and whether the later is a
// suspected duplicate with and without "Duplicate account" (authors not compared).
TEST(FileSorter, OrdersCompareTheirLevelsInTurn) {
    using test::JournalBlock;
    const struct {
        const char* what;
        std::string a; // first in the file
        std::string b;
        const char* firsts; // per order 0..5, the one that comes first ('a' or 'b')
        int duplicates;     // with the author keys compared
        int sourceOnly;     // without
    } cases[] = {
        {"author before year", JournalBlock("A1", "Smith, J.", "Title.", "1999 (1) pp 1", "Nature"),
         JournalBlock("A2", "Adams, K.", "Title.", "2001 (1) pp 1", "Nature"), "babaaa", 0, 0},
        {"order 4 leaves the year out",
         JournalBlock("B1", "Smith, J.", "Title.", "1980 (13) pp 1", "Nature"),
         JournalBlock("B2", "Smith, J.", "Title.", "1990 (12) pp 5", "Nature"), "aababa", 0, 0},
        {"order 3 leaves the author out",
         JournalBlock("C1", "Adams, K.", "Title.", "2001 (1) pp 1", "Science"),
         JournalBlock("C2", "Zeta, Z.", "Title.", "2001 (1) pp 1", "Cell"), "aaabba", 0, 0},
        {"the volume ascends below a descending year",
         JournalBlock("G1", "Smith, J.", "Title.", "2001 (5) pp 1", "Nature"),
         JournalBlock("G2", "Smith, J.", "Title.", "2001 (3) pp 1", "Nature"), "bbbbba", 0, 0},
        {"the first page", JournalBlock("D1", "Smith, J.", "Title.", "2001 (1) pp 9", "Nature"),
         JournalBlock("D2", "Smith, J.", "Title.", "2001 (1) pp 5", "Nature"), "bbbbba", 0, 0},
        {"equal first pages: the longer block",
         JournalBlock("E1", "Smith, J.", "Title.", "2001 (1) pp 5", "Nature"),
         JournalBlock("E2", "Smith, J.", "Title.", "2001 (1) pp 5", "Nature", "A comment."),
         "bbbbba", 1, 1},
        {"identification string, then year",
         JournalBlock("Same", "Smith, J.", "Title.", "2005 (1) pp 1", "Nature"),
         JournalBlock("Same", "Adams, K.", "Title.", "2001 (1) pp 1", "Nature"), "bbabab", 0, 0},
        {"the same source by other authors",
         JournalBlock("Zz", "Adams, K.", "Title.", "2001 (1) pp 1", "Nature"),
         JournalBlock("Aa", "Smith, J.", "Title.", "2001 (1) pp 1", "Nature"), "aaaaab", 0, 1},
    };
    FileSystem& fs = FileSystem::Default();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string in = dir.Write("in.ref", c.a + c.b);
        const std::string idA = IdsAndAuthors(c.a)[0];
        const std::string idB = IdsAndAuthors(c.b)[0];
        std::shared_ptr<const ReferenceReader> reader;
        ASSERT_TRUE(OpenReferenceReader(fs, in, nullptr, false, reader).ok());
        for (const DuplicateTest test :
             {DuplicateTest::SourceAndAuthors, DuplicateTest::SourceOnly}) {
            const int duplicates = test == DuplicateTest::SourceOnly ? c.sourceOnly : c.duplicates;
            Progress progress;
            DisplaySortOptions display;
            display.duplicates = test;
            const DisplaySortReport shown = SortDisplayOrders(fs, reader, display, progress);
            ASSERT_TRUE(shown.outcome.ok()) << shown.outcome.message();
            EXPECT_EQ(shown.duplicates.Count(), duplicates) << "display sort";
            SortOptions options;
            options.duplicates = test;
            for (int o = 0; o <= static_cast<int>(DisplayOrder::Original); ++o) {
                const auto order = static_cast<DisplayOrder>(o);
                const char first = order == DisplayOrder::Original ? 'a' : c.firsts[o];
                const std::vector<std::string> expected =
                    first == 'a' ? std::vector{idA, idB} : std::vector{idB, idA};
                const std::string out = dir.File("out" + std::to_string(o) + ".ref");
                SortReport r =
                    SortReferenceFile(fs, SortRequest{in, out, order, true}, options, progress);
                ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
                EXPECT_EQ(IdsAndAuthors(ReadBytes(out)), expected) << "file sort, order " << o;
                EXPECT_EQ(r.duplicates, duplicates) << "file sort, order " << o;
                if (order != DisplayOrder::Original) {
                    std::vector<std::int32_t> stored;
                    ASSERT_TRUE(LoadOrder(fs, dir.File("in.srt"), 2, order, stored));
                    EXPECT_EQ(stored, (first == 'a' ? std::vector<std::int32_t>{0, 1}
                                                    : std::vector<std::int32_t>{1, 0}))
                        << "display sort, order " << o;
                }
            }
            // Without keep-duplicates the duplicate is left out.
            const SortReport dropped = SortReferenceFile(
                fs, SortRequest{in, dir.File("dropped.ref"), DisplayOrder::AuthorYear, false},
                options, progress);
            ASSERT_TRUE(dropped.outcome.ok());
            EXPECT_EQ(dropped.written, 2 - duplicates);
        }
    }
}

TEST(FileSorter, SortingASortedFileAgainChangesNothing) {
    TempDir dir;
    const std::string in = dir.Write("in.ref", Fixture());
    Progress progress;
    ASSERT_TRUE(
        Sort(FileSystem::Default(), in, dir.File("a.ref"), DisplayOrder::AuthorYear, true, progress)
            .outcome.ok());
    ASSERT_TRUE(Sort(FileSystem::Default(), dir.File("a.ref"), dir.File("b.ref"),
                     DisplayOrder::AuthorYear, true, progress)
                    .outcome.ok());
    EXPECT_EQ(ReadBytes(dir.File("a.ref")), ReadBytes(dir.File("b.ref")));
}

TEST(FileSorter, SortingInPlaceTwiceKeepsTheTwoEarlierStates) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    Progress progress;
    ASSERT_TRUE(Sort(FileSystem::Default(), path, path, DisplayOrder::YearAscending, true, progress)
                    .outcome.ok());
    const std::string once = ReadBytes(path);
    ASSERT_TRUE(Sort(FileSystem::Default(), path, path, DisplayOrder::AuthorYear, false, progress)
                    .outcome.ok());
    EXPECT_EQ(ReadBytes(dir.File("refs.bak")), once);
    EXPECT_EQ(ReadBytes(dir.File("refs.~ba")), Fixture());
    // Without keep-duplicates the marker of the kept twin goes with the twin.
    EXPECT_EQ(ReadBytes(path).find("DUPLICATE"), std::string::npos);
}

TEST(FileSorter, RefusesFilesWithoutReferences) {
    TempDir dir;
    Progress progress;
    const std::string deletedOnly = dir.Write("d.ref", std::string(kDeletedMarker));
    EXPECT_FALSE(Sort(FileSystem::Default(), deletedOnly, dir.File("o.ref"),
                      DisplayOrder::AuthorYear, false, progress)
                     .outcome.ok());
    EXPECT_FALSE(Sort(FileSystem::Default(), dir.File("missing.ref"), dir.File("o.ref"),
                      DisplayOrder::AuthorYear, false, progress)
                     .outcome.ok());
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.ref")));
}

// Whatever step a sort in place dies at (a killed process) or fails at (a full disk, after which
// the program goes on and cleans up), the file holds its old text or its sorted text, and the old
// text is never lost: it is the file or its "bak". A failed sort says what failed and leaves no
// temporary behind.
TEST(FileSorter, SortInPlaceThatDiesAtAnyStepKeepsTheOriginal) {
    std::string sorted;
    int steps = 0;
    {
        TempDir dir;
        const std::string path = dir.Write("refs.ref", Fixture());
        test::FaultFileSystem fs;
        Progress progress;
        const SortReport r = Sort(fs, path, path, DisplayOrder::AuthorYear, false, progress);
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
        EXPECT_TRUE(r.inPlace);
        sorted = ReadBytes(path);
        EXPECT_EQ(ReadBytes(dir.File("refs.bak")), Fixture());
        steps = fs.Steps();
    }
    ASSERT_NE(sorted, Fixture());
    const std::string diskFull = "No space left on device";
    for (const test::Fault fault : {test::Fault::Crash, test::Fault::Failure}) {
        for (int failAt = 1; failAt <= steps; ++failAt) {
            const std::string where = std::string(fault == test::Fault::Crash ? "died" : "failed") +
                                      " at step " + std::to_string(failAt);
            TempDir dir;
            const std::string path = dir.Write("refs.ref", Fixture());
            WriteBytes(dir.File("refs.bak"), "an older backup");
            test::FaultFileSystem fs(failAt, fault, diskFull);
            Progress progress;
            const SortReport r = Sort(fs, path, path, DisplayOrder::AuthorYear, false, progress);
            const std::string now = ReadBytes(path);
            // Dying after the sorted text took the name (while stale companions are removed) is a
            // finished sort.
            EXPECT_TRUE(!r.outcome.ok() || now == sorted) << where;
            EXPECT_TRUE(now == Fixture() || now == sorted) << where;
            EXPECT_TRUE(now == Fixture() || ReadBytes(dir.File("refs.bak")) == Fixture()) << where;
            if (fault == test::Fault::Failure) {
                if (!r.outcome.ok()) {
                    EXPECT_NE(r.outcome.message().find(diskFull), std::string::npos)
                        << where << ": " << r.outcome.message();
                    EXPECT_EQ(r.written, 0) << where;
                }
                for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
                    EXPECT_NE(entry.path().extension(), ".$$$")
                        << where << ": " << entry.path().filename();
                }
            }
        }
    }
}

TEST(FileSorter, AbortLeavesEveryFileAsItWas) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", test::NumberedFile(300));
    Progress progress;
    progress.RequestAbort();
    const SortReport r =
        Sort(FileSystem::Default(), path, path, DisplayOrder::YearAscending, false, progress);
    EXPECT_TRUE(r.outcome.aborted());
    EXPECT_EQ(ReadBytes(path), test::NumberedFile(300));
    EXPECT_FALSE(std::filesystem::exists(dir.File("refs.bak")));
}

// A sort in place waits for another writer that holds the file, and then sorts what that writer
// left: nothing written meanwhile is lost to the rewrite.
TEST(FileSorter, SortInPlaceWaitsForAnotherWriter) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    WriteLock other;
    ASSERT_TRUE(other.Acquire(FileSystem::Default(), path, path, nullptr).ok());
    Progress progress;
    TVoxSort sort(FileSystem::Default(), SortRequest{path, path}, SortOptions{}, progress);
    ASSERT_TRUE(sort.Resume().ok());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string added =
        JournalBlock("Zeta10", "Zeta, Z.", "Added title.", "2010 (1) pp 1", "Cell");
    WriteBytes(path, Fixture() + added);
    other.Release();
    sort.Wait();
    ASSERT_TRUE(sort.Result().outcome.ok()) << sort.Result().outcome.message();
    EXPECT_EQ(Ids(ReadBytes(path)).back(), "Zeta10");
    EXPECT_EQ(ReadBytes(dir.File("refs.bak")), Fixture() + added);
}

TEST(FileSorter, RunsOnItsThread) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", test::NumberedFile(2000));
    Progress progress;
    TVoxSort sort(FileSystem::Default(), SortRequest{path, dir.File("a.ref")}, SortOptions{},
                  progress);
    ASSERT_TRUE(sort.Resume().ok());
    sort.Wait();
    EXPECT_TRUE(sort.Result().outcome.ok());
    EXPECT_EQ(sort.Result().written, 2000);
    EXPECT_FALSE(sort.Resume().ok()) << "a thread runs its job once";
}

} // namespace
} // namespace cvx
