#include "vorodud/Vorodud.h"

#include "journals/JournalLookup.h"
#include "lexmill/Lexmill.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "vorodud/BibtexProcedure.h"
#include "vorodud/LayoutProcedures.h"
#include "vorodud/LexmillWrapper.h"
#include "vorodud/OvidProcedure.h"
#include "vorodud/Procedure.h"
#include "vorodud/SourceDetection.h"
#include "vorodud/SourceTypes.h"
#include "vorodud/TaggedSourceProcedures.h"

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <unordered_map>

namespace cvx::vorodud {

namespace {

constexpr int kEndOfList = 99;

// Lexmill's state is process-wide: one run at a time.
std::mutex& RunMutex() {
    static std::mutex mutex;
    return mutex;
}

size_t DriverMessageText(void*, uint8_t index, char* text, size_t size) {
    const std::string message = Vorodud::MessageText(index);
    if (text != nullptr && size > 0) {
        const size_t n = std::min(message.size(), size - 1);
        std::memcpy(text, message.data(), n);
        text[n] = '\0';
    }
    return message.size();
}

// The journal names of a run's look-ups: a download names the same journals again and again,
// and a look-up in the database costs far more than finding the answer of the one before.
struct JournalNames {
    const JournalLookup* journals = nullptr;
    std::unordered_map<std::string, std::string> found; // name and form: the name found, or ""
};

uint8_t JournalLookupCallback(void* context, const char* name, int32_t form, char* text,
                              size_t size) {
    auto* names = static_cast<JournalNames*>(context);
    std::string key = std::to_string(form) + '|' + name;
    auto it = names->found.find(key);
    if (it == names->found.end()) {
        const auto match = names->journals->LookUp(name, static_cast<JournalForm>(form));
        it = names->found.emplace(std::move(key), match ? match->name : std::string()).first;
    }
    const std::string& found = it->second;
    if (found.empty() || size == 0) {
        return 0;
    }
    const size_t n = std::min(found.size(), size - 1);
    std::memcpy(text, found.data(), n);
    text[n] = '\0';
    return 1;
}

// The file Lexmill was loaded from, for the messages about a damaged library.
std::string LexmillFileName() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&lexmill_Exports), &info) != 0 &&
        info.dli_fname != nullptr) {
        return info.dli_fname;
    }
    return "liblexmill.so";
}

// The ordinals the driver calls.
constexpr int kOrdinalsUsed[] = {
    1,   4,   12,  13,  17,  18,  19,  20,  21,  22,  23,  24,  25,  27,  28,  29,
    30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,
    46,  47,  48,  49,  50,  51,  56,  57,  62,  73,  74,  76,  77,  82,  83,  84,
    85,  89,  98,  101, 102, 106, 107, 108, 109, 110, 113, 117, 118, 119, 121, 122,
    123, 124, 125, 126, 127, 129, 130, 131, 133, 134, 135, 137, 138, 139, 140, 141};

std::unique_ptr<Procedure> Layout(std::function<void()> read, LayoutTags tags,
                                  TextMode charSet = TextMode::Ansi, unsigned char diacritic = 0) {
    return std::make_unique<TaggedLayoutProcedure>(std::move(read), tags, charSet, diacritic);
}

