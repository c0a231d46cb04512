#pragma once
// A window's cursor over a reference file: the display order, the display position with the
// reference it shows, and the tagged-only mode. It reads nothing itself; TReferenceFile moves it
// and reads what it points at through its ReferenceReader.

#include "refstore/OrderFile.h"

#include <cstdint>
#include <vector>

namespace cvx {

class RefSet;

class ReferenceView {
public:
    // Starts over for a file of `count` references (`deleted` of them deleted) shown in `kind`,
    // whose stored order is `order` (empty for the file's own order). Position 0 is current.
    void Reset(int count, int deleted, DisplayOrder kind, std::vector<std::int32_t> order);

    DisplayOrder Kind() const { return kind_; }
    int Count() const { return count_; }
    // Every reference in the file's own order; a stored order puts the deleted ones last and
    // hides them.
    int VisibleCount() const;
    int DisplayToAbsolute(int displayPosition) const;
    int AbsoluteToDisplay(int absoluteIndex) const;

    int Position() const { return position_; }
    int Current() const { return current_; }
    // Makes a display position current, clamped to the references; false when there are none.
    bool MoveTo(int displayPosition);
    // The display position one step away: in tagged-only mode the next or previous tagged one,
    // wrapping round (the current position when none is tagged); otherwise one further, past the
    // end to the start and back with `wrap`, else stopping at the first or last visible one.
    int StepTarget(int direction, bool wrap, const RefSet& tagged) const;

    bool TaggedOnly() const { return taggedOnly_; }
    // Tagged-only mode can be switched on only when something is tagged.
    bool SetTaggedOnly(bool on, const RefSet& tagged);

private:
    int count_ = 0;
    int deleted_ = 0;
    DisplayOrder kind_ = DisplayOrder::Original;
    std::vector<std::int32_t> order_;   // display position -> absolute index
    std::vector<std::int32_t> inverse_; // absolute index -> display position
    int position_ = 0;
    int current_ = 0;
    bool taggedOnly_ = false;
};

} // namespace cvx
