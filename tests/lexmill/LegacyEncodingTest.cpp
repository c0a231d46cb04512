// Downloads in the double-byte code pages of East Asia are told from UTF-8 and code page 1252 and
// converted; characters code page 1252 has no letters for become marks, never garbage.

#include "lexmill/LegacyEncoding.h"

#include <gtest/gtest.h>

namespace cvx::lexmill {
namespace {

struct Legacy {
    std::string bytes;
    std::string why;
};

const Legacy kLegacy[] = {
    {"title={"
     "\xBB\xF9\xD3\xDA\xC9\xEE\xB6\xC8\xD1\xA7\xCF\xB0\xB5\xC4\xD6\xD0\xCE\xC4\xCE\xC4\xB1\xBE\xB7"
     "\xD6\xC0\xE0\xB7\xBD\xB7\xA8\xD1\xD0\xBE\xBF}, "
     "journal={\xBC\xC6\xCB\xE3\xBB\xFA\xD1\xA7\xB1\xA8}, author={\xD5\xC5\xC8\xFD and "
     "\xC0\xEE\xCB\xC4}",
     "GBK (simplified Chinese)"},
    {"title={\xB0\xF2\xA9\xF3\xB2`"
     "\xAB\xD7\xBE\xC7\xB2\xDF\xAA\xBA\xA4\xA4\xA4\xE5\xA4\xE5\xA5\xBB\xA4\xC0\xC3\xFE\xA4\xE8\xAAk"
     "\xAC\xE3\xA8s}, journal={\xADp\xBA\xE2\xBE\xF7\xBE\xC7\xB3\xF8}, author={\xB1i\xA4T and "
     "\xA7\xF5\xA5|}",
     "Big5 (traditional Chinese)"},
    {"title={\x90[\x91w\x8Aw\x8FK\x82\xC9\x82\xE6\x82\xE9\x93\xFA\x96{\x8C\xEA\x83"
     "e\x83L\x83X\x83g\x95\xAA\x97\xDE\x82\xCC\x8C\xA4\x8B\x86}, "
     "journal={\x8F\xEE\x95\xF1\x8F\x88\x97\x9D\x8Aw\x89\xEF\x98_\x95\xB6\x8E\x8F}, "
     "author={\x8ER\x93"
     "c\x91\xBE\x98Y}",
     "Shift-JIS (Japanese)"},
    {"title={\xB5\xF6\xB7\xAF\xB4\xD7 \xB1\xE2\xB9\xDD\xC0\xC7 \xC7\xD1\xB1\xB9\xBE\xEE "
     "\xC5\xD8\xBD\xBA\xC6\xAE \xBA\xD0\xB7\xF9 \xBF\xAC\xB1\xB8}, "
     "journal={\xC1\xA4\xBA\xB8\xB0\xFA\xC7\xD0\xC8\xB8\xB3\xED\xB9\xAE\xC1\xF6}, "
     "author={\xB1\xE8\xC3\xB6\xBC\xF6}",
     "EUC-KR (Korean)"},
};

TEST(LegacyEncodingTest, DoubleByteTextIsConvertedWithMarks) {
    for (const Legacy& c : kLegacy) {
        const std::optional<std::string> text = LegacyTextToAnsi(c.bytes);
        ASSERT_TRUE(text.has_value()) << c.why;
        EXPECT_TRUE(text->starts_with("title={???")) << c.why << ": " << *text;
        EXPECT_NE(text->find("}, journal={???}, author={???"), std::string::npos)
            << c.why << ": " << *text;
        for (char ch : *text) {
            EXPECT_LT(static_cast<unsigned char>(ch), 0x80) << c.why << ": " << *text;
        }
    }
}

// UTF-8 (with a stray single-byte character or two) and code page 1252 are read as they are.
TEST(LegacyEncodingTest, UnicodeAndWesternTextIsLeftAlone) {
    const std::string cases[] = {
        "title={Stra\xC3\x9F"
        "e und M\xC3\xBChle}, journal={Z\xC3\xBCrich}",
        "title={Stra\xDF"
        "e und M\xFChle f\xFCr \xC4rzte}, journal={Z\xFCrich}, "
        "author={M\xFCller, J\xF6rg}",
        "title={Caf\xE9 \x96 na\xEFve}",
    };
    for (const std::string& bytes : cases) {
        EXPECT_FALSE(LegacyTextToAnsi(bytes).has_value()) << bytes;
    }
}

} // namespace
} // namespace cvx::lexmill
