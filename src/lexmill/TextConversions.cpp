#include "lexmill/TextConversions.h"

#include "text/AnsiWriter.h"
#include "text/CaseMapping.h"
#include "text/Cp1252.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"
#include "text/SymbolFont.h"
#include "text/TextMode.h"

#include <algorithm>
#include <array>

namespace cvx::lexmill {

namespace {

// Code page 437, bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> kOem = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// The nearest code page 1252 byte of an OEM character that code page 1252 lacks: box drawing as
// ASCII lines and corners, Greek and mathematical signs as their look-alike letters.
unsigned char NearestAnsi(char16_t cp) {
    if (cp >= 0x2500 && cp <= 0x257F) {
        if (cp == 0x2502 || cp == 0x2551) {
            return '|';
        }
        if (cp == 0x2500 || cp == 0x2550) {
            return '-';
        }
        return '+';
    }
    switch (cp) {
    case 0x2591:
    case 0x2592:
    case 0x2593:
    case 0x2588:
    case 0x2584:
    case 0x258C:
    case 0x2590:
    case 0x2580:
    case 0x25A0:
        return '#';
    case 0x20A7:
        return 'P';
    case 0x2310:
        return 0xAC;
    case 0x03B1:
        return 'a';
    case 0x0393:
        return 'G';
    case 0x03C0:
        return 'p';
    case 0x03A3:
        return 'S';
    case 0x03C3:
        return 's';
    case 0x03C4:
        return 't';
    case 0x03A6:
        return 'F';
    case 0x0398:
        return 'T';
    case 0x03A9:
        return 'O';
    case 0x03B4:
        return 'd';
    case 0x221E:
        return '8';
    case 0x03C6:
        return 'f';
    case 0x03B5:
        return 'e';
    case 0x2229:
        return 'n';
    case 0x2261:
    case 0x2265:
    case 0x2264:
        return '=';
    case 0x2320:
        return '(';
    case 0x2321:
        return ')';
    case 0x2248:
        return '~';
    case 0x2219:
        return 0xB7;
    case 0x221A:
        return 'v';
    case 0x207F:
        return 'n';
    default:
        return '?';
    }
}

const std::array<unsigned char, 256>& OemToAnsiTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 128; ++i) {
            t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
        }
        for (int i = 0; i < 128; ++i) {
            const char16_t cp = kOem[static_cast<std::size_t>(i)];
            const unsigned char ansi = UnicodeToCp1252(cp);
            t[0x80 + static_cast<std::size_t>(i)] = ansi != 0 ? ansi : NearestAnsi(cp);
        }
        return t;
    }();
    return table;
}

const std::array<unsigned char, 256>& AnsiToOemTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            t[static_cast<std::size_t>(i)] = i < 128 ? static_cast<unsigned char>(i) : '?';
        }
        for (int b = 0x80; b < 0x100; ++b) {
            const char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
            bool found = false;
            for (int i = 0; i < 128 && !found; ++i) {
                if (kOem[static_cast<std::size_t>(i)] == cp) {
                    t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(0x80 + i);
                    found = true;
                }
            }
            if (!found) {
                // The base letter of an accented character.
                const std::string base = AsciiLetters(cp);
                t[static_cast<std::size_t>(b)] =
                    base.size() == 1 ? static_cast<unsigned char>(base[0]) : '?';
            }
        }
        return t;
    }();
    return table;
}

struct Entity {
    std::string_view name; // upper case, between "&" and ";"
    std::string_view text;
};

bool IsTerminator(unsigned char c, CaseMode mode) {
    if (c == '!' || c == '.' || c == ':' || c == '?' || c == 0xA8) {
        return true;
    }
    return mode == CaseMode::Word && (c == ' ' || c == ',' || c == '-' || c == '/' || c == ';');
}

bool HasCase(unsigned char c) {
    return UpperChar(c) != LowerChar(c);
}

} // namespace

unsigned char OemToAnsiChar(unsigned char c) {
    return OemToAnsiTable()[c];
}

unsigned char AnsiToOemChar(unsigned char c) {
    return AnsiToOemTable()[c];
}

std::string OemToAnsi(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(OemToAnsiChar(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string AnsiToOem(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(AnsiToOemChar(static_cast<unsigned char>(c)));
    }
    return out;
}

bool OemRoundTrips(std::string_view text) {
    return AnsiToOem(OemToAnsi(text)) == text;
}

bool AnsiRoundTrips(std::string_view text) {
    return OemToAnsi(AnsiToOem(text)) == text;
}

std::string RemoveMarkup(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == '<') {
            const std::size_t close = line.find('>', i + 1);
            if (close != std::string_view::npos) {
                i = close + 1;
                continue;
            }
        }
        out.push_back(line[i++]);
    }
    return out;
}

std::string ReplaceEntities(std::string_view line) {
    static const std::string kLe = SymbolMarkup(SymbolFontByte(0x2264));
    static const std::string kGe = SymbolMarkup(SymbolFontByte(0x2265));
    const Entity entities[] = {{"QUOT", "\""},   {"TM", "(tm)"},  {"PM", "\xB1"}, {"LE", kLe},
                               {"LT", "<"},      {"GT", ">"},     {"GE", kGe},    {"AMP", "&"},
                               {"AUML", "\xE4"}, {"OUML", "\xF6"}};
    std::string out;
    out.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == '&') {
            const std::size_t semicolon = line.find(';', i + 1);
            if (semicolon != std::string_view::npos) {
                const std::string name = UpperText(line.substr(i + 1, semicolon - i - 1));
                bool replaced = false;
                for (const Entity& e : entities) {
                    if (name == e.name) {
                        out += e.text;
                        i = semicolon + 1;
                        replaced = true;
                        break;
                    }
                }
                if (replaced) {
                    continue;
                }
            }
        }
        out.push_back(line[i++]);
    }
    return out;
}

