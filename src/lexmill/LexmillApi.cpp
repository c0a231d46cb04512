// The exported C interface of Lexmill over its process-wide conversion state. Every operation
// catches what the C++ code below may throw, so no exception crosses the interface, and clamps
// the indexes it is given.

#include "journals/JournalLookup.h"
#include "lexmill/ConversionState.h"
#include "lexmill/FieldBuilders.h"
#include "lexmill/FieldReaders.h"
#include "lexmill/Lexmill.h"
#include "lexmill/RecordReaders.h"
#include "lexmill/TextConversions.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <sys/stat.h>

using namespace cvx::lexmill;

namespace {

ConversionState& State() {
    static ConversionState state;
    return state;
}

std::string_view Text(const char* text) {
    return text == nullptr ? std::string_view() : std::string_view(text);
}

size_t CopyOut(std::string_view value, char* text, size_t size) {
    if (text != nullptr && size > 0) {
        const size_t n = std::min(value.size(), size - 1);
        std::memcpy(text, value.data(), n);
        text[n] = '\0';
    }
    return value.size();
}

template <typename R, typename F> R Guarded(R fallback, F&& f) noexcept {
    try {
        return f();
    } catch (...) {
        return fallback;
    }
}

template <typename F> void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

int32_t Clamp32(std::int64_t value) {
    return static_cast<int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

uint8_t Byte(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// The driver's journal-name look-up behind the interface the writer uses.
class CallbackJournals final : public cvx::JournalLookup {
public:
    LexmillJournalLookup function = nullptr;
    void* context = nullptr;

    bool Recognises(std::string_view name) const override {
        return LookUp(name, cvx::JournalForm::FullName).has_value();
    }
    std::optional<cvx::JournalMatch> LookUp(std::string_view name,
                                            cvx::JournalForm form) const override {
        const std::string query(name);
        std::string result(512, '\0');
        size_t needed = 0;
        const bool found = function(context, query.c_str(), static_cast<int32_t>(form),
                                    result.data(), result.size()) != 0;
        if (!found) {
            return std::nullopt;
        }
        needed = std::strlen(result.c_str());
        result.resize(needed);
        return cvx::JournalMatch{result, 0, false};
    }
    std::optional<std::string> SortAbbreviation(std::string_view) const override {
        return std::nullopt;
    }
};

CallbackJournals& Journals() {
    static CallbackJournals journals;
    return journals;
}

} // namespace

extern "C" {

uint8_t lexmill_PrepareReadWrite(const char* source, const char* output, uint8_t append) {
    return Guarded<uint8_t>(2, [&] {
        return static_cast<uint8_t>(State().PrepareReadWrite(
            std::string(Text(source)), std::string(Text(output)), append != 0));
    });
}

void lexmill_CloseFiles(void) {
    Guarded([] { State().CloseFiles(); });
}

void lexmill_CloseErrorFile(void) {
    Guarded([] { State().CloseErrorFile(); });
}

void lexmill_Terminate(const char* message) {
    Guarded([&] { State().Terminate(Text(message)); });
}

void lexmill_FileAppendCRLF(void) {
    Guarded([] { State().FileAppendCRLF(); });
}

int32_t lexmill_GetFileSize(const char* fileName) {
    return Guarded<int32_t>(0, [&] {
        struct stat st {};
        if (fileName == nullptr || ::stat(fileName, &st) != 0 || S_ISDIR(st.st_mode)) {
            return int32_t{0};
        }
        return Clamp32(st.st_size);
    });
}

int32_t lexmill_GetInSize(void) {
    return Clamp32(State().InSize());
}

int32_t lexmill_GetAbsPos(void) {
    return Clamp32(State().AbsPos());
}

size_t lexmill_GetDumpFileName(char* text, size_t size) {
    return CopyOut(State().DumpFileName(), text, size);
}

uint8_t lexmill_GetFilSlut(void) {
    return State().FilSlut() ? 1 : 0;
}

uint8_t lexmill_SetFilSlut(void) {
    return Guarded<uint8_t>(1, [] { return State().SetFilSlut() ? 1 : 0; });
}

uint8_t lexmill_GetInRef(void) {
    return State().InRef() ? 1 : 0;
}

size_t lexmill_GetCurRef(char* text, size_t size) {
    return Guarded<size_t>(0, [&] { return CopyOut(State().CurRefText(), text, size); });
}

void lexmill_SetConvCharSet(uint8_t charSet) {
    State().convCharSet = static_cast<cvx::TextMode>(charSet);
}

uint8_t lexmill_GetConvCharSet(void) {
    return Byte(static_cast<int>(State().convCharSet));
}

void lexmill_SetDoDiac(uint8_t on) {
    State().noDiac = on == 0;
}

void lexmill_SetDiacChar(uint8_t escape) {
    State().diacChar = escape;
}

uint8_t lexmill_GetDiacChar(void) {
    return State().diacChar;
}

void lexmill_SetLanguage(const char* language) {
    Guarded([&] { State().SetLanguage(Text(language)); });
}

void lexmill_SetAddLangToTitle(uint8_t on) {
    State().addLangToTitle = on != 0;
}

void lexmill_SetCommonLabel(const char* label) {
    Guarded([&] { State().SetCommonLabel(Text(label)); });
}

void lexmill_SetErrorFile(const char* fileName) {
    Guarded([&] { State().errorFileName = std::string(Text(fileName)); });
}

void lexmill_SetDefaultErrDirectory(const char*) {}

void lexmill_ChangeBuffertToOem(void) {}

void lexmill_SetSkipThisRef(void) {
    State().ref.skipThisRef = true;
}

void lexmill_SetEtAlAuthors(void) {
    State().ref.etAlAuthors = true;
}

void lexmill_IncNotJournals(void) {
    State().IncNotJournals();
}

void lexmill_ResetCollectData(void) {
    Guarded([] { State().ResetCollectData(); });
}

void lexmill_ReadTheWholeReference(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReference(State(), Text(marker)); });
}

void lexmill_ReadTheWholeReferenceTwoC(const char* marker1, const char* marker2) {
    Guarded(
        [&] { cvx::lexmill::ReadTheWholeReferenceTwoC(State(), Text(marker1), Text(marker2)); });
}

void lexmill_ReadTheWholeCompuServe(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeCompuServe(State(), Text(marker)); });
}

