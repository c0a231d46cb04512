#include "formats/StyleText.h"

#include "text/Catalogue.h"
#include "text/Cp1252.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <set>
#include <span>
#include <vector>

namespace cvx {

namespace {

constexpr std::string_view kFirstLine = "citavox-format 1";
constexpr std::size_t kKeyWidth = 20;
constexpr std::size_t kSubKeyWidth = 20;
constexpr std::string_view kSubIndent = "    ";

// A value as written: a bare word or a quoted text.
struct Choice {
    std::string_view text;
    bool quoted = false;
};

constexpr Choice kShortForms[] = {{"defined"}, {"number"}, {"author-year"}};
constexpr Choice kGroupSorts[] = {{"alphabetical"}, {"chronological"}};
constexpr Choice kEnclosures[] = {{"parentheses"}, {"brackets"}, {"closing-parenthesis"}, {"none"}};
constexpr Choice kSeparators[] = {{"; ", true}, {", ", true}, {" ", true},
                                  {";", true},  {",", true},  {"none"}};
constexpr Choice kCitationStyles[] = {{"none"},      {"italic"},      {"bold"},
                                      {"underline"}, {"superscript"}, {"subscript"}};
constexpr Choice kListOrders[] = {{"alphabetical"},
                                  {"chronological"},
                                  {"numbered-alphabetical"},
                                  {"numbered-chronological"},
                                  {"numbered-citation"}};
constexpr Choice kCollations[] = {{"swedish"},
                                  {"english"},
                                  {"japanese-shift-jis"},
                                  {"japanese-pronounced"},
                                  {"danish-aa-last"},
                                  {"norwegian"},
                                  {"finnish"},
                                  {"spanish"},
                                  {"german"},
                                  {"danish-aa-first"}};
constexpr Choice kParagraphs[] = {{"left"}, {"indented"}, {"hanging"}};
constexpr Choice kNumberings[] = {{"1", true},   {"1.", true},   {"1)", true}, {"1/", true},
                                  {"[1]", true}, {"[1].", true}, {"custom"}};
constexpr Choice kYesNo[] = {{"no"}, {"yes"}};
constexpr Choice kYearLetters[] = {{"run"}, {"list"}};
constexpr Choice kJournalForms[] = {{"as-stored"},     {"full"},   {"medlar"},
                                    {"index-medicus"}, {"biosis"}, {"chemical-abstracts"}};
constexpr Choice kPersonalNames[] = {{"initials"}, {"surnames-only"}, {"full-names"}};
constexpr Choice kNameOrders[] = {
    {"surname-first"}, {"given-first"}, {"first-surname-first"}, {"first-given-first"}};

constexpr std::string_view kFormSections[] = {"journal short", "journal long",    "chapter short",
                                              "chapter long",  "monograph short", "monograph long"};
constexpr std::string_view kSourceWords[] = {"journal", "chapter", "monograph"};

// The texts of a name-list style, in the order of the record.
constexpr std::string_view kStyleTextKeys[] = {
    "et-al",         "surname-given", "after-given", "first-surname-given",
    "between-given", "between-names", "before-last"};
std::array<StrRef*, 7> StyleTexts(NameListStyle& s) {
    return {&s.substSuperNames, &s.betwSubsSurPers, &s.afterPersonal, &s.betw1stSurAndPers,
            &s.betwPersonal,    &s.betw1stAnd2nd,   &s.beforeLast};
}

// The words of a field's options: what each option value means for that kind (the value is the
// word's index from 1; an empty word is no value of that kind).
std::array<std::string_view, 2> OptionWords(int kind) {
    switch (static_cast<FieldIndex>(kind)) {
    case FieldIndex::Year:
        return {"truncate", ""};
    case FieldIndex::Issue:
        return {"force", ""};
    case FieldIndex::PageLast:
        return {"contract", "contract-chicago"};
    case FieldIndex::Title:
    case FieldIndex::BookTitle:
    case FieldIndex::TranslTitle:
    case FieldIndex::TranslBookTitle:
        return {"upper", "headline"};
    default:
        return {"upper", ""};
    }
}
constexpr std::string_view kOptionWords[] = {"truncate",         "force", "contract",
                                             "contract-chicago", "upper", "headline"};

bool IsUndefinedCp1252(unsigned char c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

std::string Quote(std::string_view cp1252) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char ch : cp1252) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F || IsUndefinedCp1252(c)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += Cp1252ToUtf8(std::string_view(&ch, 1));
        }
    }
    return out + "\"";
}

