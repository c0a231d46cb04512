#include "refstore/SortTable.h"

#include "refstore/RefArrData.h"
#include "refstore/ReferenceReader.h"
#include "text/Progress.h"
#include "text/WorkShares.h"

#include <algorithm>
#include <atomic>
#include <numeric>

namespace cvx {

namespace {

// References read between two reports of progress.
constexpr int kReportEvery = 512;
// Files of fewer references are read on the calling thread alone.
constexpr std::size_t kParallelFrom = 16384;
// Positions sorted as one run before the runs are merged.
constexpr std::size_t kRunLength = 8192;

} // namespace

int ProgressSpan::At(unsigned long long done, unsigned long long total) const {
    return from + Permille(done, total) * (to - from) / Progress::kMaximum;
}

Outcome SortTable::ReadAll(const ReferenceReader& reader, const JournalLookup* journals,
                           Collation collation, Progress* progress, ProgressSpan span) {
    std::vector<int> indices(static_cast<std::size_t>(reader.Count()));
    std::iota(indices.begin(), indices.end(), 0);
    return Read(reader, indices, journals, collation, progress, span);
}

Outcome SortTable::Read(const ReferenceReader& reader, const std::vector<int>& indices,
                        const JournalLookup* journals, Collation collation, Progress* progress,
                        ProgressSpan span) {
    collation_ = collation;
    rows_.assign(indices.size(), Row{});
    const std::size_t count = indices.size();
    const unsigned threads = ShareCount(count, kParallelFrom);
    std::atomic<std::size_t> done{0};
    std::atomic<bool> failed{false};
    std::vector<Outcome> results(threads);

    // Each thread reads one contiguous share of the scope with its own read-ahead; the first one
    // reports the progress of all of them.
    RunInShares(count, threads, [&](unsigned t, std::size_t begin, std::size_t end) {
        ReadBuffer buffer;
        std::string bytes;
        for (std::size_t i = begin; i < end && !failed.load(std::memory_order_relaxed); ++i) {
            if (progress && progress->AbortRequested()) {
                results[t] = Outcome::Aborted();
                return;
            }
            const int index = indices[i];
            Row& row = rows_[i];
            row.record.index = index;
            row.deleted = reader.IsDeleted(index);
            if (!row.deleted) {
                if (Outcome r = reader.ReadRaw(index, bytes, &buffer); !r) {
                    results[t] = r;
                    failed.store(true);
                    return;
                }
                ParsedReference parsed = ParseReference(bytes, false);
                row.ruined = parsed.ruined;
                row.record = MakeSortRecord(parsed.data, index, static_cast<int>(bytes.size()),
                                            journals, collation);
            }
            if ((i - begin + 1) % kReportEvery == 0) {
                const std::size_t all = done.fetch_add(kReportEvery) + kReportEvery;
                if (t == 0 && progress) {
                    progress->SetProgress(span.At(all, count));
                }
            }
        }
    });
    for (const Outcome& r : results) {
        if (!r) {
            rows_.clear();
            return r;
        }
    }
    if (progress) {
        progress->SetProgress(span.to);
    }
    return Outcome::Ok();
}

bool SortTable::Sort(DisplayOrder order, Progress* progress, ProgressSpan span,
                     std::vector<std::int32_t>& positions, bool deletedLast) const {
    positions.resize(rows_.size());
    std::iota(positions.begin(), positions.end(), 0);
    auto sortsBefore = [&](std::int32_t a, std::int32_t b) {
        const Row& x = rows_[static_cast<std::size_t>(a)];
        const Row& y = rows_[static_cast<std::size_t>(b)];
        if (deletedLast && x.deleted != y.deleted) {
            return y.deleted;
        }
        return SortsBefore(order, x.record, y.record, collation_);
    };
    const std::size_t n = positions.size();
    // Work: one unit per position for sorting the runs, and one per position for every pass that
    // merges them.
    std::size_t passes = 0;
    for (std::size_t width = kRunLength; width < n; width *= 2) {
        ++passes;
    }
    const unsigned long long total = static_cast<unsigned long long>(n) * (passes + 1);
    unsigned long long done = 0;
    auto step = [&](std::size_t units) {
        done += units;
        if (progress) {
            progress->SetProgress(span.At(done, total));
        }
        return !(progress && progress->AbortRequested());
    };

    for (std::size_t begin = 0; begin < n; begin += kRunLength) {
        const std::size_t end = std::min(n, begin + kRunLength);
        std::sort(positions.begin() + static_cast<std::ptrdiff_t>(begin),
                  positions.begin() + static_cast<std::ptrdiff_t>(end), sortsBefore);
        if (!step(end - begin)) {
            return false;
        }
    }
    std::vector<std::int32_t> merged(n);
    for (std::size_t width = kRunLength; width < n; width *= 2) {
        for (std::size_t begin = 0; begin < n; begin += 2 * width) {
            const auto first = positions.begin() + static_cast<std::ptrdiff_t>(begin);
            const auto middle =
                positions.begin() + static_cast<std::ptrdiff_t>(std::min(n, begin + width));
            const auto last =
                positions.begin() + static_cast<std::ptrdiff_t>(std::min(n, begin + 2 * width));
            std::merge(first, middle, middle, last,
                       merged.begin() + static_cast<std::ptrdiff_t>(begin), sortsBefore);
            if (!step(static_cast<std::size_t>(last - first))) {
                return false;
            }
        }
        positions.swap(merged);
    }
    if (progress) {
        progress->SetProgress(span.to);
    }
    return true;
}

bool SortTable::Duplicate(std::int32_t earlier, std::int32_t later, DuplicateTest test) const {
    const Row& a = rows_[static_cast<std::size_t>(earlier)];
    const Row& b = rows_[static_cast<std::size_t>(later)];
    if (a.deleted || a.ruined || b.deleted || b.ruined) {
        return false;
    }
    return SuspectedDuplicate(a.record, b.record, test, collation_);
}

} // namespace cvx
