#include "text/Collation.h"
#include "text/Cp1252.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cvx {
namespace {

// Keys are written in UTF-8 here and compared as code page 1252 bytes.
int Compare(Collation collation, std::string_view a, std::string_view b) {
    SelectCollation(collation);
    const int r = CompareKeys(Utf8ToCp1252(a), Utf8ToCp1252(b));
    SelectCollation(Collation::English);
    return r;
}

TEST(Collation, RankTables) {
    EXPECT_EQ(CollationRank(Collation::English, 'A'), 65);
    EXPECT_EQ(CollationRank(Collation::English, 'z'), 90);
    EXPECT_EQ(CollationRank(Collation::English, 0xE9),
              CollationRank(Collation::English, 'e'));     // é ranks as e
    EXPECT_EQ(CollationRank(Collation::English, 0xBD), 2); // ½ with the ones
    EXPECT_EQ(CollationRank(Collation::English, ' '), 0);
    EXPECT_EQ(CollationRank(Collation::English, 0xD5), 0); // Õ has no rank in the basic table
    EXPECT_EQ(CollationRank(Collation::Swedish, 'W'), 86);
    EXPECT_EQ(CollationRank(Collation::Swedish, 0xC5), 90); // Å
    EXPECT_EQ(CollationRank(Collation::Swedish, 0xE4), 91); // ä
    EXPECT_EQ(CollationRank(Collation::Swedish, 0xF6), 92); // ö
    EXPECT_EQ(CollationRank(Collation::DanishAaLast, 0xC6), 101);
    EXPECT_EQ(CollationRank(Collation::DanishAaLast, 0xF8), 102);
    EXPECT_EQ(CollationRank(Collation::DanishAaLast, 0xE5), 103);
    EXPECT_EQ(CollationRank(Collation::Spanish, 'D'), 69);
    EXPECT_EQ(CollationRank(Collation::Spanish, 0xD1), 81);
    EXPECT_EQ(CollationRank(Collation::Spanish, 'z'), 93);
    EXPECT_EQ(CollationRank(Collation::JapaneseShiftJis, 0x82), 255);
    EXPECT_EQ(CollationRank(Collation::JapaneseShiftJis, 0xB1), 0xB1);
    EXPECT_EQ(CollationRank(Collation::JapaneseShiftJis, 0xE9), 255);
}

TEST(Collation, Orders) {
    struct Case {
        Collation collation;
        std::string_view a, b;
        int result;
    } cases[] = {
        {Collation::English, "Smith", "Smithson", kSortsBefore},
        {Collation::English, "Zeta", "apple", kSortsBefore},
        {Collation::English, "same", "same", kSortsEqual},
        {Collation::German, "Müller", "Mz", kSortsAfter}, // byte-wise: ü is 0xFC
        {Collation::DanishAaLast, "Aabenraa", "Zealand", kSortsAfter},
        {Collation::DanishAaLast, "Aeble", "Zebra", kSortsAfter},
        {Collation::DanishAaLast, "Aeble", "Æble", kSortsEqual},
        {Collation::DanishAaFirst, "Aabenraa", "Abel", kSortsBefore}, // "AA first": two plain A's
        {Collation::Spanish, "chico", "cuna", kSortsAfter},
        {Collation::Spanish, "chico", "dado", kSortsBefore},
        {Collation::Spanish, "llave", "luz", kSortsAfter},
        {Collation::Spanish, "ñandú", "nube", kSortsAfter},
        {Collation::Swedish, "Öberg", "Zorn", kSortsAfter},
        {Collation::Swedish, "Åberg", "Äng", kSortsBefore},
        {Collation::Swedish, "andersson", "Andersson", kSortsEqual},
        {Collation::Finnish, "Ärlig", "Zorn", kSortsAfter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Compare(c.collation, c.a, c.b), c.result)
            << static_cast<int>(c.collation) << " " << c.a << " " << c.b;
    }
}

TEST(Collation, DoubleByteKeys) {
    SelectCollation(Collation::JapaneseShiftJis);
    EXPECT_EQ(CompareKeys("\x82\xA0", "\x82\xA2"), kSortsBefore);
    EXPECT_EQ(CompareKeys("\x88\x9F", "\x82\xA2"), kSortsAfter);
    EXPECT_EQ(CompareKeys("a-b", "a.b"), kSortsEqual); // both punctuation bytes have no rank
    EXPECT_EQ(CompareKeys("ab", "abc"), kSortsBefore);
    SelectCollation(static_cast<Collation>(99));
    EXPECT_EQ(SelectedCollation(), Collation::English);
    EXPECT_EQ(CollationFromValue(99), Collation::English);
    EXPECT_EQ(CollationFromValue(9), Collation::DanishAaFirst);
}

// The sign of a bytewise comparison of prepared keys, as CompareKeys answers.
int CompareBytes(const std::string& a, const std::string& b) {
    const int c = a.compare(b);
    return c < 0 ? kSortsBefore : c > 0 ? kSortsAfter : kSortsEqual;
}

// Prepared keys compare bytewise as the collation compares the texts, in every collation, also
// when a key is followed by the key of a second text (the next level of a sort).
TEST(Collation, PreparedKeysCompareAsTheCollation) {
    using namespace std::string_view_literals;
    std::vector<std::string> words;
    for (std::string_view w :
         {"",      "a",    "A",     "aa",       "aA",      "ab",     "ae",    "Ae",
          "oe",    "Å",    "Æble",  "Aabenraa", "Abel",    "c",      "ch",    "chico",
          "cuna",  "dado", "l",     "ll",       "llave",   "luz",    "ñandú", "nube",
          "Öberg", "Zorn", "Smith", "Smithson", "smith j", "Müller", "Mz",    "½",
          "1",     "2",    " ",     "-",        "a-b",     "a.b",    "ÿ"}) {
        words.push_back(Utf8ToCp1252(w));
    }
    // Bytes as they are: zeros, a lone Shift-JIS lead byte, pairs and half-width letters.
    for (std::string_view w : {"a\0b"sv, "a\0"sv, "\0"sv, "z\xFF"sv, "\x82"sv, "\x82\xA0"sv,
                               "\x82\xA2"sv, "\x88\x9F"sv, "a\x82"sv, "a\x82\xA0"sv, "\xB1"sv,
                               "\x82"
                               "a"sv}) {
        words.emplace_back(w);
    }
    for (int c = 0; c < kCollationCount; ++c) {
        const auto collation = static_cast<Collation>(c);
        for (const std::string& a : words) {
            for (const std::string& b : words) {
                std::string ka;
                std::string kb;
                AppendCollationKey(collation, a, ka);
                AppendCollationKey(collation, b, kb);
                const int expected = CompareKeys(collation, a, b);
                ASSERT_EQ(CompareBytes(ka, kb), expected) << c << " '" << a << "' '" << b << "'";
                // A second level decides only between equal first levels.
                AppendCollationKey(collation, "zz", ka);
                AppendCollationKey(collation, "", kb);
                ASSERT_EQ(CompareBytes(ka, kb), expected == kSortsEqual ? kSortsAfter : expected)
                    << c << " '" << a << "' '" << b << "'";
            }
        }
    }
}

// A collation as the user names it: by number or by the catalogue's name in any letter case.
TEST(Collation, ByNameOrNumber) {
    const struct {
        const char* name;
        std::optional<Collation> collation;
    } cases[] = {
        {"0", Collation::Swedish},
        {"9", Collation::DanishAaFirst},
        {"10", std::nullopt},
        {"-1", std::nullopt},
        {"english", Collation::English},
        {"SPANISH", Collation::Spanish},
        {"Klingon", std::nullopt},
        {"", std::nullopt},
        {"1x", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CollationByName(c.name), c.collation) << c.name;
    }
    // Every name in the list of names is found again.
    const std::string names = CollationNames();
    std::size_t start = 0;
    for (int i = 0; i < kCollationCount; ++i) {
        const std::size_t end = std::min(names.find(", ", start), names.size());
        EXPECT_EQ(CollationByName(names.substr(start, end - start)), static_cast<Collation>(i));
        start = end + 2;
    }
}

TEST(Collation, SortKeysWithTheGivenCollation) {
    SelectCollation(Collation::English);
    std::vector<std::string> keys;
    for (const char* k : {"dado", "chico", "cuna"}) {
        keys.push_back(Utf8ToCp1252(k));
    }
    SortKeys(Collation::Spanish, keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"cuna", "chico", "dado"}));
    EXPECT_EQ(SelectedCollation(), Collation::English) << "the selection is not touched";
}

} // namespace
} // namespace cvx
