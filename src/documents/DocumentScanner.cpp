#include "documents/DocumentScanner.h"

#include "documents/PseudoCitation.h"
#include "storage/LittleEndian.h"
#include "text/Cp1252.h"
#include "text/LatexText.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace cvx {

namespace {

// One unit of a manuscript as the scanner sees it.
struct Token {
    enum Type : std::uint8_t {
        Char,  // a character of the text (a code point, or a byte of a raw text)
        Code,  // formatting or structure that is not text
        Open,  // an RTF group brace
        Close, // an RTF group end
        End
    };
    Type type = End;
    char32_t ch = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The characters a document definition writes as code sequences (or as single bytes above 127),
// so that a path written with them reads back as the character it is.
class CharacterDecoder {
public:
    explicit CharacterDecoder(const TDocumentDefinition* definition) {
        if (definition == nullptr) {
            return;
        }
        for (int c = kFirstMappedChar; c <= kLastMappedChar; ++c) {
            const std::string& code = definition->Character(static_cast<unsigned char>(c));
            const auto lead = code.empty() ? 0 : static_cast<unsigned char>(code[0]);
            if (!code.empty() && (lead < 0x20 || lead >= 0x80)) {
                byLead_[lead].push_back({code, Cp1252ToUnicode(static_cast<unsigned char>(c))});
            }
        }
        for (auto& entries : byLead_) {
            std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
                return a.code.size() > b.code.size();
            });
        }
    }

    // The character whose code starts at pos, with the code's length; 0 length when none does.
    std::pair<char32_t, std::size_t> At(std::string_view text, std::size_t pos) const {
        for (const Entry& e : byLead_[static_cast<unsigned char>(text[pos])]) {
            if (text.substr(pos, e.code.size()) == e.code) {
                return {e.ch, e.code.size()};
            }
        }
        return {0, 0};
    }

private:
    struct Entry {
        std::string code;
        char32_t ch;
    };
    std::array<std::vector<Entry>, 256> byLead_;
};

// Plain formats: every byte is a character; in a code page text the bytes above 127 and the code
// sequences of the definition are decoded, in a UTF-8 text bytes are taken as they are.
class PlainTokenizer {
public:
    PlainTokenizer(std::string_view doc, const CharacterDecoder& decoder, bool raw)
        : doc_(doc), decoder_(decoder), raw_(raw) {}

    Token Next() {
        if (pos_ >= doc_.size()) {
            return {Token::End, 0, pos_, pos_};
        }
        const std::size_t at = pos_;
        const auto b = static_cast<unsigned char>(doc_[at]);
        if (raw_ || (b >= 0x20 && b < 0x80)) {
            ++pos_;
            return {Token::Char, b, at, pos_};
        }
        const auto [ch, length] = decoder_.At(doc_, at);
        if (length > 0) {
            pos_ += length;
            return {Token::Char, ch, at, pos_};
        }
        ++pos_;
        // A byte above 127 that the format does not use for a character (a WordStar soft space,
        // say) separates words.
        return {Token::Char, b < 0x20 ? b : U' ', at, pos_};
    }

private:
    std::string_view doc_;
    const CharacterDecoder& decoder_;
    bool raw_;
    std::size_t pos_ = 0;
};

// LaTeX sources: "\{" and "\}" are the braces of a pseudo-citation, "\\" is a line break, "{" and
// "}" are groups; every other byte is text (the escapes are undone when the text is cleaned).
class LatexTokenizer {
public:
    LatexTokenizer(std::string_view doc, bool raw) : doc_(doc), raw_(raw) {}

