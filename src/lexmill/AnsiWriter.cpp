#include "lexmill/AnsiWriter.h"

#include "lexmill/SourceDecoding.h"
#include "text/Cp1252.h"

#include <QChar>
#include <QList>
#include <QString>

#include <unordered_map>

namespace cvx {

namespace {

struct SymbolEntry {
    char32_t codePoint;
    unsigned char byte;
};

// Greek letters and signs of the Symbol font that code page 1252 lacks.
constexpr SymbolEntry kSymbols[] = {
    {0x0391, 'A'},  {0x0392, 'B'},  {0x0393, 'G'},  {0x0394, 'D'},  {0x0395, 'E'},  {0x0396, 'Z'},
    {0x0397, 'H'},  {0x0398, 'Q'},  {0x0399, 'I'},  {0x039A, 'K'},  {0x039B, 'L'},  {0x039C, 'M'},
    {0x039D, 'N'},  {0x039E, 'X'},  {0x039F, 'O'},  {0x03A0, 'P'},  {0x03A1, 'R'},  {0x03A3, 'S'},
    {0x03A4, 'T'},  {0x03A5, 'U'},  {0x03A6, 'F'},  {0x03A7, 'C'},  {0x03A8, 'Y'},  {0x03A9, 'W'},
    {0x03B1, 'a'},  {0x03B2, 'b'},  {0x03B3, 'g'},  {0x03B4, 'd'},  {0x03B5, 'e'},  {0x03B6, 'z'},
    {0x03B7, 'h'},  {0x03B8, 'q'},  {0x03B9, 'i'},  {0x03BA, 'k'},  {0x03BB, 'l'},  {0x03BC, 'm'},
    {0x03BD, 'n'},  {0x03BE, 'x'},  {0x03BF, 'o'},  {0x03C0, 'p'},  {0x03C1, 'r'},  {0x03C2, 'V'},
    {0x03C3, 's'},  {0x03C4, 't'},  {0x03C5, 'u'},  {0x03C6, 'f'},  {0x03C7, 'c'},  {0x03C8, 'y'},
    {0x03C9, 'w'},  {0x03D1, 'J'},  {0x03D5, 'j'},  {0x03D6, 'v'},  {0x03F5, 'e'},  {0x2200, 0x22},
    {0x2203, 0x24}, {0x220B, 0x27}, {0x2217, '*'},  {0x2245, 0x40}, {0x2234, 0x5C}, {0x22A5, 0x5E},
    {0x223C, 0x7E}, {0x2032, 0xA2}, {0x2264, 0xA3}, {0x2215, 0xA4}, {0x221E, 0xA5}, {0x2194, 0xAB},
    {0x2190, 0xAC}, {0x2191, 0xAD}, {0x2192, 0xAE}, {0x2193, 0xAF}, {0x2033, 0xB2}, {0x2265, 0xB3},
    {0x221D, 0xB5}, {0x2202, 0xB6}, {0x2260, 0xB9}, {0x2261, 0xBA}, {0x2248, 0xBB}, {0x2135, 0xC0},
    {0x2111, 0xC1}, {0x211C, 0xC2}, {0x2118, 0xC3}, {0x2297, 0xC4}, {0x2295, 0xC5}, {0x2205, 0xC6},
    {0x2229, 0xC7}, {0x222A, 0xC8}, {0x2283, 0xC9}, {0x2287, 0xCA}, {0x2284, 0xCB}, {0x2282, 0xCC},
    {0x2286, 0xCD}, {0x2208, 0xCE}, {0x2209, 0xCF}, {0x2220, 0xD0}, {0x2207, 0xD1}, {0x220F, 0xD5},
    {0x221A, 0xD6}, {0x22C5, 0xD7}, {0x2227, 0xD9}, {0x2228, 0xDA}, {0x21D4, 0xDB}, {0x21D0, 0xDC},
    {0x21D1, 0xDD}, {0x21D2, 0xDE}, {0x21D3, 0xDF}, {0x2211, 0xE5}, {0x222B, 0xF2}};

// Characters outside code page 1252 with a nearest one inside it (quotes, dashes, spaces) or a
// readable spelling that decomposition does not give.
struct Nearest {
    char32_t codePoint;
    const char* text;
};

constexpr Nearest kNearest[] = {{0x00A0, " "},
                                {0x2000, " "},
                                {0x2001, " "},
                                {0x2002, " "},
                                {0x2003, " "},
                                {0x2004, " "},
                                {0x2005, " "},
                                {0x2006, " "},
                                {0x2007, " "},
                                {0x2008, " "},
                                {0x2009, " "},
                                {0x200A, " "},
                                {0x202F, " "},
                                {0x205F, " "},
                                {0x3000, " "},
                                {0x2028, " "},
                                {0x2029, " "},
                                {0x200B, ""},
                                {0x200C, ""},
                                {0x200D, ""},
                                {0x2060, ""},
                                {0xFEFF, ""},
                                {0x2010, "-"},
                                {0x2011, "-"},
                                {0x2012, "-"},
                                {0x2015, "\x97"},
                                {0x2043, "-"},
                                {0x2212, "-"},
                                {0x2053, "~"},
                                {0x201B, "'"},
                                {0x201F, "\""},
                                {0x2035, "'"},
                                {0x02BC, "'"},
                                {0x02B9, "'"},
                                {0x2044, "/"},
                                {0x2219, "\xB7"},
                                {0x2027, "\xB7"},
                                {0x0141, "L"},
                                {0x0142, "l"},
                                {0x0110, "D"},
                                {0x0111, "d"},
                                {0x0131, "i"},
                                {0x0126, "H"},
                                {0x0127, "h"},
                                {0x0166, "T"},
                                {0x0167, "t"},
                                {0x014A, "Ng"},
                                {0x014B, "ng"},
                                {0x0138, "q"},
                                {0x0149, "'n"},
                                {0x013F, "L"},
                                {0x0140, "l"},
                                {0x0132, "IJ"},
                                {0x0133, "ij"},
                                {0x0180, "b"},
                                {0x0197, "I"},
                                {0x0268, "i"},
                                {0x2103, "\xB0"
                                         "C"},
                                {0x2109, "\xB0"
                                         "F"},
                                {0x2116, "No"}};

// Cyrillic letters U+0410..U+044F (capitals, then small letters).
constexpr const char* kCyrillic[32] = {
    "A", "B", "V", "G", "D", "E",  "Zh", "Z",  "I",  "J",    "K", "L", "M", "N", "O",  "P",
    "R", "S", "T", "U", "F", "Kh", "C",  "Ch", "Sh", "Shch", "",  "Y", "",  "E", "Yu", "Ya"};

std::string CyrillicSmall(const char* capital) {
    std::string s(capital);
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return s;
}

const std::unordered_map<char32_t, unsigned char>& SymbolTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (const SymbolEntry& e : kSymbols) {
            t.emplace(e.codePoint, e.byte);
        }
        return t;
    }();
    return table;
}

