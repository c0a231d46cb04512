#include "text/AnsiWriter.h"

#include "text/Cp1252.h"
#include "text/SourceDecoding.h"
#include "text/SymbolFont.h"

#include <QChar>
#include <QList>
#include <QString>

#include <unordered_map>

namespace cvx {

namespace {

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

void AnsiWriter::AppendAscii(std::string_view ascii) {
    if (!ascii.empty()) {
        CloseSymbol();
        out_.append(ascii);
    }
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
