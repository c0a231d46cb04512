#pragma once
// Cuts a stored reference block into index words, each with the field its line gives it: line 1
// the identification (4), 2 the authors (5), 3 the title (6), 4 the year line (13, after its first
// "(" the volume 14, after the next ")" the pages 15), 5 the source (8), then for a chapter the
// editors (9) and the publisher (10, after "(" the city 11), for a monograph the publisher line,
// and every later line the abstract part (12).

#include "search/IndexCharacters.h"
#include "search/ReferenceLines.h"
#include "search/WordIndexFormat.h"

#include <string_view>

namespace cvx {

// The field of the words at the start of line `line` (1-based) of a block of kind `kind`.
int FieldOfLine(int line, BlockKind kind);

// Calls visit(field, word) for every index word of the block in order; `word` holds index
// characters and is at most kMaxIndexWordLength long.
template <typename Visit> void ForEachIndexWord(std::string_view block, Visit&& visit) {
    const ReferenceLines lines(block);
    const IndexCharacterTable& table = IndexCharacters();
    char word[kMaxIndexWordLength];
    for (int line = 1; line <= lines.Count(); ++line) {
        int field = FieldOfLine(line, lines.Kind());
        std::size_t length = 0;
        const std::size_t end = lines.End(line);
        for (std::size_t i = lines.Start(line); i <= end; ++i) {
            const std::uint8_t v = i < end ? table[static_cast<unsigned char>(block[i])] : 0;
            if (v >= kFirstIndexCharacter) {
                if (length < kMaxIndexWordLength) {
                    word[length++] = static_cast<char>(v);
                }
                continue;
            }
            if (length > 0) {
                visit(field, std::string_view(word, length));
                length = 0;
            }
            if (v == '(' && (field == kYearField || field == 10)) {
                field = field == kYearField ? kVolumeField : 11;
            } else if (v == ')' && field == kVolumeField) {
                field = kPagesField;
            }
        }
    }
}

// The numbers of the index key file for a block's year line: the year, the volume and the first
// page, each the value of its digits up to the first "-", modulo 65536. False when the block has
// no year line.
struct YearLineKeys {
    std::uint16_t year = 0;
    std::uint16_t volume = 0;
    std::uint16_t firstPage = 0;
};
bool YearLineKeysOf(std::string_view block, YearLineKeys& keys);

} // namespace cvx
