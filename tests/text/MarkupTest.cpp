#include "text/Markup.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

constexpr std::string_view kRtfHeader =
    "{\\rtf1\\ansi \\deff0 {\\fonttbl{\\f0\\froman\\fcharset0 Arial;}"
    "{\\f3\\froman\\fcharset2 Symbol;}}\r\n{\\colortbl\r\n\\red0\\green0\\blue0;}\r\n"
    "\\pard \r\n\\plain ";

std::string RtfBody(std::string_view text) {
    const std::string rtf = CodesToRtf(text);
    EXPECT_EQ(rtf.substr(0, kRtfHeader.size()), kRtfHeader);
    return rtf.substr(kRtfHeader.size());
}

TEST(CodesToPlainText, RemovesRecognisedCodesOnly) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"#Iitalic#I and #Bbold", "italic and bold"},
        {"##", "##"},
        {"a#Ob", "a#Ob"},
        {"x#Ly#Tz#Nw", "xyzw"},
        {"#Hhidden#H text", "hidden text"},
        {"#", "#"},
        {"50 # 3", "50 # 3"},
        {"##B", "#"},
        {"H#^2#^O", "H2O"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodesToPlainText(c.in), c.out) << c.in;
    }
}

TEST(RemoveCodes, StyleAndExportSetsDiffer) {
    EXPECT_EQ(RemoveStyleCodes("#Ba#B#Lb#Tc#P1#P#b2#b#H"), "a#Lb#Tc12#H");
    EXPECT_EQ(RemoveExportCodes("#Ba#B#P1#P#Ix#I#_u"), "a#P1#Px#_u");
}

TEST(CodesToRtf, ItalicGroupAndBoldClosedAtEnd) {
    EXPECT_EQ(RtfBody("#Iitalic#I and #Bbold"),
              "{\\plain \\i italic\r\n} and \r\n{\\plain \\b bold\r\n}\r\n}");
}

TEST(CodesToRtf, CodeTable) {
    struct Case {
        std::string_view in, body;
    } cases[] = {
        {"##", "#\r\n}"},
        {"a#Ob", "a\r\n\r\n\\par \\pard \\fi-360\\li360 b\r\n\r\n}"},
        {"#Ga#G", "{\\f3 \\u945a\r\n}\r\n}"},
        {"#La#T", "\\par a\r\n\\tab \r\n}"},
        {"#x", "#x\r\n}"},
        {"#U1#_", "{\\plain \\ul 1\r\n}\r\n}"},
        {"#v2#b3", "{\\plain \\dn 2\r\n{\\plain \\b\\dn 3\r\n}}\r\n}"},
        {"#Hsecret", "{\\plain \\v secret\r\n}\r\n}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RtfBody(c.in), c.body) << c.in;
    }
}

TEST(CodesToRtf, SymbolFontLettersAreGreekForEveryReader) {
    // The Symbol font is declared with its own character set (2), and each of its letters is the
    // Greek letter as a Unicode escape, the letter itself the fallback drawn in that font.
    struct Case {
        std::string_view in, body, why;
    } cases[] = {
        {"#Gab#G-ray", "{\\f3 \\u945a\\u946b\r\n}-ray\r\n\r\n}", "alpha and beta, then text"},
        {"#GW#G", "{\\f3 \\u937W\r\n}\r\n}", "a capital: Omega"},
        {"#G\xB3#G", "{\\f3 \\'B3\r\n}\r\n}", "a sign of the font keeps its byte"},
        {"ab", "ab\r\n\r\n}", "outside the font letters are letters"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RtfBody(c.in), c.body) << c.why;
    }
}

TEST(CodesToRtf, EscapesSpecialAndHighBytes) {
    EXPECT_EQ(RtfBody("a\\b{c}|\xE9~"), "a\\\\b\\{c\\}\\'7C\\'E9\\'7E\r\n\r\n}");
}

TEST(CodesToRtf, LongTextIsConvertedAndNeverSplitsAnEscape) {
    // 79 plain characters put the first escape across the 80-character line limit.
    std::string text(79, 'a');
    for (int i = 0; i < 10000; ++i) {
        text += "\xE9x{";
    }
    const std::string rtf = CodesToRtf(text);
    ASSERT_EQ(rtf.substr(0, 6), "{\\rtf1");
    std::size_t lineStart = kRtfHeader.size();
    while (lineStart < rtf.size()) {
        const std::size_t end = rtf.find("\r\n", lineStart);
        const std::string line = rtf.substr(lineStart, end - lineStart);
        EXPECT_LE(line.size(), 80u);
        // A line never ends inside "\'hh" or after a lone escaping backslash.
        const std::size_t lastEscape = line.rfind('\\');
        if (lastEscape != std::string::npos && line.size() > lastEscape + 1 &&
            line[lastEscape + 1] == '\'') {
            EXPECT_GE(line.size(), lastEscape + 4) << line;
        }
        if (!line.empty() && line.back() == '\\') {
            EXPECT_TRUE(line.size() >= 2 && line[line.size() - 2] == '\\') << line;
        }
        if (end == std::string::npos) {
            break;
        }
        lineStart = end + 2;
    }
    EXPECT_EQ(rtf.size() > 16384, true);
}

} // namespace
} // namespace cvx
