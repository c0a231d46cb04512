#include "refstore/RefArrData.h"

#include "journals/JournalLookup.h"
#include "text/AuthorNames.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <vector>

namespace cvx {

namespace {

constexpr std::string_view kFieldSeparator = "\r\n "; // a line break that starts a field line
// Labels that begin a field line of the comment part.
constexpr std::string_view kAddressLabel = "Address: ";
constexpr std::string_view kTranslTitleLabel = "Translated title: ";
constexpr std::string_view kTranslBookTitleLabel = "Translated book title: ";

std::string_view Field(const TRefArrData& d, FieldIndex f) {
    return d[f];
}

// Takes the next field line off the front of `rest`: the text up to the next field separator.
// Returns false (and the whole rest as the line) when there is no separator.
bool TakeLine(std::string_view& rest, std::string& line) {
    const std::size_t sep = rest.find(kFieldSeparator);
    if (sep == std::string_view::npos) {
        line = TrimView(rest);
        rest = {};
        return false;
    }
    line = TrimView(rest.substr(0, sep));
    rest = TrimView(rest.substr(sep + kFieldSeparator.size()));
    return true;
}

// True when only blanks stand between the start of the field line and `at`.
bool AtLineStart(std::string_view text, std::size_t at) {
    while (at > 0 && text[at - 1] == ' ') {
        --at;
    }
    return at == 0 || (at >= 2 && text.substr(at - 2, 2) == "\r\n");
}

// Removes the field line that begins with `label` (followed by `next`, if given) from the
// comment text and returns the text after the label on that line. A label inside a line is text
// of the comment.
std::optional<std::string> TakeLabelledLine(std::string& comments, std::string_view label,
                                            std::string_view next = {}) {
    std::size_t at = comments.find(label);
    while (at != std::string::npos &&
           (!AtLineStart(comments, at) ||
            comments.compare(at + label.size(), next.size(), next) != 0)) {
        at = comments.find(label, at + 1);
    }
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::size_t end = comments.find(kFieldSeparator, at + label.size());
    if (end == std::string::npos) {
        end = comments.size();
    }
    std::string value = comments.substr(at + label.size(), end - at - label.size());
    // The line goes together with the line break before it (or after it, for the first line).
    std::size_t start = at;
    while (start > 0 && comments[start - 1] == ' ') {
        --start;
    }
    if (start >= 2 && comments.compare(start - 2, 2, "\r\n") == 0) {
        start -= 2;
    } else if (end < comments.size()) {
        end += 2;
    }
    comments.erase(start, end - start);
    return value;
}

std::string Unquote(std::string_view text) {
    std::string_view t = TrimView(text);
    if (!t.empty() && t.front() == '"') {
        t.remove_prefix(1);
    }
    if (!t.empty() && t.back() == '"') {
        t.remove_suffix(1);
    }
    return std::string(t);
}

void ParseYearLine(const std::string& line, TRefArrData& d, bool& suspect) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) {
        d[FieldIndex::Year] = line;
    } else {
        d[FieldIndex::Year] = line.substr(0, space);
        const std::string_view rest = std::string_view(line).substr(space);
        std::string volume = ParenContent(rest);
        if (const std::size_t paren = volume.find('('); paren != std::string::npos) {
            d[FieldIndex::Issue] = TrimBlanks(ParenContent(volume));
            volume.resize(paren);
        }
        d[FieldIndex::Volume] = TrimBlanks(volume);
        std::string pages;
        if (const std::size_t pp = rest.find("pp "); pp != std::string_view::npos) {
            pages = TrimBlanks(rest.substr(pp + 3));
        } else {
            const std::size_t close = rest.rfind(')');
            pages = TrimBlanks(close == std::string_view::npos ? rest : rest.substr(close + 1));
        }
        if (const std::size_t dash = pages.find('-'); dash != std::string::npos) {
            d[FieldIndex::PageLast] = TrimBlanks(std::string_view(pages).substr(dash + 1));
            pages = TrimBlanks(std::string_view(pages).substr(0, dash));
        }
        d[FieldIndex::PageFirst] = pages;
    }
    const std::string& year = d[FieldIndex::Year];
    if (!(year.size() == 4 && IsAllDigits(year))) {
        suspect = true;
    }
}

