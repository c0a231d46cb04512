#include "lexmill/FieldReaders.h"
#include "TestState.h"
#include "lexmill/FieldBuilders.h"
#include "lexmill/TextConversions.h"

#include <gtest/gtest.h>

namespace cvx::lexmill {
namespace {

using test::LexmillRun;

// A run whose line table holds `lines`, as a record reader would have left it.
class FieldsTest : public ::testing::Test {
protected:
    void Record(std::vector<std::string> lines) {
        run_.state.ResetCollectData();
        run_.state.mLine = static_cast<int>(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            run_.state.allLines[i] = lines[i];
        }
    }
    ConversionState& S() { return run_.state; }
    std::vector<std::string> Abstract() {
        std::vector<std::string> out;
        for (int i = 1; i <= S().ref.abstract.count; ++i) {
            out.push_back(S().ref.abstract[i]);
        }
        return out;
    }

    LexmillRun run_{""};
};

TEST_F(FieldsTest, ShortTaggedFieldContinuationAndHyphenJoin) {
    Record({"TI  - Gene ex-", "      pression  in", " mice", "AU  - x"});
    EXPECT_EQ(ReadShortTaggedField(S(), 0), "TI - Gene ex-pression in mice");
    // A tag line that begins with a blank takes only lines with two blanks as its continuation.
    Record({" TI Title", " more", "  continued"});
    EXPECT_EQ(ReadShortTaggedField(S(), 0), "TI Title");
    EXPECT_EQ(ReadShortTaggedField(S(), 1), "more continued");
    EXPECT_EQ(ReadShortTaggedField(S(), 7), "");
    EXPECT_EQ(ReadLongSourceStr(S(), "SO"), "");
    Record({"UI  - 12345.", "SO  - Nature  1998;", "      12:3-9"});
    EXPECT_EQ(GetIdString(S(), "UI  - "), "12345");
    EXPECT_EQ(ReadLongSourceStr(S(), "SO  - "), "Nature 1998; 12:3-9");
}

TEST_F(FieldsTest, TitleLinesAndFinalPunctuation) {
    const std::string t76(76, 'a');
    Record({"TI  - " + t76});
    ReadTitle(S(), "TI  - ", false);
    EXPECT_EQ(S().ref.title.count, 1);
    EXPECT_EQ(S().ref.title[1], " " + t76 + ".");

    const std::string t77 = std::string(40, 'b') + " " + std::string(36, 'c');
    Record({"TI  - " + t77});
    ReadTitle(S(), "TI  - ", false);
    EXPECT_EQ(S().ref.title.count, 2);
    EXPECT_EQ(S().ref.title[1], " " + std::string(40, 'b'));
    EXPECT_EQ(S().ref.title[2], std::string(36, 'c') + ".");

    Record({"TI  - WHAT IS A GENE?"});
    ReadTitle(S(), "TI  - ", true);
    EXPECT_EQ(S().ref.title[1], " What is a gene?");
}

TEST_F(FieldsTest, AddressOfCapitalsInWordMode) {
    DumpAddress(S(), "DEPT OF SURGERY, UNIV HOSP, S-751 85 UPPSALA");
    EXPECT_EQ(S().ref.address.count, 1);
    EXPECT_EQ(S().ref.address[1], "Address: Dept Of Surgery, Univ Hosp, S-751 85 Uppsala");
}

TEST_F(FieldsTest, AbstractLinesAndSubscriptMarker) {
    // The first line fills to 78 characters; a "SUB marker at the end of a full line moves on.
    const std::string words = "abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi "
                              "abcdefghi \"SUB next";
    Record({"AB  - " + words});
    ReadAbstract(S(), "AB  - ");
    const auto lines = Abstract();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], " abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi");
    EXPECT_EQ(lines[1], "\"SUB next");

    // A numbered abstract whose second source line begins with "2." gives two paragraphs.
    Record({"AB  - 1. First point .mu.g.", "      2. Second point"});
    ReadAbstract(S(), "AB  - ");
    EXPECT_EQ(Abstract(), (std::vector<std::string>{" 1. First point \xB5g.", " 2. Second point"}));
}

TEST(Collapse, EachRunOfBlanksKeepsItsFirstBlank) {
    const std::string longWords(20, 'w');
    struct Case {
        std::string text;
        std::string collapsed;
        const char* why;
    };
    const Case cases[] = {
        {"", "", "nothing to do"},
        {"   ", " ", "blanks alone"},
        {"a \t\001b  ", "a b ", "tabs and control characters are blanks too"},
        {longWords + "  " + longWords + "\t \t" + longWords + " x",
         longWords + " " + longWords + "\t" + longWords + " x",
         "pairs far apart, in different blocks of the scan"},
        {longWords + " " + longWords, longWords + " " + longWords, "single blanks stay"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fields::Collapse(c.text), c.collapsed) << c.why;
    }
}

