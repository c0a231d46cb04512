#include "search/IndexRuns.h"

#include "text/Catalogue.h"

#include <queue>

namespace cvx {

namespace {

constexpr std::size_t kRunBuffer = std::size_t{1} << 20;

Outcome Damaged() {
    return Outcome::Error(Message(msg::Searching::IndexRunDamaged));
}

// The gaps of a list as reference numbers.
bool DecodeGaps(std::string_view gaps, std::uint32_t count, std::vector<std::uint32_t>& out) {
    out.clear();
    out.reserve(count);
    std::size_t at = 0;
    std::int64_t running = -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t gap = 0;
        if (!GetVarint(gaps, at, gap) || gap == 0) {
            return false;
        }
        running += gap;
        if (running > 0xFFFFFFFF) {
            return false;
        }
        out.push_back(static_cast<std::uint32_t>(running));
    }
    return at == gaps.size();
}

class RunReader final : public PostingSource {
public:
    explicit RunReader(std::unique_ptr<ReadableFile> file) : file_(std::move(file)) {}

    bool Next(IndexPosting& posting, Outcome& failure) override {
        std::string head;
        if (!Take(2, head, failure)) {
            return false; // the end, or a failure
        }
        posting.field = static_cast<unsigned char>(head[0]);
        std::string gaps;
        std::uint32_t count = 0;
        std::uint32_t size = 0;
        if (!Take(static_cast<unsigned char>(head[1]), posting.word, failure) ||
            !TakeVarint(count, failure) || !TakeVarint(size, failure) ||
            !Take(size, gaps, failure)) {
            failure = failure.ok() ? Damaged() : failure;
            return false;
        }
        if (!DecodeGaps(gaps, count, posting.references)) {
            failure = Damaged();
            return false;
        }
        return true;
    }

private:
    // The next n bytes; false at the end of the file (with `failure` set when it ended inside).
    bool Take(std::size_t n, std::string& out, Outcome& failure) {
        out.clear();
        while (out.size() < n) {
            if (at_ == buffer_.size() && !Fill(failure)) {
                if (!out.empty() || n == 0) {
                    failure = failure.ok() ? Damaged() : failure;
                }
                return n == 0;
            }
            const std::size_t take = std::min(n - out.size(), buffer_.size() - at_);
            out.append(buffer_, at_, take);
            at_ += take;
        }
        return true;
    }

    bool TakeVarint(std::uint32_t& v, Outcome& failure) {
        std::string bytes;
        for (int i = 0; i < 5; ++i) {
            std::string b;
            if (!Take(1, b, failure)) {
                return false;
            }
            bytes += b;
            if ((static_cast<unsigned char>(b[0]) & 0x80) == 0) {
                std::size_t at = 0;
                return GetVarint(bytes, at, v);
            }
        }
        return false;
    }

    bool Fill(Outcome& failure) {
        buffer_.resize(kRunBuffer);
        std::size_t got = 0;
        if (Outcome r = file_->ReadAt(offset_, buffer_.data(), buffer_.size(), got); !r) {
            failure = r;
            buffer_.clear();
            at_ = 0;
            return false;
        }
        buffer_.resize(got);
        offset_ += got;
        at_ = 0;
        return got > 0;
    }

    std::unique_ptr<ReadableFile> file_;
    std::uint64_t offset_ = 0;
    std::string buffer_;
    std::size_t at_ = 0;
};

class TableReader final : public PostingSource {
public:
    explicit TableReader(const IndexWordTable& table) : lists_(table.Sorted()) {}

    bool Next(IndexPosting& posting, Outcome& failure) override {
        if (next_ == lists_.size()) {
            return false;
        }
        const IndexWordTable::Listed& l = lists_[next_++];
        posting.field = l.field;
        posting.word.assign(l.word);
        if (!DecodeGaps(l.list->gaps, l.list->count, posting.references)) {
            failure = Damaged();
            return false;
        }
        return true;
    }

private:
    std::vector<IndexWordTable::Listed> lists_;
    std::size_t next_ = 0;
};

} // namespace

Outcome WriteIndexRun(const IndexWordTable& table, WritableFile& out) {
    std::string buffer;
    for (const IndexWordTable::Listed& l : table.Sorted()) {
        buffer.push_back(static_cast<char>(l.field));
        buffer.push_back(static_cast<char>(l.word.size()));
        buffer.append(l.word);
        PutVarint(buffer, l.list->count);
        PutVarint(buffer, static_cast<std::uint32_t>(l.list->gaps.size()));
        buffer.append(l.list->gaps);
        if (buffer.size() >= kRunBuffer) {
            if (Outcome r = out.Append(buffer); !r) {
                return r;
            }
            buffer.clear();
        }
    }
    return out.Append(buffer);
}

std::unique_ptr<PostingSource> ReadIndexRun(std::unique_ptr<ReadableFile> file) {
    return std::make_unique<RunReader>(std::move(file));
}

std::unique_ptr<PostingSource> ReadIndexTable(const IndexWordTable& table) {
    return std::make_unique<TableReader>(table);
}

Outcome MergePostings(std::vector<std::unique_ptr<PostingSource>>& sources,
                      const std::function<Outcome(const IndexPosting&)>& visit) {
    std::vector<IndexPosting> heads(sources.size());
    // Smallest (field, word) first, and of equal ones the earlier source.
    const auto later = [&](std::size_t a, std::size_t b) {
        if (heads[a].field != heads[b].field) {
            return heads[a].field > heads[b].field;
        }
        const int c = heads[a].word.compare(heads[b].word);
        return c != 0 ? c > 0 : a > b;
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> queue(later);
    Outcome failure;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (sources[i]->Next(heads[i], failure)) {
            queue.push(i);
        } else if (!failure) {
            return failure;
        }
    }
    IndexPosting merged;
    while (!queue.empty()) {
        const std::size_t i = queue.top();
        queue.pop();
        if (!merged.word.empty() &&
            (merged.field != heads[i].field || merged.word != heads[i].word)) {
            if (Outcome r = visit(merged); !r) {
                return r;
            }
            merged.word.clear();
        }
        if (merged.word.empty()) {
            merged.field = heads[i].field;
            merged.word = heads[i].word;
            merged.references.clear();
        }
        merged.references.insert(merged.references.end(), heads[i].references.begin(),
                                 heads[i].references.end());
        if (sources[i]->Next(heads[i], failure)) {
            queue.push(i);
        } else if (!failure) {
            return failure;
        }
    }
    return merged.word.empty() ? Outcome::Ok() : visit(merged);
}

} // namespace cvx