// A field value as it is written: trimmed, the stand-ins for "unknown" unified, and line breaks
// that would end the block or start a field line of their own taken out.
std::string FieldText(std::string_view value, bool isComment) {
    std::string_view v = TrimView(value);
    if (v == "\"" || v == "'" || v == "''" || v == "\" \"" || v == "' '") {
        return std::string(kUnknownField);
    }
    std::string out;
    for (const std::string_view line : SplitLines(v)) {
        if (!TrimView(line).empty()) {
            // Comment lines keep a leading blank, which starts a field line of the comment.
            const bool keepIndent = isComment && !out.empty();
            if (!out.empty()) {
                out += "\r\n";
            }
            out += keepIndent ? TrimRightBlanks(line) : TrimBlanks(line);
        }
    }
    return out;
}

// The kind of a reference is decided by its fifth line (the fourth after the identification
// line, which `lines` starts after): "E: " for a chapter, "S: " for a monograph. A comment line
// that happens to begin so changes nothing.
SourceType GuessSourceType(std::string_view lines) {
    std::size_t pos = 0;
    for (int line = 1; line < 4; ++line) {
        const std::size_t sep = lines.find(kFieldSeparator, pos + 1);
        if (sep == std::string_view::npos) {
            return SourceType::Journal;
        }
        pos = sep + 2;
    }
    const std::string_view fifth = TrimView(lines.substr(pos));
    if (StartsWith(fifth, "S: ")) {
        return SourceType::Monograph;
    }
    return StartsWith(fifth, "E: ") ? SourceType::Chapter : SourceType::Journal;
}

} // namespace

std::string_view FieldName(FieldIndex field) {
    static constexpr std::string_view kNames[kFieldCount] = {
        "IdString", "Authors",  "Title",     "Journal",     "BookTitle",      "Year",
        "Volume",   "Issue",    "PageFirst", "PageLast",    "Editors",        "Publisher",
        "City",     "Comments", "Address",   "TranslTitle", "TranslBookTitle"};
    return kNames[static_cast<int>(field)];
}

SplitText SplitReferenceText(std::string_view block) {
    SplitText split;
    // Soft wraps are joined: a CR LF that does not start a field line becomes one space.
    std::string text;
    text.reserve(block.size());
    for (std::size_t i = 0; i < block.size();) {
        const std::size_t cr = std::min(block.find('\r', i), block.size());
        text.append(block.substr(i, cr - i));
        if (cr == block.size()) {
            break;
        }
        if (cr + 1 < block.size() && block[cr + 1] == '\n') {
            text += cr + 2 < block.size() && block[cr + 2] == ' ' ? "\r\n" : " ";
            i = cr + 2;
        } else {
            text += '\r';
            i = cr + 1;
        }
    }

    const std::size_t first = text.find(kFieldSeparator);
    if (first == std::string::npos) {
        split.identification = TrimBlanks(std::string_view(text).substr(0, kMaxIdStringLength));
        split.tooLong = TrimView(text).size() > kMaxIdStringLength;
        split.proper = " ";
        return split;
    }
    split.identification = TrimBlanks(std::string_view(text).substr(0, first));
    if (split.identification.size() > kMaxIdStringLength) {
        split.identification = TrimBlanks(split.identification.substr(0, kMaxIdStringLength));
    }

    const std::string_view rest = std::string_view(text).substr(first + 2);
    split.guessedType = GuessSourceType(rest);
    static constexpr int kProperLines[] = {4, 6, 5};
    const int wanted = kProperLines[static_cast<int>(split.guessedType)];
    std::size_t pos = 0;
    std::size_t sep = std::string_view::npos;
    for (int line = 0; line < wanted; ++line) {
        sep = rest.find(kFieldSeparator, pos + 1);
        if (sep == std::string_view::npos) {
            break;
        }
        pos = sep + 2;
    }
    if (sep == std::string_view::npos) {
        split.proper = std::string(rest);
    } else {
        split.proper = std::string(rest.substr(0, sep));
        split.abstractPart = std::string(rest.substr(sep + 2));
    }
    auto leadingBlank = [](std::string& part) {
        if (part.empty() || part.front() != ' ') {
            part.insert(part.begin(), ' ');
        }
    };
    leadingBlank(split.proper);
    if (!split.abstractPart.empty()) {
        leadingBlank(split.abstractPart);
    }
    return split;
}

