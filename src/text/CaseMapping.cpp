#include "text/CaseMapping.h"

#include "text/Markup.h"
#include "text/TextMode.h"

#include <algorithm>
#include <array>
#include <vector>

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

bool HasCase(unsigned char c) {
    return kUpperChar[c] != kLowerChar[c];
}

bool IsUpperLetter(unsigned char c) {
    return HasCase(c) && kUpperChar[c] == c;
}

// Characters that separate the words of a title; a hyphen makes the parts of a compound words.
bool SeparatesWords(unsigned char c) {
    return c == ' ' || c == '-' || c == '/' || c == 0x96 || c == 0x97;
}

// Punctuation after which a title starts anew, so a minor word is capitalised.
bool StartsAnew(unsigned char c) {
    return c == ':' || c == '?' || c == '!' || c == '.' || c == 0x97;
}

bool IsMinorWord(std::string_view lower) {
    static constexpr std::string_view kMinor[] = {
        "a",    "an",  "and",  "as",  "at", "but", "by",   "down", "for",
        "from", "in",  "into", "nor", "of", "on",  "onto", "or",   "over",
        "so",   "the", "till", "to",  "up", "via", "with", "yet"};
    return std::find(std::begin(kMinor), std::end(kMinor), lower) != std::end(kMinor);
}

// One word of a title: the positions of its letters and digits (markup codes and Symbol-font
// text excluded) and whether the title starts anew before it.
struct TitleWord {
    std::vector<std::size_t> letters;
    bool afterBreak = false;
};

std::vector<TitleWord> TitleWords(std::string_view text) {
    std::vector<TitleWord> words;
    bool symbol = false;
    bool inWord = false;
    bool startsAnew = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '#' && i + 1 < text.size() && IsMarkupLetter(text[i + 1])) {
            symbol = text[i + 1] == 'G' ? !symbol : symbol;
            ++i;
            continue;
        }
        if (SeparatesWords(c)) {
            inWord = false;
            startsAnew = startsAnew || c == 0x97;
            continue;
        }
        const bool letter = !symbol && (HasCase(c) || (c >= '0' && c <= '9'));
        if (letter) {
            if (!inWord) {
                words.push_back({{}, startsAnew});
                inWord = true;
                startsAnew = false;
            }
            words.back().letters.push_back(i);
        } else if (StartsAnew(c) && (c != '.' || (i + 1 < text.size() && text[i + 1] == ' '))) {
            startsAnew = true;
        }
    }
    return words;
}

} // namespace

std::string HeadlineCase(std::string_view text) {
    std::string out(text);
    if (ShiftJisMode()) {
        return out;
    }
    const std::vector<TitleWord> words = TitleWords(text);
    for (std::size_t w = 0; w < words.size(); ++w) {
        const std::vector<std::size_t>& letters = words[w].letters;
        const auto first = static_cast<unsigned char>(text[letters.front()]);
        const bool holdsCapital = std::any_of(letters.begin(), letters.end(), [&](std::size_t i) {
            return IsUpperLetter(static_cast<unsigned char>(text[i]));
        });
        if (!HasCase(first) || holdsCapital) {
            continue; // a number, or a word whose capitals say how it is written
        }
        std::string lower;
        for (std::size_t i : letters) {
            lower += text[i];
        }
        const bool edge = w == 0 || w + 1 == words.size() || words[w].afterBreak;
        if (!edge && IsMinorWord(lower)) {
            continue;
        }
        out[letters.front()] = static_cast<char>(kUpperChar[first]);
    }
    return out;
}

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
