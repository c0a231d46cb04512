#include "refstore/ReferenceView.h"

#include "refstore/RefSet.h"

#include <algorithm>

namespace cvx {

void ReferenceView::Reset(int count, int deleted, DisplayOrder kind,
                          std::vector<std::int32_t> order) {
    count_ = count;
    deleted_ = deleted;
    order_ = std::move(order);
    inverse_.clear();
    kind_ = order_.empty() ? DisplayOrder::Original : kind;
    if (!order_.empty()) {
        inverse_.resize(order_.size());
        for (std::size_t pos = 0; pos < order_.size(); ++pos) {
            inverse_[static_cast<std::size_t>(order_[pos])] = static_cast<std::int32_t>(pos);
        }
    }
    position_ = current_ = 0;
    current_ = DisplayToAbsolute(0);
}

int ReferenceView::VisibleCount() const {
    return kind_ == DisplayOrder::Original ? count_ : count_ - deleted_;
}

int ReferenceView::DisplayToAbsolute(int displayPosition) const {
    if (order_.empty() || displayPosition < 0 || displayPosition >= count_) {
        return displayPosition;
    }
    return order_[static_cast<std::size_t>(displayPosition)];
}

int ReferenceView::AbsoluteToDisplay(int absoluteIndex) const {
    if (inverse_.empty() || absoluteIndex < 0 || absoluteIndex >= count_) {
        return absoluteIndex;
    }
    return inverse_[static_cast<std::size_t>(absoluteIndex)];
}

bool ReferenceView::MoveTo(int displayPosition) {
    if (count_ == 0) {
        return false;
    }
    position_ = std::clamp(displayPosition, 0, count_ - 1);
    current_ = DisplayToAbsolute(position_);
    return true;
}

int ReferenceView::StepTarget(int direction, bool wrap, const RefSet& tagged) const {
    const int visible = VisibleCount();
    if (visible == 0) {
        return position_;
    }
    if (taggedOnly_) {
        for (int step = 1; step <= visible; ++step) {
            const int pos = ((position_ + direction * step) % visible + visible) % visible;
            if (tagged.Test(DisplayToAbsolute(pos))) {
                return pos;
            }
        }
        return position_;
    }
    const int pos = position_ + direction;
    if (pos >= visible || pos < 0) {
        return wrap ? (pos < 0 ? visible - 1 : 0) : std::clamp(pos, 0, visible - 1);
    }
    return pos;
}

bool ReferenceView::SetTaggedOnly(bool on, const RefSet& tagged) {
    if (on && tagged.Count() == 0) {
        return false;
    }
    taggedOnly_ = on;
    return true;
}

} // namespace cvx