std::string ChoiceText(std::span<const Choice> choices, int value) {
    const Choice& c = choices[value >= 0 && value < static_cast<int>(choices.size()) ? value : 0];
    return c.quoted ? Quote(c.text) : std::string(c.text);
}

std::string KindName(int kind) {
    return kind < kElementKinds ? std::string(FieldName(static_cast<FieldIndex>(kind)))
                                : std::to_string(kind);
}

// The elements after `count` that a form keeps when the description names none: the kinds not
// in its order, ascending.
std::array<std::uint8_t, kMaxElements> DefaultTail(const std::vector<std::uint8_t>& order) {
    std::array<std::uint8_t, kMaxElements> all{};
    std::size_t used = 0;
    for (std::uint8_t k : order) {
        all[used++] = k;
    }
    for (int k = 0; k < kElementKinds && used < all.size(); ++k) {
        if (std::find(order.begin(), order.end(), k) == order.end()) {
            all[used++] = static_cast<std::uint8_t>(k);
        }
    }
    return all;
}

bool PropsAreDefault(const FieldProps& p) {
    return p.option == 0 && p.removeTrailDot == 0 && p.whenMissing.length == 0 &&
           p.textBefore.length == 0 && p.textAfter.length == 0;
}

// --- decompiling ---

class Printer {
public:
    explicit Printer(const FormatRecord& record) : r_(record) {}

    std::string Run() {
        out_ = std::string(kFirstLine) + "\n\n[citations]\n";
        Line("short-form", ChoiceText(kShortForms, r_.shortForm));
        Line("group-sort", ChoiceText(kGroupSorts, r_.groupSort));
        Line("enclose", ChoiceText(kEnclosures, r_.encloseGroup));
        Line("separator", ChoiceText(kSeparators, r_.betwCitations));
        Line("style", ChoiceText(kCitationStyles, r_.citationStyle));
        Line("et-al-when-repeated", ChoiceText(kYesNo, r_.allowEtAl));
        Line("year-letters", ChoiceText(kYearLetters, r_.yearLetters));
        out_ += "\n[reference-list]\n";
        Line("order", ChoiceText(kListOrders, r_.refListSortOrder));
        Line("collation", ChoiceText(kCollations, r_.charSortOrder));
        Line("paragraph", ChoiceText(kParagraphs, r_.paragraphStyle));
        Line("numbering", ChoiceText(kNumberings, r_.numberingStyle % 7));
        Line("number-tab", ChoiceText(kYesNo, r_.numberingStyle >= 7 ? 1 : 0));
        Text("number-prefix", r_.numberPrefix);
        Text("number-suffix", r_.numberSuffix);
        Line("skip-repeats", ChoiceText(kYesNo, r_.skipRepeats));
        Text("repeat-substitute", r_.substAuthors);
        for (int slot = 0; slot < kFormCount; ++slot) {
            out_ += "\n[" + std::string(kFormSections[slot]) + "]\n";
            Form(r_.forms[slot]);
        }
        return out_;
    }

private:
    void Line(std::string_view key, std::string_view value, std::size_t width = kKeyWidth,
              std::string_view indent = {}) {
        out_.append(indent).append(key);
        if (!value.empty()) {
            out_.append(key.size() < width ? width - key.size() : 1, ' ').append(value);
        }
        out_ += '\n';
    }

    void Text(std::string_view key, StrRef ref) {
        if (const std::string_view text = GetPoolString(r_, ref); !text.empty()) {
            Line(key, Quote(text));
        }
    }

