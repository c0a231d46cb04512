#include "text/Cp1252.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(Cp1252, TheHighControlRangeIsNotLatin1) {
    EXPECT_EQ(Cp1252ToUtf8("\x80\x93quoted\x94 \x96 \x8A"),
              "\u20AC\u201Cquoted\u201D \u2013 \u0160");
    EXPECT_EQ(Utf8ToCp1252("\u20AC\u201Cq\u201D \u2013 \u0160"), "\x80\x93q\x94 \x96 \x8A");
    EXPECT_EQ(Cp1252ToUtf8("M\xFCller"), "M\u00FCller");
}

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, UnmappableAndMalformedInput) {
    EXPECT_EQ(Utf8ToCp1252("\u4E2D x"), "? x");
    EXPECT_FALSE(Utf8FitsCp1252("\u4E2D"));
    EXPECT_TRUE(Utf8FitsCp1252("caf\u00E9"));
    // Bytes that are not UTF-8 are taken as they are.
    EXPECT_EQ(Utf8ToCp1252("caf\xE9"), "caf\xE9");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "\xC3");
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "\xED\xA0\x80");
}

} // namespace
} // namespace cvx
