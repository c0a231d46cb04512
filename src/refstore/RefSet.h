#pragma once
// A set of references of one file: one bit per reference, with its count of set bits, and the
// tag file image it is saved as.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class RefSet {
public:
    RefSet() = default;
    explicit RefSet(int size, bool allSet = false);

    int Size() const { return size_; }
    int Count() const { return count_; }

    // Positions at or beyond the size test false, and changes there are ignored.
    bool Test(int i) const;
    void Set(int i);
    void Clear(int i);
    void Toggle(int i);
    void SetTo(int i, bool on);
    void ClearAll();
    void Complement();

    // Adds the references of a bit image (bit i in byte i / 8 under mask 1 << (i % 8)); bits at
    // or beyond the size are ignored.
    void OrBits(std::string_view bits);

    static RefSet And(const RefSet& a, const RefSet& b);
    static RefSet Or(const RefSet& a, const RefSet& b);
    static RefSet Xor(const RefSet& a, const RefSet& b);

    // The next set bit after `from`, wrapping round; `from` itself when no other bit is set.
    int Next(int from) const;
    // The previous set bit before `from`, wrapping round; `from` itself when no other bit is set.
    int Previous(int from) const;
    // The first set bit, -1 when none.
    int First() const;
    // Every set bit in ascending order.
    std::vector<int> Members() const;
    void Recount();

    bool operator==(const RefSet& other) const = default;

    // The tag file image: magic, size, count and the bits.
    std::string ToTagImage() const;
    // Reads a tag file image for a file of `expectedSize` references; false (and an empty set of
    // that size) when the image is foreign, damaged or made for another number of references.
    bool FromTagImage(std::string_view image, int expectedSize);

private:
    template <typename Op> static RefSet Combine(const RefSet& a, const RefSet& b, Op op);
    void MaskTail();
    int Walk(int from, int direction) const;

    int size_ = 0;
    int count_ = 0;
    std::vector<std::uint8_t> bits_ = std::vector<std::uint8_t>(1, 0);
};

} // namespace cvx
