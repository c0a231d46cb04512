#include "refstore/SortTable.h"

#include "refstore/RefArrData.h"
#include "refstore/ReferenceReader.h"
#include "text/Progress.h"
#include "text/WorkShares.h"
#include "text/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cstring>
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
    WorkerPool pool(threads - 1);

    // Each thread reads one contiguous share of the scope with its own read-ahead; the first one
    // reports the progress of all of them.
    pool.RunInShares(count, threads, [&](unsigned t, std::size_t begin, std::size_t end) {
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

namespace {

// A row's prepared key in a sort: its first eight bytes as a number decide most comparisons
// without reading the key itself.
struct KeyedRow {
    std::uint64_t head = 0; // the first eight bytes of the key, big-endian, zero-padded
    const unsigned char* key = nullptr;
    std::uint32_t size = 0;
    std::int32_t position = 0;
};

bool KeyBefore(const KeyedRow& a, const KeyedRow& b) {
    if (a.head != b.head) {
        return a.head < b.head;
    }
    const std::uint32_t common = std::min(a.size, b.size);
    if (common > sizeof a.head) {
        if (const int c =
                std::memcmp(a.key + sizeof a.head, b.key + sizeof b.head, common - sizeof a.head);
            c != 0) {
            return c < 0;
        }
    }
    return a.size < b.size;
}

std::uint64_t KeyHead(const unsigned char* key, std::size_t size) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < sizeof head; ++i) {
        head = (head << 8) | (i < size ? key[i] : 0U);
    }
    return head;
}

// The sum of the work done by the threads of a sort, reported by the first of them.
class SortSteps {
public:
    SortSteps(Progress* progress, ProgressSpan span, unsigned long long total)
        : progress_(progress), span_(span), total_(total) {}

    // Counts `units` more done; false when the job was asked to stop.
    bool Step(unsigned share, std::size_t units) {
        const unsigned long long done = done_.fetch_add(units) + units;
        if (share == 0 && progress_) {
            progress_->SetProgress(span_.At(done, total_));
        }
        if (progress_ && progress_->AbortRequested()) {
            aborted_.store(true);
        }
        return !aborted_.load();
    }
    bool Aborted() const { return aborted_.load(); }

private:
    Progress* progress_;
    ProgressSpan span_;
    unsigned long long total_;
    std::atomic<unsigned long long> done_{0};
    std::atomic<bool> aborted_{false};
};

} // namespace

bool SortTable::Sort(DisplayOrder order, Progress* progress, ProgressSpan span,
                     std::vector<std::int32_t>& positions, bool deletedLast) const {
    const std::size_t n = rows_.size();
    const unsigned threads = ShareCount(n, kParallelFrom);
    // Work: one unit per position for its key, one for sorting the runs, and one per position for
    // every pass that merges them.
    std::size_t passes = 0;
    for (std::size_t width = kRunLength; width < n; width *= 2) {
        ++passes;
    }
    SortSteps steps(progress, span, static_cast<unsigned long long>(n) * (passes + 2));

    WorkerPool pool(threads - 1);
    // The keys, each share of the rows into a buffer of its own.
    std::vector<KeyedRow> keyed(n);
    std::vector<std::string> buffers(threads);
    pool.RunInShares(n, threads, [&](unsigned t, std::size_t begin, std::size_t end) {
        std::string& buffer = buffers[t];
        buffer.reserve((end - begin) * 64);
        for (std::size_t i = begin; i < end; ++i) {
            const Row& row = rows_[i];
            const std::size_t from = buffer.size();
            if (deletedLast) {
                buffer += row.deleted ? '\1' : '\0';
            }
            AppendOrderKey(order, row.record, collation_, buffer);
            keyed[i].size = static_cast<std::uint32_t>(buffer.size() - from);
            keyed[i].position = static_cast<std::int32_t>(i);
        }
        // The buffer no longer moves: point into it.
        const auto* key = reinterpret_cast<const unsigned char*>(buffer.data());
        for (std::size_t i = begin; i < end; ++i) {
            keyed[i].key = key;
            keyed[i].head = KeyHead(key, keyed[i].size);
            key += keyed[i].size;
        }
        steps.Step(t, end - begin);
    });
    if (steps.Aborted()) {
        return false;
    }

    // Runs sorted side by side, then merged pairwise pass by pass.
    auto at = [&keyed](std::vector<KeyedRow>& v, std::size_t i) {
        return v.begin() + static_cast<std::ptrdiff_t>(std::min(i, keyed.size()));
    };
    const std::size_t runs = (n + kRunLength - 1) / kRunLength;
    pool.RunInShares(
        runs, std::min<std::size_t>(threads, runs),
        [&](unsigned t, std::size_t begin, std::size_t end) {
            for (std::size_t r = begin; r < end && !steps.Aborted(); ++r) {
                std::sort(at(keyed, r * kRunLength), at(keyed, (r + 1) * kRunLength), KeyBefore);
                steps.Step(t, static_cast<std::size_t>(at(keyed, (r + 1) * kRunLength) -
                                                       at(keyed, r * kRunLength)));
            }
        });
    std::vector<KeyedRow> merged(n);
    for (std::size_t width = kRunLength; width < n && !steps.Aborted(); width *= 2) {
        const std::size_t pairs = (n + 2 * width - 1) / (2 * width);
        pool.RunInShares(pairs, std::min<std::size_t>(threads, pairs),
                         [&](unsigned t, std::size_t begin, std::size_t end) {
                             for (std::size_t p = begin; p < end && !steps.Aborted(); ++p) {
                                 const std::size_t from = p * 2 * width;
                                 std::merge(at(keyed, from), at(keyed, from + width),
                                            at(keyed, from + width), at(keyed, from + 2 * width),
                                            at(merged, from), KeyBefore);
                                 steps.Step(t, static_cast<std::size_t>(
                                                   at(keyed, from + 2 * width) - at(keyed, from)));
                             }
                         });
        keyed.swap(merged);
    }
    if (steps.Aborted()) {
        return false;
    }
    positions.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        positions[i] = keyed[i].position;
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
