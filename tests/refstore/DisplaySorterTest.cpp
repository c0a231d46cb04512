// Display sorting: the six stored orders with deleted references last, the suspected duplicates,
// and an order file that is written only for the text that was sorted, beside the file itself.

#include "refstore/DisplaySorter.h"
#include "refstore/OrderFile.h"
#include "refstore/ReferenceMap.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

using test::JournalBlock;
using test::TempDir;

// 0 Smith 2001, 1 Adams 1999, 2 deleted, 3 a duplicate of 0 (a longer block), 4 Brown 2005.
std::string Fixture() {
    return JournalBlock("S", "Smith, J.", "First.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("A", "Adams, K.", "Second.", "1999 (3) pp 1-2", "Science") +
           std::string(kDeletedMarker) +
           JournalBlock("S2", "Smith, J.", "First again.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("B", "Brown, L.", "Third.", "2005 (7) pp 11-19", "Cell");
}

std::shared_ptr<const ReferenceReader> Open(const std::string& path) {
    std::shared_ptr<const ReferenceReader> reader;
    EXPECT_TRUE(OpenReferenceReader(FileSystem::Default(), path, nullptr, false, reader).ok());
    return reader;
}

TEST(DisplaySorter, StoresSixOrdersWithDeletedLastAndFindsDuplicates) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    Progress progress;
    const DisplaySortReport r =
        SortDisplayOrders(FileSystem::Default(), Open(path), DisplaySortOptions{}, progress);
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_EQ(r.duplicates.Count(), 1);
    EXPECT_TRUE(r.duplicates.Test(0)) << "equal keys: the longer block comes first";

    const std::string orderFile = dir.File("refs.srt");
    ASSERT_TRUE(OrderFileValid(FileSystem::Default(), orderFile, path, 5));
    const struct {
        DisplayOrder order;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {DisplayOrder::AuthorYear, {1, 4, 3, 0, 2}},
        {DisplayOrder::YearAscending, {1, 3, 0, 4, 2}},
        {DisplayOrder::YearDescending, {4, 3, 0, 1, 2}},
        {DisplayOrder::JournalYear, {4, 3, 0, 1, 2}},
        {DisplayOrder::IdentificationString, {1, 4, 0, 3, 2}},
    };
    for (const auto& c : cases) {
        std::vector<std::int32_t> order;
        ASSERT_TRUE(LoadOrder(FileSystem::Default(), orderFile, 5, c.order, order));
        EXPECT_EQ(order, c.expected) << static_cast<int>(c.order);
    }
}

TEST(DisplaySorter, DamagedOrderFilesAreNeverTrustedAndAreRebuilt) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    const std::string orderFile = dir.File("refs.srt");
    Progress progress;
    ASSERT_TRUE(SortDisplayOrders(FileSystem::Default(), Open(path), DisplaySortOptions{}, progress)
                    .outcome);
    const std::string image = test::ReadBytes(orderFile);
    std::string repeated = image; // order 0 names reference 1 twice
    repeated[0] = image[4];
    const std::string damaged[] = {image.substr(0, image.size() - 4),
                                   std::string(image.size(), '\0'), repeated};
    for (const std::string& bad : damaged) {
        test::WriteBytes(orderFile, bad);
        std::vector<std::int32_t> order;
        EXPECT_FALSE(
            LoadOrder(FileSystem::Default(), orderFile, 5, DisplayOrder::AuthorYear, order));
        ASSERT_TRUE(
            SortDisplayOrders(FileSystem::Default(), Open(path), DisplaySortOptions{}, progress)
                .outcome);
        EXPECT_EQ(test::ReadBytes(orderFile), image);
    }
}

TEST(DisplaySorter, TextChangedDuringTheSortKeepsTheOldOrderFile) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Fixture());
    const std::shared_ptr<const ReferenceReader> reader = Open(path);
    test::WriteBytes(path, Fixture() + JournalBlock("N", "New, N.", "T.", "2010 (1) pp 1", "J"));
    Progress progress;
    const DisplaySortReport r =
        SortDisplayOrders(FileSystem::Default(), reader, DisplaySortOptions{}, progress);
    EXPECT_FALSE(r.outcome.ok());
    EXPECT_FALSE(std::filesystem::exists(dir.File("refs.srt")));
}

// Sorted through a symbolic link, the orders go beside the file the link stands for, where the
// reference window opened through the link looks for them.
TEST(DisplaySorter, OrdersOfALinkedFileGoBesideTheFileItStandsFor) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("library"));
    const std::string target = dir.Write("library/refs.ref", Fixture());
    const std::string link = dir.File("mine.ref");
    std::filesystem::create_symlink(target, link);
    Progress progress;
    ASSERT_TRUE(SortDisplayOrders(FileSystem::Default(), Open(link), DisplaySortOptions{}, progress)
                    .outcome);
    EXPECT_TRUE(OrderFileValid(FileSystem::Default(), dir.File("library/refs.srt"), target, 5));
    EXPECT_FALSE(std::filesystem::exists(dir.File("mine.srt")));
}

TEST(DisplaySorter, AbortWritesNothing) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", test::NumberedFile(100));
    Progress progress;
    progress.RequestAbort();
    TSortDisplay thread(FileSystem::Default(), Open(path), DisplaySortOptions{}, progress);
    ASSERT_TRUE(thread.Resume().ok());
    thread.Wait();
    EXPECT_TRUE(thread.Result().outcome.aborted());
    EXPECT_FALSE(std::filesystem::exists(dir.File("refs.srt")));
}

} // namespace
} // namespace cvx
