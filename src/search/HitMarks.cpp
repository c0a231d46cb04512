#include "search/HitMarks.h"

#include "search/SearchFolding.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

constexpr std::string_view kGetMark = "#\xFD#B";
constexpr std::string_view kTagMark = "#B#\xFE";
static_assert(kGetMark.size() == kTagMark.size());

// A byte that no folded word holds (folding turns control bytes into 0). In the folded copy it
// stands for the codes of the text and for the marks already set, so that no word is found in
// them and no two marked words overlap.
constexpr char kNoWord = '\x01';

// The characters that make a code of the "#" before them in some display.
bool IsCode(unsigned char c) {
    switch (c) {
    case 'B':
    case 'I':
    case 'U':
    case '_':
    case '^':
    case 'v':
    case 'P':
    case 'b':
    case 'G':
    case 'L':
    case 'T':
    case '%':
    case '&':
    case 0xA4:
    case 0xFD:
    case 0xFE:
    case 0xFF:
        return true;
    default:
        return false;
    }
}

// The text folded byte for byte, its codes blanked out. A "#" before a character that is no
// code is text, and that character is read anew ("##B" is a "#" and a bold toggle).
std::string FoldedForMarking(std::string_view text, const FoldingTable& table) {
    std::string folded = FoldText(text, table);
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (text[i] == '#' && IsCode(static_cast<unsigned char>(text[i + 1]))) {
            folded[i] = kNoWord;
            folded[i + 1] = kNoWord;
            i += 2;
        } else {
            ++i;
        }
    }
    return folded;
}

bool AtMostBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

void SearchHits::Record(SearchMode mode, const SearchResult& result, bool succeeded) {
    shown = succeeded && result.found;
    if (shown) {
        colour = mode == SearchMode::Get ? HitColour::Get : HitColour::Tag;
    }
    words = result.hitWords;
    ignoreDiacritics = result.diacriticsIgnored;
}

std::string MarkHits(std::string_view text, const SearchHits& hits) {
    std::string marked(text);
    if (!hits.shown || text.empty()) {
        return marked;
    }
    const std::string_view mark = hits.colour == HitColour::Get ? kGetMark : kTagMark;
    const std::string filler(mark.size(), kNoWord);
    std::string folded = FoldedForMarking(text, SearchFoldingTable(hits.ignoreDiacritics));
    for (const std::string& word : hits.words) {
        if (word.empty()) {
            break;
        }
        // Blanks around a word must be found with it but are not marked.
        std::size_t first = 0;
        while (first < word.size() && AtMostBlank(word[first])) {
            ++first;
        }
        std::size_t last = word.size();
        while (last > first && AtMostBlank(word[last - 1])) {
            --last;
        }
        const std::size_t length = last - first;
        if (length == 0) {
            continue;
        }
        for (std::size_t at = folded.find(word); at != std::string::npos;
             at = folded.find(word, at + first + length + 2 * mark.size())) {
            const std::size_t begin = at + first;
            marked.insert(begin + length, mark);
            folded.insert(begin + length, filler);
            marked.insert(begin, mark);
            folded.insert(begin, filler);
        }
    }
    // A mark right after the opening "#B" of the year would make the line begin like one with an
    // empty year: the two bold toggles give way to the one inside the mark.
    if (StartsWith(marked, "#B#B") && !StartsWith(text, "#B#B")) {
        marked.erase(0, 2);
        std::size_t pair = marked.find("#B#\xFD");
        if (pair == std::string::npos) {
            pair = marked.find("#B#\xFE");
        }
        if (pair != std::string::npos) {
            marked.erase(pair, 2);
        }
    }
    return marked;
}

} // namespace cvx
