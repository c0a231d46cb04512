// The BibTeX reader and the LaTeX conversion over arbitrary text, cut in two like records.

#include "vorodud/BibtexEntries.h"
#include "vorodud/LatexToAnsi.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    cvx::vorodud::BibtexReader reader;
    reader.SetText(text.substr(0, cut));
    while (const auto entry = reader.Next()) {
        for (const auto& [name, value] : entry->fields) {
            (void)cvx::vorodud::LatexToAnsi(value);
        }
    }
    reader.SetText(reader.Rest() + text.substr(cut));
    while (const auto entry = reader.Next()) {
        (void)cvx::vorodud::LatexToAnsi(entry->Field("author"));
    }
    (void)cvx::vorodud::LatexToAnsi(text);
    return 0;
}
