#include "storage/TextHash.h"

#include <algorithm>
#include <cstring>

namespace cvx {

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

constexpr std::uint64_t Rotate(std::uint64_t v, int bits) {
    return (v << bits) | (v >> (64 - bits));
}

std::uint64_t Word(const char* p) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Every input bit reaches every output bit.
constexpr std::uint64_t Avalanche(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 33);
}

} // namespace

void TextHash::Step(const char* block) {
    for (std::size_t i = 0; i < 4; ++i) {
        lanes_[i] = Rotate(lanes_[i] + Word(block + 8 * i) * kPrime2, 31) * kPrime1;
    }
}

void TextHash::Add(std::string_view bytes) {
    length_ += bytes.size();
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    if (tailSize_ > 0) {
        const std::size_t take = std::min(n, sizeof tail_ - tailSize_);
        std::memcpy(tail_ + tailSize_, p, take);
        tailSize_ += take;
        p += take;
        n -= take;
        if (tailSize_ < sizeof tail_) {
            return;
        }
        Step(tail_);
        tailSize_ = 0;
    }
    for (; n >= sizeof tail_; p += sizeof tail_, n -= sizeof tail_) {
        Step(p);
    }
    std::memcpy(tail_, p, n);
    tailSize_ = n;
}

std::uint64_t TextHash::Of(std::string_view bytes) {
    TextHash hash;
    hash.Add(bytes);
    return hash.Value();
}

std::uint64_t TextHash::Value() const {
    std::uint64_t h = Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) +
                      Rotate(lanes_[3], 18) + length_;
    for (std::size_t i = 0; i < tailSize_; ++i) {
        h = Rotate(h ^ (static_cast<unsigned char>(tail_[i]) * kPrime1), 11) * kPrime2;
    }
    return Avalanche(h);
}

} // namespace cvx
