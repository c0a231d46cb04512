#pragma once
// How many threads a long pass over many references shares its work between (see WorkerPool).

#include <algorithm>
#include <cstddef>
#include <thread>

namespace cvx {

// The threads a pass over `count` items uses: one below `parallelFrom` items, else one per
// processor (at most four).
inline unsigned ShareCount(std::size_t count, std::size_t parallelFrom) {
    return count < parallelFrom ? 1U : std::clamp(std::thread::hardware_concurrency(), 1U, 4U);
}

} // namespace cvx