    Token Next() {
        if (pos_ >= doc_.size()) {
            return {Token::End, 0, pos_, pos_};
        }
        const std::size_t at = pos_;
        const auto b = static_cast<unsigned char>(doc_[at]);
        if (b == '\\' && at + 1 < doc_.size()) {
            const char n = doc_[at + 1];
            if (n == '{' || n == '}') {
                pos_ += 2;
                return {Token::Char, static_cast<char32_t>(n), at, pos_};
            }
            if (n == '\\') {
                pos_ += 2;
                return {Token::Code, 0, at, pos_};
            }
        }
        ++pos_;
        if (b == '{' || b == '}') {
            // A grouping brace of the source: kept balanced like an RTF group brace.
            return {b == '{' ? Token::Open : Token::Close, 0, at, pos_};
        }
        return {Token::Char, raw_ ? b : Cp1252ToUnicode(b), at, pos_};
    }

private:
    std::string_view doc_;
    bool raw_;
    std::size_t pos_ = 0;
};

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Destinations whose content is never text of the document (tables, pictures, document
// information); "{\*..." destinations are skipped as well.
constexpr std::string_view kSkippedDestinations[] = {"fonttbl",
                                                     "colortbl",
                                                     "stylesheet",
                                                     "info",
                                                     "pict",
                                                     "listtable",
                                                     "listoverridetable",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "filetbl",
                                                     "latentstyles",
                                                     "themedata",
                                                     "colorschememapping",
                                                     "datastore",
                                                     "xmlnstbl",
                                                     "generator",
                                                     "object",
                                                     "nonshppict"};

// RTF: braces are groups, backslashes start control words and symbols; \'hh, \uN (with the
// fallback characters it is followed by), \{ \} \\ and a few text control words are characters.
// Line breaks of the source are not text. Destinations that hold no text are one Code token.
class RtfTokenizer {
public:
    explicit RtfTokenizer(std::string_view doc) : doc_(doc) { uc_.push_back(1); }

    Token Next() {
        for (;;) {
            if (pos_ >= doc_.size()) {
                return {Token::End, 0, pos_, pos_};
            }
            const std::size_t at = pos_;
            const char c = doc_[at];
            if (fallback_ > 0) {
                if (c == '{' || c == '}') {
                    fallback_ = 0;
                } else {
                    SkipFallbackCharacter();
                    continue;
                }
            }
            if (c == '{') {
                if (SkippedDestinationAt(at)) {
                    SkipGroup();
                    return {Token::Code, 0, at, pos_};
                }
                ++pos_;
                uc_.push_back(uc_.back());
                return {Token::Open, 0, at, pos_};
            }
            if (c == '}') {
                ++pos_;
                if (uc_.size() > 1) {
                    uc_.pop_back();
                }
                return {Token::Close, 0, at, pos_};
            }
            if (c == '\\') {
                return ControlAt(at);
            }
            ++pos_;
            const auto b = static_cast<unsigned char>(c);
            if (b == '\t') {
                return {Token::Char, U'\t', at, pos_};
            }
            if (b < 0x20) {
                return {Token::Code, 0, at, pos_}; // line breaks of the source are not text
            }
            return {Token::Char, Cp1252ToUnicode(b), at, pos_};
        }
    }

private:
    struct Word {
        std::string_view name;
        bool hasParam = false;
        long param = 0;
    };

    // Reads a control word at pos_ (just after its backslash) and moves past its delimiter.
    Word ReadWord() {
        Word w;
        const std::size_t start = pos_;
        while (pos_ < doc_.size() && pos_ - start < 32 && IsAsciiLetter(doc_[pos_])) {
            ++pos_;
        }
        w.name = doc_.substr(start, pos_ - start);
        const std::size_t numberStart = pos_;
        if (pos_ < doc_.size() && doc_[pos_] == '-') {
            ++pos_;
        }
        const std::size_t digits = pos_;
        while (pos_ < doc_.size() && pos_ - digits < 10 && IsDigit(doc_[pos_])) {
            w.param = w.param * 10 + (doc_[pos_] - '0');
            ++pos_;
        }
        if (pos_ > digits) {
            w.hasParam = true;
            if (doc_[numberStart] == '-') {
                w.param = -w.param;
            }
        } else {
            pos_ = numberStart;
        }
        if (pos_ < doc_.size() && doc_[pos_] == ' ') {
            ++pos_;
        }
        return w;
    }

    void SkipBinary(long count) {
        const auto n = static_cast<std::size_t>(std::max(0L, count));
        pos_ += std::min(n, doc_.size() - pos_);
    }

    Token ControlAt(std::size_t at) {
        pos_ = at + 1;
        if (pos_ >= doc_.size()) {
            return {Token::Code, 0, at, pos_};
        }
        const char n = doc_[pos_];
        if (!IsAsciiLetter(n)) {
            ++pos_;
            switch (n) {
            case '\'': {
                if (pos_ + 1 < doc_.size() && HexDigitValue(doc_[pos_]) >= 0 &&
                    HexDigitValue(doc_[pos_ + 1]) >= 0) {
                    const auto byte = static_cast<unsigned char>(HexDigitValue(doc_[pos_]) * 16 +
                                                                 HexDigitValue(doc_[pos_ + 1]));
                    pos_ += 2;
                    if (byte >= 1) {
                        return {Token::Char, Cp1252ToUnicode(byte), at, pos_};
                    }
                }
                return {Token::Code, 0, at, pos_};
            }
            case '{':
            case '}':
            case '\\':
                return {Token::Char, static_cast<char32_t>(n), at, pos_};
            case '~':
                return {Token::Char, U'\u00A0', at, pos_};
            case '_':
                return {Token::Char, U'-', at, pos_};
            default:
                return {Token::Code, 0, at, pos_};
            }
        }
        const Word w = ReadWord();
        if (w.name == "u" && w.hasParam) {
            fallback_ = uc_.back();
            const long cp = w.param < 0 ? w.param + 65536 : w.param;
            return {Token::Char, static_cast<char32_t>(cp), at, pos_};
        }
        if (w.name == "uc" && w.hasParam) {
            uc_.back() = static_cast<int>(std::clamp(w.param, 0L, 10L));
        } else if (w.name == "bin" && w.hasParam) {
            SkipBinary(w.param);
        } else if (const char32_t ch = TextWord(w.name); ch != 0) {
            return {Token::Char, ch, at, pos_};
        }
        return {Token::Code, 0, at, pos_};
    }

    static char32_t TextWord(std::string_view name) {
        struct Entry {
            std::string_view name;
            char32_t ch;
        };
        static constexpr Entry kWords[] = {
            {"tab", U'\t'},           {"emdash", U'\u2014'}, {"endash", U'\u2013'},
            {"lquote", U'\u2018'},    {"rquote", U'\u2019'}, {"ldblquote", U'\u201C'},
            {"rdblquote", U'\u201D'}, {"bullet", U'\u2022'}, {"emspace", U' '},
            {"enspace", U' '},        {"qmspace", U' '}};
        for (const Entry& e : kWords) {
            if (e.name == name) {
                return e.ch;
            }
        }
        return 0;
    }

    // One fallback character after \uN: a byte, an escape or a control word.
    void SkipFallbackCharacter() {
        --fallback_;
        const char c = doc_[pos_];
        if (c == '\r' || c == '\n') {
            ++pos_;
            ++fallback_; // source line breaks are not characters
            return;
        }
        if (c != '\\' || pos_ + 1 >= doc_.size()) {
            ++pos_;
            return;
        }
        ++pos_;
        const char n = doc_[pos_];
        if (n == '\'') {
            pos_ = std::min(doc_.size(), pos_ + 3);
        } else if (!IsAsciiLetter(n)) {
            ++pos_;
        } else {
            const Word w = ReadWord();
            if (w.name == "bin" && w.hasParam) {
                SkipBinary(w.param);
            }
        }
    }

    bool SkippedDestinationAt(std::size_t at) const {
        if (at + 2 >= doc_.size() || doc_[at + 1] != '\\') {
            return false;
        }
        if (doc_[at + 2] == '*') {
            return true;
        }
        std::size_t end = at + 2;
        while (end < doc_.size() && IsAsciiLetter(doc_[end])) {
            ++end;
        }
        const std::string_view name = doc_.substr(at + 2, end - at - 2);
        return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), name) !=
               std::end(kSkippedDestinations);
    }

    // Moves past the group that starts at pos_, nested groups, escapes and binary data included.
    void SkipGroup() {
        int depth = 0;
        while (pos_ < doc_.size()) {
            const char c = doc_[pos_++];
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) {
                    return;
                }
            } else if (c == '\\' && pos_ < doc_.size()) {
                if (IsAsciiLetter(doc_[pos_])) {
                    const Word w = ReadWord();
                    if (w.name == "bin" && w.hasParam) {
                        SkipBinary(w.param);
                    }
                } else {
                    ++pos_;
                }
            }
        }
    }

    std::string_view doc_;
    std::size_t pos_ = 0;
    std::vector<int> uc_; // the \uc value of every open group
    int fallback_ = 0;    // fallback characters still to skip after a \uN
};

