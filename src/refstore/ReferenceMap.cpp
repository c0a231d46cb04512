#include "refstore/ReferenceMap.h"

#include "storage/ChunkReader.h"
#include "storage/FileSystem.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvx {

namespace {

// Reads of the text are this large: small enough that what was read is still in the cache when it
// is scanned, large enough that the reads cost little.
constexpr std::size_t kChunk = 128 * 1024;
constexpr std::size_t kGroup = 64; // bytes classified at once, one bit each
constexpr std::uint32_t kMaxLength = std::numeric_limits<std::uint16_t>::max();

enum class Seek { FirstStart, End, NextStart };

// The set bits of a word, without the library call the baseline instruction set needs for it.
constexpr int Bits(std::uint64_t v) {
    v -= (v >> 1) & 0x5555555555555555ULL;
    v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((v * 0x0101010101010101ULL) >> 56);
}

// The classes of 64 bytes, bit i for byte i: line feed, blank (every other byte up to 32),
// printable (above 32), carriage return, NUL. Bytes at or beyond `valid` belong to no class.
struct Classes {
    std::uint64_t lf = 0;
    std::uint64_t blank = 0;
    std::uint64_t printable = 0;
    std::uint64_t cr = 0;
    std::uint64_t nul = 0;
};

Classes Classify(const unsigned char* bytes, std::size_t valid) {
    std::uint64_t lf = 0;
    std::uint64_t low = 0; // up to 32
    std::uint64_t cr = 0;
    std::uint64_t nul = 0;
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriage = _mm_set1_epi8('\r');
    const __m128i space = _mm_set1_epi8(32);
    const __m128i zero = _mm_setzero_si128();
    for (std::size_t k = 0; k < kGroup / 16; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
        const auto bits = [](__m128i m) {
            return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(m)));
        };
        lf |= bits(_mm_cmpeq_epi8(v, lineFeed)) << (16 * k);
        low |= bits(_mm_cmpeq_epi8(_mm_max_epu8(v, space), space)) << (16 * k);
        cr |= bits(_mm_cmpeq_epi8(v, carriage)) << (16 * k);
        nul |= bits(_mm_cmpeq_epi8(v, zero)) << (16 * k);
    }
#else
    for (std::size_t i = 0; i < kGroup; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        lf |= bytes[i] == '\n' ? bit : 0;
        low |= bytes[i] <= 32 ? bit : 0;
        cr |= bytes[i] == '\r' ? bit : 0;
        nul |= bytes[i] == 0 ? bit : 0;
    }
#endif
    const std::uint64_t inside =
        valid >= kGroup ? ~std::uint64_t{0} : (std::uint64_t{1} << valid) - 1;
    return {lf & inside, low & ~lf & inside, ~low & inside, cr & inside, nul & inside};
}

// The scan over the text, group after group: the blocks' starts and ends are found from the
// class bits of a group and the two bytes after it, so most bytes are never looked at one by one.
class MapScanner {
public:
    MapScanner(std::uint64_t size, Progress* progress, MapBuildResult& result)
        : size_(size), progress_(progress), result_(result) {}

    // Takes the classes of the group at `base`; the group before it is judged now that the
    // bytes after it are known. False when the scan must stop (a block too long for the map).
    bool Take(const Classes& next, std::uint64_t base) {
        const bool more = !havePending_ || Judge(pending_, next, pendingBase_);
        pending_ = next;
        pendingBase_ = base;
        havePending_ = true;
        return more;
    }

    // Judges the last group and ends the scan.
    void Finish() {
        if (havePending_ && Judge(pending_, Classes{}, pendingBase_) && seek_ == Seek::End) {
            (void)AddEntry(size_ - entryOffset_);
        }
        if (bareLf_ > crlf_) {
            result_.lineEnds = crlf_ == 0 ? LineEnds::LfOnly : LineEnds::Mixed;
        } else if (crlf_ == 0 && anyCr_) {
            result_.lineEnds = LineEnds::CrOnly;
        }
    }

private:
    bool AddEntry(std::uint64_t length) {
        if (length > kMaxLength) {
            result_.tooLarge = true;
            result_.tooLargeIndex = result_.entries.size();
            result_.tooLargeLength = length;
            return false;
        }
        result_.entries.push_back(
            {static_cast<std::uint32_t>(entryOffset_), static_cast<std::uint16_t>(length)});
        if (progress_ && result_.entries.size() % 36 == 0) {
            progress_->SetProgress(Permille(entryOffset_, size_));
        }
        return true;
    }

