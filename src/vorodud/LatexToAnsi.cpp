#include "vorodud/LatexToAnsi.h"

#include "lexmill/AnsiWriter.h"
#include "text/Cp1252.h"

#include <QList>
#include <QString>

#include <array>
#include <string>

namespace cvx::vorodud {

namespace {

struct Named {
    std::string_view name;
    std::u32string_view text;
};

// Commands that stand for characters.
constexpr Named kSymbols[] = {{"ss", U"\u00DF"},
                              {"o", U"\u00F8"},
                              {"O", U"\u00D8"},
                              {"aa", U"\u00E5"},
                              {"AA", U"\u00C5"},
                              {"ae", U"\u00E6"},
                              {"AE", U"\u00C6"},
                              {"oe", U"\u0153"},
                              {"OE", U"\u0152"},
                              {"l", U"\u0142"},
                              {"L", U"\u0141"},
                              {"i", U"i"},
                              {"j", U"j"},
                              {"dh", U"\u00F0"},
                              {"DH", U"\u00D0"},
                              {"th", U"\u00FE"},
                              {"TH", U"\u00DE"},
                              {"textendash", U"\u2013"},
                              {"textemdash", U"\u2014"},
                              {"textquoteleft", U"\u2018"},
                              {"textquoteright", U"\u2019"},
                              {"textquotedblleft", U"\u201C"},
                              {"textquotedblright", U"\u201D"},
                              {"dag", U"\u2020"},
                              {"ddag", U"\u2021"},
                              {"S", U"\u00A7"},
                              {"P", U"\u00B6"},
                              {"copyright", U"\u00A9"},
                              {"pounds", U"\u00A3"},
                              {"euro", U"\u20AC"},
                              {"textdegree", U"\u00B0"},
                              {"degree", U"\u00B0"},
                              {"ldots", U"\u2026"},
                              {"dots", U"\u2026"},
                              {"textregistered", U"\u00AE"},
                              {"texttrademark", U"\u2122"},
                              {"alpha", U"\u03B1"},
                              {"beta", U"\u03B2"},
                              {"gamma", U"\u03B3"},
                              {"delta", U"\u03B4"},
                              {"epsilon", U"\u03B5"},
                              {"varepsilon", U"\u03B5"},
                              {"zeta", U"\u03B6"},
                              {"eta", U"\u03B7"},
                              {"theta", U"\u03B8"},
                              {"iota", U"\u03B9"},
                              {"kappa", U"\u03BA"},
                              {"lambda", U"\u03BB"},
                              {"mu", U"\u03BC"},
                              {"nu", U"\u03BD"},
                              {"xi", U"\u03BE"},
                              {"pi", U"\u03C0"},
                              {"rho", U"\u03C1"},
                              {"sigma", U"\u03C3"},
                              {"tau", U"\u03C4"},
                              {"upsilon", U"\u03C5"},
                              {"phi", U"\u03C6"},
                              {"varphi", U"\u03C6"},
                              {"chi", U"\u03C7"},
                              {"psi", U"\u03C8"},
                              {"omega", U"\u03C9"},
                              {"Gamma", U"\u0393"},
                              {"Delta", U"\u0394"},
                              {"Theta", U"\u0398"},
                              {"Lambda", U"\u039B"},
                              {"Xi", U"\u039E"},
                              {"Pi", U"\u03A0"},
                              {"Sigma", U"\u03A3"},
                              {"Upsilon", U"\u03A5"},
                              {"Phi", U"\u03A6"},
                              {"Psi", U"\u03A8"},
                              {"Omega", U"\u03A9"},
                              {"leq", U"\u2264"},
                              {"le", U"\u2264"},
                              {"geq", U"\u2265"},
                              {"ge", U"\u2265"},
                              {"neq", U"\u2260"},
                              {"approx", U"\u2248"},
                              {"pm", U"\u00B1"},
                              {"times", U"\u00D7"},
                              {"cdot", U"\u00B7"},
                              {"infty", U"\u221E"},
                              {"circ", U"\u00B0"},
                              {"to", U"\u2192"},
                              {"rightarrow", U"\u2192"},
                              {"leftarrow", U"\u2190"},
                              {"sim", U"\u223C"},
                              {"textasciitilde", U"~"},
                              {"textbackslash", U"\\"},
                              {"&", U"&"},
                              {"%", U"%"},
                              {"$", U"$"},
                              {"#", U"#"},
                              {"_", U"_"},
                              {"{", U"{"},
                              {"}", U"}"},
                              {" ", U" "},
                              {"\\", U" "},
                              {",", U" "},
                              {";", U" "},
                              {"-", U""},
                              {"/", U""}};

// Accent commands and the combining mark each puts on its argument.
struct Accent {
    std::string_view name;
    char32_t mark;
};
constexpr Accent kAccents[] = {{"'", 0x0301}, {"`", 0x0300}, {"^", 0x0302}, {"\"", 0x0308},
                               {"~", 0x0303}, {"=", 0x0304}, {".", 0x0307}, {"u", 0x0306},
                               {"v", 0x030C}, {"H", 0x030B}, {"c", 0x0327}, {"d", 0x0323},
                               {"b", 0x0331}, {"k", 0x0328}, {"r", 0x030A}, {"t", 0x0361}};

// Commands whose argument is kept between markup codes.
struct Styled {
    std::string_view name;
    std::u32string_view code;
};
constexpr Styled kStyles[] = {
    {"emph", U"#I"},   {"textit", U"#I"}, {"textsl", U"#I"},          {"mathit", U"#I"},
    {"textbf", U"#B"}, {"mathbf", U"#B"}, {"textsuperscript", U"#^"}, {"textsubscript", U"#v"}};

class Converter {
public:
    explicit Converter(std::string_view text) : text_(text) {}

