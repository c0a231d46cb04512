#include "search/IndexState.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceReader.h"
#include "search/SearchExpression.h"
#include "search/StreamSink.h"
#include "storage/TextHash.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>

namespace cvx {

namespace {

// The versions of reference texts this process has read and found to begin with the text an
// index was built from, so that the searches of a desktop session read a grown or touched text
// once rather than at every query. A version is the file (device and inode) with its size and
// both its times; the status-change time moves with every write and cannot be set back. A version
// is remembered only once that time lies further back than the coarsest time stamps file systems
// keep, so that a write within the same tick as the one before cannot pass for the version seen.
class VerifiedTexts {
public:
    static VerifiedTexts& OfProcess() {
        static VerifiedTexts texts;
        return texts;
    }

    bool Contains(const TextStamp& stamp, const IndexedText& text) {
        const std::lock_guard lock(mutex_);
        return std::find(entries_.begin(), entries_.end(), Entry{stamp, text}) != entries_.end();
    }

    void Add(const TextStamp& stamp, const IndexedText& text) {
        const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
        if (now - stamp.changedNs < kSettledNs) {
            return;
        }
        const std::lock_guard lock(mutex_);
        if (std::find(entries_.begin(), entries_.end(), Entry{stamp, text}) != entries_.end()) {
            return;
        }
        if (entries_.size() == kKept) {
            entries_.pop_front();
        }
        entries_.push_back({stamp, text});
    }

private:
    static constexpr std::int64_t kSettledNs = 3'000'000'000; // FAT keeps two seconds
    static constexpr std::size_t kKept = 64;

    struct Entry {
        TextStamp stamp;
        IndexedText text;
        bool operator==(const Entry&) const = default;
    };
    std::mutex mutex_;
    std::deque<Entry> entries_;
};

// Whether the text is the one the index was built from, or begins with it.
bool BuiltFromThisText(FileSystem& fs, const IndexHeader& header, const ReferenceReader& reader) {
    const TextStamp& stamp = reader.Stamp();
    if (stamp.size == header.text.size && stamp.modifiedNs == header.text.modifiedNs &&
        static_cast<std::uint32_t>(stamp.inode) == header.text.inode) {
        return true; // the very file, untouched since
    }
    if (reader.TextSize() < header.text.size) {
        return false;
    }
    // The reader reads the file it opened as it is now; a version read before still holds when
    // the file has not changed since the reader was made.
    VerifiedTexts& verified = VerifiedTexts::OfProcess();
    if (verified.Contains(stamp, header.text) && ReaderIsCurrent(fs, reader)) {
        return true;
    }
    TextHash hash;
    StreamSink sink([&](std::string_view bytes) {
        hash.Add(bytes);
        return Outcome::Ok();
    });
    if (!reader.CopyTo(0, header.text.size, sink).ok() || hash.Value() != header.text.hash) {
        return false;
    }
    if (ReaderIsCurrent(fs, reader)) {
        verified.Add(stamp, header.text);
    }
    return true;
}

IndexStatus Problem(IndexProblem problem, int missingField = 0) {
    IndexStatus s;
    s.problem = problem;
    s.missingField = missingField;
    return s;
}

} // namespace

std::string IndexStatus::Message(std::string_view referenceFile) const {
    const std::string name = DisplayPath(referenceFile);
    switch (problem) {
    case IndexProblem::None:
        return {};
    case IndexProblem::Missing:
        return Msg(msg::Searching::IndexMissing, name);
    case IndexProblem::Damaged:
        return Msg(msg::Searching::IndexDamaged, name);
    case IndexProblem::NotVerifiable:
        return Msg(msg::Searching::IndexNotVerifiable, name);
    case IndexProblem::OutOfDate:
        return Msg(msg::Searching::IndexOutOfDate, name);
    case IndexProblem::Empty:
        return Msg(msg::Searching::IndexEmpty, name);
    case IndexProblem::CoversMore:
        return Msg(msg::Searching::IndexCoversMore, name);
    case IndexProblem::FieldMissing:
        // Only the fields of the field operators are asked for by searches.
        if (missingField < static_cast<int>(FieldScope::Identification) ||
            missingField > static_cast<int>(FieldScope::Abstract)) {
            return {};
        }
        return Msg(msg::RefWin::OperatorNotIndexed,
                   OperatorName(OperatorOf(static_cast<FieldScope>(missingField))));
    }
    return {};
}

std::string IndexFileOf(FileSystem& fs, const std::string& referenceFile) {
    return CompanionPath(fs, referenceFile, kIndexExt);
}

IndexStatus CheckWordIndex(FileSystem& fs, const ReferenceReader& reader,
                           std::uint32_t requestedFields, WordIndex* index) {
    WordIndex local;
    WordIndex& opened = index != nullptr ? *index : local;
    const IndexOpening opening = opened.Open(fs, IndexFileOf(fs, reader.FileName()));
    if (opening != IndexOpening::Opened) {
        return Problem(opening == IndexOpening::Missing ? IndexProblem::Missing
                                                        : IndexProblem::Damaged);
    }
    const IndexHeader& header = opened.Header();
    if (!header.textKnown) {
        return Problem(IndexProblem::NotVerifiable);
    }
    if (header.referenceCount == 0) {
        return Problem(IndexProblem::Empty);
    }
    if (!BuiltFromThisText(fs, header, reader)) {
        return Problem(IndexProblem::OutOfDate);
    }
    const auto count = static_cast<std::uint32_t>(reader.Count());
    if (header.referenceCount > count) {
        return Problem(IndexProblem::CoversMore);
    }
    for (int field = kFirstIndexField; field <= kLastIndexField; ++field) {
        const bool lacks = field == kYearLineField
                               ? (header.fieldMask & kYearPartsMask) != kYearPartsMask
                               : !header.HasField(field);
        if ((requestedFields >> field & 1u) != 0 && lacks) {
            return Problem(IndexProblem::FieldMissing, field);
        }
    }
    IndexStatus s;
    s.problem = IndexProblem::None;
    s.state = header.referenceCount == count ? 1 : 2;
    return s;
}

int IndexState(const TReferenceFile& file, std::uint32_t requestedFields, FileSystem& fs) {
    if (!file.IsOpen()) {
        return 0;
    }
    return CheckWordIndex(fs, *file.Reader(), requestedFields).state;
}

IndexOffer OfferedIndex(const TReferenceFile& file, FileSystem& fs) {
    if (!file.IsOpen()) {
        return {};
    }
    WordIndex index;
    const IndexStatus status = CheckWordIndex(fs, *file.Reader(), 0, &index);
    if (status.state == 0) {
        return {};
    }
    return {status.state, SearchableFields(index.Header())};
}

std::uint32_t ExpressionFieldMask(std::string_view expression) {
    std::uint32_t mask = 0;
    for (int t = static_cast<int>(Token::Id); t <= static_cast<int>(Token::Ab); ++t) {
        const auto token = static_cast<Token>(t);
        if (expression.find(InfoOf(token).text) != std::string_view::npos) {
            mask |= 1u << static_cast<int>(ScopeOf(token));
        }
    }
    return mask;
}

std::uint32_t SearchableFields(const IndexHeader& header) {
    std::uint32_t mask = 0;
    for (int field = kFirstIndexField; field <= kLastIndexField; ++field) {
        if (header.HasField(field) && header.Section(field).wordCount > 1) {
            mask |= 1u << field;
        }
    }
    if ((mask & kYearPartsMask) != 0) {
        mask |= 1u << kYearLineField;
    }
    return mask;
}

} // namespace cvx
