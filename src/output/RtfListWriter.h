#pragma once
// RTF lists: one paragraph with a hanging indent per entry, its styles as RTF groups and the
// Symbol font's letters as the Greek letters they stand for; an abstract follows as a paragraph
// of its own with an indented first line.

#include "output/ListWriter.h"

namespace cvx {

class RtfListWriter final : public ListWriter {
public:
    Outcome Begin(WritableFile& out) override;
    Outcome Write(WritableFile& out, const ListEntry& entry) override;
    Outcome End(WritableFile& out) override;
};

} // namespace cvx