    void Form(const FormDef& f) {
        Line("defined", ChoiceText(kYesNo, f.defined));
        Line("journal-form", ChoiceText(kJournalForms, f.journalForm));
        Line("full-stops", ChoiceText(kYesNo, f.includeFullStops));
        const int count = std::min<int>(f.count, kMaxElements);
        const std::vector<std::uint8_t> order(f.order.begin(), f.order.begin() + count);
        Line("order", Kinds(order));
        if (DefaultTail(order) != f.order) {
            Line("unused", Kinds({f.order.begin() + count, f.order.end()}));
        }
        Style("authors", f.authorStyle);
        Style("editors", f.editorStyle);
        for (std::uint8_t k : order) {
            if (k < kElementKinds) {
                Field(f.props[k]);
            }
        }
        for (int k = 0; k < kElementKinds; ++k) {
            if (std::find(order.begin(), order.end(), k) == order.end() &&
                !PropsAreDefault(f.props[k])) {
                Field(f.props[k]);
            }
        }
    }

    static std::string Kinds(const std::vector<std::uint8_t>& kinds) {
        std::string text;
        for (std::uint8_t k : kinds) {
            text += (text.empty() ? "" : " ") + KindName(k);
        }
        return text;
    }

    void Style(std::string_view key, NameListStyle s) {
        Line(key, ChoiceText(kPersonalNames, s.personalNames) + " " +
                      ChoiceText(kNameOrders, s.nameOrder) + " max " +
                      (s.maxAuthors == 0 ? "unlimited" : std::to_string(s.maxAuthors)) + " keep " +
                      std::to_string(s.includAuthors));
        const std::array<StrRef*, 7> texts = StyleTexts(s);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (const std::string_view t = GetPoolString(r_, *texts[i]); !t.empty()) {
                Line(kStyleTextKeys[i], Quote(t), kSubKeyWidth, kSubIndent);
            }
        }
    }

    void Field(const FieldProps& p) {
        std::string attributes;
        auto add = [&attributes](std::string_view a) {
            attributes.append(attributes.empty() ? "" : "  ").append(a);
        };
        for (const auto& [word, ref] :
             {std::pair{"before", p.textBefore}, std::pair{"after", p.textAfter},
              std::pair{"missing", p.whenMissing}}) {
            if (const std::string_view t = GetPoolString(r_, ref); !t.empty()) {
                add(std::string(word) + " " + Quote(t));
            }
        }
        if (p.option != 0 && p.option <= OptionWords(p.kind).size()) {
            add(OptionWords(p.kind)[p.option - 1]);
        }
        if (p.removeTrailDot != 0) {
            add("drop-final-stop");
        }
        Line("field " + KindName(p.kind), attributes);
    }

    const FormatRecord& r_;
    std::string out_;
};

// --- compiling ---

struct Token {
    std::string text; // code page 1252 for quoted texts
    bool quoted = false;
};

// What a form section said, applied once the whole description is read.
struct FormText {
    int line = 0; // of the section header
    std::optional<std::vector<std::uint8_t>> order;
    std::optional<std::vector<std::uint8_t>> unused;
};

class Compiler {
public:
    Outcome Run(std::string_view text, FormatRecord& result) {
        record_ = DefaultFormatRecord();
        numbering_ = record_.numberingStyle % 7;
        numberTab_ = record_.numberingStyle >= 7;
        if (!ReadLines(text) || !Finish()) {
            return Outcome::Error(
                line_ > 0 ? Msg(msg::Formats::LineMessage, std::to_string(line_), error_) : error_);
        }
        result = record_;
        return Outcome::Ok();
    }

private:
    bool Fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool ReadLines(std::string_view text) {
        bool first = true;
        for (const std::string_view line : SplitLines(text)) {
            ++line_;
            const std::string_view trimmed = TrimView(line);
            if (trimmed.empty() || trimmed.front() == '#') {
                continue;
            }
            if (first) {
                if (trimmed != kFirstLine) {
                    return Fail(Msg(msg::Formats::BadFirstLine));
                }
                first = false;
                continue;
            }
            if (!(trimmed.front() == '[' ? Section(trimmed) : Setting(line, trimmed))) {
                return false;
            }
        }
        if (first) {
            ++line_;
            return Fail(Msg(msg::Formats::BadFirstLine));
        }
        return true;
    }

