// Decoding of Unicode downloads (whole and in chunks) and the detection of source types.

#include "text/SourceDecoding.h"
#include "vorodud/SourceDetection.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)cvx::DecodeSourceText(bytes);
    for (cvx::SourceEncoding e :
         {cvx::SourceEncoding::Utf8, cvx::SourceEncoding::Utf16LE, cvx::SourceEncoding::Utf16BE}) {
        cvx::SourceDecoder decoder(e);
        const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
        (void)decoder.Decode(bytes.substr(0, cut), false);
        (void)decoder.Decode(bytes.substr(cut), true);
    }
    (void)cvx::vorodud::DetectSourceTypeOfText(bytes);
    return 0;
}
