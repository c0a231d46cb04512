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
    // An argument inserted for %s1 may carry a %s2 that is filled in turn; one inserted for %s2
    // is left alone.
    EXPECT_EQ(FillMessage2("%s1 and %s2", "<%s2>", "b"), "<b> and %s2");
    EXPECT_EQ(FillMessage2("%s1 and %s2", "a", "%s2"), "a and %s2");
    EXPECT_EQ(FillMessage3("%s3%s2%s1", "1", "2", "3"), "321");
}

TEST(Catalogue, EntriesByListAndIndex) {
    EXPECT_EQ(Message(MsgList::RefWin, 8), "Mapping the file...");
    EXPECT_EQ(Msg(MsgList::RefWin, 9, "a.ref"),
              "Reference file \"a.ref\"\rhad to be disconnected.");
    EXPECT_EQ(MessageListName(MsgList::FileOpen), "GMSG_FileOpen");
    EXPECT_EQ(FindMessageList("GMSG_RefWin"), MsgList::RefWin);
    EXPECT_EQ(FindMessageList("GMSG_Nothing"), std::nullopt);
    EXPECT_EQ(IndexOfMessage(MsgList::RefSorting, "Original order"), 6);
    EXPECT_EQ(IndexOfMessage(MsgList::RefSorting, ""), -1);
    EXPECT_EQ(Message(MsgList::RefWin, 10000), "");
    EXPECT_EQ(Message(MsgList::RefWin, -1), "");
    EXPECT_EQ(ShortText("Short|and the hint"), "Short");
}

TEST(Catalogue, UnknownLanguageKeepsTheCurrentOne) {
    EXPECT_FALSE(SetMessageLanguage("xx"));
    EXPECT_EQ(MessageLanguage(), "en");
}

} // namespace
} // namespace cvx
