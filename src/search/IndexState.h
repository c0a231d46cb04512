#pragma once
// Whether a reference file's word index can answer searches: the index must be one (its header
// fits the layout and the file), hold references, be built from the very text the file holds (or
// from its beginning, when references were appended since) and hold every field asked for. An
// index that cannot be shown to belong to the text is never used, so it cannot give wrong
// reference numbers.

#include "search/WordIndex.h"
#include "storage/FileSystem.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

class ReferenceReader;
class TReferenceFile;

enum class IndexProblem {
    None,
    Missing,       // no index file
    Damaged,       // not a usable index file
    NotVerifiable, // made by another program: which text it was built from is unknown
    OutOfDate,     // the reference text was changed after the index was built
    Empty,         // the index covers no references
    CoversMore,    // the index covers more references than the file holds
    FieldMissing,  // a field asked for was not indexed
};

struct IndexStatus {
    // 0 no usable index, 1 the index covers the file's references, 2 it covers fewer (references
    // were appended since it was built).
    int state = 0;
    IndexProblem problem = IndexProblem::Missing;
    int missingField = 0; // FieldMissing: the first field asked for that the index lacks

    // What to tell the user about the problem (empty for none), naming the reference file.
    std::string Message(std::string_view referenceFile) const;
};

// The index file of a reference file (found in any case spelling of its extension).
std::string IndexFileOf(FileSystem& fs, const std::string& referenceFile);

// Checks the index of the text `reader` reads against it and the fields asked for (bits 4..16,
// 7 for the year line); `index` receives the opened index when one is given.
IndexStatus CheckWordIndex(FileSystem& fs, const ReferenceReader& reader,
                           std::uint32_t requestedFields, WordIndex* index = nullptr);

// The state (0, 1 or 2) of the index of an open reference file.
int IndexState(const TReferenceFile& file, std::uint32_t requestedFields,
               FileSystem& fs = FileSystem::Default());

// What a search of an open reference file can get from its index: the state (0, 1 or 2, as
// IndexState) and the fields its field operators may address (SearchableFields).
struct IndexOffer {
    int state = 0;
    std::uint32_t fields = 0;
};
IndexOffer OfferedIndex(const TReferenceFile& file, FileSystem& fs = FileSystem::Default());

// The fields whose operators occur in an expression (exact upper case, anywhere): bits 4..12.
std::uint32_t ExpressionFieldMask(std::string_view expression);

// The fields the field operators may address with this index: those whose word list holds more
// than one word (the year line, 7, when its parts do).
std::uint32_t SearchableFields(const IndexHeader& header);

} // namespace cvx
