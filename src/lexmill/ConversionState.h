#pragma once
// The reading state of one conversion run: the source reader, the line table that a record
// reader fills, the reference collected from it field by field, the run's counters, the settings
// and the two output files. The exported interface keeps one process-wide instance; tests make
// their own.

#include "journals/JournalLookup.h"
#include "lexmill/LineReader.h"
#include "lexmill/OutputFile.h"
#include "text/MessageLists.h"
#include "text/TextMode.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx::lexmill {

// Text buffers of the collected reference hold at most this many characters.
inline constexpr std::size_t kTextLimit = 255;
// The line table holds lines 0..250; a reader stores at most 250 lines.
inline constexpr int kLineTableSize = 251;
inline constexpr int kMaxRecordLines = 250;

std::string CutText(std::string_view text);

// The lines of one collected field, indexed from 1; `count` says how many are in use.
template <int N> struct FieldLines {
    static constexpr int kSize = N;
    std::array<std::string, N + 1> line{}; // line[0] is not used
    int count = 0;

    // Out-of-range indexes read as empty text and are not written.
    const std::string& Get(int index) const {
        static const std::string empty;
        return index >= 1 && index <= N ? line[static_cast<std::size_t>(index)] : empty;
    }
    void Set(int index, std::string_view text) {
        if (index >= 1 && index <= N) {
            line[static_cast<std::size_t>(index)] = CutText(text);
        }
    }
    std::string& operator[](int index) { return line[static_cast<std::size_t>(index)]; }
    void SetCount(int n) { count = n < 0 ? 0 : (n > N ? N : n); }
};

struct CollectedReference {
    std::string idString;
    FieldLines<30> authors;
    FieldLines<10> title;
    std::string yearVolPage;
    std::string pages;
    FieldLines<6> source;
    FieldLines<5> editors;
    std::string publCity;
    FieldLines<180> abstract;
    FieldLines<30> majorHeads;
    FieldLines<6> address;
    std::string language;
    bool skipThisRef = false;
    bool etAlAuthors = false;
    bool notJournal = false;
    bool questioned = false;
};

struct RunCounters {
    int curRef = 0;
    int refsWritten = 0;
    int refsDumped = 0;
    int refsQuestioned = 0;
    int refsMarked = 0; // written references whose own text shows a "???" mark
    int refsEtAl = 0;
    int refsWrongJournal = 0;
    int incomplete = 0;
};

// The driver's texts for the library's output: entries of the driver's catalogue list, whose
// index is what crosses the C interface (YearLine, SourceLine, SourceNoteOneLine,
// SourceNoteLines, EtAlNote and DumpHeader).
using DriverText = msg::VorodudTexts;

class ConversionState {
public:
    ConversionState();
    ConversionState(const ConversionState&) = delete;
    ConversionState& operator=(const ConversionState&) = delete;

    // --- Set-up and tear-down
    enum class PrepareResult : std::uint8_t { Ok = 0, NoMemory = 2, OutputNotOpened = 3 };
    PrepareResult PrepareReadWrite(const std::string& source, const std::string& output,
                                   bool append);
    void CloseFiles();
    void CloseErrorFile();
    // The fatal-error hook: the first message of a run is kept and stops the run.
    void Terminate(std::string_view message);
    const std::optional<std::string>& RunError() const { return runError_; }
    void FileAppendCRLF();

    std::int64_t InSize() const { return inSize_; }
    std::int64_t AbsPos() const { return absPos_; }
    const std::string& DumpFileName() const { return dumpFileName_; }
    bool FilSlut() const { return filSlut_; }
    bool SetFilSlut();
    bool InRef() const { return inRef; }
    std::string CurRefText() const { return std::to_string(counters_.curRef + 1); }

    // --- Settings
    TextMode convCharSet = TextMode::Ansi; // ShiftJis: Japanese double-byte text
    bool noDiac = true;
    unsigned char diacChar = 0;
    bool addLangToTitle = false;
    std::string errorFileName;
    void SetCommonLabel(std::string_view text);
    const std::string& CommonLabel() const { return commonLabel_; }
    void SetLanguage(std::string_view text);

    // Where the driver's texts come from; by default the catalogue.
    static std::string CatalogueText(DriverText which);
    std::function<std::string(DriverText)> driverText = CatalogueText;
    std::string Text(DriverText which) const { return driverText(which); }
    // The journal-name look-up of written journal references; null: names stay as they are.
    const JournalLookup* journals = nullptr;
    JournalForm displayForm = JournalForm::FullName;

    // --- The current reference
    void ResetCollectData();
    CollectedReference ref;
    std::vector<std::string> allLines;
    int mLine = 0;
    std::string pendingLine;
    bool inRef = false;
    const std::string& Line(int index) const;
    void SetLine(int index, std::string_view text);

    // --- Reading the source (for the record readers)
    // Reads one source line; at the end the line is empty and FilSlut is set.
    void ReadSourceLine(std::string& line);
    // Reads one source byte; -1 at the end.
    int ReadSourceChar();
    bool SourceAtEnd();
    // Begins a record reader: MLine 0, the collected reference reset. False when the source is
    // already at its end.
    bool BeginRecord();
    // Stores a line of the record; false once the line table is full.
    bool StoreLine(std::string_view line);
    // The run has stopped (a fatal error was reported).
    bool Stopped() const { return runError_.has_value(); }

    // --- State that single readers keep for a run
    int recordsRead = 0; // calls of record readers in this run
    bool probaseFirstCall = true;
    struct FreeFormatMemory {
        long number = -1;
        char delimiter = 0;
        int indentation = -1;
        std::string carried; // what ended the previous record, put in front of the next
    } freeFormat;

    // --- Output
    void WriteToFile();
    bool ErrFileError() const { return errFileError_; }
    const RunCounters& Counters() const { return counters_; }
    // The code page of a download read in a legacy double-byte code page ("" when it could not
    // be told); nothing for any other download.
    const std::optional<std::string>& LegacyEncoding() const { return legacyEncoding_; }
    void IncNotJournals();

private:
    void EnsureSourceDecoded();
    void ReleaseRun();
    void DumpReference();
    // Why the current reference goes to the error dump file.
    DriverText DumpReason() const;
    void WriteReference();
    void WriteLine(std::string_view line);
    std::string JournalLine(const std::string& name) const;

    LineReader reader_;
    bool sourceChecked_ = false; // the source's character set has been settled for this run
    std::optional<std::string> legacyEncoding_;
    std::int64_t inSize_ = 0;
    std::int64_t absPos_ = 0;
    std::string dumpFileName_;
    std::string sourceName_;
    std::string commonLabel_;
    bool filSlut_ = true;
    RunCounters counters_;
    std::optional<std::string> runError_;

    OutputFile output_;
    OutputFile errorFile_;
    bool errOpen_ = false;
    bool errFileError_ = false;
    int recordsConverted_ = 0;         // records of this run that reached WriteToFile
    bool questionMarkWritten_ = false; // the reference being written shows a "???" mark
};

} // namespace cvx::lexmill
