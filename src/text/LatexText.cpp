#include "text/LatexText.h"

#include "text/Markup.h"
#include "text/StringPrimitives.h"

#include <array>
#include <string>

namespace cvx {

namespace {

struct Accented {
    unsigned char byte;
    char accent; // the LaTeX accent command letter: ` ' ^ ~ "
    char base;
};

// The accented letters of the code page; lower-case forms are their capitals plus 0x20.
constexpr Accented kAccentedCapitals[] = {
    {0xC0, '`', 'A'},  {0xC1, '\'', 'A'}, {0xC2, '^', 'A'}, {0xC3, '~', 'A'}, {0xC4, '"', 'A'},
    {0xC8, '`', 'E'},  {0xC9, '\'', 'E'}, {0xCA, '^', 'E'}, {0xCB, '"', 'E'}, {0xCC, '`', 'I'},
    {0xCD, '\'', 'I'}, {0xCE, '^', 'I'},  {0xCF, '"', 'I'}, {0xD1, '~', 'N'}, {0xD2, '`', 'O'},
    {0xD3, '\'', 'O'}, {0xD4, '^', 'O'},  {0xD5, '~', 'O'}, {0xD6, '"', 'O'}, {0xD9, '`', 'U'},
    {0xDA, '\'', 'U'}, {0xDB, '^', 'U'},  {0xDC, '"', 'U'}, {0xDD, '\'', 'Y'}};

struct Named {
    unsigned char byte;
    const char* latex;
};

constexpr Named kNamed[] = {{0x9F, "\\\"{Y}"},
                            {0xFF, "\\\"{y}"},
                            {0xC7, "\\c{C}"},
                            {0xE7, "\\c{c}"},
                            {0x8A, "\\v{S}"},
                            {0x9A, "\\v{s}"},
                            {0xC5, "{\\AA}"},
                            {0xE5, "{\\aa}"},
                            {0xC6, "{\\AE}"},
                            {0xE6, "{\\ae}"},
                            {0xD8, "{\\O}"},
                            {0xF8, "{\\o}"},
                            {0x8C, "{\\OE}"},
                            {0x9C, "{\\oe}"},
                            {0xDF, "$\\beta$"},
                            {0xF0, "$\\partial$"},
                            {0x82, ",,"},
                            {0x85, "$\\ldots$"},
                            {0x86, "{\\dag}"},
                            {0x87, "{\\ddag}"},
                            {0x88, "\\^{ }"},
                            {0x89, "{\\scriptsize 0/00}"},
                            {0x8B, "$<$"},
                            {0x91, "'"},
                            {0x92, "'"},
                            {0x93, "\""},
                            {0x94, "\""},
                            {0x95, "$\\bullet$"},
                            {0x96, "-"},
                            {0x97, "-"},
                            {0x98, "\\~{ }"},
                            {0x99, "$^{\\rm TM}$"},
                            {0x9B, "$>$"},
                            {0xA0, " "},
                            {0xA1, "{!`}"},
                            {0xA3, "{\\pounds}"},
                            {0xA7, "{\\S}"},
                            {0xA8, "\\\"{ }"},
                            {0xA9, "{\\copyright}"},
                            {0xAA, "$^{\\rm a}$"},
                            {0xAB, "$\\ll$"},
                            {0xAC, "$\\neg$"},
                            {0xAD, "{--}"},
                            {0xAF, "\\={ }"},
                            {0xB0, "$^\\circ$"},
                            {0xBA, "$^\\circ$"},
                            {0xB1, "$\\pm$"},
                            {0xB2, "$^2$"},
                            {0xB3, "$^3$"},
                            {0xB4, "\\' }"},
                            {0xB5, "$\\mu$"},
                            {0xB6, "\\P"},
                            {0xB7, "$\\cdot$"},
                            {0xB9, "$^1$"},
                            {0xBB, "$\\gg$"},
                            {0xBC, "$\\frac{1}{4}$"},
                            {0xBD, "$\\frac{1}{2}$"},
                            {0xBE, "$\\frac{3}{4}$"},
                            {0xBF, "{?`}"},
                            {0xD7, "$\\times$"},
                            {0xF7, "$\\div$"}};

std::array<std::string, 128> MakeCharTable() {
    std::array<std::string, 128> table;
    for (int i = 0; i < 128; ++i) {
        table[i] = std::string(1, static_cast<char>(0x80 + i));
    }
    for (const Accented& a : kAccentedCapitals) {
        table[a.byte - 0x80] = std::string{'\\', a.accent, '{', a.base, '}'};
        table[a.byte + 0x20 - 0x80] =
            std::string{'\\', a.accent, '{', static_cast<char>(a.base + 0x20), '}'};
    }
    for (const Named& n : kNamed) {
        table[n.byte - 0x80] = n.latex;
    }
    return table;
}

const std::array<std::string, 128>& CharTable() {
    static const std::array<std::string, 128> table = MakeCharTable();
    return table;
}

// The letters a..z and A..Z as the Symbol font draws them: f is phi, o omicron, F Phi, J the
// script theta, V the final sigma. Capitals that look like Latin ones are written so.
constexpr const char* kGreekLower[26] = {
    "$\\alpha$", "$\\beta$",  "$\\chi$",   "$\\delta$", "$\\epsilon$", "$\\varphi$", "$\\gamma$",
    "$\\eta$",   "$\\iota$",  "$\\phi$",   "$\\kappa$", "$\\lambda$",  "$\\mu$",     "$\\nu$",
    "o",         "$\\pi$",    "$\\theta$", "$\\rho$",   "$\\sigma$",   "$\\tau$",    "$\\upsilon$",
    "$\\varpi$", "$\\omega$", "$\\xi$",    "$\\psi$",   "$\\zeta$"};
constexpr const char* kGreekUpper[26] = {
    "A",         "B", "X",           "$\\Delta$",    "E",         "$\\Phi$",
    "$\\Gamma$", "H", "I",           "$\\vartheta$", "K",         "$\\Lambda$",
    "M",         "N", "O",           "$\\Pi$",       "$\\Theta$", "P",
    "$\\Sigma$", "T", "$\\Upsilon$", "$\\varsigma$", "$\\Omega$", "$\\Xi$",
    "$\\Psi$",   "Z"};

constexpr std::string_view kItalicEtAlLatex = "{\\it et al}.";
constexpr std::string_view kPlainEtAlLatex = "et al.";

// Every `marker` of the text written as `etAl`. The marker stands for " et al.": the blank is
// written unless the text before it ends with one, and a blank after it gets a backslash, so that
// LaTeX sets a normal space after the full stop; before punctuation the backslash would make a
// control symbol ("\," is a thin space), so there it is left out.
std::string ResolveEtAl(std::string_view text, std::string_view marker, std::string_view etAl) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0;;) {
        const std::size_t hit = text.find(marker, pos);
        if (hit == std::string_view::npos) {
            result.append(text.substr(pos));
            return result;
        }
        result.append(text.substr(pos, hit - pos));
        if (!result.empty() && result.back() != ' ' && result.back() != '(' &&
            result.back() != '\n') {
            result += ' ';
        }
        const std::size_t after = hit + marker.size();
        result.append(etAl);
        if (after < text.size() && text[after] == ' ') {
            result += '\\';
        }
        pos = after;
    }
}

} // namespace

