#pragma once
// The line structure of a stored reference block as the field operators and the word index see
// it: a line begins at the block's start and after every line feed that is followed by a blank and
// a printable byte (a soft-wrapped continuation belongs to its line), and the block's kind follows
// its fifth line ("E: " a chapter, "S: " a monograph, when a sixth line follows).

#include <cstddef>
#include <string_view>
#include <vector>

namespace cvx {

enum class BlockKind { Journal, Chapter, Monograph };

// The parts of a reference that the field operators address; the values are the field codes of
// the word index.
enum class FieldScope {
    Identification = 4,
    Authors = 5,
    Title = 6,
    YearLine = 7,
    Source = 8,
    Editors = 9,
    Publisher = 10,
    City = 11,
    Abstract = 12,
};

class ReferenceLines {
public:
    explicit ReferenceLines(std::string_view block);

    int Count() const { return static_cast<int>(starts_.size()); }
    // The byte range of line `line` (1-based); empty for a line the block does not have.
    std::size_t Start(int line) const;
    std::size_t End(int line) const;
    BlockKind Kind() const { return kind_; }

    // The 1-based line that holds the field for this block's kind: the first line of the abstract
    // part for FieldScope::Abstract, the publisher line for the publisher and the city, 0 when the
    // kind has no such line (editors and publisher of a journal reference).
    int LineOf(FieldScope scope) const;

private:
    std::string_view block_;
    std::vector<std::size_t> starts_;
    BlockKind kind_ = BlockKind::Journal;
};

// Where a publisher line's city part begins: the position of its first "(" within the line's first
// 255 bytes, counted from the line's start; npos when there is none.
std::size_t CityParenthesis(std::string_view line);

} // namespace cvx
