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

uint8_t PrepareReadWrite(const char* source, const char* output, uint8_t append) {
    return Guarded<uint8_t>(2, [&] {
        return static_cast<uint8_t>(State().PrepareReadWrite(
            std::string(Text(source)), std::string(Text(output)), append != 0));
    });
}

void CloseFiles(void) {
    Guarded([] { State().CloseFiles(); });
}

void CloseErrorFile(void) {
    Guarded([] { State().CloseErrorFile(); });
}

void Terminate(const char* message) {
    Guarded([&] { State().Terminate(Text(message)); });
}

void FileAppendCRLF(void) {
    Guarded([] { State().FileAppendCRLF(); });
}

int32_t GetFileSize(const char* fileName) {
    return Guarded<int32_t>(0, [&] {
        struct stat st {};
        if (fileName == nullptr || ::stat(fileName, &st) != 0 || S_ISDIR(st.st_mode)) {
            return int32_t{0};
        }
        return Clamp32(st.st_size);
    });
}

int32_t GetInSize(void) {
    return Clamp32(State().InSize());
}

int32_t GetAbsPos(void) {
    return Clamp32(State().AbsPos());
}

size_t GetDumpFileName(char* text, size_t size) {
    return CopyOut(State().DumpFileName(), text, size);
}

uint8_t GetFilSlut(void) {
    return State().FilSlut() ? 1 : 0;
}

uint8_t SetFilSlut(void) {
    return Guarded<uint8_t>(1, [] { return State().SetFilSlut() ? 1 : 0; });
}

uint8_t GetInRef(void) {
    return State().InRef() ? 1 : 0;
}

size_t GetCurRef(char* text, size_t size) {
    return Guarded<size_t>(0, [&] { return CopyOut(State().CurRefText(), text, size); });
}

void SetConvCharSet(uint8_t charSet) {
    State().convCharSet = charSet;
}

uint8_t GetConvCharSet(void) {
    return Byte(State().convCharSet);
}

void SetDoDiac(uint8_t on) {
    State().noDiac = on == 0;
}

void SetDiacChar(uint8_t escape) {
    State().diacChar = escape;
}

uint8_t GetDiacChar(void) {
    return State().diacChar;
}

void SetLanguage(const char* language) {
    Guarded([&] { State().SetLanguage(Text(language)); });
}

void SetAddLangToTitle(uint8_t on) {
    State().addLangToTitle = on != 0;
}

void SetCommonLabel(const char* label) {
    Guarded([&] { State().SetCommonLabel(Text(label)); });
}

void SetErrorFile(const char* fileName) {
    Guarded([&] { State().errorFileName = std::string(Text(fileName)); });
}

void SetDefaultErrDirectory(const char*) {}

void ChangeBuffertToOem(void) {}

void SetSkipThisRef(void) {
    State().ref.skipThisRef = true;
}

void SetEtAlAuthors(void) {
    State().ref.etAlAuthors = true;
}

void IncNotJournals(void) {
    State().IncNotJournals();
}

void ResetCollectData(void) {
    Guarded([] { State().ResetCollectData(); });
}

void ReadTheWholeReference(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReference(State(), Text(marker)); });
}

void ReadTheWholeReferenceTwoC(const char* marker1, const char* marker2) {
    Guarded(
        [&] { cvx::lexmill::ReadTheWholeReferenceTwoC(State(), Text(marker1), Text(marker2)); });
}

void ReadTheWholeCompuServe(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeCompuServe(State(), Text(marker)); });
}

void ReadTheWholeReferenceSP(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReferenceSP(State(), Text(marker)); });
}

void ReadTheWholeReferenceSPTwoC(const char* marker1, const char* marker2) {
    Guarded(
        [&] { cvx::lexmill::ReadTheWholeReferenceSPTwoC(State(), Text(marker1), Text(marker2)); });
}

void ReadTheWholeReferenceBibl(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeReferenceBibl(State()); });
}

