// Fuzzes the index reader with arbitrary file heads, taken as whole files and as the head of
// a larger file, and checks what an accepted index promises.

#include "journals/JournalIndex.h"

#include <cstdlib>
#include <string>

namespace {

void Probe(std::string_view head, std::uint64_t fileSize) {
    cvx::JournalIndex index;
    if (index.Read(head, fileSize) != cvx::JournalError::None) {
        return;
    }
    if (index.BlockCount() < 1 || index.BlockCount() > cvx::kJournalMaxBlocks ||
        index.FileSize() != fileSize) {
        std::abort();
    }
    for (int b = 0; b < index.BlockCount(); ++b) {
        if (index.BlockStart(b) > index.BlockEnd(b) || index.BlockEnd(b) > fileSize ||
            index.FirstRecord(b) > index.EndRecord(b)) {
            std::abort();
        }
    }
    for (int r = 0; r < index.RecordCount(); r += 1 + r / 7) {
        const int b = index.BlockOfRecord(r);
        if (b < 0 || b >= index.BlockCount() || r < index.FirstRecord(b) ||
            r >= index.EndRecord(b)) {
            std::abort();
        }
    }
    for (const std::uint16_t s : {0, 1, 20000, 59048}) {
        const int b = index.LastBlockBelow(s);
        if (b < 0 || b >= index.BlockCount()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view head(reinterpret_cast<const char*>(data), size);
    Probe(head, size);
    if (size >= 8) {
        // The terminator's own file size, as if the rest of the file followed.
        const std::uint64_t claimed = data[size - 8] | (data[size - 7] << 8) |
                                      (data[size - 6] << 16) |
                                      (static_cast<std::uint64_t>(data[size - 5]) << 24);
        Probe(head, claimed);
    }
    return 0;
}
