#include "refstore/ReferenceMap.h"

#include "storage/ChunkReader.h"
#include "storage/FileSystem.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace cvx {

namespace {

// Reads of the text are this large: small enough that what was read is still in the cache when it
// is scanned, large enough that the reads cost little.
constexpr std::size_t kChunk = std::size_t{128} * 1024;
constexpr std::size_t kGroup = 64; // bytes classified at once, one bit each
constexpr std::uint32_t kMaxLength = std::numeric_limits<std::uint16_t>::max();

enum class Seek { FirstStart, End, NextStart };

// The set bits of a word: the processor's instruction where the scan is compiled for one that has
// it (`kInstruction`), else a few arithmetic steps rather than the library call of the baseline
// instruction set.
template <bool kInstruction> [[gnu::always_inline]] inline int Bits(std::uint64_t v) {
    if constexpr (kInstruction) {
        return __builtin_popcountll(v);
    }
    v -= (v >> 1) & 0x5555555555555555ULL;
    v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((v * 0x0101010101010101ULL) >> 56);
}

// The classes of 64 bytes, bit i for byte i: line feed, blank (every other byte up to 32),
// printable (above 32). Bytes beyond the text belong to no class.
struct Classes {
    std::uint64_t lf = 0;
    std::uint64_t blank = 0;
    std::uint64_t printable = 0;
};

// The line ends met while classifying: every line feed, those that follow no carriage return, and
// the carriage returns seen.
struct LineEndCount {
    std::uint64_t lf = 0;
    std::uint64_t bare = 0;
    std::uint64_t crSeen = 0;  // the carriage return bits of every group, or-ed together
    std::uint64_t crCarry = 0; // a carriage return ends the group before
};

// The bytes of a group that belong to the text, as a mask.
constexpr std::uint64_t Inside(std::size_t valid) {
    return valid >= kGroup ? ~std::uint64_t{0} : (std::uint64_t{1} << valid) - 1;
}

// The classes of a group from its bit masks, its line ends counted. Line feeds after a carriage
// return are nearly all of them in a reference text: the others are counted one by one.
template <bool kPopcount>
[[gnu::always_inline]] inline Classes Combine(std::uint64_t lf, std::uint64_t low, std::uint64_t cr,
                                              std::size_t valid, LineEndCount& count) {
    const std::uint64_t inside = Inside(valid);
    lf &= inside;
    cr &= inside;
    const std::uint64_t bare = lf & ~((cr << 1) | count.crCarry);
    count.crCarry = cr >> 63;
    count.crSeen |= cr;
    count.lf += static_cast<std::uint64_t>(Bits<kPopcount>(lf));
    if (bare != 0) {
        count.bare += static_cast<std::uint64_t>(Bits<kPopcount>(bare));
    }
    return {lf, low & ~lf & inside, ~low & inside};
}

// A chunk is classified group by group into an array first and judged from there afterwards: the
// classifying loop is short enough to stream through the bytes at full speed, and the judging loop
// reads finished bit masks instead of waiting on the ones just computed.
//
// ClassifyChunk*(bytes, size, out, count) fills out[0 .. groups of size), counts the line ends and
// tells whether the bytes hold a NUL. The last group may be partial: its bytes are copied into a
// group of their own, padded with a byte of no interest, so no byte past the text is looked at.
constexpr unsigned char kPadding = 0xFF;

// The groups of a chunk through `ClassifyGroup`, which keeps the smallest byte seen in `least`.
template <typename Vector,
          Classes (*ClassifyGroup)(const unsigned char*, std::size_t, Vector&, LineEndCount&)>
inline void ClassifyGroups(const unsigned char* bytes, std::size_t size, Classes* out,
                           Vector& least, LineEndCount& count) {
    std::size_t at = 0;
    for (; at + kGroup <= size; at += kGroup) {
        *out++ = ClassifyGroup(bytes + at, kGroup, least, count);
    }
    if (at < size) {
        unsigned char tail[kGroup];
        std::memset(tail, kPadding, kGroup);
        std::memcpy(tail, bytes + at, size - at);
        *out = ClassifyGroup(tail, size - at, least, count);
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CITAVOX_AVX2_SCAN 1

[[gnu::always_inline]] inline std::uint64_t Bits16(__m128i m) {
    return static_cast<std::uint16_t>(_mm_movemask_epi8(m));
}

// One group; `least` keeps the smallest byte seen, which is zero once a NUL was.
[[gnu::always_inline]] inline Classes ClassifyGroup(const unsigned char* group, std::size_t valid,
                                                    __m128i& least, LineEndCount& count) {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriage = _mm_set1_epi8('\r');
    const __m128i space = _mm_set1_epi8(32);
    std::uint64_t lf = 0;
    std::uint64_t low = 0; // up to 32
    std::uint64_t cr = 0;
    for (std::size_t k = 0; k < kGroup / 16; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group + 16 * k));
        lf |= Bits16(_mm_cmpeq_epi8(v, lineFeed)) << (16 * k);
        low |= Bits16(_mm_cmpeq_epi8(_mm_max_epu8(v, space), space)) << (16 * k);
        cr |= Bits16(_mm_cmpeq_epi8(v, carriage)) << (16 * k);
        least = _mm_min_epu8(least, v);
    }
    return Combine<false>(lf, low, cr, valid, count);
}

bool ClassifyChunk(const unsigned char* bytes, std::size_t size, Classes* out,
                   LineEndCount& counted) {
    __m128i least = _mm_set1_epi8(-1);
    LineEndCount count = counted;
    ClassifyGroups<__m128i, ClassifyGroup>(bytes, size, out, least, count);
    counted = count;
    return Bits16(_mm_cmpeq_epi8(least, _mm_setzero_si128())) != 0;
}

// The same with 32-byte registers, for processors that have them.
[[gnu::target("avx2"), gnu::always_inline]] inline std::uint64_t Bits32(__m256i m) {
    return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(m))};
}

