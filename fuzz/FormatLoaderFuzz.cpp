// Fuzzes the format loader and the renderer: the first 2375 bytes of the input are a format
// file (its magic words forced, so every input reaches the decoder), the rest are the fields of
// a reference, one per line. Whatever the bytes, loading reads as defaults or empty texts,
// rendering stays in bounds, and a decompiled format that compiles decompiles the same again.

#include "formats/FormatDesc.h"
#include "formats/Renderer.h"
#include "formats/StyleText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string bytes = input.substr(0, cvx::kFormatFileSize);
    bytes.resize(cvx::kFormatFileSize, '\0');
    bytes.replace(0, 4, "=0=0");

    cvx::TFormatDesc desc;
    desc.record = cvx::DecodeFormat(bytes);

    cvx::TRefArrData record;
    std::size_t start = std::min(input.size(), cvx::kFormatFileSize);
    for (int field = 0; field < cvx::kFieldCount && start < input.size(); ++field) {
        std::size_t end = input.find('\n', start);
        end = end == std::string::npos ? input.size() : end;
        record.fields[field] = input.substr(start, end - start);
        start = end + 1;
    }
    std::string out;
    for (int source = 0; source < 4; ++source) {
        record.sourceType = static_cast<cvx::SourceType>(source);
        for (const bool longForm : {false, true}) {
            desc.etAlContraction = !longForm;
            const std::size_t authorsEnd =
                cvx::RenderReference(desc, longForm, record, out, {.latex = longForm});
            if (authorsEnd > out.size()) {
                std::abort();
            }
        }
    }
    (void)cvx::AuthorYearLabel(record);
    (void)cvx::NumberLabel(desc, desc.record.numberingStyle, 7);

    const std::string text = cvx::DecompileFormat(desc.record);
    cvx::FormatRecord compiled;
    if (cvx::CompileFormat(text, compiled) && cvx::DecompileFormat(compiled) != text) {
        std::abort();
    }
    return 0;
}
