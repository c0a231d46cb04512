#include "text/Markup.h"

#include "text/CaseMapping.h"
#include "text/SymbolFont.h"

#include <array>
#include <initializer_list>

namespace cvx {

namespace {

std::string RemoveCodes(std::string_view text, std::initializer_list<std::string_view> codes) {
    std::string out(text);
    for (std::string_view code : codes) {
        for (std::size_t p; (p = out.find(code)) != std::string::npos;) {
            out.erase(p, code.size());
        }
    }
    return out;
}

// The escaped RTF form of one byte of text.
void AppendRtfEscaped(std::string& out, unsigned char c) {
    if ((c >= 0x20 && c <= 0x5B) || (c >= 0x5D && c <= 0x7A)) {
        out.push_back(static_cast<char>(c));
    } else if (c == '\\' || c == '{' || c == '}') {
        out.push_back('\\');
        out.push_back(static_cast<char>(c));
    } else {
        out += "\\'";
        out += HexByte(c);
    }
}

// Writes text lines of at most 80 characters, each followed by CR LF, without ever cutting an
// escape ("\'hh", "\{") in two: RTF readers ignore the line ends, but not a split escape.
class RtfLineWriter {
public:
    explicit RtfLineWriter(std::string& out) : out_(out) {}

    void Append(unsigned char c) {
        std::string token;
        AppendRtfEscaped(token, c);
        AppendToken(token);
    }

    // A piece of RTF that must stay on one line, as an escape with its fallback.
    void AppendToken(std::string_view token) {
        if (line_.size() + token.size() > kLineLength) {
            Flush();
        }
        line_ += token;
    }

    void Flush() {
        if (!line_.empty()) {
            out_ += line_;
            out_ += "\r\n";
            line_.clear();
        }
    }

private:
    static constexpr std::size_t kLineLength = 80;
    std::string& out_;
    std::string line_;
};

enum RtfToggle {
    Bold,
    Italic,
    Underline,
    Superscript,
    BoldSuperscript,
    Subscript,
    BoldSubscript,
    Symbol,
    Hidden,
    ToggleCount
};

} // namespace

bool IsMarkupLetter(char c) {
    switch (c) {
    case 'B':
    case 'G':
    case 'H':
    case 'I':
    case 'L':
    case 'N':
    case 'P':
    case 'T':
    case 'U':
    case '^':
    case '_':
    case 'b':
    case 'v':
        return true;
    default:
        return false;
    }
}

std::string CodesToPlainText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '#' && i + 1 < text.size() && IsMarkupLetter(text[i + 1])) {
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string CodesToPlainLayout(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '#' && i + 1 < text.size() && IsMarkupLetter(text[i + 1])) {
            ++i;
            out += text[i] == 'T' ? "\t" : text[i] == 'L' ? "\r\n" : "";
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string RemoveStyleCodes(std::string_view text) {
    return RemoveCodes(text, {"#B", "#I", "#v", "#b", "#P", "#^", "#U", "#_", "#G"});
}

std::string RemoveExportCodes(std::string_view text) {
    return RemoveCodes(text, {"#B", "#I", "#U", "#v", "#^", "#G"});
}

std::string RtfUnicodeEscape(char32_t ch) {
    const long value = ch > 0x7FFF ? static_cast<long>(ch) - 65536 : static_cast<long>(ch);
    return "\\u" + std::to_string(value);
}

std::string CodesToRtfFragment(std::string_view text, std::string_view lineBreak) {
    std::string out;
    out.reserve(text.size() * 2);
    RtfLineWriter lines(out);
    std::array<bool, ToggleCount> on{};
    auto toggle = [&](RtfToggle t, const char* opening) {
        out += on[t] ? "}" : opening;
        on[t] = !on[t];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != '#') {
            if (const char32_t greek = on[Symbol] ? SymbolGreekLetter(c) : 0; greek != 0) {
                std::string token = RtfUnicodeEscape(greek);
                AppendRtfEscaped(token, c);
                lines.AppendToken(token);
            } else {
                lines.Append(c);
            }
            continue;
        }
        lines.Flush();
        if (i + 1 == text.size()) {
            out += '#';
            break;
        }
        const auto code = static_cast<unsigned char>(text[++i]);
        switch (code) {
        case '#':
            out += '#';
            break;
        case 'B':
            toggle(Bold, "{\\plain \\b ");
            break;
        case 'I':
            toggle(Italic, "{\\plain \\i ");
            break;
        case 'U':
        case '_':
            toggle(Underline, "{\\plain \\ul ");
            break;
        case '^':
            toggle(Superscript, "{\\plain \\up ");
            break;
        case 'P':
            toggle(BoldSuperscript, "{\\plain \\b\\up ");
            break;
        case 'v':
            toggle(Subscript, "{\\plain \\dn ");
            break;
        case 'b':
            toggle(BoldSubscript, "{\\plain \\b\\dn ");
            break;
        case 'G':
            toggle(Symbol, "{\\f3 ");
            break;
        case 'H':
            toggle(Hidden, "{\\plain \\v ");
            break;
        case 'L':
            out += lineBreak;
            break;
        case 'O':
            out += "\r\n\\par \\pard \\fi-360\\li360 ";
            break;
        case 'T':
            out += "\\tab ";
            break;
        default:
            out += '#';
            AppendRtfEscaped(out, code);
            break;
        }
    }
    lines.Flush();
    // Every group still open is closed, hidden text included, so the document stays balanced.
    for (RtfToggle t : {Bold, Italic, Underline, Superscript, BoldSuperscript, Subscript,
                        BoldSubscript, Symbol, Hidden}) {
        if (on[t]) {
            out += '}';
        }
    }
    return out;
}

std::string CodesToRtf(std::string_view text) {
    return "{\\rtf1\\ansi \\deff0 {\\fonttbl{\\f0\\froman\\fcharset0 Arial;}"
           "{\\f3\\froman\\fcharset2 Symbol;}}\r\n{\\colortbl\r\n\\red0\\green0\\blue0;}\r\n"
           "\\pard \r\n\\plain " +
           CodesToRtfFragment(text, "\\par ") + "\r\n}";
}

} // namespace cvx
