#include "joboptions/JobOptions.h"

#include "journals/DatabaseJournalLookup.h"
#include "settings/DefaultDirectories.h"
#include "settings/NameLists.h"
#include "settings/SettingsStore.h"
#include "text/FileNames.h"
#include "text/ShippedData.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// A stored value as an enumeration whose values run from `first` to `last`; a value outside them
// (a damaged or foreign setting) reads as `fallback`.
template <typename E> E StoredValue(int stored, E first, E last, E fallback) {
    return stored >= static_cast<int>(first) && stored <= static_cast<int>(last)
               ? static_cast<E>(stored)
               : fallback;
}

// The list format: "<Format directory>/<Format file>.for"; empty when no file is chosen.
std::string ListFormatFile(const SettingsStore& store) {
    const std::string name = TrimBlanks(store.ReadText(Setting::ListFormatFile));
    if (name.empty()) {
        return {};
    }
    const std::string dir = TrimBlanks(store.ReadText(Setting::ListFormatDirectory));
    return (dir.empty() ? std::string() : AddBackslash(dir)) + DefaultExt(name, "for");
}

// A dumps folder stored blank stands for the default one.
std::string DumpDirectory(const SettingsStore& store) {
    const std::string stored = TrimBlanks(DefaultDirectory(store, DefaultDirectoryKind::Dumps));
    return stored.empty() ? DefaultDirectoryFallback(DefaultDirectoryKind::Dumps) : stored;
}

} // namespace

JobOptions JobOptions::Read(const SettingsStore& store) {
    JobOptions o;
    o.journalDatabase = JournalDatabasePath(SpecificFile(store, SpecificFileKind::JournalDatabase));
    // A display form a user can choose (1 to 5); anything else reads as the full name.
    o.journalDisplayForm =
        StoredValue(store.ReadInt(Setting::DefaultDisplayForm), JournalForm::FullName,
                    JournalForm::ChemicalAbstracts, JournalForm::FullName);
    o.ignoreJournalDatabase = store.ReadBool(Setting::IgnoreDatabase);
    o.dumpDirectory = DumpDirectory(store);
    o.errorDumpFile = SpecificFile(store, SpecificFileKind::ErrorDump);
    o.documentDefinitions =
        SpecificFileInUse(store, SpecificFileKind::TextDocumentDefinitions, ShippedDataDirectory());
    o.manuscriptFormatDirectory = store.ReadText(Setting::ManuscriptFormatDirectory);
    o.documentDirectory = TrimBlanks(DefaultDirectory(store, DefaultDirectoryKind::Lists));
    // A value that names no display order shows the file's own order.
    o.displayOrder = StoredValue(store.ReadInt(Setting::SortType), DisplayOrder::AuthorYear,
                                 DisplayOrder::Original, DisplayOrder::Original);
    o.displayCollation = CollationFromValue(store.ReadInt(Setting::DisplayCharacterSorting));
    o.listCollation = CollationFromValue(store.ReadInt(Setting::ListCharacterSorting));
    o.sortCollation = CollationFromValue(store.ReadInt(Setting::SortCharacterSorting));
    o.textMode = store.ReadInt(Setting::CharacterSet) == static_cast<int>(TextMode::ShiftJis)
                     ? TextMode::ShiftJis
                     : TextMode::Ansi;
    // Sorts and lists take the author order for a value that names none of the seven.
    o.sortOrder =
        StoredValue(store.ReadInt(Setting::SortReferenceSorting), DisplayOrder::AuthorYear,
                    DisplayOrder::Original, DisplayOrder::AuthorYear);
    o.listOrder =
        StoredValue(store.ReadInt(Setting::ListReferenceSorting), DisplayOrder::AuthorYear,
                    DisplayOrder::Original, DisplayOrder::AuthorYear);
    o.duplicateTest = store.ReadInt(Setting::DuplicateAccount) == 0
                          ? DuplicateTest::SourceAndAuthors
                          : DuplicateTest::SourceOnly;
    o.checkKind = StoredValue(store.ReadInt(Setting::CheckType), CheckKind::All,
                              CheckKind::JournalNames, CheckKind::All);
    o.listFormatFile = ListFormatFile(store);
    o.exportLayout = StoredValue(store.ReadInt(Setting::ExportFormat), ExportLayout::Medline,
                                 ExportLayout::CslJson, ExportLayout::Medline);
    o.clipboard.suppressRtf = store.ReadBool(Setting::SuppressRtf);
    o.clipboard.latexEnabled = store.ReadBool(Setting::EnabledLatex);
    o.clipboard.removeCodeStrings = store.ReadBool(Setting::RemoveCodeStrings);
    o.clipboard.hideReferences = store.ReadBool(Setting::HideReferencesInPseudoCitations);
    o.useIndex = store.ReadBool(Setting::UseIdx);
    o.ignoreDiacritics = store.ReadBool(Setting::NoDiac);
    for (const std::string& word : ThesaurusWords(store)) {
        o.thesaurus.Add(word, ThesaurusSynonyms(store, word));
    }
    o.journals_ =
        std::make_shared<const DatabaseJournalLookup>(o.journalDatabase, o.journalDisplayForm);
    return o;
}

const JournalLookup* JobOptions::Journals() const {
    return journals_ && journals_->Usable() ? journals_.get() : nullptr;
}

RenderOptions JobOptions::Render() const {
    RenderOptions render;
    render.journals = Journals();
    render.ignoreJournalDatabase = ignoreJournalDatabase;
    render.suppressRtf = clipboard.suppressRtf;
    return render;
}

FormalCheck JobOptions::JournalCheck() const {
    return FormalCheck{ignoreJournalDatabase, Journals()};
}

vorodud::ImportSettings JobOptions::Import() const {
    vorodud::ImportSettings import;
    import.errorDumpFile = errorDumpFile;
    import.dumpDirectory = dumpDirectory;
    import.journalDisplayForm = journalDisplayForm;
    import.journals = Journals();
    return import;
}

CompletionOptions JobOptions::Completion() const {
    return CompletionOptions{documentDefinitions, documentDirectory, Render()};
}

SortOptions JobOptions::Sort() const {
    return SortOptions{sortCollation, duplicateTest, Journals()};
}

CompareOptions JobOptions::Compare() const {
    return CompareOptions{Journals(), ignoreJournalDatabase};
}

DisplaySortOptions JobOptions::DisplaySort() const {
    return DisplaySortOptions{displayCollation, duplicateTest, Journals()};
}

ListOptions JobOptions::List() const {
    return ListOptions{listCollation, Render()};
}

ExportOptions JobOptions::Export() const {
    return ExportOptions{Journals()};
}

} // namespace cvx