std::string CleanHostText(std::string_view text) {
    struct Notation {
        std::string_view from;
        std::string to;
    };
    static const Notation kNotations[] = {{".sbd.", " - "},
                                          {".male.", "male"},
                                          {".female.", "female"},
                                          {".times.", "x"},
                                          {".ltoreq.", SymbolMarkup(SymbolFontByte(0x2264))},
                                          {".lt.", "<"},
                                          {".gtoreq.", SymbolMarkup(SymbolFontByte(0x2265))},
                                          {".gt.", ">"},
                                          {".DELTA.", "d"},
                                          {".apprx.", SymbolMarkup(SymbolFontByte(0x2248))},
                                          {".mu.", "\xB5"},
                                          {".degree.", "\xB0"},
                                          {".alpha.", SymbolMarkup('a')},
                                          {".beta.", SymbolMarkup('b')},
                                          {".sigma.", SymbolMarkup('s')}};
    std::string s = TrimBlanks(text);
    for (const Notation& n : kNotations) {
        s = ReplaceAll(s, n.from, n.to);
    }
    while (s.find("  ") != std::string::npos) {
        s = ReplaceAll(s, "  ", " ");
    }
    s = ReplaceAll(s, ":.", ".");
    for (std::size_t p; (p = s.find("-----")) != std::string::npos;) {
        s.erase(p, std::min<std::size_t>(6, s.size() - p));
    }
    return ReplaceAll(s, " ;", ";");
}

std::string ChangeCharSetD(std::string_view text, unsigned char escape) {
    static constexpr std::string_view kLetters = "cCeEuUaAoOiInN";
    static constexpr std::string_view kAccented = "\xE7\xC7\xE9\xC9\xFC\xDC\xE4\xC4\xF6\xD6\xED\xCD"
                                                  "\xF1\xD1";
    if (text.find(static_cast<char>(escape)) == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) == escape && i + 1 < text.size()) {
            const std::size_t k = kLetters.find(text[i + 1]);
            if (k != std::string_view::npos) {
                out.push_back(kAccented[k]);
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

bool HasSmallLetters(std::string_view text) {
    for (char c : text) {
        if (c >= 'a' && c <= 'z') {
            return true;
        }
    }
    return false;
}

std::string Decapitalise(std::string_view text, CaseMode mode, bool japanese, bool& capitalNext) {
    if (!japanese && HasSmallLetters(text)) {
        return std::string(text);
    }
    std::string out(text);
    bool symbol = false;
    std::size_t i = 0;
    while (i < out.size()) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c == '#' && i + 1 < out.size() && IsMarkupLetter(out[i + 1])) {
            symbol = out[i + 1] == 'G' ? !symbol : symbol;
            i += 2;
            continue;
        }
        if (symbol) {
            ++i;
            continue;
        }
        if (japanese && (IsSjisLeadByte(c) || IsHalfWidthKatakana(c))) {
            i += IsSjisLeadByte(c) && i + 1 < out.size() ? 2 : 1;
            capitalNext = true;
            continue;
        }
        if (capitalNext) {
            if (HasCase(c)) {
                capitalNext = false;
            }
        } else {
            out[i] = static_cast<char>(LowerChar(c));
            if (IsTerminator(c, mode)) {
                capitalNext = true;
            }
        }
        ++i;
    }
    return out;
}

std::string Decapitalise(std::string_view text, CaseMode mode, bool japanese) {
    bool capitalNext = true;
    return Decapitalise(text, mode, japanese, capitalNext);
}

std::string TitleCase(std::string_view text) {
    if (HasSmallLetters(text)) {
        return std::string(text);
    }
    static constexpr std::string_view kSmallWords[] = {
        "a",  "an", "and",  "as", "at",  "but",  "by",  "for", "from", "in", "into", "nor",
        "of", "on", "onto", "or", "per", "than", "the", "to",  "via",  "vs", "with"};
    std::string out = Decapitalise(text, CaseMode::Word, false);
    // Word boundaries as Decapitalise sees them: blanks; a word after ":" or "." starts anew.
    std::size_t start = out.find_first_not_of(' ');
    bool first = true;
    while (start != std::string::npos) {
        std::size_t end = out.find(' ', start);
        const bool last =
            end == std::string::npos || out.find_first_not_of(' ', end) == std::string::npos;
        if (end == std::string::npos) {
            end = out.size();
        }
        const std::string_view word = std::string_view(out).substr(start, end - start);
        const std::string lower = LowerText(word);
        const bool small = std::find(std::begin(kSmallWords), std::end(kSmallWords), lower) !=
                           std::end(kSmallWords);
        const bool afterBreak = start >= 2 && (out[start - 2] == ':' || out[start - 2] == '.');
        if (small && !first && !last && !afterBreak) {
            out.replace(start, end - start, lower);
        }
        first = false;
        start = out.find_first_not_of(' ', end);
    }
    return out;
}

} // namespace cvx::lexmill