ParsedReference ParseReference(std::string_view block, bool check, const FormalCheck& journals) {
    ParsedReference result;
    TRefArrData& d = result.data;
    const SplitText split = SplitReferenceText(block);
    d[FieldIndex::IdString] = split.identification;
    result.ruined = split.tooLong;

    std::string_view rest = TrimView(split.proper);
    std::string line;
    if (!TakeLine(rest, d[FieldIndex::Authors])) {
        result.ruined = true;
        return result;
    }
    if (!TakeLine(rest, line)) {
        d[FieldIndex::Title] = line;
        result.ruined = true;
        return result;
    }
    d[FieldIndex::Title] = DropFinalPeriod(line);
    if (!TakeLine(rest, line)) {
        d[FieldIndex::Year] = line;
        result.ruined = true;
        return result;
    }
    ParseYearLine(line, d, result.suspect);

    d.sourceType = SourceType::Journal;
    TakeLine(rest, line);
    if (StartsWith(line, "E: ") || StartsWith(line, "S: ")) {
        d.sourceType = line[0] == 'E' ? SourceType::Chapter : SourceType::Monograph;
        d[FieldIndex::BookTitle] = DropFinalPeriod(std::string_view(line).substr(3));
    } else {
        d[FieldIndex::Journal] = line;
    }
    TakeLine(rest, line);
    if (d.sourceType == SourceType::Chapter) {
        d[FieldIndex::Editors] = line;
    } else {
        d[FieldIndex::Publisher] = line;
    }
    if (!rest.empty()) {
        d[FieldIndex::Publisher] = rest;
    }
    if (std::string& publisher = d[FieldIndex::Publisher]; !publisher.empty()) {
        d[FieldIndex::City] = TrimBlanks(ParenContent(publisher));
        publisher = TrimBlanks(std::string_view(publisher).substr(0, publisher.find('(')));
    }
    if (!result.ruined &&
        ((d.sourceType == SourceType::Chapter &&
          (d[FieldIndex::Editors].empty() || d[FieldIndex::Publisher].empty())) ||
         (d.sourceType == SourceType::Monograph && d[FieldIndex::Publisher].empty()))) {
        result.ruined = true;
    }

    std::string comments = split.abstractPart;
    if (auto address = TakeLabelledLine(comments, kAddressLabel)) {
        d[FieldIndex::Address] = TrimBlanks(*address);
    }
    if (auto title = TakeLabelledLine(comments, kTranslTitleLabel, "\"")) {
        d[FieldIndex::TranslTitle] = DropFinalPeriod(Unquote(*title));
    }
    if (auto title = TakeLabelledLine(comments, kTranslBookTitleLabel, "\"")) {
        d[FieldIndex::TranslBookTitle] = DropFinalPeriod(Unquote(*title));
    }
    d[FieldIndex::Comments] = TrimBlanks(comments);

    if (check && !result.ruined && !result.suspect &&
        ReferenceFormatFaulty(d, CheckKind::All, journals)) {
        result.suspect = true;
    }
    return result;
}

