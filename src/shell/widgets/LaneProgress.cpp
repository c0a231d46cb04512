#include "shell/widgets/LaneProgress.h"

#include "text/widgets/QtText.h"

namespace cvx {

void LaneProgress::SetStatus(std::string_view text) {
    {
        const std::lock_guard lock(mutex_);
        if (status_ == text) {
            return;
        }
        status_ = text;
    }
    emit StatusChanged(MessageText(text));
}

void LaneProgress::SetDetail(std::string_view text) {
    {
        const std::lock_guard lock(mutex_);
        if (detail_ == text) {
            return;
        }
        detail_ = text;
    }
    emit DetailChanged(MessageText(text));
}

void LaneProgress::SetProgress(int permille) {
    {
        const std::lock_guard lock(mutex_);
        if (permille_ == permille) {
            return;
        }
        permille_ = permille;
    }
    emit ProgressChanged(permille);
}

void LaneProgress::Restart() {
    const std::lock_guard lock(mutex_);
    status_.clear();
    detail_.clear();
    permille_ = -1;
    ClearAbort();
}

} // namespace cvx
