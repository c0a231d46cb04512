#pragma once
// Tests of eight bytes at once in one 64-bit integer, for the loops that look at every byte of a
// large text (a download being decoded and imported) and find what they look for seldom. Each
// mask has the high bit of every byte that passes the test set and no other bit.

#include <bit>
#include <cstdint>
#include <cstring>

namespace cvx::bytewords {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
inline constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;

// The eight bytes at `bytes`, which need no alignment.
inline std::uint64_t Load(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The bytes above 127.
inline std::uint64_t High(std::uint64_t word) {
    return word & kHighBits;
}

// The zero bytes; exact for every byte, as no carry crosses from one byte to the next.
inline std::uint64_t Zero(std::uint64_t word) {
    return ~(((word & kLowBits) + kLowBits) | word | kLowBits);
}

// The bytes equal to `c`.
inline std::uint64_t Equal(std::uint64_t word, unsigned char c) {
    return Zero(word ^ (kOnes * c));
}

// The bytes below `limit` (at most 128).
inline std::uint64_t Below(std::uint64_t word, unsigned char limit) {
    const std::uint64_t notBelowIfLow = (word & kLowBits) + kOnes * (0x80U - limit);
    return ~(notBelowIfLow | word) & kHighBits;
}

// The index of the first byte (in the text's order) that a mask other than zero marks.
inline int FirstIndex(std::uint64_t mask) {
    static_assert(std::endian::native == std::endian::little);
    return std::countr_zero(mask) / 8;
}

} // namespace cvx::bytewords