std::string LatexChar(unsigned char c) {
    if (c < 0x80) {
        return std::string(1, static_cast<char>(c));
    }
    return CharTable()[c - 0x80];
}

std::string LatexSymbol(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return kGreekLower[c - 'a'];
    }
    if (c >= 'A' && c <= 'Z') {
        return kGreekUpper[c - 'A'];
    }
    switch (c) {
    case '^':
        return "$\\perp$";
    case 0xA3:
        return "$\\leq$";
    case 0xA8:
        return "$\\diamond$";
    case 0xB0:
        return "$\\circ$";
    case 0xB1:
        return "$\\pm$";
    case 0xB3:
        return "$\\geq$";
    case 0xB4:
        return "$\\times$";
    case 0xB7:
        return "$\\bullet$";
    case 0xB9:
        return "$\\neq$";
    case 0xBB:
        return "$\\approx$";
    case 0xD3:
        return "$\\copyright$";
    case 0xD7:
        return "$\\cdot$";
    case 0xD9:
        return "$\\wedge$";
    case 0xDA:
        return "$\\vee$";
    default:
        return std::string(1, static_cast<char>(c));
    }
}

std::string CodesToLatex(std::string_view text) {
    enum Toggle { Bold, Italic, Underline, Sup, BoldSup, Sub, BoldSub, HiddenText, Count };
    std::array<bool, Count> on{};
    bool symbol = false;
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    auto toggle = [&](Toggle t, const char* opening, const char* closing) {
        out += on[t] ? closing : opening;
        on[t] = !on[t];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '#') {
            if (i + 1 < text.size() && IsMarkupLetter(text[i + 1])) {
                switch (text[++i]) {
                case 'B':
                    toggle(Bold, "\\textbf{", "}");
                    break;
                case 'I':
                    toggle(Italic, "{\\it ", "}");
                    break;
                case 'U':
                case '_':
                    toggle(Underline, "\\underline{", "}");
                    break;
                case '^':
                    toggle(Sup, "$^{", "}$");
                    break;
                case 'P':
                    toggle(BoldSup, "$^{", "}$");
                    break;
                case 'v':
                    toggle(Sub, "$_{", "}$");
                    break;
                case 'b':
                    toggle(BoldSub, "$_{", "}$");
                    break;
                case 'H':
                    toggle(HiddenText, "%", "\r\n");
                    break;
                case 'L':
                    out += "\\\\[4mm]";
                    break;
                case 'T':
                    out += "\\hspace*{10mm}";
                    break;
                case 'G':
                    symbol = !symbol;
                    break;
                default:
                    break; // "#N": recognised, writes nothing
                }
            } else {
                out += "\\#";
            }
            continue;
        }
        switch (c) {
        case '$':
            out += "\\$";
            break;
        case '%':
        case '&':
        case '^':
        case '`':
        case '{':
        case '}':
            out += '\\';
            out += static_cast<char>(c);
            break;
        case '<':
        case '>':
        case '|':
            out += '$';
            out += static_cast<char>(c);
            out += '$';
            break;
        case '\\':
            out += (!out.empty() && out.back() == '.') ? "\\" : "/";
            break;
        case '_':
            out += "\\_";
            break;
        default:
            out += symbol ? LatexSymbol(c) : LatexChar(c);
            break;
        }
    }
    out = ResolveEtAl(out, "\\\"{y}\\\"{y}\\\"{y}", kItalicEtAlLatex);
    return ResolveEtAl(out, kPlainEtAlMarker, kPlainEtAlLatex);
}

