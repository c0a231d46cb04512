#include "lexmill/FieldBuilders.h"

#include "lexmill/TextConversions.h"
#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"

namespace cvx::lexmill {

namespace fields {

std::string Collapse(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!(IsBlank(c) && !out.empty() && IsBlank(out.back()))) {
            out.push_back(c);
        }
    }
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

bool NewAbstractLine(ConversionState& s, std::string_view start) {
    auto& abstract = s.ref.abstract;
    if (abstract.count >= abstract.kSize) {
        s.ref.questioned = true;
        return false;
    }
    ++abstract.count;
    abstract[abstract.count] = std::string(start);
    return true;
}

void AddAbstractWords(ConversionState& s, std::string_view text, bool countFollowingBlank,
                      bool collapseAfterEachWord) {
    auto& abstract = s.ref.abstract;
    if (abstract.count < 1) {
        return;
    }
    const bool japanese = s.convCharSet == TextMode::ShiftJis;
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
            std::string full = TrimRightBlanks(*line);
            std::string marker;
            if (full.ends_with("\"SUB") || full.ends_with("\"SUP")) {
                marker = full.substr(full.size() - 4) + " ";
                full = TrimRightBlanks(std::string_view(full).substr(0, full.size() - 4));
            }
            *line = std::move(full);
            if (!NewAbstractLine(s, marker)) {
                return;
            }
            line = &abstract[abstract.count];
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
        if (collapseAfterEachWord) {
            *line = Collapse(*line);
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
        text = Decapitalise(text, CaseMode::Word, false);
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