std::unique_ptr<Procedure> MakeProcedure(ProcedureId id) {
    switch (id) {
    case ProcedureId::Medline:
        return std::make_unique<MedlineProcedure>();
    case ProcedureId::Ris:
        return std::make_unique<RisProcedure>();
    case ProcedureId::WebOfScience:
        return std::make_unique<WebOfScienceProcedure>();
    case ProcedureId::Refer:
        return std::make_unique<ReferProcedure>();
    case ProcedureId::Bibtex:
        return std::make_unique<BibtexProcedure>();
    case ProcedureId::HostSession:
        return std::make_unique<HostMedlineProcedure>();
    case ProcedureId::Copac:
        return std::make_unique<CopacProcedure>();
    case ProcedureId::CompuServe:
        return Layout([] { lexmill_ReadTheWholeCompuServe("AN "); }, {.id = "AN ",
                                                                      .title = "TI ",
                                                                      .authors = "AU ",
                                                                      .source = "SO ",
                                                                      .abstract = "AB ",
                                                                      .language = "LA "});
    case ProcedureId::PageLayout:
        return Layout([] { lexmill_ReadTheWholeReferenceSP("\f"); }, {.title = "TI:",
                                                                      .authors = "AU:",
                                                                      .source = "SO:",
                                                                      .abstract = "AB:",
                                                                      .language = "LA:"});
    case ProcedureId::Inspec:
        return Layout([] { lexmill_ReadTheWholeReferenceSPTwoC("Record", ""); },
                      {.title = "TI ~ ",
                       .authors = "AU ~ ",
                       .source = "SO ~ ",
                       .abstract = "AB ~ ",
                       .keywords = "ID ~ "});
    case ProcedureId::DialogIsi:
        return Layout([] { lexmill_ReadTheWholeRefDIALOGISI("DIALOG(R)File"); },
                      {.title = "TI- ",
                       .authors = "AU- ",
                       .source = "SO- ",
                       .abstract = "AB- ",
                       .language = "LA- "});
    case ProcedureId::ReferenceUpdate:
        return Layout([] { lexmill_RefUp_ReadTheWholeReference(); },
                      {.title = "TI ", .authors = "AU ", .source = "SO "});
    case ProcedureId::Probase:
        return std::make_unique<ProbaseProcedure>();
    case ProcedureId::Jicst:
        return Layout([] { lexmill_ReadTheWholeReferenceJICST("AN "); },
                      {.id = "AN ", .title = "TI ", .authors = "AU ", .source = "SO "},
                      TextMode::ShiftJis);
    case ProcedureId::Igaku:
        return Layout([] { lexmill_ReadTheWholeReferenceIGAKU(); },
                      {.id = "UI:",
                       .title = "TI:",
                       .authors = "AU:",
                       .journal = "JN:",
                       .abstract = "AB:",
                       .address = "IN:",
                       .language = "LA:",
                       .volume = "VO:",
                       .issue = "IS:",
                       .pages = "PG:",
                       .year = "DP:"},
                      TextMode::ShiftJis);
    case ProcedureId::EntrezHtml:
        return Layout([] { lexmill_ReadTheWholeRef_Entrez(); }, {.title = "TI  - ",
                                                                 .authors = "AU  - ",
                                                                 .source = "SO  - ",
                                                                 .abstract = "AB  - ",
                                                                 .address = "AD  - ",
                                                                 .keywords = "KW  - "});
    case ProcedureId::MedlineHtml:
        return Layout([] { lexmill_ReadTheWholeRef_NCBIMed(); }, {.id = "UI  - ",
                                                                  .title = "TI  - ",
                                                                  .authors = "AU  - ",
                                                                  .source = "SO  - ",
                                                                  .abstract = "AB  - ",
                                                                  .address = "AD  - ",
                                                                  .keywords = "KW  - "});
    case ProcedureId::Positional:
        return Layout([] { lexmill_ReadTheWholeReferenceAAEM(); }, {.title = "TI  ",
                                                                    .authors = "AU  ",
                                                                    .source = "SO  ",
                                                                    .journal = "JO  ",
                                                                    .abstract = "AB  ",
                                                                    .address = "AD  "});
    case ProcedureId::Labelled:
        return Layout([] { lexmill_MicIndexReadTheWholeReference(); }, {.id = "AN  ",
                                                                        .title = "TI  ",
                                                                        .authors = "AU  ",
                                                                        .source = "SO  ",
                                                                        .abstract = "AB  ",
                                                                        .language = "LA  ",
                                                                        .keywords = "DE  "});
    case ProcedureId::SilverPlatter:
        return std::make_unique<LabelledRecordsProcedure>();
    case ProcedureId::Bibliography:
        return std::make_unique<FreeCitationProcedure>([] { lexmill_ReadTheWholeReferenceBibl(); });
    case ProcedureId::DosBlocks:
        return std::make_unique<FreeCitationProcedure>([] { lexmill_ReadBlankLineDelimBlock(); });
    case ProcedureId::NumberedList:
        return std::make_unique<FreeCitationProcedure>([] { lexmill_ReadFreeFormatBlock(2, 2); });
    case ProcedureId::Ovid:
        return std::make_unique<OvidProcedure>();
    }
    return nullptr;
}

} // namespace

std::string ErrorDumpFile(const ImportSettings& settings) {
    if (!settings.errorDumpFile.empty() || settings.dumpDirectory.empty()) {
        return settings.errorDumpFile;
    }
    return (std::filesystem::path(settings.dumpDirectory) / "import-errors.dmp").string();
}

