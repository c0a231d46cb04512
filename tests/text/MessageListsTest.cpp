#include "text/Catalogue.h"
#include "text/MessageFill.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace cvx {
namespace {

// The lists in catalogue order, each with its length.
TEST(MessageLists, EveryListHasItsLength) {
    struct ListLength {
        std::string_view name;
        int count;
    };
    const ListLength lists[] = {
        {"GMSG_CreateIDX", 8},
        {"GMSG_RefWin", 56},
        {"GMSG_FieldNames", 17},
        {"GMSG_FontStyles", 6},
        {"GMSG_SourceTypes", 3},
        {"GMSG_CharSorting", 10},
        {"GMSG_ReplaceManuscripts", 5},
        {"GMSG_FileOpen", 58},
        {"GMSG_CreateFormDocs", 19},
        {"GMSG_Manusproduction", 18},
        {"GMSG_YesNo", 9},
        {"GMSG_VoxComp", 30},
        {"GMSG_RefSorting", 7},
        {"GMSG_ZerOrev", 32},
        {"GMSG_WordDocs", 4},
        {"GMSG_JournalNames", 35},
        {"GMSG_Preferences", 9},
        {"GMSG_EditRefDlg", 35},
        {"GMSG_VoxSort", 9},
        {"GMSG_CreateFormats", 19},
        {"GMSG_VorOdud", 16},
        {"GMSG_ListOutputs", 3},
        {"GMSG_SortDisplay", 19},
        {"GMSG_Threads", 11},
        {"GMSG_Search", 20},
        {"GMSG_Export", 3},
        {"GMSG_CheckFormat", 6},
    };
    ASSERT_GE(kMessageListCount, 27);
    for (int i = 0; i < 27; ++i) {
        const auto list = static_cast<MsgList>(i);
        EXPECT_EQ(MessageListName(list), lists[i].name);
        EXPECT_EQ(MessageCount(list), lists[i].count) << lists[i].name;
        EXPECT_EQ(FindMessageList(lists[i].name), list);
    }
}

// Entries byte for byte in code page 1252: the first and last of every list, and entries with
// line breaks, placeholders, quotes, markup codes, hint separators, trailing blanks and
// characters beyond ASCII.
TEST(MessageLists, SampleEntriesByteForByte) {
    struct Sample {
        MsgList list;
        int index;
        std::string_view text;
    };
    const Sample samples[] = {
        {MsgList::CreateIDX, 0, "Initializing ...."},
        {MsgList::CreateIDX, 7, "Indexing aborted."},
        {MsgList::RefWin, 0, "Tagged: %s1/%s2"},
        {MsgList::RefWin, 5, " Tagged with \"%s\""},
        {MsgList::RefWin, 7, "The file\\n    \"%s\"\\ncontains no references"},
        {MsgList::RefWin, 28,
         "While sorting the display of %s1,\\n%s2 reference was found to be a suspected "
         "duplicate.\\n\\nDo you want to tag this reference?"},
        {MsgList::RefWin, 46, "#I<lacks title>#I"},
        {MsgList::RefWin, 51,
         "Format seems formally correct|This reference seems formally correct"},
        {MsgList::RefWin, 55, " [No comments]"},
        {MsgList::FieldNames, 0, "Id string"},
        {MsgList::FieldNames, 16, "Translated booktitle"},
        {MsgList::FontStyles, 0, "Normal"},
        {MsgList::FontStyles, 5, "Subscript"},
        {MsgList::SourceTypes, 0, "Journal source"},
        {MsgList::SourceTypes, 2, "Monograph source"},
        {MsgList::CharSorting, 0, "Swedish"},
        {MsgList::CharSorting, 9, "Danish - AA first"},
        {MsgList::ReplaceManuscripts, 0, "Scanning document...."},
        {MsgList::ReplaceManuscripts, 4, "Loading Word..."},
        {MsgList::FileOpen, 0, "Unable to open\\n%s"},
        {MsgList::FileOpen, 7,
         "Reference #%s1 in the file \"%s2\"\\n was requested but this file contains only %s3 "
         "references."},
        {MsgList::FileOpen, 26, "Removed RN of ref #%s "},
        {MsgList::FileOpen, 38, "MS-DOS Text file (*.asc)|*.asc"},
        {MsgList::FileOpen, 57, "Cannot copy references back to original reference file"},
        {MsgList::CreateFormDocs, 0, "Failed to find \\\"test..%s\\\"."},
        {MsgList::CreateFormDocs, 18,
         "Reference #%s2 from the file\\n\"%s3\"\\n was requested in pseudo-citation #%s1 "
         "but\\nthis reference has been deleted or is invalid."},
        {MsgList::Manusproduction, 0,
         "Unable to read reference number of pseudo-citation #%s1:\\n\"{{%s2}}\"."},
        {MsgList::Manusproduction, 17, "Note: File path alias was used to identify the file"},
        {MsgList::YesNo, 0, "No"},
        {MsgList::YesNo, 8, "Alias list has changed. Save changes?"},
        {MsgList::VoxComp, 0, "Comparing files"},
        {MsgList::VoxComp, 29, "Name of New file"},
        {MsgList::RefSorting, 0, "Author (Year (Journal (Volume (Page))))"},
        {MsgList::RefSorting, 6, "Original order"},
        {MsgList::ZerOrev, 0, "Creating a list"},
        {MsgList::ZerOrev, 31, "Reference list was created."},
        {MsgList::WordDocs, 0, "Loading Word..."},
        {MsgList::WordDocs, 3, "Inserting a reference list..."},
        {MsgList::JournalNames, 0, "As in reference file"},
        {MsgList::JournalNames, 34, "Citavox: Edit journal name database"},
        {MsgList::Preferences, 0, "Identification string"},
        {MsgList::Preferences, 8, "Do you want to abandon changes that you have made?"},
        {MsgList::EditRefDlg, 0, "The author field was left empty. Accept?"},
        {MsgList::EditRefDlg, 34,
         "The journal \"%s\" requires an issue according to \\nthe journal name database but no "
         "issue was entered.\\nChange?"},
        {MsgList::VoxSort, 0, "Sorting a file"},
        {MsgList::VoxSort, 8, " DUPLICATE ????"},
        {MsgList::CreateFormats, 0,
         "Out of space for the allocated format: last definition ignored.\\nConsider to eliminate "
         "text strings associated with NOT used fields."},
        {MsgList::CreateFormats, 18, "&Truncate year"},
        {MsgList::VorOdud, 0, "Importing file..."},
        {MsgList::VorOdud, 15,
         "The destination reference file already exists.\\nDo you want to append references to the "
         "file or overwrite it?"},
        {MsgList::ListOutputs, 0, "Text (*.txt)"},
        {MsgList::ListOutputs, 2, "Microsoft Word (*.doc)"},
        {MsgList::SortDisplay, 0, "Sorting display..."},
        {MsgList::SortDisplay, 12,
         "1\xB7"
         " Author name ..."},
        {MsgList::SortDisplay, 18,
         "7\xB7"
         " Original order"},
        {MsgList::Threads, 0,
         "Multiple program threads are already running.\\nPlease, try this command again in a few "
         "moments."},
        {MsgList::Threads, 10, "\"checking structure\""},
        {MsgList::Search, 0, "Indexed fields"},
        {MsgList::Search, 19, "Sorting display order..."},
        {MsgList::Export, 0, "Exporting references"},
        {MsgList::Export, 2, "Export aborted."},
        {MsgList::CheckFormat, 0, "No formal errors detected..."},
        {MsgList::CheckFormat, 5, "Checking formal errors was aborted. "},
        // Entries whose wording the catalogue chooses.
        {MsgList::YesNo, 2, ""},
        {MsgList::ZerOrev, 23, ""},
    };
    for (const Sample& s : samples) {
        EXPECT_EQ(Message({s.list, s.index}), s.text) << MessageListName(s.list) << " " << s.index;
    }
    EXPECT_FALSE(Message(msg::YesNo::DownloadAddress).empty());
    EXPECT_FALSE(Message(msg::ZerOrev::GeneratedByCitavox).empty());
}

// How many arguments an entry takes, counted the way its fill function reads it.
struct Placeholders {
    int bare = 0;     // "%s"
    int numbered = 0; // "%s1".."%s3"
    int lineBreaks = 0;
    bool operator==(const Placeholders&) const = default;
};

Placeholders PlaceholdersOf(std::string_view text) {
    Placeholders p;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] == 's') {
            const bool digit = i + 2 < text.size() && text[i + 2] >= '1' && text[i + 2] <= '3';
            ++(digit ? p.numbered : p.bare);
        } else if (text[i] == '\\' && text[i + 1] == 'n') {
            ++p.lineBreaks;
        }
    }
    return p;
}

