#pragma once
// The one contract through which every long operation reports and is cancelled: a status text,
// a detail text, a progress value of 0..1000 and an abort flag. The GUI's lanes and the command
// line's progress bar implement it; engines never print or draw themselves.

#include <atomic>
#include <string_view>

namespace cvx {

class Progress {
public:
    static constexpr int kMaximum = 1000;

    virtual ~Progress() = default;

    // Texts are code page 1252. Implementations may be called from a worker thread and must
    // hand the values to their own thread themselves.
    virtual void SetStatus(std::string_view /*text*/) {}
    virtual void SetDetail(std::string_view /*text*/) {}
    virtual void SetProgress(int /*permille*/) {}

    bool AbortRequested() const { return abort_.load(std::memory_order_relaxed); }
    void RequestAbort() { abort_.store(true, std::memory_order_relaxed); }
    void ClearAbort() { abort_.store(false, std::memory_order_relaxed); }

private:
    std::atomic<bool> abort_{false};
};

// Progress of `done` out of `total` as 0..1000.
constexpr int Permille(unsigned long long done, unsigned long long total) {
    return total == 0 ? 0 : static_cast<int>(done * Progress::kMaximum / total);
}

} // namespace cvx
