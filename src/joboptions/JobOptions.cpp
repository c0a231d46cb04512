#include "joboptions/JobOptions.h"

#include "journals/DatabaseJournalLookup.h"
#include "settings/DefaultDirectories.h"
#include "settings/SettingsStore.h"
#include "text/FileNames.h"
#include "text/ShippedData.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// The display form a user can choose (1 to 5); anything else stored reads as the full name.
JournalForm DisplayForm(int stored) {
    return stored >= static_cast<int>(JournalForm::FullName) &&
                   stored <= static_cast<int>(JournalForm::ChemicalAbstracts)
               ? static_cast<JournalForm>(stored)
               : JournalForm::FullName;
}

// A stored value that names no display order shows the file's own order.
DisplayOrder StoredDisplayOrder(int stored) {
    return stored >= 0 && stored <= static_cast<int>(DisplayOrder::Original)
               ? static_cast<DisplayOrder>(stored)
               : DisplayOrder::Original;
}

// A stored order that names none of the seven is the author order.
DisplayOrder StoredSortOrder(int stored) {
    return stored >= 0 && stored <= static_cast<int>(DisplayOrder::Original)
               ? static_cast<DisplayOrder>(stored)
               : DisplayOrder::AuthorYear;
}

// A stored scope outside the five checks everything.
CheckKind StoredCheckKind(int stored) {
    return stored >= 0 && stored <= static_cast<int>(CheckKind::JournalNames)
               ? static_cast<CheckKind>(stored)
               : CheckKind::All;
}

// A stored layout outside the four is the MEDLINE layout.
ExportLayout StoredExportLayout(int stored) {
    return stored >= 0 && stored <= static_cast<int>(ExportLayout::CslJson)
               ? static_cast<ExportLayout>(stored)
               : ExportLayout::Medline;
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
    o.journalDisplayForm = DisplayForm(store.ReadInt(Setting::DefaultDisplayForm));
    o.ignoreJournalDatabase = store.ReadBool(Setting::IgnoreDatabase);
    o.dumpDirectory = DumpDirectory(store);
    o.errorDumpFile = SpecificFile(store, SpecificFileKind::ErrorDump);
    o.documentDefinitions =
        SpecificFileInUse(store, SpecificFileKind::TextDocumentDefinitions, ShippedDataDirectory());
    o.manuscriptFormatDirectory = store.ReadText(Setting::ManuscriptFormatDirectory);
    o.documentDirectory = TrimBlanks(DefaultDirectory(store, DefaultDirectoryKind::Lists));
    o.displayOrder = StoredDisplayOrder(store.ReadInt(Setting::SortType));
    o.displayCollation = CollationFromValue(store.ReadInt(Setting::DisplayCharacterSorting));
    o.listCollation = CollationFromValue(store.ReadInt(Setting::ListCharacterSorting));
    o.sortCollation = CollationFromValue(store.ReadInt(Setting::SortCharacterSorting));
    o.textMode = store.ReadInt(Setting::CharacterSet) == static_cast<int>(TextMode::ShiftJis)
                     ? TextMode::ShiftJis
                     : TextMode::Ansi;
    o.sortOrder = StoredSortOrder(store.ReadInt(Setting::SortReferenceSorting));
    o.listOrder = StoredSortOrder(store.ReadInt(Setting::ListReferenceSorting));
    o.duplicateTest = store.ReadInt(Setting::DuplicateAccount) == 0
                          ? DuplicateTest::SourceAndAuthors
                          : DuplicateTest::SourceOnly;
    o.checkKind = StoredCheckKind(store.ReadInt(Setting::CheckType));
    o.listFormatFile = ListFormatFile(store);
    o.exportLayout = StoredExportLayout(store.ReadInt(Setting::ExportFormat));
    o.clipboard.suppressRtf = store.ReadBool(Setting::SuppressRtf);
    o.clipboard.latexEnabled = store.ReadBool(Setting::EnabledLatex);
    o.clipboard.removeCodeStrings = store.ReadBool(Setting::RemoveCodeStrings);
    o.clipboard.hideReferences = store.ReadBool(Setting::HideReferencesInPseudoCitations);
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
