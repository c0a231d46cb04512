#include "text/LatexText.h"
#include "text/SymbolFont.h"
#include "vorodud/BibtexEntries.h"
#include "vorodud/LatexToAnsi.h"

#include <gtest/gtest.h>

namespace cvx::vorodud {
namespace {

TEST(BibtexTest, LatexToCodePage1252) {
    struct Case {
        std::string latex;
        std::string ansi;
    } cases[] = {
        {"Laid{\\'e} and {\\\"O}zge, M\\\"uller", "Laid\xE9 and \xD6zge, M\xFCller"},
        {"Aks{\\i}n, {\\c{C}}etinkaya, \\v{S}koda, \\l{}ukasz", "Aksin, \xC7"
                                                                "etinkaya, \x8Akoda, lukasz"},
        {"{\\ss} \\o \\AA{} \\ae", "\xDF \xF8\xC5 \xE6"}, // a blank ends a command name
        {"pages 12--23 --- done ``quoted''", "pages 12\x96"
                                             "23 \x97 done \x93quoted\x94"},
        {"{An} amazing {title}", "An amazing title"},
        {"$\\beta$-catenin at $37^{\\circ}$C, H$_2$O", "#Gb#G-catenin at 37#^\xB0#^C, H#v2#vO"},
        {"\\emph{in vivo} and \\textbf{bold}", "#Iin vivo#I and #Bbold#B"},
        {"AT\\&T 50\\% \\url{x}", "AT&T 50% x"},
        {"n.s.~2", "n.s. 2"},
        {"multi\n   line\ttext", "multi line text"},
        {"\\'{}", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LatexToAnsi(c.latex), c.ansi) << c.latex;
    }
}

// The letters and signs that the LaTeX writer spells by a command read back as themselves.
TEST(BibtexTest, WrittenLettersReadBack) {
    const std::string bytes = "\xC0\xC1\xC2\xC3\xC4\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD1\xD2\xD3"
                              "\xD4\xD5\xD6\xD9\xDA\xDB\xDC\xDD\xE0\xE1\xE2\xE3\xE4\xE7\xE8\xE9"
                              "\xEA\xEB\xEC\xED\xEE\xEF\xF1\xF2\xF3\xF4\xF5\xF6\xF9\xFA\xFB\xFC"
                              "\xFD\x8A\x9A\x9F\xFF\xC5\xE5\xC6\xE6\xD8\xF8\x8C\x9C\x86\x87\xA3"
                              "\xA7\xA9";
    for (const char byte : bytes) {
        const std::string latex = LatexChar(static_cast<unsigned char>(byte));
        ASSERT_NE(latex, std::string(1, byte));
        EXPECT_EQ(LatexToAnsi(latex), std::string(1, byte)) << latex;
    }
}

// The Greek letters that the LaTeX writer spells by a command read back as the same letters of
// the Symbol font; \phi, which sources write for either phi, reads as the curled one.
TEST(BibtexTest, WrittenGreekLettersReadBack) {
    for (const char c : std::string_view("abcdefghiklmnpqrstuvwxyzDFGJLPQSUVWXY")) {
        const auto letter = static_cast<unsigned char>(c);
        EXPECT_EQ(LatexToAnsi(LatexSymbol(letter)), SymbolMarkup(letter)) << LatexSymbol(letter);
    }
    EXPECT_EQ(LatexToAnsi(LatexSymbol('j')), SymbolMarkup('f'));
}

TEST(BibtexTest, EntriesMacrosAndValues) {
    BibtexReader reader;
    reader.SetText("% a comment\n@comment{ignored {nested}}\n@preamble{\"x\"}\n"
                   "@STRING{ieee = {Proceedings of the {IEEE}}}\n"
                   "@string(ns = \"New\" # \" Series\")\n"
                   "@InProceedings{key1,\n title = \"A {\"}quoted{\"} title\",\n"
                   " booktitle = ieee # \", \" # 2015,\n month = jan, year = 2015,\n"
                   " note = ns,\n}\n"
                   "an @ in running text\n"
                   "@article(key2, title={Nested {braces {deep}} here})\n"
                   "@book{key3, title = {cut short");
    auto e = reader.Next();
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->type, "inproceedings");
    EXPECT_EQ(e->key, "key1");
    EXPECT_EQ(e->Field("title"), "A {\"}quoted{\"} title");
    EXPECT_EQ(e->Field("booktitle"), "Proceedings of the {IEEE}, 2015");
    EXPECT_EQ(e->Field("month"), "January");
    EXPECT_EQ(e->Field("note"), "New Series");
    e = reader.Next();
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->key, "key2");
    EXPECT_EQ(e->Field("title"), "Nested {braces {deep}} here");
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_EQ(reader.Rest(), "@book{key3, title = {cut short");
    // Macros persist for the next text; the rest completes there.
    reader.SetText(reader.Rest() + "}, series = ieee}\n");
    e = reader.Next();
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->Field("title"), "cut short");
    EXPECT_EQ(e->Field("series"), "Proceedings of the {IEEE}");
    EXPECT_EQ(reader.Rest(), "");
}

} // namespace
} // namespace cvx::vorodud
