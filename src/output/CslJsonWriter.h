#pragma once
// The CSL JSON layout that citation processors (pandoc --citeproc, citeproc-js) read: one object
// per reference in a JSON array, keyed by author and year, in UTF-8 with the styles of the text
// as the processors' HTML-like tags (<i>, <b>, <sup>, <sub>). A journal goes in as stored and, when
// the journal-name database knows it, as its complete name with its MEDLINE form as short title.

#include "output/ExportWriter.h"

namespace cvx {

class CslJsonWriter final : public ExportWriter {
public:
    explicit CslJsonWriter(const JournalLookup* journals) : journals_(journals) {}
    Outcome Begin(WritableFile& out, const ExportHeading& heading) override;
    void Record(const ExportedReference& reference, std::string& out) const override;
    std::string_view Between() const override { return ",\n"; }
    Outcome End(WritableFile& out) override;
    bool UsesKeys() const override { return true; }

private:
    const JournalLookup* journals_;
};

} // namespace cvx