void lexmill_ReadTheWholeReferenceSP(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReferenceSP(State(), Text(marker)); });
}

void lexmill_ReadTheWholeReferenceSPTwoC(const char* marker1, const char* marker2) {
    Guarded(
        [&] { cvx::lexmill::ReadTheWholeReferenceSPTwoC(State(), Text(marker1), Text(marker2)); });
}

void lexmill_ReadTheWholeReferenceBibl(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeReferenceBibl(State()); });
}

void lexmill_ReadBlankLineDelimBlock(void) {
    Guarded([] { cvx::lexmill::ReadBlankLineDelimBlock(State()); });
}

void lexmill_ReadFreeFormatBlock(uint8_t mode, uint8_t charSetMode) {
    Guarded([&] { cvx::lexmill::ReadFreeFormatBlock(State(), mode, charSetMode); });
}

void lexmill_ReadTheWholeReferenceAAEM(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeReferenceAAEM(State()); });
}

void lexmill_MicIndexReadTheWholeReference(void) {
    Guarded([] { cvx::lexmill::MicIndexReadTheWholeReference(State()); });
}

void lexmill_RefUp_ReadTheWholeReference(void) {
    Guarded([] { cvx::lexmill::RefUp_ReadTheWholeReference(State()); });
}

void lexmill_ReadTheWholeRef_Entrez(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeRef_Entrez(State()); });
}

void lexmill_ReadTheWholeRef_NCBIMed(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeRef_NCBIMed(State()); });
}

void lexmill_ReadTheWholeRefDIALOGISI(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeRefDIALOGISI(State(), Text(marker)); });
}

