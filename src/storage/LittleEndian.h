#pragma once
// Little-endian integers in byte strings, as every binary companion file stores them.

#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

inline void PutLe32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

inline void PutLe64(std::string& out, std::uint64_t v) {
    PutLe32(out, static_cast<std::uint32_t>(v & 0xFFFFFFFF));
    PutLe32(out, static_cast<std::uint32_t>(v >> 32));
}

inline void PutLe16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// Stores into bytes that exist already: for images whose size is known before they are filled.
inline void StoreLe32(char* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

inline void StoreLe16(char* out, std::uint16_t v) {
    out[0] = static_cast<char>(v & 0xFF);
    out[1] = static_cast<char>((v >> 8) & 0xFF);
}

// The caller guarantees that the bytes exist.
inline std::uint32_t GetLe32(std::string_view in, std::size_t at) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) {
        u |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    }
    return u;
}

inline std::uint64_t GetLe64(std::string_view in, std::size_t at) {
    return GetLe32(in, at) | (std::uint64_t{GetLe32(in, at + 4)} << 32);
}

inline std::uint16_t GetLe16(std::string_view in, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(in[at]) |
                                      (static_cast<unsigned char>(in[at + 1]) << 8));
}

} // namespace cvx
