#include "text/Collation.h"
#include "text/Cp1252.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

// Keys are written in UTF-8 here and compared as code page 1252 bytes.
int Compare(int collation, std::string_view a, std::string_view b) {
    SelectCollation(collation);
    const int r = CompareKeys(Utf8ToCp1252(a), Utf8ToCp1252(b));
    SelectCollation(static_cast<int>(Collation::English));
    return r;
}

TEST(Collation, RankTables) {
    EXPECT_EQ(CollationRank(1, 'A'), 65);
    EXPECT_EQ(CollationRank(1, 'z'), 90);
    EXPECT_EQ(CollationRank(1, 0xE9), CollationRank(1, 'e')); // é ranks as e
    EXPECT_EQ(CollationRank(1, 0xBD), 2);                     // ½ with the ones
    EXPECT_EQ(CollationRank(1, ' '), 0);
    EXPECT_EQ(CollationRank(1, 0xD5), 0); // Õ has no rank in the basic table
    EXPECT_EQ(CollationRank(0, 'W'), 86);
    EXPECT_EQ(CollationRank(0, 0xC5), 90); // Å
    EXPECT_EQ(CollationRank(0, 0xE4), 91); // ä
    EXPECT_EQ(CollationRank(0, 0xF6), 92); // ö
    EXPECT_EQ(CollationRank(4, 0xC6), 101);
    EXPECT_EQ(CollationRank(4, 0xF8), 102);
    EXPECT_EQ(CollationRank(4, 0xE5), 103);
    EXPECT_EQ(CollationRank(7, 'D'), 69);
    EXPECT_EQ(CollationRank(7, 0xD1), 81);
    EXPECT_EQ(CollationRank(7, 'z'), 93);
    EXPECT_EQ(CollationRank(2, 0x82), 255);
    EXPECT_EQ(CollationRank(2, 0xB1), 0xB1);
    EXPECT_EQ(CollationRank(2, 0xE9), 255);
}

TEST(Collation, Orders) {
    struct Case {
        int collation;
        std::string_view a, b;
        int result;
    } cases[] = {
        {1, "Smith", "Smithson", kSortsBefore},
        {1, "Zeta", "apple", kSortsBefore},
        {1, "same", "same", kSortsEqual},
        {8, "Müller", "Mz", kSortsAfter}, // byte-wise: ü is 0xFC
        {4, "Aabenraa", "Zealand", kSortsAfter},
        {4, "Aeble", "Zebra", kSortsAfter},
        {4, "Aeble", "Æble", kSortsEqual},
        {9, "Aabenraa", "Abel", kSortsBefore}, // "AA first": two plain A's
        {7, "chico", "cuna", kSortsAfter},
        {7, "chico", "dado", kSortsBefore},
        {7, "llave", "luz", kSortsAfter},
        {7, "ñandú", "nube", kSortsAfter},
        {0, "Öberg", "Zorn", kSortsAfter},
        {0, "Åberg", "Äng", kSortsBefore},
        {0, "andersson", "Andersson", kSortsEqual},
        {6, "Ärlig", "Zorn", kSortsAfter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Compare(c.collation, c.a, c.b), c.result)
            << c.collation << " " << c.a << " " << c.b;
    }
}

TEST(Collation, DoubleByteKeys) {
    SelectCollation(static_cast<int>(Collation::JapaneseShiftJis));
    EXPECT_EQ(CompareKeys("\x82\xA0", "\x82\xA2"), kSortsBefore);
    EXPECT_EQ(CompareKeys("\x88\x9F", "\x82\xA2"), kSortsAfter);
    EXPECT_EQ(CompareKeys("a-b", "a.b"), kSortsEqual); // both punctuation bytes have no rank
    EXPECT_EQ(CompareKeys("ab", "abc"), kSortsBefore);
    SelectCollation(99);
    EXPECT_EQ(SelectedCollation(), static_cast<int>(Collation::English));
}

} // namespace
} // namespace cvx
