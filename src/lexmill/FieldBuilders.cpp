#include "lexmill/FieldBuilders.h"

#include "lexmill/TextConversions.h"
#include "text/ByteWords.h"
#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace cvx::lexmill {

namespace fields {

namespace {

// The blanks (bytes up to 32) among eight bytes.
std::uint64_t Blanks(const char* text) {
    return bytewords::Below(bytewords::Load(text), 33);
}

// The first position at or after `from` (and after 0) that holds a blank after a blank; `size`
// when there is none. Eight positions are looked at at once.
std::size_t NextBlankPair(const char* text, std::size_t from, std::size_t size) {
    std::size_t pair = std::max<std::size_t>(from, 1);
    for (; pair + 8 <= size; pair += 8) {
        if (const std::uint64_t pairs = Blanks(text + pair) & Blanks(text + pair - 1)) {
            return pair + static_cast<std::size_t>(bytewords::FirstIndex(pairs));
        }
    }
    while (pair < size && !(IsBlank(text[pair]) && IsBlank(text[pair - 1]))) {
        ++pair;
    }
    return pair;
}

} // namespace

void CollapseInPlace(std::string& text) {
    // The runs between pairs of blanks are moved whole: most texts hold few such pairs.
    char* const base = text.data();
    const std::size_t size = text.size();
    std::size_t kept = 0;
    std::size_t from = 0;
    while (from < size) {
        const std::size_t pair = NextBlankPair(base, from, size);
        if (kept != from) {
            std::memmove(base + kept, base + from, pair - from);
        }
        kept += pair - from;
        // The blank before the pair stays; the blanks that follow it go.
        from = pair;
        while (from < size && IsBlank(base[from])) {
            ++from;
        }
    }
    text.resize(kept);
}

std::string Collapse(std::string_view text) {
    std::string out(text);
    CollapseInPlace(out);
    return out;
}

void HyphenJoin(std::string& text, std::string_view piece) {
    if (text.empty() || text.back() == '-') {
        text.append(piece);
    } else {
        text.push_back(' ');
        text.append(piece);
    }
}

Cut CutAtBreak(std::string_view text, std::size_t limit) {
    const std::size_t cut = std::min(BreakPosition(text, limit), text.size());
    return {TrimBlanks(text.substr(0, cut)), DeleteAndTrim(text, 1, cut)};
}

Cut CutAtBlank(std::string_view text, std::size_t position, std::size_t fallback) {
    const std::size_t window = std::min(position, text.size());
    const std::size_t blank =
        window > 1 ? text.substr(1, window - 1).rfind(' ') : std::string::npos;
    if (blank != std::string_view::npos) {
        return {TrimRightBlanks(text.substr(0, blank + 1)), TrimBlanks(text.substr(blank + 2))};
    }
    const std::size_t cut = std::min(fallback, text.size());
    return {std::string(text.substr(0, cut)), TrimBlanks(text.substr(cut))};
}

namespace {

// FittingWords for text[from, stop) that holds single blanks between words and no other
// blanks, as collapsed text does: the last blank in it, or `stop` when a word ends there.
// Nothing when the text is not so plain. Eight bytes are tested at once.
std::optional<std::size_t> FittingWordsOfPlainText(std::string_view text, std::size_t from,
                                                   std::size_t stop) {
    using namespace bytewords;
    if (from >= stop || IsBlank(text[from])) {
        return std::nullopt;
    }
    std::uint64_t odd = 0;
    std::size_t j = from + 1;
    for (; j + 8 <= stop; j += 8) {
        const std::uint64_t word = Load(text.data() + j);
        odd |= Below(word, ' ') | (Equal(word, ' ') & Equal(Load(text.data() + j - 1), ' '));
    }
    for (; j < stop; ++j) {
        const auto c = static_cast<unsigned char>(text[j]);
        const auto before = static_cast<unsigned char>(text[j - 1]);
        odd |= static_cast<unsigned>(c < ' ') |
               (static_cast<unsigned>(c == ' ') & static_cast<unsigned>(before == ' '));
    }
    if (odd != 0) {
        return std::nullopt;
    }
    if (text[stop - 1] != ' ' && (stop == text.size() || text[stop] == ' ')) {
        return stop;
    }
    const std::size_t blank = text.substr(from, stop - from).rfind(' ');
    return blank == std::string_view::npos ? from : from + blank;
}

// The end of the longest run of words from text[from] that is at most `room` long, ends at a
// word's end and holds single blanks between its words and no other blanks; `from` when there
// is none.
std::size_t FittingWords(std::string_view text, std::size_t from, std::size_t room) {
    const std::size_t stop = std::min(text.size(), from + room);
    if (const std::optional<std::size_t> end = FittingWordsOfPlainText(text, from, stop)) {
        return *end;
    }
    std::size_t end = from;
    std::size_t j = from;
    for (; j < stop; ++j) {
        const char c = text[j];
        if (c == ' ') {
            if (j == from || text[j - 1] == ' ') {
                return end;
            }
            end = j;
        } else if (IsBlank(c)) {
            return end;
        }
    }
    // The last word fits when it ends at the limit.
    if (j > from && text[j - 1] != ' ' && (j == text.size() || text[j] == ' ')) {
        end = j;
    }
    return end;
}

} // namespace

bool NewAbstractLine(ConversionState& s, std::string_view start) {
    auto& abstract = s.ref.abstract;
    if (abstract.count >= abstract.kSize) {
        s.ref.questioned = true;
        return false;
    }
    ++abstract.count;
    abstract[abstract.count].assign(start); // the line keeps its buffer from the record before
    return true;
}

void AddAbstractWords(ConversionState& s, std::string_view text, bool countFollowingBlank,
                      bool collapseAfterEachWord) {
    auto& abstract = s.ref.abstract;
    if (abstract.count < 1) {
        return;
    }
    const bool japanese = s.convCharSet == TextMode::ShiftJis;
    // A line once collapsed stays so when a word without blanks is added after a blank, so only
    // a new line or a word that holds other blanks (tabs, control characters) is collapsed again.
    bool collapsed = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t blank = text.find(' ', i);
        const std::size_t end = blank == std::string_view::npos ? text.size() : blank;
        const std::string_view word = text.substr(i, end - i);
        i = end + 1;
        if (word.empty()) {
            continue;
        }
        std::string* line = &abstract[abstract.count];
        const std::size_t wordLength = word.size() + (countFollowingBlank ? 1 : 0);
        if (line->size() + wordLength > 78) {
            // The full line loses its final blanks in place; a sub- or superscript mark at its
            // end moves on to the next line.
            line->resize(TrimRightView(*line).size());
            std::string marker;
            if (line->ends_with("\"SUB") || line->ends_with("\"SUP")) {
                marker = line->substr(line->size() - 4) + " ";
                line->resize(line->size() - 4);
                line->resize(TrimRightView(*line).size());
            }
            if (!NewAbstractLine(s, marker)) {
                return;
            }
            line = &abstract[abstract.count];
            collapsed = false;
        }
        // No blank after a blank, nor after a double-byte character of Japanese text.
        if (line->empty() || line->back() == ' ' ||
            (japanese && line->size() >= 2 &&
             IsSjisLeadByte(static_cast<unsigned char>((*line)[line->size() - 2])))) {
            line->append(word);
        } else {
            line->push_back(' ');
            line->append(word);
        }
        if (collapseAfterEachWord &&
            (!collapsed ||
             std::any_of(word.begin(), word.end(), [](char c) { return IsBlank(c); }))) {
            CollapseInPlace(*line);
            collapsed = true;
        }
        // The words that follow and still fit are added at once when that is what adding them
        // one by one would do: one blank before each, nothing to collapse.
        if (!japanese && (collapsed || !collapseAfterEachWord) && i < text.size() &&
            !line->empty() && line->back() != ' ' &&
            line->size() + (countFollowingBlank ? 1 : 0) < 78) {
            const std::size_t room = 78 - line->size() - (countFollowingBlank ? 1 : 0);
            const std::size_t runEnd = FittingWords(text, i, room);
            if (runEnd > i) {
                line->push_back(' ');
                line->append(text.substr(i, runEnd - i));
                i = runEnd + 1;
            }
        }
    }
}

} // namespace fields

