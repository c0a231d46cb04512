#pragma once
// The byte-oriented LZ compression of the journal database's blocks.
//
// A compressed block is a sequence of tokens. A token byte t below 32 starts a literal run: the
// next t + 1 bytes are copied. A token byte t of 32 or more and the byte d after it copy
// (t >> 3) - 2 bytes (2 to 29) from (((t & 7) << 8) + d) bytes (1 to 2047) back in the output.

#include "journals/JournalFormat.h"

#include <string>
#include <string_view>

namespace cvx {

// Compresses an expanded block. The matches are found through hash chains over two bytes, in a
// window of 2047 bytes; literal runs are at most 32 bytes long.
std::string CompressBlock(std::string_view expanded);

// Expands a compressed block into `out`, which never grows beyond `limit` bytes. Every token
// must be complete and every copy must stay inside what was already produced; otherwise, or
// when the output would exceed the limit, the result is JournalError::Malformed.
JournalError ExpandBlock(std::string_view compressed, std::string& out,
                         std::size_t limit = kJournalMaxExpandedBlock);

} // namespace cvx
