// The OEM code page of old DOS captures.

#include "lexmill/TextConversions.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(TextConversionsTest, OemCodePage) {
    EXPECT_EQ(lexmill::OemToAnsi("\x84\x94\x81\xE6\xF8\xE1"), "\xE4\xF6\xFC\xB5\xB0\xDF");
    EXPECT_TRUE(lexmill::OemRoundTrips("\x84\x94"));
    EXPECT_FALSE(lexmill::OemRoundTrips("\xC4"));
    EXPECT_EQ(lexmill::AnsiToOem("\xE4\xC3"), "\x84"
                                              "A");
}

} // namespace
} // namespace cvx
