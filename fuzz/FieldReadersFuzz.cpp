// The field readers, builders and text conversions over an arbitrary line table: the input's
// lines are the record, its first bytes choose the settings.

#include "LexmillFuzzRun.h"
#include "lexmill/TextConversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace cvx::lexmill;
    if (size < 2) {
        return 0;
    }
    ConversionState s;
    s.errorFileName = "/dev/null";
    if (s.PrepareReadWrite("/dev/null", "/dev/null", false) != ConversionState::PrepareResult::Ok) {
        return 0;
    }
    s.convCharSet = (data[0] & 1) != 0 ? cvx::TextMode::ShiftJis : cvx::TextMode::Ansi;
    s.noDiac = (data[0] & 2) == 0;
    s.diacChar = data[1];
    s.addLangToTitle = (data[0] & 4) != 0;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    s.ResetCollectData();
    std::size_t start = 0;
    while (start <= text.size() && s.mLine < kMaxRecordLines) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        s.StoreLine(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
    s.SetLanguage(text.substr(0, 12));
    cvx::fuzz::ReadFields(s);
    // The builders with whole texts, and the conversions.
    s.ResetCollectData();
    AddToAuthors(s, text);
    AddToEditors(s, text);
    AddToMajorHeads(s, text);
    DumpAddress(s, text);
    DumpTitle(s, text);
    DumpToSource(s, text);
    DumpStringToAbstract(s, text);
    s.ref.pages = text;
    DoExpandPages(s);
    DecapitalizeTitle(s);
    DecapitalizeAbstract(s, data[1]);
    (void)ChangeCharSetD(text, data[1]);
    (void)CleanHostText(text);
    (void)ReplaceEntities(RemoveMarkup(text));
    (void)OemToAnsi(text);
    s.WriteToFile();
    s.CloseFiles();
    return 0;
}
