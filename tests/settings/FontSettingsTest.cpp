#include "SettingsTestSupport.h"

#include "settings/FontSettings.h"

namespace cvx {
namespace {

using testing::SettingsTest;

TEST_F(SettingsTest, AFontSectionWithoutValuesIsArialEight) {
    const FontSpec font = ReadFont(store, 1);
    EXPECT_EQ(font.name, "Arial");
    EXPECT_EQ(font.height, 8);
    EXPECT_FALSE(font.style || font.size || font.color);
}

TEST_F(SettingsTest, AFontSectionWithOnlyANameKeepsTheFontsOtherProperties) {
    ASSERT_TRUE(store.SetValue("Interface\\Fonts\\Abstract Area", "Name", "Times New Roman"));
    FontSpec expected;
    expected.name = "Times New Roman";
    EXPECT_EQ(ReadFont(store, 2), expected);
    // Empty, blank and unreadable values are skipped as well.
    ASSERT_TRUE(store.SetValues("Interface\\Fonts\\Abstract Area",
                                {{"Height", " "}, {"Size", "big"}, {"Style", ""}}, false));
    EXPECT_EQ(ReadFont(store, 2), expected);
}

TEST_F(SettingsTest, FontsRoundTripAndUnsetValuesAreStoredBlank) {
    FontSpec font;
    font.name = "DejaVu Sans \xC3\xA9";
    font.height = -13;
    font.style = kFontStrikeOut | kFontBold | kFontUnderline | kFontItalic;
    font.size = 10;
    font.color = 0x00FF0000;
    ASSERT_TRUE(store.SetValue("Interface\\Fonts\\Single Lines", "Stray", "x"));
    ASSERT_TRUE(WriteFont(store, 3, font));
    EXPECT_EQ(ReadFont(store, 3), font);
    EXPECT_EQ(store.SectionValues("Interface\\Fonts\\Single Lines"),
              (SettingValues{{"Color", "16711680"},
                             {"Height", "-13"},
                             {"Name", "DejaVu Sans \xC3\xA9"},
                             {"Size", "10"},
                             {"Style", "Bold,Italic,Underline,StrikeOut"}}));

    FontSpec sparse;
    sparse.name = "Courier";
    sparse.style = 0;
    ASSERT_TRUE(WriteFont(store, 4, sparse));
    EXPECT_EQ(store.Value("Interface\\Fonts\\Printer Font", "Style"), " ");
    EXPECT_EQ(store.Value("Interface\\Fonts\\Printer Font", "Height"), " ");
    FontSpec readBack;
    readBack.name = "Courier";
    EXPECT_EQ(ReadFont(store, 4), readBack);

    EXPECT_FALSE(WriteFont(store, 5, font));
    EXPECT_EQ(ReadFont(store, -1).name, "Arial");
}

TEST(FontStyle, WordsInTheirOrder) {
    EXPECT_EQ(FontStyleText(kFontItalic | kFontBold), "Bold,Italic");
    EXPECT_EQ(FontStyleText(0), "");
    EXPECT_EQ(ParseFontStyle("Italic,Bold"), kFontBold | kFontItalic);
    EXPECT_EQ(ParseFontStyle(" Underline , StrikeOut,Heavy"), kFontUnderline | kFontStrikeOut);
    EXPECT_EQ(ParseFontStyle("bold"), 0u);
}

TEST_F(SettingsTest, Backgrounds) {
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
        EXPECT_EQ(ReadBackground(store, slot), -1);
    }
    ASSERT_TRUE(WriteBackground(store, 0, 0x00C0FFEE));
    EXPECT_EQ(store.Value("Interface\\Backgrounds", "Identification string"), "12648430");
    EXPECT_EQ(ReadBackground(store, 0), 0x00C0FFEE);
    ASSERT_TRUE(store.SetValue("Interface\\Backgrounds", "Single Lines", "0x0000FF"));
    EXPECT_EQ(ReadBackground(store, 3), 255);
    // The printer font has no background.
    EXPECT_EQ(ReadBackground(store, 4), -1);
    EXPECT_FALSE(WriteBackground(store, 4, 1));
}

} // namespace
} // namespace cvx
