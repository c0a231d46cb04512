#pragma once
// The case folding of the scanning search: expression words and reference text are compared
// byte by byte after mapping both through one of two 256-byte tables, with or without the
// diacritics folded to their base letters. Folding keeps every byte's position.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

using FoldingTable = std::array<std::uint8_t, 256>;

// Blanks and control bytes become 0 (any blank matches any blank), lower-case letters their
// upper-case forms; with `ignoreDiacritics` accented Latin-1 letters also become their base letter.
const FoldingTable& SearchFoldingTable(bool ignoreDiacritics);

// `text` mapped through `table`.
std::string FoldText(std::string_view text, const FoldingTable& table);

} // namespace cvx