    bool Section(std::string_view trimmed) {
        if (trimmed.back() != ']') {
            return Fail(Msg(msg::Formats::UnknownSection, Utf8ToCp1252(trimmed)));
        }
        const std::string_view name = TrimView(trimmed.substr(1, trimmed.size() - 2));
        int index = -1;
        if (name == "citations") {
            index = 0;
        } else if (name == "reference-list") {
            index = 1;
        }
        for (int slot = 0; slot < kFormCount; ++slot) {
            if (name == kFormSections[slot]) {
                index = 2 + slot;
            }
        }
        if (index < 0) {
            return Fail(Msg(msg::Formats::UnknownSection, Utf8ToCp1252(name)));
        }
        if (sectionsSeen_.contains(index)) {
            return Fail(Msg(msg::Formats::SectionTwice, name));
        }
        sectionsSeen_.insert(index);
        section_ = index;
        keysSeen_.clear();
        style_ = nullptr;
        if (index >= 2) {
            forms_[index - 2].line = line_;
        }
        return true;
    }

    bool Setting(std::string_view line, std::string_view trimmed) {
        if (section_ < 0) {
            return Fail(Msg(msg::Formats::SettingBeforeSection));
        }
        tokens_.clear();
        if (!Tokenize(trimmed)) {
            return false;
        }
        next_ = 1;
        const std::string& key = tokens_[0].text;
        if (IsBlank(line.front())) {
            // An indented line holds a text of the name-list style above it.
            return style_ != nullptr ? StyleText(key)
                                     : Fail(Msg(msg::Formats::IndentedLineMisplaced));
        }
        style_ = nullptr;
        std::string seenKey = key;
        if (key == "field" && tokens_.size() > 1) {
            seenKey += " " + tokens_[1].text;
        }
        if (!keysSeen_.insert(seenKey).second) {
            return Fail(Msg(msg::Formats::SettingTwice, seenKey));
        }
        if (section_ == 0) {
            return CitationSetting(key);
        }
        if (section_ == 1) {
            return ListSetting(key);
        }
        return FormSetting(key, record_.forms[section_ - 2], forms_[section_ - 2]);
    }

    bool Tokenize(std::string_view line) {
        std::size_t i = 0;
        while (true) {
            while (i < line.size() && IsBlank(line[i])) {
                ++i;
            }
            if (i >= line.size()) {
                return true;
            }
            Token token;
            if (line[i] != '"') {
                const std::size_t start = i;
                while (i < line.size() && !IsBlank(line[i])) {
                    ++i;
                }
                token.text = line.substr(start, i - start);
                tokens_.push_back(std::move(token));
                continue;
            }
            token.quoted = true;
            std::string piece; // UTF-8 up to the next escape
            ++i;
            while (true) {
                if (i >= line.size()) {
                    return Fail(Msg(msg::Formats::QuoteNotClosed));
                }
                const char c = line[i];
                const bool escape = c == '\\' && i + 1 < line.size();
                if (c == '"') {
                    ++i;
                    break;
                }
                if (escape && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    piece += line[i + 1];
                    i += 2;
                } else if (escape && line[i + 1] == 'x' && i + 3 < line.size() &&
                           std::isxdigit(static_cast<unsigned char>(line[i + 2])) &&
                           std::isxdigit(static_cast<unsigned char>(line[i + 3]))) {
                    if (!Flush(piece, token.text)) {
                        return false;
                    }
                    token.text += static_cast<char>(
                        std::stoi(std::string(line.substr(i + 2, 2)), nullptr, 16));
                    i += 4;
                } else {
                    piece += c;
                    ++i;
                }
            }
            if (!Flush(piece, token.text)) {
                return false;
            }
            if (i < line.size() && !IsBlank(line[i])) {
                return Fail(Msg(msg::Formats::UnexpectedAtEnd, Utf8ToCp1252(line.substr(i))));
            }
            tokens_.push_back(std::move(token));
        }
    }

