#include "text/SymbolFont.h"

#include "text/Cp1252.h"

#include <array>
#include <unordered_map>

namespace cvx {

namespace {

// A..Z and a..z as the Symbol font draws them.
constexpr std::array<char32_t, 26> kUpper = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
                                             0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D,
                                             0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5,
                                             0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
constexpr std::array<char32_t, 26> kLower = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
                                             0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD,
                                             0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5,
                                             0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};

struct SymbolEntry {
    char32_t codePoint;
    unsigned char byte;
};

// The characters beyond the letters: the lunate epsilon (drawn as the plain one) and the
// mathematical signs that code page 1252 lacks.
constexpr SymbolEntry kSigns[] = {
    {0x03F5, 'e'},  {0x2200, 0x22}, {0x2203, 0x24}, {0x220B, 0x27}, {0x2217, '*'},  {0x2245, 0x40},
    {0x2234, 0x5C}, {0x22A5, 0x5E}, {0x223C, 0x7E}, {0x2032, 0xA2}, {0x2264, 0xA3}, {0x2215, 0xA4},
    {0x221E, 0xA5}, {0x2194, 0xAB}, {0x2190, 0xAC}, {0x2191, 0xAD}, {0x2192, 0xAE}, {0x2193, 0xAF},
    {0x2033, 0xB2}, {0x2265, 0xB3}, {0x221D, 0xB5}, {0x2202, 0xB6}, {0x2260, 0xB9}, {0x2261, 0xBA},
    {0x2248, 0xBB}, {0x2135, 0xC0}, {0x2111, 0xC1}, {0x211C, 0xC2}, {0x2118, 0xC3}, {0x2297, 0xC4},
    {0x2295, 0xC5}, {0x2205, 0xC6}, {0x2229, 0xC7}, {0x222A, 0xC8}, {0x2283, 0xC9}, {0x2287, 0xCA},
    {0x2284, 0xCB}, {0x2282, 0xCC}, {0x2286, 0xCD}, {0x2208, 0xCE}, {0x2209, 0xCF}, {0x2220, 0xD0},
    {0x2207, 0xD1}, {0x220F, 0xD5}, {0x221A, 0xD6}, {0x22C5, 0xD7}, {0x2227, 0xD9}, {0x2228, 0xDA},
    {0x21D4, 0xDB}, {0x21D0, 0xDC}, {0x21D1, 0xDD}, {0x21D2, 0xDE}, {0x21D3, 0xDF}, {0x2211, 0xE5},
    {0x222B, 0xF2}};

// Every character the font draws with its byte: the letters read backwards, then the signs.
const std::unordered_map<char32_t, unsigned char>& SymbolTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (std::size_t i = 0; i < kUpper.size(); ++i) {
            t.emplace(kUpper[i], static_cast<unsigned char>('A' + i));
            t.emplace(kLower[i], static_cast<unsigned char>('a' + i));
        }
        for (const SymbolEntry& e : kSigns) {
            t.emplace(e.codePoint, e.byte);
        }
        return t;
    }();
    return table;
}

} // namespace

char32_t SymbolGreekLetter(unsigned char latin) {
    if (latin >= 'A' && latin <= 'Z') {
        return kUpper[latin - 'A'];
    }
    if (latin >= 'a' && latin <= 'z') {
        return kLower[latin - 'a'];
    }
    return 0;
}

char32_t SymbolCharacter(unsigned char byte) {
    if (const char32_t letter = SymbolGreekLetter(byte); letter != 0) {
        return letter;
    }
    for (const SymbolEntry& e : kSigns) {
        if (e.byte == byte) { // the letters, the lunate epsilon's 'e' among them, came first
            return e.codePoint;
        }
    }
    return Cp1252ToUnicode(byte);
}

unsigned char SymbolFontByte(char32_t codePoint) {
    const auto& table = SymbolTable();
    const auto it = table.find(codePoint);
    return it == table.end() ? 0 : it->second;
}

std::string SymbolMarkup(unsigned char symbolByte) {
    return std::string("#G") + static_cast<char>(symbolByte) + "#G";
}

} // namespace cvx