size_t lexmill_ReadProbase(char* header, size_t size, int32_t maximumLength) {
    return Guarded<size_t>(0, [&] {
        return CopyOut(cvx::lexmill::ReadProbase(State(), maximumLength), header, size);
    });
}

void lexmill_ReadTheWholeReferenceJICST(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReferenceJICST(State(), Text(marker)); });
}

void lexmill_ReadTheWholeReferenceRIS(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReferenceRIS(State(), Text(marker)); });
}

void lexmill_ReadTheWholeReferenceIGAKU(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeReferenceIGAKU(State()); });
}

void lexmill_ReadTaggedRecord(const char* startMarker, const char* endMarker,
                              const char* skippedTag) {
    Guarded([&] {
        cvx::lexmill::ReadTaggedRecord(State(), Text(startMarker), Text(endMarker),
                                       Text(skippedTag));
    });
}

int32_t lexmill_GetTagLine(const char* tag) {
    return Guarded<int32_t>(-1, [&] { return cvx::lexmill::GetTagLine(State(), Text(tag)); });
}

size_t lexmill_ReadShortTaggedField(int32_t index, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(cvx::lexmill::ReadShortTaggedField(State(), index), text, size); });
}

size_t lexmill_ReadLongSourceStr(const char* tag, char* text, size_t size) {
    return Guarded<size_t>(0, [&] {
        return CopyOut(cvx::lexmill::ReadLongSourceStr(State(), Text(tag)), text, size);
    });
}

size_t lexmill_GetIdString(const char* tag, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(cvx::lexmill::GetIdString(State(), Text(tag)), text, size); });
}

size_t lexmill_GetLongAutString(const char* tag, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(cvx::lexmill::GetLongAutString(State(), Text(tag)), text, size); });
}

void lexmill_ReadTitle(const char* tag, uint8_t decapitalise) {
    Guarded([&] { cvx::lexmill::ReadTitle(State(), Text(tag), decapitalise != 0); });
}

void lexmill_ReadLabelledInfo(const char* tag, const char* label, uint8_t decapitalise) {
    Guarded([&] {
        cvx::lexmill::ReadLabelledInfo(State(), Text(tag), Text(label), decapitalise != 0);
    });
}

void lexmill_ReadAdress(const char* tag) {
    Guarded([&] { cvx::lexmill::ReadAdress(State(), Text(tag)); });
}

void lexmill_ReadLanguage(const char* tag) {
    Guarded([&] { cvx::lexmill::ReadLanguage(State(), Text(tag)); });
}

void lexmill_ReadAbstract(const char* tag) {
    Guarded([&] { cvx::lexmill::ReadAbstract(State(), Text(tag)); });
}

void lexmill_DumpAnAbstract(int32_t index, uint8_t tagLength, const char* continuationTag) {
    Guarded(
        [&] { cvx::lexmill::DumpAnAbstract(State(), index, tagLength, Text(continuationTag)); });
}

void lexmill_DumpSourceSection(const char* tag) {
    Guarded([&] { cvx::lexmill::DumpSourceSection(State(), Text(tag)); });
}

void lexmill_ReadAbstractCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadAbstractCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void lexmill_DumpSourceSectionCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded(
        [&] { cvx::lexmill::DumpSourceSectionCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void lexmill_GetIdStringCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::GetIdStringCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void lexmill_ReadAdressCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadAdressCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void lexmill_ReadLanguageCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadLanguageCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void lexmill_ReadTitleCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadTitleCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void lexmill_AddToAuthors(const char* text) {
    Guarded([&] { cvx::lexmill::AddToAuthors(State(), Text(text)); });
}

void lexmill_AddToEditors(const char* text) {
    Guarded([&] { cvx::lexmill::AddToEditors(State(), Text(text)); });
}

void lexmill_AddToMajorHeads(const char* text) {
    Guarded([&] { cvx::lexmill::AddToMajorHeads(State(), Text(text)); });
}

void lexmill_DumpAddress(const char* text) {
    Guarded([&] { cvx::lexmill::DumpAddress(State(), Text(text)); });
}

void lexmill_DumpTitle(const char* text) {
    Guarded([&] { cvx::lexmill::DumpTitle(State(), Text(text)); });
}

void lexmill_DumpLongJournalName(const char* text) {
    Guarded([&] { cvx::lexmill::DumpLongJournalName(State(), Text(text)); });
}

void lexmill_DumpToSource(const char* text) {
    Guarded([&] { cvx::lexmill::DumpToSource(State(), Text(text)); });
}

void lexmill_DumpStringToAbstract(const char* text) {
    Guarded([&] { cvx::lexmill::DumpStringToAbstract(State(), Text(text)); });
}

void lexmill_DoExpandPages(void) {
    Guarded([] { cvx::lexmill::DoExpandPages(State()); });
}

size_t lexmill_ChangeCharSet_D(const char* source, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(ChangeCharSetD(Text(source), State().diacChar), text, size); });
}

