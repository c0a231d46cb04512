#include "text/MarkupRuns.h"

#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <array>

namespace cvx {

namespace {

void ToggleOffset(MarkupStyle& s, int direction) {
    s.offset = s.offset == direction ? 0 : direction;
}

void ToggleColour(MarkupStyle& s, TextColour colour) {
    s.colour = s.colour == colour ? TextColour::Normal : colour;
}

// Applies the code character after a "#" to the style, or adds what it stands for to the text;
// false when the character does not act in this dialect.
bool ApplyCode(unsigned char code, MarkupDialect dialect, bool showHits, MarkupStyle& style,
               std::string& text) {
    switch (code) {
    case 'B':
        style.bold = !style.bold;
        return true;
    case 'I':
        style.italic = !style.italic;
        return true;
    case 'U':
    case '_':
        style.underline = !style.underline;
        return true;
    case '^':
        ToggleOffset(style, 1);
        return true;
    case 'v':
        ToggleOffset(style, -1);
        return true;
    case 'P':
        style.bold = !style.bold;
        ToggleOffset(style, 1);
        return true;
    case 'b':
        style.bold = !style.bold;
        ToggleOffset(style, -1);
        return true;
    case 'G':
        style.symbol = !style.symbol;
        return true;
    case 0xFD:
        if (showHits) {
            ToggleColour(style, TextColour::GetHit);
        }
        return true;
    case 0xFE:
        if (showHits) {
            ToggleColour(style, TextColour::TagHit);
        }
        return true;
    default:
        break;
    }
    if (dialect != MarkupDialect::RichText) {
        return false;
    }
    switch (code) {
    case 'L':
        text.push_back(kLineBreak);
        return true;
    case 'T':
        text.push_back('\t');
        return true;
    case 0xFF:
        ToggleColour(style, TextColour::Blue);
        return true;
    case '%':
    case '&':
    case 0xA4:
        return true; // they chose the paragraph form
    default:
        return false;
    }
}

// The six styles that reading back writes, by their number: bold, italic, underline, subscript,
// superscript, Symbol font.
bool StyleOn(const MarkupStyle& s, int number) {
    switch (number) {
    case 1:
        return s.bold;
    case 2:
        return s.italic;
    case 3:
        return s.underline;
    case 4:
        return s.offset < 0;
    case 5:
        return s.offset > 0;
    default:
        return s.symbol;
    }
}

constexpr std::array<std::string_view, 7> kStyleCodes = {"", "#B", "#I", "#U", "#v", "#^", "#G"};

// The codes that lead from one run's style to the next. Styles that close are written before
// those that open (a subscript that turns into a superscript must end before the other begins);
// each group keeps the order of `order`, where every style that opens moves to the front, so
// that styles close in the reverse order of their opening.
void WriteStyleChanges(const MarkupStyle& from, const MarkupStyle& to, std::array<int, 6>& order,
                       std::string& out) {
    std::vector<int> opened;
    for (const bool opening : {false, true}) {
        for (const int number : order) {
            if (StyleOn(from, number) != StyleOn(to, number) && StyleOn(to, number) == opening) {
                out += kStyleCodes[static_cast<std::size_t>(number)];
                if (opening) {
                    opened.push_back(number);
                }
            }
        }
    }
    for (const int number : opened) {
        const auto at = std::find(order.begin(), order.end(), number);
        std::rotate(order.begin(), at, at + 1);
    }
}

// The line ends a reference's text cannot hold: an empty line would end the reference, and so
// would a line holding one blank.
std::string DropEmptyLines(std::string text) {
    for (std::size_t p; (p = text.find("\r\n\r\n")) != std::string::npos;) {
        text.erase(p, 2);
    }
    for (std::size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos;) {
        if (p + 5 <= text.size() && IsBlank(text[p + 2]) && text.compare(p + 3, 2, "\r\n") == 0) {
            text.erase(p, 3);
        } else {
            p += 2;
        }
    }
    return text;
}

} // namespace

ParsedMarkup ParseMarkup(std::string_view text, MarkupDialect dialect, bool showHits) {
    ParsedMarkup out;
    if (dialect == MarkupDialect::RichText) {
        out.form = text.find("#&") != std::string_view::npos ? ParagraphForm::Hanging
                                                             : ParagraphForm::Plain;
        out.paragraphMarker = out.form == ParagraphForm::Hanging ||
                              text.find("#%") != std::string_view::npos ||
                              text.find("#\xA4") != std::string_view::npos;
    }
    MarkupStyle style;
    std::string pending;
    auto flush = [&] {
        if (pending.empty()) {
            return;
        }
        if (!out.runs.empty() && out.runs.back().style == style) {
            out.runs.back().text += pending;
        } else {
            out.runs.push_back({pending, style});
        }
        pending.clear();
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t hash = text.find('#', i);
        pending.append(text.substr(i, hash == std::string_view::npos ? text.size() - i : hash - i));
        if (hash == std::string_view::npos) {
            break;
        }
        MarkupStyle next = style;
        std::string added;
        const bool acts =
            hash + 1 < text.size() &&
            ApplyCode(static_cast<unsigned char>(text[hash + 1]), dialect, showHits, next, added);
        if (!acts) {
            pending.push_back('#');
            i = hash + 1;
            continue;
        }
        if (!(next == style)) {
            flush();
            style = next;
        }
        pending += added;
        i = hash + 2;
    }
    flush();
    return out;
}

std::string MarkupFromRuns(const std::vector<MarkupRun>& runs) {
    const bool uniform = std::all_of(runs.begin(), runs.end(), [&](const MarkupRun& r) {
        return r.style == runs.front().style;
    });
    std::string out;
    std::array<int, 6> order = {1, 2, 3, 4, 5, 6};
    MarkupStyle previous;
    for (const MarkupRun& run : runs) {
        if (!uniform) {
            WriteStyleChanges(previous, run.style, order, out);
            previous = run.style;
        }
        for (const char c : run.text) {
            if (c == '\t') {
                out += "#T";
            } else if (c == kLineBreak) {
                out += "#L";
            } else {
                out.push_back(c);
            }
        }
    }
    return DropEmptyLines(std::move(out));
}

bool IsWordSeparator(unsigned char byte) {
    return byte <= 0x20 || (byte >= 0x21 && byte <= 0x2F) || (byte >= 0x3A && byte <= 0x40) ||
           byte >= 0xFD;
}

void CollectLinks(std::string_view text, std::vector<std::string>& links) {
    auto add = [&links](const std::string& link) {
        if (link.empty()) {
            return;
        }
        const std::string lower = LowerText(link);
        if (std::none_of(links.begin(), links.end(),
                         [&](const std::string& l) { return LowerText(l) == lower; })) {
            links.push_back(link);
        }
    };
    const std::string lower = LowerText(text);
    for (std::size_t p = 0; (p = lower.find("http", p)) != std::string::npos; ++p) {
        if (lower.compare(p, 5, "http:") != 0 && lower.compare(p, 6, "https:") != 0) {
            continue;
        }
        std::size_t end = p;
        while (end < text.size() && !IsBlank(text[end])) {
            ++end;
        }
        add(LinkTarget(text.substr(p, end - p)));
    }
    for (const std::string_view word : BlankSeparatedWords(text)) {
        if (word.find_first_of(":/") == std::string_view::npos) {
            continue;
        }
        const std::string target = LinkTarget(word);
        if (LooksLikePath(target)) {
            add(target);
        }
    }
}

} // namespace cvx
