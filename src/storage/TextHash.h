#pragma once
// A 64-bit hash of a byte stream given in pieces of any size, to recognise the version of a
// reference text an index was built from, or whether a companion file is the very one recorded for
// it (not torn by a crash, not exchanged). Not for adversaries: fast (four independent lanes over
// 32-byte steps) and well mixed. The same bytes give the same value however they are cut.

#include <cstdint>
#include <string_view>

namespace cvx {

class TextHash {
public:
    void Add(std::string_view bytes);
    std::uint64_t Value() const;
    // The hash of bytes given at once.
    static std::uint64_t Of(std::string_view bytes);

private:
    void Step(const char* block);

    std::uint64_t lanes_[4] = {0x9E3779B97F4A7C15ULL, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL,
                               0x27D4EB2F165667C5ULL};
    char tail_[32] = {};
    std::size_t tailSize_ = 0;
    std::uint64_t length_ = 0;
};

} // namespace cvx
