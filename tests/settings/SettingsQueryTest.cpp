// The settings by path and name as text: typed paths, reading what this version does not know,
// listing under a path, and the notice about a damaged store kept aside.

#include "SettingsTestSupport.h"

#include "settings/SettingsQuery.h"

namespace cvx {
namespace {

using testing::SettingsTest;

TEST(SettingsQuery, PathsAsTyped) {
    const struct {
        const char* typed;
        const char* path;
    } cases[] = {
        {"Interface/Locale", "Interface\\Locale"},
        {"/Interface/Locale/", "Interface\\Locale"},
        {"\\\\Interface\\", "Interface"},
        {"Journal names", "Journal names"},
        {"/", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingPathAsTyped(c.typed), c.path) << c.typed;
    }
}

TEST_F(SettingsTest, ReadsKnownAndForeignValuesByName) {
    WriteConfig("[Interface]\nSortType=4\nLeft%20by%20another%20version=yes\n");
    std::string value;
    ASSERT_TRUE(ReadSettingByName(store, "interface", "sorttype", value).ok());
    EXPECT_EQ(value, "4");
    ASSERT_TRUE(ReadSettingByName(store, "Interface", "Use idx", value).ok());
    EXPECT_EQ(value, "1") << "a known setting that is not stored reads as its default";
    ASSERT_TRUE(ReadSettingByName(store, "Interface", "Left by another version", value).ok());
    EXPECT_EQ(value, "yes");
    const Outcome missing = ReadSettingByName(store, "Interface", "Nothing", value);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("There is no setting \"Nothing\""), std::string::npos)
        << missing.message();
}

TEST_F(SettingsTest, ListsUnderAPathKnownValuesFirst) {
    WriteConfig("[Clipboard]\nSuppress%20RTF=1\nUnknown=7\n");
    const std::vector<ListedSetting> list = ListSettings(store, "clipboard");
    ASSERT_FALSE(list.empty());
    for (const ListedSetting& s : list) {
        EXPECT_EQ(s.path, "Clipboard");
    }
    EXPECT_EQ(list.front().name, "Suppress RTF");
    EXPECT_EQ(list.front().value, "1");
    EXPECT_EQ(list.back().name, "Unknown");
    EXPECT_EQ(list.back().value, "7");
    EXPECT_TRUE(ListSettings(store, "No such path").empty());
    EXPECT_GT(ListSettings(store, "").size(), list.size());
}

TEST_F(SettingsTest, WritesByNameAndTellsWhereADamagedStoreWasKept) {
    std::string notice = "stale";
    EXPECT_FALSE(WriteSettingByName(store, "Interface", "Nothing", "1", notice).ok());
    EXPECT_FALSE(WriteSettingByName(store, "Interface", "SortType", "many", notice).ok());
    ASSERT_TRUE(WriteSettingByName(store, "Interface", "SortType", "3", notice).ok());
    EXPECT_EQ(notice, "");
    EXPECT_EQ(StoreHealthWarning(store), "");

    WriteConfig("[Interface]\nSortType=2\njunk without a value\n[Broken\n");
    EXPECT_NE(StoreHealthWarning(store).find("is damaged"), std::string::npos);
    ASSERT_TRUE(WriteSettingByName(store, "Interface", "SortType", "5", notice).ok());
    EXPECT_NE(notice.find(store.DamagedCopyLocation()), std::string::npos) << notice;
    EXPECT_EQ(store.ReadInt(Setting::SortType), 5);
}

} // namespace
} // namespace cvx
