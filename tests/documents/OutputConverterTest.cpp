#include "documents/OutputConverter.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

const TDocumentDefinition& Definition(std::string_view name) {
    static const TDocumentLibrary library = [] {
        TDocumentLibrary l;
        EXPECT_TRUE(l.Load(CITAVOX_DOCUMENT_LIBRARY).ok());
        return l;
    }();
    return library.Definition(library.FormatIndex(name));
}

std::string Convert(std::string_view format, std::string_view text, bool utf8 = false) {
    const TDocumentDefinition& d = Definition(format);
    return OutputConverter(KindOfDefinition(d.name), &d, utf8).Convert(text);
}

TEST(OutputConverter, WritesEachDocumentKindsCodesAndCharacters) {
    struct Case {
        std::string format;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        // RTF: text that means something to RTF is escaped, styles are groups, Greek letters are
        // Unicode escapes, characters above 127 \'hh escapes.
        {"Rich Text Format (RTF)", "a{b}\\c ##1 #Iit#I", "a\\{b\\}\\\\c #1 {\\i it}"},
        {"Rich Text Format (RTF)", "#Gab#G M\xFC\x96", "\\u945?\\u946? M\\'fc\\'96"},
        {"Rich Text Format (RTF)", "#L#T#O", "\\par \\tab \\par\\fi-720\\li720 "},
        // Overlapping styles are nested: switching off the outer one closes and reopens the inner.
        {"Rich Text Format (RTF)", "#Bb #Ibi#B i#I", "{\\b b {\\i bi}}{\\i  i}"},
        // A style left on is switched off at the end; an unknown code is text.
        {"Rich Text Format (RTF)", "#Bbold #x", "{\\b bold #x}"},
        // WordPerfect: attributes, extended characters, Greek in set 8, soft spaces in 6.
        {"WordPerfect 5.1/5.2", "#Ba#B \xE9",
         "\xC3\x0C\xC3"
         "a\xC4\x0C\xC4 \xC0\x29\x01\xC0"},
        {"WordPerfect 5.1/5.2", "#Gb#G", std::string("\xC0\x03\x08\xC0", 4)},
        {"WordPerfect 6.0/6.1", "a b",
         "a\x80"
         "b"},
        // Plain formats: their own codes and characters.
        {"Text (ASCI)",
         "#IStra\xDF"
         "e#I \x93q\x94",
         "Strasse \"q\""},
        {"WordStar 5.0", "#Ux#U \xE9", "\x13x\x13 \x1B\x82\x1C"},
        {"Text (ANSI)", "a\tb\x01#Lc", "ab\r\nc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Convert(c.format, c.in), c.out) << c.format << ": " << c.in;
    }
    // A UTF-8 text document gets UTF-8 characters.
    EXPECT_EQ(Convert("Text (ANSI)", "M\xFCller", true), "M\xC3\xBCller");
}

TEST(OutputConverter, LatexEscapesTheTextAndWritesLatexCommands) {
    const OutputConverter latex(DocumentKind::Latex, nullptr, false);
    EXPECT_EQ(latex.Convert("#IJ Test#I 50% & M\xFCller_1 #L#Ga#G"),
              "\\textit{J Test} 50\\% \\& M\\\"{u}ller\\_1 \\par $\\alpha$");
    EXPECT_EQ(latex.Convert("Smith \xFE\xFE\xFE, 1986"), "Smith et al., 1986");
}

} // namespace
} // namespace cvx
