#include "SettingsTestSupport.h"

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include <QDir>
#include <QFile>

#include <set>

namespace cvx {
namespace {

using testing::SettingsTest;

TEST(SettingsTable, EveryRowHasOneSpellingAndAReadableDefault) {
    std::set<std::string> seen;
    for (const SettingDef& def : SettingTable()) {
        // The registry would take "Use idx" and "use idx" for one value; here they would be two.
        const std::string key =
            QString::fromUtf8(std::string(def.path) + "\\" + std::string(def.name))
                .toLower()
                .toStdString();
        EXPECT_TRUE(seen.insert(key).second) << def.path << " " << def.name;
        EXPECT_EQ(def.name.find_first_of("/\\"), std::string_view::npos) << def.name;
        if (IsNumeric(def.type)) {
            EXPECT_TRUE(ParseStoredInt(def.defaultValue).has_value()) << def.name;
        }
        if (def.type == SettingType::Boolean) {
            EXPECT_TRUE(def.defaultValue == "0" || def.defaultValue == "1") << def.name;
        }
    }
}

TEST_F(SettingsTest, AnEmptyStoreReadsTheDefaultsAndStaysEmpty) {
    EXPECT_TRUE(store.ReadBool(Setting::UseIdx));
    EXPECT_FALSE(store.ReadBool(Setting::UseFormat));
    EXPECT_EQ(store.ReadInt(Setting::ResortLimit), 2000);
    EXPECT_EQ(store.ReadInt(Setting::LastDisplay), -1);
    EXPECT_EQ(store.ReadInt(Setting::SingleDisplayWidth), 321);
    EXPECT_EQ(store.ReadText(Setting::ListTitle), "Default");
    EXPECT_EQ(store.ReadText(Setting::ConversionDate), "\?\?\?\?-\?\?-\?\?");
    EXPECT_EQ(store.ReadText(Setting::LastUsedFormat), "");
    for (const SettingDef& def : SettingTable()) {
        if (IsNumeric(def.type)) {
            EXPECT_EQ(store.ReadInt(def.key), *ParseStoredInt(def.defaultValue)) << def.name;
        } else {
            EXPECT_EQ(store.ReadText(def.key), def.defaultValue) << def.name;
        }
    }
    EXPECT_EQ(store.Check(), SettingsStore::Health::Fine);
    // Reading never creates anything.
    EXPECT_TRUE(QDir(Folder()).isEmpty());
}

TEST(SettingsEncoding, StoredIntegers) {
    struct Case {
        std::string_view stored;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"31", 31},
        {"-5", -5},
        {" 7 ", 7},
        {"0x1F", 31},
        {"0X1f", 31},
        {"0x7FFFFFFF", 2147483647},
        {"0xFFFFFFFF", -1}, // a 32-bit registry value
        {"0x00FF8000", 0xFF8000},
        {"0x", std::nullopt}, // two characters are not hexadecimal
        {"0x100000000", std::nullopt},
        {"0x1G", std::nullopt},
        {"0x-1", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"1.5", std::nullopt},
        {"12abc", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseStoredInt(c.stored), c.value) << c.stored;
    }
}

TEST_F(SettingsTest, ValuesAreWrittenAsTextAndReadByType) {
    ASSERT_TRUE(store.WriteBool(Setting::UseIdx, false));
    ASSERT_TRUE(store.WriteInt(Setting::ResortLimit, -3));
    ASSERT_TRUE(store.WriteInt(Setting::TagColor, 0x00FF8000));
    EXPECT_EQ(store.Value("Interface", "Use idx"), "0");
    EXPECT_EQ(store.Value("Interface", "Resort limit"), "-3");
    EXPECT_EQ(store.Value("Interface\\Highlights", "Tag color"), "16744448");
    EXPECT_FALSE(store.ReadBool(Setting::UseIdx));
    EXPECT_EQ(store.ReadInt(Setting::ResortLimit), -3);

    // Text that is not a number, and a missing value, read as the default; any non-zero integer
    // is true.
    ASSERT_TRUE(store.SetValue("Interface", "Resort limit", "abc"));
    ASSERT_TRUE(store.SetValue("Interface", "No diac", "0"));
    ASSERT_TRUE(store.SetValue("Interface", "Use format", "0x10"));
    ASSERT_TRUE(store.SetValue("Interface", "Use idx", "yes"));
    EXPECT_EQ(store.ReadInt(Setting::ResortLimit), 2000);
    EXPECT_FALSE(store.ReadBool(Setting::NoDiac));
    EXPECT_TRUE(store.ReadBool(Setting::UseFormat));
    EXPECT_TRUE(store.ReadBool(Setting::UseIdx));

    // The file holds the settings' own names ("Resort limit", "Tag color" with their blanks) in
    // the store's own escaping.
    const std::string file = ReadConfig();
    EXPECT_NE(file.find("Resort%20limit=abc"), std::string::npos) << file;
    EXPECT_NE(file.find("Highlights\\Tag%20color=16744448"), std::string::npos) << file;
}

TEST_F(SettingsTest, TextSettingsKeepTheirCharacters) {
    // Program text is code page 1252 for the callers and readable UTF-8 in the file.
    const std::string title = "Caf\xE9 \x95 #Bbold#B \"quoted\"; a=b, c";
    ASSERT_TRUE(store.WriteText(Setting::ListTitle, title));
    EXPECT_EQ(store.ReadText(Setting::ListTitle), title);
    EXPECT_EQ(store.Value("Printer settings", "List title"),
              "Caf\xC3\xA9 \xE2\x80\xA2 #Bbold#B \"quoted\"; a=b, c");

    // File names pass through as the system's bytes, blanks at the ends included.
    const std::string format = " /home/\xC3\xBC/\xE6\x97\xA5 formats/a?b.for ";
    ASSERT_TRUE(store.WriteText(Setting::LastUsedFormat, format));
    EXPECT_EQ(store.ReadText(Setting::LastUsedFormat), format);

    ASSERT_TRUE(store.WriteText(Setting::ImportLabel, ""));
    EXPECT_EQ(store.Value("Importing", "Label"), "");
    EXPECT_EQ(store.ReadText(Setting::ImportLabel), "");
}

TEST_F(SettingsTest, UserDataNamesRoundTripWhateverTheyHold) {
    const std::string names[] = {"a/b",
                                 "a\\b",
                                 "/lead",
                                 "trail\\",
                                 "100%",
                                 "%2F",
                                 "a%5Cb",
                                 "x//y",
                                 " sp ",
                                 "[sec]",
                                 "k=v;c,d",
                                 "#hash",
                                 "\xC3\xA5ngstr\xC3\xB6m",
                                 "General"};
    for (const std::string& name : names) {
        ASSERT_TRUE(store.SetValue("Multifile groups", name, "v:" + name)) << name;
    }
    for (const std::string& name : names) {
        EXPECT_EQ(store.Value("Multifile groups", name), "v:" + name) << name;
    }
    std::vector<std::string> listed = store.ValueNames("Multifile groups");
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected(std::begin(names), std::end(names));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    // No name became a section of its own.
    EXPECT_TRUE(store.SectionNames("Multifile groups").empty());

    EXPECT_FALSE(store.SetValue("Multifile groups", "", "x"));
}

TEST_F(SettingsTest, NamesAreFoundIgnoringCaseWithTheExactSpellingFirst) {
    ASSERT_TRUE(store.SetValue("Thesaurus list", "Heart", "1"));
    ASSERT_TRUE(store.SetValue("Thesaurus list", "HEART", "2"));
    ASSERT_TRUE(store.SetValue("Thesaurus list", "\xC3\x85sa", "3"));
    EXPECT_EQ(store.StoredSpellings("Thesaurus list", "heart"),
              (std::vector<std::string>{"HEART", "Heart"}));
    EXPECT_EQ(store.StoredSpellings("Thesaurus list", "Heart").front(), "Heart");
    EXPECT_EQ(store.StoredSpellings("Thesaurus list", "\xC3\xA5SA"),
              std::vector<std::string>{"\xC3\x85sa"});
    EXPECT_TRUE(store.StoredSpellings("Thesaurus list", "lung").empty());
    // Fixed names have one spelling: a value under another spelling is not the setting.
    ASSERT_TRUE(store.SetValue("interface", "use idx", "0"));
    EXPECT_TRUE(store.ReadBool(Setting::UseIdx));
}

TEST_F(SettingsTest, SectionsAreErasedWholeAndListed) {
    ASSERT_TRUE(store.SetValues("Strings\\Tag strings", {{"0", "a"}, {"1", "b"}}, false));
    ASSERT_TRUE(store.SetValues("Strings\\Tag strings", {{"0", "c"}}, true));
    EXPECT_EQ(store.SectionValues("Strings\\Tag strings"), (SettingValues{{"0", "c"}}));
    ASSERT_TRUE(store.WriteInt("Interface\\Windows\\Locate", "Max", 1));
    EXPECT_EQ(store.AllSectionPaths(),
              (std::vector<std::string>{"Interface\\Windows\\Locate", "Strings\\Tag strings"}));
    ASSERT_TRUE(store.EraseSection("Strings"));
    EXPECT_EQ(store.AllSectionPaths(), std::vector<std::string>{"Interface\\Windows\\Locate"});
    ASSERT_TRUE(store.RemoveValue("Interface\\Windows\\Locate", "Max"));
    EXPECT_FALSE(store.Value("Interface\\Windows\\Locate", "Max"));
}

TEST_F(SettingsTest, EveryReadSeesTheStoreAsItIsNow) {
    EXPECT_EQ(store.ReadInt(Setting::ViewType), 0);
    // Another program (or a second instance) changes the store between two reads.
    WriteConfig("[Interface]\nViewType=2\n");
    EXPECT_EQ(store.ReadInt(Setting::ViewType), 2);
    EXPECT_EQ(SettingsStore().ReadInt(Setting::ViewType), 2);
    WriteConfig("[Interface]\nViewType=1\nSortType=4\n");
    EXPECT_EQ(store.ReadInt(Setting::ViewType), 1);
}

TEST_F(SettingsTest, ValuesOfAnotherTypeReadAsTheDefault) {
    WriteConfig("[Interface]\n"
                "Resort%20limit=@Rect(1 2 3 4)\n"
                "ViewType=@ByteArray(2)\n"
                "SortType=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3garbage)\n"
                "Last%20file%20group=first, second\n"
                "Catch%20file=\"a, b\"\n");
    EXPECT_EQ(store.ReadInt(Setting::ResortLimit), 2000);
    EXPECT_EQ(store.ReadInt(Setting::ViewType), 0);
    EXPECT_EQ(store.ReadInt(Setting::SortType), 0);
    // An unquoted text with commas, as an editor leaves it, still reads as the text.
    EXPECT_EQ(store.ReadText(Setting::LastFileGroup), "first, second");
    EXPECT_EQ(store.ReadText(Setting::CatchFile), "a, b");
}

TEST_F(SettingsTest, ADamagedStoreKeepsWorkingAndIsKeptBeforeItIsRewritten) {
    const std::string damaged = "[Interface]\nUse%20idx=0\njunk without a value\n[Broken\n"
                                "x=1\n\x01\x02\xFF\n[Clipboard]\nSuppress%20RTF=1\n";
    WriteConfig(damaged);
    EXPECT_EQ(store.Check(), SettingsStore::Health::Damaged);
    // What can be read counts; the rest reads as its default.
    EXPECT_FALSE(store.ReadBool(Setting::UseIdx));
    EXPECT_TRUE(store.ReadBool(Setting::NoDiac));

    ASSERT_TRUE(store.WriteInt(Setting::ViewType, 2));
    EXPECT_EQ(store.ReadInt(Setting::ViewType), 2);
    EXPECT_FALSE(store.ReadBool(Setting::UseIdx));
    EXPECT_EQ(store.Check(), SettingsStore::Health::Fine);

    QFile copy(QString::fromStdString(store.DamagedCopyLocation()));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll().toStdString(), damaged);
}

