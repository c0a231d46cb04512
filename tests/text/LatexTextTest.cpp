#include "text/LatexText.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(CodesToLatex, CodesAndSpecialCharacters) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"##", "\\#\\#"},
        {"#Bb#B #Ii#I #Uu#_", "\\textbf{b} {\\it i} \\underline{u}"},
        {"x#^2#^ y#v1#v #P3#P#b4#b", "x$^{2}$ y$_{1}$ $^{3}$$_{4}$"},
        {"a#Lb#Tc#Nd", "a\\\\[4mm]b\\hspace*{10mm}cd"},
        {"#Hnote#H", "%note\r\n"},
        {"a#Ob", "a\\#Ob"},
        {"5% & 3^2 {x}", "5\\% \\& 3\\^2 \\{x\\}"},
        {"a<b>c|d", "a$<$b$>$c$|$d"},
        {"C:\\dir\\f.\\x", "C:/dir/f.\\x"},
        {"US$ 5_a", "US\\$ 5\\_a"},
        {"\xA3 5", "{\\pounds} 5"},
        {"#Gabg#G", "$\\alpha$$\\beta$$\\gamma$"},
        {"Fran\xE7ois M\xFCller \xC5se", "Fran\\c{c}ois M\\\"{u}ller {\\AA}se"},
        {"\xFE", "\xFE"},
        // Styles the text leaves on are closed, innermost first, so the text stays balanced.
        {"#Bbold #Iboth", "\\textbf{bold {\\it both}}"},
        {"x#^2", "x$^{2}$"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodesToLatex(c.in), c.out) << c.in;
    }
}

TEST(CodesToLatex, ResolvesEveryEtAlMarker) {
    struct Case {
        std::string_view in, out, why;
    } cases[] = {
        {"A\xFF\xFF\xFF, B\xFF\xFF\xFF, C\xFF\xFF\xFF",
         "A {\\it et al}., B {\\it et al}., C {\\it et al}.",
         "every marker; no \"\\,\" (a thin space that would swallow the comma)"},
        {"A\xFE\xFE\xFE; B\xFE\xFE\xFE", "A et al.; B et al.", "no \"\\;\" either, nor at the end"},
        {"Smith \xFE\xFE\xFE 1990", "Smith et al.\\ 1990",
         "after a blank no second blank; before one the backslash for a normal space"},
        {"Smith\xFF\xFF\xFF 1986", "Smith {\\it et al}.\\ 1986",
         "the label's marker gets its blank"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodesToLatex(c.in), c.out) << c.why;
    }
}

TEST(LatexEscapeInPlace, EscapesForManuscripts) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"#Bbold#B #x", "#Bbold#B \\#x"},
        {"$5 and 10%", "\\$5 and 10\\%"},
        {"a_b", "a\\_b"},
        {"\xA3", "{\\pounds}"},
        {"<>", "$<$$>$"},
        {"\\a.\\b", "/a.\\b"},
        {"x#Hhidden#Hy#Hmore#H", "x%hidden\r\ny%more\r\n"},
        {"Smith\xFE\xFE\xFE 1990", "Smith et al.\\ 1990"},  // the marker brings its blank
        {"Smith \xFE\xFE\xFE, 1990", "Smith et al., 1990"}, // no "\," (a thin space)
        {"\xE9t\xE9", "\\'{e}t\\'{e}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LatexEscapeInPlace(c.in), c.out) << c.in;
    }
}

TEST(LatexUnescape, InvertsTheManuscriptEscapes) {
    for (std::string_view text : {"100% & {x}", "a_b $5", "x<y>z|w", "#Bbold#B"}) {
        EXPECT_EQ(LatexUnescape(LatexEscapeInPlace(text)), text) << text;
    }
    // A path keeps its "/" (and a "\" stays a "\").
    EXPECT_EQ(LatexUnescape("{{/home/ann/r.ref \\#12}}"), "{{/home/ann/r.ref #12}}");
    EXPECT_EQ(LatexUnescape("c:\\refs\\a.ref \\#3"), "c:\\refs\\a.ref #3");
}

TEST(LatexSymbol, GreekAndMathSigns) {
    EXPECT_EQ(LatexSymbol('a'), "$\\alpha$");
    EXPECT_EQ(LatexSymbol('W'), "$\\Omega$");
    // The letters whose Symbol-font glyphs are not the Greek letter of the same sound.
    EXPECT_EQ(LatexSymbol('f'), "$\\varphi$");
    EXPECT_EQ(LatexSymbol('o'), "o");
    EXPECT_EQ(LatexSymbol('F'), "$\\Phi$");
    EXPECT_EQ(LatexSymbol('J'), "$\\vartheta$");
    EXPECT_EQ(LatexSymbol('V'), "$\\varsigma$");
    EXPECT_EQ(LatexSymbol('v'), "$\\varpi$");
    EXPECT_EQ(LatexSymbol('w'), "$\\omega$");
    EXPECT_EQ(LatexSymbol(0xB3), "$\\geq$");
    EXPECT_EQ(LatexSymbol('1'), "1");
}

} // namespace
} // namespace cvx
