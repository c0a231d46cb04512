#include "lexmill/ConversionState.h"

#include "lexmill/DecodedSource.h"
#include "text/Catalogue.h"
#include "text/StringPrimitives.h"

#include <new>
#include <sys/stat.h>

namespace cvx::lexmill {

namespace {

constexpr std::string_view kNoSourceAccess = "no access to the screen dump file";

std::int64_t FileSize(const std::string& name) {
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return 0;
    }
    return st.st_size;
}

} // namespace

std::string CutText(std::string_view text) {
    return std::string(text.substr(0, kTextLimit));
}

std::string ConversionState::CatalogueText(DriverText which) {
    return Message(which);
}

ConversionState::ConversionState() {
    ResetCollectData();
}

void ConversionState::ReleaseRun() {
    reader_.Close();
    const int lost = output_.Close();
    counters_.refsWritten -= lost;
    counters_.curRef -= lost;
    allLines.clear();
    allLines.shrink_to_fit();
    mLine = 0;
}

ConversionState::PrepareResult ConversionState::PrepareReadWrite(const std::string& source,
                                                                 const std::string& output,
                                                                 bool append) {
    try {
        ReleaseRun();
        CloseErrorFile();
        convCharSet = TextMode::Ansi;
        absPos_ = 0;
        errFileError_ = false;
        probaseFirstCall = true;
        recordsRead = 0;
        freeFormat = FreeFormatMemory{};
        runError_.reset();
        allLines.assign(kLineTableSize, std::string());
        counters_.incomplete = 0;
        errOpen_ = false;
        counters_.refsDumped = 0;
        recordsConverted_ = 0;
        dumpFileName_ = source;
        sourceName_ = source;
        inSize_ = FileSize(source);

        reader_.Open(source);
        sourceChecked_ = false;
        legacyEncoding_.reset();
        if (!reader_.Reset()) {
            Terminate(kNoSourceAccess);
        }
        if (!output.empty()) {
            if (!output_.Open(output, append)) {
                ReleaseRun();
                return PrepareResult::OutputNotOpened;
            }
            if (append) {
                output_.Write("\r\n\r\n");
                output_.Flush();
            }
        }
        pendingLine.clear();
        filSlut_ = false;
        counters_.curRef = counters_.refsWritten = counters_.refsQuestioned = counters_.refsMarked =
            counters_.refsWrongJournal = counters_.refsEtAl = 0;
        if (output_.Failed()) {
            Terminate("Error when writing to disk - disk full?");
        }
        return PrepareResult::Ok;
    } catch (const std::bad_alloc&) {
        ReleaseRun();
        return PrepareResult::NoMemory;
    }
}

void ConversionState::CloseFiles() {
    const bool failedBefore = output_.Failed();
    ReleaseRun();
    if (output_.Failed() && !failedBefore) {
        Terminate("Error when writing to disk - disk full?");
    }
}

void ConversionState::CloseErrorFile() {
    if (errOpen_) {
        errorFile_.Close();
        if (errorFile_.Failed()) {
            errFileError_ = true;
        }
        errOpen_ = false;
    }
}

void ConversionState::Terminate(std::string_view message) {
    if (!runError_) {
        runError_ = std::string(message);
    }
}

void ConversionState::FileAppendCRLF() {
    if (reader_.Reset()) {
        absPos_ = 0;
    }
}

bool ConversionState::SetFilSlut() {
    filSlut_ = filSlut_ || SourceAtEnd();
    return filSlut_;
}

void ConversionState::SetCommonLabel(std::string_view text) {
    const std::string trimmed = TrimBlanks(text);
    commonLabel_ = trimmed.empty() ? std::string() : CutText(" " + trimmed);
}

void ConversionState::SetLanguage(std::string_view text) {
    ref.language = CutText(TrimBlanks(text));
}

void ConversionState::IncNotJournals() {
    ++counters_.incomplete;
    ref.notJournal = true;
}

void ConversionState::ResetCollectData() {
    CollectedReference& r = ref;
    r.skipThisRef = r.etAlAuthors = r.notJournal = r.questioned = false;
    inRef = false;
    r.idString.clear();
    r.publCity.clear();
    r.language.clear();
    r.pages.clear();
    r.source[1].clear();
    r.editors[1].clear();
    r.address[1].clear();
    r.authors.count = 1;
    r.authors[1] = " ";
    r.title.count = 0;
    r.title[1] = " ";
    r.abstract.count = 0;
    r.abstract[1] = " ";
    for (int i = 2; i <= r.abstract.kSize; ++i) {
        r.abstract[i].clear();
    }
    r.majorHeads.count = 0;
    r.majorHeads[1] = " ";
    for (int i = 2; i <= r.majorHeads.kSize; ++i) {
        r.majorHeads[i].clear();
    }
    r.yearVolPage = " ";
    r.source.count = r.editors.count = r.address.count = 0;
}

const std::string& ConversionState::Line(int index) const {
    static const std::string empty;
    return index >= 0 && index < static_cast<int>(allLines.size())
               ? allLines[static_cast<std::size_t>(index)]
               : empty;
}

void ConversionState::SetLine(int index, std::string_view text) {
    if (index >= 0 && index < static_cast<int>(allLines.size())) {
        allLines[static_cast<std::size_t>(index)] = std::string(text);
    }
}

void ConversionState::EnsureSourceDecoded() {
    if (sourceChecked_ || !reader_.Opened()) {
        return;
    }
    sourceChecked_ = true;
    // Japanese double-byte text is read as it is; anything else through its decoded copy.
    if (convCharSet == TextMode::ShiftJis) {
        return;
    }
    DecodedSource decoded = DecodeSource(sourceName_);
    if (!decoded.decoded) {
        return;
    }
    if (decoded.legacy) {
        legacyEncoding_ = std::move(decoded.legacyEncoding);
    }
    if (decoded.descriptor >= 0) {
        reader_.OpenDescriptor(decoded.descriptor);
    } else {
        reader_.OpenText(std::move(decoded.text));
    }
    if (reader_.Reset()) {
        inSize_ = reader_.Size();
    } else {
        reader_.Open(sourceName_);
        reader_.Reset();
    }
}

bool ConversionState::SourceAtEnd() {
    EnsureSourceDecoded();
    return !reader_.Opened() || reader_.AtEnd() || Stopped();
}

void ConversionState::ReadSourceLine(std::string& line) {
    if (SourceAtEnd()) {
        line.clear();
        filSlut_ = true;
        return;
    }
    absPos_ += static_cast<std::int64_t>(reader_.ReadLine(line));
}

int ConversionState::ReadSourceChar() {
    if (SourceAtEnd()) {
        return -1;
    }
    const int c = reader_.ReadChar();
    if (c >= 0) {
        ++absPos_;
    }
    return c;
}

bool ConversionState::BeginRecord() {
    ++recordsRead;
    mLine = 0;
    ResetCollectData();
    if (allLines.size() != static_cast<std::size_t>(kLineTableSize)) {
        allLines.assign(kLineTableSize, std::string());
    }
    if (Stopped()) {
        filSlut_ = true;
    }
    return !filSlut_;
}

bool ConversionState::StoreLine(std::string_view line) {
    if (mLine >= kMaxRecordLines) {
        return false;
    }
    // Assigned in place: the table's strings keep their buffers from record to record.
    allLines[static_cast<std::size_t>(mLine)].assign(line);
    ++mLine;
    allLines[static_cast<std::size_t>(mLine)].clear();
    return true;
}

} // namespace cvx::lexmill