// Not marked always_inline: the compiler refuses that for a function of wider instructions called
// from the generic group loop. ClassifyChunkWide is flattened instead, which inlines it all the
// same.
[[gnu::target("avx2,popcnt")]] inline Classes ClassifyGroupWide(const unsigned char* group,
                                                                std::size_t valid, __m256i& least,
                                                                LineEndCount& count) {
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i carriage = _mm256_set1_epi8('\r');
    const __m256i space = _mm256_set1_epi8(32);
    const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(group));
    const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(group + 32));
    const std::uint64_t lf =
        Bits32(_mm256_cmpeq_epi8(v0, lineFeed)) | Bits32(_mm256_cmpeq_epi8(v1, lineFeed)) << 32;
    const std::uint64_t low = Bits32(_mm256_cmpeq_epi8(_mm256_max_epu8(v0, space), space)) |
                              Bits32(_mm256_cmpeq_epi8(_mm256_max_epu8(v1, space), space)) << 32;
    const std::uint64_t cr =
        Bits32(_mm256_cmpeq_epi8(v0, carriage)) | Bits32(_mm256_cmpeq_epi8(v1, carriage)) << 32;
    least = _mm256_min_epu8(least, _mm256_min_epu8(v0, v1));
    return Combine<true>(lf, low, cr, valid, count);
}

[[gnu::target("avx2,popcnt"), gnu::flatten]] bool ClassifyChunkWide(const unsigned char* bytes,
                                                                    std::size_t size, Classes* out,
                                                                    LineEndCount& counted) {
    __m256i least = _mm256_set1_epi8(-1);
    LineEndCount count = counted;
    ClassifyGroups<__m256i, ClassifyGroupWide>(bytes, size, out, least, count);
    counted = count;
    return Bits32(_mm256_cmpeq_epi8(least, _mm256_setzero_si256())) != 0;
}
#else
bool ClassifyChunk(const unsigned char* bytes, std::size_t size, Classes* out,
                   LineEndCount& count) {
    bool nul = false;
    for (std::size_t at = 0; at < size; at += kGroup, ++out) {
        std::uint64_t lf = 0;
        std::uint64_t low = 0;
        std::uint64_t cr = 0;
        const std::size_t valid = std::min(kGroup, size - at);
        for (std::size_t i = 0; i < valid; ++i) {
            const unsigned char c = bytes[at + i];
            const std::uint64_t bit = std::uint64_t{1} << i;
            lf |= c == '\n' ? bit : 0;
            low |= c <= 32 ? bit : 0;
            cr |= c == '\r' ? bit : 0;
            nul = nul || c == 0;
        }
        *out = Combine<false>(lf, low, cr, valid, count);
    }
    return nul;
}
#endif