void lexmill_DecapitalizeTitle(void) {
    Guarded([] { cvx::lexmill::DecapitalizeTitle(State()); });
}

void lexmill_DecapitalizeAbstract(uint8_t first) {
    Guarded([&] { cvx::lexmill::DecapitalizeAbstract(State(), first); });
}

void lexmill_WriteToFile(void) {
    Guarded([] { State().WriteToFile(); });
}

uint8_t lexmill_WriteErrorFileError(void) {
    return State().ErrFileError() ? 1 : 0;
}

uint8_t lexmill_GetRunError(char* text, size_t size) {
    const auto& error = State().RunError();
    CopyOut(error ? *error : std::string_view(), text, size);
    return error ? 1 : 0;
}

int32_t lexmill_GetRefsWritten(void) {
    return State().Counters().refsWritten;
}

int32_t lexmill_GetRefsDumped(void) {
    return State().Counters().refsDumped;
}

int32_t lexmill_GetRefsQuestioned(void) {
    return State().Counters().refsQuestioned;
}

int32_t lexmill_GetRefsEtAl(void) {
    return State().Counters().refsEtAl;
}

int32_t lexmill_GetRefsWrongJournal(void) {
    return State().Counters().refsWrongJournal;
}

int32_t lexmill_GetIncomplete(void) {
    return State().Counters().incomplete;
}

int32_t lexmill_GetRefsMarked(void) {
    return State().Counters().refsMarked;
}

uint8_t lexmill_GetLegacySource(void) {
    return State().LegacyEncoding() ? 1 : 0;
}

size_t lexmill_GetLegacyEncoding(char* text, size_t size) {
    const auto& encoding = State().LegacyEncoding();
    return CopyOut(encoding ? *encoding : std::string_view(), text, size);
}

uint16_t lexmill_GetMLine(void) {
    return static_cast<uint16_t>(State().mLine);
}

size_t lexmill_GetAllLines(int32_t index, char* text, size_t size) {
    return CopyOut(State().Line(index), text, size);
}

void lexmill_SetAllLines(int32_t index, const char* text) {
    Guarded([&] { State().SetLine(index, Text(text)); });
}

void lexmill_SetIdString(const char* text) {
    Guarded([&] { State().ref.idString = CutText(Text(text)); });
}

size_t lexmill_GetIdStrContent(char* text, size_t size) {
    return CopyOut(State().ref.idString, text, size);
}

#define LEXMILL_FIELD_ACCESSORS(Count, Lines, Field)                                               \
    uint8_t lexmill_Get##Count(void) {                                                             \
        return Byte(State().ref.Field.count);                                                      \
    }                                                                                              \
    void lexmill_Set##Count(uint8_t count) {                                                       \
        State().ref.Field.SetCount(count);                                                         \
    }                                                                                              \
    size_t lexmill_Get##Lines(int32_t index, char* text, size_t size) {                            \
        return CopyOut(State().ref.Field.Get(index), text, size);                                  \
    }                                                                                              \
    void lexmill_Set##Lines(int32_t index, const char* text) {                                     \
        Guarded([&] { State().ref.Field.Set(index, Text(text)); });                                \
    }

