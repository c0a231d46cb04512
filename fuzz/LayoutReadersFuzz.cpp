// The record readers of untagged layouts and HTML pages over arbitrary sources. The first byte
// picks the reader (and the free-format reader's modes).

#include "LexmillFuzzRun.h"
#include "lexmill/RecordReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace cvx::lexmill;
    if (size == 0) {
        return 0;
    }
    const int which = data[0] % 8;
    const int mode = (data[0] / 8) % 5;
    const int charSetMode = (data[0] / 40) % 3;
    cvx::fuzz::RunReader(data + 1, size - 1, [=](ConversionState& s) {
        switch (which) {
        case 0:
            ReadTheWholeReferenceBibl(s);
            break;
        case 1:
            ReadBlankLineDelimBlock(s);
            break;
        case 2:
            ReadFreeFormatBlock(s, mode, charSetMode);
            break;
        case 3:
            ReadTheWholeReferenceAAEM(s);
            break;
        case 4:
            MicIndexReadTheWholeReference(s);
            break;
        case 5:
            ReadTheWholeRef_Entrez(s);
            break;
        case 6:
            ReadTheWholeRef_NCBIMed(s);
            break;
        default:
            ReadTheWholeReference(s, "TI");
            break;
        }
    });
    return 0;
}
