#pragma once
// A 64-bit hash of a file's bytes, to tell whether a companion file is the very one that was
// recorded for it (not torn by a crash, not exchanged). Not for adversaries: fast and well mixed.

#include <cstdint>
#include <string_view>

namespace cvx {

std::uint64_t ContentHash(std::string_view bytes);

} // namespace cvx
