#pragma once
// One import as a single call, the way every front end imports: the request (source, destination,
// the source type or its detection, how to write, common text) and the driver's settings go in, the
// report (counters, the error dump file, the messages for the user, the result) comes out. The
// ordinals of Vorodud stay for what the tools window asks of the driver step by step (the type
// lists, detection while the user picks a source).

#include "text/Progress.h"
#include "vorodud/Vorodud.h"

#include <string>
#include <vector>

namespace cvx::vorodud {

enum class ImportStatus {
    Succeeded,     // references were written
    NothingFound,  // the run found no reference of the source type: nothing was written
    AllDumped,     // every reference found went to the error dump file: nothing was written
    NotRecognised, // no type was given and detection recognised none
    Failed,        // the import did not start, or its run failed; the messages say why
};

struct ImportRequest {
    std::string source;      // the download (UTF-8 path)
    std::string destination; // the reference file written to (UTF-8 path)
    int type = 0;            // the source type; 0: detected from the source
    // Make the destination, append to it, or replace it (its old text kept as "bak").
    DestinationMode mode = DestinationMode::New;
    // The common text put at the top of every imported reference's abstract/comment part (code
    // page 1252 with markup codes). Lexmill keeps it for later imports of the process; empty
    // leaves the text Lexmill has (none until one is set).
    std::string label;
};

struct ImportReport {
    ImportStatus status = ImportStatus::Failed;
    ResultCode code = ResultCode::Done; // the driver's result (code 5 for an unreadable source)
    int type = 0;                       // the type converted: the one given or the one detected
    bool converted = false;             // a run took place: the counters below are its own
    Counters counters;
    std::string dumpFile;              // the error dump file of the settings (UTF-8)
    bool dumpFileFailed = false;       // the dumped references could not be written to it
    std::vector<std::string> messages; // for the user, code page 1252, in the order they arose

    bool Succeeded() const { return status == ImportStatus::Succeeded; }
};

// Imports: checks the source, detects its type when none is given, readies the driver, hands the
// common text to Lexmill, runs the conversion on the driver's worker thread and waits for its end.
// Progress carries the status texts, the progress bar and the abort flag.
ImportReport Import(const ImportRequest& request, const ImportSettings& settings,
                    Progress& progress);

// The type of a download: status Succeeded with the type, NotRecognised, or Failed when the file
// cannot be read; `message` says why not.
struct DetectedSource {
    ImportStatus status = ImportStatus::Failed;
    int type = 0;
    std::string message;
};
DetectedSource DetectSource(const std::string& source);

// A usable source type as the command line names it.
struct SourceTypeEntry {
    int type = 0;
    std::string key;      // the command line's name of the type
    std::string supplier; // code page 1252
    std::string database;
};
// Every usable source type, in the order of their numbers.
std::vector<SourceTypeEntry> UsableSourceTypes();

// The message of a driver's result code (GMSG_VorOdud), filled with the result's text.
std::string ResultMessage(ResultCode code, const std::string& text);

} // namespace cvx::vorodud