TEST_F(FieldsTest, AbstractWordsWrapAtTheLineWidth) {
    const std::string words76 = "aaaaaaaaaa aaaaaaaaaa aaaaaaaaaa aaaaaaaaaa aaaaaaaaaa "
                                "aaaaaaaaaa aaaaaaaaaa";
    struct Case {
        std::string text;
        std::vector<std::string> lines;
        const char* why;
    };
    const Case cases[] = {
        {words76 + " b c",
         {words76 + " b", "c"},
         "a word whose following blank ends at the 78th column still fits"},
        {words76 + " bb c", {words76, "bb c"}, "one character more moves the word on"},
        {"one  two\tthree   four",
         {"one two\tthree four"},
         "runs of blanks become one blank; a tab inside a word stays"},
        {" lead word", {" lead word"}, "a text that begins with a blank keeps one"},
    };
    for (const Case& c : cases) {
        Record({});
        DumpStringToAbstract(S(), c.text);
        EXPECT_EQ(Abstract(), c.lines) << c.why;
    }
}

TEST_F(FieldsTest, SourceSectionNotes) {
    Record({"SO  - A book chapter of one line"});
    DumpSourceSection(S(), "SO  - ");
    EXPECT_EQ(S().ref.abstract[1], "Source (not a journal article):");
    EXPECT_EQ(S().ref.yearVolPage, "????");
    EXPECT_TRUE(S().ref.notJournal);
    EXPECT_EQ(S().Counters().incomplete, 1);

    // Eighteen words of nine letters fill three abstract lines.
    const std::string sixWords = "abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi";
    Record({"SO  - " + sixWords, "      " + sixWords, "      " + sixWords});
    DumpSourceSection(S(), "SO  - ");
    EXPECT_EQ(S().ref.abstract.count, 4);
    EXPECT_EQ(S().ref.abstract[1], "Source (not a journal article, 3 lines):");
}

TEST_F(FieldsTest, DiacriticNotationAndHostNotations) {
    EXPECT_EQ(ChangeCharSetD("M~uller ~x ~N", '~'), "M\xFCller ~x \xD1");
    EXPECT_EQ(CleanHostText("10 .mu.g at 37 .degree.C, .alpha. .ltoreq. .beta."),
              "10 \xB5g at 37 \xB0"
              "C, #Ga#G #G\xA3#G #Gb#G");
    // Decapitalisation leaves markup and Symbol-font letters alone.
    EXPECT_EQ(Decapitalise("#GD#G-GLUCOSE IN #IMICE#I", CaseMode::Sentence, false),
              "#GD#G-Glucose in #Imice#I");
}

TEST_F(FieldsTest, FullArraysMarkTheReferenceInsteadOfCuttingNames) {
    for (int i = 0; i < 200; ++i) {
        AddToAuthors(S(), "Author" + std::to_string(i) + ", A B.");
    }
    EXPECT_EQ(S().ref.authors.count, 30);
    EXPECT_TRUE(S().ref.etAlAuthors);
    for (int i = 1; i <= 30; ++i) {
        EXPECT_TRUE(S().ref.authors[i].ends_with(". ")) << S().ref.authors[i];
    }
    for (int i = 0; i < 100; ++i) {
        AddToEditors(S(), "Editor" + std::to_string(i) + ", E.");
    }
    EXPECT_EQ(S().ref.editors.count, 5);
    EXPECT_TRUE(S().ref.questioned);
}

TEST_F(FieldsTest, LabelledLayout) {
    Record({"TI: [A TITLE : ON ( MICE ) .]", "AU: Smith-J", "AD: Dept of X,", "    Some City",
            "LA: English", "AB: Text of the", "    abstract. ABSTRACT.", "NO: not this"});
    ReadTitleCambridge(S(), "TI:", true);
    EXPECT_EQ(S().ref.title[1], " A title: On (mice).");
    ReadAdressCambridge(S(), "AD:", true);
    EXPECT_EQ(S().ref.address[1], " Address: Dept of X, Some City");
    ReadLanguageCambridge(S(), "LA:", true);
    EXPECT_EQ(S().ref.idString, " Eng");
    ReadAbstractCambridge(S(), "AB:", true);
    EXPECT_EQ(Abstract(), (std::vector<std::string>{" Text of the abstract."}));
}

} // namespace
} // namespace cvx::lexmill