void ReadBlankLineDelimBlock(void) {
    Guarded([] { cvx::lexmill::ReadBlankLineDelimBlock(State()); });
}

void ReadFreeFormatBlock(uint8_t mode, uint8_t charSetMode) {
    Guarded([&] { cvx::lexmill::ReadFreeFormatBlock(State(), mode, charSetMode); });
}

void ReadTheWholeReferenceAAEM(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeReferenceAAEM(State()); });
}

void MicIndexReadTheWholeReference(void) {
    Guarded([] { cvx::lexmill::MicIndexReadTheWholeReference(State()); });
}

void RefUp_ReadTheWholeReference(void) {
    Guarded([] { cvx::lexmill::RefUp_ReadTheWholeReference(State()); });
}

void ReadTheWholeRef_Entrez(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeRef_Entrez(State()); });
}

void ReadTheWholeRef_NCBIMed(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeRef_NCBIMed(State()); });
}

void ReadTheWholeRefDIALOGISI(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeRefDIALOGISI(State(), Text(marker)); });
}

size_t ReadProbase(char* header, size_t size, int32_t maximumLength) {
    return Guarded<size_t>(0, [&] {
        return CopyOut(cvx::lexmill::ReadProbase(State(), maximumLength), header, size);
    });
}

void ReadTheWholeReferenceJICST(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReferenceJICST(State(), Text(marker)); });
}

void ReadTheWholeReferenceRIS(const char* marker) {
    Guarded([&] { cvx::lexmill::ReadTheWholeReferenceRIS(State(), Text(marker)); });
}

void ReadTheWholeReferenceIGAKU(void) {
    Guarded([] { cvx::lexmill::ReadTheWholeReferenceIGAKU(State()); });
}

void ReadTaggedRecord(const char* startMarker, const char* endMarker, const char* skippedTag) {
    Guarded([&] {
        cvx::lexmill::ReadTaggedRecord(State(), Text(startMarker), Text(endMarker),
                                       Text(skippedTag));
    });
}

int32_t GetTagLine(const char* tag) {
    return Guarded<int32_t>(-1, [&] { return cvx::lexmill::GetTagLine(State(), Text(tag)); });
}

size_t ReadShortTaggedField(int32_t index, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(cvx::lexmill::ReadShortTaggedField(State(), index), text, size); });
}

size_t ReadLongSourceStr(const char* tag, char* text, size_t size) {
    return Guarded<size_t>(0, [&] {
        return CopyOut(cvx::lexmill::ReadLongSourceStr(State(), Text(tag)), text, size);
    });
}

size_t GetIdString(const char* tag, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(cvx::lexmill::GetIdString(State(), Text(tag)), text, size); });
}

size_t GetLongAutString(const char* tag, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(cvx::lexmill::GetLongAutString(State(), Text(tag)), text, size); });
}

void ReadTitle(const char* tag, uint8_t decapitalise) {
    Guarded([&] { cvx::lexmill::ReadTitle(State(), Text(tag), decapitalise != 0); });
}

void ReadLabelledInfo(const char* tag, const char* label, uint8_t decapitalise) {
    Guarded([&] {
        cvx::lexmill::ReadLabelledInfo(State(), Text(tag), Text(label), decapitalise != 0);
    });
}

void ReadAdress(const char* tag) {
    Guarded([&] { cvx::lexmill::ReadAdress(State(), Text(tag)); });
}

void ReadLanguage(const char* tag) {
    Guarded([&] { cvx::lexmill::ReadLanguage(State(), Text(tag)); });
}

void ReadAbstract(const char* tag) {
    Guarded([&] { cvx::lexmill::ReadAbstract(State(), Text(tag)); });
}

void DumpAnAbstract(int32_t index, uint8_t tagLength, const char* continuationTag) {
    Guarded(
        [&] { cvx::lexmill::DumpAnAbstract(State(), index, tagLength, Text(continuationTag)); });
}

void DumpSourceSection(const char* tag) {
    Guarded([&] { cvx::lexmill::DumpSourceSection(State(), Text(tag)); });
}

void ReadAbstractCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadAbstractCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void DumpSourceSectionCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded(
        [&] { cvx::lexmill::DumpSourceSectionCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void GetIdStringCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::GetIdStringCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void ReadAdressCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadAdressCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void ReadLanguageCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadLanguageCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void ReadTitleCambridge(const char* tag, uint8_t tagOnSameLine) {
    Guarded([&] { cvx::lexmill::ReadTitleCambridge(State(), Text(tag), tagOnSameLine != 0); });
}

void AddToAuthors(const char* text) {
    Guarded([&] { cvx::lexmill::AddToAuthors(State(), Text(text)); });
}

void AddToEditors(const char* text) {
    Guarded([&] { cvx::lexmill::AddToEditors(State(), Text(text)); });
}

void AddToMajorHeads(const char* text) {
    Guarded([&] { cvx::lexmill::AddToMajorHeads(State(), Text(text)); });
}

void DumpAddress(const char* text) {
    Guarded([&] { cvx::lexmill::DumpAddress(State(), Text(text)); });
}

void DumpTitle(const char* text) {
    Guarded([&] { cvx::lexmill::DumpTitle(State(), Text(text)); });
}

void DumpLongJournalName(const char* text) {
    Guarded([&] { cvx::lexmill::DumpLongJournalName(State(), Text(text)); });
}

void DumpToSource(const char* text) {
    Guarded([&] { cvx::lexmill::DumpToSource(State(), Text(text)); });
}

void DumpStringToAbstract(const char* text) {
    Guarded([&] { cvx::lexmill::DumpStringToAbstract(State(), Text(text)); });
}

void DoExpandPages(void) {
    Guarded([] { cvx::lexmill::DoExpandPages(State()); });
}

size_t ChangeCharSet_D(const char* source, char* text, size_t size) {
    return Guarded<size_t>(
        0, [&] { return CopyOut(ChangeCharSetD(Text(source), State().diacChar), text, size); });
}

void DecapitalizeTitle(void) {
    Guarded([] { cvx::lexmill::DecapitalizeTitle(State()); });
}

void DecapitalizeAbstract(uint8_t first) {
    Guarded([&] { cvx::lexmill::DecapitalizeAbstract(State(), first); });
}

void WriteToFile(void) {
    Guarded([] { State().WriteToFile(); });
}

uint8_t WriteErrorFileError(void) {
    return State().ErrFileError() ? 1 : 0;
}

uint8_t GetRunError(char* text, size_t size) {
    const auto& error = State().RunError();
    CopyOut(error ? *error : std::string_view(), text, size);
    return error ? 1 : 0;
}

int32_t GetRefsWritten(void) {
    return State().Counters().refsWritten;
}

int32_t GetRefsDumped(void) {
    return State().Counters().refsDumped;
}

int32_t GetRefsQuestioned(void) {
    return State().Counters().refsQuestioned;
}

int32_t GetRefsEtAl(void) {
    return State().Counters().refsEtAl;
}

int32_t GetRefsWrongJournal(void) {
    return State().Counters().refsWrongJournal;
}

int32_t GetIncomplete(void) {
    return State().Counters().incomplete;
}

uint16_t GetMLine(void) {
    return static_cast<uint16_t>(State().mLine);
}

size_t GetAllLines(int32_t index, char* text, size_t size) {
    return CopyOut(State().Line(index), text, size);
}

void SetAllLines(int32_t index, const char* text) {
    Guarded([&] { State().SetLine(index, Text(text)); });
}

void SetIdString(const char* text) {
    Guarded([&] { State().ref.idString = CutText(Text(text)); });
}

size_t GetIdStrContent(char* text, size_t size) {
    return CopyOut(State().ref.idString, text, size);
}

#define LEXMILL_FIELD_ACCESSORS(Count, Lines, Field)                                               \
    uint8_t Get##Count(void) {                                                                     \
        return Byte(State().ref.Field.count);                                                      \
    }                                                                                              \
    void Set##Count(uint8_t count) {                                                               \
        State().ref.Field.SetCount(count);                                                         \
    }                                                                                              \
    size_t Get##Lines(int32_t index, char* text, size_t size) {                                    \
        return CopyOut(State().ref.Field.Get(index), text, size);                                  \
    }                                                                                              \
    void Set##Lines(int32_t index, const char* text) {                                             \
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

