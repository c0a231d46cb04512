#include "refstore/RefSet.h"

#include "storage/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace cvx {

namespace {

constexpr std::uint8_t kTagMagic[4] = {0x71, 0xC3, 0x5B, 0x07};
constexpr std::size_t kTagHeader = 12;

std::size_t ByteCount(int size) {
    return static_cast<std::size_t>(size) / 8 + 1;
}

} // namespace

RefSet::RefSet(int size, bool allSet)
    : size_(size < 0 ? 0 : size), bits_(ByteCount(size_), allSet ? 0xFF : 0) {
    MaskTail();
    Recount();
}

bool RefSet::Test(int i) const {
    return i >= 0 && i < size_ && (bits_[i / 8] & (1u << (i % 8))) != 0;
}

void RefSet::Set(int i) {
    if (i >= 0 && i < size_ && !Test(i)) {
        bits_[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        ++count_;
    }
}

void RefSet::Clear(int i) {
    if (Test(i)) {
        bits_[i / 8] &= static_cast<std::uint8_t>(~(1u << (i % 8)));
        --count_;
    }
}

void RefSet::Toggle(int i) {
    Test(i) ? Clear(i) : Set(i);
}

void RefSet::SetTo(int i, bool on) {
    on ? Set(i) : Clear(i);
}

void RefSet::ClearAll() {
    std::fill(bits_.begin(), bits_.end(), 0);
    count_ = 0;
}

void RefSet::Complement() {
    for (auto& b : bits_) {
        b = static_cast<std::uint8_t>(~b);
    }
    MaskTail();
    count_ = size_ - count_;
}

void RefSet::OrBits(std::string_view bits) {
    const std::size_t n = std::min(bits.size(), bits_.size());
    for (std::size_t i = 0; i < n; ++i) {
        bits_[i] |= static_cast<std::uint8_t>(bits[i]);
    }
    MaskTail();
    Recount();
}

template <typename Op> RefSet RefSet::Combine(const RefSet& a, const RefSet& b, Op op) {
    RefSet result(std::max(a.size_, b.size_));
    for (std::size_t i = 0; i < result.bits_.size(); ++i) {
        const std::uint8_t x = i < a.bits_.size() ? a.bits_[i] : 0;
        const std::uint8_t y = i < b.bits_.size() ? b.bits_[i] : 0;
        result.bits_[i] = static_cast<std::uint8_t>(op(x, y));
    }
    result.MaskTail();
    result.Recount();
    return result;
}

RefSet RefSet::And(const RefSet& a, const RefSet& b) {
    return Combine(a, b, [](std::uint8_t x, std::uint8_t y) { return x & y; });
}
RefSet RefSet::Or(const RefSet& a, const RefSet& b) {
    return Combine(a, b, [](std::uint8_t x, std::uint8_t y) { return x | y; });
}
RefSet RefSet::Xor(const RefSet& a, const RefSet& b) {
    return Combine(a, b, [](std::uint8_t x, std::uint8_t y) { return x ^ y; });
}

int RefSet::Next(int from) const {
    return Walk(from, 1);
}

int RefSet::Previous(int from) const {
    return Walk(from, -1);
}

int RefSet::Walk(int from, int direction) const {
    for (int step = 1; step < size_; ++step) {
        const int i = ((from + direction * step) % size_ + size_) % size_;
        if (Test(i)) {
            return i;
        }
    }
    return from;
}

int RefSet::First() const {
    for (std::size_t byte = 0; byte < bits_.size(); ++byte) {
        if (bits_[byte] != 0) {
            return static_cast<int>(byte * 8 + std::countr_zero(bits_[byte]));
        }
    }
    return -1;
}

std::vector<int> RefSet::Members() const {
    std::vector<int> members;
    members.reserve(static_cast<std::size_t>(count_));
    for (std::size_t byte = 0; byte < bits_.size(); ++byte) {
        if (bits_[byte] == 0 && byte % 8 == 0 && byte + 8 <= bits_.size()) {
            std::uint64_t word = 0; // skip empty stretches eight bytes at a time
            std::memcpy(&word, bits_.data() + byte, 8);
            if (word == 0) {
                byte += 7;
                continue;
            }
        }
        for (unsigned b = bits_[byte]; b != 0; b &= b - 1) {
            members.push_back(static_cast<int>(byte * 8) + std::countr_zero(b));
        }
    }
    return members;
}

void RefSet::Recount() {
    // Eight bytes at a time: sets of a million references are counted after every operation.
    count_ = 0;
    std::size_t i = 0;
    for (; i + 8 <= bits_.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bits_.data() + i, 8);
        count_ += std::popcount(word);
    }
    for (; i < bits_.size(); ++i) {
        count_ += std::popcount(bits_[i]);
    }
}

void RefSet::MaskTail() {
    // Bits at and beyond the size are kept clear so that counts and images stay exact.
    const int used = size_ % 8;
    bits_.back() &= static_cast<std::uint8_t>((1u << used) - 1);
}

std::string RefSet::ToTagImage() const {
    std::string image(reinterpret_cast<const char*>(kTagMagic), sizeof kTagMagic);
    PutLe32(image, static_cast<std::uint32_t>(size_));
    PutLe32(image, static_cast<std::uint32_t>(count_));
    image.append(reinterpret_cast<const char*>(bits_.data()), bits_.size());
    return image;
}

bool RefSet::FromTagImage(std::string_view image, int expectedSize) {
    *this = RefSet(expectedSize);
    if (image.size() != ByteCount(size_) + kTagHeader ||
        std::memcmp(image.data(), kTagMagic, sizeof kTagMagic) != 0 ||
        static_cast<std::int32_t>(GetLe32(image, 4)) != expectedSize) {
        return false;
    }
    std::memcpy(bits_.data(), image.data() + kTagHeader, bits_.size());
    MaskTail();
    Recount(); // the stored count is not trusted
    return true;
}

} // namespace cvx
