#include "search/IndexCharacters.h"

namespace cvx {

namespace {

// The base letter of a code page 1252 letter outside A..Z and a..z, or 0 when the byte is not one.
char AccentedBase(std::uint8_t b) {
    switch (b) {
    case 0x83: // f with hook
        return 'F';
    case 0x8A: // S and s with caron
    case 0x9A:
    case 0xDF: // sharp s
        return 'S';
    case 0x8C: // OE and oe ligatures
    case 0x9C:
    case 0xC6: // AE and ae ligatures
    case 0xE6:
        return 'E';
    case 0x8E: // Z and z with caron
    case 0x9E:
        return 'Z';
    case 0x9F: // Y with diaeresis, Y and y with acute, y with diaeresis
    case 0xDD:
    case 0xFD:
    case 0xFF:
        return 'Y';
    case 0xDE: // thorn
    case 0xFE:
        return 'T';
    default:
        break;
    }
    // The Latin-1 letters from 0xC0 (and their lower-case forms 0x20 higher).
    if (b < 0xC0 || b == 0xD7 || b == 0xF7) {
        return 0;
    }
    const std::uint8_t upper = b >= 0xE0 ? static_cast<std::uint8_t>(b - 0x20) : b;
    if (upper <= 0xC5) {
        return 'A';
    }
    if (upper == 0xC7) {
        return 'C';
    }
    if (upper <= 0xCB) {
        return 'E';
    }
    if (upper <= 0xCF) {
        return 'I';
    }
    if (upper == 0xD0) {
        return 'D';
    }
    if (upper == 0xD1) {
        return 'N';
    }
    if (upper <= 0xD8) {
        return 'O';
    }
    return 'U'; // 0xD9..0xDC
}

IndexCharacterTable MakeTable() {
    IndexCharacterTable t{};
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<std::uint8_t>(i);
        char v = kIndexSeparator;
        if ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == ':' || b == '@' || b == '(' ||
            b == ')') {
            v = static_cast<char>(b);
        } else if (b >= 'a' && b <= 'z') {
            v = static_cast<char>(b - 'a' + 'A');
        } else if (const char base = AccentedBase(b); base != 0) {
            v = base;
        } else {
            switch (b) {
            case '#':
                v = ';';
                break;
            case '+':
                v = '<';
                break;
            case '-':
                v = '=';
                break;
            case '^':
                v = '>';
                break;
            case '_':
                v = '?';
                break;
            default:
                break;
            }
        }
        t[b] = static_cast<std::uint8_t>(v);
    }
    return t;
}

} // namespace

const IndexCharacterTable& IndexCharacters() {
    static const IndexCharacterTable table = MakeTable();
    return table;
}

std::vector<std::string> IndexWordsOf(std::string_view text) {
    const IndexCharacterTable& table = IndexCharacters();
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        const std::uint8_t v = table[static_cast<unsigned char>(c)];
        if (v >= kFirstIndexCharacter) {
            if (word.size() < kMaxIndexWordLength) {
                word.push_back(static_cast<char>(v));
            }
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace cvx
