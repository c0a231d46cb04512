#include "shell/IndexQueue.h"

#include "text/Progress.h"
#include "text/StringPrimitives.h"

namespace cvx {

void IndexQueue::Fill(std::vector<std::string> names, std::uint32_t fieldMask, bool markedOnly) {
    names_ = std::move(names);
    next_ = 0;
    fieldMask_ = fieldMask;
    markedOnly_ = markedOnly;
}

std::optional<std::string> IndexQueue::TakeNext() {
    while (next_ < names_.size()) {
        std::string name = TrimBlanks(names_[next_++]);
        if (markedOnly_) {
            if (name.empty() || name.front() != '*') {
                continue;
            }
            name = TrimBlanks(name.substr(1));
        }
        if (!name.empty()) {
            return name;
        }
    }
    return std::nullopt;
}

void IndexQueue::Clear() {
    names_.clear();
    next_ = 0;
}

bool IndexQueue::Empty() const {
    return next_ >= names_.size();
}

int IndexQueue::Permille() const {
    return cvx::Permille(next_, names_.size());
}

} // namespace cvx
