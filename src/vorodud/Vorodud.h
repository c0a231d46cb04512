#pragma once
// VORODUD, the conversion driver: it knows the source types (a supplier and a database each),
// detects them from a file's content and runs a conversion on a worker thread by calling
// Lexmill in its calling order. Each member below carries the ordinal of the driver contract it
// stands for.
//
// One conversion runs at a time (Lexmill's state is process-wide); a second one waits for the
// first. Indexes of suppliers and databases are 0-based; list functions answer 99 past their
// list's end.

#include "journals/JournalLookup.h"
#include "refstore/ReferenceDestination.h"
#include "text/Progress.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace cvx::vorodud {

enum class ResultCode : int {
    Done = 0,
    Aborted = 2,
    ConversionUnavailable = 3,
    LibraryMissing = 4,
    SourceNotAccessible = 5,
    WriteError = 6,
    LibraryDamaged = 7,
};

struct Counters {
    int written = 0;
    int incomplete = 0;
    int questioned = 0;
    int dumped = 0;
    int marked = 0; // written references that show a "???" mark in their own text
};

// What the driver takes from the program's settings, with the settings' defaults.
struct ImportSettings {
    std::string errorDumpFile; // "Specific files"/"Error dump file"; empty: in the dumps folder
    std::string dumpDirectory; // "Default directories"/"DumpDir", the settings' default if none
    JournalForm journalDisplayForm =
        JournalForm::FullName;               // "Journal names"/"Default display form"
    const JournalLookup* journals = nullptr; // the journal-name database; null: none
};

// The error dump file a run writes to: the named file, or "import-errors.dmp" in the dumps folder.
// Empty when the settings give neither; the run's dumps then fail (and are counted).
std::string ErrorDumpFile(const ImportSettings& settings);

// The result of the last run, shared with its worker thread.
struct RunRecord {
    std::mutex mutex;
    ResultCode code = ResultCode::Done;
    std::string text;
    Counters counters;
    bool dumpFileFailed = false;
    // Why the run did not start or keep its references, when the result code alone cannot say
    // (a destination refused, a source that is no regular file); empty otherwise.
    std::string message;
    // The legacy double-byte code page the download was read in, empty when it could not be
    // told; nothing for a download in UTF-8, UTF-16 or code page 1252.
    std::optional<std::string> legacyEncoding;
};

// The worker thread of a conversion (ordinal 19). It is created suspended; Resume starts it.
// The completion callback runs on the worker thread as its last act; a window system hands it to
// its main thread itself.
class ConversionThread {
public:
    struct Job;
    explicit ConversionThread(std::shared_ptr<Job> job);
    ConversionThread(const ConversionThread&) = delete;
    ConversionThread& operator=(const ConversionThread&) = delete;
    // Waits for a thread that was started and not detached.
    ~ConversionThread();

    void Resume();
    void Wait();
    // The thread frees itself when it ends.
    void Detach();

private:
    std::shared_ptr<Job> job_;
    std::thread thread_;
};

class Vorodud {
public:
    explicit Vorodud(ImportSettings settings = {});

    // 21: ready to convert `type`; false with the reason in LastResult.
    bool Initialise(int& type);
    // 20: the last result; the text is a file name for codes 4 to 7.
    ResultCode LastResult(std::string& text) const;
    // 23: written, incomplete, questioned and dumped references of the last run.
    Counters LastCounters() const;
    // Whether the last run could not write its error dump file.
    bool LastDumpFileFailed() const;
    // The message of the last run's failure when its result code cannot say it; empty otherwise.
    std::string LastMessage() const;
    // The legacy code page the last run read its download in (see RunRecord).
    std::optional<std::string> LastLegacyEncoding() const;

    int SupplierCount() const;                               // 12
    std::string SupplierName(int supplier) const;            // 13
    int DatabaseCount() const;                               // 15
    std::string DatabaseName(int database) const;            // 16
    std::string SupplierDatabase(int supplier, int i) const; // 14: name of a supplier's i-th
    int SupplierDatabaseIndex(int supplier, int i) const;    // 17: its index, 99 past the end
    int DatabaseSupplierIndex(int database, int i) const;    // 18
    int TypeOf(std::string_view supplier, std::string_view database) const; // 11
    int DetectType(const std::string& source) const;                        // 10
    bool TypeUsable(int type) const;                                        // 8
    std::string TypeName(int type) const;                                   // 9
    std::string TypeText(int type, int which) const; // 1 (which 1: supplier), 5 (which 2: database)
    int TypeSupplierDatabaseIndex(int type, int i) const;    // 3
    std::string TypeSupplierDatabase(int type, int i) const; // 4
    int TypeDatabaseSupplierIndex(int type, int i) const;    // 6
    std::string TypeDatabaseSupplier(int type, int i) const; // 7

    // 19: a suspended worker thread converting `source` into `destination`, which it makes new,
    // appends to or replaces (`mode`). Progress carries the abort flag, the progress bar and the
    // two message texts. The destination is held against other writers for the whole run, and a
    // run that keeps nothing leaves it as it was.
    std::unique_ptr<ConversionThread> StartConversion(int type, const std::string& source,
                                                      const std::string& destination,
                                                      DestinationMode mode, Progress& progress,
                                                      std::function<void()> completion);

    // 22: the driver's message texts for Lexmill (0 to 20).
    static std::string MessageText(int index);

    // The command line's names of the types.
    std::string TypeKey(int type) const;
    int TypeByKey(std::string_view key) const;

private:
    ImportSettings settings_;
    std::shared_ptr<RunRecord> last_;
};

} // namespace cvx::vorodud