    bool Flush(std::string& utf8, std::string& out) {
        if (!Utf8FitsCp1252(utf8)) {
            return Fail(Msg(msg::Formats::NotInCodePage));
        }
        out += Utf8ToCp1252(utf8);
        utf8.clear();
        return true;
    }

    // --- values ---

    const Token* Next() {
        if (next_ >= tokens_.size()) {
            Fail(Msg(msg::Formats::ValueMissing));
            return nullptr;
        }
        return &tokens_[next_++];
    }

    bool End() {
        if (next_ < tokens_.size()) {
            const Token& t = tokens_[next_];
            return Fail(
                Msg(msg::Formats::UnexpectedAtEnd, t.quoted ? t.text : Utf8ToCp1252(t.text)));
        }
        return true;
    }

    static std::optional<int> Match(const Token& t, std::span<const Choice> choices) {
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (choices[i].text == t.text && choices[i].quoted == t.quoted) {
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    }

    bool BadChoice(const Token& t, std::string_view key, std::span<const Choice> choices) {
        std::string list;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            list += (i ? ", " : "") + ChoiceText(choices, static_cast<int>(i));
        }
        return Fail(Msg(msg::Formats::NotAValue, t.quoted ? t.text : Utf8ToCp1252(t.text), key,
                        Utf8ToCp1252(list)));
    }

    bool Choose(std::string_view key, std::span<const Choice> choices, std::uint8_t& target) {
        const Token* t = Next();
        if (t == nullptr) {
            return false;
        }
        const std::optional<int> index = Match(*t, choices);
        if (!index) {
            return BadChoice(*t, key, choices);
        }
        target = static_cast<std::uint8_t>(*index);
        return End();
    }

    bool TextValue(StrRef& ref) {
        const Token* t = Next();
        if (t == nullptr) {
            return false;
        }
        if (!t->quoted) {
            return Fail(Msg(msg::Formats::QuotedTextExpected, Utf8ToCp1252(t->text)));
        }
        if (t->text.size() > static_cast<std::size_t>(kMaxPoolText)) {
            return Fail(Msg(msg::Formats::TextTooLong));
        }
        texts_.Set(ref, t->text);
        return true;
    }

    bool Text(StrRef& ref) { return TextValue(ref) && End(); }

    bool Number(std::uint8_t& target, bool allowUnlimited) {
        const Token* t = Next();
        if (t == nullptr) {
            return false;
        }
        if (allowUnlimited && !t->quoted && t->text == "unlimited") {
            target = 0;
            return true;
        }
        const std::optional<int> n = t->quoted ? std::nullopt : ParseInt(t->text, true);
        if (!n || *n < 0 || *n > 255) {
            return Fail(Msg(msg::Formats::NotAByte, Utf8ToCp1252(t->text)));
        }
        target = static_cast<std::uint8_t>(*n);
        return true;
    }

    bool Unknown(const std::string& key) {
        return Fail(Msg(msg::Formats::UnknownSetting, Utf8ToCp1252(key)));
    }

    // --- sections ---

    bool CitationSetting(const std::string& key) {
        FormatRecord& r = record_;
        if (key == "short-form") {
            return Choose(key, kShortForms, r.shortForm);
        }
        if (key == "group-sort") {
            return Choose(key, kGroupSorts, r.groupSort);
        }
        if (key == "enclose") {
            return Choose(key, kEnclosures, r.encloseGroup);
        }
        if (key == "separator") {
            return Choose(key, kSeparators, r.betwCitations);
        }
        if (key == "style") {
            return Choose(key, kCitationStyles, r.citationStyle);
        }
        if (key == "et-al-when-repeated") {
            return Choose(key, kYesNo, r.allowEtAl);
        }
        if (key == "year-letters") {
            return Choose(key, kYearLetters, r.yearLetters);
        }
        return Unknown(key);
    }

