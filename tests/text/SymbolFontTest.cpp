#include "text/SymbolFont.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace cvx {
namespace {

// The Greek letters read in both directions come from one table, so every Latin letter that the
// font draws as a Greek letter is also the byte written for that letter.
TEST(SymbolFontTest, LettersReadBothWays) {
    for (unsigned char c = 'A'; c <= 'z'; ++c) {
        if (c > 'Z' && c < 'a') {
            continue;
        }
        const char32_t greek = SymbolGreekLetter(c);
        ASSERT_NE(greek, 0U) << c;
        EXPECT_EQ(SymbolFontByte(greek), c) << c;
    }
}

TEST(SymbolFontTest, LettersSignsAndOthers) {
    struct Case {
        char32_t codePoint;
        unsigned char byte;
    } cases[] = {
        {0x03B2, 'b'},  {0x0394, 'D'},  {0x03C2, 'V'},  {0x03D5, 'j'},
        {0x03F5, 'e'},  {0x2264, 0xA3}, {0x2265, 0xB3}, {0x221E, 0xA5},
        {0x222B, 0xF2}, {U'b', 0},      {0x00E9, 0},    {0x0410, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SymbolFontByte(c.codePoint), c.byte)
            << std::hex << static_cast<std::uint32_t>(c.codePoint);
    }
    EXPECT_EQ(SymbolGreekLetter('1'), 0U);
    EXPECT_EQ(SymbolGreekLetter(0xC4), 0U);
    EXPECT_EQ(SymbolMarkup('a'), "#Ga#G");
}

// What a display draws for text in the Symbol font: Greek letters, signs, and every other byte as
// its code page 1252 character.
TEST(SymbolFontTest, CharactersTheFontDraws) {
    struct Case {
        unsigned char byte;
        char32_t shown;
    } cases[] = {{'a', 0x03B1},  {'D', 0x0394}, {'e', 0x03B5}, {0xA3, 0x2264},
                 {0xB3, 0x2265}, {'1', U'1'},   {'(', U'('},   {0x80, 0x20AC}};
    for (const Case& c : cases) {
        EXPECT_EQ(SymbolCharacter(c.byte), c.shown) << static_cast<int>(c.byte);
    }
}

} // namespace
} // namespace cvx