struct ConversionThread::Job {
    const SourceType* type = nullptr;
    std::string source;
    std::string destination;
    DestinationMode mode = DestinationMode::New;
    Progress* progress = nullptr;
    std::function<void()> completion;
    ImportSettings settings;
    std::shared_ptr<RunRecord> record;

    void Run();
    void Finish(ResultCode code, std::string text, const Counters& counters, bool dumpFailed,
                std::string message = {});
};

void ConversionThread::Job::Finish(ResultCode code, std::string text, const Counters& counters,
                                   bool dumpFailed, std::string message) {
    {
        std::lock_guard lock(record->mutex);
        record->code = code;
        record->text = std::move(text);
        record->counters = counters;
        record->dumpFileFailed = dumpFailed;
        record->message = std::move(message);
    }
    if (completion) {
        completion();
    }
}

void ConversionThread::Job::Run() {
    std::lock_guard run(RunMutex());
    {
        std::lock_guard lock(record->mutex);
        record->legacyEncoding.reset();
    }
    Progress& lane = *progress;
    std::unique_ptr<Procedure> procedure = type ? MakeProcedure(type->procedure) : nullptr;
    if (!procedure) {
        lane.SetStatus(Message(msg::VorodudTexts::NoConversion));
        Finish(ResultCode::ConversionUnavailable, {}, {}, false);
        return;
    }
    if (!SourceReadable(source)) {
        lane.SetStatus(Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(source)));
        Finish(ResultCode::SourceNotAccessible, source, {}, false);
        return;
    }
    if (!SourceRegular(source)) {
        const std::string message = Msg(msg::Citavox::SourceNotRegular, DisplayPath(source));
        lane.SetStatus(message);
        Finish(ResultCode::SourceNotAccessible, source, {}, false, message);
        return;
    }
    ReferenceDestination target;
    if (Outcome r = target.Begin(destination, source, mode, &lane); !r) {
        lane.SetStatus(r.message());
        Finish(r.aborted() ? ResultCode::Aborted : ResultCode::WriteError, destination, {}, false,
               r.message());
        return;
    }
    lane.SetStatus(Msg(msg::VorodudTexts::Converting, DisplayPath(BaseName(source))));
    lane.SetProgress(0);

    // 1. Settings of the run.
    const std::string dumpFile = ErrorDumpFile(settings);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(dumpFile).parent_path(), ec);
    lexmill_SetErrorFile(lx::Arg(dumpFile).c_str());
    lexmill_SetDoDiac(0);
    lexmill_SetMessageTextSource(DriverMessageText, nullptr);
    JournalNames journalNames{settings.journals, {}};
    lexmill_SetJournalLookup(settings.journals != nullptr ? JournalLookupCallback : nullptr,
                             &journalNames, static_cast<int32_t>(settings.journalDisplayForm));
    procedure->Begin(source);

    // 2. The run's files.
    if (lexmill_PrepareReadWrite(lx::Arg(source).c_str(), lx::Arg(target.WritePath()).c_str(),
                                 target.Appending() ? 1 : 0) != 0) {
        lexmill_SetJournalLookup(nullptr, nullptr, 1);
        lane.SetStatus(Msg(msg::VorodudTexts::DestinationUnwritable, DisplayPath(destination)));
        Finish(ResultCode::WriteError, destination, {}, false);
        return;
    }
    if (lx::RunFailed()) {
        lexmill_CloseFiles();
        lexmill_CloseErrorFile();
        lexmill_SetJournalLookup(nullptr, nullptr, 1);
        lane.SetStatus(Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(source)));
        Finish(ResultCode::SourceNotAccessible, source, {}, false);
        return;
    }
    // 3. Double-byte text.
    if (procedure->CharSet() == TextMode::ShiftJis) {
        lexmill_SetConvCharSet(static_cast<uint8_t>(TextMode::ShiftJis));
    }
    // 4. The records.
    Session session(lane, source);
    procedure->Convert(session);
    // 5. Closing.
    lexmill_CloseFiles();
    lexmill_CloseErrorFile();
    lexmill_SetJournalLookup(nullptr, nullptr, 1);
    // 6. The counters.
    const Counters counters{lexmill_GetRefsWritten(), lexmill_GetIncomplete(),
                            lexmill_GetRefsQuestioned(), lexmill_GetRefsDumped(),
                            lexmill_GetRefsMarked()};
    if (lexmill_GetLegacySource() != 0) {
        std::string encoding =
            lx::Fetch([](char* b, size_t n) { return lexmill_GetLegacyEncoding(b, n); });
        std::lock_guard lock(record->mutex);
        record->legacyEncoding = std::move(encoding);
    }
    const bool dumpFailed = lexmill_WriteErrorFileError() != 0;
    // Whole references that were written stay; a replacement takes the file's place only when the
    // run went to its end.
    const bool complete = !session.Aborted() && !lx::RunFailed();
    if (Outcome kept =
            target.Finish(counters.written > 0 && (complete || mode != DestinationMode::Replace));
        !kept) {
        lane.SetStatus(kept.message());
        Finish(ResultCode::WriteError, destination, counters, dumpFailed, kept.message());
        return;
    }
    lane.SetProgress(Progress::kMaximum);
    // The lane's second text: the four counters, or why the dumped references are not in the
    // dump file.
    lane.SetDetail(
        dumpFailed
            ? Msg(msg::VorodudTexts::DumpUnwritable, DisplayPath(dumpFile))
            : Msg(msg::VorodudTexts::Written, std::to_string(counters.written)) + "  " +
                  Msg(msg::VorodudTexts::Incomplete, std::to_string(counters.incomplete)) + "  " +
                  Msg(msg::VorodudTexts::Questioned, std::to_string(counters.questioned)) + "  " +
                  Msg(msg::VorodudTexts::Dumped, std::to_string(counters.dumped)));
    if (session.Aborted()) {
        lane.SetStatus(Msg(msg::VorodudTexts::AbortedAfter, std::to_string(counters.written)));
        Finish(ResultCode::Aborted, {}, counters, dumpFailed);
    } else if (lx::RunFailed()) {
        lane.SetStatus(Msg(msg::VorodudTexts::WriteFailed, DisplayPath(destination)));
        Finish(ResultCode::WriteError, destination, counters, dumpFailed);
    } else if (counters.written + counters.dumped == 0) {
        lane.SetStatus(Msg(msg::VorodudTexts::NothingFound, DisplayPath(source)));
        Finish(ResultCode::Done, {}, counters, dumpFailed);
    } else {
        lane.SetStatus(Msg(msg::VorodudTexts::WrittenAndDumped, std::to_string(counters.written),
                           std::to_string(counters.dumped)));
        Finish(ResultCode::Done, {}, counters, dumpFailed);
    }
}