    bool ListSetting(const std::string& key) {
        FormatRecord& r = record_;
        if (key == "order") {
            return Choose(key, kListOrders, r.refListSortOrder);
        }
        if (key == "collation") {
            return Choose(key, kCollations, r.charSortOrder);
        }
        if (key == "paragraph") {
            return Choose(key, kParagraphs, r.paragraphStyle);
        }
        if (key == "numbering") {
            return Choose(key, kNumberings, numbering_);
        }
        if (key == "number-tab") {
            return Choose(key, kYesNo, numberTab_);
        }
        if (key == "number-prefix") {
            return Text(r.numberPrefix);
        }
        if (key == "number-suffix") {
            return Text(r.numberSuffix);
        }
        if (key == "skip-repeats") {
            return Choose(key, kYesNo, r.skipRepeats);
        }
        if (key == "repeat-substitute") {
            return Text(r.substAuthors);
        }
        return Unknown(key);
    }

    bool FormSetting(const std::string& key, FormDef& f, FormText& form) {
        if (key == "defined") {
            return Choose(key, kYesNo, f.defined);
        }
        if (key == "journal-form") {
            return Choose(key, kJournalForms, f.journalForm);
        }
        if (key == "full-stops") {
            return Choose(key, kYesNo, f.includeFullStops);
        }
        if (key == "order") {
            return Kinds(form.order.emplace(), true);
        }
        if (key == "unused") {
            return Kinds(form.unused.emplace(), false);
        }
        if (key == "authors" || key == "editors") {
            style_ = key == "authors" ? &f.authorStyle : &f.editorStyle;
            return StyleLine(*style_);
        }
        if (key == "field") {
            return FieldLine(f);
        }
        return Unknown(key);
    }

    std::optional<int> KindOf(const Token& t) {
        for (int k = 0; k < kElementKinds && !t.quoted; ++k) {
            if (FieldName(static_cast<FieldIndex>(k)) == t.text) {
                return k;
            }
        }
        Fail(Msg(msg::Formats::UnknownElement, t.quoted ? t.text : Utf8ToCp1252(t.text)));
        return std::nullopt;
    }

    bool Kinds(std::vector<std::uint8_t>& kinds, bool placed) {
        const int slot = section_ - 2;
        for (; next_ < tokens_.size(); ++next_) {
            const std::optional<int> k = KindOf(tokens_[next_]);
            if (!k) {
                return false;
            }
            if (placed && ((AllowedKinds(static_cast<FormSlot>(slot)) >> *k) & 1) == 0) {
                return Fail(Msg(msg::Formats::ElementNotInForms, KindName(*k),
                                std::string(kSourceWords[slot / 2])));
            }
            if (placed && std::find(kinds.begin(), kinds.end(), *k) != kinds.end()) {
                return Fail(Msg(msg::Formats::ElementTwice, KindName(*k)));
            }
            if (kinds.size() == kMaxElements) {
                return Fail(Msg(msg::Formats::TooManyElements));
            }
            kinds.push_back(static_cast<std::uint8_t>(*k));
        }
        return true;
    }

    bool StyleLine(NameListStyle& s) {
        while (next_ < tokens_.size()) {
            const Token& t = tokens_[next_++];
            if (const auto personal = Match(t, kPersonalNames)) {
                s.personalNames = static_cast<std::uint8_t>(*personal);
            } else if (const auto order = Match(t, kNameOrders)) {
                s.nameOrder = static_cast<std::uint8_t>(*order);
            } else if (!t.quoted && t.text == "max") {
                if (!Number(s.maxAuthors, true)) {
                    return false;
                }
            } else if (!t.quoted && t.text == "keep") {
                if (!Number(s.includAuthors, false)) {
                    return false;
                }
            } else {
                return Fail(
                    Msg(msg::Formats::UnexpectedAtEnd, t.quoted ? t.text : Utf8ToCp1252(t.text)));
            }
        }
        return true;
    }

