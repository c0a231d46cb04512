#include "formats/Renderer.h"

#include "journals/JournalLookup.h"
#include "text/AuthorNames.h"
#include "text/CaseMapping.h"
#include "text/LatexText.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"

#include <algorithm>
#include <array>

namespace cvx {

namespace {

using K = FieldIndex;

constexpr int kAmbiguousMatch = 3; // JournalMatch::quality of names joined by "/"
constexpr std::size_t kMaxJournal = 255;
constexpr int kMaxParts = 5;
constexpr std::string_view kFullWidthParen = "\x81\x69";
constexpr std::uint8_t kHeadlineStyle = 2; // the option of a title element
constexpr std::uint8_t kChicagoRanges = 2; // the option of the last-page element

// Characters that a text loses at its start when the text before it ended with a full stop.
bool Doubles(char c, bool withDiaeresis) {
    const auto u = static_cast<unsigned char>(c);
    return c == '?' || c == '!' || c == '.' || u == 0xAD || (withDiaeresis && u == 0xA8);
}

std::string_view UnquoteView(std::string_view text) {
    const std::string_view t = TrimView(text);
    if (t == "\"\".") {
        return {};
    }
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') {
        return t.substr(1, t.size() - 2);
    }
    return t;
}

std::string_view TrimRightView(std::string_view t) {
    while (!t.empty() && IsBlank(t.back())) {
        t.remove_suffix(1);
    }
    return t;
}

std::string_view DropFinalStop(std::string_view t) {
    return !t.empty() && t.back() == '.' ? t.substr(0, t.size() - 1) : t;
}

// Index just after the `count`-th "." outside double quotes (0 for count 0), npos when the list
// has fewer.
std::size_t AfterSeparators(std::string_view list, int count) {
    if (count == 0) {
        return 0;
    }
    bool quoted = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == '"') {
            quoted = !quoted;
        } else if (list[i] == '.' && !quoted && --count == 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

int CountSeparators(std::string_view list) {
    int n = 0;
    bool quoted = false;
    for (char c : list) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '.' && !quoted) {
            ++n;
        }
    }
    return n;
}

void EraseFirst(std::string& text, std::string_view what) {
    if (const std::size_t p = text.find(what); p != std::string::npos) {
        text.erase(p, what.size());
    }
}

// The last page as the Chicago rules shorten a range: in full after a first page below 100, at a
// multiple of 100 or where the two differ in length; only the changed digits after 101-109 of a
// hundred ("101-8", "1103-4"); at least two digits otherwise ("321-28", "1496-500"). Pages that
// share a letter prefix are shortened on their digits ("D71-75"); anything else is kept.
std::string ChicagoLastPage(std::string_view first, std::string_view last) {
    const std::size_t firstDigits = first.find_first_of("0123456789");
    const std::size_t lastDigits = last.find_first_of("0123456789");
    if (firstDigits == std::string_view::npos || lastDigits == std::string_view::npos ||
        (lastDigits > 0 && last.substr(0, lastDigits) != first.substr(0, firstDigits))) {
        return std::string(last);
    }
    const std::string_view from = first.substr(firstDigits);
    const std::string_view to = last.substr(lastDigits);
    if (!IsAllDigits(from) || !IsAllDigits(to)) {
        return std::string(last);
    }
    const int hundreds = from.size() > 2 ? std::stoi(std::string(from.substr(from.size() - 2))) : 0;
    if (from.size() != to.size() || from.size() < 3 || hundreds == 0) {
        return std::string(to);
    }
    std::size_t shared = 0;
    while (shared < to.size() && to[shared] == from[shared]) {
        ++shared;
    }
    const std::size_t keep = std::max<std::size_t>(to.size() - shared, hundreds < 10 ? 1 : 2);
    return std::string(to.substr(to.size() - std::min(keep, to.size())));
}

