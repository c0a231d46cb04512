#include "text/AuthorNames.h"
#include "text/TextMode.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(NextAuthorName, TakesNamesOffTheList) {
    AuthorName n = NextAuthorName("Smith, J A. Brown, K.");
    EXPECT_EQ(n.name, "Smith");
    EXPECT_EQ(n.rest, "Brown, K.");
    n = NextAuthorName("\"World Health Organization\". Smith, J.");
    EXPECT_EQ(n.name, "World Health Organization");
    EXPECT_EQ(n.rest, "Smith, J.");
    EXPECT_EQ(NextAuthorName("van Dyke J A.").name, "van Dyke J");
    EXPECT_EQ(NextAuthorName("Plato.").name, "Plato."); // no comma and no space: kept whole
    EXPECT_EQ(NextAuthorName("Tanaka (Tanaka), T.").name, "Tanaka");
}

TEST(ShortAuthorList, OneTwoManyAndNone) {
    EXPECT_EQ(ShortAuthorList("Smith, J A. Brown, K. Jones, L."), "Smith et al");
    EXPECT_EQ(ShortAuthorList("Smith, J A. Brown, K."), "Smith, Brown");
    EXPECT_EQ(ShortAuthorList("Smith, J A."), "Smith");
    EXPECT_EQ(ShortAuthorList("\"The Cochrane Collaboration\"."), "The Cochrane Collaboration");
    EXPECT_EQ(ShortAuthorList(""), "#IAnon.#I");
    EXPECT_EQ(ShortAuthorList("  "), "#IAnon.#I");
}

TEST(AuthorsFaulty, FormalRules) {
    struct Case {
        std::string_view field;
        bool faulty;
    } cases[] = {
        {"Smith, J A. Brown, K.", false},
        {"\"\"", false},
        {"\"World Health Organization\".", false},
        {"Smith, J A. \"WHO\". Brown, K.", false},
        {"Smith J A.", true},
        {"Smith, J A", true},
        {"Sm1th, J.", true},
        {"Smith, .", true},
        {"Smith, J, K.", true},
        {"\"WHO.", true},
        {".", true},
        {"Abcdefghijklmnopqrstuvwxyz, AB.", true}, // 30 characters before the "."
        {"Abcdefghijklmnopqrstuvwxy, AB.", false}, // 29
        {"M\xFCller, H.", false},
        {"O'Brien, P. Smith-Jones, A B.", false},
        {"Smith (ed), J.", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AuthorsFaulty(c.field), c.faulty) << c.field;
    }
}

TEST(AuthorsFaulty, ShiftJisNamesAreAccepted) {
    SetTextMode(TextMode::ShiftJis);
    EXPECT_FALSE(AuthorsFaulty("\x93\x63\x92\x86 \x91\xbe\x98\x59."));
    EXPECT_FALSE(AuthorsFaulty("Tanaka (Tanaka), T."));
    SetTextMode(TextMode::Ansi);
}

TEST(AuthorKey, KeysForSorting) {
    struct Case {
        std::string_view field;
        Collation collation;
        std::string_view key;
    } cases[] = {
        {"Smith, J A. Brown-Hill, K.", Collation::English, "SMITH JA BROWN-HILL K"},
        {"Smith, J-P.", Collation::English, "SMITH JP"},
        {"\"The Lancet Group\"", Collation::English, "LANCET GROUP"},
        {"\"Dept. of Health, U.K.\"", Collation::English, "DEPT OF HEALTH UK"},
        {"\"World Health Organization\". Smith, J.", Collation::English,
         "WORLD HEALTH ORGANIZATION SMITH J"},
        {"Plato.", Collation::English, "PLATO"},
        {"Tanaka, T (Tanaka Taro).", Collation::English, "TANAKA T"},
        {"Tanaka, T (Tanaka Taro).", Collation::JapanesePronounced, "TANAKA TARO"},
        {"", Collation::English, ""},
        {"m\xFCller, h.", Collation::English, "M\xDCLLER H"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AuthorKey(c.field, c.collation), c.key) << c.field;
    }
}

} // namespace
} // namespace cvx
