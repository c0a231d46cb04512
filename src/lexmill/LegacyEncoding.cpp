#include "lexmill/LegacyEncoding.h"

#include "text/AnsiWriter.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>
#include <uchardet.h>

namespace cvx::lexmill {

namespace {

constexpr std::string_view kMark = "???";

// The number of places where the bytes break UTF-8's rules.
std::size_t Utf8Faults(std::string_view bytes) {
    std::size_t faults = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80                      ? 1
                             : (lead >= 0xC2 && lead <= 0xDF) ? 2
                             : (lead >= 0xE0 && lead <= 0xEF) ? 3
                             : (lead >= 0xF0 && lead <= 0xF4) ? 4
                                                              : 0;
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k >= bytes.size() ||
                (static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                length = 0;
                break;
            }
        }
        if (length == 0) {
            ++faults;
            ++i;
        } else {
            i += length;
        }
    }
    return faults;
}

// What uchardet takes the bytes to be; empty when it cannot tell.
std::string DetectedCharset(std::string_view bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), &uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
        return {};
    }
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name == nullptr ? std::string() : std::string(name);
}

// The double-byte code pages of East Asia, under the names uchardet gives them.
bool IsDoubleByteCharset(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "GB18030", "GBK",       "GB2312",      "HZ-GB-2312", "BIG5",        "BIG5-HKSCS",
        "EUC-TW",  "SHIFT_JIS", "CP932",       "EUC-JP",     "ISO-2022-JP", "EUC-KR",
        "UHC",     "CP949",     "ISO-2022-KR", "ISO-2022-CN"};
    for (std::string_view n : kNames) {
        if (name == n) {
            return true;
        }
    }
    return false;
}

// Bytes that code page 1252 leaves undefined: text that has them is not code page 1252.
bool HasUndefinedCp1252Bytes(std::string_view bytes) {
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
            return true;
        }
    }
    return false;
}

// Characters that code page 1252 has no letters for (East Asian scripts): their runs become one
// mark each.
bool IsEastAsian(char32_t cp) {
    return (cp >= 0x2E80 && cp <= 0xD7FF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || cp >= 0x20000;
}

// The text converted from `charset` into code page 1252; nothing when iconv cannot read it.
std::optional<std::string> Converted(std::string_view bytes, const std::string& charset) {
    iconv_t cd = iconv_open("UTF-32LE", charset.c_str());
    // iconv_open fails with the address -1.
    if (reinterpret_cast<std::intptr_t>(cd) == -1) {
        return std::nullopt;
    }
    AnsiWriter writer;
    bool inMark = false;
    // iconv's interface takes a non-const input pointer; it does not write through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::array<char, 16384> out{};
    bool failed = false;
    while (inLeft > 0 && !failed) {
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) &&
            errno != E2BIG) {
            failed = true;
        }
        const std::size_t produced = out.size() - outLeft;
        for (std::size_t i = 0; i + 4 <= produced; i += 4) {
            const char32_t cp = static_cast<char32_t>(static_cast<unsigned char>(out[i])) |
                                static_cast<char32_t>(static_cast<unsigned char>(out[i + 1])) << 8 |
                                static_cast<char32_t>(static_cast<unsigned char>(out[i + 2]))
                                    << 16 |
                                static_cast<char32_t>(static_cast<unsigned char>(out[i + 3])) << 24;
            if (IsEastAsian(cp)) {
                if (!inMark) {
                    writer.AppendAscii(kMark);
                }
                inMark = true;
            } else {
                writer.Append(cp);
                inMark = false;
            }
        }
    }
    iconv_close(cd);
    if (failed) {
        return std::nullopt;
    }
    return writer.Take();
}

// The ASCII of text whose encoding is unknown, with a mark for each run of other bytes.
std::string Marked(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    bool inMark = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out.push_back(c);
            inMark = false;
        } else if (!inMark) {
            out += kMark;
            inMark = true;
        }
    }
    return out;
}

} // namespace

std::optional<std::string> LegacyTextToAnsi(std::string_view bytes, std::string* encoding) {
    // A few stray bytes in UTF-8 text are single-byte characters, kept as they are.
    if (Utf8Faults(bytes) < 4) {
        return std::nullopt;
    }
    const std::string charset = DetectedCharset(bytes);
    auto readAs = [&](std::string name) {
        if (encoding != nullptr) {
            *encoding = std::move(name);
        }
    };
    if (IsDoubleByteCharset(charset)) {
        if (std::optional<std::string> text = Converted(bytes, charset)) {
            readAs(charset);
            return text;
        }
        readAs({});
        return Marked(bytes);
    }
    if (charset.empty() && HasUndefinedCp1252Bytes(bytes)) {
        readAs({});
        return Marked(bytes);
    }
    return std::nullopt;
}

} // namespace cvx::lexmill
