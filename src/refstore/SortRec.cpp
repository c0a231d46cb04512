#include "refstore/SortRec.h"

#include "journals/JournalLookup.h"
#include "text/AuthorNames.h"
#include "text/StringPrimitives.h"

#include <climits>

namespace cvx {

std::int32_t SortNumber(std::string_view field) {
    return ParseInt(field, true).value_or(0);
}

std::int32_t FirstDigitRun(std::string_view field) {
    std::size_t b = 0;
    while (b < field.size() && !IsDigit(field[b])) {
        ++b;
    }
    long long value = 0;
    for (std::size_t i = b; i < field.size() && IsDigit(field[i]); ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > INT_MAX) {
            return 0;
        }
    }
    return static_cast<std::int32_t>(value);
}

std::string JournalKey(std::string_view journal, const JournalLookup* journals) {
    std::string key(journal);
    if (journals) {
        if (std::optional<std::string> abbreviation = journals->SortAbbreviation(journal)) {
            key = abbreviation->empty() ? "UNKNOWN" : *abbreviation;
        }
    }
    std::erase(key, '.');
    return key;
}

TSortRec MakeSortRecord(const TRefArrData& d, int index, int length, const JournalLookup* journals,
                        Collation collation) {
    TSortRec r;
    r.index = index;
    r.length = length;
    r.year = SortNumber(d[FieldIndex::Year]);
    r.volume = FirstDigitRun(d[FieldIndex::Volume]);
    r.issue = SortNumber(d[FieldIndex::Issue]);
    r.pageFirst = SortNumber(d[FieldIndex::PageFirst]);
    r.sourceType = d.sourceType;
    r.title = d[FieldIndex::Title];
    r.idString = d[FieldIndex::IdString];
    r.journalKey = d.sourceType == SourceType::Journal
                       ? JournalKey(d[FieldIndex::Journal], journals)
                       : d[FieldIndex::BookTitle];
    const std::string& authors = d[FieldIndex::Authors];
    const bool noAuthors = authors.empty() || authors == kUnknownField || authors == "\"\".";
    r.authorKey = AuthorKey(noAuthors ? d[FieldIndex::Editors] : authors, collation);
    return r;
}

} // namespace cvx
