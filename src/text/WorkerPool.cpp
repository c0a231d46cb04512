#include "text/WorkerPool.h"

namespace cvx {

WorkerPool::WorkerPool(unsigned helpers) {
    helpers_.reserve(helpers);
    for (unsigned i = 0; i < helpers; ++i) {
        helpers_.emplace_back([this] { Serve(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_) {
        helper.join();
    }
}

void WorkerPool::Post(std::function<void()> task) {
    if (helpers_.empty()) {
        task();
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

// A helper's loop: the tasks in the order they came, until the pool ends and none is left.
void WorkerPool::Serve() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace cvx
