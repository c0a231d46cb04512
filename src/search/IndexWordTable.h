#pragma once
// The index builder's table in memory: for every (field, word) met so far, the ascending numbers
// of the references that hold it, kept as variable-length gaps. References are added in file
// order, so a list grows at its end and a word repeated within a reference is noted once. When
// the table outgrows its memory, the builder writes it out as a sorted run and clears it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class IndexWordTable {
public:
    IndexWordTable();

    void Add(int field, std::string_view word, std::uint32_t reference);
    bool Empty() const { return entries_.empty(); }
    std::size_t ListCount() const { return lists_.size(); }
    // The bytes the table holds, roughly.
    std::size_t MemoryUse() const;
    void Clear();

    // One posting list: its field, word, count and gaps.
    struct List {
        std::string gaps;       // the first number plus one, then the differences (LEB128)
        std::uint32_t last = 0; // the last reference added
        std::uint32_t count = 0;
        std::uint32_t next = 0; // the entry's next list, 0 when none (index + 1)
        std::uint8_t field = 0;
    };
    struct Listed {
        int field;
        std::string_view word;
        const List* list;
    };
    // Every list in ascending order of field, then word.
    std::vector<Listed> Sorted() const;

private:
    struct Entry {
        std::uint32_t wordAt = 0;
        std::uint32_t hash = 0;
        std::uint32_t firstList = 0; // index + 1
        std::uint8_t wordLength = 0;
    };

    std::uint32_t FindOrAdd(std::string_view word, std::uint32_t hash);
    void Grow();
    std::string_view WordOf(const Entry& e) const {
        return std::string_view(words_).substr(e.wordAt, e.wordLength);
    }

    std::string words_;
    std::vector<Entry> entries_;
    std::vector<List> lists_;
    std::vector<std::uint32_t> slots_; // entry index + 1, 0 empty
    std::size_t gapBytes_ = 0;         // heap bytes of the gap strings
};

// Appends v as LEB128 (7 bits a byte, lowest first, high bit set on all but the last).
void PutVarint(std::string& out, std::uint32_t v);
// Reads a LEB128 number at `at`, advancing it; false when the bytes end first or it exceeds 32
// bits.
bool GetVarint(std::string_view in, std::size_t& at, std::uint32_t& v);

} // namespace cvx
