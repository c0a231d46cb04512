#include "output/ExportText.h"

#include "text/Cp1252.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"
#include "text/SymbolFont.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A character the flat text does not take as it is: a code's "#", a line break or a tab.
bool NeedsCare(char c) {
    return c == '#' || c == '\r' || c == '\n' || c == '\t';
}

#if defined(__SSE2__)
// The characters of the 16 at `at` that need care, one bit each from the lowest.
unsigned CareMask(const char* at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i codes = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('#')),
                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')));
    const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(codes, breaks)));
}
#endif

// The index of the first character at or after `from` that needs care; the text's size for none.
// Most fields have none: they are looked through sixteen characters at a time where the
// processor can.
std::size_t NextNeedingCare(std::string_view text, std::size_t from) {
#if defined(__SSE2__)
    if (text.size() >= 16) {
        for (; from + 16 <= text.size(); from += 16) {
            if (const unsigned mask = CareMask(text.data() + from); mask != 0) {
                return from + static_cast<std::size_t>(std::countr_zero(mask));
            }
        }
        if (from == text.size()) {
            return from;
        }
        // The last sixteen, without the characters before `from`.
        const std::size_t last = text.size() - 16;
        const unsigned mask = CareMask(text.data() + last) >> (from - last);
        return mask != 0 ? from + static_cast<std::size_t>(std::countr_zero(mask)) : text.size();
    }
#endif
    while (from < text.size() && !NeedsCare(text[from])) {
        ++from;
    }
    return from;
}

} // namespace

std::string_view KnownText(std::string_view field) {
    const std::string_view text = TrimView(field);
    return text == "\"\"" || text == "\"\"." ? std::string_view() : field;
}

std::string FlatText(std::string_view field) {
    std::string room;
    return std::string(FlatView(field, room));
}

std::string_view FlatView(std::string_view field, std::string& room) {
    const std::string_view trimmed = TrimView(KnownText(field));
    // Most fields hold neither codes nor line breaks nor tabs inside: they are only trimmed (the
    // blanks around the text, line breaks and tabs among them, are trimmed away in any case).
    if (NextNeedingCare(trimmed, 0) == trimmed.size()) {
        return trimmed;
    }
    // One pass that reads the layout codes as CodesToPlainLayout does ("#T" a tab, "#L" a line
    // break, the other codes nothing) and joins the lines as OneLine does.
    room.clear();
    room.reserve(field.size());
    bool afterBreak = false;
    auto put = [&](char c) {
        const bool lineEnd = c == '\r' || c == '\n';
        if (afterBreak && (lineEnd || c == ' ')) {
            return;
        }
        afterBreak = lineEnd;
        if (!lineEnd) {
            room.push_back(c == '\t' ? ' ' : c);
        } else if (room.empty() || room.back() != ' ') {
            room.push_back(' ');
        }
    };
    std::size_t i = 0;
    while (i < field.size()) {
        // A run of other characters goes as it is, but for the blanks that open it after a line
        // break.
        const std::size_t run = NextNeedingCare(field, i);
        if (run > i) {
            while (afterBreak && i < run && field[i] == ' ') {
                ++i;
            }
            if (i < run) {
                room.append(field.substr(i, run - i));
                afterBreak = false;
            }
            i = run;
            continue;
        }
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
        ++i;
    }
    return TrimView(room);
}

void AppendNumber(std::string& out, int n) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
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
        out += TrimRightView(text.substr(0, cut));
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
