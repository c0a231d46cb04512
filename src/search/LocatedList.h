#pragma once
// The references a locating search marked, as the locate dialog lists them: at most 200, in file
// order, each with its one-line text and the keys that sort the list by year or by author.

#include "refstore/RefArrData.h"
#include "text/Outcome.h"

#include <string>
#include <vector>

namespace cvx {

class Progress;
class TReferenceFile;

inline constexpr int kMaxLocatedRows = 200;

enum class LocatedSort { ByYear = 0, ByAuthor = 1 };

struct LocatedRow {
    int index = -1;   // absolute, 0-based
    std::string line; // the one-line text with its markup codes and title markers
    std::string yearKey;
    std::string authorKey;
};

struct LocatedList {
    std::vector<LocatedRow> rows;
    bool capped = false; // more references may be located than are listed
};

// Reads the first kMaxLocatedRows references of the file's LocatedSet in file order; progress
// counts the rows. A reference that cannot be read ends the list with the failure.
Outcome ListLocated(TReferenceFile& file, const FormalCheck& check, Progress* progress,
                    LocatedList& list);

// Orders the rows by the key of `sort`, ignoring case; rows with equal keys keep their order.
void SortLocated(std::vector<LocatedRow>& rows, LocatedSort sort);

} // namespace cvx
