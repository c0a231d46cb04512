#include "text/AnsiWriter.h"
#include "text/SourceDecoding.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(AnsiWriterTest, TodaysTextInCodePage1252) {
    struct Case {
        std::string utf8;
        std::string ansi;
    } cases[] = {
        {"M\u00fcller, Bj\u00f8rn, Pr\u00e9issel, \u00df",
         "M\xFCller, Bj\xF8rn, Pr\xE9issel, \xDF"},
        {"\u03b2-catenin and \u03b1\u03b2 T cells", "#Gb#G-catenin and #Gab#G T cells"},
        {"p \u2264 0.05, \u0394G", "p #G\xA3#G 0.05, #GD#G"
                                   "G"},
        {"\u201cquoted\u201d \u2013 dash\u2009thin\u00a0space \u2212 minus",
         "\x93quoted\x94 \x96 dash thin space - minus"},
        {"Kami\u0144ska, Kukie\u0142ka-Budny, \u015eahin, Dvo\u0159\u00e1k",
         "Kaminska, Kukielka-Budny, Sahin, Dvor\xE1k"},
        {"\u01d8 keeps its diaeresis", "\xFC keeps its diaeresis"},
        {"\u041f\u0440\u0438\u0432\u0435\u0442 \u0416\u0443\u043a", "Privet Zhuk"},
        {"\ufb01ne \u2122 \u20ac \u4e2d", "fine \x99 \x80 ?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
    }
}

TEST(AnsiWriterTest, SymbolRunsCloseAtLineEnds) {
    EXPECT_EQ(Utf8ToAnsi("\u03b1\n\u03b2"), "#Ga#G\n#Gb#G");
}

TEST(SourceDecodingTest, EncodingsAndByteOrderMarks) {
    EXPECT_EQ(DecodeSourceText("\xEF\xBB\xBFTY  - x"), "TY  - x");
    EXPECT_EQ(DecodeSourceText(std::string("\xFF\xFET\0Y\0\xFC\0", 8)), "TY\xFC");
    EXPECT_EQ(DecodeSourceText(std::string("\xFE\xFF\0T\0Y", 6)), "TY");
    EXPECT_EQ(DecodeSourceText(std::string("T\0Y\0 \0-\0", 8)), "TY -");
    // Single-byte text stays as it is; stray bytes in UTF-8 text are read as code page 1252.
    EXPECT_EQ(DecodeSourceText("caf\xE9 \xB0"
                               "C"),
              "caf\xE9 \xB0"
              "C");
    EXPECT_EQ(DecodeSourceText("\xC3\xA9 and \xE9"), "\xE9 and \xE9");
    // A UTF-16 surrogate pair (outside the code page) and a lone surrogate.
    EXPECT_EQ(DecodeSourceText(std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xDC", 8)), "??");
}

TEST(SourceDecodingTest, SequencesCutByChunks) {
    const std::string text = "a\xC3\xA9"
                             "b\xE2\x80\x93"
                             "c\xF0\x9F\x98\x80";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        SourceDecoder decoder(SourceEncoding::Utf8);
        std::string out = decoder.Decode(std::string_view(text).substr(0, cut), false);
        out += decoder.Decode(std::string_view(text).substr(cut), true);
        EXPECT_EQ(out, "a\xE9"
                       "b\x96"
                       "c?")
            << cut;
    }
    const std::string utf16("a\0\xE9\0", 4);
    for (std::size_t cut = 0; cut <= utf16.size(); ++cut) {
        SourceDecoder decoder(SourceEncoding::Utf16LE);
        std::string out = decoder.Decode(std::string_view(utf16).substr(0, cut), false);
        out += decoder.Decode(std::string_view(utf16).substr(cut), true);
        EXPECT_EQ(out, "a\xE9") << cut;
    }
}

} // namespace
} // namespace cvx