const std::unordered_map<char32_t, std::string>& NearestTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, std::string> t;
        for (const Nearest& e : kNearest) {
            t.emplace(e.codePoint, e.text);
        }
        return t;
    }();
    return table;
}

bool IsCombiningMark(char32_t cp) {
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
           (cp >= 0x1DC0 && cp <= 0x1DFF) || (cp >= 0x20D0 && cp <= 0x20FF) ||
           (cp >= 0xFE20 && cp <= 0xFE2F);
}

QString FromCodePoint(char32_t cp) {
    const char32_t one[1] = {cp};
    return QString::fromUcs4(one, 1);
}

// The readable form of a character that code page 1252 and the Symbol font lack: the base of
// its decomposition with as many of its marks as the code page can hold (so a u with diaeresis
// and acute keeps its diaeresis), a transliteration, or "?".
std::string Transliterate(char32_t cp) {
    if (cp >= 0x0410 && cp <= 0x042F) {
        return kCyrillic[cp - 0x0410];
    }
    if (cp >= 0x0430 && cp <= 0x044F) {
        return CyrillicSmall(kCyrillic[cp - 0x0430]);
    }
    switch (cp) {
    case 0x0401:
        return "E";
    case 0x0451:
        return "e";
    case 0x0404:
        return "Je";
    case 0x0454:
        return "je";
    case 0x0406:
        return "I";
    case 0x0456:
        return "i";
    case 0x0407:
        return "Ji";
    case 0x0457:
        return "ji";
    case 0x0490:
        return "G";
    case 0x0491:
        return "g";
    default:
        break;
    }
    const QList<uint> parts = FromCodePoint(cp).normalized(QString::NormalizationForm_KD).toUcs4();
    if (parts.isEmpty() || (parts.size() == 1 && parts.front() == cp)) {
        return "?";
    }
    std::string out;
    std::size_t i = 0;
    while (i < static_cast<std::size_t>(parts.size())) {
        const char32_t base = parts[static_cast<qsizetype>(i)];
        ++i;
        if (IsCombiningMark(base)) {
            continue;
        }
        // The base with the longest run of following marks whose composition the code page has.
        QString composed = FromCodePoint(base);
        unsigned char best = UnicodeToCp1252(base);
        while (i < static_cast<std::size_t>(parts.size()) &&
               IsCombiningMark(parts[static_cast<qsizetype>(i)])) {
            composed += FromCodePoint(parts[static_cast<qsizetype>(i)]);
            const QList<uint> nfc = composed.normalized(QString::NormalizationForm_C).toUcs4();
            if (nfc.size() == 1 && UnicodeToCp1252(nfc.front()) != 0) {
                best = UnicodeToCp1252(nfc.front());
            }
            ++i;
        }
        if (best != 0 || base == 0) {
            out.push_back(static_cast<char>(best));
        } else if (const unsigned char symbol = SymbolFontByte(base); symbol != 0) {
            out += SymbolMarkup(symbol);
        } else if (base != cp) {
            out += Transliterate(base);
        }
    }
    return out.empty() ? "?" : out;
}

