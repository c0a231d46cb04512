#include "text/CaseMapping.h"
#include "text/TextMode.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(CaseMapping, FixedTablesNotTheLocale) {
    EXPECT_EQ(UpperText("abc \xE9\xF6\xFE\x9A\x9C\xFF\xF7"), "ABC \xC9\xD6\xDE\x8A\x8C\xFF\xF7");
    EXPECT_EQ(LowerText("ABC \xC9\xD6\xDE\xD8\x8A\x8C\x9F\xD7"),
              "abc \xE9\xF6\xFE\xF8\x9A\x9C\x9F\xD7");
    // The single-character forms leave thorn and O-slash alone.
    EXPECT_EQ(UpperChar(0xFE), 0xFE);
    EXPECT_EQ(UpperChar(0xFD), 0xDD);
    EXPECT_EQ(LowerChar(0xD8), 0xD8);
    EXPECT_EQ(LowerChar(0xDE), 0xDE);
    EXPECT_EQ(LowerChar(0xD9), 0xF9);
    EXPECT_EQ(HexByte(0xE9), "E9");
    EXPECT_EQ(HexByte(0x0A), "0A");
}

TEST(CaseMapping, ShiftJisStepsOverDoubleByteCharacters) {
    const std::string text = "ab\x82\x61\xB1x"; // "\x82\x61" is one character; 0xB1 katakana
    EXPECT_EQ(UpperTextJ(text), "AB\x82\x41\xB1X");
    SetTextMode(TextMode::ShiftJis);
    EXPECT_EQ(UpperTextJ(text), "AB\x82\x61\xB1X");
    EXPECT_EQ(LowerTextJ("AB\x82\x41"), "ab\x82\x41");
    SetTextMode(TextMode::Ansi);
    EXPECT_EQ(LowerTextJ("AB\x82\x41"), "ab\x82\x61");
}

TEST(HeadlineCase, TitlesOfTheExampleFile) {
    // Titles of examples/refs.ref, and a few made to show one rule each.
    struct Case {
        std::string_view in, out, why;
    } cases[] = {
        {"Spatiotemporal dynamics of auditory attention synchronize with speech",
         "Spatiotemporal Dynamics of Auditory Attention Synchronize with Speech",
         "major words raised, short prepositions left small"},
        {"Magical ideation, creativity, handedness, and cerebral asymmetries: a combined "
         "behavioural and fMRI study",
         "Magical Ideation, Creativity, Handedness, and Cerebral Asymmetries: A Combined "
         "Behavioural and fMRI Study",
         "a minor word after a colon is raised; a word holding capitals stays"},
        {"Priming the mental time-line: effects of modality and processing mode",
         "Priming the Mental Time-Line: Effects of Modality and Processing Mode",
         "the parts of a hyphenated word are words"},
        {"Reorganizing the protein space at the Universal Protein Resource (UniProt)",
         "Reorganizing the Protein Space at the Universal Protein Resource (UniProt)",
         "a word in parentheses; capitals kept"},
        {"Effect of immobilization on catalytic characteristics of saturated "
         "Pd-N-heterocyclic carbenes in Mizoroki-Heck reactions",
         "Effect of Immobilization on Catalytic Characteristics of Saturated "
         "Pd-N-Heterocyclic Carbenes in Mizoroki-Heck Reactions",
         "chemical names: each part on its own"},
        {"Phase separation and omega transformation in binary V-Ti and ternary V-Ti-Cr alloys",
         "Phase Separation and Omega Transformation in Binary V-Ti and Ternary V-Ti-Cr Alloys",
         "symbols of elements stay"},
        {"Breast cancer statistics, 2011", "Breast Cancer Statistics, 2011",
         "a number ends the title"},
        {"The Bio* toolkits--a brief overview", "The Bio* Toolkits--a Brief Overview",
         "a double hyphen does not start the title anew"},
        {"Atmospheric Deposition and Forest Nutrient Cycling. A Synthesis of the Integrated "
         "Forest Study",
         "Atmospheric Deposition and Forest Nutrient Cycling. A Synthesis of the Integrated "
         "Forest Study",
         "a title already in headline style is unchanged"},
        {"\xDC"
         "ber die Bestimmung der Walddichte",
         "\xDC"
         "ber Die Bestimmung Der Walddichte",
         "a title in German is raised too: a reference has no language"},
        {"what it is for", "What It Is For", "the first and the last word always"},
        {"release of #Gb#G-cyclodextrin #Iin vivo#I", "Release of #Gb#G-Cyclodextrin #Iin Vivo#I",
         "Greek in the Symbol font untouched, markup codes stepped over"},
        {"\xE9"
         "clair and na\xEFve readers",
         "\xC9"
         "clair and Na\xEFve Readers",
         "accented letters of code page 1252"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeadlineCase(c.in), c.out) << c.why;
    }
    SetTextMode(TextMode::ShiftJis);
    EXPECT_EQ(HeadlineCase("a title"), "a title"); // double-byte text is not cased
    SetTextMode(TextMode::Ansi);
}

} // namespace
} // namespace cvx