size_t GetYearVolPage(char* text, size_t size) {
    return CopyOut(State().ref.yearVolPage, text, size);
}

void SetYearVolPage(const char* text) {
    Guarded([&] { State().ref.yearVolPage = CutText(Text(text)); });
}

size_t GetPages(char* text, size_t size) {
    return CopyOut(State().ref.pages, text, size);
}

void SetPages(const char* text) {
    Guarded([&] { State().ref.pages = std::string(Text(text)); });
}

size_t GetPublCity(char* text, size_t size) {
    return CopyOut(State().ref.publCity, text, size);
}

void SetPublCity(const char* text) {
    Guarded([&] { State().ref.publCity = CutText(Text(text)); });
}

void SetMessageTextSource(LexmillMessageText function, void* context) {
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

void SetJournalLookup(LexmillJournalLookup function, void* context, int32_t displayForm) {
    CallbackJournals& journals = Journals();
    journals.function = function;
    journals.context = context;
    State().journals = function == nullptr ? nullptr : &journals;
    State().displayForm = std::clamp(displayForm, 1, 5);
}

namespace {
const LexmillExport kExports[] = {
    {1, "ChangeCharSet_D", reinterpret_cast<LexmillProc>(&::ChangeCharSet_D)},
    {4, "ResetCollectData", reinterpret_cast<LexmillProc>(&::ResetCollectData)},
    {12, "DecapitalizeAbstract", reinterpret_cast<LexmillProc>(&::DecapitalizeAbstract)},
    {13, "DecapitalizeTitle", reinterpret_cast<LexmillProc>(&::DecapitalizeTitle)},
    {17, "Terminate", reinterpret_cast<LexmillProc>(&::Terminate)},
    {18, "PrepareReadWrite", reinterpret_cast<LexmillProc>(&::PrepareReadWrite)},
    {19, "CloseErrorFile", reinterpret_cast<LexmillProc>(&::CloseErrorFile)},
    {20, "WriteToFile", reinterpret_cast<LexmillProc>(&::WriteToFile)},
    {21, "ReadTheWholeReference", reinterpret_cast<LexmillProc>(&::ReadTheWholeReference)},
    {22, "ReadTheWholeReferenceTwoC", reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceTwoC)},
    {23, "ReadTheWholeCompuServe", reinterpret_cast<LexmillProc>(&::ReadTheWholeCompuServe)},
    {24, "ReadTheWholeReferenceSP", reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceSP)},
    {25, "GetAutLineNumb", reinterpret_cast<LexmillProc>(&::GetAutLineNumb)},
    {26, "SetAutLineNumb", reinterpret_cast<LexmillProc>(&::SetAutLineNumb)},
    {27, "GetAutString", reinterpret_cast<LexmillProc>(&::GetAutString)},
    {28, "SetAutString", reinterpret_cast<LexmillProc>(&::SetAutString)},
    {29, "GetTagLine", reinterpret_cast<LexmillProc>(&::GetTagLine)},
    {30, "ReadShortTaggedField", reinterpret_cast<LexmillProc>(&::ReadShortTaggedField)},
    {31, "ReadLongSourceStr", reinterpret_cast<LexmillProc>(&::ReadLongSourceStr)},
    {32, "GetIdString", reinterpret_cast<LexmillProc>(&::GetIdString)},
    {33, "GetLongAutString", reinterpret_cast<LexmillProc>(&::GetLongAutString)},
    {34, "ReadTitle", reinterpret_cast<LexmillProc>(&::ReadTitle)},
    {35, "ReadLabelledInfo", reinterpret_cast<LexmillProc>(&::ReadLabelledInfo)},
    {36, "DumpAddress", reinterpret_cast<LexmillProc>(&::DumpAddress)},
    {37, "ReadAdress", reinterpret_cast<LexmillProc>(&::ReadAdress)},
    {38, "ReadLanguage", reinterpret_cast<LexmillProc>(&::ReadLanguage)},
    {39, "DumpLongJournalName", reinterpret_cast<LexmillProc>(&::DumpLongJournalName)},
    {40, "DumpAnAbstract", reinterpret_cast<LexmillProc>(&::DumpAnAbstract)},
    {41, "ReadAbstract", reinterpret_cast<LexmillProc>(&::ReadAbstract)},
    {42, "DumpSourceSection", reinterpret_cast<LexmillProc>(&::DumpSourceSection)},
    {43, "GetSourceString", reinterpret_cast<LexmillProc>(&::GetSourceString)},
    {44, "SetSourceString", reinterpret_cast<LexmillProc>(&::SetSourceString)},
    {45, "SetSkipThisRef", reinterpret_cast<LexmillProc>(&::SetSkipThisRef)},
    {46, "SetPages", reinterpret_cast<LexmillProc>(&::SetPages)},
    {47, "GetPages", reinterpret_cast<LexmillProc>(&::GetPages)},
    {48, "DoExpandPages", reinterpret_cast<LexmillProc>(&::DoExpandPages)},
    {49, "GetYearVolPage", reinterpret_cast<LexmillProc>(&::GetYearVolPage)},
    {50, "SetYearVolPage", reinterpret_cast<LexmillProc>(&::SetYearVolPage)},
    {51, "GetAllLines", reinterpret_cast<LexmillProc>(&::GetAllLines)},
    {52, "GetMHSLine", reinterpret_cast<LexmillProc>(&::GetMHSLine)},
    {53, "SetMHSLine", reinterpret_cast<LexmillProc>(&::SetMHSLine)},
    {54, "SetMajorHeads", reinterpret_cast<LexmillProc>(&::SetMajorHeads)},
    {55, "GetMajorHeads", reinterpret_cast<LexmillProc>(&::GetMajorHeads)},
    {56, "GetMLine", reinterpret_cast<LexmillProc>(&::GetMLine)},
    {57, "SetIdString", reinterpret_cast<LexmillProc>(&::SetIdString)},
    {58, "SetTitleLineNumb", reinterpret_cast<LexmillProc>(&::SetTitleLineNumb)},
    {59, "GetTitleLineNumb", reinterpret_cast<LexmillProc>(&::GetTitleLineNumb)},
    {60, "SetTitleString", reinterpret_cast<LexmillProc>(&::SetTitleString)},
    {61, "GetTitleString", reinterpret_cast<LexmillProc>(&::GetTitleString)},
    {62, "GetFilSlut", reinterpret_cast<LexmillProc>(&::GetFilSlut)},
    {63, "GetInRef", reinterpret_cast<LexmillProc>(&::GetInRef)},
    {64, "SetAbstrLineNumb", reinterpret_cast<LexmillProc>(&::SetAbstrLineNumb)},
    {65, "GetAbstrLineNumb", reinterpret_cast<LexmillProc>(&::GetAbstrLineNumb)},
    {66, "SetAbstrString", reinterpret_cast<LexmillProc>(&::SetAbstrString)},
    {67, "GetAbstrString", reinterpret_cast<LexmillProc>(&::GetAbstrString)},
    {68, "SetAdrLineNumb", reinterpret_cast<LexmillProc>(&::SetAdrLineNumb)},
    {69, "GetAdrLineNumb", reinterpret_cast<LexmillProc>(&::GetAdrLineNumb)},
    {70, "SetAdrString", reinterpret_cast<LexmillProc>(&::SetAdrString)},
    {71, "GetAdrString", reinterpret_cast<LexmillProc>(&::GetAdrString)},
    {72, "SetFilSlut", reinterpret_cast<LexmillProc>(&::SetFilSlut)},
    {73, "GetInSize", reinterpret_cast<LexmillProc>(&::GetInSize)},
    {74, "GetAbsPos", reinterpret_cast<LexmillProc>(&::GetAbsPos)},
    {75, "CloseFiles", reinterpret_cast<LexmillProc>(&::CloseFiles)},
    {76, "AddToAuthors", reinterpret_cast<LexmillProc>(&::AddToAuthors)},
    {77, "AddToMajorHeads", reinterpret_cast<LexmillProc>(&::AddToMajorHeads)},
    {78, "SetEditLineNumb", reinterpret_cast<LexmillProc>(&::SetEditLineNumb)},
    {79, "GetEditLineNumb", reinterpret_cast<LexmillProc>(&::GetEditLineNumb)},
    {80, "SetEditString", reinterpret_cast<LexmillProc>(&::SetEditString)},
    {81, "GetEditString", reinterpret_cast<LexmillProc>(&::GetEditString)},
    {82, "GetRefsDumped", reinterpret_cast<LexmillProc>(&::GetRefsDumped)},
    {83, "GetRefsQuestioned", reinterpret_cast<LexmillProc>(&::GetRefsQuestioned)},
    {84, "GetRefsWritten", reinterpret_cast<LexmillProc>(&::GetRefsWritten)},
    {85, "SetEtAlAuthors", reinterpret_cast<LexmillProc>(&::SetEtAlAuthors)},
    {86, "GetRefsEtAl", reinterpret_cast<LexmillProc>(&::GetRefsEtAl)},
    {87, "GetRefsWrongJournal", reinterpret_cast<LexmillProc>(&::GetRefsWrongJournal)},
    {88, "SetAllLines", reinterpret_cast<LexmillProc>(&::SetAllLines)},
    {89, "SetPublCity", reinterpret_cast<LexmillProc>(&::SetPublCity)},
    {90, "GetPublCity", reinterpret_cast<LexmillProc>(&::GetPublCity)},
    {91, "GetCurRef", reinterpret_cast<LexmillProc>(&::GetCurRef)},
    {92, "ReadAbstractCambridge", reinterpret_cast<LexmillProc>(&::ReadAbstractCambridge)},
    {93, "DumpSourceSectionCambridge",
     reinterpret_cast<LexmillProc>(&::DumpSourceSectionCambridge)},
    {94, "GetIdStringCambridge", reinterpret_cast<LexmillProc>(&::GetIdStringCambridge)},
    {95, "ReadAdressCambridge", reinterpret_cast<LexmillProc>(&::ReadAdressCambridge)},
    {96, "ReadLanguageCambridge", reinterpret_cast<LexmillProc>(&::ReadLanguageCambridge)},
    {97, "ReadTitleCambridge", reinterpret_cast<LexmillProc>(&::ReadTitleCambridge)},
    {98, "IncNotJournals", reinterpret_cast<LexmillProc>(&::IncNotJournals)},
    {99, "GetSourceLine", reinterpret_cast<LexmillProc>(&::GetSourceLine)},
    {100, "SetSourceLine", reinterpret_cast<LexmillProc>(&::SetSourceLine)},
    {101, "GetIdStrContent", reinterpret_cast<LexmillProc>(&::GetIdStrContent)},
    {102, "MicIndexReadTheWholeReference",
     reinterpret_cast<LexmillProc>(&::MicIndexReadTheWholeReference)},
    {105, "GetFileSize", reinterpret_cast<LexmillProc>(&::GetFileSize)},
    {106, "DumpToSource", reinterpret_cast<LexmillProc>(&::DumpToSource)},
    {107, "AddToEditors", reinterpret_cast<LexmillProc>(&::AddToEditors)},
    {108, "GetIncomplete", reinterpret_cast<LexmillProc>(&::GetIncomplete)},
    {109, "DumpStringToAbstract", reinterpret_cast<LexmillProc>(&::DumpStringToAbstract)},
    {110, "ReadTheWholeReferenceBibl", reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceBibl)},
    {111, "SetDefaultErrDirectory", reinterpret_cast<LexmillProc>(&::SetDefaultErrDirectory)},
    {112, "SetCommonLabel", reinterpret_cast<LexmillProc>(&::SetCommonLabel)},
    {113, "ReadTheWholeReferenceAAEM", reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceAAEM)},
    {114, "SetDoDiac", reinterpret_cast<LexmillProc>(&::SetDoDiac)},
    {115, "SetDiacChar", reinterpret_cast<LexmillProc>(&::SetDiacChar)},
    {116, "GetDiacChar", reinterpret_cast<LexmillProc>(&::GetDiacChar)},
    {117, "SetLanguage", reinterpret_cast<LexmillProc>(&::SetLanguage)},
    {118, "SetAddLangToTitle", reinterpret_cast<LexmillProc>(&::SetAddLangToTitle)},
    {119, "RefUp_ReadTheWholeReference",
     reinterpret_cast<LexmillProc>(&::RefUp_ReadTheWholeReference)},
    {120, "FileAppendCRLF", reinterpret_cast<LexmillProc>(&::FileAppendCRLF)},
    {121, "DumpTitle", reinterpret_cast<LexmillProc>(&::DumpTitle)},
    {122, "ReadTheWholeRef_NCBIMed", reinterpret_cast<LexmillProc>(&::ReadTheWholeRef_NCBIMed)},
    {123, "ReadTheWholeRefDIALOGISI", reinterpret_cast<LexmillProc>(&::ReadTheWholeRefDIALOGISI)},
    {124, "SetErrorFile", reinterpret_cast<LexmillProc>(&::SetErrorFile)},
    {125, "WriteErrorFileError", reinterpret_cast<LexmillProc>(&::WriteErrorFileError)},
    {126, "ReadProbase", reinterpret_cast<LexmillProc>(&::ReadProbase)},
    {127, "ReadTheWholeRef_Entrez", reinterpret_cast<LexmillProc>(&::ReadTheWholeRef_Entrez)},
    {128, "ChangeBuffertToOem", reinterpret_cast<LexmillProc>(&::ChangeBuffertToOem)},
    {129, "ReadTheWholeReferenceJICST",
     reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceJICST)},
    {130, "ReadTheWholeReferenceRIS", reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceRIS)},
    {131, "SetConvCharSet", reinterpret_cast<LexmillProc>(&::SetConvCharSet)},
    {132, "GetConvCharSet", reinterpret_cast<LexmillProc>(&::GetConvCharSet)},
    {133, "ReadBlankLineDelimBlock", reinterpret_cast<LexmillProc>(&::ReadBlankLineDelimBlock)},
    {134, "ReadFreeFormatBlock", reinterpret_cast<LexmillProc>(&::ReadFreeFormatBlock)},
    {135, "ReadTheWholeReferenceIGAKU",
     reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceIGAKU)},
    {136, "GetDumpFileName", reinterpret_cast<LexmillProc>(&::GetDumpFileName)},
    {137, "ReadTheWholeReferenceSPTwoC",
     reinterpret_cast<LexmillProc>(&::ReadTheWholeReferenceSPTwoC)},
    {138, "ReadTaggedRecord", reinterpret_cast<LexmillProc>(&::ReadTaggedRecord)},
    {139, "SetMessageTextSource", reinterpret_cast<LexmillProc>(&::SetMessageTextSource)},
    {140, "SetJournalLookup", reinterpret_cast<LexmillProc>(&::SetJournalLookup)},
    {141, "GetRunError", reinterpret_cast<LexmillProc>(&::GetRunError)},
};
} // namespace

const LexmillExport* LexmillExports(size_t* count) {
    if (count != nullptr) {
        *count = sizeof kExports / sizeof kExports[0];
    }
    return kExports;
}

LexmillProc LexmillProcByOrdinal(int32_t ordinal) {
    for (const LexmillExport& e : kExports) {
        if (e.ordinal == ordinal) {
            return e.proc;
        }
    }
    return nullptr;
}

} // extern "C"
