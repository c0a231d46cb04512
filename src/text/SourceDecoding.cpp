#include "text/SourceDecoding.h"

#include "text/ByteWords.h"

namespace cvx {

namespace {

// Length of the well-formed UTF-8 sequence at the start of `bytes` with its code point; 0 when
// the bytes do not begin one, -1 when they begin one that the input cuts short.
int Utf8Sequence(std::string_view bytes, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    int length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= bytes.size()) {
            return -1;
        }
        const auto c = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        if ((c & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

DetectedEncoding DetectEncoding(std::string_view head) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    if (head.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        return {SourceEncoding::Utf8, 3};
    }
    if (head.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        return {SourceEncoding::Utf16LE, 2};
    }
    if (head.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
        return {SourceEncoding::Utf16BE, 2};
    }
    // Without a mark, UTF-16 shows itself by the zero halves of its ASCII characters.
    std::size_t evenZeros = 0;
    std::size_t oddZeros = 0;
    const std::size_t n = std::min<std::size_t>(head.size(), 512) & ~std::size_t{1};
    for (std::size_t i = 0; i < n; i += 2) {
        evenZeros += byte(i) == 0;
        oddZeros += byte(i + 1) == 0;
    }
    if (n >= 4 && oddZeros * 4 >= n && evenZeros == 0) {
        return {SourceEncoding::Utf16LE, 0};
    }
    if (n >= 4 && evenZeros * 4 >= n && oddZeros == 0) {
        return {SourceEncoding::Utf16BE, 0};
    }
    return {SourceEncoding::Utf8, 0};
}

void SourceDecoder::DecodeUtf8(std::string_view bytes, bool last) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            // Most of a download is ASCII: its runs go over in one piece, found eight bytes at
            // a time.
            std::size_t end = i + 1;
            while (end + 8 <= bytes.size() &&
                   bytewords::High(bytewords::Load(bytes.data() + end)) == 0) {
                end += 8;
            }
            while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80) {
                ++end;
            }
            writer_.AppendAscii(bytes.substr(i, end - i));
            i = end;
            continue;
        }
        char32_t cp = 0;
        const int length = Utf8Sequence(bytes.substr(i), cp);
        if (length < 0 && !last) {
            carry_.assign(bytes.substr(i));
            return;
        }
        if (length > 0) {
            writer_.Append(cp);
            i += static_cast<std::size_t>(length);
        } else {
            writer_.AppendByte(c);
            ++i;
        }
    }
}

void SourceDecoder::DecodeUtf16(std::string_view bytes, bool last) {
    const bool little = encoding_ == SourceEncoding::Utf16LE;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t unit = little ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (highSurrogate_ != 0) {
                writer_.Append(U'?');
            }
            highSurrogate_ = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            writer_.Append(highSurrogate_ != 0
                               ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00)
                               : U'?');
            highSurrogate_ = 0;
            continue;
        }
        if (highSurrogate_ != 0) {
            writer_.Append(U'?');
            highSurrogate_ = 0;
        }
        writer_.Append(unit);
    }
    if (i < bytes.size()) {
        if (last) {
            writer_.Append(U'?');
        } else {
            carry_.assign(bytes.substr(i));
        }
    }
    if (last && highSurrogate_ != 0) {
        writer_.Append(U'?');
        highSurrogate_ = 0;
    }
}

std::string SourceDecoder::Decode(std::string_view chunk, bool last) {
    std::string bytes;
    bytes.swap(carry_);
    bytes.append(chunk);
    if (encoding_ == SourceEncoding::Utf8) {
        DecodeUtf8(bytes, last);
    } else {
        DecodeUtf16(bytes, last);
    }
    return writer_.Take();
}

std::string DecodeSourceText(std::string_view bytes) {
    const DetectedEncoding detected = DetectEncoding(bytes.substr(0, 512));
    SourceDecoder decoder(detected.encoding);
    return decoder.Decode(bytes.substr(detected.byteOrderMark), true);
}

} // namespace cvx
