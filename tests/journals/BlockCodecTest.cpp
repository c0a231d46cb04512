// The block compression: what the writer produces expands to the same bytes, and damaged or
// oversized input is refused without reading or writing out of bounds.

#include "journals/BlockCodec.h"

#include <gtest/gtest.h>

#include <random>

namespace cvx {
namespace {

std::string Expanded(std::string_view compressed, JournalError expected = JournalError::None) {
    std::string out;
    EXPECT_EQ(ExpandBlock(compressed, out), expected);
    return out;
}

TEST(BlockCodec, RoundTripsTextRepetitionsAndNoise) {
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 15000; ++i) {
        noise.push_back(static_cast<char>(random()));
    }
    std::string names;
    while (names.size() < 14000) {
        names += "Journal of Clinical Investigation\x02J Clin Invest\x04J. Clin. Invest.";
    }
    const std::string cases[] = {
        "",
        "a",
        "ab",
        std::string(15000, 'x'), // one long overlapping copy after another
        "abcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabc",
        noise, // literal runs only, each at most 32 bytes
        names, // the kind of data blocks hold
        std::string("\0\0\0\0\x01\x01\x01", 7),
    };
    for (const std::string& expanded : cases) {
        const std::string compressed = CompressBlock(expanded);
        EXPECT_EQ(Expanded(compressed), expanded) << expanded.size();
    }
    EXPECT_LT(CompressBlock(names).size(), names.size() / 4);
    // Incompressible data grows by a token byte per run, and stays below the block limit.
    EXPECT_LE(CompressBlock(noise).size(), kJournalMaxCompressedBlock);
}

TEST(BlockCodec, ReadsTokensAsSpecified) {
    // A literal run of three bytes, then a copy of 4 bytes (token 0x30: 6 - 2) from 3 bytes
    // back, overlapping what it writes; the shortest copy (token 32: 2 bytes); the longest
    // (token 255: 29 bytes) from the farthest distance (7 * 256 + 255).
    using namespace std::string_view_literals;
    EXPECT_EQ(Expanded("\x02"
                       "abc"
                       "\x30\x03"sv),
              "abcabca");
    EXPECT_EQ(Expanded("\x00"
                       "z"
                       "\x20\x01"sv),
              "zzz");
    std::string longest(2047, 'q');
    std::string compressed;
    for (std::size_t i = 0; i < longest.size(); i += 32) {
        const std::size_t n = std::min<std::size_t>(32, longest.size() - i);
        compressed.push_back(static_cast<char>(n - 1));
        compressed.append(longest, i, n);
    }
    compressed += "\xFF\xFF"; // 29 bytes from 2047 back
    EXPECT_EQ(Expanded(compressed), longest + std::string(29, 'q'));
}

TEST(BlockCodec, RefusesDamagedInput) {
    using namespace std::string_view_literals;
    const std::string_view damaged[] = {
        "\x05"
        "abc"sv, // a literal run longer than the input
        "\x00"
        "a\x30"sv,    // a copy token without its distance byte
        "\x30\x01"sv, // a copy before anything was written
        "\x00"
        "a\x30\x00"sv, // distance 0
        "\x00"
        "a\x30\x02"sv, // a copy from before the start
    };
    for (const std::string_view d : damaged) {
        Expanded(d, JournalError::Malformed);
    }
}

TEST(BlockCodec, BoundsTheExpandedLength) {
    std::string exact(15000, 'e');
    EXPECT_EQ(Expanded(CompressBlock(exact)).size(), 15000u);
    // One byte more than a block may expand to, whether it comes by a literal or by a copy.
    Expanded(CompressBlock(exact + "f"), JournalError::Malformed);
    Expanded(CompressBlock(exact + "e"), JournalError::Malformed);
}

} // namespace
} // namespace cvx
