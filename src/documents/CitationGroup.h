#pragma once
// Formatting one group of pseudo-citations into its citation group: the texts of the citations
// with their options, their order inside the group, number ranges, merged authors and letter
// runs, the separators, the enclosure and the citation style. The result still carries markup
// codes; the output converter turns them into the document's codes.

#include "documents/CitedReferences.h"
#include "formats/FormatDesc.h"

#include <string>
#include <vector>

namespace cvx {

// One pseudo-citation of the group.
struct GroupCitation {
    int reference = 0;      // index into the cited references
    int optionCode = 0;     // option plus the first-in-group and skip-enclosure flags
    std::string optionText; // code page 1252, no markup
};

class CitationGroupFormatter {
public:
    CitationGroupFormatter(const TFormatDesc& format, const TCitedReferences& references,
                           Collation collation);

    // The citation group; the first citation of a reference in the document uses its short
    // citation and every later one its contracted citation (hidden citations do not count).
    std::string Format(const std::vector<GroupCitation>& group);

private:
    struct Item;

    std::string CitationText(const GroupCitation& c);
    void Sort(std::vector<Item>& items) const;
    std::string JoinNumbers(const std::vector<Item>& items, const std::string& separator) const;
    std::string JoinAuthorYear(const std::vector<Item>& items, const std::string& separator) const;

    const TFormatDesc& format_;
    const TCitedReferences& references_;
    Collation collation_;
    std::vector<bool> cited_; // references cited (visibly) before
};

} // namespace cvx