TEST(MessageLists, NoEntryMixesPlaceholderKinds) {
    // FillMessage fills "%s" and FillMessage2/3 "%s1".."%s3": an entry with both kinds would keep
    // one of them unfilled whichever function its caller uses.
    for (int l = 0; l < kMessageListCount; ++l) {
        const auto list = static_cast<MsgList>(l);
        for (int i = 0; i < MessageCount(list); ++i) {
            const Placeholders p = PlaceholdersOf(Message({list, i}));
            EXPECT_FALSE(p.bare > 0 && p.numbered > 0) << MessageListName(list) << " " << i;
            EXPECT_LE(p.bare, 1) << MessageListName(list) << " " << i;
        }
    }
}

class Swedish : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetMessageLanguage("sv")); }
    void TearDown() override { SetMessageLanguage("en"); }
};

TEST_F(Swedish, TranslatedEntriesAndTheEnglishFallback) {
    EXPECT_EQ(MessageLanguage(), "sv");
    EXPECT_EQ(Message(msg::YesNo::Yes), "Ja");
    EXPECT_EQ(Message(msg::FontStyles::Subscript), "Neds\xE4"
                                                   "nkt");
    // Beyond the end of the translated list, and in its gaps: the English entry.
    EXPECT_EQ(Message(msg::CharSorting::English), "Engelska");
    EXPECT_EQ(Message(msg::CharSorting::JapaneseShiftJis), "Japanese (Shift-JIS)");
    EXPECT_EQ(Message(msg::CharSorting::DanishAaFirst), "Danish - AA first");
    EXPECT_EQ(Message(msg::CreateIDX::ProcessedWords), "Processed %s words");
    EXPECT_EQ(Msg(msg::CreateIDX::ProcessedWords, "12"), "Processed 12 words");
    EXPECT_EQ(Message(msg::CreateIDX::IndexingCompleted), "Indexeringen \xE4r klar.");
    // A list the translation lacks altogether.
    EXPECT_EQ(Message(msg::RefWin::MappingFile), "Mapping the file...");
    // Beyond the English list too, or before it: nothing, never a crash.
    EXPECT_EQ(Message({MsgList::CharSorting, 10}), "");
    EXPECT_EQ(Message({MsgList::YesNo, -1}), "");
    // Names chosen in the interface map back in the language they were shown in.
    EXPECT_EQ(IndexOfMessage(MsgList::CharSorting, "Svenska"), 0);
    EXPECT_EQ(IndexOfMessage(MsgList::CharSorting, "German"), 8);
    EXPECT_EQ(MessageCount(MsgList::CharSorting), 10);
}

TEST_F(Swedish, TranslationsKeepThePlaceholdersAndLineBreaks) {
    for (int l = 0; l < kMessageListCount; ++l) {
        const auto list = static_cast<MsgList>(l);
        for (int i = 0; i < MessageCount(list); ++i) {
            const std::string swedish = Message({list, i});
            SetMessageLanguage("en");
            const std::string english = Message({list, i});
            SetMessageLanguage("sv");
            EXPECT_EQ(PlaceholdersOf(swedish), PlaceholdersOf(english))
                << MessageListName(list) << " " << i;
        }
    }
}

} // namespace
} // namespace cvx
