#pragma once
// The character table of the word index: how reference text and query words are cut into index
// words. Letters become their upper-case base letter, digits, ":" and "@" stay, five signs become
// the characters below "A" that stand for them, "(" and ")" mark the parts of the year line, and
// every other byte separates words. An index word is a run of index characters ("0" or higher).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

// The value of a byte that separates words.
inline constexpr char kIndexSeparator = ' ';
// The lowest index character; word characters are "0" (48) to "Z" (90).
inline constexpr std::uint8_t kFirstIndexCharacter = '0';
inline constexpr std::uint8_t kLastIndexCharacter = 'Z';
// Longer words are kept as their first this many characters (queries are at most 90).
inline constexpr std::size_t kMaxIndexWordLength = 255;

using IndexCharacterTable = std::array<std::uint8_t, 256>;

// Byte -> index character, "(" or ")", or kIndexSeparator.
const IndexCharacterTable& IndexCharacters();

inline bool IsIndexWordByte(unsigned char b) {
    return IndexCharacters()[b] >= kFirstIndexCharacter;
}

// The index words of a query text, in order (runs of separators cut them; none when the text
// holds no word character).
std::vector<std::string> IndexWordsOf(std::string_view text);

} // namespace cvx
