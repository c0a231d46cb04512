#pragma once
// The settings-to-options layer: what a job takes from the user's settings, read from the settings
// store once when the job starts, and the options each engine is handed. Engines never read the
// settings themselves; the command line and the desktop program both come through here, so a job
// runs with the same options whichever front end starts it.

#include "documents/DocumentCompletion.h"
#include "filetools/FileComparer.h"
#include "filetools/FileSorter.h"
#include "formats/Renderer.h"
#include "journals/JournalLookup.h"
#include "output/Exporter.h"
#include "output/ReferenceList.h"
#include "refstore/DisplaySorter.h"
#include "refstore/OrderFile.h"
#include "refstore/RefArrData.h"
#include "refstore/SortOrders.h"
#include "search/Thesaurus.h"
#include "text/Collation.h"
#include "text/TextMode.h"
#include "vorodud/Vorodud.h"

#include <memory>
#include <string>

namespace cvx {

class DatabaseJournalLookup;
class SettingsStore;

// The clipboard's settings ("Clipboard"), which also shape labels and pseudo-citations.
struct ClipboardOptions {
    bool suppressRtf = false;       // "Suppress RTF": labels say "et al." without italics
    bool latexEnabled = false;      // "Enabled LaTex"
    bool removeCodeStrings = false; // "Remove code strings"
    bool hideReferences = false;    // "Hide references in pseudo-citations"
};

struct JobOptions {
    // Reads every setting the jobs use and opens the journal-name database they name.
    static JobOptions Read(const SettingsStore& store);

    // Journal names: the database in use (the shipped one unless the user names another), the
    // form names are written and recognised in, and whether rendering ignores the database.
    std::string journalDatabase;
    JournalForm journalDisplayForm = JournalForm::FullName;
    bool ignoreJournalDatabase = false;

    // Importing: the dumps folder (its default when none or a blank one is stored) and the error
    // dump file (empty: "import-errors.dmp" in the dumps folder).
    std::string dumpDirectory;
    std::string errorDumpFile;

    // Manuscripts: the document-definition library in use (the shipped one unless the user names
    // another), the folder of their format files (empty: the default format folder) and the
    // document directory, where a manuscript named without a folder is looked for (empty: none).
    std::string documentDefinitions;
    std::string manuscriptFormatDirectory;
    std::string documentDirectory;

    // Display and sorting: the reference windows' display order, the character collation of the
    // display, of lists and of file sorting, and the text mode of reference text.
    DisplayOrder displayOrder = DisplayOrder::AuthorYear;
    Collation displayCollation = Collation::English;
    Collation listCollation = Collation::English;
    Collation sortCollation = Collation::English;
    TextMode textMode = TextMode::Ansi;

    // The file tools, lists and export: the order a file is sorted in ("Sorts\Reference
    // sorting") and a list made in ("Lists\Reference sorting"), what the duplicate test compares
    // ("Sorts\Duplicate account"), the scope of the structure check ("Sorts\Check type"), the
    // format lists are rendered with ("Lists\Format directory" and "Lists\Format file"; empty when
    // none is chosen) and the export layout ("Export\Format").
    DisplayOrder sortOrder = DisplayOrder::AuthorYear;
    DisplayOrder listOrder = DisplayOrder::AuthorYear;
    DuplicateTest duplicateTest = DuplicateTest::SourceAndAuthors;
    CheckKind checkKind = CheckKind::All;
    std::string listFormatFile;
    ExportLayout exportLayout = ExportLayout::Medline;

    ClipboardOptions clipboard;

    // Searching: whether the indexed search is the choice ("Use idx"), whether the scanning
    // search ignores diacritics ("No diac"), and the search thesaurus ("Thesaurus list") that
    // the indexed search expands list items with.
    bool useIndex = true;
    bool ignoreDiacritics = true;
    Thesaurus thesaurus;

    // The journal-name database; null when it cannot be used (every name is then unknown). It
    // lives as long as the options and their copies.
    const JournalLookup* Journals() const;

    // ---- What the engines are handed; they point into these options. ----
    RenderOptions Render() const;
    FormalCheck JournalCheck() const;
    vorodud::ImportSettings Import() const;
    CompletionOptions Completion() const;
    SortOptions Sort() const;
    CompareOptions Compare() const;
    DisplaySortOptions DisplaySort() const;
    ListOptions List() const;
    ExportOptions Export() const;

private:
    std::shared_ptr<const DatabaseJournalLookup> journals_;
};

} // namespace cvx