ConversionThread::ConversionThread(std::shared_ptr<Job> job) : job_(std::move(job)) {}

ConversionThread::~ConversionThread() {
    Wait();
}

void ConversionThread::Resume() {
    if (!thread_.joinable() && job_) {
        thread_ = std::thread([job = job_] { job->Run(); });
    }
}

void ConversionThread::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ConversionThread::Detach() {
    if (thread_.joinable()) {
        thread_.detach();
    }
}

Vorodud::Vorodud(ImportSettings settings)
    : settings_(std::move(settings)), last_(std::make_shared<RunRecord>()) {}

bool Vorodud::Initialise(int& type) {
    std::lock_guard lock(last_->mutex);
    last_->text.clear();
    last_->message.clear();
    for (int ordinal : kOrdinalsUsed) {
        if (lexmill_ProcByOrdinal(ordinal) == nullptr) {
            last_->code = ResultCode::LibraryDamaged;
            last_->text = LexmillFileName();
            return false;
        }
    }
    if (!TypeUsable(type)) {
        last_->code = ResultCode::ConversionUnavailable;
        return false;
    }
    last_->code = ResultCode::Done;
    return true;
}

ResultCode Vorodud::LastResult(std::string& text) const {
    std::lock_guard lock(last_->mutex);
    text = last_->text;
    return last_->code;
}

Counters Vorodud::LastCounters() const {
    std::lock_guard lock(last_->mutex);
    return last_->counters;
}

bool Vorodud::LastDumpFileFailed() const {
    std::lock_guard lock(last_->mutex);
    return last_->dumpFileFailed;
}

std::string Vorodud::LastMessage() const {
    std::lock_guard lock(last_->mutex);
    return last_->message;
}