    bool StyleText(const std::string& key) {
        const auto* const found =
            std::find(std::begin(kStyleTextKeys), std::end(kStyleTextKeys), key);
        if (found == std::end(kStyleTextKeys)) {
            return Unknown(key);
        }
        const std::string seenKey =
            (style_ == &record_.forms[section_ - 2].authorStyle ? "authors " : "editors ") + key;
        if (!keysSeen_.insert(seenKey).second) {
            return Fail(Msg(msg::Formats::SettingTwice, seenKey));
        }
        return Text(*StyleTexts(*style_)[found - std::begin(kStyleTextKeys)]);
    }

    bool FieldLine(FormDef& f) {
        const Token* name = Next();
        if (name == nullptr) {
            return false;
        }
        const std::optional<int> kind = KindOf(*name);
        if (!kind) {
            return false;
        }
        FieldProps& p = f.props[*kind];
        while (next_ < tokens_.size()) {
            const Token& t = tokens_[next_++];
            const std::string_view word = t.quoted ? std::string_view() : t.text;
            if (word == "before" || word == "after" || word == "missing") {
                if (!TextValue(word == "before"  ? p.textBefore
                               : word == "after" ? p.textAfter
                                                 : p.whenMissing)) {
                    return false;
                }
            } else if (word == "drop-final-stop") {
                p.removeTrailDot = 1;
            } else if (const auto words = OptionWords(*kind);
                       !word.empty() &&
                       std::find(words.begin(), words.end(), word) != words.end()) {
                p.option = static_cast<std::uint8_t>(std::find(words.begin(), words.end(), word) -
                                                     words.begin() + 1);
            } else if (std::find(std::begin(kOptionWords), std::end(kOptionWords), word) !=
                       std::end(kOptionWords)) {
                return Fail(Msg(msg::Formats::NoSuchOption, KindName(*kind), std::string(word)));
            } else {
                return Fail(
                    Msg(msg::Formats::UnexpectedAtEnd, t.quoted ? t.text : Utf8ToCp1252(t.text)));
            }
        }
        return true;
    }

    // Checks that every section is there and puts the orders and texts into the record.
    bool Finish() {
        for (int index = 0; index < 2 + kFormCount; ++index) {
            if (!sectionsSeen_.contains(index)) {
                line_ = 0;
                const std::string_view name = index == 0   ? "citations"
                                              : index == 1 ? "reference-list"
                                                           : kFormSections[index - 2];
                return Fail(Msg(msg::Formats::SectionMissing, name));
            }
        }
        record_.numberingStyle = static_cast<std::uint8_t>(numbering_ + (numberTab_ ? 7 : 0));
        for (int slot = 0; slot < kFormCount; ++slot) {
            FormDef& f = record_.forms[slot];
            const FormText& form = forms_[slot];
            if (!form.order) {
                line_ = form.line;
                return Fail(Msg(msg::Formats::FormWithoutOrder, kFormSections[slot]));
            }
            f.count = static_cast<std::uint8_t>(form.order->size());
            if (form.unused) {
                if (form.order->size() + form.unused->size() > kMaxElements) {
                    line_ = form.line;
                    return Fail(Msg(msg::Formats::TooManyElements));
                }
                f.order = {};
                std::copy(form.order->begin(), form.order->end(), f.order.begin());
                std::copy(form.unused->begin(), form.unused->end(),
                          f.order.begin() + form.order->size());
            } else {
                f.order = DefaultTail(*form.order);
            }
        }
        if (!texts_.Apply(record_)) {
            line_ = 0;
            return Fail(Msg(msg::Formats::PoolFull));
        }
        return true;
    }

    FormatRecord record_;
    PoolLayout texts_;
    std::array<FormText, kFormCount> forms_;
    std::uint8_t numbering_ = 0;
    std::uint8_t numberTab_ = 0;

    int line_ = 0;
    std::string error_;
    int section_ = -1;
    std::set<int> sectionsSeen_;
    std::set<std::string> keysSeen_;
    NameListStyle* style_ = nullptr;
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

} // namespace

std::string DecompileFormat(const FormatRecord& record) {
    return Printer(record).Run();
}

Outcome CompileFormat(std::string_view text, FormatRecord& record) {
    return Compiler().Run(text, record);
}

} // namespace cvx
