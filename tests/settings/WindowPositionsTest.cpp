#include "SettingsTestSupport.h"

#include "settings/WindowPositions.h"

namespace cvx {
namespace {

using testing::SettingsTest;

TEST_F(SettingsTest, WindowPositionsAreValidOnlyWhenAllFourAreStored) {
    EXPECT_FALSE(ReadWindowPosition(store, 0).valid);

    ASSERT_TRUE(WriteWindowPosition(store, 11, 10, 20, 640, 480, false));
    const WindowPosition p = ReadWindowPosition(store, 11);
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.top, 10);
    EXPECT_EQ(p.left, 20);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    EXPECT_FALSE(p.maximised);
    EXPECT_EQ(
        store.SectionValues("Interface\\Windows\\RefWin"),
        (SettingValues{
            {"HW x", "640"}, {"HW y", "480"}, {"Max", "0"}, {"Top x", "10"}, {"Top y", "20"}}));

    // "Top x" stored as -1000: the window keeps its designed position.
    ASSERT_TRUE(store.WriteInt("Interface\\Windows\\RefWin", "Top x", -1000));
    EXPECT_FALSE(ReadWindowPosition(store, 11).valid);
    ASSERT_TRUE(store.WriteInt("Interface\\Windows\\RefWin", "Top x", -999));
    EXPECT_TRUE(ReadWindowPosition(store, 11).valid);
    ASSERT_TRUE(store.SetValue("Interface\\Windows\\RefWin", "HW y", "tall"));
    EXPECT_FALSE(ReadWindowPosition(store, 11).valid);
}

TEST_F(SettingsTest, AMaximisedWindowKeepsItsLastNormalPosition) {
    ASSERT_TRUE(WriteWindowPosition(store, 0, 1, 2, 3, 4, false));
    ASSERT_TRUE(WriteWindowPosition(store, 0, 50, 60, 70, 80, true));
    const WindowPosition p = ReadWindowPosition(store, 0);
    EXPECT_TRUE(p.maximised);
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.top, 1);
    EXPECT_EQ(p.height, 4);
    EXPECT_EQ(store.Value("Interface\\Windows\\Main window", "Max"), "1");
}

TEST_F(SettingsTest, WindowIndexesOutsideTheList) {
    EXPECT_EQ(WindowSectionName(12), "Edit jour");
    EXPECT_EQ(WindowSectionName(13), "");
    EXPECT_FALSE(ReadWindowPosition(store, 13).valid);
    EXPECT_FALSE(WriteWindowPosition(store, -1, 1, 2, 3, 4, false));
    EXPECT_TRUE(store.AllSectionPaths().empty());
}

} // namespace
} // namespace cvx
