// The list line of a reference window: read without moving the window's cursor, and fitted into
// a row's width by shortening the title only.

#include "refstore/ListLine.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::JournalBlock;

// Every character one pixel wide, markup codes included: enough to see which words are dropped.
int Width(std::string_view text) {
    return static_cast<int>(text.size());
}

TEST(ReadListLine, OneLineFormAndStatusWithoutMovingTheCursor) {
    test::TempDir dir;
    const std::string path = dir.Write(
        "refs.ref", JournalBlock("A1", "Smith, J.", "First title.", "1998 (1) pp 1-2", "Nature") +
                        JournalBlock("A2", "Smith J", "Second.", "1999 (2) pp 3", "Science") +
                        " DELETED\r\n\r\n");
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.GoTo(1).ok());
    struct Case {
        int index;
        std::string text;
        RefStatus status;
    } cases[] = {
        {0, "#B1998#B Smith: !T!T!TFirst title!T!T!T #INature#I", RefStatus::FormallyCorrect},
        {1, "#B1999#B Smith: !T!T!TSecond!T!T!T #IScience#I", RefStatus::Suspect},
        {2, "#IDeleted#I", RefStatus::Deleted},
    };
    for (const Case& c : cases) {
        ListLine line;
        ASSERT_TRUE(ReadListLine(*file.Reader(), c.index, {}, line).ok());
        EXPECT_EQ(line.text, c.text);
        EXPECT_EQ(line.status, c.status) << c.index;
    }
    EXPECT_EQ(file.CurrentIndex(), 1);
    EXPECT_EQ(file.IdentificationString(), "A2");
}

TEST(ReadListLine, LongLinesAreCut) {
    test::TempDir dir;
    const std::string title(400, 'x');
    const std::string path =
        dir.Write("long.ref", JournalBlock("L", "Smith, J.", title, "2001 (1) pp 1", "Cell"));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    ListLine line;
    ASSERT_TRUE(ReadListLine(*file.Reader(), 0, {}, line).ok());
    EXPECT_EQ(line.text.size(), kMaxListLine);
}

TEST(FitListLine, ShortensTheTitleOnly) {
    const std::string line = "#B1998#B Smith: !T!T!TOne two three four!T!T!T #INature#I";
    struct Case {
        int width;
        std::string fitted;
    } cases[] = {
        {200, "#B1998#B Smith: One two three four #INature#I"},
        {44, "#B1998#B Smith: One two three... #INature#I"},
        {38, "#B1998#B Smith: One two... #INature#I"},
        {30, "#B1998#B Smith: ... #INature#I"},
        {5, "#B1998#B Smith: ... #INature#I"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitListLine(line, c.width, Width), c.fitted) << c.width;
    }
}

TEST(FitListLine, LinesWithoutATitleLoseTheirLastWords) {
    EXPECT_EQ(FitListLine("  #IDeleted#I", 50, Width), "#IDeleted#I");
    EXPECT_EQ(FitListLine("#B2001#B Jones: #IA book title#I", 24, Width),
              "#B2001#B Jones: #IA book");
    // One marker alone is dropped and the line kept.
    EXPECT_EQ(FitListLine("a !T!T!Tb", 50, Width), "a b");
}

TEST(ShownListText, EmptyYearAndEmptyTitle) {
    EXPECT_EQ(ShownListText("#B#B Smith: x"), "#B0000#B Smith: x");
    EXPECT_EQ(ShownListText("#B1#B Smith: !T!T!T!T!T!T #IJ#I"),
              "#B1#B Smith: #I<lacks title>#I #IJ#I");
}

} // namespace
} // namespace cvx
