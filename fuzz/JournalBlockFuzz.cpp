// Fuzzes the block expander with arbitrary compressed bytes, and the compressor with arbitrary
// expanded bytes, whose round trip must give them back.

#include "journals/BlockCodec.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string out;
    if (cvx::ExpandBlock(bytes, out) == cvx::JournalError::None &&
        out.size() > cvx::kJournalMaxExpandedBlock) {
        std::abort();
    }
    const std::string_view expanded = bytes.substr(0, cvx::kJournalMaxExpandedBlock);
    const std::string compressed = cvx::CompressBlock(expanded);
    if (cvx::ExpandBlock(compressed, out) != cvx::JournalError::None || out != expanded) {
        std::abort();
    }
    return 0;
}