TEST_F(SettingsTest, AnUnreadableStoreReadsDefaultsAndRefusesWrites) {
    // A folder where the file should be cannot be read, not even by an administrator.
    ASSERT_TRUE(QDir().mkpath(ConfigFile()));
    EXPECT_EQ(store.Check(), SettingsStore::Health::Unreadable);
    EXPECT_TRUE(store.ReadBool(Setting::UseIdx));
    EXPECT_EQ(store.ReadText(Setting::ListTitle), "Default");
    const Outcome written = store.WriteBool(Setting::UseIdx, false);
    ASSERT_FALSE(written);
    EXPECT_NE(written.message().find("Citavox.conf"), std::string::npos) << written.message();
    EXPECT_TRUE(QFileInfo(ConfigFile()).isDir());
}

TEST_F(SettingsTest, AFolderThatCannotBeCreatedFailsTheWrite) {
    // The store's folder is taken by a file.
    QFile blocker(Folder() + QStringLiteral("/Brimso"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(store.WriteInt(Setting::ViewType, 1));
    EXPECT_EQ(store.ReadInt(Setting::ViewType), 0);
}

TEST_F(SettingsTest, ResortDecision) {
    struct Case {
        const char* always;
        const char* limit;
        int count;
        bool resort;
    };
    const Case cases[] = {
        {nullptr, nullptr, 10, false}, // "Resort always" 0 by default
        {"1", nullptr, 1000000, true}, {"2", nullptr, 1999, true},
        {"2", nullptr, 2000, false},   {"2", "50", 49, true},
        {"2", "50", 50, false},        {"2", "abc", 1999, true}, // an unreadable limit is 2000
        {"7", nullptr, 1, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(store.EraseSection("Interface"));
        if (c.always) {
            ASSERT_TRUE(store.SetValue("Interface", "Resort always", c.always));
        }
        if (c.limit) {
            ASSERT_TRUE(store.SetValue("Interface", "Resort limit", c.limit));
        }
        EXPECT_EQ(ResortAfterChange(store, c.count), c.resort)
            << (c.always ? c.always : "-") << " " << (c.limit ? c.limit : "-") << " " << c.count;
    }
}

} // namespace
} // namespace cvx
