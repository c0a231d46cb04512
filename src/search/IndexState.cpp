#include "search/IndexState.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "search/SearchExpression.h"
#include "search/StreamSink.h"
#include "storage/TextHash.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

namespace cvx {

namespace {

// Whether the text is the one the index was built from, or begins with it.
bool BuiltFromThisText(const IndexHeader& header, const ReferenceReader& reader) {
    const TextStamp& stamp = reader.Stamp();
    if (stamp.size == header.text.size && stamp.modifiedNs == header.text.modifiedNs &&
        static_cast<std::uint32_t>(stamp.inode) == header.text.inode) {
        return true; // the very file, untouched since
    }
    if (reader.TextSize() < header.text.size) {
        return false;
    }
    TextHash hash;
    StreamSink sink([&](std::string_view bytes) {
        hash.Add(bytes);
        return Outcome::Ok();
    });
    return reader.CopyTo(0, header.text.size, sink).ok() && hash.Value() == header.text.hash;
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
    if (!BuiltFromThisText(header, reader)) {
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