    std::u32string Run() {
        while (pos_ < text_.size()) {
            Step();
        }
        return out_;
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void Put(char32_t c) {
        if (c == U' ' && (out_.empty() || out_.back() == U' ')) {
            return;
        }
        out_.push_back(c);
    }
    void PutByte(char c) { Put(Cp1252ToUnicode(static_cast<unsigned char>(c))); }

    // A command's argument: a group in braces, another command, or one character.
    std::u32string Argument() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\n' || Peek() == '\t')) {
            ++pos_;
        }
        Converter inner("");
        if (Peek() == '{') {
            int depth = 0;
            const std::size_t start = pos_;
            while (!AtEnd()) {
                const char c = text_[pos_++];
                if (c == '{') {
                    ++depth;
                } else if (c == '}' && --depth == 0) {
                    break;
                }
            }
            inner.text_ = text_.substr(start + 1, pos_ - start - 2 + (depth != 0 ? 1 : 0));
        } else if (Peek() == '\\') {
            const std::size_t start = pos_++;
            if (IsLetter(Peek())) {
                while (IsLetter(Peek())) {
                    ++pos_;
                }
            } else if (!AtEnd()) {
                ++pos_;
            }
            inner.text_ = text_.substr(start, pos_ - start);
        } else if (!AtEnd()) {
            inner.text_ = text_.substr(pos_++, 1);
        }
        return inner.Run();
    }

    void Accented(char32_t mark) {
        const std::u32string base = Argument();
        if (base.empty()) {
            return;
        }
        QString composed = QString::fromUcs4(base.data(), 1);
        composed += QChar(static_cast<char16_t>(mark));
        const QList<uint> nfc = composed.normalized(QString::NormalizationForm_C).toUcs4();
        for (uint c : nfc) {
            Put(c);
        }
        for (std::size_t i = 1; i < base.size(); ++i) {
            Put(base[i]);
        }
    }

    void Command() {
        ++pos_; // the backslash
        std::string name;
        if (IsLetter(Peek())) {
            while (IsLetter(Peek())) {
                name.push_back(text_[pos_++]);
            }
        } else if (!AtEnd()) {
            name.push_back(text_[pos_++]);
        }
        for (const Accent& a : kAccents) {
            if (name == a.name) {
                Accented(a.mark);
                return;
            }
        }
        for (const Styled& s : kStyles) {
            if (name == s.name) {
                const std::u32string inner = Argument();
                out_ += s.code;
                out_ += inner;
                out_ += s.code;
                return;
            }
        }
        for (const Named& n : kSymbols) {
            if (name == n.name) {
                for (char32_t c : n.text) {
                    Put(c);
                }
                // A command name ends at the blank after it, which is not text.
                if (IsLetter(name.front()) && Peek() == ' ') {
                    ++pos_;
                }
                return;
            }
        }
        // Any other command: its name goes (with the blank that ends it), its argument stays.
        if (!name.empty() && IsLetter(name.front()) && Peek() == ' ') {
            ++pos_;
        }
    }

    void Script(std::u32string_view code) {
        ++pos_;
        const std::u32string inner = Argument();
        out_ += code;
        out_ += inner;
        out_ += code;
    }

    void Step() {
        const char c = Peek();
        switch (c) {
        case '\\':
            Command();
            return;
        case '{':
        case '}':
        case '$':
            ++pos_;
            return;
        case '~':
            ++pos_;
            Put(U' ');
            return;
        case '^':
            Script(U"#^");
            return;
        case '_':
            Script(U"#v");
            return;
        case '-':
            if (Peek(1) == '-' && Peek(2) == '-') {
                pos_ += 3;
                Put(0x2014);
            } else if (Peek(1) == '-') {
                pos_ += 2;
                Put(0x2013);
            } else {
                ++pos_;
                Put(U'-');
            }
            return;
        case '`':
        case '\'':
            if (Peek(1) == c) {
                pos_ += 2;
                Put(c == '`' ? 0x201C : 0x201D);
                return;
            }
            break;
        case '\r':
        case '\n':
        case '\t':
            ++pos_;
            Put(U' ');
            return;
        default:
            break;
        }
        ++pos_;
        PutByte(c);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::u32string out_;
};

} // namespace

std::string LatexToAnsi(std::string_view text) {
    std::u32string converted = Converter(text).Run();
    while (!converted.empty() && converted.back() == U' ') {
        converted.pop_back();
    }
    const std::size_t first = converted.find_first_not_of(U' ');
    return UnicodeToAnsi(first == std::u32string::npos
                             ? std::u32string_view()
                             : std::u32string_view(converted).substr(first));
}

} // namespace cvx::vorodud