enum class ChunkEnd { More, Stop, Binary };

// The scan over the text, group after group: the blocks' starts and ends are found from the
// class bits of a group and the two bytes after it, so most bytes are never looked at one by one.
class MapScanner {
public:
    // `chunk` is the largest number of bytes a scanned chunk holds.
    MapScanner(std::uint64_t size, std::size_t chunk, Progress* progress, MapBuildResult& result)
        : size_(size), progress_(progress), result_(result),
          classes_((chunk + kGroup - 1) / kGroup) {}

    // Scans the chunk of the text at `base` (at most `chunk` bytes, not empty). Each group is
    // judged once the bytes after it are known: the chunk's last group waits for the next chunk.
    // Inlined into each scan loop, it is compiled for that loop's instruction set; the state lives
    // in registers while a chunk is scanned.
    template <bool (*ClassifyBytes)(const unsigned char*, std::size_t, Classes*, LineEndCount&)>
    [[gnu::always_inline]] ChunkEnd Scan(std::string_view bytes, std::uint64_t base) {
        const std::size_t groups = (bytes.size() + kGroup - 1) / kGroup;
        const Classes* classes = classes_.data();
        // No reference text holds a NUL byte: whatever else it holds, the scan ends here.
        if (ClassifyBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                          classes_.data(), lineEnds_)) {
            return ChunkEnd::Binary;
        }
        State s = state_;
        bool more = !havePending_ || Judge(s, pending_, classes[0], pendingBase_);
        for (std::size_t g = 0; more && g + 1 < groups; ++g) {
            more = Judge(s, classes[g], classes[g + 1], base + g * kGroup);
        }
        state_ = s;
        pending_ = classes[groups - 1];
        pendingBase_ = base + (groups - 1) * kGroup;
        havePending_ = true;
        return more ? ChunkEnd::More : ChunkEnd::Stop;
    }

    // Judges the last group and ends the scan.
    void Finish() {
        State& s = state_;
        if (havePending_ && Judge(s, pending_, Classes{}, pendingBase_) && s.seek == Seek::End) {
            (void)AddEntry(s, size_ - s.entryOffset);
        }
        const std::uint64_t crlf = lineEnds_.lf - lineEnds_.bare;
        if (lineEnds_.bare > crlf) {
            result_.lineEnds = crlf == 0 ? LineEnds::LfOnly : LineEnds::Mixed;
        } else if (crlf == 0 && lineEnds_.crSeen != 0) {
            result_.lineEnds = LineEnds::CrOnly;
        }
    }

