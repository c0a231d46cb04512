// The hit marks of the displays: every occurrence of the words a search found, in the colour of
// its kind, found as the search folded them and never inside the codes of the text.

#include "search/HitMarks.h"
#include "search/SearchFolding.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

SearchHits Hits(std::vector<std::string> typed, HitColour colour, bool ignoreDiacritics = true) {
    SearchHits hits;
    hits.shown = true;
    hits.colour = colour;
    hits.ignoreDiacritics = ignoreDiacritics;
    for (const std::string& word : typed) {
        hits.words.push_back(FoldText(word, SearchFoldingTable(ignoreDiacritics)));
    }
    return hits;
}

TEST(HitMarksTest, MarksEveryOccurrenceInTheColourOfItsSearch) {
    const std::string get = "#\xFD#B";
    const std::string tag = "#B#\xFE";
    const struct {
        const char* what;
        std::string text;
        SearchHits hits;
        std::string marked;
    } cases[] = {
        {"every occurrence, any case", "Heart and heart", Hits({"heart"}, HitColour::Get),
         get + "Heart" + get + " and " + get + "heart" + get},
        {"tagging's colour", "Smith, J.", Hits({"smith"}, HitColour::Tag),
         tag + "Smith" + tag + ", J."},
        {"inside a word, as the scan finds it", "endocardium", Hits({"card"}, HitColour::Get),
         "endo" + get + "card" + get + "ium"},
        {"diacritics folded as the search folded them", "M\xFCller",
         Hits({"muller"}, HitColour::Get), get + "M\xFCller" + get},
        {"diacritics kept when the search kept them", "M\xFCller and Muller",
         Hits({"muller"}, HitColour::Get, false), "M\xFCller and " + get + "Muller" + get},
        {"blanks around a word are found, not marked", "a cat, a catalogue",
         Hits({" cat "}, HitColour::Get), "a cat, a catalogue"},
        {"blanks around a word are found, not marked", "a cat is a catalogue",
         Hits({" cat "}, HitColour::Get), "a " + get + "cat" + get + " is a catalogue"},
        {"a year range as typed", "1985-1990 (3)", Hits({"1985-1990"}, HitColour::Get),
         get + "1985-1990" + get + " (3)"},
        {"codes are no words", "#Bbold#B b", Hits({"b"}, HitColour::Get),
         "#B" + get + "b" + get + "old#B " + get + "b" + get},
        {"a word marked first is not marked again inside", "Smithson",
         Hits({"smith", "smithson"}, HitColour::Get), get + "Smith" + get + "son"},
        {"a marked year does not look like an empty one",
         "#B1998#B Smith:", Hits({"1998"}, HitColour::Tag),
         "#\xFE"
         "1998#B#\xFE#B Smith:"},
        {"an empty year stays one", "#B#B Smith:", Hits({"smith"}, HitColour::Tag),
         "#B#B " + tag + "Smith" + tag + ":"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MarkHits(c.text, c.hits), c.marked) << c.what;
    }
}

TEST(HitMarksTest, NothingIsMarkedAfterASearchThatFoundNothing) {
    SearchHits hits;
    SearchResult result;
    result.found = true;
    result.hitWords = {"HEART"};
    hits.Record(SearchMode::Get, result, true);
    EXPECT_EQ(hits.colour, HitColour::Get);
    EXPECT_NE(MarkHits("heart", hits), "heart");
    hits.Record(SearchMode::Tag, result, true);
    EXPECT_EQ(hits.colour, HitColour::Tag);
    // A search that found nothing, or failed, leaves the texts as they are.
    result.found = false;
    hits.Record(SearchMode::Get, result, true);
    EXPECT_EQ(MarkHits("heart", hits), "heart");
    result.found = true;
    hits.Record(SearchMode::Locate, result, false);
    EXPECT_EQ(MarkHits("heart", hits), "heart");
}

} // namespace
} // namespace cvx
