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
// printable (above 32), carriage return, NUL. Bytes at or beyond `valid` belong to no class.
struct Classes {
    std::uint64_t lf = 0;
    std::uint64_t blank = 0;
    std::uint64_t printable = 0;
    std::uint64_t cr = 0;
    std::uint64_t nul = 0;
};

// The bytes of a group that belong to the text, as a mask.
constexpr std::uint64_t Inside(std::size_t valid) {
    return valid >= kGroup ? ~std::uint64_t{0} : (std::uint64_t{1} << valid) - 1;
}

constexpr Classes Combine(std::uint64_t lf, std::uint64_t low, std::uint64_t cr, std::uint64_t nul,
                          std::size_t valid) {
    const std::uint64_t inside = Inside(valid);
    return {lf & inside, low & ~lf & inside, ~low & inside, cr & inside, nul & inside};
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CITAVOX_AVX2_SCAN 1

Classes Classify(const unsigned char* bytes, std::size_t valid) {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriage = _mm_set1_epi8('\r');
    const __m128i space = _mm_set1_epi8(32);
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t lf = 0;
    std::uint64_t low = 0; // up to 32
    std::uint64_t cr = 0;
    std::uint64_t nul = 0;
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
    return Combine(lf, low, cr, nul, valid);
}

// The same with 32-byte registers, for processors that have them.
[[gnu::target("avx2")]] Classes ClassifyWide(const unsigned char* bytes, std::size_t valid) {
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i carriage = _mm256_set1_epi8('\r');
    const __m256i space = _mm256_set1_epi8(32);
    const __m256i zero = _mm256_setzero_si256();
    std::uint64_t lf = 0;
    std::uint64_t low = 0;
    std::uint64_t cr = 0;
    std::uint64_t nul = 0;
    for (std::size_t k = 0; k < kGroup / 32; ++k) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * k));
        const __m256i isLow = _mm256_cmpeq_epi8(_mm256_max_epu8(v, space), space);
        lf |= std::uint64_t{static_cast<std::uint32_t>(
                  _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, lineFeed)))}
              << (32 * k);
        low |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(isLow))} << (32 * k);
        cr |= std::uint64_t{static_cast<std::uint32_t>(
                  _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, carriage)))}
              << (32 * k);
        nul |= std::uint64_t{static_cast<std::uint32_t>(
                   _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, zero)))}
               << (32 * k);
    }
    return Combine(lf, low, cr, nul, valid);
}
#else
Classes Classify(const unsigned char* bytes, std::size_t valid) {
    std::uint64_t lf = 0;
    std::uint64_t low = 0;
    std::uint64_t cr = 0;
    std::uint64_t nul = 0;
    for (std::size_t i = 0; i < kGroup; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        lf |= bytes[i] == '\n' ? bit : 0;
        low |= bytes[i] <= 32 ? bit : 0;
        cr |= bytes[i] == '\r' ? bit : 0;
        nul |= bytes[i] == 0 ? bit : 0;
    }
    return Combine(lf, low, cr, nul, valid);
}
#endif

enum class ChunkEnd { More, Stop, Binary };

// The scan over the text, group after group: the blocks' starts and ends are found from the
// class bits of a group and the two bytes after it, so most bytes are never looked at one by one.
class MapScanner {
public:
    MapScanner(std::uint64_t size, Progress* progress, MapBuildResult& result)
        : size_(size), progress_(progress), result_(result) {}

