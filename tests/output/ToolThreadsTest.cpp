// The threads of the file tools, the display orders, lists and export: each runs its job on a
// thread of its own, reports progress, stops when asked to, and the kinds that run one at a time
// (sorting, comparing, checking, listing) refuse a second start while one runs.

#include "filetools/FileComparer.h"
#include "filetools/FileSorter.h"
#include "filetools/StructureCheck.h"
#include "formats/FormatFile.h"
#include "output/Exporter.h"
#include "output/ReferenceList.h"
#include "refstore/DisplaySorter.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace cvx {
namespace {

// Holds the job at its first report until released, so that it is known to be running; counts
// the texts and progress values it reports.
class HoldingProgress final : public Progress {
public:
    void SetStatus(std::string_view /*text*/) override {
        ++texts_;
        Hold();
    }
    void SetDetail(std::string_view /*text*/) override {
        ++texts_;
        Hold();
    }
    void SetProgress(int permille) override {
        values_ += permille > 0 ? 1 : 0;
        Hold();
    }

    void WaitUntilHeld() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return held_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    int Texts() const { return texts_; }
    int Values() const { return values_; }

private:
    void Hold() {
        std::unique_lock lock(mutex_);
        if (!held_) {
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
    std::atomic<int> texts_{0};
    std::atomic<int> values_{0};
};

// A thread of any kind, as far as the test needs it.
class Job {
public:
    virtual ~Job() = default;
    virtual Outcome Resume() = 0;
    virtual void Wait() = 0;
    virtual Outcome Result() const = 0;
};

template <typename Thread> class JobOf final : public Job {
public:
    explicit JobOf(std::unique_ptr<Thread> thread) : thread_(std::move(thread)) {}
    Outcome Resume() override { return thread_->Resume(); }
    void Wait() override { thread_->Wait(); }
    Outcome Result() const override { return thread_->Result().outcome; }

private:
    std::unique_ptr<Thread> thread_;
};

template <typename Thread, typename... Args> std::unique_ptr<Job> Make(Args&&... args) {
    return std::make_unique<JobOf<Thread>>(std::make_unique<Thread>(std::forward<Args>(args)...));
}

struct Files {
    test::TempDir dir;
    std::string refs = dir.Write("refs.ref", test::NumberedFile(300));
    std::string filter = dir.Write("filter.ref", test::NumberedFile(100));
    std::shared_ptr<const ReferenceReader> reader;
    TFormatDesc format;
    Files() {
        EXPECT_TRUE(OpenReferenceReader(FileSystem::Default(), refs, nullptr, false, reader).ok());
        EXPECT_TRUE(
            LoadFormatFile(format, std::string(CITAVOX_FORMATS_DIR) + "/vancouver.for").ok());
    }
    // An output of its own for run n.
    std::string Out(const char* name, int n) const {
        return dir.File(std::string(name) + std::to_string(n));
    }
};

TEST(ToolThreads, RunReportStopAndKeepToOneAtATime) {
    FileSystem& fs = FileSystem::Default();
    const struct {
        const char* name;
        bool oneAtATime;
        MsgId kind; // the name of the kind in a refusal
        std::function<std::unique_ptr<Job>(const Files&, Progress&, int)> make;
    } cases[] = {
        {"TVoxSort", true, msg::Threads::Sorting,
         [&fs](const Files& f, Progress& p, int n) {
             return Make<TVoxSort>(fs, SortRequest{f.refs, f.Out("sorted", n) + ".ref"},
                                   SortOptions{}, p);
         }},
        {"TVoxComp", true, msg::Threads::Comparison,
         [&fs](const Files& f, Progress& p, int) {
             return Make<TVoxComp>(fs, f.filter, f.refs, CompareOptions{}, p);
         }},
        {"TCheckFormatDisplay", true, msg::Threads::CheckingStructure,
         [](const Files& f, Progress& p, int) {
             return Make<TCheckFormatDisplay>(f.reader, CheckKind::All, FormalCheck{}, p);
         }},
        {"TZerOrev", true, msg::Threads::Listing,
         [&fs](const Files& f, Progress& p, int n) {
             ListRequest request;
             request.references = f.reader;
             request.output = f.Out("list", n);
             return Make<TZerOrev>(fs, request, f.format, ListOptions{}, p);
         }},
        // Display sorting and export keep no state of their own beside their thread: they may run
        // beside one of their kind.
        {"TSortDisplay", false, msg::Threads::DisplaySorting,
         [&fs](const Files& f, Progress& p, int) {
             return Make<TSortDisplay>(fs, f.reader, DisplaySortOptions{}, p);
         }},
        {"TVoxExport", false, msg::Threads::ExportingReferences,
         [&fs](const Files& f, Progress& p, int n) {
             return Make<TVoxExport>(
                 fs, ExportRequest{f.reader, f.Out("export", n), ExportLayout::Ris, std::nullopt},
                 ExportOptions{}, p);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Files f;
        HoldingProgress held;
        const std::unique_ptr<Job> first = c.make(f, held, 1);
        ASSERT_TRUE(first->Resume().ok());
        EXPECT_FALSE(first->Resume().ok()) << "a thread runs its job once";
        held.WaitUntilHeld();

        Progress beside;
        const std::unique_ptr<Job> second = c.make(f, beside, 2);
        const Outcome started = second->Resume();
        if (c.oneAtATime) {
            ASSERT_FALSE(started.ok());
            EXPECT_EQ(started.message(), Msg(msg::Citavox::JobAlreadyRunning, Message(c.kind)));
        } else {
            ASSERT_TRUE(started.ok()) << started.message();
            second->Wait();
            EXPECT_TRUE(second->Result().ok()) << second->Result().message();
        }

        held.Release();
        first->Wait();
        EXPECT_TRUE(first->Result().ok()) << first->Result().message();
        EXPECT_GT(held.Texts(), 0) << "status texts";
        EXPECT_GT(held.Values(), 0) << "progress";

        // Once the first has ended, the next one starts; asked to stop, it ends aborted.
        Progress stopped;
        stopped.RequestAbort();
        const std::unique_ptr<Job> third = c.make(f, stopped, 3);
        ASSERT_TRUE(third->Resume().ok());
        third->Wait();
        EXPECT_TRUE(third->Result().aborted()) << third->Result().message();
    }
}

} // namespace
} // namespace cvx