std::string ComposeReferenceText(const TRefArrData& data) {
    TRefArrData d;
    d.sourceType = data.sourceType;
    for (int i = 0; i < kFieldCount; ++i) {
        d.fields[i] = FieldText(data.fields[i], i == static_cast<int>(FieldIndex::Comments));
    }
    std::string out;
    auto line = [&out](std::string_view text) {
        out += ' ';
        out += text;
        out += "\r\n";
    };
    line(d[FieldIndex::IdString].empty() ? std::string_view("Id string")
                                         : Field(d, FieldIndex::IdString));
    line(d[FieldIndex::Authors]);
    line(d[FieldIndex::Title]);

    std::string yearLine = d[FieldIndex::Year];
    const std::string& volume = d[FieldIndex::Volume];
    const std::string& issue = d[FieldIndex::Issue];
    if (!volume.empty() || !issue.empty()) {
        // An issue without a volume is written "((3))", which reads back as that issue.
        yearLine += " (" + volume + (issue.empty() ? "" : "(" + issue + ")") + ")";
    }
    std::string pages = d[FieldIndex::PageFirst];
    if (!d[FieldIndex::PageLast].empty()) {
        pages += "-" + d[FieldIndex::PageLast];
    }
    if (!pages.empty()) {
        yearLine += " pp " + NormalizePages(pages);
    }
    line(yearLine);

    const std::string publisherLine = d[FieldIndex::Publisher] + " (" + d[FieldIndex::City] + ")";
    switch (d.sourceType) {
    case SourceType::Chapter:
        line("E: " + d[FieldIndex::BookTitle]);
        line(d[FieldIndex::Editors]);
        line(publisherLine);
        break;
    case SourceType::Monograph:
        line("S: " + d[FieldIndex::BookTitle]);
        line(publisherLine);
        break;
    default:
        line(d[FieldIndex::Journal]);
        break;
    }
    for (auto [field, label] :
         {std::pair{FieldIndex::TranslTitle, std::string_view("Translated title: ")},
          std::pair{FieldIndex::TranslBookTitle, std::string_view("Translated book title: ")}}) {
        const std::string& value = d[field];
        if (!value.empty() && value != kUnknownField) {
            line(std::string(label) + "\"" + value + "\"");
        }
    }
    if (!d[FieldIndex::Comments].empty()) {
        line(d[FieldIndex::Comments]);
    }
    if (!d[FieldIndex::Address].empty()) {
        line("Address: " + d[FieldIndex::Address]);
    }
    out += "\r\n";
    return out;
}

bool JournalNameSuspect(std::string_view name, const FormalCheck& journals) {
    const std::string_view n = TrimView(name);
    if (const std::size_t space = n.find(' ');
        space != std::string_view::npos && IsAllDigits(n.substr(0, space))) {
        return true;
    }
    if (n.substr(1, 2) == ": ") {
        return true;
    }
    if (journals.ignoreDatabase || journals.journals == nullptr) {
        return false;
    }
    return !journals.journals->Recognises(n);
}

bool ReferenceFormatFaulty(const TRefArrData& d, CheckKind kind, const FormalCheck& journals) {
    const bool all = kind == CheckKind::All;
    const bool source = all || kind == CheckKind::Source || kind == CheckKind::JournalNames;
    const bool names = all || kind == CheckKind::Names;
    if (source && d.sourceType == SourceType::Unparsed) {
        return true;
    }
    if (names) {
        if (d[FieldIndex::Authors].empty() || AuthorsFaulty(d[FieldIndex::Authors])) {
            return true;
        }
        if (d.sourceType == SourceType::Chapter &&
            (d[FieldIndex::Editors].empty() || AuthorsFaulty(d[FieldIndex::Editors]))) {
            return true;
        }
    }
    if (source) {
        if (d[FieldIndex::Journal].empty() && d[FieldIndex::BookTitle].empty()) {
            return true;
        }
        if (d.sourceType == SourceType::Journal &&
            JournalNameSuspect(d[FieldIndex::Journal], journals)) {
            return true;
        }
        if ((d.sourceType == SourceType::Chapter || d.sourceType == SourceType::Monograph) &&
            (all || kind == CheckKind::Source) &&
            (d[FieldIndex::Publisher].empty() || d[FieldIndex::City].empty())) {
            return true;
        }
    }
    if (kind == CheckKind::Names || kind == CheckKind::JournalNames) {
        return false;
    }
    const std::string& year = d[FieldIndex::Year];
    const bool isJournal = d.sourceType == SourceType::Journal;
    const bool yearOk = year.size() == 4 && IsAllDigits(year);
    const bool volumeOk =
        !isJournal || !d[FieldIndex::Volume].empty() || !d[FieldIndex::Issue].empty();
    const bool pagesOk =
        !(isJournal || d.sourceType == SourceType::Chapter) || !d[FieldIndex::PageFirst].empty();
    return !(yearOk && volumeOk && pagesOk);
}

} // namespace cvx