// WordPerfect documents, code by code. WordPerfect 5: single-byte functions 80..BF, fixed-length
// functions C0..CF (C0 an extended character), variable-length functions D0..FE with a 16-bit
// length after their subfunction. WordPerfect 6: single-byte functions 80..CF (spaces, hyphens,
// line and page ends), variable-length groups D0..EF whose 16-bit size counts the whole group,
// fixed-length functions F0..FE (F0 an extended character).
class WordPerfectTokenizer {
public:
    WordPerfectTokenizer(std::string_view doc, std::size_t start, const CharacterDecoder& decoder,
                         bool sixth)
        : doc_(doc), decoder_(decoder), pos_(start), sixth_(sixth) {}

    Token Next() {
        if (pos_ >= doc_.size()) {
            return {Token::End, 0, pos_, pos_};
        }
        const std::size_t at = pos_;
        const auto b = static_cast<unsigned char>(doc_[at]);
        if (b >= 0x20 && b < 0x7F) {
            ++pos_;
            return {Token::Char, b, at, pos_};
        }
        if (IsSpace(b)) {
            ++pos_;
            return {Token::Char, U' ', at, pos_};
        }
        if (b == (sixth_ ? 0x84 : 0xA9)) { // the hard hyphen
            ++pos_;
            return {Token::Char, U'-', at, pos_};
        }
        if (b == (sixth_ ? 0xF0 : 0xC0)) {
            if (const auto [ch, n] = decoder_.At(doc_, at); n == 4) {
                pos_ += 4;
                return {Token::Char, ch, at, pos_};
            }
        }
        pos_ = at + std::min(CodeLength(at, b), doc_.size() - at);
        return {Token::Code, 0, at, pos_};
    }

private:
    // Tabs, returns, page breaks, soft and hard spaces count as white space.
    bool IsSpace(unsigned char b) const {
        if (sixth_) {
            return b == 0x80 || b == 0x81 || (b >= 0xB7 && b <= 0xBC) || (b >= 0xC7 && b <= 0xCF);
        }
        return (b >= 0x09 && b <= 0x0D) || b == 0x80 || b == 0x8C || b == 0x99;
    }

