// Jobs on threads of their own: the report comes back, the abort flag reaches the job, and a gate
// keeps a second job of a kind from starting while the first runs.

#include "text/JobThread.h"

#include <gtest/gtest.h>

#include <future>

namespace cvx {
namespace {

TEST(JobThread, GateRefusesASecondJobUntilTheFirstEnds) {
    RunGate gate;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Progress p1;
    Progress p2;
    JobThread<int> first(
        [released](Progress&) {
            released.wait();
            return 1;
        },
        p1, &gate, "sorting");
    JobThread<int> second([](Progress&) { return 2; }, p2, &gate, "sorting");
    ASSERT_TRUE(first.Resume().ok());
    const Outcome refused = second.Resume();
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.message().find("sorting"), std::string::npos) << refused.message();
    release.set_value();
    first.Wait();
    EXPECT_EQ(first.Result(), 1);
    EXPECT_FALSE(gate.Busy());

    JobThread<int> third([](Progress&) { return 3; }, p2, &gate, "sorting");
    ASSERT_TRUE(third.Resume().ok());
    third.Wait();
    EXPECT_EQ(third.Result(), 3);
    EXPECT_FALSE(third.Resume().ok()) << "a thread runs its job once";
}

TEST(JobThread, AbortReachesTheJobAndCompletionRunsLast) {
    Progress progress;
    std::atomic<bool> completed{false};
    JobThread<bool> job(
        [](Progress& p) {
            while (!p.AbortRequested()) {
                std::this_thread::yield();
            }
            return true;
        },
        progress);
    ASSERT_TRUE(job.Resume([&] { completed = true; }).ok());
    job.Abort();
    job.Wait();
    EXPECT_TRUE(job.Finished());
    EXPECT_TRUE(job.Result());
    EXPECT_TRUE(completed.load());
}

} // namespace
} // namespace cvx
