// The command strings of the desktop program: file names with reference requests, calls from
// other programs, and the names they leave in the recent-files list.

#include "shell/CommandString.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

using Kind = CommandRequest::Kind;

struct CommandCase {
    std::string command;
    Kind kind;
    std::string file;
    int position;
};

TEST(CommandString, ParsesFileNamesAndReferenceRequests) {
    const CommandCase cases[] = {
        {"refs.ref", Kind::OpenFile, "refs.ref", 0},
        {"  /home/u/my refs.ref  ", Kind::OpenFile, "/home/u/my refs.ref", 0},
        {"refs.ref <#12#>", Kind::OpenFile, "refs.ref", 11},
        {"refs.ref <# 12 #>", Kind::OpenFile, "refs.ref", 11},
        {"refs.ref <#x#>", Kind::OpenFile, "refs.ref", 0},
        {"refs.ref <#0#>", Kind::OpenFile, "refs.ref", 0},
        {"refs.ref <#-5#>", Kind::OpenFile, "refs.ref", 0},
        {"refs.ref <##>", Kind::OpenFile, "refs.ref", 0},
        // Without the closing marker the whole string is the name.
        {"refs.ref <#12", Kind::OpenFile, "refs.ref <#12", 0},
        {"", Kind::Nothing, "", 0},
        {"   ", Kind::Nothing, "", 0},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.command);
        const CommandRequest r = ParseCommandString(c.command);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.file, c.file);
        EXPECT_EQ(r.position, c.position);
    }
}

TEST(CommandString, ParsesCallsFromOtherPrograms) {
    const CommandCase cases[] = {
        {"ZEROREV.EXE <#-1#>", Kind::ToolsListPage, "", 0},
        {"c:\\prog\\zerorev.exe<#-1#>", Kind::ToolsListPage, "", 0},
        {"CITAVOX.EXE <#-1#>", Kind::Nothing, "", 0},
        {"CITAVOX.EXE /data/refs.ref 7 <#-1#>", Kind::OpenFile, "/data/refs.ref", 6},
        {"citavox.exe /data/my refs.ref 1<#-1#>", Kind::OpenFile, "/data/my refs.ref", 0},
        {"/data/refs.ref <#-1#>", Kind::OpenFile, "/data/refs.ref", 0},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.command);
        const CommandRequest r = ParseCommandString(c.command);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.file, c.file);
        EXPECT_EQ(r.position, c.position);
    }
    const CommandRequest document = ParseCommandString("ZOZIZO.EXE  paper.rtf <#-1#>");
    EXPECT_EQ(document.kind, Kind::ToolsDocumentPage);
    EXPECT_EQ(document.document, "paper.rtf");
}

TEST(CommandString, RecentEntryDropsRequestAndProgramName) {
    EXPECT_EQ(RecentEntryName("refs.ref <#12#>"), "refs.ref");
    EXPECT_EQ(RecentEntryName("refs.ref <#12"), "refs.ref <#12");
    EXPECT_EQ(RecentEntryName("CITAVOX.EXE /data/refs.ref 7"), "/data/refs.ref");
    EXPECT_EQ(RecentEntryName("  /data/refs.ref "), "/data/refs.ref");
}

TEST(CommandString, JoinsArgumentsAndTellsFileKinds) {
    EXPECT_EQ(JoinCommandLine({"refs.ref", "<#12#>"}), "refs.ref <#12#>");
    EXPECT_EQ(JoinCommandLine({}), "");
    EXPECT_TRUE(NamesFormatFile(" style.FOR "));
    EXPECT_FALSE(NamesFormatFile("refs.ref"));
    EXPECT_TRUE(NamesReferenceFile("a/b.Ref"));
    EXPECT_FALSE(NamesReferenceFile("a.ref/b"));
}

} // namespace
} // namespace cvx
