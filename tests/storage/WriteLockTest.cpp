// The hold of a writer on a file: exclusive between threads and processes, waited for with
// patience, never kept on a file whose name was given to another, and ended with the process.

#include "storage/WriteLock.h"
#include "storage/FileRewrite.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cvx {
namespace {

using namespace std::chrono_literals;
using test::ReadBytes;
using test::TempDir;

FileSystem& Disk() {
    return FileSystem::Default();
}

TEST(WriteLock, ThreadsTakeTurns) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", "x");
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 30; ++i) {
                WriteLock lock;
                ASSERT_TRUE(lock.Acquire(Disk(), path, path, nullptr).ok());
                if (inside.fetch_add(1) != 0) {
                    ++overlaps;
                }
                std::this_thread::sleep_for(100us);
                inside.fetch_sub(1);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(WriteLock, ABusyFileIsWaitedForWithPatienceOrAnAbort) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", "x");
    WriteLock holder;
    ASSERT_TRUE(holder.Acquire(Disk(), path, path, nullptr).ok());

    WriteLock other;
    const auto start = std::chrono::steady_clock::now();
    const Outcome busy = other.Acquire(Disk(), path, path, nullptr, 100ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(busy.message(), Msg(msg::Citavox::FileBusy, DisplayPath(path)));
    EXPECT_FALSE(other.TryAcquire(Disk(), path));

    Progress progress;
    progress.RequestAbort();
    EXPECT_TRUE(other.Acquire(Disk(), path, path, &progress).aborted());

    // Once the holder lets go, the waiting writer gets it.
    std::thread release([&] {
        std::this_thread::sleep_for(50ms);
        holder.Release();
    });
    EXPECT_TRUE(other.Acquire(Disk(), path, path, nullptr, 5s).ok());
    release.join();
}

// A writer waiting for a file whose name a rewrite gives to a new file goes on to the new one,
// which the rewriting writer held before it took the name.
TEST(WriteLock, FollowsTheNameToTheFileThatTookIt) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", "old");
    WriteLock writer;
    ASSERT_TRUE(writer.Acquire(Disk(), path, path, nullptr).ok());
    std::atomic<bool> got{false};
    std::string seen;
    std::thread waiting([&] {
        WriteLock second;
        ASSERT_TRUE(second.Acquire(Disk(), path, path, nullptr, 5s).ok());
        seen = ReadBytes(path);
        got = true;
    });
    ASSERT_TRUE(RewriteFile(
                    Disk(), path, [](WritableFile& out) { return out.Append("new"); }, &writer)
                    .ok());
    EXPECT_TRUE(writer.StillNames(Disk(), path));
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(got.load()); // the new file is held too
    writer.Release();
    waiting.join();
    EXPECT_EQ(seen, "new");
}

TEST(WriteLock, OtherProcessesAreExcludedUntilTheHolderEnds) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", "x");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteLock lock;
        if (!lock.Acquire(Disk(), path, path, nullptr).ok()) {
            ::_exit(1);
        }
        (void)::write(ready[1], "h", 1);
        ::pause(); // killed while it holds the file
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    WriteLock lock;
    EXPECT_FALSE(lock.TryAcquire(Disk(), path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(lock.Acquire(Disk(), path, path, nullptr, 5s).ok());
    ::close(ready[0]);
    ::close(ready[1]);
}

} // namespace
} // namespace cvx
