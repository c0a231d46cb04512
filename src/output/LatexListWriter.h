#pragma once
// LaTeX lists: a document of its own that LaTeX typesets as it is, one list item per entry (its
// number as the item's label), the text in LaTeX's ASCII spelling of the code page; an abstract
// follows its entry as a paragraph of the item.

#include "output/ListWriter.h"

namespace cvx {

class LatexListWriter final : public ListWriter {
public:
    Outcome Begin(WritableFile& out) override;
    Outcome Write(WritableFile& out, const ListEntry& entry) override;
    Outcome End(WritableFile& out) override;
};

} // namespace cvx