// A text made singular: "(Eds.)" becomes "(Ed.)", "Editors" becomes "Editor".
std::string Singular(std::string text) {
    const std::string upper = UpperText(text);
    if (const std::size_t eds = upper.find("EDS"); eds != std::string::npos) {
        text.erase(eds + 2, 1);
    } else if (const std::size_t editors = upper.find("EDITORS"); editors != std::string::npos) {
        text.erase(editors + 6, 1);
    }
    return text;
}

// One rendering: the punctuation state, the element writers and the name-list formatter.
class RenderState {
public:
    RenderState(const TFormatDesc& desc, bool longForm, const TRefArrData& record, std::string& out,
                const RenderOptions& options)
        : desc_(desc), record_(record), options_(options), out_(out),
          form_(FormFor(desc, record.sourceType, longForm)),
          longChapter_(FormSlotFor(record.sourceType, longForm) == FormSlot::ChapterLong),
          doubleByte_(ShiftJisMode()) {
        year_ = Prepared(K::Year, 16);
        volume_ = Prepared(K::Volume, 16);
        issue_ = Prepared(K::Issue, 24);
        pageFirst_ = Prepared(K::PageFirst, 16);
        pageLast_ = Prepared(K::PageLast, 16);
    }

    RenderMarks Run() {
        out_.clear();
        const int count = std::min<int>(form_.count, kMaxElements);
        for (int i = 0; i < count; ++i) {
            const int kind = form_.order[i];
            if (kind >= kElementKinds) {
                continue;
            }
            props_ = &form_.props[kind];
            WriteElement(static_cast<K>(kind));
            if (kind == static_cast<int>(K::Authors)) {
                marks_.authorsEnd = out_.size();
            }
        }
        return marks_;
    }

private:
    std::string_view Field(K k) const { return record_[k]; }
    std::string_view Prepared(K k, std::size_t max) const {
        return UnquoteView(Field(k)).substr(0, max);
    }
    std::string_view Pool(StrRef ref) const { return GetPoolString(desc_, ref); }

    // --- writing primitives ---

    void Put(std::string_view text) {
        if (text.empty()) {
            return;
        }
        out_.append(text);
        // The LaTeX marker stands for "et al." and ends with its full stop.
        lastEndsStop_ =
            text.back() == '.' || text.back() == '?' || text.ends_with(kPlainEtAlMarker);
        lastEndsSpace_ = text.back() == ' ';
    }

    // Drops the first character when it would double the full stop before it, then a leading
    // space after a space.
    void PutJoined(std::string_view text, bool withDiaeresis) {
        if (!text.empty() && lastEndsStop_ && Doubles(text.front(), withDiaeresis)) {
            text.remove_prefix(1);
        }
        if (!text.empty() && lastEndsSpace_ && text.front() == ' ') {
            text.remove_prefix(1);
        }
        Put(text);
    }

    void WritePoolText(StrRef ref) { WritePoolText(Pool(ref)); }
    void WritePoolText(std::string_view text) {
        if (text.empty()) {
            return;
        }
        // After a markup code the character that doubles the full stop is the third one.
        const std::size_t at = text.front() == '#' ? 2 : 0;
        if (lastEndsStop_ && at > 0 && at < text.size() && Doubles(text[at], true)) {
            const std::string_view code = text.substr(0, at);
            text.remove_prefix(at + 1);
            Put(code);
            Put(text);
            return;
        }
        PutJoined(text, true);
    }

    void WriteFieldText(std::string_view text) {
        if (props_->option % 2 == 1) {
            PutJoined(UpperTextJ(text), false);
        } else {
            PutJoined(text, false);
        }
    }

    void WriteLiteral(std::string_view text) { PutJoined(text, true); }

    // One character; a double-byte character is written whole.
    void WriteChar(std::string_view c) {
        const char last = c.back();
        if ((last != ' ' || !lastEndsSpace_) && ((last != '.' && last != '?') || !lastEndsStop_)) {
            out_.append(c);
        }
        lastEndsStop_ = last == '.' || last == '?';
        lastEndsSpace_ = last == ' ';
    }
    void WriteCharAt(std::string_view text, std::size_t pos) {
        WriteChar(text.substr(pos, CharLengthAt(text, pos)));
    }

