#include "refstore/ReferenceMap.h"

#include "storage/FileSystem.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <cstring>
#include <limits>

namespace cvx {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kLookahead = 2; // a pattern is three bytes long
constexpr std::uint32_t kMaxLength = std::numeric_limits<std::uint16_t>::max();

enum class Seek { FirstStart, End, NextStart };

} // namespace

Outcome BuildMap(ReadableFile& text, std::uint64_t size, Progress* progress,
                 MapBuildResult& result) {
    result = MapBuildResult();
    if (size <= 2) {
        return Outcome::Ok();
    }
    std::vector<char> buffer(kChunk + kLookahead);
    Seek seek = Seek::FirstStart;
    std::uint64_t entryOffset = 0;
    std::uint64_t crlf = 0;
    std::uint64_t bareLf = 0;
    bool anyCr = false;
    unsigned char previous = 0; // the byte before the current chunk

    auto addEntry = [&](std::uint64_t length) {
        if (length > kMaxLength) {
            result.tooLarge = true;
            result.tooLargeIndex = result.entries.size();
            result.tooLargeLength = length;
            return false;
        }
        result.entries.push_back(
            {static_cast<std::uint32_t>(entryOffset), static_cast<std::uint16_t>(length)});
        if (progress && result.entries.size() % 36 == 0) {
            progress->SetProgress(Permille(entryOffset, size));
        }
        return true;
    };

    for (std::uint64_t base = 0; base < size; base += kChunk) {
        if (progress && progress->AbortRequested()) {
            return Outcome::Aborted();
        }
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunk + kLookahead, size - base));
        std::size_t got = 0;
        if (Outcome r = text.ReadAt(base, buffer.data(), want, got); !r) {
            return r;
        }
        if (got < want) {
            return Outcome::Error(Message(msg::Citavox::FileShrank));
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        const std::size_t limit = std::min<std::size_t>(kChunk, got); // patterns start before it
        auto at = [&](std::size_t i) -> int { return i < got ? bytes[i] : -1; };
        if (!anyCr && std::memchr(bytes, '\r', limit) != nullptr) {
            anyCr = true;
        }
        if (std::memchr(bytes, '\0', limit) != nullptr) {
            result.binary = true; // no reference text holds a NUL byte: stop at once
            return Outcome::Ok();
        }

        std::size_t cursor = 0;
        if (seek == Seek::FirstStart) {
            for (; cursor < limit; ++cursor) {
                const int next = at(cursor + 1);
                if (IsBlankByte(bytes[cursor]) && next >= 0 &&
                    IsPrintableByte(static_cast<unsigned char>(next))) {
                    entryOffset = base + cursor;
                    seek = Seek::End;
                    break;
                }
            }
        }
        while (cursor < limit) {
            const void* hit = std::memchr(bytes + cursor, '\n', limit - cursor);
            if (hit == nullptr) {
                break;
            }
            const std::size_t p = static_cast<const unsigned char*>(hit) - bytes;
            const unsigned char before = p > 0 ? bytes[p - 1] : previous;
            (base + p > 0 && before == '\r') ? ++crlf : ++bareLf;
            const int b1 = at(p + 1);
            const int b2 = at(p + 2);
            const bool blankFollows = b1 >= 0 && IsBlankByte(static_cast<unsigned char>(b1));
            if (seek == Seek::End && b1 == '\n') {
                // An empty line of a bare line feed ends a block as well as one of CR LF.
                if (!addEntry(base + p + 2 - entryOffset)) {
                    return Outcome::Ok();
                }
                seek = Seek::NextStart;
                cursor = p + 1;
            } else if (seek == Seek::End && blankFollows && b2 == '\n') {
                if (!addEntry(base + p + 3 - entryOffset)) {
                    return Outcome::Ok();
                }
                seek = Seek::NextStart;
                cursor = p + 2;
            } else if (seek == Seek::NextStart && blankFollows && b2 >= 0 &&
                       IsPrintableByte(static_cast<unsigned char>(b2))) {
                entryOffset = base + p + 1;
                seek = Seek::End;
                cursor = p + 1;
            } else {
                cursor = p + 1;
            }
        }
        previous = bytes[limit - 1];
    }
    if (bareLf > crlf) {
        result.lineEnds = crlf == 0 ? LineEnds::LfOnly : LineEnds::Mixed;
    } else if (crlf == 0 && anyCr) {
        result.lineEnds = LineEnds::CrOnly;
    }
    if (seek == Seek::End && !addEntry(size - entryOffset)) {
        return Outcome::Ok();
    }
    if (progress) {
        progress->SetProgress(0);
    }
    return Outcome::Ok();
}

std::string MapToImage(const std::vector<MapEntry>& entries) {
    std::string image;
    image.reserve(entries.size() * kMapEntrySize);
    for (const MapEntry& e : entries) {
        PutLe32(image, e.offset);
        PutLe16(image, e.length);
    }
    return image;
}

bool MapFromImage(std::string_view image, std::uint64_t textSize, std::vector<MapEntry>& entries) {
    entries.clear();
    if (image.empty() || image.size() % kMapEntrySize != 0) {
        return false;
    }
    entries.resize(image.size() / kMapEntrySize);
    std::uint64_t end = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        MapEntry& e = entries[i];
        e.offset = GetLe32(image, i * kMapEntrySize);
        e.length = GetLe16(image, i * kMapEntrySize + 4);
        if (e.length == 0 || e.offset < end || e.offset + std::uint64_t{e.length} > textSize) {
            entries.clear();
            return false;
        }
        end = e.offset + std::uint64_t{e.length};
    }
    return true;
}

} // namespace cvx
