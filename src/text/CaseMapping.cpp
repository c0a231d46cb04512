#include "text/CaseMapping.h"

#include "text/TextMode.h"

#include <array>

namespace cvx {

namespace {

// The text mappings also fold 0xFE/0xDE and 0xD8/0xF8, which the single-character mappings leave
// alone; the tables keep that difference.
using Table = std::array<unsigned char, 256>;

constexpr bool InRange(int c, int lo, int hi) {
    return c >= lo && c <= hi;
}

constexpr Table MakeTable(bool upper, bool textVariant) {
    Table t{};
    for (int c = 0; c < 256; ++c) {
        int m = c;
        if (upper) {
            if (InRange(c, 'a', 'z') || InRange(c, 0xE0, 0xF6) ||
                InRange(c, 0xF8, textVariant ? 0xFE : 0xFD)) {
                m = c - 32;
            } else if (c == 0x9A || c == 0x9C) {
                m = c - 16;
            }
        } else {
            if (InRange(c, 'A', 'Z') || InRange(c, 0xC0, 0xD6) ||
                (textVariant ? InRange(c, 0xD8, 0xDE) : InRange(c, 0xD9, 0xDD))) {
                m = c + 32;
            } else if (c == 0x8A || c == 0x8C) {
                m = c + 16;
            }
        }
        t[c] = static_cast<unsigned char>(m);
    }
    return t;
}

constexpr Table kUpperChar = MakeTable(true, false);
constexpr Table kLowerChar = MakeTable(false, false);
constexpr Table kUpperText = MakeTable(true, true);
constexpr Table kLowerText = MakeTable(false, true);

std::string MapText(std::string_view text, const Table& table) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    }
    return out;
}

std::string MapTextJ(std::string_view text, const Table& ansiTable, const Table& charTable) {
    if (!ShiftJisMode()) {
        return MapText(text, ansiTable);
    }
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (IsDoubleByteAt(out, i)) {
            ++i;
        } else if (!IsHalfWidthKatakana(c)) {
            out[i] = static_cast<char>(charTable[c]);
        }
    }
    return out;
}

} // namespace

unsigned char UpperChar(unsigned char c) {
    return kUpperChar[c];
}
unsigned char LowerChar(unsigned char c) {
    return kLowerChar[c];
}
std::string UpperText(std::string_view text) {
    return MapText(text, kUpperText);
}
std::string LowerText(std::string_view text) {
    return MapText(text, kLowerText);
}
std::string UpperTextJ(std::string_view text) {
    return MapTextJ(text, kUpperText, kUpperChar);
}
std::string LowerTextJ(std::string_view text) {
    return MapTextJ(text, kLowerText, kLowerChar);
}

std::string HexByte(unsigned char b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[b >> 4], kDigits[b & 0x0F]};
}

} // namespace cvx
