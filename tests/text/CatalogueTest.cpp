#include "text/Catalogue.h"
#include "text/MessageFill.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(MessageFill, PlaceholdersAndLineBreaks) {
    EXPECT_EQ(FillMessage2("Reference #%s1 from %s2", "12", "a.ref"), "Reference #12 from a.ref");
    EXPECT_EQ(FillMessage("a\\nb\\nc %s", "x"), "a\rb\rc x");
    EXPECT_EQ(FillMessage2("Tagged: %s1/%s2", "3", "120"), "Tagged: 3/120");
    EXPECT_EQ(FillMessage("no placeholder\\n", "x"), "no placeholder\r");
    EXPECT_EQ(FillMessage3("%s3%s2%s1", "1", "2", "3"), "321");
}

TEST(MessageFill, OnlyTheTemplateIsFilled) {
    struct Case {
        std::string_view text, a1, a2, a3, filled, why;
    } cases[] = {
        {"Open %s1 as %s2", "/tmp/%s2.ref", "RIS", "", "Open /tmp/%s2.ref as RIS",
         "a file name holding %s2 is not filled a second time"},
        {"%s1 and %s2", "a", "%s1", "", "a and %s1", "nor is a later value"},
        {"%s2 before %s1", "x%s2", "y", "", "y before x%s2", "placeholders out of order"},
        {"%s1, %s2, %s3", "%s3", "%s3", "c", "%s3, %s3, c", "three values, each once"},
        {"only %s2 twice %s2", "a", "b", "", "only b twice %s2", "the first of each is filled"},
    };
    for (const Case& c : cases) {
        const std::string filled = c.a3.empty() ? FillMessage2(c.text, c.a1, c.a2)
                                                : FillMessage3(c.text, c.a1, c.a2, c.a3);
        EXPECT_EQ(filled, c.filled) << c.why;
    }
    EXPECT_EQ(FillMessage("Cannot read %s", "50%s.txt"), "Cannot read 50%s.txt");
}

// Templates filled as their placeholders ask, with as many arguments as there are.
TEST(MessageFill, PlaceholdersCountedAndFilled) {
    const struct {
        const char* text;
        int count;
        std::vector<std::string> args;
        const char* filled;
    } cases[] = {
        {"plain\\n", 0, {}, "plain\r"},
        {"one %s", 1, {"x"}, "one x"},
        {"one %s", 1, {}, "one %s"},
        {"%s2 before %s1", 2, {"a", "b"}, "b before a"},
        {"%s1 and %s3", 3, {"a"}, "a and %s3"},
        {"%s1, %s2, %s3", 3, {"a", "b", "c"}, "a, b, c"},
        {"50%s", 1, {"!"}, "50!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceholderCount(c.text), c.count) << c.text;
        EXPECT_EQ(FillPlaceholders(c.text, c.args), c.filled) << c.text;
    }
}

TEST(Catalogue, ListsByNameWithOrWithoutPrefix) {
    EXPECT_EQ(MessageListNamed("GMSG_RefWin"), MsgList::RefWin);
    EXPECT_EQ(MessageListNamed("RefWin"), MsgList::RefWin);
    EXPECT_EQ(MessageListNamed("refwin"), std::nullopt);
    EXPECT_EQ(MessageListNamed("GMSG_"), std::nullopt);
}

TEST(Catalogue, EntriesByListAndIndex) {
    EXPECT_EQ(Message(msg::RefWin::MappingFile), "Mapping the file...");
    EXPECT_EQ(Msg(msg::RefWin::FileDisconnected, "a.ref"),
              "Reference file \"a.ref\"\rhad to be disconnected.");
    EXPECT_EQ(MessageListName(MsgList::FileOpen), "GMSG_FileOpen");
    EXPECT_EQ(FindMessageList("GMSG_RefWin"), MsgList::RefWin);
    EXPECT_EQ(FindMessageList("GMSG_Nothing"), std::nullopt);
    EXPECT_EQ(IndexOfMessage(MsgList::RefSorting, "Original order"), 6);
    EXPECT_EQ(IndexOfMessage(MsgList::RefSorting, ""), -1);
    EXPECT_EQ(Message({MsgList::RefWin, 10000}), "");
    EXPECT_EQ(Message({MsgList::RefWin, -1}), "");
    EXPECT_EQ(ShortText("Short|and the hint"), "Short");
}

TEST(Catalogue, NamesReachTheEntriesOfTheirIndexes) {
    EXPECT_EQ(Message(msg::RefWin::MappingFile), Message({MsgList::RefWin, 8}));
    EXPECT_EQ(Message(msg::CliImport::UnknownSourceType), Message({MsgList::CliImport, 4}));
    // A run of entries that follows a table: the first entry's name plus the position.
    EXPECT_EQ(Message(msg::RefWin::StatusCorrect + 3), Message(msg::RefWin::StatusDeleted));
    const MsgId id = msg::FileOpen::FilterRef;
    EXPECT_EQ(id.list, MsgList::FileOpen);
    EXPECT_EQ(id.index, 41);
}

TEST(Catalogue, MsgFillsAsManyPlaceholdersAsItHasArguments) {
    struct Case {
        std::string filled;
        std::string expected;
    };
    const Case cases[] = {
        // Without arguments only the line breaks are made.
        {Msg(msg::RefWin::NoReferencesInFile), "The file\r    \"%s\"\rcontains no references"},
        {Msg(msg::RefWin::TaggedWith, "x"), " Tagged with \"x\""},
        // One argument fills "%s", also the start of a "%s1".
        {Msg(msg::RefWin::TaggedCount, "3"), "Tagged: 31/%s2"},
        {Msg(msg::RefWin::TaggedCount, "3", std::string("120")), "Tagged: 3/120"},
        {Msg(msg::FileOpen::ReferenceBeyondEnd, "9", std::string_view("x.ref"), "4"),
         "Reference #9 in the file \"x.ref\"\r was requested but this file contains only 4 "
         "references."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.filled, c.expected);
    }
}

TEST(Catalogue, UnknownLanguageKeepsTheCurrentOne) {
    EXPECT_FALSE(SetMessageLanguage("xx"));
    EXPECT_EQ(MessageLanguage(), "en");
}

} // namespace
} // namespace cvx
