#include "search/LocatedList.h"

#include "refstore/ListLine.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceReader.h"
#include "text/AuthorNames.h"
#include "text/CaseMapping.h"
#include "text/Progress.h"

#include <algorithm>

namespace cvx {

namespace {

// A deleted reference sorts by its own key, apart from the references that carry a year.
constexpr std::string_view kDeletedKey = "#IDeleted#I";
constexpr std::string_view kDeletedId = "DELETED";

void SetKeys(const TRefArrData& data, LocatedRow& row) {
    if (data[FieldIndex::IdString] == kDeletedId) {
        row.yearKey = row.authorKey = std::string(kDeletedKey);
        return;
    }
    const std::string& year = data[FieldIndex::Year];
    const std::string authors = ShortAuthorList(data[FieldIndex::Authors]);
    row.yearKey = year + " " + authors;
    row.authorKey = authors + " " + year;
}

} // namespace

Outcome ListLocated(TReferenceFile& file, const FormalCheck& check, Progress* progress,
                    LocatedList& list) {
    list = {};
    const RefSet& located = file.LocatedSet();
    const int first = located.First();
    if (first < 0 || !file.IsOpen()) {
        return Outcome::Ok();
    }
    const std::shared_ptr<const ReferenceReader> reader = file.Reader();
    const int expected = std::min(located.Count(), kMaxLocatedRows + 1);
    ReadBuffer buffer;
    StoredReference stored;
    for (int index = first;;) {
        LocatedRow row;
        row.index = index;
        ListLine line;
        if (Outcome read = ReadListLine(*reader, index, check, line, &buffer); !read) {
            return read;
        }
        row.line = std::move(line.text);
        if (Outcome parsed = reader->Parse(index, false, check, stored, &buffer); !parsed) {
            return parsed;
        }
        SetKeys(stored.data, row);
        list.rows.push_back(std::move(row));
        if (progress != nullptr) {
            progress->SetProgress(Permille(static_cast<int>(list.rows.size()), expected));
        }
        const int next = located.Next(index);
        if (next <= index) {
            break; // wrapped round: the last located reference was listed
        }
        if (static_cast<int>(list.rows.size()) == kMaxLocatedRows) {
            list.capped = true;
            break;
        }
        index = next;
    }
    return Outcome::Ok();
}

void SortLocated(std::vector<LocatedRow>& rows, LocatedSort sort) {
    const auto key = [sort](const LocatedRow& row) {
        return UpperText(sort == LocatedSort::ByYear ? row.yearKey : row.authorKey);
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&key](const LocatedRow& a, const LocatedRow& b) { return key(a) < key(b); });
}

} // namespace cvx
