#pragma once
// The BibTeX layout: one entry per reference (@article, @incollection, @inbook, @book, @misc),
// keyed by author and year, in UTF-8 with LaTeX's special characters escaped and the styles of
// the text as LaTeX commands (\emph, \textbf, \textsuperscript, \textsubscript).

#include "output/ExportWriter.h"

namespace cvx {

class BibtexWriter final : public ExportWriter {
public:
    Outcome Begin(WritableFile& out, const ExportHeading& heading) override;
    void Record(const ExportedReference& reference, std::string& out) const override;
    Outcome End(WritableFile& out) override;
    bool UsesKeys() const override { return true; }
};

// Marked-up code page 1252 text as a BibTeX field's UTF-8 text.
std::string BibtexText(std::string_view field);

} // namespace cvx
