#pragma once
// The three lanes in which background operations run side by side: a starting operation takes a
// free lane, and a fourth is refused until one ends.

#include <array>
#include <optional>

namespace cvx {

class LaneTable {
public:
    static constexpr int kLanes = 3;

    // The lane (0-based) the operation runs in; nullopt when all three are busy.
    std::optional<int> TryStart();
    void End(int lane);

    int Running() const;
    bool Busy(int lane) const;

private:
    std::array<bool, kLanes> busy_{};
};

} // namespace cvx
