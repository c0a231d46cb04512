#include "CliRunner.h"

#include <QFileInfo>

namespace cvx {
namespace {

using testing::CliResult;
using testing::CliTest;

TEST_F(CliTest, SettingsGetSetAndTheirDefaults) {
    EXPECT_EQ(Run({"settings", "get", "Interface", "Resort limit"}).out, "2000\n");
    EXPECT_EQ(Run({"settings", "get", "Printer settings", "List title"}).out, "Default\n");
    EXPECT_EQ(Run({"settings", "get", "Specific files", "JournalDatabase"}).out, "\n");
    EXPECT_EQ(Run({"settings", "get", "Version", "Conversion date"}).out, "\?\?\?\?-\?\?-\?\?\n");
    const std::string refDir = Run({"settings", "get", "Default directories", "RefDir"}).out;
    EXPECT_EQ(refDir, Home() + "/Documents/Citavox/refs\n");
    // Reading created nothing.
    EXPECT_FALSE(QFileInfo::exists(ConfigHome()));

    ASSERT_EQ(Run({"settings", "set", "Interface", "Resort limit", "0x10"}).status, 0);
    EXPECT_EQ(Run({"settings", "get", "Interface", "Resort limit"}).out, "16\n");
    // Any spelling finds the setting; the store keeps the one spelling.
    ASSERT_EQ(Run({"settings", "set", "interface/highlights", "TAG COLOR", "255"}).status, 0);
    EXPECT_EQ(Run({"settings", "get", "Interface\\Highlights", "Tag color"}).out, "255\n");
    ASSERT_EQ(Run({"settings", "set", "Clipboard", "suppress rtf", "5"}).status, 0);
    EXPECT_EQ(Run({"settings", "get", "Clipboard", "Suppress RTF"}).out, "1\n");
    const std::string file = ReadConfig();
    EXPECT_NE(file.find("Highlights\\Tag%20color=255"), std::string::npos) << file;
    EXPECT_NE(file.find("Suppress%20RTF=1"), std::string::npos) << file;
    EXPECT_EQ(file.find("TAG"), std::string::npos) << file;

    const std::string title = "Literatur \xC3\xA4 \xE2\x80\x94 \"x\", y";
    ASSERT_EQ(Run({"settings", "set", "Printer settings", "Print title", title}).status, 0);
    EXPECT_EQ(Run({"settings", "get", "Printer settings", "Print title"}).out, title + "\n");
    // A value stored by hand that is not a number reads as the default.
    WriteConfig("[Interface]\nViewType=two\n");
    EXPECT_EQ(Run({"settings", "get", "Interface", "ViewType"}).out, "0\n");
}

TEST_F(CliTest, SettingsBadInput) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"settings", "set", "Interface", "Resort limit", "many"},
         1,
         "\"many\" is not an integer; \"Resort limit\" holds a decimal or 0x hexadecimal integer."},
        {{"settings", "set", "Interface", "Use idz", "1"},
         1,
         "There is no setting \"Use idz\" in \"Interface\"."},
        {{"settings", "get", "Interface", "Use idz"}, 1, "There is no setting"},
        {{"settings", "set", "Default directories", "RefDir", ""},
         1,
         "An empty name is not stored as \"RefDir\"."},
        {{"settings", "set", "Strings\\Tag strings", "21", "x"}, 1, "There is no setting"},
        {{"settings", "list", "Nowhere"}, 1, "There are no settings in \"Nowhere\"."},
        {{"settings"}, 2, "settings get PATH NAME"},
        {{"settings", "get", "Interface"}, 2, "settings set PATH NAME VALUE"},
        {{"settings", "remove", "Interface", "Use idx"}, 2, "settings list [PATH]"},
    };
    for (const Case& c : cases) {
        const CliResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(Run({"settings", "get", "Interface", "Resort limit"}).out, "2000\n");
    EXPECT_EQ(ReadConfig(), "");
}

TEST_F(CliTest, SettingsList) {
    ASSERT_EQ(Run({"settings", "set", "Multifile groups", "Old/New", "a.ref?b.ref"}).status, 0);
    ASSERT_EQ(Run({"settings", "set", "Strings\\Tag strings", "0", "heart AND lung"}).status, 0);
    const CliResult all = Run({"settings", "list"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find("Interface\tUse idx\t1\n"), std::string::npos);
    EXPECT_NE(all.out.find("Interface\\Windows\\Edit jour\tMax\t0\n"), std::string::npos);
    EXPECT_NE(all.out.find("Multifile groups\tOld/New\ta.ref?b.ref\n"), std::string::npos);
    EXPECT_NE(all.out.find("Strings\\Tag strings\t0\theart AND lung\n"), std::string::npos);

    EXPECT_EQ(Run({"settings", "list", "interface\\locale"}).out,
              "Interface\\Locale\tLanguage\t0\nInterface\\Locale\tCharacter set\t0\n");
    const CliResult groups = Run({"settings", "list", "Multifile groups"});
    EXPECT_EQ(groups.out, "Multifile groups\tOld/New\ta.ref?b.ref\n");
    EXPECT_EQ(Run({"settings", "get", "Multifile groups", "old/new"}).out, "a.ref?b.ref\n");
}

TEST_F(CliTest, ADamagedStoreIsReadWithDefaultsAndKeptBeforeAWrite) {
    const std::string damaged = "[Interface]\nResort%20limit=77\nno value here\n[Broken\n";
    WriteConfig(damaged);
    const CliResult get = Run({"settings", "get", "Interface", "Resort limit"});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "77\n");
    EXPECT_NE(get.err.find("is damaged"), std::string::npos) << get.err;

    const CliResult set = Run({"settings", "set", "Interface", "ViewType", "1"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_NE(set.err.find("was kept as"), std::string::npos) << set.err;
    QFile copy(ConfigFile() + QStringLiteral(".damaged"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll().toStdString(), damaged);
    const CliResult after = Run({"settings", "get", "Interface", "Resort limit"});
    EXPECT_EQ(after.out, "77\n");
    EXPECT_EQ(after.err, "");
}

TEST_F(CliTest, AnUnreadableStoreGivesDefaultsAndRefusesWrites) {
    ASSERT_TRUE(QDir().mkpath(ConfigFile()));
    const CliResult get = Run({"settings", "get", "Interface", "Use idx"});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "1\n");
    EXPECT_NE(get.err.find("cannot be read"), std::string::npos) << get.err;
    const CliResult set = Run({"settings", "set", "Interface", "Use idx", "0"});
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("cannot be written"), std::string::npos) << set.err;
    // Other commands keep working.
    EXPECT_EQ(Run({"message", "YesNo", "1"}).out, "Yes\n");
}

} // namespace
} // namespace cvx
