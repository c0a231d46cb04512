#pragma once
// Reading a word index: its header, checked before use, and the look-up of a word in the word
// list of one field, which adds the references of every index word that begins with it (or, for a
// whole word, equals it) to a set. The word lists are searched by bisection: a word begins where
// a byte of 84 or more follows a smaller one, so any position finds the next word.

#include "search/WordIndexFormat.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class RefSet;

enum class IndexOpening { Opened, Missing, Damaged };

class WordIndex {
public:
    // Opens the index file and checks its header; `opening` tells a missing file from one that is
    // not a usable index.
    IndexOpening Open(FileSystem& fs, const std::string& indexPath);
    // Takes an index held in memory (tests, fuzzing).
    IndexOpening OpenBytes(std::string bytes);

    const IndexHeader& Header() const { return header_; }

    // Adds the references of the matching words of field `field` (4..16) to `set`. `word` holds
    // index characters only. False when the word list or the data are damaged.
    bool Lookup(int field, std::string_view word, bool wholeWord, RefSet& set);

    // The words of a field's list in order with their reference numbers, for checks and tests;
    // false when the list is damaged.
    bool ForEachWord(
        int field,
        const std::function<void(std::string_view, const std::vector<std::uint32_t>&)>& visit);

private:
    struct Entry {
        std::string word;
        std::uint64_t start = 0; // start number
        std::uint64_t next = 0;  // where the next entry begins
    };

    IndexOpening CheckHeader(std::uint64_t size);
    // Bytes [offset, offset + length) of the file, clipped at its end; they stay valid until the
    // next call.
    std::string_view Read(std::uint64_t offset, std::size_t length);
    // The first word that begins at or after `from` within [from, end); npos-like `end` when none.
    std::uint64_t NextWordStart(std::uint64_t from, std::uint64_t end);
    bool ReadEntry(std::uint64_t at, std::uint64_t end, Entry& entry);
    // The number that an entry (word or closing entry) at `at` carries.
    bool NumberAt(std::uint64_t at, std::uint64_t end, std::uint64_t& number);
    bool AddData(int field, std::uint64_t start, std::uint64_t stop, RefSet& set);
    bool DataOf(int field, std::uint64_t start, std::uint64_t stop, std::string& data);

    std::unique_ptr<ReadableFile> file_;
    std::string memory_; // OpenBytes
    IndexHeader header_;
    std::string window_;
    std::uint64_t windowStart_ = 0;
};

} // namespace cvx
