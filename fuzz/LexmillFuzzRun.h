#pragma once
// A conversion run over fuzz input: the bytes become the source file (an in-memory file), the
// output and the dump go to /dev/null, and every record the reader cuts is taken apart with the
// field readers and written.

#include "lexmill/ConversionState.h"
#include "lexmill/FieldBuilders.h"
#include "lexmill/FieldReaders.h"
#include "lexmill/PosixFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace cvx::fuzz {

class SourceFile {
public:
    SourceFile(const std::uint8_t* data, std::size_t size) {
        fd_ = ::memfd_create("lexmill-fuzz", 0);
        if (fd_ >= 0) {
            (void)lexmill::WriteFully(fd_,
                                      std::string_view(reinterpret_cast<const char*>(data), size));
        }
    }
    ~SourceFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_ = -1;
};

// Takes the current record apart the way the driver's procedures do.
inline void ReadFields(lexmill::ConversionState& s) {
    using namespace lexmill;
    static const char* const kTags[] = {
        "TI  - ", "AU  - ", "SO  - ", "AB  - ", "AD  - ", "TI ",  "AU ", "SO ",
        "AB ",    "TI:",    "AU:",    "AD:",    "LA:",    "AN  ", "TI  "};
    for (const char* tag : kTags) {
        const int index = GetTagLine(s, tag);
        (void)ReadShortTaggedField(s, index);
        (void)ReadLongSourceStr(s, tag);
        (void)GetIdString(s, tag);
    }
    AddToAuthors(s, GetLongAutString(s, "AU  - "));
    ReadTitle(s, "TI  - ", true);
    ReadAbstract(s, "AB  - ");
    ReadAdress(s, "AD  - ");
    ReadLanguage(s, "LA ");
    ReadLabelledInfo(s, "DE ", "Keywords", true);
    ReadTitleCambridge(s, "TI:", true);
    ReadAbstractCambridge(s, "AB:", false);
    ReadAdressCambridge(s, "AD:", true);
    DumpLongJournalName(s, ReadLongSourceStr(s, "SO  - "));
    if (s.mLine % 3 == 0) {
        DumpSourceSection(s, "SO ");
    }
    s.WriteToFile();
}

inline void RunReader(const std::uint8_t* data, std::size_t size,
                      const std::function<void(lexmill::ConversionState&)>& read) {
    SourceFile source(data, size);
    lexmill::ConversionState s;
    s.errorFileName = "/dev/null";
    s.noDiac = false;
    s.diacChar = '~';
    s.addLangToTitle = true;
    if (s.PrepareReadWrite(source.Path(), "/dev/null", false) !=
        lexmill::ConversionState::PrepareResult::Ok) {
        return;
    }
    // A reader consumes at least a line per record; a bound keeps a faulty one from spinning.
    for (std::size_t records = 0; !s.FilSlut() && records <= size + 2; ++records) {
        read(s);
        if (s.mLine > 0) {
            ReadFields(s);
        }
    }
    s.CloseFiles();
    s.CloseErrorFile();
}

} // namespace cvx::fuzz
