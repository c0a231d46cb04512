#pragma once
// Citation keys for BibTeX and CSL JSON: the first author's (or editor's) family name in ASCII
// letters and the year ("Mangalam2002"). A key that an earlier reference has already taken gets a
// letter ("Mangalam2002a", "Mangalam2002b"), so the keys of a file stay the same when references
// are added after them.

#include "refstore/RefArrData.h"

#include <string>
#include <unordered_set>

namespace cvx {

// The key a reference would have if it were the only one with its author and year.
std::string KeyBase(const TRefArrData& record);

class CitationKeys {
public:
    // The key of the next reference in file order.
    std::string Next(const TRefArrData& record);

private:
    std::unordered_set<std::string> taken_;
};

} // namespace cvx
