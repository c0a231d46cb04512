#pragma once
// Plain-text lists: one entry per line (CR LF), the markup codes removed, "#T" a tab and "#L" a
// line break; an abstract follows its entry on lines indented by two tabs.

#include "output/ListWriter.h"

namespace cvx {

class TextListWriter final : public ListWriter {
public:
    Outcome Begin(WritableFile& out) override;
    Outcome Write(WritableFile& out, const ListEntry& entry) override;
    Outcome End(WritableFile& out) override;
};

} // namespace cvx