    // The bits of the group at `base` from `cursor_` on.
    std::uint64_t FromCursor(std::uint64_t base) const {
        if (cursor_ <= base) {
            return ~std::uint64_t{0};
        }
        return cursor_ - base >= kGroup ? 0 : ~std::uint64_t{0} << (cursor_ - base);
    }

    // Finds the patterns that begin in group `a` (at `base`), `b` being the group after it:
    // an end is a line feed followed by a line feed, or by a blank and a line feed; a start after
    // a block is a line feed followed by a blank and a printable byte.
    bool Judge(const Classes& a, const Classes& b, std::uint64_t base) {
        const std::uint64_t lf1 = (a.lf >> 1) | (b.lf << 63);
        const std::uint64_t lf2 = (a.lf >> 2) | (b.lf << 62);
        const std::uint64_t blank1 = (a.blank >> 1) | (b.blank << 63);
        const std::uint64_t printable1 = (a.printable >> 1) | (b.printable << 63);
        const std::uint64_t printable2 = (a.printable >> 2) | (b.printable << 62);
        const std::uint64_t ends = a.lf & (lf1 | (blank1 & lf2));
        const std::uint64_t starts = a.lf & blank1 & printable2;

        const std::uint64_t crBefore = (a.cr << 1) | crCarry_;
        crCarry_ = a.cr >> 63;
        const int lines = Bits(a.lf);
        const int afterCr = Bits(a.lf & crBefore);
        crlf_ += static_cast<std::uint64_t>(afterCr);
        bareLf_ += static_cast<std::uint64_t>(lines - afterCr);
        anyCr_ = anyCr_ || a.cr != 0;

        for (;;) {
            if (seek_ == Seek::FirstStart) {
                const std::uint64_t first = a.blank & printable1 & FromCursor(base);
                if (first == 0) {
                    return true;
                }
                entryOffset_ = cursor_ = base + static_cast<unsigned>(std::countr_zero(first));
                seek_ = Seek::End;
            } else if (seek_ == Seek::End) {
                const std::uint64_t hit = ends & FromCursor(base);
                if (hit == 0) {
                    return true;
                }
                const unsigned p = static_cast<unsigned>(std::countr_zero(hit));
                const bool twoLineFeeds = ((lf1 >> p) & 1) != 0;
                // The entry runs to the second line feed; the next start may begin on it.
                const std::uint64_t secondLineFeed = base + p + (twoLineFeeds ? 1 : 2);
                if (!AddEntry(secondLineFeed + 1 - entryOffset_)) {
                    return false;
                }
                cursor_ = secondLineFeed;
                seek_ = Seek::NextStart;
            } else {
                const std::uint64_t hit = starts & FromCursor(base);
                if (hit == 0) {
                    return true;
                }
                entryOffset_ = cursor_ = base + static_cast<unsigned>(std::countr_zero(hit)) + 1;
                seek_ = Seek::End;
            }
        }
    }

    std::uint64_t size_;
    Progress* progress_;
    MapBuildResult& result_;
    Seek seek_ = Seek::FirstStart;
    std::uint64_t cursor_ = 0; // patterns are looked for from here on
    std::uint64_t entryOffset_ = 0;
    std::uint64_t crlf_ = 0;
    std::uint64_t bareLf_ = 0;
    std::uint64_t crCarry_ = 0; // a carriage return ends the group before
    bool anyCr_ = false;
    Classes pending_;
    std::uint64_t pendingBase_ = 0;
    bool havePending_ = false;
};

} // namespace

Outcome BuildMap(ReadableFile& text, std::uint64_t size, Progress* progress,
                 MapBuildResult& result) {
    result = MapBuildResult();
    if (size <= 2) {
        return Outcome::Ok();
    }
    // A group may be read past the bytes of the last chunk; those bytes belong to no class.
    ChunkReader chunks(text, size, kChunk, kGroup);
    MapScanner scanner(size, progress, result);
    std::uint64_t base = 0;
    std::string_view bytes;
    for (;;) {
        if (progress && progress->AbortRequested()) {
            return Outcome::Aborted();
        }
        if (Outcome r = chunks.Next(base, bytes); !r) {
            return r;
        }
        if (bytes.empty()) {
            break;
        }
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        for (std::size_t at = 0; at < bytes.size(); at += kGroup) {
            const Classes classes = Classify(data + at, bytes.size() - at);
            if (classes.nul != 0) {
                result.binary = true; // no reference text holds a NUL byte: stop at once
                return Outcome::Ok();
            }
            if (!scanner.Take(classes, base + at)) {
                return Outcome::Ok();
            }
        }
    }
    scanner.Finish();
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
