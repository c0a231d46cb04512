// The settings-to-options layer: what it reads from the store, how it reads values the settings
// cannot mean, and the options it hands the engines.

#include "joboptions/JobOptions.h"
#include "../settings/SettingsTestSupport.h"
#include "journals/DatabaseJournalLookup.h"
#include "refstore/ReferenceFile.h"
#include "search/IndexedSearch.h"
#include "search/WordIndexBuilder.h"
#include "search/WordIndexFormat.h"
#include "settings/DefaultDirectories.h"
#include "settings/NameLists.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/ShippedData.h"

#include <gtest/gtest.h>

#include <functional>

namespace cvx {
namespace {

using JobOptionsTest = testing::SettingsTest;

TEST_F(JobOptionsTest, AnEmptyStoreGivesTheDefaults) {
    const JobOptions o = JobOptions::Read(store);
    EXPECT_EQ(o.journalDatabase, ShippedJournalDatabasePath());
    EXPECT_EQ(o.journalDisplayForm, JournalForm::FullName);
    EXPECT_FALSE(o.ignoreJournalDatabase);
    EXPECT_EQ(o.dumpDirectory, DefaultDirectoryFallback(DefaultDirectoryKind::Dumps));
    EXPECT_EQ(o.errorDumpFile, "");
    EXPECT_EQ(o.documentDefinitions, ShippedFile(kShippedDocumentLibrary));
    EXPECT_EQ(o.manuscriptFormatDirectory, "");
    EXPECT_EQ(o.documentDirectory, DefaultDirectoryFallback(DefaultDirectoryKind::Lists));
    EXPECT_EQ(o.displayOrder, DisplayOrder::AuthorYear);
    EXPECT_EQ(o.displayCollation, Collation::English);
    EXPECT_EQ(o.listCollation, Collation::English);
    EXPECT_EQ(o.sortCollation, Collation::English);
    EXPECT_EQ(o.textMode, TextMode::Ansi);
    EXPECT_FALSE(o.clipboard.suppressRtf || o.clipboard.latexEnabled ||
                 o.clipboard.removeCodeStrings);
    EXPECT_TRUE(o.clipboard.hideReferences);
    ASSERT_NE(o.Journals(), nullptr) << "the shipped journal database is in the build's data";
    EXPECT_TRUE(o.Journals()->Recognises("Nature"));
}

// Stored values, the sensible ones and those the settings cannot mean, as the jobs get them.
TEST_F(JobOptionsTest, StoredValuesAsTheJobsGetThem) {
    test::TempDir dir;
    struct Case {
        const char* why;
        std::function<void(SettingsStore&)> store;
        std::function<void(const JobOptions&)> check;
    } cases[] = {
        {"a display form the user can choose",
         [](SettingsStore& s) { (void)s.WriteInt(Setting::DefaultDisplayForm, 3); },
         [](const JobOptions& o) { EXPECT_EQ(o.journalDisplayForm, JournalForm::IndexMedicus); }},
        {"a display form no user chooses reads as the full name",
         [](SettingsStore& s) { (void)s.WriteInt(Setting::DefaultDisplayForm, 8); },
         [](const JobOptions& o) { EXPECT_EQ(o.journalDisplayForm, JournalForm::FullName); }},
        {"a blank dumps folder stands for the default one",
         [](SettingsStore& s) { (void)s.SetValue(kDefaultDirectoriesPath, "DumpDir", "   "); },
         [](const JobOptions& o) {
             EXPECT_EQ(o.dumpDirectory, DefaultDirectoryFallback(DefaultDirectoryKind::Dumps));
         }},
        {"a dumps folder and an error dump file of the user's",
         [&](SettingsStore& s) {
             (void)SetDefaultDirectory(s, DefaultDirectoryKind::Dumps, " " + dir.File("d") + " ");
             (void)SetSpecificFile(s, SpecificFileKind::ErrorDump, dir.File("e.dmp"));
         },
         [&](const JobOptions& o) {
             EXPECT_EQ(o.dumpDirectory, dir.File("d"));
             EXPECT_EQ(o.errorDumpFile, dir.File("e.dmp"));
         }},
        {"a display order out of range shows the file's own order",
         [](SettingsStore& s) { (void)s.WriteInt(Setting::SortType, 9); },
         [](const JobOptions& o) { EXPECT_EQ(o.displayOrder, DisplayOrder::Original); }},
        {"a stored display order", [](SettingsStore& s) { (void)s.WriteInt(Setting::SortType, 2); },
         [](const JobOptions& o) { EXPECT_EQ(o.displayOrder, DisplayOrder::YearDescending); }},
        {"collations, one of them out of range",
         [](SettingsStore& s) {
             (void)s.WriteInt(Setting::DisplayCharacterSorting, 0);
             (void)s.WriteInt(Setting::ListCharacterSorting, 7);
             (void)s.WriteInt(Setting::SortCharacterSorting, 42);
         },
         [](const JobOptions& o) {
             EXPECT_EQ(o.displayCollation, Collation::Swedish);
             EXPECT_EQ(o.listCollation, Collation::Spanish);
             EXPECT_EQ(o.sortCollation, Collation::English);
         }},
        {"the Shift-JIS text mode",
         [](SettingsStore& s) { (void)s.WriteInt(Setting::CharacterSet, 1); },
         [](const JobOptions& o) { EXPECT_EQ(o.textMode, TextMode::ShiftJis); }},
        {"an unknown text mode",
         [](SettingsStore& s) { (void)s.WriteInt(Setting::CharacterSet, 5); },
         [](const JobOptions& o) { EXPECT_EQ(o.textMode, TextMode::Ansi); }},
        {"the clipboard's settings",
         [](SettingsStore& s) {
             (void)s.WriteBool(Setting::SuppressRtf, true);
             (void)s.WriteBool(Setting::EnabledLatex, true);
             (void)s.WriteBool(Setting::RemoveCodeStrings, true);
             (void)s.WriteBool(Setting::HideReferencesInPseudoCitations, false);
         },
         [](const JobOptions& o) {
             EXPECT_TRUE(o.clipboard.suppressRtf && o.clipboard.latexEnabled &&
                         o.clipboard.removeCodeStrings);
             EXPECT_FALSE(o.clipboard.hideReferences);
         }},
        {"document definitions, format folder and document directory of the user's",
         [&](SettingsStore& s) {
             (void)SetSpecificFile(s, SpecificFileKind::TextDocumentDefinitions, dir.File("d.dat"));
             (void)s.WriteText(Setting::ManuscriptFormatDirectory, dir.File("for"));
             (void)SetDefaultDirectory(s, DefaultDirectoryKind::Lists, dir.File("docs"));
         },
         [&](const JobOptions& o) {
             EXPECT_EQ(o.documentDefinitions, dir.File("d.dat"));
             EXPECT_EQ(o.manuscriptFormatDirectory, dir.File("for"));
             EXPECT_EQ(o.documentDirectory, dir.File("docs"));
         }},
        {"the file tools' settings",
         [&](SettingsStore& s) {
             (void)s.WriteInt(Setting::SortReferenceSorting, 4);
             (void)s.WriteInt(Setting::ListReferenceSorting, 6);
             (void)s.WriteInt(Setting::DuplicateAccount, 1);
             (void)s.WriteInt(Setting::CheckType, 3);
             (void)s.WriteText(Setting::ListFormatDirectory, dir.File("for"));
             (void)s.WriteText(Setting::ListFormatFile, "apa");
             (void)s.WriteInt(Setting::ExportFormat, 3);
         },
         [&](const JobOptions& o) {
             EXPECT_EQ(o.sortOrder, DisplayOrder::JournalYear);
             EXPECT_EQ(o.listOrder, DisplayOrder::Original);
             EXPECT_EQ(o.duplicateTest, DuplicateTest::SourceOnly);
             EXPECT_EQ(o.checkKind, CheckKind::Source);
             EXPECT_EQ(o.listFormatFile, dir.File("for") + "/apa.for");
             EXPECT_EQ(o.exportLayout, ExportLayout::CslJson);
         }},
        {"file tools' settings out of range",
         [](SettingsStore& s) {
             (void)s.WriteInt(Setting::SortReferenceSorting, 7);
             (void)s.WriteInt(Setting::CheckType, 5);
             (void)s.WriteInt(Setting::ExportFormat, -1);
         },
         [](const JobOptions& o) {
             EXPECT_EQ(o.sortOrder, DisplayOrder::AuthorYear);
             EXPECT_EQ(o.checkKind, CheckKind::All);
             EXPECT_EQ(o.exportLayout, ExportLayout::Medline);
             EXPECT_EQ(o.listFormatFile, "") << "no list format chosen";
         }},
        {"a document directory stored empty is none",
         [](SettingsStore& s) { (void)s.SetValue(kDefaultDirectoriesPath, "ListDir", ""); },
         [](const JobOptions& o) { EXPECT_EQ(o.documentDirectory, ""); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        for (const std::string& path : store.AllSectionPaths()) {
            (void)store.EraseSection(path);
        }
        c.store(store);
        c.check(JobOptions::Read(store));
    }
}

// The engines' options carry the settings and the database the options opened, also from a copy
// that outlives the original.
TEST_F(JobOptionsTest, TheEnginesOptions) {
    (void)store.WriteInt(Setting::DefaultDisplayForm, 2);
    (void)store.WriteBool(Setting::IgnoreDatabase, true);
    (void)store.WriteBool(Setting::SuppressRtf, true);
    test::TempDir dir;
    (void)SetSpecificFile(store, SpecificFileKind::ErrorDump, dir.File("e.dmp"));
    std::optional<JobOptions> original = JobOptions::Read(store);
    const JobOptions o = *original;
    original.reset();
    ASSERT_NE(o.Journals(), nullptr);

    const RenderOptions render = o.Render();
    EXPECT_EQ(render.journals, o.Journals());
    EXPECT_TRUE(render.ignoreJournalDatabase);
    EXPECT_TRUE(render.suppressRtf);
    EXPECT_FALSE(render.latex);

    const FormalCheck check = o.JournalCheck();
    EXPECT_EQ(check.journals, o.Journals());
    EXPECT_TRUE(check.ignoreDatabase);

    const vorodud::ImportSettings import = o.Import();
    EXPECT_EQ(import.journals, o.Journals());
    EXPECT_EQ(import.journalDisplayForm, JournalForm::Medlar);
    EXPECT_EQ(import.errorDumpFile, dir.File("e.dmp"));
    EXPECT_EQ(import.dumpDirectory, o.dumpDirectory);
    EXPECT_EQ(vorodud::ErrorDumpFile(import), dir.File("e.dmp"));

    const CompletionOptions completion = o.Completion();
    EXPECT_EQ(completion.documentDefinitions, o.documentDefinitions);
    EXPECT_EQ(completion.documentDirectory, o.documentDirectory);
    EXPECT_EQ(completion.render.journals, o.Journals());
    EXPECT_TRUE(completion.render.suppressRtf);

    // The database recognises names in the display form of the settings.
    const auto match = o.Journals()->LookUp("Nature", JournalForm::FullName);
    ASSERT_TRUE(match.has_value());
}

// A database that cannot be used is no database: the engines get none, and names stay unknown.
TEST_F(JobOptionsTest, AnUnusableJournalDatabaseGivesNone) {
    test::TempDir dir;
    const std::string broken = dir.Write("broken.jdb", "not a journal database");
    for (const std::string& path : {dir.File("missing.jdb"), broken}) {
        SCOPED_TRACE(path);
        (void)SetSpecificFile(store, SpecificFileKind::JournalDatabase, path);
        const JobOptions o = JobOptions::Read(store);
        EXPECT_EQ(o.journalDatabase, path);
        EXPECT_EQ(o.Journals(), nullptr);
        EXPECT_EQ(o.Render().journals, nullptr);
        EXPECT_EQ(o.JournalCheck().journals, nullptr);
        EXPECT_EQ(o.Import().journals, nullptr);
    }
}

// The search settings: the indexed search is the choice and the scan ignores diacritics unless
// the user said otherwise, and the thesaurus of the store expands the list items of an indexed
// search.
TEST_F(JobOptionsTest, SearchSettingsAndTheThesaurus) {
    JobOptions o = JobOptions::Read(store);
    EXPECT_TRUE(o.useIndex);
    EXPECT_TRUE(o.ignoreDiacritics);
    EXPECT_TRUE(o.thesaurus.Empty());
    ASSERT_TRUE(store.WriteBool(Setting::UseIdx, false));
    ASSERT_TRUE(store.WriteBool(Setting::NoDiac, false));
    ASSERT_TRUE(WriteThesaurusEntry(store, "Tumour", {"neoplasm", "carcinoma"}));
    o = JobOptions::Read(store);
    EXPECT_FALSE(o.useIndex);
    EXPECT_FALSE(o.ignoreDiacritics);

    test::TempDir dir;
    const std::string path = dir.Write(
        "refs.ref", test::JournalBlock("A", "Smith, J.", "A tumour.", "1990", "Lancet") +
                        test::JournalBlock("B", "Jones, K.", "Neoplasms.", "1991", "Lancet") +
                        test::JournalBlock("C", "Brown, L.", "A carcinoma.", "1992", "Nature") +
                        test::JournalBlock("D", "Green, M.", "Tumours.", "1993", "Nature"));
    ASSERT_TRUE(CreateWordIndex(FileSystem::Default(), path, kDefaultIndexMask, nullptr).ok());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    const auto tagged = [&](std::string_view expression) {
        SearchResult result;
        EXPECT_TRUE(
            IndexedSearch(file, expression, SearchMode::Tag, o.thesaurus, nullptr, result).ok());
        return result.matches;
    };
    // Whole words: the item and its synonyms, not the plural forms.
    EXPECT_EQ(tagged("ANY(tumour)"), (std::vector<int>{0, 2}));
    EXPECT_EQ(tagged("NONE(TUMOUR) AND lancet"), (std::vector<int>{1}));
    // Outside lists words are taken as they are, as prefixes.
    EXPECT_EQ(tagged("tumour"), (std::vector<int>{0, 3}));
}

} // namespace
} // namespace cvx