std::string LatexEscapeInPlace(std::string_view text) {
    auto recognised = [](char c) { return c != 'H' && (IsMarkupLetter(c) || c == 'O'); };
    std::string s;
    s.reserve(text.size() + text.size() / 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '#':
            if (i + 1 < text.size() && recognised(text[i + 1])) {
                s += '#';
                s += text[++i];
            } else {
                s += "\\#";
            }
            break;
        case '$':
        case '%':
        case '&':
        case '^':
        case '`':
        case '{':
        case '}':
            s += '\\';
            s += static_cast<char>(c);
            break;
        case '<':
        case '>':
        case '|':
            s += '$';
            s += static_cast<char>(c);
            s += '$';
            break;
        case '\\':
            s += (i > 0 && text[i - 1] == '.') ? "\\" : "/";
            break;
        case '_':
            s += "\\_";
            break;
        default:
            s += static_cast<char>(c);
            break;
        }
    }
    // Hidden text becomes a LaTeX comment: "#H" opens it, the next "#H" ends the line.
    std::string hidden;
    hidden.reserve(s.size());
    bool open = false;
    for (std::size_t pos = 0;;) {
        const std::size_t hit = s.find("\\#H", pos);
        if (hit == std::string::npos) {
            hidden.append(s, pos);
            break;
        }
        hidden.append(s, pos, hit - pos);
        hidden += open ? "\r\n" : "%";
        open = !open;
        pos = hit + 3;
    }
    std::string out;
    out.reserve(hidden.size() + hidden.size() / 4);
    for (char c : hidden) {
        out += LatexChar(static_cast<unsigned char>(c));
    }
    return ResolveEtAl(out, kPlainEtAlMarker, kPlainEtAlLatex);
}

std::string LatexUnescape(std::string_view text) {
    // Paths here use "/", which the escaping leaves alone, so it is not turned back into "\".
    std::string s(text);
    for (char c : std::string_view("#%&^`|}{_$")) {
        s = ReplaceAll(s, std::string{'\\', c}, std::string(1, c));
    }
    for (char c : std::string_view("|<>")) {
        s = ReplaceAll(s, std::string{'$', c, '$'}, std::string(1, c));
    }
    return s;
}

} // namespace cvx
