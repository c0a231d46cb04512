#pragma once
// Export: the references of a file (all, or the tagged ones) in file order, written in one of the
// export layouts (ExportWriter.h). The thread is TVoxExport.

#include "output/ExportWriter.h"
#include "refstore/RefSet.h"
#include "text/JobThread.h"
#include "text/Outcome.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cvx {

class FileSystem;
class JournalLookup;
class Progress;
class ReferenceReader;

struct ExportRequest {
    std::shared_ptr<const ReferenceReader> references; // the version of the file to export
    std::string output;
    ExportLayout layout = ExportLayout::Medline;
    std::optional<RefSet> tagged; // only these references, when given
};

// What an export takes from the settings (JobOptions::Export).
struct ExportOptions {
    const JournalLookup* journals = nullptr; // the journal names the layouts add; null: as stored
};

struct ExportReport {
    Outcome outcome; // failed or aborted: no output file was made (an old one stays)
    int exported = 0;
    int journals = 0;   // journal articles among them
    int chapters = 0;   // chapters of edited books
    int monographs = 0; // books
    // References that could not be parsed (numbers from 1): they are exported with the fields
    // that could be read and their stored text as a note.
    std::vector<int> unparsed;
};

// Writes the export file. Deleted references are left out.
ExportReport ExportReferences(FileSystem& fs, const ExportRequest& request,
                              const ExportOptions& options, Progress& progress);

// The export thread.
class TVoxExport : public JobThread<ExportReport> {
public:
    TVoxExport(FileSystem& fs, ExportRequest request, ExportOptions options, Progress& progress);
};

} // namespace cvx
