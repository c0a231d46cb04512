#include "search/WordIndex.h"

#include "refstore/RefSet.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::uint8_t kWordByte = 84;    // bytes from here on carry a character
constexpr std::uint8_t kClosingMark = 80; // bytes below are digits of a number
constexpr std::size_t kWindow = 4096;
constexpr std::size_t kMaxWordBytes = 4096; // longer runs are taken as damage
constexpr std::uint64_t kMaxNumber = 0xFFFFFFFFu;

bool IsWordByte(char c) {
    return static_cast<unsigned char>(c) >= kWordByte;
}

bool StartsWord(std::string_view bytes) {
    return !bytes.empty() && IsWordByte(bytes.front());
}

bool IsDigitByte(char c) {
    return static_cast<unsigned char>(c) < kClosingMark;
}

// v * 80 + digit for each digit from the last to the first; false past 32 bits.
bool Base80(std::string_view digits, std::uint64_t& v) {
    v = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        v = v * 80 + static_cast<unsigned char>(*it);
        if (v > kMaxNumber) {
            return false;
        }
    }
    return true;
}

} // namespace

IndexOpening WordIndex::Open(FileSystem& fs, const std::string& indexPath) {
    memory_.clear();
    window_.clear();
    const FileInfo info = fs.Stat(indexPath);
    if (!info.exists || info.isDirectory) {
        return IndexOpening::Missing;
    }
    Outcome r;
    file_ = fs.OpenForRead(indexPath, r);
    if (!file_) {
        return IndexOpening::Damaged;
    }
    return CheckHeader(file_->Info().size);
}

IndexOpening WordIndex::OpenBytes(std::string bytes) {
    file_.reset();
    window_.clear();
    memory_ = std::move(bytes);
    return CheckHeader(memory_.size());
}

IndexOpening WordIndex::CheckHeader(std::uint64_t size) {
    const std::string head(Read(0, kIndexHeaderSize));
    return header_.Decode(head, size) ? IndexOpening::Opened : IndexOpening::Damaged;
}

std::string_view WordIndex::Read(std::uint64_t offset, std::size_t length) {
    if (!file_) {
        if (offset >= memory_.size()) {
            return {};
        }
        return std::string_view(memory_).substr(static_cast<std::size_t>(offset), length);
    }
    if (offset < windowStart_ || offset + length > windowStart_ + window_.size()) {
        window_.resize(std::max(length, kWindow));
        std::size_t got = 0;
        if (!file_->ReadAt(offset, window_.data(), window_.size(), got)) {
            got = 0;
        }
        window_.resize(got);
        windowStart_ = offset;
        if (offset + length > windowStart_ + window_.size()) {
            return std::string_view(window_);
        }
    }
    return std::string_view(window_).substr(static_cast<std::size_t>(offset - windowStart_),
                                            length);
}

std::uint64_t WordIndex::NextWordStart(std::uint64_t from, std::uint64_t end) {
    // `from` is past the list's leading 0, so the byte before it exists.
    for (std::uint64_t at = from; at < end;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(end - at, kWindow));
        const std::string_view bytes = Read(at - 1, want + 1);
        if (bytes.size() < want + 1) {
            return end;
        }
        for (std::size_t i = 1; i <= want; ++i) {
            if (IsWordByte(bytes[i]) && !IsWordByte(bytes[i - 1])) {
                return at + i - 1;
            }
        }
        at += want;
    }
    return end;
}

bool WordIndex::ReadEntry(std::uint64_t at, std::uint64_t end, Entry& entry) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(end - at, kMaxWordBytes + 16));
    const std::string_view bytes = Read(at, want);
    std::size_t w = 0;
    while (w < bytes.size() && IsWordByte(bytes[w])) {
        ++w;
    }
    std::size_t d = w;
    while (d < bytes.size() && IsDigitByte(bytes[d])) {
        ++d;
    }
    if (w == 0 || d == w || d == bytes.size()) {
        return false; // no word, no number, or nothing after it (a list ends with its closing)
    }
    std::uint64_t v = 0;
    if (!Base80(bytes.substr(w, d - w), v)) {
        return false;
    }
    entry.word.resize(w);
    for (std::size_t i = w; i-- > 0;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        v = v * 4 + b % 4;
        if (v > kMaxNumber) {
            return false;
        }
        entry.word[i] = static_cast<char>(b / 4 + 27);
    }
    entry.start = v;
    entry.next = at + d;
    return true;
}