    std::size_t CodeLength(std::size_t at, unsigned char b) const {
        static constexpr std::size_t kFixed5[16] = {4, 9, 11, 3, 3, 5,  6,  7,
                                                    4, 5, 6,  6, 8, 10, 10, 12};
        static constexpr std::size_t kFixed6[15] = {4, 5, 3, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 8, 8};
        const bool lengthField = at + 4 <= doc_.size();
        if (sixth_) {
            if (b >= 0xD0 && b <= 0xEF && lengthField) {
                return std::max<std::size_t>(GetLe16(doc_, at + 2), 1);
            }
            return b >= 0xF0 && b <= 0xFE ? kFixed6[b - 0xF0] : 1;
        }
        if (b >= 0xC0 && b <= 0xCF) {
            return kFixed5[b - 0xC0];
        }
        return b >= 0xD0 && b <= 0xFE && lengthField ? 4 + GetLe16(doc_, at + 2) : 1;
    }

    std::string_view doc_;
    const CharacterDecoder& decoder_;
    std::size_t pos_;
    bool sixth_;
};

bool IsWhiteSpace(const Token& t) {
    return t.type == Token::Char && t.ch <= 32;
}

// The state machine over the tokens: pseudo-citations, their groups, the marker and the report.
template <typename Tokenizer> class Scanner {
public:
    Scanner(std::string_view doc, DocumentKind kind, Tokenizer tokenizer, bool raw,
            ScanResult& result, Progress* progress)
        : doc_(doc), kind_(kind), tokenizer_(std::move(tokenizer)), raw_(raw), result_(result),
          progress_(progress) {
        limit_ = kind == DocumentKind::Plain ? kMaxPlainCitationText : kMaxCodedCitationText;
    }

    Outcome Run() {
        std::size_t nextReport = 0;
        for (;;) {
            const Token t = tokenizer_.Next();
            if (t.type == Token::End) {
                break;
            }
            if (t.begin >= nextReport) {
                nextReport = t.begin + 65536;
                if (progress_ != nullptr) {
                    if (progress_->AbortRequested()) {
                        return Outcome::Aborted();
                    }
                    progress_->SetProgress(Permille(t.begin, doc_.size()));
                }
            }
            Take(t);
        }
        if (state_ != State::Outside && state_ != State::AfterOpen) {
            Note(ScanIssue::LacksEnd, itemStart_);
        }
        CloseGroup();
        return Outcome::Ok();
    }

private:
    enum class State { Outside, AfterOpen, Inside, InsideAfterClose, InsideAfterOpen };

    // Tokens that may stand between the two braces of "{{" or "}}": codes and group braces, and
    // white space in RTF and LaTeX, whose braces are escapes.
    bool BetweenBraces(const Token& t) const {
        if (t.type == Token::Code || t.type == Token::Open || t.type == Token::Close) {
            return true;
        }
        return IsWhiteSpace(t) && (kind_ == DocumentKind::Rtf || kind_ == DocumentKind::Latex);
    }

    static bool IsBrace(const Token& t, char32_t brace) {
        return t.type == Token::Char && t.ch == brace;
    }

    static void AddBrace(std::string& braces, const Token& t) {
        if (t.type == Token::Open) {
            braces += '{';
        } else if (t.type == Token::Close) {
            braces += '}';
        }
    }

    void AppendText(std::string& text, char32_t ch) {
        if (text.size() > limit_) {
            return; // too long already; the rest is not kept
        }
        if (raw_) {
            text.push_back(static_cast<char>(ch));
        } else {
            AppendUtf8(text, ch);
        }
    }

    void Take(const Token& t) {
        switch (state_) {
        case State::Outside:
            if (IsBrace(t, U'{')) {
                state_ = State::AfterOpen;
                openAt_ = t.begin;
                pendingBraces_.clear();
            } else if (t.type == Token::Open || t.type == Token::Close) {
                AddBrace(gapBraces_, t);
            } else if (t.type == Token::Char && !IsWhiteSpace(t)) {
                gapClean_ = false;
            }
            return;
        case State::AfterOpen:
            if (IsBrace(t, U'{')) {
                BeginItem(openAt_);
            } else if (BetweenBraces(t)) {
                AddBrace(pendingBraces_, t);
            } else {
                gapClean_ = false; // the lone "{" was text
                state_ = State::Outside;
                Take(t);
            }
            return;
        case State::Inside:
            if (IsBrace(t, U'}')) {
                state_ = State::InsideAfterClose;
                held_.clear();
            } else if (IsBrace(t, U'{')) {
                state_ = State::InsideAfterOpen;
                openAt_ = t.begin;
                held_.clear();
                pendingBraces_.clear();
            } else if (t.type == Token::Char) {
                AppendText(text_, t.ch);
            } else {
                AddBrace(itemBraces_, t);
                if (kind_ == DocumentKind::Latex && t.type != Token::Code) {
                    AppendText(text_, U' '); // "\textit{et al.}" must not read "\textitet al."
                }
            }
            return;
        case State::InsideAfterClose:
            if (IsBrace(t, U'}')) {
                FinishItem(t.end);
                state_ = State::Outside;
            } else if (BetweenBraces(t)) {
                Hold(t, itemBraces_);
            } else {
                Release(U'}');
                Take(t);
            }
            return;
        case State::InsideAfterOpen:
            if (IsBrace(t, U'{')) {
                // A new "{{" before the "}}": the pseudo-citation begun before lacks its end.
                Note(ScanIssue::LacksEnd, itemStart_);
                CloseGroup();
                gapClean_ = false;
                BeginItem(openAt_);
            } else if (BetweenBraces(t)) {
                Hold(t, pendingBraces_);
            } else {
                Release(U'{');
                itemBraces_ += pendingBraces_;
                Take(t);
            }
            return;
        }
    }

    // A token between a brace and a possible second one: white space is held back.
    void Hold(const Token& t, std::string& braces) {
        if (t.type == Token::Char) {
            held_.push_back(t.ch);
        }
        AddBrace(braces, t);
    }

    // The brace had no second one: it and the white space held after it are text.
    void Release(char32_t brace) {
        state_ = State::Inside;
        AppendText(text_, brace);
        for (char32_t ch : held_) {
            AppendText(text_, ch);
        }
    }

    void BeginItem(std::size_t start) {
        state_ = State::Inside;
        itemStart_ = start;
        text_.clear();
        itemBraces_ = pendingBraces_;
    }

    int LineAt(std::size_t pos) {
        if (pos < linePos_) {
            linePos_ = 0;
            lineCount_ = 1;
        }
        lineCount_ += static_cast<int>(std::count(doc_.begin() + static_cast<long>(linePos_),
                                                  doc_.begin() + static_cast<long>(pos), '\n'));
        linePos_ = pos;
        return lineCount_;
    }

    void Note(ScanIssue issue, std::size_t pos) { result_.notes.push_back({issue, LineAt(pos)}); }

    std::string Clean(std::string text) const {
        if (kind_ == DocumentKind::Latex) {
            text = LatexUnescape(text);
        }
        if (raw_ && !IsValidUtf8(text)) {
            text = Cp1252ToUtf8(text);
        }
        std::string out;
        out.reserve(text.size());
        for (char c : text) {
            const auto b = static_cast<unsigned char>(c);
            const bool blank =
                b < 0x20 || (kind_ == DocumentKind::Plain && (c == '{' || c == '}' || b == 0x7F));
            if (blank || c == ' ') {
                if (!out.empty() && out.back() != ' ') {
                    out.push_back(' ');
                }
            } else {
                out.push_back(c);
            }
        }
        return TrimBlanks(out);
    }

    void FinishItem(std::size_t end) {
        const std::size_t start = itemStart_;
        if (text_.size() > limit_) {
            Note(ScanIssue::TooLong, start);
            CloseGroup();
            gapClean_ = false;
            return;
        }
        std::string text = Clean(std::move(text_));
        if (result_.markerFound) {
            if (LooksLikePseudoCitation(text)) {
                Note(ScanIssue::AfterMarker, start);
            }
            gapClean_ = false;
            return;
        }
        const bool continues = group_.has_value() && gapClean_;
        if (IsReferenceListMarker(text)) {
            if (!continues) {
                CloseGroup();
                group_ = ScannedGroup{};
                group_->start = start;
            } else {
                group_->braces += gapBraces_;
            }
            group_->braces += itemBraces_;
            group_->end = end;
            group_->marker = true;
            result_.markerFound = true;
            CloseGroup();
            gapClean_ = false;
            return;
        }
        if (!LooksLikePseudoCitation(text)) {
            CloseGroup(); // a "{{...}}" that is not a pseudo-citation stays as it is
            gapClean_ = false;
            return;
        }
        if (result_.citationCount >= kMaxPseudoCitations) {
            Note(ScanIssue::BeyondLimit, start);
            CloseGroup();
            gapClean_ = false;
            return;
        }
        ScannedCitation c;
        c.start = start;
        c.end = end;
        c.line = LineAt(start);
        c.running = ++result_.citationCount;
        c.text = std::move(text);
        if (continues && group_->citations.size() < static_cast<std::size_t>(kMaxGroupCitations)) {
            group_->braces += gapBraces_;
        } else {
            if (continues) {
                Note(ScanIssue::GroupSplit, start);
            }
            CloseGroup();
            group_ = ScannedGroup{};
            group_->start = start;
        }
        group_->braces += itemBraces_;
        group_->end = end;
        group_->citations.push_back(std::move(c));
        gapClean_ = true;
        gapBraces_.clear();
    }

    void CloseGroup() {
        if (group_) {
            std::string& b = group_->braces;
            for (std::size_t at; (at = b.find("{}")) != std::string::npos;) {
                b.erase(at, 2);
            }
            result_.groups.push_back(std::move(*group_));
            group_.reset();
        }
        gapBraces_.clear();
    }

    std::string_view doc_;
    DocumentKind kind_;
    Tokenizer tokenizer_;
    bool raw_;
    ScanResult& result_;
    Progress* progress_;
    std::size_t limit_;

    State state_ = State::Outside;
    std::size_t openAt_ = 0;    // the first "{" of a possible "{{"
    std::size_t itemStart_ = 0; // the "{{" of the stretch being read
    std::string text_;
    std::u32string held_;       // white space between a brace and a possible second one
    std::string itemBraces_;    // RTF group braces inside the stretch being read
    std::string pendingBraces_; // RTF group braces between the two braces of a "{{"
    std::string gapBraces_;     // RTF group braces since the last pseudo-citation
    bool gapClean_ = false;     // nothing but white space and codes since it
    std::optional<ScannedGroup> group_;

    std::size_t linePos_ = 0;
    int lineCount_ = 1;
};

