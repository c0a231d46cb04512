#include "refstore/ListRows.h"

#include "refstore/RefSet.h"
#include "refstore/ReferenceView.h"

#include <algorithm>

namespace cvx {

void ListRows::Rebuild(const ReferenceView& view, const RefSet& tagged) {
    taggedOnly_ = view.TaggedOnly();
    visible_ = view.VisibleCount();
    positions_.clear();
    if (!taggedOnly_) {
        return;
    }
    positions_.reserve(static_cast<std::size_t>(tagged.Count()));
    for (int pos = 0; pos < visible_; ++pos) {
        if (tagged.Test(view.DisplayToAbsolute(pos))) {
            positions_.push_back(pos);
        }
    }
}

int ListRows::PositionOf(int row) const {
    if (!taggedOnly_) {
        return row;
    }
    if (row < 0 || row >= Count()) {
        return -1;
    }
    return positions_[static_cast<std::size_t>(row)];
}

int ListRows::RowOf(int position) const {
    if (Count() == 0) {
        return -1;
    }
    if (!taggedOnly_) {
        return std::clamp(position, 0, visible_ - 1);
    }
    const auto at = std::lower_bound(positions_.begin(), positions_.end(), position);
    const auto row = static_cast<int>(at - positions_.begin());
    return std::min(row, Count() - 1);
}

} // namespace cvx
