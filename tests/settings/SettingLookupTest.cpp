#include "SettingsTestSupport.h"

#include "settings/DefaultDirectories.h"
#include "settings/SettingLookup.h"

namespace cvx {
namespace {

using testing::SettingsTest;
using Family = SettingInfo::Family;

TEST(SettingLookup, EveryNameHasItsOneSpelling) {
    struct Case {
        std::string_view path;
        std::string_view name;
        std::string_view canonicalPath;
        std::string_view canonicalName;
        Family family;
        std::string_view defaultValue;
    };
    const Case cases[] = {
        {"interface", "USE IDX", "Interface", "Use idx", Family::Table, "1"},
        {"Interface\\Locale", "language", "Interface\\Locale", "Language", Family::Table, "0"},
        {"interface\\windows\\single display", "hw", "Interface\\Windows\\Single display", "HW",
         Family::Table, "321"},
        {"Interface\\Fonts\\single lines", "name", "Interface\\Fonts\\Single Lines", "Name",
         Family::Font, "Arial"},
        {"Interface\\Backgrounds", "abstract area", "Interface\\Backgrounds", "Abstract Area",
         Family::Background, "-1"},
        {"Interface\\Windows\\edit jour", "top X", "Interface\\Windows\\Edit jour", "Top x",
         Family::Window, "-1000"},
        {"specific files", "last filter", "Specific files", "Last filter", Family::Table, ""},
        {"Specific files", "main help file", "Specific files", "Main help file",
         Family::SpecificFile, ""},
        {"Strings\\Recent reference files", "count", "Strings\\Recent reference files", "Count",
         Family::NameList, "0"},
        {"strings\\recent reference files", "12", "Strings\\Recent reference files", "12",
         Family::NameList, " "},
        {"Strings\\Tag strings", "20", "Strings\\Tag strings", "20", Family::History, ""},
        {"multifile groups", "My/Group", "Multifile groups", "My/Group", Family::UserData, ""},
        {"Thesaurus list", "heart", "Thesaurus list", "heart", Family::UserData, ""},
    };
    for (const Case& c : cases) {
        const std::optional<SettingInfo> s = FindSetting(c.path, c.name);
        ASSERT_TRUE(s) << c.path << " " << c.name;
        EXPECT_EQ(s->path, c.canonicalPath);
        EXPECT_EQ(s->name, c.canonicalName);
        EXPECT_EQ(s->family, c.family) << c.name;
        EXPECT_EQ(s->defaultValue, c.defaultValue) << c.name;
    }
    const std::pair<std::string_view, std::string_view> unknown[] = {
        {"Interface", "Use idz"},
        {"Interface\\Fonts\\Other", "Name"},
        {"Interface\\Backgrounds", "Printer Font"},
        {"Strings\\Tag strings", "21"},
        {"Strings\\Tag strings", "01"},
        {"Multifile groups", ""},
        {"", "Use idx"},
        {"Nowhere", "x"}};
    for (const auto& [path, name] : unknown) {
        EXPECT_FALSE(FindSetting(path, name)) << path << " " << name;
    }
}

TEST_F(SettingsTest, ValuesAsText) {
    const auto value = [&](std::string_view path, std::string_view name) {
        return SettingValueText(store, *FindSetting(path, name));
    };
    EXPECT_EQ(value("Interface", "Resort limit"), "2000");
    EXPECT_EQ(value("Interface\\Fonts\\Printer Font", "Height"), "8");
    EXPECT_EQ(value("Interface\\Fonts\\Printer Font", "Size"), "");
    EXPECT_EQ(value("Default directories", "DumpDir"),
              DefaultDirectoryFallback(DefaultDirectoryKind::Dumps));

    ASSERT_TRUE(WriteSettingText(store, *FindSetting("Interface", "Resort limit"), "0x1F"));
    EXPECT_EQ(store.Value("Interface", "Resort limit"), "31");
    ASSERT_TRUE(WriteSettingText(store, *FindSetting("Interface", "use idx"), "7"));
    EXPECT_EQ(store.Value("Interface", "Use idx"), "1");
    EXPECT_EQ(value("Interface", "Use idx"), "1");
    ASSERT_TRUE(store.SetValue("Interface", "ViewType", "x"));
    EXPECT_EQ(value("Interface", "ViewType"), "0");

    const Outcome bad = WriteSettingText(store, *FindSetting("Interface", "SortType"), "abc");
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.message().find("\"abc\" is not an integer"), std::string::npos);
    EXPECT_FALSE(WriteSettingText(store, *FindSetting("Default directories", "RefDir"), ""));
    EXPECT_FALSE(store.Value("Default directories", "RefDir"));

    ASSERT_TRUE(
        WriteSettingText(store, *FindSetting("Interface\\Fonts\\Printer Font", "Size"), "12"));
    EXPECT_EQ(value("Interface\\Fonts\\Printer Font", "Size"), "12");
    EXPECT_EQ(value("Interface\\Fonts\\Printer Font", "Name"), ""); // the font's own now

    // User data keeps the spelling already stored.
    ASSERT_TRUE(store.SetValue("Multifile groups", "Work", "a.ref"));
    ASSERT_TRUE(WriteSettingText(store, *FindSetting("Multifile groups", "WORK"), "b.ref"));
    EXPECT_EQ(store.ValueNames("Multifile groups"), std::vector<std::string>{"Work"});
    EXPECT_EQ(value("Multifile groups", "work"), "b.ref");
    EXPECT_EQ(value("Multifile groups", "none"), "");
}

} // namespace
} // namespace cvx