template <typename Tokenizer>
Outcome Run(std::string_view doc, DocumentKind kind, Tokenizer tokenizer, bool raw,
            ScanResult& result, Progress* progress) {
    Scanner<Tokenizer> scanner(doc, kind, std::move(tokenizer), raw, result, progress);
    return scanner.Run();
}

// The header's product (1, WordPerfect) and file type (10, a document), then the major version.
bool HasWordPerfectSignature(std::string_view doc, int majorVersion) {
    return doc.size() >= 16 && doc.substr(0, 4) == "\xFFWPC" && doc[8] == 1 && doc[9] == 10 &&
           doc[10] == majorVersion;
}

bool HasWordPerfectHeader(std::string_view doc, int majorVersion) {
    return HasWordPerfectSignature(doc, majorVersion) && GetLe32(doc, 4) <= doc.size();
}

bool HasNonAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

int ScanResult::Count(ScanIssue issue) const {
    return static_cast<int>(std::count_if(notes.begin(), notes.end(),
                                          [&](const ScanNote& n) { return n.issue == issue; }));
}

bool DocumentHasKind(std::string_view document, DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Rtf: {
        std::string_view d = document;
        if (StartsWith(d, "\xEF\xBB\xBF")) {
            d.remove_prefix(3);
        }
        return StartsWith(TrimView(d), "{\\rtf");
    }
    case DocumentKind::WordPerfect5:
        return HasWordPerfectHeader(document, 0);
    case DocumentKind::WordPerfect6:
        return HasWordPerfectHeader(document, 2);
    default:
        return true;
    }
}

