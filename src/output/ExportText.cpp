#include "output/ExportText.h"

#include "text/Cp1252.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"
#include "text/SymbolFont.h"

#include <algorithm>
#include <array>

namespace cvx {

namespace {

// A field on one line: a line break with the blanks after it (the blank that starts the next
// field line) becomes one blank, and so does a tab.
std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (out.empty() || out.back() != ' ') {
                out.push_back(' ');
            }
            while (i + 1 < text.size() &&
                   (text[i + 1] == ' ' || text[i + 1] == '\r' || text[i + 1] == '\n')) {
                ++i;
            }
        } else {
            out.push_back(c == '\t' ? ' ' : c);
        }
    }
    return out;
}

} // namespace

std::string_view KnownText(std::string_view field) {
    const std::string_view text = TrimView(field);
    return text == "\"\"" || text == "\"\"." ? std::string_view() : field;
}

std::string FlatText(std::string_view field) {
    field = KnownText(field);
    // Most fields hold neither codes nor line breaks nor tabs: they are only trimmed.
    const bool plain = std::none_of(field.begin(), field.end(), [](char c) {
        return c == '#' || c == '\r' || c == '\n' || c == '\t';
    });
    if (plain) {
        return TrimBlanks(field);
    }
    // One pass that reads the layout codes as CodesToPlainLayout does ("#T" a tab, "#L" a line
    // break, the other codes nothing) and joins the lines as OneLine does.
    std::string out;
    out.reserve(field.size());
    bool afterBreak = false;
    auto put = [&](char c) {
        const bool lineEnd = c == '\r' || c == '\n';
        if (afterBreak && (lineEnd || c == ' ')) {
            return;
        }
        afterBreak = lineEnd;
        if (!lineEnd) {
            out.push_back(c == '\t' ? ' ' : c);
        } else if (out.empty() || out.back() != ' ') {
            out.push_back(' ');
        }
    };
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '#' && i + 1 < field.size() && IsMarkupLetter(field[i + 1])) {
            ++i;
            if (field[i] == 'T') {
                put('\t');
            } else if (field[i] == 'L') {
                put('\r');
                put('\n');
            }
        } else {
            put(field[i]);
        }
    }
    return TrimBlanks(out);
}

void AppendTaggedLine(std::string& out, std::string_view tag, std::string_view text) {
    if (!text.empty()) {
        out.append(tag).append(text).append("\r\n");
    }
}

void AppendWrapped(std::string& out, std::string_view tag, std::string_view text,
                   std::string_view continuation, std::size_t width) {
    if (text.empty()) {
        return;
    }
    out += tag;
    bool first = true;
    while (true) {
        if (!first) {
            out += continuation;
        }
        first = false;
        if (text.size() <= width) {
            out += text;
            out += "\r\n";
            return;
        }
        const std::size_t cut = BreakPosition(text, width);
        out += TrimRightBlanks(text.substr(0, cut));
        out += "\r\n";
        text = TrimView(text.substr(cut));
        if (text.empty()) {
            return;
        }
    }
}

std::string StyledUnicode(std::string_view marked, const UnicodeStyles& styles) {
    const std::string field = OneLine(KnownText(marked));
    enum Style { Italic, Bold, Superscript, Subscript, Underline, StyleCount };
    const std::array<const std::string_view*, StyleCount> marks = {
        styles.italic, styles.bold, styles.superscript, styles.subscript, styles.underline};
    std::array<bool, StyleCount> on{};
    bool symbol = false;
    std::string out;
    out.reserve(field.size() + field.size() / 8);
    auto toggle = [&](Style s) {
        out += marks[s][on[s] ? 1 : 0];
        on[s] = !on[s];
    };
    auto blank = [&out] {
        if (!out.empty() && out.back() != ' ') {
            out += ' ';
        }
    };
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c == '#' && i + 1 < field.size() && IsMarkupLetter(field[i + 1])) {
            switch (field[++i]) {
            case 'I':
                toggle(Italic);
                break;
            case 'B':
                toggle(Bold);
                break;
            case '^':
            case 'P':
                toggle(Superscript);
                break;
            case 'v':
            case 'b':
                toggle(Subscript);
                break;
            case 'U':
            case '_':
                toggle(Underline);
                break;
            case 'G':
                symbol = !symbol;
                break;
            case 'L':
            case 'T':
                blank();
                break;
            default:
                break; // hidden text and the other codes write nothing
            }
            continue;
        }
        const char32_t greek = symbol ? SymbolGreekLetter(c) : 0;
        const char32_t ch = greek != 0 ? greek : Cp1252ToUnicode(c);
        if (std::string escaped = styles.escape ? styles.escape(ch) : std::string();
            !escaped.empty()) {
            out += escaped;
        } else {
            AppendUtf8(out, ch);
        }
    }
    for (int s = StyleCount - 1; s >= 0; --s) {
        if (on[s]) {
            toggle(static_cast<Style>(s));
        }
    }
    return TrimBlanks(out);
}

} // namespace cvx
