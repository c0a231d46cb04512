// The recent-files list of the File menu and the lanes of background operations.

#include "shell/RecentFiles.h"
#include "../settings/SettingsTestSupport.h"
#include "settings/NameLists.h"
#include "shell/LaneTable.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

using RecentFilesTest = testing::SettingsTest;

TEST_F(RecentFilesTest, EntersNamesOnceAtTheTopAndKeepsNine) {
    RecentFiles recent;
    for (int i = 0; i < 11; ++i) {
        recent.Enter("/data/f" + std::to_string(i) + ".ref");
    }
    recent.Enter("/data/f5.ref");
    recent.Enter("/data/./f5.ref"); // the same file by another name
    recent.Enter("  ");
    ASSERT_EQ(recent.Entries().size(), 9u);
    EXPECT_EQ(recent.Entries()[0], "/data/f5.ref");
    EXPECT_EQ(recent.Entries()[1], "/data/f10.ref");
    EXPECT_EQ(recent.Entries()[8], "/data/f2.ref");
}

TEST_F(RecentFilesTest, SavesAndLoadsSkippingFilesThatAreGone) {
    RecentFiles recent;
    recent.Enter("/data/gone.ref");
    recent.Enter("/data/kept.ref");
    ASSERT_TRUE(recent.Save(store));
    EXPECT_EQ(ReadNameList(store, kRecentFilesSection),
              (std::vector<std::string>{"/data/kept.ref", "/data/gone.ref"}));

    RecentFiles loaded;
    loaded.Load(store, [](const std::string& name) { return name != "/data/gone.ref"; });
    EXPECT_EQ(loaded.Entries(), std::vector<std::string>{"/data/kept.ref"});
}

TEST(LaneTable, GivesFreeLanesAndRefusesAFourth) {
    LaneTable lanes;
    EXPECT_EQ(lanes.TryStart(), 0);
    EXPECT_EQ(lanes.TryStart(), 1);
    EXPECT_EQ(lanes.TryStart(), 2);
    EXPECT_EQ(lanes.TryStart(), std::nullopt);
    // A lower lane that ends is taken again, never the one still busy above it.
    lanes.End(0);
    EXPECT_EQ(lanes.Running(), 2);
    EXPECT_EQ(lanes.TryStart(), 0);
    lanes.End(7); // no such lane: nothing changes
    EXPECT_EQ(lanes.Running(), 3);
}

} // namespace
} // namespace cvx