DocumentKind WordPerfectGeneration(std::string_view head) {
    if (HasWordPerfectSignature(head, 0)) {
        return DocumentKind::WordPerfect5;
    }
    if (HasWordPerfectSignature(head, 2)) {
        return DocumentKind::WordPerfect6;
    }
    return DocumentKind::Plain;
}

Outcome ScanDocument(std::string_view document, DocumentKind kind,
                     const TDocumentDefinition* definition, ScanResult& result,
                     Progress* progress) {
    result = ScanResult{};
    const CharacterDecoder decoder(definition);
    switch (kind) {
    case DocumentKind::Rtf:
        return Run(document, kind, RtfTokenizer(document), false, result, progress);
    case DocumentKind::WordPerfect5:
    case DocumentKind::WordPerfect6: {
        result.textStart =
            HasWordPerfectHeader(document, kind == DocumentKind::WordPerfect5 ? 0 : 2)
                ? GetLe32(document, 4)
                : 0;
        return Run(document, kind,
                   WordPerfectTokenizer(document, result.textStart, decoder,
                                        kind == DocumentKind::WordPerfect6),
                   false, result, progress);
    }
    case DocumentKind::Latex:
    case DocumentKind::Plain:
    case DocumentKind::Word: {
        result.utf8Document = HasNonAscii(document) && IsValidUtf8(document);
        if (kind == DocumentKind::Latex) {
            return Run(document, kind, LatexTokenizer(document, result.utf8Document),
                       result.utf8Document, result, progress);
        }
        return Run(document, DocumentKind::Plain,
                   PlainTokenizer(document, decoder, result.utf8Document), result.utf8Document,
                   result, progress);
    }
    }
    return Outcome::Ok();
}

} // namespace cvx
