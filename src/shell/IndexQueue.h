#pragma once
// The files waiting for their word index: one file, or the members of a file group, built one
// after the other in the dual lane of the status line. The multi-file search hands over its own
// member list, in which only the names marked with a leading "*" are to be indexed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cvx {

class IndexQueue {
public:
    // Replaces what waits by `names`, all to be indexed with the fields of `fieldMask`; with
    // `markedOnly` the unmarked names are passed over.
    void Fill(std::vector<std::string> names, std::uint32_t fieldMask, bool markedOnly = false);
    // The next name to index (trimmed, its mark removed); nullopt when none is left.
    std::optional<std::string> TakeNext();
    void Clear();

    // True when no name waits.
    bool Empty() const;
    std::uint32_t FieldMask() const { return fieldMask_; }
    // How far the queue has come, 0..1000: the names taken so far out of all.
    int Permille() const;

private:
    std::vector<std::string> names_;
    std::size_t next_ = 0;
    std::uint32_t fieldMask_ = 0;
    bool markedOnly_ = false;
};

} // namespace cvx
