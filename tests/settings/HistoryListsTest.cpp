#include "SettingsTestSupport.h"

#include "settings/HistoryLists.h"

namespace cvx {
namespace {

using testing::SettingsTest;

using Names = std::vector<std::string>;

TEST(HistoryLists, PushingMovesOrInsertsAtTheTop) {
    HistoryLists h;
    for (int i = 1; i <= 5; ++i) {
        h.PushHistory(HistoryList::TagStrings, "e" + std::to_string(i));
    }
    // A text that is already third moves to the top; the others keep their order.
    h.PushHistory(HistoryList::TagStrings, "e3");
    EXPECT_EQ(h.Entries(HistoryList::TagStrings), (Names{"e3", "e5", "e4", "e2", "e1"}));
    // Equal means exactly equal.
    h.PushHistory(HistoryList::TagStrings, "E3");
    EXPECT_EQ(h.Entries(HistoryList::TagStrings).front(), "E3");
    EXPECT_EQ(h.Entries(HistoryList::TagStrings).size(), 6u);

    for (int i = 0; i < 30; ++i) {
        h.PushHistory(HistoryList::GetStrings, "g" + std::to_string(i));
    }
    const Names get = h.Entries(HistoryList::GetStrings);
    ASSERT_EQ(get.size(), 21u);
    EXPECT_EQ(get.front(), "g29");
    EXPECT_EQ(get.back(), "g9");
    h.PushHistory(HistoryList::GetStrings, "g15");
    EXPECT_EQ(h.Entries(HistoryList::GetStrings).size(), 21u);

    // A blank text would end the list at the next save.
    h.PushHistory(HistoryList::GetStrings, "  ");
    EXPECT_EQ(h.Entries(HistoryList::GetStrings).front(), "g15");
    h.ClearHistory(HistoryList::GetStrings);
    EXPECT_TRUE(h.Entries(HistoryList::GetStrings).empty());
    EXPECT_EQ(h.Entries(HistoryList::TagStrings).size(), 6u);
}

TEST(HistoryLists, ReprintNumbersMatchByDigitPattern) {
    HistoryLists h;
    h.PushReprintNumber(HistoryList::ReprintNumbers, "AB77");
    h.PushReprintNumber(HistoryList::ReprintNumbers, "RN0123");
    h.PushReprintNumber(HistoryList::ReprintNumbers, "X1-2");
    h.PushReprintNumber(HistoryList::ReprintNumbers, "RN0124");
    EXPECT_EQ(h.Entries(HistoryList::ReprintNumbers), (Names{"RN0124", "X1-2", "AB77"}));
    h.PushReprintNumber(HistoryList::ReprintNumbers, "AB0123");
    EXPECT_EQ(h.Entries(HistoryList::ReprintNumbers), (Names{"AB0123", "RN0124", "X1-2"}));
    // PushHistory compares exactly, also on this list.
    h.PushHistory(HistoryList::ReprintNumbers, "RN0125");
    EXPECT_EQ(h.Entries(HistoryList::ReprintNumbers).size(), 4u);
}

TEST_F(SettingsTest, HistoryListsLoadAndSave) {
    WriteConfig("[Strings]\n"
                "Tag%20strings\\0=first\n"
                "Tag%20strings\\1=\" second \"\n"
                "Tag%20strings\\2=\"   \"\n"
                "Tag%20strings\\3=fourth\n"
                "Tag%20strings\\21=beyond\n"
                "Tag%20strings\\05=padded\n"
                "Pick%20file\\0=/home/\xC3\xBC/a.ref\n"
                "Locate%20strings\\0=caf\xC3\xA9 AND tea\n");
    HistoryLists h;
    h.LoadHistoryLists(store);
    // A blank value leaves its slot empty; the list ends there for its users.
    EXPECT_EQ(h.Slots(HistoryList::TagStrings),
              (std::deque<std::string>{"first", " second ", "", "fourth"}));
    EXPECT_EQ(h.Entries(HistoryList::TagStrings), (Names{"first", " second "}));
    EXPECT_EQ(h.Entries(HistoryList::PickFile), Names{"/home/\xC3\xBC/a.ref"});
    EXPECT_EQ(h.Entries(HistoryList::LocateStrings), Names{"caf\xE9 AND tea"});

    // Saving a list whose third slot is empty writes only "0" and "1".
    ASSERT_TRUE(h.SaveHistoryLists(store));
    EXPECT_EQ(store.SectionValues("Strings\\Tag strings"),
              (SettingValues{{"0", "first"}, {"1", " second "}}));
    EXPECT_EQ(store.SectionValues("Strings\\Locate strings"),
              (SettingValues{{"0", "caf\xC3\xA9 AND tea"}}));
    EXPECT_TRUE(store.SectionValues("Strings\\File alias").empty());

    HistoryLists again;
    again.LoadHistoryLists(store);
    EXPECT_EQ(again.Entries(HistoryList::TagStrings), (Names{"first", " second "}));
    EXPECT_EQ(again.Entries(HistoryList::PickFile), Names{"/home/\xC3\xBC/a.ref"});
}

} // namespace
} // namespace cvx
