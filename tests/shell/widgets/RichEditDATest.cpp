// The rich-text control: marked-up text shown formatted and read back, hits, paragraphs, links
// and styles from the keyboard.

#include "RefWinTestSupport.h"

#include "shell/widgets/RichEditDA.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace cvx {
namespace {

class RichEditDATest : public ::testing::Test {
protected:
    // The character format at `position` (the character after it).
    QTextCharFormat FormatAt(int position) {
        QTextCursor cursor(edit_.document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

    // The application comes before the control, which needs it.
    bool application_ = (test::EnsureApplication(), true);
    RichEditDA edit_;
};

TEST_F(RichEditDATest, ReadsBackWhatItLoads) {
    const struct {
        const char* loaded;
        const char* shown;
        const char* readBack;
    } cases[] = {
        {"#BBold#B plain", "Bold plain", "#BBold#B plain"},
        // Italic, opened last, closes first.
        {"#Ba#Ib#B#I c", "ab c", "#Ba#Ib#I#B c"},
        {"x##y", "x##y", "x##y"},
        {"a#Nb", "a#Nb", "a#Nb"},
        {"H#v2#vO and x#^2#^ y", "H2O and x2 y", "H#v2#vO and x#^2#^ y"},
        // Codes still open at the end stay open: they toggle, so the text loads the same.
        {"x#^2", "x2", "x#^2"},
        {"#Ga#G b", "\u03b1 b", "#Ga#G b"},
        // Uniform formatting reads back as the plain text, even when all of it is bold.
        {"#Ball bold#B", "all bold", "all bold"},
        {"one#Ltwo#Tthree", "one\ntwo\tthree", "one#Ltwo#Tthree"},
        {"a #Uunder#U b", "a under b", "a #Uunder#U b"},
        // The second underline code reads back as the first.
        {"a #_under#_ b", "a under b", "a #Uunder#U b"},
        // Bold superscript and bold subscript read back as their two styles.
        {"x#P2#P y", "x2 y", "x#B#^2#^#B y"},
        {"H#b2#bO", "H2O", "H#B#v2#v#BO"},
    };
    for (const auto& c : cases) {
        edit_.LoadMarkedUpText(c.loaded);
        EXPECT_EQ(edit_.toPlainText(), QString::fromUtf8(c.shown)) << c.loaded;
        EXPECT_EQ(edit_.GetMarkedUpText(), c.readBack) << c.loaded;
    }
    edit_.LoadMarkedUpText("#BBold#B plain");
    EXPECT_EQ(FormatAt(0).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(5).fontWeight(), QFont::Bold);
    const struct {
        const char* loaded;
        int position;
        bool bold;
        bool underline;
        QTextCharFormat::VerticalAlignment alignment;
    } styles[] = {
        {"a #_u#_ b", 2, false, true, QTextCharFormat::AlignNormal},
        {"x#P2#P y", 1, true, false, QTextCharFormat::AlignSuperScript},
        {"x#P2#P y", 2, false, false, QTextCharFormat::AlignNormal},
        {"H#b2#bO", 1, true, false, QTextCharFormat::AlignSubScript},
    };
    for (const auto& c : styles) {
        edit_.LoadMarkedUpText(c.loaded);
        const QTextCharFormat format = FormatAt(c.position);
        EXPECT_EQ(format.fontWeight() == QFont::Bold, c.bold) << c.loaded;
        EXPECT_EQ(format.fontUnderline(), c.underline) << c.loaded;
        EXPECT_EQ(format.verticalAlignment(), c.alignment) << c.loaded;
    }
}

TEST_F(RichEditDATest, ColoursHitsOnlyWhenHitsAreShown) {
    const std::string text = std::string("a #\xFEword#\xFE z");
    edit_.SetTextStyle(edit_.font(), Qt::black);
    edit_.SetHitColours(false, Qt::green, Qt::red);
    edit_.LoadMarkedUpText(text);
    EXPECT_EQ(edit_.toPlainText(), "a word z");
    EXPECT_EQ(FormatAt(3).foreground().color(), QColor(Qt::black));
    edit_.SetHitColours(true, Qt::green, Qt::red);
    edit_.LoadMarkedUpText(text);
    EXPECT_EQ(FormatAt(3).foreground().color(), QColor(Qt::red));
    // Colours are for the eye only: the stored text never gets them back.
    EXPECT_EQ(edit_.GetMarkedUpText(), "a word z");
}

TEST_F(RichEditDATest, HangingParagraphsIndentTheirFollowingLines) {
    edit_.LoadMarkedUpText("#&first paragraph");
    const QTextBlockFormat hanging = edit_.document()->begin().blockFormat();
    EXPECT_GT(hanging.leftMargin(), 0);
    EXPECT_LT(hanging.textIndent(), 0);
    // The following lines start 25 points further in than the first.
    EXPECT_NEAR(-hanging.textIndent(), 25 * edit_.logicalDpiX() / 72.0, 0.5);
    edit_.LoadMarkedUpText("#%plain paragraph");
    EXPECT_EQ(edit_.document()->begin().blockFormat().textIndent(), 0);
}

TEST_F(RichEditDATest, ShowsBlanksAsDotsWhenAsked) {
    edit_.SetDisplaySpaces(true);
    edit_.LoadMarkedUpText("a b");
    EXPECT_EQ(edit_.toPlainText(), QString::fromUtf8("a\u00b7b"));
}

TEST_F(RichEditDATest, CollectsEachLinkOnce) {
    std::vector<std::string> links;
    edit_.LoadMarkedUpText("See http://example.org/a:b and /home/user/paper.pdf and "
                           "HTTP://EXAMPLE.ORG/A:B again",
                           &links);
    ASSERT_EQ(links.size(), 2U);
    EXPECT_EQ(links[0], "http://example.org/a:b");
    EXPECT_EQ(links[1].rfind("/home/user/paper.pdf", 0), 0U) << links[1];
}

TEST_F(RichEditDATest, CtrlBBoldsTheWordAtTheCaretAndLeavesTheCaret) {
    edit_.setReadOnly(false);
    edit_.LoadMarkedUpText("one two three");
    QTextCursor cursor = edit_.textCursor();
    cursor.setPosition(5); // inside "two"
    edit_.setTextCursor(cursor);
    QTest::keyClick(&edit_, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(edit_.textCursor().position(), 5);
    EXPECT_FALSE(edit_.textCursor().hasSelection());
    EXPECT_EQ(edit_.GetMarkedUpText(), "one #Btwo#B three");
    // Read-only displays take no styles from the keyboard.
    edit_.setReadOnly(true);
    QTest::keyClick(&edit_, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(edit_.GetMarkedUpText(), "one #Btwo#B three");
}

TEST_F(RichEditDATest, StyleZeroKeepsOnlyWhatMarkupExpresses) {
    edit_.setReadOnly(false);
    edit_.LoadMarkedUpText("#Ba#B b");
    QTextCursor cursor = edit_.textCursor();
    cursor.select(QTextCursor::Document);
    QTextCharFormat odd;
    odd.setFontStrikeOut(true);
    cursor.mergeCharFormat(odd);
    edit_.ApplyStyle(RichEditDA::Default);
    EXPECT_FALSE(FormatAt(0).fontStrikeOut());
    EXPECT_EQ(edit_.GetMarkedUpText(), "#Ba#B b");
}

} // namespace
} // namespace cvx