    std::string PeekPoolText(StrRef ref) const {
        std::string_view text = Pool(ref);
        if (!text.empty() && lastEndsStop_ && Doubles(text.front(), true)) {
            text.remove_prefix(1);
        }
        return std::string(text);
    }

    // --- elements ---

    void WriteElement(K kind) {
        switch (kind) {
        case K::Authors:
        case K::Editors:
            WriteNameList(kind);
            break;
        case K::Title:
        case K::TranslTitle:
            WriteTitle(kind);
            break;
        case K::Journal:
            WriteJournal();
            break;
        case K::BookTitle:
        case K::TranslBookTitle:
            WriteBookTitle(kind);
            break;
        case K::Year:
            WriteGeneric(kind, year_);
            break;
        case K::Volume:
            WriteGeneric(kind, volume_);
            break;
        case K::Issue:
            WriteGeneric(kind, issue_);
            break;
        case K::PageFirst:
            WriteGeneric(kind, pageFirst_);
            break;
        case K::PageLast:
            WriteLastPage();
            break;
        case K::Publisher:
        case K::City:
            WriteGeneric(kind, UnquoteView(Field(kind)));
            break;
        case K::IdString:
        case K::Comments:
        case K::Address:
            WriteGeneric(kind, Field(kind));
            break;
        }
    }

    void WriteGeneric(K kind, std::string_view v) {
        std::string withIssue;
        if (kind == K::Volume) {
            if (issueRequired_ && !IssueListed(desc_) && !v.empty()) {
                // A required issue that is missing leaves the volume alone: no empty "()".
                if (!issue_.empty()) {
                    withIssue.append(v).append("(").append(issue_).append(")");
                    v = withIssue;
                }
            } else if (v.empty()) {
                v = issue_;
                issue_ = {};
            }
        }
        if (kind == K::Year && props_->option != 0 && v.size() == 4) {
            v.remove_prefix(2);
        }
        if (v.empty()) {
            WritePoolText(props_->whenMissing);
            return;
        }
        WritePoolText(props_->textBefore);
        WriteFieldText(v);
        if (kind == K::Year) {
            marks_.yearEnd = out_.size();
        }
        WritePoolText(props_->textAfter);
    }

    void WriteLastPage() {
        std::string last(pageLast_);
        if (props_->option == kChicagoRanges) {
            last = ChicagoLastPage(pageFirst_, CompleteLastPage(pageFirst_, last));
        } else if (props_->option % 2 == 1) {
            if (last.size() == pageFirst_.size()) {
                std::size_t shared = 0;
                while (shared < last.size() && last[shared] == pageFirst_[shared]) {
                    ++shared;
                }
                last.erase(0, shared);
            }
        } else {
            // A range stored shortened ("409-18", as MEDLINE stores it) is written complete
            // where the format does not ask for contraction.
            last = CompleteLastPage(pageFirst_, last);
        }
        if (!pageFirst_.empty()) {
            WriteGeneric(K::PageLast, last);
        }
    }

