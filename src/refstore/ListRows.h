#pragma once
// The rows of a reference window's list: one per visible reference in display order, or, in
// tagged-only mode, one per tagged reference. The list asks for rows; the file moves by display
// positions; this maps one to the other without an object per reference.

#include <vector>

namespace cvx {

class ReferenceView;
class RefSet;

class ListRows {
public:
    // Takes the view's rows as they are now: after a change of order, mode or tags while the mode
    // is on, build them again.
    void Rebuild(const ReferenceView& view, const RefSet& tagged);

    int Count() const { return taggedOnly_ ? static_cast<int>(positions_.size()) : visible_; }
    bool TaggedOnly() const { return taggedOnly_; }
    // The display position shown in a row (the row itself outside tagged-only mode).
    int PositionOf(int row) const;
    // The row that shows a display position; in tagged-only mode, for a position that has no row,
    // the row of the next tagged position (the last row past the end). -1 without rows.
    int RowOf(int position) const;

private:
    bool taggedOnly_ = false;
    int visible_ = 0;
    std::vector<int> positions_; // tagged-only mode: the display positions of the rows, ascending
};

} // namespace cvx
