#include "text/LatexText.h"

#include "text/Cp1252.h"
#include "text/LatexCharacters.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"
#include "text/SymbolFont.h"

#include <array>
#include <string>

namespace cvx {

namespace {

// Combining marks of the accented letters of the code page.
constexpr char32_t kGrave = 0x0300;
constexpr char32_t kAcute = 0x0301;
constexpr char32_t kCircumflex = 0x0302;
constexpr char32_t kTilde = 0x0303;
constexpr char32_t kDiaeresis = 0x0308;
constexpr char32_t kCaron = 0x030C;
constexpr char32_t kCedilla = 0x0327;

struct Accented {
    unsigned char byte;
    char32_t mark;
    char base;
};

// The accented capitals of the code page; their small letters are the capitals plus 0x20.
constexpr Accented kAccentedCapitals[] = {
    {0xC0, kGrave, 'A'},      {0xC1, kAcute, 'A'},      {0xC2, kCircumflex, 'A'},
    {0xC3, kTilde, 'A'},      {0xC4, kDiaeresis, 'A'},  {0xC7, kCedilla, 'C'},
    {0xC8, kGrave, 'E'},      {0xC9, kAcute, 'E'},      {0xCA, kCircumflex, 'E'},
    {0xCB, kDiaeresis, 'E'},  {0xCC, kGrave, 'I'},      {0xCD, kAcute, 'I'},
    {0xCE, kCircumflex, 'I'}, {0xCF, kDiaeresis, 'I'},  {0xD1, kTilde, 'N'},
    {0xD2, kGrave, 'O'},      {0xD3, kAcute, 'O'},      {0xD4, kCircumflex, 'O'},
    {0xD5, kTilde, 'O'},      {0xD6, kDiaeresis, 'O'},  {0xD9, kGrave, 'U'},
    {0xDA, kAcute, 'U'},      {0xDB, kCircumflex, 'U'}, {0xDC, kDiaeresis, 'U'},
    {0xDD, kAcute, 'Y'}};
// The accented letters whose small letter lies elsewhere.
constexpr Accented kAccentedOthers[] = {
    {0x8A, kCaron, 'S'}, {0x9A, kCaron, 's'}, {0x9F, kDiaeresis, 'Y'}, {0xFF, kDiaeresis, 'y'}};

// Letters and signs written as their LaTeX command in braces ("{\AA}").
constexpr std::string_view kBracedCommands[] = {
    "AA", "aa", "AE", "ae", "O", "o", "OE", "oe", "dag", "ddag", "S", "copyright", "pounds"};

// The other bytes: signs that older LaTeX writes in mathematics mode, quotes, dashes and
// fractions.
struct Named {
    unsigned char byte;
    const char* latex;
};

constexpr Named kNamed[] = {{0xDF, "$\\beta$"},
                            {0xF0, "$\\partial$"},
                            {0x82, ",,"},
                            {0x85, "$\\ldots$"},
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
                            {0xA8, "\\\"{ }"},
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
    auto accented = [](char32_t mark, char base) {
        return std::string{'\\', LatexAccentCommand(mark), '{', base, '}'};
    };
    for (const Accented& a : kAccentedCapitals) {
        table[a.byte - 0x80] = accented(a.mark, a.base);
        table[a.byte + 0x20 - 0x80] = accented(a.mark, static_cast<char>(a.base + 0x20));
    }
    for (const Accented& a : kAccentedOthers) {
        table[a.byte - 0x80] = accented(a.mark, a.base);
    }
    for (std::string_view name : kBracedCommands) {
        const unsigned char byte = UnicodeToCp1252(LatexCommandCharacter(name));
        table[byte - 0x80] = "{\\" + std::string(name) + "}";
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

// The LaTeX form of a character that LaTeX would read as a command or a mathematics sign; empty
// for any other character. A backslash stays after a full stop, where it ends "et al.\"; any
// other becomes "/" (a path in running text).
std::string_view LatexSpecial(char c, bool afterFullStop) {
    switch (c) {
    case '$':
        return "\\$";
    case '%':
        return "\\%";
    case '&':
        return "\\&";
    case '^':
        return "\\^";
    case '`':
        return "\\`";
    case '{':
        return "\\{";
    case '}':
        return "\\}";
    case '<':
        return "$<$";
    case '>':
        return "$>$";
    case '|':
        return "$|$";
    case '\\':
        return afterFullStop ? "\\" : "/";
    case '_':
        return "\\_";
    default:
        return {};
    }
}

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
    // A Latin letter stands for the Greek letter the Symbol font draws; one without a command
    // of its own (the capitals that look Latin, the omicron) is written as the letter it looks
    // like.
    if (const char32_t greek = SymbolGreekLetter(c); greek != 0) {
        if (const std::string_view name = LatexCommandFor(greek); !name.empty()) {
            return "$\\" + std::string(name) + "$";
        }
        return std::string(1, greek == 0x03A7 ? 'X' : greek == 0x03A1 ? 'P' : static_cast<char>(c));
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
    constexpr std::array<std::string_view, Count> kClosing = {"}",  "}",  "}",  "}$",
                                                              "}$", "}$", "}$", "\r\n"};
    std::array<bool, Count> on{};
    bool symbol = false;
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    auto toggle = [&](Toggle t, std::string_view opening) {
        out += on[t] ? kClosing[t] : opening;
        on[t] = !on[t];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '#') {
            if (i + 1 < text.size() && IsMarkupLetter(text[i + 1])) {
                switch (text[++i]) {
                case 'B':
                    toggle(Bold, "\\textbf{");
                    break;
                case 'I':
                    toggle(Italic, "{\\it ");
                    break;
                case 'U':
                case '_':
                    toggle(Underline, "\\underline{");
                    break;
                case '^':
                    toggle(Sup, "$^{");
                    break;
                case 'P':
                    toggle(BoldSup, "$^{");
                    break;
                case 'v':
                    toggle(Sub, "$_{");
                    break;
                case 'b':
                    toggle(BoldSub, "$_{");
                    break;
                case 'H':
                    toggle(HiddenText, "%");
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
        if (const std::string_view special =
                LatexSpecial(static_cast<char>(c), !out.empty() && out.back() == '.');
            !special.empty()) {
            out += special;
        } else {
            out += symbol ? LatexSymbol(c) : LatexChar(c);
        }
    }
    // A style the text leaves on is closed, so that the text stays balanced wherever it goes.
    for (int t = Count - 1; t >= 0; --t) {
        if (on[static_cast<std::size_t>(t)]) {
            toggle(static_cast<Toggle>(t), {});
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
        const char c = text[i];
        if (c != '#') {
            const std::string_view special = LatexSpecial(c, i > 0 && text[i - 1] == '.');
            s += special.empty() ? text.substr(i, 1) : special;
        } else if (i + 1 < text.size() && recognised(text[i + 1])) {
            s += '#';
            s += text[++i];
        } else {
            s += "\\#";
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