    // Removes every space that stands between two double-byte characters.
    static std::string JoinDoubleByteWords(std::string_view text) {
        std::string joined;
        bool afterDoubleByte = false;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t length = CharLengthAt(text, i);
            if (text[i] == ' ' && afterDoubleByte && IsDoubleByteAt(text, i + 1)) {
                ++i;
                continue;
            }
            joined.append(text.substr(i, length));
            afterDoubleByte = length == 2;
            i += length;
        }
        return joined;
    }

    void WriteTitle(K kind) {
        // The translated title element writes the translated title.
        std::string_view raw = TrimView(Field(kind == K::TranslTitle ? K::TranslTitle : K::Title));
        std::string joined;
        if (doubleByte_) {
            joined = JoinDoubleByteWords(raw);
            raw = joined;
        }
        if (record_.sourceType == SourceType::Monograph && pageFirst_.empty()) {
            raw = {};
        }
        std::string_view t = UnquoteView(raw);
        if (props_->removeTrailDot != 0) {
            t = DropFinalStop(t);
        }
        if (t.empty()) {
            WritePoolText(props_->whenMissing);
            return;
        }
        if (doubleByte_ && t.size() > 1 && !IsDoubleByteAt(t, 0)) {
            t = DropFinalStop(t);
        }
        WritePoolText(props_->textBefore);
        WriteTitleText(t);
        WritePoolText(props_->textAfter);
    }

    // A title or book title, in headline style where the element asks for it.
    void WriteTitleText(std::string_view t) {
        if (props_->option == kHeadlineStyle) {
            WriteFieldText(HeadlineCase(t));
        } else {
            WriteFieldText(t);
        }
    }

    void WriteBookTitle(K kind) {
        std::string_view t = UnquoteView(Field(kind));
        if (props_->removeTrailDot != 0) {
            t = DropFinalStop(t);
        }
        if (t.empty()) {
            WritePoolText(props_->whenMissing);
            return;
        }
        t = TrimView(t);
        if (t.size() > 1 && t[1] == ':') {
            t.remove_prefix(2);
        }
        t = TrimView(DropFinalStop(t));
        if (longChapter_ && UnquoteView(Field(K::Authors)).empty()) {
            // The editors stand first and carry their label, so "In" has nothing to follow.
            std::string before = PeekPoolText(props_->textBefore);
            if (!before.empty() && before.front() == ' ') {
                WriteFieldText(" ");
            }
            for (std::string_view word : {"In:", "In", "From:", "From"}) {
                EraseFirst(before, word);
            }
            while (before.find("  ") != std::string::npos) {
                before = ReplaceAll(before, "  ", " ");
            }
            // What remains keeps its final space, so it does not run into the title.
            if (!TrimView(before).empty()) {
                WriteFieldText(TrimLeftBlanks(before));
            }
        } else {
            WritePoolText(props_->textBefore);
        }
        WriteTitleText(t);
        WritePoolText(props_->textAfter);
    }

    void WriteJournal() {
        const std::string_view raw = TrimView(Field(K::Journal).substr(0, kMaxJournal));
        const std::string_view unquoted = UnquoteView(raw);
        const bool literal = unquoted != raw; // a quoted name is written as stored
        if (unquoted.empty()) {
            WritePoolText(props_->whenMissing);
            return;
        }
        issueRequired_ = false;
        WritePoolText(props_->textBefore);
        std::string name(unquoted);
        if (!literal && !options_.ignoreJournalDatabase) {
            if (form_.journalForm != 0 && options_.journals != nullptr) {
                const std::optional<JournalMatch> match =
                    options_.journals->LookUp(name, static_cast<JournalForm>(form_.journalForm));
                if (match && match->quality != kAmbiguousMatch) {
                    name = match->name;
                    issueRequired_ = match->requiresIssue;
                }
            }
            if (name.size() > 12 && name.find('[') != std::string::npos &&
                IsValidIssn(std::string_view(name).substr(name.size() - 10, 9))) {
                name = TrimBlanks(std::string_view(name).substr(0, name.size() - 12));
            }
            if (form_.includeFullStops == 0) {
                std::erase(name, '.');
            }
        }
        WriteFieldText(TrimView(name));
        WritePoolText(props_->textAfter);
    }

    // --- name lists ---

    void WriteNameList(K kind) {
        if (kind == K::Authors) {
            authorsMissing_ = UnquoteView(Field(K::Authors)).empty();
        } else if (authorsMissing_) {
            return; // the editors already stand in the authors' place
        }
        style_ = kind == K::Authors ? &form_.authorStyle : &form_.editorStyle;
        list_ = TrimView(Field(kind == K::Authors && !authorsMissing_ ? K::Authors : K::Editors));
        if (list_.empty() || list_ == "\"\"" || list_ == "\"\".") {
            WritePoolText(props_->whenMissing);
            return;
        }
        const int n = std::max(1, CountSeparators(list_));
        const std::string before = PeekPoolText(props_->textBefore);
        WriteLiteral(n == 1 ? Singular(before) : before);

        const int keep = std::max<int>(1, style_->includAuthors);
        const bool truncated = ((style_->maxAuthors != 0 && style_->maxAuthors < n) ||
                                (desc_.etAlContraction && n > 2)) &&
                               keep < n;
        if (truncated) {
            WriteName(1, n);
            for (int i = 2; i <= keep; ++i) {
                SeparatorRule(i);
                WritePoolText(style_->betw1stAnd2nd);
                WriteName(i, n);
            }
            WriteSubstitute();
        } else if (n == 1) {
            WriteName(1, n);
        } else {
            for (int i = 1; i <= n - 2; ++i) {
                WriteName(i, n);
                SeparatorRule(i);
                WritePoolText(style_->betw1stAnd2nd);
            }
            WriteName(n - 1, n);
            if (singleWord_ || (n == 2 && style_->nameOrder == 3) ||
                (n > 2 && style_->nameOrder == 2)) {
                lastEndsStop_ = true;
            }
            WritePoolText(style_->beforeLast);
            WriteName(n, n);
        }
        WriteTextAfterNames(n);
    }

    // The text that stands for the names left out of a truncated list.
    void WriteSubstitute() {
        const std::string_view marker = kPlainEtAlMarker;
        if (desc_.etAlContraction) {
            // "et al." is written after a blank, as marker or text: the LaTeX output reads the
            // same as every other.
            const std::string s = PeekPoolText(style_->substSuperNames);
            if (s.size() == 4 && s.front() == '#') {
                WriteFieldText(" " + s.substr(0, 2) +
                               std::string(options_.latex ? marker : "et al.") + s.substr(2));
            } else if (!s.empty()) {
                WritePoolText(style_->substSuperNames);
            } else {
                WriteFieldText(" " + std::string(options_.latex ? marker : "et al."));
            }
        } else if (options_.latex) {
            std::string s = PeekPoolText(style_->substSuperNames);
            if (const std::size_t at = s.find("et al"); at != std::string::npos) {
                s.erase(at, s.compare(at, 6, "et al.") == 0 ? 6 : 5);
                s.insert(at, marker);
            }
            WriteFieldText(s);
        } else {
            WritePoolText(style_->substSuperNames);
        }
    }

    void SeparatorRule(int i) {
        const int order = style_->nameOrder;
        if (singleWord_ || (i > 1 && order == 2) || (i == 1 && order == 3)) {
            lastEndsStop_ = true;
        } else if (i > 2 && order == 3 && StartsWith(Pool(style_->beforeLast), ".")) {
            WriteFieldText(".");
        }
    }

    void WriteTextAfterNames(int n) {
        const bool stopAfterList = style_->nameOrder == 2 && n > 1;
        if (!longChapter_) {
            if (stopAfterList) {
                lastEndsStop_ = false;
            }
            WritePoolText(props_->textAfter);
            return;
        }
        if (!authorsMissing_) {
            // As in the other forms, a list that ends with a surname keeps the full stop of
            // the text after it ("J. M. Trent. 2002"), so the flag is cleared, not set.
            const std::string after = PeekPoolText(props_->textAfter);
            if (stopAfterList) {
                lastEndsStop_ = false;
            }
            WriteLiteral(n == 1 ? Singular(after) : after);
            return;
        }
        std::string label = EditorLabel(n);
        std::string after = PeekPoolText(props_->textAfter);
        if (after.size() > 1 && (after[0] == ',' || after[0] == '.' || after[0] == ':')) {
            const std::size_t at = after[0] == '.' ? 1 : 0;
            // The label's own final blank would stand before the punctuation or double the
            // blank after the full stop (" (Eds.) , in").
            if (label.ends_with(' ') && (at == 0 || after[at] == ' ')) {
                label.pop_back();
            }
            after.insert(at, label);
            if (stopAfterList) {
                lastEndsStop_ = true;
            }
            WriteLiteral(after);
        } else {
            WriteLiteral(after);
            if (stopAfterList) {
                lastEndsStop_ = true;
            }
            WriteLiteral(label);
        }
    }

    // " (Eds.) ", " (Editors)", " (Red.)" or " (Redaktörer) ", after the Editors element's texts,
    // singular for one editor.
    std::string EditorLabel(int n) const {
        const FieldProps& editors = form_.props[static_cast<int>(K::Editors)];
        const std::array<std::string, 2> texts = {PeekPoolText(editors.textBefore),
                                                  PeekPoolText(editors.textAfter)};
        std::string label;
        for (const std::string& t : texts) {
            const std::string upper = UpperText(t);
            std::size_t at = upper.find("EDS");
            if (at != std::string::npos) {
                label = upper.find("EDS.") != std::string::npos ? " (Eds.) " : " (Eds) ";
            } else if ((at = upper.find("EDIT")) != std::string::npos) {
                label = " (Editors)";
            }
            if (!label.empty()) {
                if (t[at] == 'e') {
                    label[2] = 'e';
                }
                break;
            }
        }
        if (!label.empty()) {
            const std::string upper = UpperText(label);
            if (n == 1 && StartsWith(upper, " (EDS")) {
                label.erase(4, 1);
            } else if (n == 1 && upper == " (EDITORS)") {
                label.erase(8, 1);
            }
            return label;
        }
        for (const std::string& t : texts) {
            const std::string upper = UpperText(t);
            std::size_t at = upper.find("REDAKT\xD6RER");
            if (at != std::string::npos) {
                label = " (Redakt\xF6rer) ";
            } else if ((at = upper.find("RED")) != std::string::npos) {
                label = upper.find("RED.") != std::string::npos ? " (Red.)" : " (Red)";
            }
            if (!label.empty()) {
                if (t[at] == 'r') {
                    label[2] = 'r';
                }
                break;
            }
        }
        if (n == 1 && StartsWith(UpperText(label), " (REDAKT\xD6RER")) {
            label.erase(10, 2);
        }
        return label;
    }

    // Takes name i (1-based) of the list apart: surname, personal-name parts and the flags.
    void TakeName(int i) {
        surname_ = {};
        suffix_ = {};
        personal_.clear();
        parts_.fill({});
        commaForm_ = false;
        singleWord_ = false;
        std::size_t start = AfterSeparators(list_, i - 1);
        if (start == std::string_view::npos) {
            start = list_.size();
        }
        while (start < list_.size() && IsBlank(list_[start])) {
            ++start;
        }
        std::string_view name = list_.substr(start);
        std::string_view personal;
        if (!name.empty() && name.front() == '"') {
            // A corporate name: all surname, a single word.
            const std::size_t close = name.find('"', 1);
            name = close == std::string_view::npos ? DropFinalStop(TrimView(name.substr(1)))
                                                   : name.substr(1, close - 1);
            surname_ = TrimView(name);
            singleWord_ = true;
        } else {
            if (const std::size_t end = AfterSeparators(name, 1); end != std::string_view::npos) {
                name = name.substr(0, end);
            }
            name = DropFinalStop(TrimView(name));
            SplitName(name, personal);
            // "Bitter Jr, P.": the suffix is written after the whole name, as the style puts it.
            if (const std::size_t at = NameSuffixAt(surname_);
                commaForm_ && at != std::string_view::npos) {
                suffix_ = surname_.substr(at + 1);
                surname_ = TrimRightView(surname_.substr(0, at));
            }
        }
        std::size_t paren = surname_.find(" (");
        if (doubleByte_) {
            paren = std::min(paren, surname_.find(kFullWidthParen));
        }
        surname_ = surname_.substr(0, paren);
        if (style_->personalNames == 1 || singleWord_) {
            return;
        }
        if (!commaForm_) {
            personal_.assign(personal);
            return;
        }
        personal_ = ReplaceAll(personal, " - ", "-");
        std::string_view rest = personal_;
        for (int p = 0; p < kMaxParts; ++p) {
            rest = TrimView(rest);
            const std::size_t space = rest.find(' ');
            parts_[p] = rest.substr(0, space);
            rest = space == std::string_view::npos ? std::string_view() : rest.substr(space);
        }
    }

    // "Smith, J A" (comma form) or "Smith JA" (space form) into surname and personal names.
    void SplitName(std::string_view name, std::string_view& personal) {
        if (const std::size_t comma = name.find(", "); comma != std::string_view::npos) {
            commaForm_ = true;
            surname_ = name.substr(0, comma);
            personal = name.substr(comma + 2);
        } else if (const std::size_t space = name.find(' '); space != std::string_view::npos) {
            surname_ = name.substr(0, space);
            personal = name.substr(space + 1);
        } else {
            surname_ = name;
            singleWord_ = true;
        }
    }

    void WriteName(int i, int n) {
        TakeName(i);
        if (style_->personalNames == 1) {
            WriteFieldText(surname_);
            return;
        }
        if (!commaForm_) {
            // The name keeps the form it has in the reference file.
            std::string whole(surname_);
            whole.append(" ").append(personal_);
            WriteFieldText(TrimView(whole));
            return;
        }
        const int order = style_->nameOrder;
        const bool hasPersonal = !parts_[0].empty();
        if (order == 0 || (order == 2 && i == 1) || (order == 3 && i > 1)) {
            WriteFieldText(surname_);
            if (hasPersonal) {
                const StrRef between =
                    order == 2 ? style_->betw1stSurAndPers : style_->betwSubsSurPers;
                WritePoolText(between);
                WritePersonal(i == n, false);
                WriteSuffix(Pool(between).find(',') != std::string_view::npos);
            } else {
                WriteSuffix(false);
            }
        } else {
            if (hasPersonal) {
                WritePersonal(i == n, true);
                WritePoolText(order == 3 ? style_->betw1stSurAndPers : style_->betwSubsSurPers);
            }
            WriteFieldText(surname_);
            WriteSuffix(false);
        }
    }

    // "Jr", "Sr", "III" after the name: after a comma where the style parts the surname from the
    // personal names with one ("Bitter, P., Jr."), else after a blank ("Bitter P Jr",
    // "P. Bitter Jr."); "Jr" and "Sr" take a full stop where the style's initials do, or where
    // the personal names are written out.
    void WriteSuffix(bool afterComma) {
        if (suffix_.empty()) {
            return;
        }
        WriteFieldText(afterComma ? ", " : " ");
        const bool stops = style_->personalNames == 2 ||
                           Pool(style_->afterPersonal).find('.') != std::string_view::npos ||
                           Pool(style_->betwPersonal).find('.') != std::string_view::npos;
        if (stops && (suffix_ == "Jr" || suffix_ == "Sr")) {
            WriteFieldText(std::string(suffix_) + ".");
        } else {
            WriteFieldText(suffix_);
        }
    }

    void WritePersonal(bool lastName, bool personalFirst) {
        for (int p = 0; p < kMaxParts && !parts_[p].empty(); ++p) {
            const std::string_view part = parts_[p];
            const bool more = p + 1 < kMaxParts && !parts_[p + 1].empty();
            if (style_->personalNames == 0) {
                if (part.front() != '-') {
                    WriteCharAt(part, 0);
                }
                if (const std::size_t dash = part.find('-'); dash != std::string_view::npos) {
                    // "J.-P": the text between initials ends the first one, without its
                    // trailing blanks, so ". " gives "J.-P" rather than "J. -P".
                    WritePoolText(TrimRightView(Pool(style_->betwPersonal)));
                    WriteChar("-");
                    if (dash + 1 < part.size()) {
                        WriteCharAt(part, dash + 1);
                    }
                }
            } else {
                const bool word = part.size() > 1;
                if (word) {
                    WriteChar(" ");
                }
                WriteFieldText(part);
                if (word && more) {
                    WriteFieldText(" ");
                }
                lastEndsStop_ = lastEndsStop_ || (word && (more || personalFirst));
                if (!more && word && !lastName) {
                    lastEndsStop_ = true;
                }
            }
            if (more) {
                WritePoolText(style_->betwPersonal);
            }
        }
        WritePoolText(style_->afterPersonal);
    }

    const TFormatDesc& desc_;
    const TRefArrData& record_;
    const RenderOptions& options_;
    std::string& out_;
    const FormDef& form_;
    const FieldProps* props_ = nullptr;
    const bool longChapter_;
    const bool doubleByte_;

    RenderMarks marks_;
    bool lastEndsStop_ = false;
    bool lastEndsSpace_ = false;
    bool authorsMissing_ = false;
    bool issueRequired_ = false;
    std::string_view year_, volume_, issue_, pageFirst_, pageLast_;

    const NameListStyle* style_ = nullptr;
    std::string_view list_;
    std::string_view surname_;
    std::string_view suffix_; // "Jr", "Sr", "III" of the surname, written after the name
    std::string personal_;
    std::array<std::string_view, kMaxParts> parts_{};
    bool commaForm_ = false;
    bool singleWord_ = false;
};

} // namespace

