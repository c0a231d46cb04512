#include "text/AuthorNames.h"
#include "text/TextMode.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

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

// A last name stored with its suffix gives the surname alone; a corporate name and a surname
// whose last word only looks like one stay whole.
TEST(NextAuthorName, LeavesTheSuffixOff) {
    struct Case {
        std::string_view list, name, rest;
    } cases[] = {
        {"Bitter Jr, P. Smith, J.", "Bitter", "Smith, J."},
        {"Smith III, J R.", "Smith", ""},
        {"de la Cruz Sr, M.", "de la Cruz", ""},
        {"Bitter Jr.", "Bitter", ""},   // a suffix and no initials
        {"Bitter P Jr.", "Bitter", ""}, // the form without a comma
        {"\"Louis IV Society\".", "Louis IV Society", ""},
        {"\"Bitter Jr\".", "Bitter Jr", ""},
        {"Bitter JR, P.", "Bitter JR", ""}, // not the stored suffix's spelling
        {"Junior, P.", "Junior", ""},
    };
    for (const Case& c : cases) {
        const AuthorName n = NextAuthorName(c.list);
        EXPECT_EQ(n.name, c.name) << c.list;
        EXPECT_EQ(n.rest, c.rest) << c.list;
    }
}

TEST(NameSuffixAt, FindsTheStoredSuffixes) {
    EXPECT_EQ(NameSuffixAt("Bitter Jr"), 6u);
    EXPECT_EQ(NameSuffixAt("Bitter Sr"), 6u);
    EXPECT_EQ(NameSuffixAt("van der Berg II"), 12u);
    EXPECT_EQ(NameSuffixAt("Smith III"), 5u);
    EXPECT_EQ(NameSuffixAt("Smith IV"), 5u);
    for (std::string_view none : {"Bitter", "Jr", " Jr", "Bitter Jr.", "Bitter JR", "Bitter V"}) {
        EXPECT_EQ(NameSuffixAt(none), std::string_view::npos) << none;
    }
}

TEST(ShortAuthorList, OneTwoManyAndNone) {
    EXPECT_EQ(ShortAuthorList("Smith, J A. Brown, K. Jones, L."), "Smith et al");
    EXPECT_EQ(ShortAuthorList("Smith, J A. Brown, K."), "Smith, Brown");
    EXPECT_EQ(ShortAuthorList("Smith, J A."), "Smith");
    EXPECT_EQ(ShortAuthorList("\"The Cochrane Collaboration\"."), "The Cochrane Collaboration");
    EXPECT_EQ(ShortAuthorList(""), "#IAnon.#I");
    EXPECT_EQ(ShortAuthorList("  "), "#IAnon.#I");
    EXPECT_EQ(ShortAuthorList("Bitter Jr, P."), "Bitter");
    EXPECT_EQ(ShortAuthorList("Bitter Jr, P. Smith III, J R."), "Bitter, Smith");
    EXPECT_EQ(ShortAuthorList("Smith III, J R. Brown, K. Jones, L."), "Smith et al");
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
        // A suffix comes after the initials.
        {"Bitter Jr, P.", Collation::English, "BITTER P JR"},
        {"Smith III, J R.", Collation::English, "SMITH JR III"},
        {"Smith Jr, J.", Collation::English, "SMITH J JR"},
        {"Bitter Jr.", Collation::English, "BITTER JR"}, // no initials: not an initial J
        {"Bitter Sr, P. Smith, J.", Collation::English, "BITTER P SR SMITH J"},
        {"\"Louis IV Society\"", Collation::English, "LOUIS IV SOCIETY"},
        {"Bitter JR, P.", Collation::English, "BITTER JR P"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AuthorKey(c.field, c.collation), c.key) << c.field;
    }
}

// Names with a suffix sort among the others of their surname, in every collation: after the same
// surname and initials without one, before the next initials and before a longer surname.
TEST(AuthorKey, SuffixedNamesSortWithTheirSurname) {
    const std::vector<std::string_view> inOrder = {
        "Bitter, A.",   "Bitter, K.", "Bitter, P.",    "Bitter III, P.", "Bitter Jr, P.",
        "Bitter, P J.", "Bitter, Q.", "Bitter Sr, T.", "Bitterman, A.",
    };
    for (int c = 0; c < kCollationCount; ++c) {
        const auto collation = static_cast<Collation>(c);
        for (std::size_t i = 0; i + 1 < inOrder.size(); ++i) {
            EXPECT_EQ(CompareKeys(collation, AuthorKey(inOrder[i], collation),
                                  AuthorKey(inOrder[i + 1], collation)),
                      kSortsBefore)
                << inOrder[i] << " / " << inOrder[i + 1] << " in collation " << c;
        }
    }
}

} // namespace
} // namespace cvx
