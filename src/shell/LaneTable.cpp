#include "shell/LaneTable.h"

#include <algorithm>

namespace cvx {

std::optional<int> LaneTable::TryStart() {
    // The first free lane, so that an operation never shares its lane with one still running
    // after an operation in a lower lane has ended.
    const auto free = std::find(busy_.begin(), busy_.end(), false);
    if (free == busy_.end()) {
        return std::nullopt;
    }
    *free = true;
    return static_cast<int>(free - busy_.begin());
}

void LaneTable::End(int lane) {
    if (lane >= 0 && lane < kLanes) {
        busy_[static_cast<std::size_t>(lane)] = false;
    }
}

int LaneTable::Running() const {
    return static_cast<int>(std::count(busy_.begin(), busy_.end(), true));
}

bool LaneTable::Busy(int lane) const {
    return lane >= 0 && lane < kLanes && busy_[static_cast<std::size_t>(lane)];
}

} // namespace cvx
