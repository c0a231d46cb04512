#pragma once
// Long passes over many references shared between threads: the range is cut into contiguous
// shares, one per thread, so that each thread reads its part of a file in order.

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

namespace cvx {

// The threads a pass over `count` items uses: one below `parallelFrom` items, else one per
// processor (at most four).
inline unsigned ShareCount(std::size_t count, std::size_t parallelFrom) {
    return count < parallelFrom ? 1U : std::clamp(std::thread::hardware_concurrency(), 1U, 4U);
}

// Runs work(share, begin, end) for `shares` contiguous shares of [0, count), the first on the
// calling thread, and returns when all are done.
template <typename Work> void RunInShares(std::size_t count, unsigned shares, Work work) {
    auto bounds = [&](unsigned s) { return count * s / shares; };
    std::vector<std::thread> helpers;
    for (unsigned s = 1; s < shares; ++s) {
        helpers.emplace_back(work, s, bounds(s), bounds(s + 1));
    }
    work(0U, bounds(0), bounds(1));
    for (std::thread& h : helpers) {
        h.join();
    }
}

} // namespace cvx
