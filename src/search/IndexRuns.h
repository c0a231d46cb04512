#pragma once
// The sorted runs of the index builder and their merge. A run is the word table written out in
// ascending order of field and word: for each list its field, word, count and gaps. Runs are
// made in file order, so the lists of one word from several runs are joined in run order.

#include "search/IndexWordTable.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cvx {

// One (field, word) with its ascending reference numbers.
struct IndexPosting {
    int field = 0;
    std::string word;
    std::vector<std::uint32_t> references;
};

// Writes the table, sorted, as a run.
Outcome WriteIndexRun(const IndexWordTable& table, WritableFile& out);

// A source of postings in ascending (field, word) order.
class PostingSource {
public:
    virtual ~PostingSource() = default;
    // The next posting; false at the end. A damaged source sets `failure`.
    virtual bool Next(IndexPosting& posting, Outcome& failure) = 0;
};

// A run file, read front to back.
std::unique_ptr<PostingSource> ReadIndexRun(std::unique_ptr<ReadableFile> file);
// The table in memory (it must outlive the source).
std::unique_ptr<PostingSource> ReadIndexTable(const IndexWordTable& table);

// Merges the sources into one stream in (field, word) order; the lists of one (field, word) are
// joined in the order of the sources. `visit` may fail (or abort), which ends the merge.
Outcome MergePostings(std::vector<std::unique_ptr<PostingSource>>& sources,
                      const std::function<Outcome(const IndexPosting&)>& visit);

} // namespace cvx
