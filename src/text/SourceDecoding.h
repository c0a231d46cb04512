#pragma once
// Reading today's downloads: which Unicode form a file is in, and its conversion to code page
// 1252 text chunk by chunk (AnsiWriter.h says how characters are converted).
//
// UTF-8 is decoded sequence by sequence: a byte that does not begin a well-formed sequence is
// kept as it is, so single-byte files (code page 1252 or the OEM code page) pass unchanged and a
// UTF-8 file with a few stray single-byte characters loses nothing.

#include "text/AnsiWriter.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cvx {

enum class SourceEncoding { Utf8, Utf16LE, Utf16BE };

struct DetectedEncoding {
    SourceEncoding encoding = SourceEncoding::Utf8;
    std::size_t byteOrderMark = 0; // length of the byte-order mark to skip
};

// From the first bytes of a file: a byte-order mark, or UTF-16 without one, recognised by the
// zero bytes of its ASCII characters.
DetectedEncoding DetectEncoding(std::string_view head);

class SourceDecoder {
public:
    explicit SourceDecoder(SourceEncoding encoding) : encoding_(encoding) {}

    // The code page 1252 text of the next chunk. A sequence cut by the chunk's end waits for the
    // next chunk; `last` marks the end of the input.
    std::string Decode(std::string_view chunk, bool last);

private:
    void DecodeUtf8(std::string_view bytes, bool last);
    void DecodeUtf16(std::string_view bytes, bool last);

    SourceEncoding encoding_;
    std::string carry_;
    char32_t highSurrogate_ = 0;
    AnsiWriter writer_;
};

// Converts a whole text held in memory, skipping its byte-order mark.
std::string DecodeSourceText(std::string_view bytes);

} // namespace cvx
