#include "search/WordIndexFormat.h"

#include "storage/LittleEndian.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::uint32_t kTextTag = 0x31535843; // "CXS1": the header identifies its text
constexpr std::size_t kSectionsAt = 38;
constexpr std::uint32_t kDigitBase = 80;
constexpr std::uint8_t kClosingMark = 80;
constexpr int kExtensionBase = 100; // high bytes from here on carry multiples of 65536

// Which bytes of the list form are differences of one byte: those above the threshold.
std::uint32_t DifferenceThreshold(std::uint32_t count) {
    const std::uint32_t q = count / 256;
    return q <= 100 ? q : 100 + count / 65536;
}

void AppendBase80(std::string& out, std::uint64_t v) {
    do {
        out.push_back(static_cast<char>(v % kDigitBase));
        v /= kDigitBase;
    } while (v > 0);
}

// The list of differences; false when a difference cannot be written in it.
bool EncodeList(const std::vector<std::uint32_t>& numbers, std::uint32_t count, std::string& out) {
    const std::uint32_t t = DifferenceThreshold(count);
    std::int64_t previous = -1;
    for (const std::uint32_t n : numbers) {
        const auto d = static_cast<std::uint64_t>(static_cast<std::int64_t>(n) - previous);
        previous = n;
        if (t < 255 && d <= 255 - t) {
            out.push_back(static_cast<char>(256 - d));
        } else if ((d >> 8) <= std::min<std::uint32_t>(t, kExtensionBase - 1)) {
            out.push_back(static_cast<char>(d >> 8));
            out.push_back(static_cast<char>(d & 0xFF));
        } else if (const std::uint64_t high = kExtensionBase + (d >> 16);
                   high <= std::min(t, 255u)) {
            out.push_back(static_cast<char>(high));
            out.push_back(static_cast<char>((d >> 8) & 0xFF));
            out.push_back(static_cast<char>(d & 0xFF));
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

std::uint32_t StoredFieldMask(std::uint32_t requested) {
    std::uint32_t mask = requested & kIndexableMask;
    if (mask & (1u << kYearLineField)) {
        mask = (mask & ~(1u << kYearLineField)) | kYearPartsMask;
    }
    return mask;
}

std::string IndexHeader::Encode() const {
    std::string out(kIndexMagic);
    PutLe16(out, static_cast<std::uint16_t>(kIndexHeaderSize));
    PutLe32(out, fileSize);
    PutLe32(out, referenceCount);
    PutLe32(out, text.size);
    PutLe32(out, static_cast<std::uint32_t>(text.modifiedNs / 1000000000));
    PutLe32(out, distinctWords);
    PutLe32(out, totalWords);
    const bool yearLine = (fieldMask & kYearPartsMask) == kYearPartsMask;
    PutLe32(out, fieldMask | (1u << kFreeTextField) | (yearLine ? 1u << kYearLineField : 0));
    PutLe32(out, fieldMask);
    std::array<IndexSection, kIndexSectionRecords> records = sections;
    records[0].reserved = static_cast<std::uint32_t>(text.hash);
    records[1].reserved = static_cast<std::uint32_t>(text.hash >> 32);
    records[2].reserved = static_cast<std::uint32_t>(text.modifiedNs % 1000000000);
    records[3].reserved = text.inode;
    records[4].reserved = textKnown ? kTextTag : 0;
    for (const IndexSection& s : records) {
        PutLe32(out, s.wordStart);
        PutLe32(out, s.dataStart);
        PutLe32(out, s.wordCount);
        PutLe32(out, s.reserved);
    }
    return out;
}

bool IndexHeader::Decode(std::string_view bytes, std::uint64_t actualFileSize) {
    *this = IndexHeader();
    if (bytes.size() < kIndexHeaderSize || bytes.substr(0, 4) != kIndexMagic ||
        GetLe16(bytes, 4) != kIndexHeaderSize) {
        return false;
    }
    fileSize = GetLe32(bytes, 6);
    referenceCount = GetLe32(bytes, 10);
    text.size = GetLe32(bytes, 14);
    const std::uint32_t seconds = GetLe32(bytes, 18);
    distinctWords = GetLe32(bytes, 22);
    totalWords = GetLe32(bytes, 26);
    const std::uint32_t shownMask = GetLe32(bytes, 30);
    fieldMask = GetLe32(bytes, 34);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::size_t at = kSectionsAt + 16 * i;
        sections[i] = {GetLe32(bytes, at), GetLe32(bytes, at + 4), GetLe32(bytes, at + 8),
                       GetLe32(bytes, at + 12)};
    }
    text.hash = sections[0].reserved | static_cast<std::uint64_t>(sections[1].reserved) << 32;
    text.modifiedNs =
        static_cast<std::int64_t>(seconds) * 1000000000 + sections[2].reserved % 1000000000;
    text.inode = sections[3].reserved;
    textKnown = sections[4].reserved == kTextTag;

    const bool yearLine = (fieldMask & kYearPartsMask) == kYearPartsMask;
    const std::uint32_t expectedShown =
        fieldMask | (1u << kFreeTextField) | (yearLine ? 1u << kYearLineField : 0);
    if ((fieldMask & ~StoredFieldMask(kIndexableMask)) != 0 || shownMask != expectedShown) {
        return false;
    }
    const IndexSection& first = sections.front();
    const IndexSection& last = sections.back();
    if (first.wordStart != kIndexHeaderSize || first.dataStart != last.wordStart ||
        last.dataStart != fileSize || fileSize != actualFileSize) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < sections.size(); ++i) {
        const IndexSection& s = sections[i];
        const IndexSection& next = sections[i + 1];
        if (next.wordStart < s.wordStart || next.dataStart < s.dataStart) {
            return false;
        }
        // A field that was not indexed has nothing; one that was has its list's leading 0.
        const bool indexed = HasField(static_cast<int>(i) + kFirstIndexField);
        if (indexed ? next.wordStart == s.wordStart
                    : (next.wordStart != s.wordStart || next.dataStart != s.dataStart)) {
            return false;
        }
    }
    return true;
}

void AppendWordEntry(std::string& list, std::string_view word, std::uint32_t start) {
    std::uint64_t v = start;
    for (const char c : word) {
        list.push_back(
            static_cast<char>(std::uint64_t{4} * (static_cast<unsigned char>(c) - 27u) + v % 4));
        v /= 4;
    }
    AppendBase80(list, v);
}

void AppendClosingEntry(std::string& list, std::uint32_t end) {
    list.push_back(static_cast<char>(kClosingMark + end % 4));
    AppendBase80(list, end / 4);
    list.push_back(static_cast<char>(kClosingMark));
}

std::string EncodeReferenceData(const std::vector<std::uint32_t>& numbers, std::uint32_t count) {
    std::string list;
    const std::size_t bitSetSize = BitSetSize(count);
    if (EncodeList(numbers, count, list) && list.size() < bitSetSize) {
        return list;
    }
    std::string bits(bitSetSize, '\0');
    for (const std::uint32_t n : numbers) {
        bits[n / 8] = static_cast<char>(static_cast<unsigned char>(bits[n / 8]) | 1u << (n % 8));
    }
    return bits;
}

bool DecodeReferenceData(std::string_view data, std::uint32_t count,
                         std::vector<std::uint32_t>& numbers) {
    numbers.clear();
    if (data.size() == BitSetSize(count)) {
        for (std::uint32_t n = 0; n < count; ++n) {
            if (static_cast<unsigned char>(data[n / 8]) & (1u << (n % 8))) {
                numbers.push_back(n);
            }
        }
        return true;
    }
    const std::uint32_t t = DifferenceThreshold(count);
    std::int64_t running = -1;
    for (std::size_t i = 0; i < data.size();) {
        const auto b = static_cast<unsigned char>(data[i++]);
        std::int64_t d = 0;
        if (b > t) {
            d = 256 - b;
        } else {
            const std::size_t extra = b >= kExtensionBase ? 2 : 1;
            if (data.size() - i < extra) {
                return false;
            }
            const auto hi = static_cast<unsigned char>(data[i]);
            const auto lo = static_cast<unsigned char>(data[i + extra - 1]);
            d = b >= kExtensionBase ? static_cast<std::int64_t>(b - kExtensionBase) * 65536 +
                                          std::int64_t{hi} * 256 + lo
                                    : static_cast<std::int64_t>(b) * 256 + lo;
            i += extra;
        }
        running += d;
        if (d <= 0 || running >= count) {
            return false;
        }
        numbers.push_back(static_cast<std::uint32_t>(running));
    }
    return true;
}

} // namespace cvx
