#include "search/SearchFolding.h"

namespace cvx {

namespace {

FoldingTable PlainTable() {
    FoldingTable t{};
    for (int b = 0; b < 256; ++b) {
        int v = b;
        if (b <= 32) {
            v = 0;
        } else if (b >= 'a' && b <= 'z') {
            v = b - 'a' + 'A';
        } else if (b == 0x9A) {
            v = 0x8A;
        } else if (b >= 0xE0) {
            v = b - 32;
        }
        t[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v);
    }
    return t;
}

// The base letter of an upper-case accented letter, or the byte itself.
std::uint8_t BaseLetter(std::uint8_t b) {
    if (b >= 0xC0 && b <= 0xC6) {
        return 'A';
    }
    if (b == 0xC7) {
        return 'C';
    }
    if (b >= 0xC8 && b <= 0xCB) {
        return 'E';
    }
    if (b >= 0xCC && b <= 0xCF) {
        return 'I';
    }
    if (b == 0xD0) {
        return 'D';
    }
    if (b == 0xD1) {
        return 'N';
    }
    if (b >= 0xD2 && b <= 0xD6) {
        return 'O';
    }
    if (b >= 0xD9 && b <= 0xDC) {
        return 'U';
    }
    if (b == 0x8A) {
        return 'S';
    }
    if (b == 0x8C || b == 0x9C) {
        return 'O';
    }
    return b;
}

FoldingTable DiacriticsTable() {
    FoldingTable t = PlainTable();
    for (std::uint8_t& v : t) {
        v = BaseLetter(v);
    }
    return t;
}

} // namespace

const FoldingTable& SearchFoldingTable(bool ignoreDiacritics) {
    static const FoldingTable plain = PlainTable();
    static const FoldingTable diacritics = DiacriticsTable();
    return ignoreDiacritics ? diacritics : plain;
}

std::string FoldText(std::string_view text, const FoldingTable& table) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
    }
    return out;
}

} // namespace cvx