    // Scans the chunk of the text at `base`, whose bytes are followed by at least a group of
    // bytes that may be read. Each group is judged once the bytes after it are known. Inlined
    // into each scan loop, it is compiled for that loop's instruction set; the state lives in
    // registers while a chunk is scanned.
    template <Classes (*ClassifyGroup)(const unsigned char*, std::size_t), bool kPopcount>
    [[gnu::always_inline]] ChunkEnd Scan(std::string_view bytes, std::uint64_t base) {
        State s = state_;
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        std::uint64_t nul = 0;
        ChunkEnd end = ChunkEnd::More;
        for (std::size_t at = 0; at < bytes.size(); at += kGroup) {
            const Classes next = ClassifyGroup(data + at, bytes.size() - at);
            nul |= next.nul;
            if (s.havePending && !Judge<kPopcount>(s, s.pending, next, s.pendingBase)) {
                end = ChunkEnd::Stop;
                break;
            }
            s.pending = next;
            s.pendingBase = base + at;
            s.havePending = true;
        }
        state_ = s;
        // No reference text holds a NUL byte: whatever else was found, the scan ends here.
        return nul != 0 ? ChunkEnd::Binary : end;
    }

    // Judges the last group and ends the scan.
    void Finish() {
        State& s = state_;
        if (s.havePending && Judge<false>(s, s.pending, Classes{}, s.pendingBase) &&
            s.seek == Seek::End) {
            (void)AddEntry(s, size_ - s.entryOffset);
        }
        if (s.bareLf > s.crlf) {
            result_.lineEnds = s.crlf == 0 ? LineEnds::LfOnly : LineEnds::Mixed;
        } else if (s.crlf == 0 && s.anyCr) {
            result_.lineEnds = LineEnds::CrOnly;
        }
    }

private:
    struct State {
        Seek seek = Seek::FirstStart;
        std::uint64_t cursor = 0; // patterns are looked for from here on
        std::uint64_t entryOffset = 0;
        std::uint64_t crlf = 0;
        std::uint64_t bareLf = 0;
        std::uint64_t crCarry = 0; // a carriage return ends the group before
        bool anyCr = false;
        Classes pending;
        std::uint64_t pendingBase = 0;
        bool havePending = false;
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
    template <bool kPopcount>
    [[gnu::always_inline]] bool Judge(State& s, const Classes& a, const Classes& b,
                                      std::uint64_t base) {
        s.anyCr = s.anyCr || a.cr != 0;
        const std::uint64_t crBefore = (a.cr << 1) | s.crCarry;
        s.crCarry = a.cr >> 63;
        if (a.lf == 0 && s.seek != Seek::FirstStart) {
            return true; // no line feed: no pattern and nothing to count
        }
        const std::uint64_t lf1 = (a.lf >> 1) | (b.lf << 63);
        const std::uint64_t lf2 = (a.lf >> 2) | (b.lf << 62);
        const std::uint64_t blank1 = (a.blank >> 1) | (b.blank << 63);
        const std::uint64_t printable1 = (a.printable >> 1) | (b.printable << 63);
        const std::uint64_t printable2 = (a.printable >> 2) | (b.printable << 62);
        const std::uint64_t ends = a.lf & (lf1 | (blank1 & lf2));
        const std::uint64_t starts = a.lf & blank1 & printable2;

        // Line feeds after a carriage return are nearly all of them in a reference text: the
        // others are counted one by one.
        const std::uint64_t bare = a.lf & ~crBefore;
        const int bareCount = bare == 0 ? 0 : Bits<kPopcount>(bare);
        s.crlf += static_cast<std::uint64_t>(Bits<kPopcount>(a.lf) - bareCount);
        s.bareLf += static_cast<std::uint64_t>(bareCount);

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
};

ChunkEnd ScanChunk(MapScanner& scanner, std::string_view bytes, std::uint64_t base) {
    return scanner.Scan<Classify, false>(bytes, base);
}

#if defined(CITAVOX_AVX2_SCAN)
[[gnu::target("avx2,popcnt")]] ChunkEnd ScanChunkWide(MapScanner& scanner, std::string_view bytes,
                                                      std::uint64_t base) {
    return scanner.Scan<ClassifyWide, true>(bytes, base);
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
    // A group may be read past the bytes of the last chunk; those bytes belong to no class.
    ChunkReader chunks(text, size, kChunk, kGroup);
    MapScanner scanner(size, progress, result);
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
