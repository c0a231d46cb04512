#pragma once
// Building a whole journal database from a list of journal definitions, and reading such a
// list from a CSV file.

#include "journals/JournalEditing.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct JournalBuildOptions {
    // How full the builder packs a block. What is left over lets a user add names to a block
    // later, since blocks are never split.
    std::size_t blockBytes = 12000;
    int blockRecords = 400;
};

struct JournalBuildProblem {
    JournalError error = JournalError::None;
    std::size_t journal = 0; // the definition at fault, for errors 4, 5 and 10 of a definition
    long records = 0;        // the number of names, when there are too many
    long blocks = 0;         // the number of blocks, when there are too many
};

// Sorts every definition's names by signature and normalised name, joins each journal's names
// into a ring and packs the records into blocks. Before anything would exceed the format's
// limits (65535 names, 512 blocks) it stops with error 10.
JournalBuildProblem BuildJournalImage(const std::vector<JournalDefinition>& journals,
                                      const JournalBuildOptions& options, JournalImage& image);

// The CSV columns of a journal list, in this order; the first row names them.
inline constexpr std::string_view kJournalCsvColumns[] = {
    "Full name", "Alternate names", "Medlar",      "Index Medicus", "BIOSIS", "Chemical Abstracts",
    "ISSN",      "Requires issue",  "Lacks volume"};

struct JournalCsvProblem {
    enum class Kind {
        None,
        Header,   // the first row does not name the columns above
        Columns,  // a row with another number of fields
        Quoting,  // a quoted field that never ends, or text after its closing quote
        CodePage, // a character that code page 1252 lacks
        Flag,     // a flag that is neither "1", "0" nor empty
    };
    Kind kind = Kind::None;
    std::size_t line = 0;
};

// Reads a journal list: UTF-8 CSV (RFC 4180 quoting) with a header row. Alternate names are
// separated by " = "; the two flags are "1" or empty.
JournalCsvProblem ReadJournalCsv(std::string_view csv, std::vector<JournalDefinition>& journals);

} // namespace cvx
