// The OEM code page of old DOS captures; titles in capitals recased.

#include "lexmill/TextConversions.h"

#include <gtest/gtest.h>

#include <utility>

namespace cvx {
namespace {

TEST(TextConversionsTest, OemCodePage) {
    EXPECT_EQ(lexmill::OemToAnsi("\x84\x94\x81\xE6\xF8\xE1"), "\xE4\xF6\xFC\xB5\xB0\xDF");
    EXPECT_TRUE(lexmill::OemRoundTrips("\x84\x94"));
    EXPECT_FALSE(lexmill::OemRoundTrips("\xC4"));
    EXPECT_EQ(lexmill::AnsiToOem("\xE4\xC3"), "\x84"
                                              "A");
}

// Small words stay small inside a title, never at its ends or after a colon; text with small
// letters is the author's own case.
TEST(TextConversionsTest, TitleCaseOfCapitals) {
    const std::pair<std::string, std::string> cases[] = {
        {"PUMPS TRANSPORTING RIGID PARTICLES IN STOKES FLOW",
         "Pumps Transporting Rigid Particles in Stokes Flow"},
        {"THE ROLE OF THE LIVER IN A CRISIS OF", "The Role of the Liver in a Crisis Of"},
        {"CANCER: A REVIEW AND AN OUTLOOK", "Cancer: A Review and an Outlook"},
        {"Already in Mixed case of Text", "Already in Mixed case of Text"},
    };
    for (const auto& [capitals, expected] : cases) {
        EXPECT_EQ(lexmill::TitleCase(capitals), expected);
    }
}

} // namespace
} // namespace cvx
