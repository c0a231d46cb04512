#include "search/FoldedPattern.h"

namespace cvx {

FoldedPattern::FoldedPattern(std::string_view word, const FoldingTable& table)
    : folded_(FoldText(word, table)), table_(&table) {
    const std::size_t m = folded_.size();
    std::array<std::uint32_t, 256> byFolded{};
    byFolded.fill(static_cast<std::uint32_t>(m));
    for (std::size_t i = 0; i + 1 < m; ++i) {
        byFolded[static_cast<unsigned char>(folded_[i])] = static_cast<std::uint32_t>(m - 1 - i);
    }
    for (std::size_t b = 0; b < 256; ++b) {
        shift_[b] = byFolded[table[b]];
    }
}

std::size_t FoldedPattern::Find(std::string_view text, std::size_t from) const {
    const std::size_t m = folded_.size();
    const std::size_t n = text.size();
    if (m == 0) {
        return from <= n ? from : std::string_view::npos;
    }
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(folded_.data());
    const FoldingTable& fold = *table_;
    const unsigned char last = p[m - 1];
    for (std::size_t pos = from; pos <= n && n - pos >= m;) {
        const unsigned char b = t[pos + m - 1];
        if (fold[b] == last) {
            std::size_t j = 0;
            while (j + 1 < m && fold[t[pos + j]] == p[j]) {
                ++j;
            }
            if (j + 1 == m) {
                return pos;
            }
        }
        pos += shift_[b];
    }
    return std::string_view::npos;
}

} // namespace cvx
