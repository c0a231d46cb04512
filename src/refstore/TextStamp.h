#pragma once
// The identity of one version of a reference text. Companions (the map, the tags) are stamped with
// the version they were made for, and a reader with the version it reads: when any part differs,
// the text is another one. The status-change time makes a text that was restored or exchanged
// with an old modification time (a backup restore, "rsync -t") differ from the one that was seen.

#include "storage/FileSystem.h"

#include <cstdint>

namespace cvx {

struct TextStamp {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const TextStamp&) const = default;
};

inline TextStamp StampOf(const FileInfo& info) {
    return {info.size, info.modifiedNs, info.changedNs, info.inode, info.device};
}

} // namespace cvx