LEXMILL_FIELD_ACCESSORS(AutLineNumb, AutString, authors)
LEXMILL_FIELD_ACCESSORS(TitleLineNumb, TitleString, title)
LEXMILL_FIELD_ACCESSORS(AbstrLineNumb, AbstrString, abstract)
LEXMILL_FIELD_ACCESSORS(AdrLineNumb, AdrString, address)
LEXMILL_FIELD_ACCESSORS(EditLineNumb, EditString, editors)
LEXMILL_FIELD_ACCESSORS(SourceLine, SourceString, source)
LEXMILL_FIELD_ACCESSORS(MHSLine, MajorHeads, majorHeads)

#undef LEXMILL_FIELD_ACCESSORS

size_t lexmill_GetYearVolPage(char* text, size_t size) {
    return CopyOut(State().ref.yearVolPage, text, size);
}

void lexmill_SetYearVolPage(const char* text) {
    Guarded([&] { State().ref.yearVolPage = CutText(Text(text)); });
}

size_t lexmill_GetPages(char* text, size_t size) {
    return CopyOut(State().ref.pages, text, size);
}

void lexmill_SetPages(const char* text) {
    Guarded([&] { State().ref.pages = std::string(Text(text)); });
}

size_t lexmill_GetPublCity(char* text, size_t size) {
    return CopyOut(State().ref.publCity, text, size);
}

void lexmill_SetPublCity(const char* text) {
    Guarded([&] { State().ref.publCity = CutText(Text(text)); });
}

void lexmill_SetMessageTextSource(LexmillMessageText function, void* context) {
    Guarded([&] {
        ConversionState& s = State();
        if (function == nullptr) {
            s.driverText = ConversionState::CatalogueText;
            return;
        }
        s.driverText = [function, context](DriverText which) {
            std::string text(256, '\0');
            size_t n = function(context, static_cast<uint8_t>(which), text.data(), text.size());
            if (n >= text.size()) {
                text.assign(n + 1, '\0');
                n = function(context, static_cast<uint8_t>(which), text.data(), text.size());
            }
            text.resize(std::min(n, text.size()));
            return text;
        };
    });
}

void lexmill_SetJournalLookup(LexmillJournalLookup function, void* context, int32_t displayForm) {
    CallbackJournals& journals = Journals();
    journals.function = function;
    journals.context = context;
    State().journals = function == nullptr ? nullptr : &journals;
    State().displayForm = static_cast<cvx::JournalForm>(std::clamp(displayForm, 1, 5));
}