RenderMarks RenderReferenceMarked(const TFormatDesc& desc, bool longForm, const TRefArrData& record,
                                  std::string& out, const RenderOptions& options) {
    return RenderState(desc, longForm, record, out, options).Run();
}

std::size_t RenderReference(const TFormatDesc& desc, bool longForm, const TRefArrData& record,
                            std::string& out, const RenderOptions& options) {
    return RenderReferenceMarked(desc, longForm, record, out, options).authorsEnd;
}

std::string Unquote(std::string_view text) {
    return std::string(UnquoteView(text));
}

std::string AuthorYearLabel(const TRefArrData& record, const RenderOptions& options) {
    std::string_view names = UnquoteView(record[K::Authors]);
    if (names.empty()) {
        names = UnquoteView(record[K::Editors]);
    }
    if (names.empty()) {
        names = "Anonymous";
    }
    const int n = std::max(1, CountSeparators(names.substr(1)));
    // A citation names the author by the last name alone, without its suffix (as NextAuthorName
    // gives it).
    AuthorName name = NextAuthorName(names);
    std::string text = name.name;
    for (int i = 2; i <= n && n <= 3; ++i) {
        name = NextAuthorName(name.rest);
        text.append(i == n ? " & " : ", ").append(name.name);
    }
    if (n >= 4) {
        text += options.latex ? kItalicEtAlMarker : options.suppressRtf ? " et al." : " #Iet al.#I";
    }
    const bool marker = text.find(kItalicEtAlMarker) != std::string::npos;
    return text + (marker ? " " : ", ") + record[K::Year];
}

std::string NumberLabel(const TFormatDesc& desc, int style, int n) {
    if (style < 0 || style > kMaxNumberingStyle) {
        return " ";
    }
    const std::string number = std::to_string(n);
    std::string label;
    switch (style % 7) {
    case 0:
        label = number;
        break;
    case 1:
        label = number + ".";
        break;
    case 2:
        label = number + ")";
        break;
    case 3:
        label = number + "/";
        break;
    case 4:
        label = "[" + number + "]";
        break;
    case 5:
        label = "[" + number + "].";
        break;
    default:
        label.append(GetPoolString(desc, desc.record.numberPrefix))
            .append(number)
            .append(GetPoolString(desc, desc.record.numberSuffix));
    }
    return label + (style >= 7 ? "#T" : " ");
}

} // namespace cvx
