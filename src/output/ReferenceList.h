#pragma once
// The list engine: the references of a file (all, the tagged ones or one) in a chosen order,
// each rendered with the long form of a format, optionally numbered and followed by its
// abstract/comment part, written as a plain-text, RTF, LaTeX, .docx or .odt file. One entry point
// serves every kind of output (the kind is a parameter); the thread is TZerOrev.

#include "formats/FormatDesc.h"
#include "formats/Renderer.h"
#include "output/ListWriter.h"
#include "refstore/OrderFile.h"
#include "refstore/RefSet.h"
#include "text/Collation.h"
#include "text/JobThread.h"
#include "text/Outcome.h"

#include <memory>
#include <string>
#include <vector>

namespace cvx {

class FileSystem;
class Progress;
class ReferenceReader;

struct ListRequest {
    std::shared_ptr<const ReferenceReader> references; // the version of the file to list
    std::string output;                                // the file written
    ListOutput kind = ListOutput::Text;
    DisplayOrder order = DisplayOrder::AuthorYear;
    // The scope: the references of `tagged` when it is given, else the one reference `which`
    // (absolute index) when it is 0 or more, else every reference.
    std::optional<RefSet> tagged;
    int which = -1;
    bool keepDuplicates = false;  // list references that look like duplicates of their neighbour
    bool includeAbstract = false; // each entry followed by its abstract/comment part
    bool numbered = false;        // number the entries even when the format does not
};

// What a list takes from the settings (JobOptions::List).
struct ListOptions {
    Collation collation = Collation::English; // "Lists\Character sorting"
    RenderOptions render;                     // journal names and "et al."
};

struct ListReport {
    Outcome outcome;    // failed or aborted: no output file was made (an old one stays)
    int entries = 0;    // entries written
    int duplicates = 0; // suspected duplicates found (left out unless kept)
    // References that could not be parsed (numbers from 1): they are listed with what the format
    // makes of them.
    std::vector<int> unparsed;
};

// Writes the list. Deleted references in the scope are left out and get no number.
ListReport MakeReferenceList(FileSystem& fs, const ListRequest& request, const TFormatDesc& format,
                             const ListOptions& options, Progress& progress);

// The list thread; one runs at a time.
class TZerOrev : public JobThread<ListReport> {
public:
    TZerOrev(FileSystem& fs, ListRequest request, TFormatDesc format, ListOptions options,
             Progress& progress);
};

} // namespace cvx
