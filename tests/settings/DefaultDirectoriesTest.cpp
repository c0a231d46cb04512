#include "SettingsTestSupport.h"

#include "settings/DefaultDirectories.h"
#include "text/Catalogue.h"

#include <QStandardPaths>

namespace cvx {
namespace {

using testing::SettingsTest;

TEST_F(SettingsTest, DefaultDirectoriesLieUnderTheDocumentsFolder) {
    const std::string documents =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    ASSERT_FALSE(documents.empty());
    const std::string folders[] = {"refs", "exec", "for", "lists", "dumps"};
    for (int i = 0; i < kDefaultDirectoryCount; ++i) {
        EXPECT_EQ(DefaultDirectory(store, i), documents + "/Citavox/" + folders[i]);
    }
    EXPECT_EQ(DefaultDirectory(store, 5), "");
    EXPECT_EQ(DefaultDirectory(store, -1), "");
}

TEST_F(SettingsTest, StoredDirectoriesAndTheEmptyName) {
    ASSERT_TRUE(SetDefaultDirectory(store, 2, "/srv/formats"));
    EXPECT_EQ(store.Value("Default directories", "ForDir"), "/srv/formats");
    EXPECT_EQ(DefaultDirectory(store, 2), "/srv/formats");
    // Writing an empty name is ignored; a value stored empty reads as a blank.
    ASSERT_TRUE(SetDefaultDirectory(store, 2, ""));
    EXPECT_EQ(DefaultDirectory(store, 2), "/srv/formats");
    ASSERT_TRUE(store.SetValue("Default directories", "ListDir", ""));
    EXPECT_EQ(DefaultDirectory(store, 3), " ");
    EXPECT_FALSE(SetDefaultDirectory(store, 5, "/x"));
}

TEST_F(SettingsTest, SpecificFilesAndTheFilesShippedWithTheProgram) {
    for (int i = 0; i < kSpecificFileCount; ++i) {
        EXPECT_EQ(SpecificFile(store, i), "");
    }
    // Empty: the journal database, the document definitions and the help file are the shipped
    // ones; the two error files have no shipped default.
    EXPECT_EQ(SpecificFileInUse(store, 0, "/usr/share/citavox"), "/usr/share/citavox/journals.dat");
    EXPECT_EQ(SpecificFileInUse(store, 3, "/usr/share/citavox/"), "/usr/share/citavox/docdefs.dat");
    EXPECT_EQ(SpecificFileInUse(store, 4, ""), "vox_en.hlp");
    ASSERT_TRUE(SetMessageLanguage("sv"));
    EXPECT_EQ(SpecificFileInUse(store, 4, "/opt/citavox"), "/opt/citavox/vox_sw.hlp");
    SetMessageLanguage("en");
    EXPECT_EQ(SpecificFileInUse(store, 2, "/usr/share/citavox"), "");

    ASSERT_TRUE(SetSpecificFile(store, 0, "/home/me/my journals.dat"));
    ASSERT_TRUE(SetSpecificFile(store, 0, ""));
    EXPECT_EQ(store.Value("Specific files", "JournalDatabase"), "/home/me/my journals.dat");
    EXPECT_EQ(SpecificFileInUse(store, 0, "/usr/share/citavox"), "/home/me/my journals.dat");
    ASSERT_TRUE(SetSpecificFile(store, 2, "/tmp/dump.txt"));
    EXPECT_EQ(SpecificFileInUse(store, 2, "/usr/share/citavox"), "/tmp/dump.txt");
    EXPECT_FALSE(SetSpecificFile(store, 5, "/x"));
}

} // namespace
} // namespace cvx
