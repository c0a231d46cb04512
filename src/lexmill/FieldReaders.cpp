#include "lexmill/FieldReaders.h"

#include "lexmill/FieldBuilders.h"
#include "lexmill/TextConversions.h"
#include "text/MessageFill.h"
#include "text/StringPrimitives.h"

#include <vector>

namespace cvx::lexmill {

using namespace fields;

namespace {

bool StartsWithTwoBlanks(std::string_view line) {
    return line.size() >= 2 && IsBlank(line[0]) && IsBlank(line[1]);
}

std::string WithoutTrailingBlanks(std::string_view line) {
    return TrimRightBlanks(line);
}

std::string CleanAndConvert(const ConversionState& s, std::string text) {
    if (s.convCharSet == TextMode::Ansi) {
        text = CleanHostText(text);
    }
    if (!s.noDiac) {
        text = ChangeCharSetD(text, s.diacChar);
    }
    return text;
}

// The label of the next field of the labelled layout: ": " or " : " at position 3, or a label of
// two capitals with its colon and the value right after it ("AU:Supek-S") or alone.
bool IsLabelLine(std::string_view line) {
    auto labelChar = [](char c) { return c >= 'A' && c <= 'Z'; };
    return line.substr(std::min<std::size_t>(2, line.size()), 2) == ": " ||
           line.substr(std::min<std::size_t>(2, line.size()), 3) == " : " ||
           (line.size() >= 3 && labelChar(line[0]) && labelChar(line[1]) && line[2] == ':');
}

// The text lines of a labelled field; empty when the label is missing.
std::vector<std::string> LabelledLines(const ConversionState& s, std::string_view tag,
                                       bool tagOnSameLine, bool keepDocumentLabel = false) {
    std::vector<std::string> lines;
    const int index = GetTagLine(s, tag);
    if (index < 0) {
        return lines;
    }
    int i = index + 1;
    if (tagOnSameLine) {
        // The value follows the label's separator with or without a blank ("TI:A title").
        lines.push_back(ValueAfterTag(s.Line(index), tag));
    }
    for (; i < s.mLine; ++i) {
        const std::string& line = s.Line(i);
        if (IsLabelLine(line)) {
            if (!(keepDocumentLabel && line.find("DOCUMENT") != std::string::npos &&
                  TrimRightBlanks(line).ends_with(':'))) {
                break;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string JoinLabelled(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        HyphenJoin(text, TrimBlanks(line));
    }
    return TrimBlanks(Collapse(text));
}

void StoreSourceNote(ConversionState& s, int linesBefore) {
    const int taken = s.ref.abstract.count - linesBefore;
    s.ref.abstract[1] =
        taken == 1 ? s.Text(DriverText::SourceNoteOneLine)
                   : FillMessage(s.Text(DriverText::SourceNoteLines), std::to_string(taken));
    s.IncNotJournals();
}

void BeginSourceSection(ConversionState& s) {
    s.ref.yearVolPage = CutText(s.Text(DriverText::YearLine));
    s.ref.source.count = 1;
    s.ref.source[1] = CutText(s.Text(DriverText::SourceLine));
    s.ref.abstract.count = 1;
}

} // namespace

std::string_view TagStem(std::string_view tag) {
    std::string_view stem = tag;
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    const bool separator =
        !stem.empty() && (stem.back() == '-' || stem.back() == ':' || stem.back() == '~');
    return separator && stem.size() > 1 ? stem : tag;
}

std::size_t TagLengthIn(std::string_view text, std::string_view tag) {
    std::size_t n = tag.size();
    while (n > TagStem(tag).size() && (n - 1 >= text.size() || text[n - 1] != ' ')) {
        --n;
    }
    return std::min(n, text.size());
}

std::string ValueAfterTag(std::string_view text, std::string_view tag) {
    return TrimBlanks(text.substr(TagLengthIn(text, tag)));
}

int GetTagLine(const ConversionState& s, std::string_view tag) {
    const std::string_view stem = TagStem(tag);
    for (int i = 0; i < s.mLine; ++i) {
        if (StartsWith(s.Line(i), stem)) {
            return i;
        }
    }
    return -1;
}

std::string ReadShortTaggedField(const ConversionState& s, int index) {
    if (index < 0 || index >= s.mLine) {
        return {};
    }
    // The lines are looked at in place, without their trailing blanks; an empty line counts as
    // one blank.
    auto lineAt = [&](int i) {
        std::string_view line = s.Line(i);
        while (!line.empty() && IsBlank(line.back())) {
            line.remove_suffix(1);
        }
        return line.empty() ? std::string_view(" ") : line;
    };
    std::string_view line = s.Line(index);
    while (!line.empty() && IsBlank(line.back())) {
        line.remove_suffix(1);
    }
    const bool indented = !line.empty() && IsBlank(line.front());
    // The lines that continue the field are found first, so that the joined text is made in
    // room taken once.
    int end = index + 1;
    std::size_t room = line.size();
    for (; end < s.mLine; ++end) {
        const std::string_view next = lineAt(end);
        if (indented ? !StartsWithTwoBlanks(next) : !IsBlank(next.front())) {
            break;
        }
        room += next.size() + 1;
    }
    std::string result;
    result.reserve(room);
    // The pieces are trimmed, so collapsing the joined text once does what collapsing each
    // piece would.
    HyphenJoin(result, TrimView(line));
    for (int i = index + 1; i < end; ++i) {
        HyphenJoin(result, TrimView(lineAt(i)));
    }
    CollapseInPlace(result);
    TrimBlanksInPlace(result);
    return result;
}

std::string ReadLongSourceStr(const ConversionState& s, std::string_view tag) {
    const int index = GetTagLine(s, tag);
    if (index < 0) {
        return {};
    }
    return ValueAfterTag(ReadShortTaggedField(s, index), Collapse(tag));
}

std::string GetIdString(const ConversionState& s, std::string_view tag) {
    const int index = GetTagLine(s, tag);
    if (index < 0) {
        return {};
    }
    return DropFinalPeriod(ValueAfterTag(s.Line(index), tag));
}

std::string GetLongAutString(ConversionState& s, std::string_view tag) {
    s.ref.authors[1] = " ";
    s.ref.authors.count = 0;
    int index = GetTagLine(s, tag);
    if (index < 0) {
        return {};
    }
    std::string text = ValueAfterTag(s.Line(index), tag);
    for (++index; index < s.mLine && StartsWithTwoBlanks(s.Line(index)); ++index) {
        HyphenJoin(text, ValueAfterTag(s.Line(index), tag));
    }
    return TrimBlanks(Collapse(text));
}

void ReadTitle(ConversionState& s, std::string_view tag, bool decapitalise) {
    const int index = GetTagLine(s, tag);
    if (index < 0) {
        return;
    }
    std::string text = ReadShortTaggedField(s, index);
    if (!s.noDiac) {
        text = ChangeCharSetD(text, s.diacChar);
    }
    // The field's text is collapsed, so its tag is as long as the collapsed tag ("TI  - " has
    // become "TI - "); taking the tag's own length would cut the title's first letter.
    text = ValueAfterTag(text, Collapse(tag));
    if (decapitalise) {
        text = Decapitalise(text, CaseMode::Sentence, s.convCharSet == TextMode::ShiftJis);
    }
    auto& title = s.ref.title;
    WrapInto(title, text, 76, title.kSize, [](std::string_view t) { return CutAtBreak(t, 77); });
    title[title.count] = TrimBlanks(title[title.count]);
    if (title[title.count].empty()) {
        --title.count;
    }
    if (title.count == 0) {
        return;
    }
    std::string& last = title[title.count];
    if (s.convCharSet != TextMode::ShiftJis && last.ends_with('|')) {
        last.pop_back();
    }
    if (!last.ends_with('!') && !last.ends_with('.') && !last.ends_with('?')) {
        last.push_back('.');
    }
    title[1] = " " + TrimBlanks(title[1]);
}

void ReadLabelledInfo(ConversionState& s, std::string_view tag, std::string_view label,
                      bool decapitalise) {
    int index = GetTagLine(s, tag);
    if (index < 0) {
        return;
    }
    std::string text = " " + std::string(label) + ":";
    HyphenJoin(text, Collapse(TrimBlanks(
                         s.Line(index).substr(std::min<std::size_t>(3, s.Line(index).size())))));
    for (++index; index < s.mLine && StartsWithTwoBlanks(s.Line(index)); ++index) {
        const std::string& line = s.Line(index);
        HyphenJoin(text, Collapse(TrimBlanks(line.substr(std::min<std::size_t>(3, line.size())))));
    }
    text = " " + TrimBlanks(text);
    if (decapitalise) {
        text = Decapitalise(text, CaseMode::Word, s.convCharSet == TextMode::ShiftJis);
    }
    if (!NewAbstractLine(s, "")) {
        return;
    }
    while (text.size() >= 80) {
        Cut cut = CutAtBlank(text, 80, 79);
        s.ref.abstract[s.ref.abstract.count] = std::move(cut.line);
        text = std::move(cut.rest);
        if (!NewAbstractLine(s, "")) {
            return;
        }
    }
    s.ref.abstract[s.ref.abstract.count] = text;
}

void ReadAdress(ConversionState& s, std::string_view tag) {
    int index = GetTagLine(s, tag);
    if (index < 0) {
        return;
    }
    auto piece = [&](const std::string& line) {
        std::string p = Collapse(ValueAfterTag(line, tag));
        if (!s.noDiac) {
            p = ChangeCharSetD(p, s.diacChar);
        }
        return TrimBlanks(p);
    };
    std::string text = piece(s.Line(index));
    for (++index;
         index < s.mLine && StartsWithTwoBlanks(s.Line(index)) && !StartsWith(s.Line(index), tag);
         ++index) {
        HyphenJoin(text, piece(s.Line(index)));
    }
    DumpAddress(s, text);
}

void ReadLanguage(ConversionState& s, std::string_view tag) {
    const int index = GetTagLine(s, tag);
    if (index < 0) {
        return;
    }
    const std::string& line = s.Line(index);
    std::string word = TrimBlanks(line.substr(std::min<std::size_t>(3, line.size())));
    word = word.substr(0, word.find(' '));
    const std::string code = TrimBlanks(LanguageCode(word));
    if (code != "?" && !code.empty()) {
        s.ref.idString = CutText(s.ref.idString + " " + code);
    }
}

void ReadAbstract(ConversionState& s, std::string_view tag) {
    const int index = GetTagLine(s, tag);
    if (index >= 0) {
        DumpAnAbstract(s, index, static_cast<int>(TagLengthIn(s.Line(index), tag)), tag);
    }
}

void DumpAnAbstract(ConversionState& s, int index, int tagLength,
                    std::string_view continuationTag) {
    if (index < 0 || index >= s.mLine) {
        return;
    }
    std::string text = CleanAndConvert(
        s, DeleteAndTrim(s.Line(index), 1, static_cast<std::size_t>(std::max(tagLength, 0))));
    const bool numbered = StartsWith(TrimView(text), "1. ");
    const int first = s.ref.abstract.count + 1;
    DumpStringToAbstract(s, " " + text);
    bool previousMore = false;
    for (int i = index + 1; i < s.mLine; ++i) {
        std::string line = WithoutTrailingBlanks(s.Line(i));
        const bool more = line == "MORE";
        if (!previousMore && !more &&
            (line.size() < 4 ||
             !(StartsWithTwoBlanks(line) || StartsWith(line, continuationTag)))) {
            break;
        }
        previousMore = more;
        if (more || line == "***end OF SHOW***" ||
            line.find("Complete Record") != std::string::npos) {
            continue;
        }
        if (!continuationTag.empty() && StartsWith(line, continuationTag)) {
            line.erase(0, continuationTag.size());
        } else {
            line.erase(0, std::min<std::size_t>(2, line.size()));
        }
        line = CleanAndConvert(s, line);
        const std::string number = DropFinalPeriod(FirstWord(TrimBlanks(line)));
        if (numbered && !number.empty() && IsAllDigits(number)) {
            if (!NewAbstractLine(s, " ")) {
                break;
            }
        }
        AddAbstractWords(s, line, false, false);
    }
    DecapitalizeAbstract(s, first);
    if (s.ref.abstract.count >= 1) {
        s.ref.abstract[1] = " " + TrimBlanks(s.ref.abstract[1]);
    }
}

void DumpSourceSection(ConversionState& s, std::string_view tag) {
    BeginSourceSection(s);
    ReadAbstract(s, tag);
    StoreSourceNote(s, 1);
}

void GetIdStringCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine) {
    const std::vector<std::string> lines = LabelledLines(s, tag, tagOnSameLine);
    if (!lines.empty()) {
        s.ref.idString = CutText(TrimBlanks(DropFinalPeriod(lines.front())));
    }
}

void ReadTitleCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine) {
    const std::vector<std::string> lines = LabelledLines(s, tag, tagOnSameLine);
    if (lines.empty()) {
        return;
    }
    std::string text = JoinLabelled(lines);
    text = ReplaceAll(text, " : ", ": ");
    text = ReplaceAll(text, " )", ")");
    text = ReplaceAll(text, " ( ", " (");
    text = ReplaceAll(text, " .", ".");
    text = Decapitalise(text, CaseMode::Sentence, s.convCharSet == TextMode::ShiftJis);
    if (StartsWith(text, "[")) {
        text.erase(0, 1);
        const std::size_t close = text.find(']');
        if (close != std::string::npos) {
            text.erase(close, 1);
        }
    }
    auto& title = s.ref.title;
    WrapInto(title, text, 78, title.kSize,
             [](std::string_view t) { return CutAtBlank(t, 80, 79); });
    if (!title[title.count].ends_with('.')) {
        title[title.count].push_back('.');
    }
    if (!StartsWith(title[1], " ")) {
        title[1] = " " + title[1];
    }
}

void ReadAdressCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine) {
    const std::vector<std::string> lines = LabelledLines(s, tag, tagOnSameLine);
    if (lines.empty()) {
        return;
    }
    std::string joined;
    for (const std::string& line : lines) {
        HyphenJoin(joined, TrimBlanks(line));
    }
    auto& address = s.ref.address;
    WrapInto(address, TrimBlanks(Collapse("Address: " + joined)), 78, address.kSize,
             [](std::string_view t) { return CutAtBlank(t, 78, 78); });
    address[1] = " " + TrimBlanks(address[1]);
}

void ReadLanguageCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine) {
    const std::vector<std::string> lines = LabelledLines(s, tag, tagOnSameLine);
    if (!lines.empty()) {
        const std::string code = TrimBlanks(TrimBlanks(lines.front()).substr(0, 3));
        s.ref.idString = CutText(s.ref.idString + " " + code);
    }
}

void ReadAbstractCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine) {
    const std::vector<std::string> lines = LabelledLines(s, tag, tagOnSameLine, true);
    if (lines.empty() || !NewAbstractLine(s, " ")) {
        return;
    }
    const int first = s.ref.abstract.count;
    for (const std::string& line : lines) {
        AddAbstractWords(s, line, false, false);
        if (line.find("ABSTRACT.") != std::string::npos ||
            (line.find("DOCUMENT") != std::string::npos && TrimRightBlanks(line).ends_with(':'))) {
            break;
        }
    }
    auto& abstract = s.ref.abstract;
    std::string& last = abstract[abstract.count];
    if (const std::size_t p = last.find(" ABSTRACT."); p != std::string::npos) {
        last.erase(p, 10);
    }
    abstract[first] = " " + TrimBlanks(abstract[first]);
    if (abstract.count > first && TrimView(abstract[abstract.count]).empty()) {
        --abstract.count;
    }
}

void DumpSourceSectionCambridge(ConversionState& s, std::string_view tag, bool tagOnSameLine) {
    BeginSourceSection(s);
    ReadAbstractCambridge(s, tag, tagOnSameLine);
    StoreSourceNote(s, 1);
}

} // namespace cvx::lexmill
