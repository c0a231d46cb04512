#pragma once
// A long job on a thread of its own, the way every background operation of the program runs: the
// thread object is made suspended with its job, Resume starts it, and the job's report is read
// once it has finished. The completion callback runs on the worker thread as its last act; a
// window system hands it to its main thread itself. The thread reports and is cancelled through
// the Progress it was given.
//
// Some jobs run one at a time in the process (one comparison, one structure check, one list, one
// file sort): they share a RunGate, and Resume refuses to start a second one while the first runs.

#include "text/Outcome.h"
#include "text/Progress.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace cvx {

// The right of one job of a kind to run; a process-wide object per kind.
class RunGate {
public:
    bool TryEnter() { return !busy_.exchange(true); }
    void Leave() { busy_.store(false); }
    bool Busy() const { return busy_.load(); }

private:
    std::atomic<bool> busy_{false};
};

// The message of a refused start: another job of the kind (its name, code page 1252) runs.
Outcome JobAlreadyRunning(std::string_view kind);

template <typename Report> class JobThread {
public:
    // `gate` (may be null) keeps jobs of one kind from running at once; `kind` names the kind in
    // the refusal.
    JobThread(std::function<Report(Progress&)> job, Progress& progress, RunGate* gate = nullptr,
              std::string kind = {})
        : state_(std::make_shared<State>(std::move(job), progress)), gate_(gate),
          kind_(std::move(kind)) {}
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;
    // Waits for a thread that was started.
    ~JobThread() { Wait(); }

    // Starts the job, once; `completion` runs on the worker thread when the report is ready.
    // Fails without starting when the job was started before or another job of its kind runs.
    Outcome Resume(std::function<void()> completion = {}) {
        if (thread_.joinable() || state_->finished.load()) {
            return JobAlreadyRunning(kind_);
        }
        if (gate_ && !gate_->TryEnter()) {
            return JobAlreadyRunning(kind_);
        }
        thread_ = std::thread([state = state_, gate = gate_, done = std::move(completion)] {
            Report report = state->job(state->progress);
            {
                std::lock_guard lock(state->mutex);
                state->report = std::move(report);
            }
            state->finished.store(true);
            if (gate) {
                gate->Leave();
            }
            if (done) {
                done();
            }
        });
        return Outcome::Ok();
    }

    void Wait() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool Finished() const { return state_->finished.load(); }
    // Asks the job to stop at its next check.
    void Abort() { state_->progress.RequestAbort(); }

    // The job's report; valid once Finished() (Wait() first).
    Report Result() const {
        std::lock_guard lock(state_->mutex);
        return state_->report;
    }

private:
    struct State {
        State(std::function<Report(Progress&)> j, Progress& p) : job(std::move(j)), progress(p) {}
        std::function<Report(Progress&)> job;
        Progress& progress;
        mutable std::mutex mutex;
        Report report{};
        std::atomic<bool> finished{false};
    };

    std::shared_ptr<State> state_;
    RunGate* gate_;
    std::string kind_;
    std::thread thread_;
};

} // namespace cvx