using namespace fields;

void AddToAuthors(ConversionState& s, std::string_view text) {
    auto& authors = s.ref.authors;
    if (text.size() > static_cast<std::size_t>(authors.kSize) * 80) {
        s.ref.etAlAuthors = true; // more than the author lines can hold
        return;
    }
    std::vector<std::string> pieces;
    std::string rest(text);
    while (rest.size() >= 80) {
        Cut cut = CutAtBreak(rest, 79);
        pieces.push_back(std::move(cut.line));
        rest = std::move(cut.rest);
    }
    pieces.push_back(rest);
    // A name that does not fit any more is dropped whole and the list marked as cut.
    int count = authors.count;
    std::size_t length = count == 0 ? 0 : authors[count].size();
    for (const std::string& piece : pieces) {
        if (count == 0 || length + piece.size() > 79) {
            ++count;
            length = 0;
        }
        length += piece.size() + 1;
    }
    if (count > authors.kSize) {
        s.ref.etAlAuthors = true;
        return;
    }
    for (const std::string& piece : pieces) {
        if (authors.count == 0 || authors[authors.count].size() + piece.size() > 79) {
            ++authors.count;
            authors[authors.count].clear();
        }
        authors[authors.count] += piece + " ";
    }
}

void AddToEditors(ConversionState& s, std::string_view text) {
    auto& editors = s.ref.editors;
    std::string rest(text);
    while (!rest.empty()) {
        std::string piece;
        if (rest.size() > 79) {
            Cut cut = CutAtBlank(rest, 79, 79);
            piece = std::move(cut.line);
            rest = std::move(cut.rest);
        } else {
            piece = std::move(rest);
            rest.clear();
        }
        if (editors.count == 0 || editors[editors.count].size() + piece.size() >= 80) {
            if (editors.count >= editors.kSize) {
                s.ref.questioned = true;
                return;
            }
            ++editors.count;
            editors[editors.count].clear();
        }
        editors[editors.count] += piece + " ";
    }
}

