#pragma once
// Lists as word-processor documents (.docx, .odt): every entry a paragraph with a hanging indent,
// an abstract a paragraph of its own with an indented first line, in the paragraphs and runs a
// completed manuscript's reference list gets. The container is made once the last entry is in.

#include "documents/WordParagraphs.h"
#include "output/ListWriter.h"

#include <string>
#include <vector>

namespace cvx {

class WordListWriter final : public ListWriter {
public:
    explicit WordListWriter(WordFormat format) : format_(format) {}

    Outcome Begin(WritableFile& out) override;
    Outcome Write(WritableFile& out, const ListEntry& entry) override;
    Outcome End(WritableFile& out) override;

private:
    WordFormat format_;
    std::vector<std::string> paragraphs_;
};

} // namespace cvx
