#pragma once
// The MEDLINE layout: tagged lines ("TI  - "), a record per reference introduced by its number
// and file, the journal as its MEDLINE abbreviation in a source line ("SO  - Nature 1990;12:5-9").

#include "output/ExportWriter.h"

namespace cvx {

class MedlineWriter final : public ExportWriter {
public:
    explicit MedlineWriter(const JournalLookup* journals) : journals_(journals) {}
    Outcome Begin(WritableFile& out, const ExportHeading& heading) override;
    void Record(const ExportedReference& reference, std::string& out) const override;
    Outcome End(WritableFile& out) override;

private:
    // The journal as the source line names it: a view of the field, a constant or `room`.
    std::string_view Abbreviation(std::string_view journal, std::string& room) const;

    const JournalLookup* journals_;
};

// A last page without the leading characters it shares with the first ("1506", "1508": "8").
std::string ShortLastPage(std::string_view first, std::string_view last);

// The language a word of an identification string names ("Fre": "French"); empty for none.
std::string LanguageNamed(std::string_view word);

} // namespace cvx