private:
    struct State {
        Seek seek = Seek::FirstStart;
        std::uint64_t cursor = 0; // patterns are looked for from here on
        std::uint64_t entryOffset = 0;
    };

    bool AddEntry(State& s, std::uint64_t length) {
        if (length > kMaxLength) {
            result_.tooLarge = true;
            result_.tooLargeIndex = result_.entries.size();
            result_.tooLargeLength = length;
            return false;
        }
        result_.entries.push_back(
            {static_cast<std::uint32_t>(s.entryOffset), static_cast<std::uint16_t>(length)});
        if (progress_ && result_.entries.size() % 36 == 0) {
            progress_->SetProgress(Permille(s.entryOffset, size_));
        }
        return true;
    }

    // The bits of the group at `base` from the cursor on.
    static std::uint64_t FromCursor(const State& s, std::uint64_t base) {
        if (s.cursor <= base) {
            return ~std::uint64_t{0};
        }
        return s.cursor - base >= kGroup ? 0 : ~std::uint64_t{0} << (s.cursor - base);
    }

    // Finds the patterns that begin in group `a` (at `base`), `b` being the group after it:
    // an end is a line feed followed by a line feed, or by a blank and a line feed; a start after
    // a block is a line feed followed by a blank and a printable byte.
    [[gnu::always_inline]] bool Judge(State& s, const Classes& a, const Classes& b,
                                      std::uint64_t base) {
        if (a.lf == 0 && s.seek != Seek::FirstStart) {
            return true; // no line feed: no pattern
        }
        const std::uint64_t lf1 = (a.lf >> 1) | (b.lf << 63);
        const std::uint64_t lf2 = (a.lf >> 2) | (b.lf << 62);
        const std::uint64_t blank1 = (a.blank >> 1) | (b.blank << 63);
        const std::uint64_t printable1 = (a.printable >> 1) | (b.printable << 63);
        const std::uint64_t printable2 = (a.printable >> 2) | (b.printable << 62);
        const std::uint64_t ends = a.lf & (lf1 | (blank1 & lf2));
        const std::uint64_t starts = a.lf & blank1 & printable2;

        for (;;) {
            if (s.seek == Seek::FirstStart) {
                const std::uint64_t first = a.blank & printable1 & FromCursor(s, base);
                if (first == 0) {
                    return true;
                }
                s.entryOffset = s.cursor = base + static_cast<unsigned>(std::countr_zero(first));
                s.seek = Seek::End;
            } else if (s.seek == Seek::End) {
                const std::uint64_t hit = ends & FromCursor(s, base);
                if (hit == 0) {
                    return true;
                }
                const unsigned p = static_cast<unsigned>(std::countr_zero(hit));
                const bool twoLineFeeds = ((lf1 >> p) & 1) != 0;
                // The entry runs to the second line feed; the next start may begin on it.
                const std::uint64_t secondLineFeed = base + p + (twoLineFeeds ? 1 : 2);
                if (!AddEntry(s, secondLineFeed + 1 - s.entryOffset)) {
                    return false;
                }
                s.cursor = secondLineFeed;
                s.seek = Seek::NextStart;
            } else {
                const std::uint64_t hit = starts & FromCursor(s, base);
                if (hit == 0) {
                    return true;
                }
                s.entryOffset = s.cursor = base + static_cast<unsigned>(std::countr_zero(hit)) + 1;
                s.seek = Seek::End;
            }
        }
    }

    std::uint64_t size_;
    Progress* progress_;
    MapBuildResult& result_;
    State state_;
    std::vector<Classes> classes_; // of the chunk being scanned
    LineEndCount lineEnds_;
    Classes pending_; // the last group of the chunk before, not yet judged
    std::uint64_t pendingBase_ = 0;
    bool havePending_ = false;
};

ChunkEnd ScanChunk(MapScanner& scanner, std::string_view bytes, std::uint64_t base) {
    return scanner.Scan<ClassifyChunk>(bytes, base);
}

#if defined(CITAVOX_AVX2_SCAN)
[[gnu::target("avx2,popcnt")]] ChunkEnd ScanChunkWide(MapScanner& scanner, std::string_view bytes,
                                                      std::uint64_t base) {
    return scanner.Scan<ClassifyChunkWide>(bytes, base);
}

// The scan of the processor at hand.
auto ChunkScanner(ScanInstructions instructions) {
    static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    return wide && instructions == ScanInstructions::Best ? &ScanChunkWide : &ScanChunk;
}
#else
auto ChunkScanner(ScanInstructions) {
    return &ScanChunk;
}
#endif

} // namespace

Outcome BuildMap(ReadableFile& text, std::uint64_t size, Progress* progress, MapBuildResult& result,
                 ScanInstructions instructions) {
    result = MapBuildResult();
    if (size <= 2) {
        return Outcome::Ok();
    }
    ChunkReader chunks(text, size, kChunk);
    MapScanner scanner(size, static_cast<std::size_t>(std::min<std::uint64_t>(size, kChunk)),
                       progress, result);
    const auto scan = ChunkScanner(instructions);
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
        const ChunkEnd end = scan(scanner, bytes, base);
        if (end == ChunkEnd::Binary) {
            result.binary = true;
            return Outcome::Ok();
        }
        if (end == ChunkEnd::Stop) {
            return Outcome::Ok();
        }
    }
    scanner.Finish();
    if (progress) {
        progress->SetProgress(0);
    }
    return Outcome::Ok();
}

std::string MapToImage(const std::vector<MapEntry>& entries) {
    std::string image(entries.size() * kMapEntrySize, '\0');
    char* out = image.data();
    for (const MapEntry& e : entries) {
        StoreLe32(out, e.offset);
        StoreLe16(out + 4, e.length);
        out += kMapEntrySize;
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
