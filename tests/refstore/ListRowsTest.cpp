// The rows of a reference window's list in both modes and the display orders a window switches.

#include "refstore/ListRows.h"
#include "refstore/OrderFile.h"
#include "refstore/ReferenceFile.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cvx {
namespace {

TEST(ListRows, EveryVisibleReferenceOrTheTaggedOnes) {
    ReferenceView view;
    view.Reset(6, 0, DisplayOrder::Original, {});
    RefSet tagged(6);
    ListRows rows;
    rows.Rebuild(view, tagged);
    EXPECT_EQ(rows.Count(), 6);
    EXPECT_EQ(rows.PositionOf(4), 4);
    EXPECT_EQ(rows.RowOf(9), 5);

    tagged.Set(1);
    tagged.Set(4);
    ASSERT_TRUE(view.SetTaggedOnly(true, tagged));
    rows.Rebuild(view, tagged);
    EXPECT_TRUE(rows.TaggedOnly());
    EXPECT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.PositionOf(0), 1);
    EXPECT_EQ(rows.PositionOf(1), 4);
    EXPECT_EQ(rows.PositionOf(2), -1);
    struct Case {
        int position, row;
    } cases[] = {{1, 0}, {4, 1}, {0, 0}, {2, 1}, {5, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(rows.RowOf(c.position), c.row) << c.position;
    }
}

TEST(ListRows, TaggedRowsFollowTheDisplayOrder) {
    ReferenceView view;
    view.Reset(4, 0, DisplayOrder::AuthorYear, {3, 2, 1, 0});
    RefSet tagged(4);
    tagged.Set(0);
    tagged.Set(2);
    ASSERT_TRUE(view.SetTaggedOnly(true, tagged));
    ListRows rows;
    rows.Rebuild(view, tagged);
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(view.DisplayToAbsolute(rows.PositionOf(0)), 2);
    EXPECT_EQ(view.DisplayToAbsolute(rows.PositionOf(1)), 0);
}

TEST(SetDisplayOrder, KeepsTheCurrentReferenceAndFallsBackToTheFilesOrder) {
    test::TempDir dir;
    const std::string path = dir.Write("refs.ref", test::NumberedFile(4));
    std::vector<std::vector<std::int32_t>> orders(6, {0, 1, 2, 3});
    orders[0] = {3, 2, 1, 0};
    ASSERT_TRUE(SaveOrders(FileSystem::Default(), dir.File("refs.srt"), orders).ok());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.GoTo(1).ok());

    ASSERT_TRUE(file.SetDisplayOrder(DisplayOrder::AuthorYear).ok());
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::AuthorYear);
    EXPECT_EQ(file.IdentificationString(), "Ref2");
    EXPECT_EQ(file.CurrentPosition(), 2);

    ASSERT_TRUE(file.SetDisplayOrder(DisplayOrder::Original).ok());
    EXPECT_EQ(file.CurrentPosition(), 1);

    // Without a fitting order file the file's own order is what the window gets.
    std::filesystem::remove(dir.File("refs.srt"));
    ASSERT_TRUE(file.SetDisplayOrder(DisplayOrder::YearJournal).ok());
    EXPECT_EQ(file.DisplayKind(), DisplayOrder::Original);
    EXPECT_EQ(file.IdentificationString(), "Ref2");
}

} // namespace
} // namespace cvx
