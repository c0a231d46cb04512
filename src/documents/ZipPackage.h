#pragma once
// The zip container of a word-processor document (.docx, .odt), read from and written to memory
// with libzip. Only the parts a completion changes are expanded, each within a bound, so a small
// file that would expand to gigabytes is refused instead of filling the memory; every other part
// is copied into the new container as it was stored, byte for byte.

#include "text/Outcome.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cvx {

// The most that the parts read from one document may expand to, together.
inline constexpr std::size_t kMaxExpandedParts = std::size_t{256} << 20;

class ZipPackage {
public:
    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Opens the container held in `bytes` (kept until the package is destroyed). `shown` names
    // the document in messages.
    Outcome Open(std::string bytes, const std::string& shown);

    bool Has(const std::string& part) const;

    // The expanded bytes of a part; fails on an encrypted or damaged part and when the parts read
    // so far would expand beyond `limit`.
    Outcome Read(const std::string& part, std::string& out, std::size_t limit = kMaxExpandedParts);

    // A new container with the parts of this one in their order, the parts named in `replaced`
    // with their new bytes and every other part copied as it is stored.
    Outcome Write(const std::map<std::string, std::string>& replaced, std::string& out) const;

private:
    struct Archive;
    std::string bytes_;
    std::string shown_;
    std::unique_ptr<Archive> archive_;
    std::size_t expanded_ = 0;
};

// A new container of the given parts, in their order. Fails only when memory runs out; the
// message is libzip's.
Outcome CreateZip(const std::vector<std::pair<std::string, std::string>>& parts, std::string& out);

} // namespace cvx