const std::string& CachedTransliteration(char32_t cp) {
    thread_local std::unordered_map<char32_t, std::string> cache;
    auto it = cache.find(cp);
    if (it == cache.end()) {
        it = cache.emplace(cp, Transliterate(cp)).first;
    }
    return it->second;
}

} // namespace

unsigned char SymbolFontByte(char32_t codePoint) {
    const auto& table = SymbolTable();
    const auto it = table.find(codePoint);
    return it == table.end() ? 0 : it->second;
}

std::string SymbolMarkup(unsigned char symbolByte) {
    return std::string("#G") + static_cast<char>(symbolByte) + "#G";
}

void AnsiWriter::OpenSymbol() {
    if (!inSymbol_) {
        out_ += "#G";
        inSymbol_ = true;
    }
}

void AnsiWriter::CloseSymbol() {
    if (inSymbol_) {
        out_ += "#G";
        inSymbol_ = false;
    }
}

void AnsiWriter::Append(char32_t cp) {
    if (cp < 0x80) {
        CloseSymbol();
        out_.push_back(static_cast<char>(cp));
        return;
    }
    if (const unsigned char symbol = SymbolFontByte(cp); symbol != 0) {
        OpenSymbol();
        out_.push_back(static_cast<char>(symbol));
        return;
    }
    CloseSymbol();
    const auto& nearest = NearestTable();
    if (const auto it = nearest.find(cp); it != nearest.end()) {
        out_ += it->second;
        return;
    }
    if (const unsigned char byte = UnicodeToCp1252(cp); byte != 0) {
        out_.push_back(static_cast<char>(byte));
        return;
    }
    out_ += CachedTransliteration(cp);
}

void AnsiWriter::AppendByte(unsigned char byte) {
    CloseSymbol();
    out_.push_back(static_cast<char>(byte));
}

std::string AnsiWriter::Take() {
    CloseSymbol();
    std::string text;
    text.swap(out_);
    return text;
}

std::string AsciiLetters(char32_t codePoint) {
    std::string out;
    for (uint part : FromCodePoint(codePoint).normalized(QString::NormalizationForm_KD).toUcs4()) {
        if (part < 0x80) {
            out.push_back(static_cast<char>(part));
        }
    }
    return out;
}

std::string UnicodeToAnsi(std::u32string_view text) {
    AnsiWriter writer;
    for (char32_t cp : text) {
        writer.Append(cp);
    }
    return writer.Take();
}

std::string Utf8ToAnsi(std::string_view utf8) {
    SourceDecoder decoder(SourceEncoding::Utf8);
    return decoder.Decode(utf8, true);
}

} // namespace cvx
