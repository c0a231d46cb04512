#include "vorodud/LatexToAnsi.h"

#include "text/AnsiWriter.h"
#include "text/Cp1252.h"
#include "text/LatexCharacters.h"

#include <QList>
#include <QString>

#include <array>
#include <string>

namespace cvx::vorodud {

namespace {

// Commands that LaTeX reads as spacing or as hints that print nothing.
struct Spacing {
    std::string_view name;
    std::u32string_view text;
};
constexpr Spacing kSpacing[] = {{" ", U" "}, {"\\", U" "}, {",", U" "},
                                {";", U" "}, {"-", U""},   {"/", U""}};

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
        if (const char32_t mark = LatexAccentMark(name); mark != 0) {
            Accented(mark);
            return;
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
        if (const char32_t c = LatexCommandCharacter(name); c != 0) {
            Put(c);
            // A command name ends at the blank after it, which is not text.
            if (IsLetter(name.front()) && Peek() == ' ') {
                ++pos_;
            }
            return;
        }
        for (const Spacing& n : kSpacing) {
            if (name == n.name) {
                for (char32_t c : n.text) {
                    Put(c);
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
