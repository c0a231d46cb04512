#pragma once
// A few helper threads that the parallel passes of one job share. Started once per job, they take
// the shares of every pass and the tasks that run beside them, so that a long job does not start
// a thread for every share of every batch.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <latch>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace cvx {

class WorkerPool {
public:
    // A pool of `helpers` threads besides the calling one; with none, everything runs on the
    // calling thread.
    explicit WorkerPool(unsigned helpers);
    // Runs what was handed over, then ends the helpers.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned Helpers() const { return static_cast<unsigned>(helpers_.size()); }

    // Runs work(share, begin, end) for `shares` contiguous shares of [0, count) (at most one more
    // than there are helpers), the first on the calling thread, and returns when all are done.
    // Each share reads its part of a file in order.
    template <typename Work> void RunInShares(std::size_t count, unsigned shares, Work work) {
        shares = std::clamp(shares, 1U, Helpers() + 1);
        auto bounds = [count, shares](unsigned s) { return count * s / shares; };
        std::latch pending(shares - 1);
        for (unsigned s = 1; s < shares; ++s) {
            Post([&work, &pending, s, begin = bounds(s), end = bounds(s + 1)] {
                work(s, begin, end);
                pending.count_down();
            });
        }
        work(0U, bounds(0), bounds(1));
        pending.wait();
    }

    // Starts `task` on a helper (on the calling thread when there is none); the future gives its
    // result.
    template <typename Task> auto Start(Task task) -> std::future<decltype(task())> {
        using Result = decltype(task());
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        std::future<Result> result = packaged->get_future();
        Post([packaged] { (*packaged)(); });
        return result;
    }

private:
    void Post(std::function<void()> task);
    void Serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
};

} // namespace cvx