bool WordIndex::NumberAt(std::uint64_t at, std::uint64_t end, std::uint64_t& number) {
    const std::string_view head = Read(at, 1);
    if (head.empty()) {
        return false;
    }
    const auto b = static_cast<unsigned char>(head[0]);
    if (b >= kWordByte) {
        Entry next;
        if (!ReadEntry(at, end, next)) {
            return false;
        }
        number = next.start;
        return true;
    }
    if (b < kClosingMark) {
        return false;
    }
    const std::string_view bytes =
        Read(at, static_cast<std::size_t>(std::min<std::uint64_t>(end - at, 16)));
    std::size_t d = 1;
    while (d < bytes.size() && IsDigitByte(bytes[d])) {
        ++d;
    }
    if (d == 1 || d >= bytes.size() || static_cast<unsigned char>(bytes[d]) != kClosingMark) {
        return false;
    }
    std::uint64_t v = 0;
    if (!Base80(bytes.substr(1, d - 1), v)) {
        return false;
    }
    number = v * 4 + (b - kClosingMark);
    return number <= kMaxNumber;
}

bool WordIndex::DataOf(int field, std::uint64_t start, std::uint64_t stop, std::string& data) {
    const std::uint64_t base = header_.Section(field).dataStart;
    const std::uint64_t limit = header_.Section(field + 1).dataStart;
    if (start > stop || base + stop > limit) {
        return false;
    }
    const auto length = static_cast<std::size_t>(stop - start);
    data.resize(length);
    if (file_) {
        std::size_t got = 0;
        return file_->ReadAt(base + start, data.data(), length, got).ok() && got == length;
    }
    data.assign(Read(base + start, length));
    return data.size() == length;
}

bool WordIndex::AddData(int field, std::uint64_t start, std::uint64_t stop, RefSet& set) {
    std::string data;
    if (!DataOf(field, start, stop, data)) {
        return false;
    }
    const std::uint32_t count = header_.referenceCount;
    if (data.size() == BitSetSize(count)) {
        if (count % 8 != 0) { // nothing beyond the references the index covers
            data.back() = static_cast<char>(static_cast<unsigned char>(data.back()) &
                                            ((1u << (count % 8)) - 1));
        }
        set.OrBits(data);
        return true;
    }
    std::vector<std::uint32_t> numbers;
    if (!DecodeReferenceData(data, count, numbers)) {
        return false;
    }
    for (const std::uint32_t n : numbers) {
        set.Set(static_cast<int>(n));
    }
    return true;
}

bool WordIndex::Lookup(int field, std::string_view word, bool wholeWord, RefSet& set) {
    if (!header_.HasField(field) || field < kFirstIndexField || field > kLastIndexField) {
        return false;
    }
    const std::uint64_t listStart = header_.Section(field).wordStart;
    const std::uint64_t listEnd = header_.Section(field + 1).wordStart;
    const std::string_view lead = Read(listStart, 1);
    if (lead.empty() || lead[0] != '\0') {
        return false;
    }
    std::uint64_t lo = listStart + 1;
    std::uint64_t hi = listEnd;
    Entry entry;
    while (lo < hi) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        const std::uint64_t w = NextWordStart(mid, listEnd);
        if (w != listEnd && !ReadEntry(w, listEnd, entry)) {
            return false;
        }
        if (w != listEnd && entry.word < word) {
            lo = w + 1;
        } else {
            hi = mid; // no word after mid, or one not below the query
        }
    }
    for (std::uint64_t at = NextWordStart(lo, listEnd); at < listEnd;) {
        if (!ReadEntry(at, listEnd, entry)) {
            return false;
        }
        if (entry.word.compare(0, word.size(), word) != 0) {
            break;
        }
        if (!wholeWord || entry.word.size() == word.size()) {
            std::uint64_t stop = 0;
            if (!NumberAt(entry.next, listEnd, stop) || !AddData(field, entry.start, stop, set)) {
                return false;
            }
        }
        at = entry.next;
        if (at < listEnd && !StartsWord(Read(at, 1))) {
            break; // the closing entry
        }
    }
    return true;
}

bool WordIndex::ForEachWord(
    int field,
    const std::function<void(std::string_view, const std::vector<std::uint32_t>&)>& visit) {
    if (!header_.HasField(field) || field < kFirstIndexField || field > kLastIndexField) {
        return false;
    }
    const std::uint64_t listStart = header_.Section(field).wordStart;
    const std::uint64_t listEnd = header_.Section(field + 1).wordStart;
    const std::string_view lead = Read(listStart, 2);
    if (lead.size() < 2 || lead[0] != '\0') {
        return false;
    }
    std::string previous;
    Entry entry;
    std::string data;
    std::vector<std::uint32_t> numbers;
    std::uint64_t at = listStart + 1;
    while (at < listEnd && StartsWord(Read(at, 1))) {
        std::uint64_t stop = 0;
        if (!ReadEntry(at, listEnd, entry) || entry.word <= previous ||
            !NumberAt(entry.next, listEnd, stop) || !DataOf(field, entry.start, stop, data) ||
            !DecodeReferenceData(data, header_.referenceCount, numbers)) {
            return false;
        }
        visit(entry.word, numbers);
        previous = entry.word;
        at = entry.next;
    }
    std::uint64_t end = 0;
    return at < listEnd && NumberAt(at, listEnd, end);
}

} // namespace cvx
