#pragma once
// Today's downloads are UTF-8 (often with a byte-order mark) or UTF-16; the record readers read
// code page 1252. Such a source is read through a decoded copy: in memory when the download is
// of an ordinary size, otherwise an unnamed temporary file that disappears when it is closed.

#include <cstdint>
#include <string>

namespace cvx::lexmill {

// Downloads up to this size are decoded in memory.
constexpr std::int64_t kDecodedInMemoryLimit = std::int64_t{256} << 20;

struct DecodedSource {
    bool decoded = false; // false: the file needs no decoding (it has no byte-order mark, no
                          // UTF-16 and no byte above 127) or the copy cannot be made, in which
                          // case the file is read as it is
    std::string text;     // the decoded text, when it is held in memory
    int descriptor = -1;  // else a descriptor of the decoded copy, positioned anywhere
    // The download was in a legacy double-byte code page (or in one that could not be told) and
    // was read through LegacyTextToAnsi: its code page, empty when it could not be told.
    bool legacy = false;
    std::string legacyEncoding;
};

// A download larger than `inMemoryLimit` bytes is decoded into the temporary file.
DecodedSource DecodeSource(const std::string& path,
                           std::int64_t inMemoryLimit = kDecodedInMemoryLimit);

} // namespace cvx::lexmill
