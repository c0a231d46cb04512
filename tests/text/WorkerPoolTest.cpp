#include "text/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace cvx {
namespace {

// Every item of every pass is worked on exactly once, by at most one more thread than the pool
// has helpers, and the same helpers serve pass after pass; tasks started beside the passes give
// their results.
TEST(WorkerPool, SharesPassesBetweenTheSameHelpers) {
    for (unsigned helpers : {0U, 1U, 3U}) {
        WorkerPool pool(helpers);
        std::set<std::thread::id> threads;
        std::mutex seen;
        for (std::size_t count : {0UL, 1UL, 7UL, 1000UL}) {
            std::vector<std::atomic<int>> visits(count);
            pool.RunInShares(count, 8, [&](unsigned share, std::size_t begin, std::size_t end) {
                EXPECT_LE(share, helpers);
                for (std::size_t i = begin; i < end; ++i) {
                    ++visits[i];
                }
                const std::lock_guard lock(seen);
                threads.insert(std::this_thread::get_id());
            });
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_EQ(visits[i], 1) << helpers << " helpers, item " << i << " of " << count;
            }
        }
        EXPECT_LE(threads.size(), helpers + 1);
        std::future<int> answer = pool.Start([] { return 42; });
        EXPECT_EQ(answer.get(), 42);
    }
}

} // namespace
} // namespace cvx
