#include "output/JournalLookupCache.h"

namespace cvx {

namespace {

// Enough for the journals of any real reference file, small enough to stay in memory.
constexpr std::size_t kMostAnswers = 1 << 16;

} // namespace

std::optional<JournalMatch> JournalLookupCache::LookUp(std::string_view name,
                                                       JournalForm form) const {
    std::string key(1, static_cast<char>(form));
    key += name;
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        if (const auto found = answers_.find(key); found != answers_.end()) {
            return found->second;
        }
    }
    // The database is asked outside the hold, so threads do not wait for each other's questions.
    std::optional<JournalMatch> answer = database_.LookUp(name, form);
    const std::lock_guard<std::mutex> hold(mutex_);
    if (answers_.size() >= kMostAnswers) {
        answers_.clear();
    }
    answers_.emplace(std::move(key), answer);
    return answer;
}

} // namespace cvx
