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
        EXPECT_EQ(DefaultDirectory(store, static_cast<DefaultDirectoryKind>(i)),
                  documents + "/Citavox/" + folders[i]);
    }
    EXPECT_EQ(DefaultDirectory(store, static_cast<DefaultDirectoryKind>(5)), "");
    EXPECT_EQ(DefaultDirectory(store, static_cast<DefaultDirectoryKind>(-1)), "");
}

TEST_F(SettingsTest, StoredDirectoriesAndTheEmptyName) {
    ASSERT_TRUE(SetDefaultDirectory(store, DefaultDirectoryKind::Formats, "/srv/formats"));
    EXPECT_EQ(store.Value("Default directories", "ForDir"), "/srv/formats");
    EXPECT_EQ(DefaultDirectory(store, DefaultDirectoryKind::Formats), "/srv/formats");
    // Writing an empty name is ignored; a value stored empty reads as a blank.
    ASSERT_TRUE(SetDefaultDirectory(store, DefaultDirectoryKind::Formats, ""));
    EXPECT_EQ(DefaultDirectory(store, DefaultDirectoryKind::Formats), "/srv/formats");
    ASSERT_TRUE(store.SetValue("Default directories", "ListDir", ""));
    EXPECT_EQ(DefaultDirectory(store, DefaultDirectoryKind::Lists), " ");
    EXPECT_FALSE(SetDefaultDirectory(store, static_cast<DefaultDirectoryKind>(5), "/x"));
}

TEST_F(SettingsTest, SpecificFilesAndTheFilesShippedWithTheProgram) {
    for (int i = 0; i < kSpecificFileCount; ++i) {
        EXPECT_EQ(SpecificFile(store, static_cast<SpecificFileKind>(i)), "");
    }
    // Empty: the journal database, the document definitions and the help file are the shipped
    // ones; the two error files have no shipped default.
    EXPECT_EQ(SpecificFileInUse(store, SpecificFileKind::JournalDatabase, "/usr/share/citavox"),
              "/usr/share/citavox/journals.dat");
    EXPECT_EQ(
        SpecificFileInUse(store, SpecificFileKind::TextDocumentDefinitions, "/usr/share/citavox/"),
        "/usr/share/citavox/docdefs.dat");
    EXPECT_EQ(SpecificFileInUse(store, SpecificFileKind::MainHelp, ""), "vox_en.hlp");
    ASSERT_TRUE(SetMessageLanguage("sv"));
    EXPECT_EQ(SpecificFileInUse(store, SpecificFileKind::MainHelp, "/opt/citavox"),
              "/opt/citavox/vox_sw.hlp");
    SetMessageLanguage("en");
    EXPECT_EQ(SpecificFileInUse(store, SpecificFileKind::ErrorDump, "/usr/share/citavox"), "");

    ASSERT_TRUE(
        SetSpecificFile(store, SpecificFileKind::JournalDatabase, "/home/me/my journals.dat"));
    ASSERT_TRUE(SetSpecificFile(store, SpecificFileKind::JournalDatabase, ""));
    EXPECT_EQ(store.Value("Specific files", "JournalDatabase"), "/home/me/my journals.dat");
    EXPECT_EQ(SpecificFileInUse(store, SpecificFileKind::JournalDatabase, "/usr/share/citavox"),
              "/home/me/my journals.dat");
    ASSERT_TRUE(SetSpecificFile(store, SpecificFileKind::ErrorDump, "/tmp/dump.txt"));
    EXPECT_EQ(SpecificFileInUse(store, SpecificFileKind::ErrorDump, "/usr/share/citavox"),
              "/tmp/dump.txt");
    EXPECT_FALSE(SetSpecificFile(store, static_cast<SpecificFileKind>(5), "/x"));
}

} // namespace
} // namespace cvx
