#pragma once
// The layouts of an export: MEDLINE and RIS tagged text (code page 1252, CR LF, with a header
// block), BibTeX (UTF-8) and CSL JSON (UTF-8). A writer turns one parsed reference into its
// record; the export engine (Exporter.h) reads the references and writes the records in order.

#include "refstore/RefArrData.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cvx {

class JournalLookup;

enum class ExportLayout { Medline = 0, Ris = 1, Bibtex = 2, CslJson = 3 };

// The layout a user names ("medline", "ris", "bibtex", "csl-json"); nullopt for another name.
std::optional<ExportLayout> ExportLayoutByName(std::string_view name);

// What the header block of the tagged layouts tells.
struct ExportHeading {
    std::string path;      // the reference file, UTF-8 as the system gives it
    bool tagged = false;   // only the tagged references
    int references = 0;    // in the file (all) or tagged (tagged)
    std::string timestamp; // the date and time of the export
};

// One reference as the layouts see it.
struct ExportedReference {
    const TRefArrData& record;
    int number = 0;            // its place in the file, from 1
    int fileCount = 0;         // the number of references in the file
    std::string_view fileName; // the file's name without its folder, code page 1252
    bool unparsed = false;     // its text could not be split into its fields
    std::string_view stored;   // the stored block: an unparsed reference carries it whole
    std::string_view key;      // its citation key (BibTeX, CSL JSON)
};

class ExportWriter {
public:
    virtual ~ExportWriter() = default;
    virtual Outcome Begin(WritableFile& out, const ExportHeading& heading) = 0;
    // Appends the record of one reference to `out`. Writers keep no state between records, so
    // records may be made on several threads at once.
    virtual void Record(const ExportedReference& reference, std::string& out) const = 0;
    // What stands between two records (CSL JSON's comma).
    virtual std::string_view Between() const { return {}; }
    virtual Outcome End(WritableFile& out) = 0;
    // Whether records carry citation keys.
    virtual bool UsesKeys() const { return false; }
};

// `journals` (may be null) gives the journal names the layouts write besides the stored ones.
std::unique_ptr<ExportWriter> MakeExportWriter(ExportLayout layout, const JournalLookup* journals);

// The header block of the tagged layouts: `title` is its second line.
std::string TaggedHeader(std::string_view title, const ExportHeading& heading);

// The note of an unparsed reference: its stored text on one line, so an export never loses it.
std::string UnparsedNote(std::string_view stored);

} // namespace cvx
