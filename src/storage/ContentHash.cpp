#include "storage/ContentHash.h"

#include <cstring>

namespace cvx {

namespace {

constexpr std::uint64_t kMultiplier1 = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kMultiplier2 = 0xC2B2AE3D27D4EB4FULL;

constexpr std::uint64_t Rotate(std::uint64_t v, int bits) {
    return (v << bits) | (v >> (64 - bits));
}

// The final mix: every input bit reaches every output bit.
constexpr std::uint64_t Avalanche(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 33);
}

} // namespace

std::uint64_t ContentHash(std::string_view bytes) {
    // Four independent lanes over 32-byte steps keep the multiplier units busy.
    std::uint64_t lanes[4] = {kMultiplier1, kMultiplier2, ~kMultiplier1, ~kMultiplier2};
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 32; p += 32, n -= 32) {
        for (std::size_t i = 0; i < 4; ++i) {
            std::uint64_t word = 0;
            std::memcpy(&word, p + 8 * i, 8);
            lanes[i] = Rotate(lanes[i] ^ (word * kMultiplier2), 31) * kMultiplier1;
        }
    }
    std::uint64_t h = Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) +
                      Rotate(lanes[3], 18) + bytes.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        h = Rotate(h ^ (word * kMultiplier2), 27) * kMultiplier1;
    }
    for (; n > 0; ++p, --n) {
        h = Rotate(h ^ (static_cast<unsigned char>(*p) * kMultiplier1), 11) * kMultiplier2;
    }
    return Avalanche(h);
}

} // namespace cvx