void AddToMajorHeads(ConversionState& s, std::string_view text) {
    auto& heads = s.ref.majorHeads;
    if (heads.count == 0) {
        heads.count = 1;
    }
    if (heads[heads.count].size() + text.size() > 79) {
        if (heads.count >= heads.kSize) {
            s.ref.questioned = true;
            return;
        }
        ++heads.count;
    }
    heads[heads.count].append(text);
}

void DumpAddress(ConversionState& s, std::string_view textArgument) {
    std::string text = TrimBlanks(textArgument);
    if (text.empty()) {
        return;
    }
    if (UpperText(text) == text) {
        text = Decapitalise(text, CaseMode::Word, s.convCharSet == TextMode::ShiftJis);
    }
    auto& address = s.ref.address;
    WrapInto(address, "Address: " + text, 79, address.kSize,
             [](std::string_view t) { return CutAtBreak(t, 79); });
    if (address.count == address.kSize) {
        for (int i = 1; i <= address.kSize; ++i) {
            const std::size_t semicolon = address[i].find(';');
            if (semicolon != std::string::npos) {
                address[i] = TrimBlanks(std::string_view(address[i]).substr(0, semicolon));
                address.count = i;
                break;
            }
        }
    }
}

void DumpTitle(ConversionState& s, std::string_view textArgument) {
    std::string text = TrimBlanks(textArgument);
    if (text.empty()) {
        return;
    }
    if (s.convCharSet != TextMode::ShiftJis) {
        text = TitleCase(text);
    }
    WrapInto(s.ref.title, text, 79, s.ref.title.kSize,
             [](std::string_view t) { return CutAtBreak(t, 79); });
}

void DumpLongJournalName(ConversionState& s, std::string_view textArgument) {
    auto& source = s.ref.source;
    source.count = 0;
    std::string text = TrimBlanks(textArgument);
    auto store = [&](std::string piece) {
        if (piece.empty()) {
            return;
        }
        if (source.count >= source.kSize) {
            s.ref.questioned = true;
            return;
        }
        ++source.count;
        source[source.count] = std::move(piece);
    };
    while (text.size() > 77) {
        Cut cut = CutAtBreak(text, 78);
        store(std::move(cut.line));
        text = std::move(cut.rest);
    }
    store(std::move(text));
    if (source.count > 0) {
        source[1] = " " + TrimBlanks(source[1]);
    }
}

void DumpToSource(ConversionState& s, std::string_view textArgument) {
    auto& source = s.ref.source;
    source.count = 0;
    std::string text(textArgument);
    while (!text.empty()) {
        std::string piece;
        if (text.size() >= 80) {
            Cut cut = CutAtBlank(text, 80, 80);
            piece = std::move(cut.line);
            text = std::move(cut.rest);
        } else {
            piece = std::move(text);
            text.clear();
        }
        if (source.count >= source.kSize) {
            s.ref.questioned = true;
            return;
        }
        ++source.count;
        source[source.count] = TrimBlanks(piece);
    }
}

void DumpStringToAbstract(ConversionState& s, std::string_view text) {
    if (NewAbstractLine(s, !text.empty() && text.front() == ' ' ? " " : "")) {
        AddAbstractWords(s, text, true, true);
    }
}

void DoExpandPages(ConversionState& s) {
    s.ref.pages = NormalizePages(s.ref.pages);
}

void DecapitalizeTitle(ConversionState& s) {
    auto& title = s.ref.title;
    for (int i = 1; i <= title.count; ++i) {
        if (HasSmallLetters(title[i])) {
            return;
        }
    }
    bool capitalNext = true;
    for (int i = 1; i <= title.count; ++i) {
        title[i] = Decapitalise(title[i], CaseMode::Sentence, s.convCharSet == TextMode::ShiftJis,
                                capitalNext);
    }
}

void DecapitalizeAbstract(ConversionState& s, int first) {
    auto& abstract = s.ref.abstract;
    const int from = std::max(first, 1);
    for (int i = from; i <= abstract.count; ++i) {
        if (HasSmallLetters(abstract[i])) {
            return;
        }
    }
    bool capitalNext = true;
    for (int i = from; i <= abstract.count; ++i) {
        abstract[i] = Decapitalise(abstract[i], CaseMode::Sentence,
                                   s.convCharSet == TextMode::ShiftJis, capitalNext);
    }
}

} // namespace cvx::lexmill
