// The record readers of tagged downloads over arbitrary sources. The first byte picks the reader.

#include "LexmillFuzzRun.h"
#include "lexmill/RecordReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace cvx::lexmill;
    if (size == 0) {
        return 0;
    }
    const int which = data[0] % 13;
    cvx::fuzz::RunReader(data + 1, size - 1, [which](ConversionState& s) {
        switch (which) {
        case 0:
            ReadTheWholeReference(s, "UI  -$AN  -");
            break;
        case 1:
            ReadTheWholeReferenceTwoC(s, "TI- ", "AN ");
            break;
        case 2:
            ReadTheWholeCompuServe(s, "AN ");
            break;
        case 3:
            ReadTheWholeReferenceSP(s, "\f");
            break;
        case 4:
            ReadTheWholeReferenceSP(s, "TI:");
            break;
        case 5:
            ReadTheWholeReferenceSPTwoC(s, "Record", "");
            break;
        case 6:
            ReadTheWholeRefDIALOGISI(s, "DIALOG");
            break;
        case 7:
            ReadTheWholeReferenceJICST(s, "AN ");
            break;
        case 8:
            ReadTheWholeReferenceRIS(s, "TY  -");
            break;
        case 9:
            ReadTheWholeReferenceIGAKU(s);
            break;
        case 10:
            RefUp_ReadTheWholeReference(s);
            break;
        case 11:
            (void)ReadProbase(s, 40);
            break;
        default:
            ReadTaggedRecord(s, "PT ", "ER", "CR ");
            break;
        }
    });
    return 0;
}
