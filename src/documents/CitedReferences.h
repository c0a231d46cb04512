#pragma once
// The references a manuscript cites: reading them from their reference files, telling one
// reference held in two files apart from two references, rendering their citations and
// reference-list entries, numbering and ordering them, and the letters and "et al." contractions
// of author-year formats.

#include "formats/FormatDesc.h"
#include "formats/Renderer.h"
#include "refstore/RefArrData.h"
#include "refstore/SortRec.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cvx {

class Progress;

// One pseudo-citation as completion reads it: the reference it names and where it stands.
struct CitationRequest {
    std::string file; // the reference file, resolved against the manuscript's folder (UTF-8)
    int number = 0;   // 0-based
    int running = 0;  // its running number in the manuscript
    int line = 0;     // its line in the manuscript
};

// One reference cited anywhere in the manuscript.
struct TOneActualRef {
    int sequence = 0;     // the order of its first citation, from 0
    int listPosition = 0; // its place in the reference list, from 0 (its number is this + 1)
    std::string file;     // the file it was read from (the first one, when it is in two)
    int number = 0;       // 0-based, in that file
    bool formatError = false;
    std::string shortCitation;
    std::string contracted; // the citation at later citations ("Smith et al., 1986")
    std::string listEntry;
    std::size_t authorsEnd = 0; // bytes of the list entry that hold its authors
    // Where the year's text ends in the citation, the contracted citation and the list entry:
    // a year letter goes there. npos where the form writes no year.
    std::size_t shortYearEnd = std::string::npos;
    std::size_t contractedYearEnd = std::string::npos;
    std::size_t listYearEnd = std::string::npos;
    std::string year;   // the year as four characters
    std::string letter; // "a", "b", ... for equal author-year citations
    std::string label;  // the author-year label (to check the pseudo-citation's label)

    TSortRec keys;
    std::string journal; // for telling one reference in two files apart
    std::string title;

    std::string YearWithLetter() const { return year + letter; }
};

// A reference file used by the completion, with the two counts the report shows.
struct UsedReferenceFile {
    std::string name;   // UTF-8
    int citations = 0;  // pseudo-citations that name it
    int references = 0; // distinct references read from it
};

inline constexpr int kMaxReferenceFiles = 100;

class TCitedReferences {
public:
    // Reads the references the citations name (each file opened once) and maps every citation
    // to its reference. Stops with the catalogue's message (and the line of the pseudo-citation
    // at fault) at more than 100 files, an empty or missing file, a number beyond the file's end
    // and a deleted reference.
    Outcome Collect(const std::vector<CitationRequest>& citations, Collation collation,
                    const RenderOptions& render, FileSystem& fs, Progress* progress);

    // Renders the citations and list entries, numbers and orders the references, assigns letters
    // and checks the contractions, all as the format prescribes.
    void Prepare(const TFormatDesc& format, Collation collation, const RenderOptions& render);

    const std::vector<TOneActualRef>& References() const { return refs_; }
    // The reference a citation (by its index in Collect's list) resolves to.
    int ReferenceOf(std::size_t citation) const { return citationRef_.at(citation); }
    // The references in list order.
    const std::vector<int>& ListOrder() const { return listOrder_; }
    const std::vector<UsedReferenceFile>& Files() const { return files_; }
    int FormatErrors() const;

private:
    void Render(const TFormatDesc& format, const RenderOptions& render);
    void Order(const TFormatDesc& format, Collation collation);
    void AssignLetters();
    void CheckContractions(const TFormatDesc& format);

    std::vector<TOneActualRef> refs_;
    std::vector<TRefArrData> records_; // parsed, one per reference
    std::vector<int> citationRef_;
    std::vector<int> listOrder_;
    std::vector<UsedReferenceFile> files_;
};

// The entries of the reference list in list order, still with markup codes: each with its number
// label where the format numbers the list, and with the authors that repeat the previous entry's
// replaced by the format's substitute where it asks for that.
std::vector<std::string> ReferenceListEntries(const TFormatDesc& format,
                                              const TCitedReferences& references);

// Inserts a letter after the year, which ends at `yearEnd` ("Smith, 1986" -> "Smith, 1986a"), or,
// where that is not known (npos), after the last run of letters and digits that is not a markup
// code.
std::string InsertLetter(std::string_view citation, std::string_view letter,
                         std::size_t yearEnd = std::string::npos);

} // namespace cvx
