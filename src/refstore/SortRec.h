#pragma once
// The sort keys of one reference, as every sorter compares them.

#include "refstore/RefArrData.h"
#include "text/Collation.h"

#include <cstdint>
#include <string>

namespace cvx {

class JournalLookup;

struct TSortRec {
    std::int32_t index = 0;  // absolute index of the reference
    std::int32_t length = 0; // length of its block in bytes
    std::int32_t year = 0;
    std::int32_t volume = 0;
    std::int32_t issue = 0;
    std::int32_t pageFirst = 0;
    SourceType sourceType = SourceType::Unparsed;
    std::string title;
    std::string idString;
    std::string journalKey;
    std::string authorKey;
};

// Fills the keys of a parsed reference. `journals` may be null (no database: names as stored);
// `collation` is the collation that decides how author keys read Japanese names.
TSortRec MakeSortRecord(const TRefArrData& data, int index, int length,
                        const JournalLookup* journals, Collation collation);

// The journal key of a journal name: its abbreviation from the database ("UNKNOWN" when that
// form is empty) or the name as stored, without any ".".
std::string JournalKey(std::string_view journal, const JournalLookup* journals);

// A field as a sort number: the whole trimmed field as an integer, 0 when it is not one.
std::int32_t SortNumber(std::string_view field);
// The first run of digits of a field as a number, 0 when there is none.
std::int32_t FirstDigitRun(std::string_view field);

} // namespace cvx