std::optional<std::string> Vorodud::LastLegacyEncoding() const {
    std::lock_guard lock(last_->mutex);
    return last_->legacyEncoding;
}

int Vorodud::SupplierCount() const {
    return static_cast<int>(SupplierNames().size());
}

std::string Vorodud::SupplierName(int supplier) const {
    const auto names = SupplierNames();
    return supplier >= 0 && supplier < static_cast<int>(names.size())
               ? names[static_cast<std::size_t>(supplier)]
               : std::string();
}

int Vorodud::DatabaseCount() const {
    return static_cast<int>(DatabaseNames().size());
}

std::string Vorodud::DatabaseName(int database) const {
    const auto names = DatabaseNames();
    return database >= 0 && database < static_cast<int>(names.size())
               ? names[static_cast<std::size_t>(database)]
               : std::string();
}

int Vorodud::SupplierDatabaseIndex(int supplier, int i) const {
    int n = 0;
    for (const SourceType& t : SourceTypes()) {
        if (t.supplier == supplier && n++ == i) {
            return t.database;
        }
    }
    return kEndOfList;
}

std::string Vorodud::SupplierDatabase(int supplier, int i) const {
    return DatabaseName(SupplierDatabaseIndex(supplier, i));
}

int Vorodud::DatabaseSupplierIndex(int database, int i) const {
    int n = 0;
    for (const SourceType& t : SourceTypes()) {
        if (t.database == database && n++ == i) {
            return t.supplier;
        }
    }
    return kEndOfList;
}

int Vorodud::TypeOf(std::string_view supplier, std::string_view database) const {
    for (const SourceType& t : SourceTypes()) {
        if (SupplierName(t.supplier) == supplier && DatabaseName(t.database) == database) {
            return t.number;
        }
    }
    return 0;
}

int Vorodud::DetectType(const std::string& source) const {
    return DetectSourceType(source);
}

bool Vorodud::TypeUsable(int type) const {
    const SourceType* t = FindType(type);
    return t != nullptr && MakeProcedure(t->procedure) != nullptr;
}

std::string Vorodud::TypeName(int type) const {
    const SourceType* t = FindType(type);
    return t == nullptr ? Message(msg::VorodudTexts::UnknownSourceType)
                        : SupplierName(t->supplier) + ": " + DatabaseName(t->database);
}

std::string Vorodud::TypeText(int type, int which) const {
    const SourceType* t = FindType(type);
    if (t == nullptr) {
        return {};
    }
    return which == 1 ? SupplierName(t->supplier) : DatabaseName(t->database);
}

int Vorodud::TypeSupplierDatabaseIndex(int type, int i) const {
    const SourceType* t = FindType(type);
    return t == nullptr ? kEndOfList : SupplierDatabaseIndex(t->supplier, i);
}

std::string Vorodud::TypeSupplierDatabase(int type, int i) const {
    return DatabaseName(TypeSupplierDatabaseIndex(type, i));
}

int Vorodud::TypeDatabaseSupplierIndex(int type, int i) const {
    const SourceType* t = FindType(type);
    return t == nullptr ? kEndOfList : DatabaseSupplierIndex(t->database, i);
}

std::string Vorodud::TypeDatabaseSupplier(int type, int i) const {
    return SupplierName(TypeDatabaseSupplierIndex(type, i));
}

std::unique_ptr<ConversionThread> Vorodud::StartConversion(int type, const std::string& source,
                                                           const std::string& destination,
                                                           DestinationMode mode, Progress& progress,
                                                           std::function<void()> completion) {
    auto job = std::make_shared<ConversionThread::Job>();
    job->type = FindType(type);
    job->source = source;
    job->destination = destination;
    job->mode = mode;
    job->progress = &progress;
    job->completion = std::move(completion);
    job->settings = settings_;
    job->record = last_;
    return std::make_unique<ConversionThread>(std::move(job));
}

std::string Vorodud::MessageText(int index) {
    return Message({MsgList::VorodudTexts, index});
}

std::string Vorodud::TypeKey(int type) const {
    const SourceType* t = FindType(type);
    return t == nullptr ? std::string() : std::string(t->key);
}

int Vorodud::TypeByKey(std::string_view key) const {
    const SourceType* t = FindTypeByKey(key);
    return t == nullptr ? 0 : t->number;
}

} // namespace cvx::vorodud