namespace {

// The ordinal table: every operation's ordinal and contract name, in ordinal order. The exported
// function of an operation is its contract name with the prefix "lexmill_".
#define LEXMILL_OPERATION(ordinal, name)                                                           \
    { ordinal, #name, reinterpret_cast<LexmillProc>(&::lexmill_##name) }
const LexmillExport kExports[] = {
    LEXMILL_OPERATION(1, ChangeCharSet_D),
    LEXMILL_OPERATION(4, ResetCollectData),
    LEXMILL_OPERATION(12, DecapitalizeAbstract),
    LEXMILL_OPERATION(13, DecapitalizeTitle),
    LEXMILL_OPERATION(17, Terminate),
    LEXMILL_OPERATION(18, PrepareReadWrite),
    LEXMILL_OPERATION(19, CloseErrorFile),
    LEXMILL_OPERATION(20, WriteToFile),
    LEXMILL_OPERATION(21, ReadTheWholeReference),
    LEXMILL_OPERATION(22, ReadTheWholeReferenceTwoC),
    LEXMILL_OPERATION(23, ReadTheWholeCompuServe),
    LEXMILL_OPERATION(24, ReadTheWholeReferenceSP),
    LEXMILL_OPERATION(25, GetAutLineNumb),
    LEXMILL_OPERATION(26, SetAutLineNumb),
    LEXMILL_OPERATION(27, GetAutString),
    LEXMILL_OPERATION(28, SetAutString),
    LEXMILL_OPERATION(29, GetTagLine),
    LEXMILL_OPERATION(30, ReadShortTaggedField),
    LEXMILL_OPERATION(31, ReadLongSourceStr),
    LEXMILL_OPERATION(32, GetIdString),
    LEXMILL_OPERATION(33, GetLongAutString),
    LEXMILL_OPERATION(34, ReadTitle),
    LEXMILL_OPERATION(35, ReadLabelledInfo),
    LEXMILL_OPERATION(36, DumpAddress),
    LEXMILL_OPERATION(37, ReadAdress),
    LEXMILL_OPERATION(38, ReadLanguage),
    LEXMILL_OPERATION(39, DumpLongJournalName),
    LEXMILL_OPERATION(40, DumpAnAbstract),
    LEXMILL_OPERATION(41, ReadAbstract),
    LEXMILL_OPERATION(42, DumpSourceSection),
    LEXMILL_OPERATION(43, GetSourceString),
    LEXMILL_OPERATION(44, SetSourceString),
    LEXMILL_OPERATION(45, SetSkipThisRef),
    LEXMILL_OPERATION(46, SetPages),
    LEXMILL_OPERATION(47, GetPages),
    LEXMILL_OPERATION(48, DoExpandPages),
    LEXMILL_OPERATION(49, GetYearVolPage),
    LEXMILL_OPERATION(50, SetYearVolPage),
    LEXMILL_OPERATION(51, GetAllLines),
    LEXMILL_OPERATION(52, GetMHSLine),
    LEXMILL_OPERATION(53, SetMHSLine),
    LEXMILL_OPERATION(54, SetMajorHeads),
    LEXMILL_OPERATION(55, GetMajorHeads),
    LEXMILL_OPERATION(56, GetMLine),
    LEXMILL_OPERATION(57, SetIdString),
    LEXMILL_OPERATION(58, SetTitleLineNumb),
    LEXMILL_OPERATION(59, GetTitleLineNumb),
    LEXMILL_OPERATION(60, SetTitleString),
    LEXMILL_OPERATION(61, GetTitleString),
    LEXMILL_OPERATION(62, GetFilSlut),
    LEXMILL_OPERATION(63, GetInRef),
    LEXMILL_OPERATION(64, SetAbstrLineNumb),
    LEXMILL_OPERATION(65, GetAbstrLineNumb),
    LEXMILL_OPERATION(66, SetAbstrString),
    LEXMILL_OPERATION(67, GetAbstrString),
    LEXMILL_OPERATION(68, SetAdrLineNumb),
    LEXMILL_OPERATION(69, GetAdrLineNumb),
    LEXMILL_OPERATION(70, SetAdrString),
    LEXMILL_OPERATION(71, GetAdrString),
    LEXMILL_OPERATION(72, SetFilSlut),
    LEXMILL_OPERATION(73, GetInSize),
    LEXMILL_OPERATION(74, GetAbsPos),
    LEXMILL_OPERATION(75, CloseFiles),
    LEXMILL_OPERATION(76, AddToAuthors),
    LEXMILL_OPERATION(77, AddToMajorHeads),
    LEXMILL_OPERATION(78, SetEditLineNumb),
    LEXMILL_OPERATION(79, GetEditLineNumb),
    LEXMILL_OPERATION(80, SetEditString),
    LEXMILL_OPERATION(81, GetEditString),
    LEXMILL_OPERATION(82, GetRefsDumped),
    LEXMILL_OPERATION(83, GetRefsQuestioned),
    LEXMILL_OPERATION(84, GetRefsWritten),
    LEXMILL_OPERATION(85, SetEtAlAuthors),
    LEXMILL_OPERATION(86, GetRefsEtAl),
    LEXMILL_OPERATION(87, GetRefsWrongJournal),
    LEXMILL_OPERATION(88, SetAllLines),
    LEXMILL_OPERATION(89, SetPublCity),
    LEXMILL_OPERATION(90, GetPublCity),
    LEXMILL_OPERATION(91, GetCurRef),
    LEXMILL_OPERATION(92, ReadAbstractCambridge),
    LEXMILL_OPERATION(93, DumpSourceSectionCambridge),
    LEXMILL_OPERATION(94, GetIdStringCambridge),
    LEXMILL_OPERATION(95, ReadAdressCambridge),
    LEXMILL_OPERATION(96, ReadLanguageCambridge),
    LEXMILL_OPERATION(97, ReadTitleCambridge),
    LEXMILL_OPERATION(98, IncNotJournals),
    LEXMILL_OPERATION(99, GetSourceLine),
    LEXMILL_OPERATION(100, SetSourceLine),
    LEXMILL_OPERATION(101, GetIdStrContent),
    LEXMILL_OPERATION(102, MicIndexReadTheWholeReference),
    LEXMILL_OPERATION(105, GetFileSize),
    LEXMILL_OPERATION(106, DumpToSource),
    LEXMILL_OPERATION(107, AddToEditors),
    LEXMILL_OPERATION(108, GetIncomplete),
    LEXMILL_OPERATION(109, DumpStringToAbstract),
    LEXMILL_OPERATION(110, ReadTheWholeReferenceBibl),
    LEXMILL_OPERATION(111, SetDefaultErrDirectory),
    LEXMILL_OPERATION(112, SetCommonLabel),
    LEXMILL_OPERATION(113, ReadTheWholeReferenceAAEM),
    LEXMILL_OPERATION(114, SetDoDiac),
    LEXMILL_OPERATION(115, SetDiacChar),
    LEXMILL_OPERATION(116, GetDiacChar),
    LEXMILL_OPERATION(117, SetLanguage),
    LEXMILL_OPERATION(118, SetAddLangToTitle),
    LEXMILL_OPERATION(119, RefUp_ReadTheWholeReference),
    LEXMILL_OPERATION(120, FileAppendCRLF),
    LEXMILL_OPERATION(121, DumpTitle),
    LEXMILL_OPERATION(122, ReadTheWholeRef_NCBIMed),
    LEXMILL_OPERATION(123, ReadTheWholeRefDIALOGISI),
    LEXMILL_OPERATION(124, SetErrorFile),
    LEXMILL_OPERATION(125, WriteErrorFileError),
    LEXMILL_OPERATION(126, ReadProbase),
    LEXMILL_OPERATION(127, ReadTheWholeRef_Entrez),
    LEXMILL_OPERATION(128, ChangeBuffertToOem),
    LEXMILL_OPERATION(129, ReadTheWholeReferenceJICST),
    LEXMILL_OPERATION(130, ReadTheWholeReferenceRIS),
    LEXMILL_OPERATION(131, SetConvCharSet),
    LEXMILL_OPERATION(132, GetConvCharSet),
    LEXMILL_OPERATION(133, ReadBlankLineDelimBlock),
    LEXMILL_OPERATION(134, ReadFreeFormatBlock),
    LEXMILL_OPERATION(135, ReadTheWholeReferenceIGAKU),
    LEXMILL_OPERATION(136, GetDumpFileName),
    LEXMILL_OPERATION(137, ReadTheWholeReferenceSPTwoC),
    LEXMILL_OPERATION(138, ReadTaggedRecord),
    LEXMILL_OPERATION(139, SetMessageTextSource),
    LEXMILL_OPERATION(140, SetJournalLookup),
    LEXMILL_OPERATION(141, GetRunError),
    LEXMILL_OPERATION(142, GetRefsMarked),
    LEXMILL_OPERATION(143, GetLegacySource),
    LEXMILL_OPERATION(144, GetLegacyEncoding),
};
#undef LEXMILL_OPERATION

} // namespace

const LexmillExport* lexmill_Exports(size_t* count) {
    if (count != nullptr) {
        *count = sizeof kExports / sizeof kExports[0];
    }
    return kExports;
}

LexmillProc lexmill_ProcByOrdinal(int32_t ordinal) {
    for (const LexmillExport& e : kExports) {
        if (e.ordinal == ordinal) {
            return e.proc;
        }
    }
    return nullptr;
}

} // extern "C"
