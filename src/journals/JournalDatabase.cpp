#include "journals/JournalDatabase.h"

#include "journals/BlockCodec.h"
#include "journals/JournalNames.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"

#include <algorithm>

namespace cvx {

namespace {

// Block reads are widened to these boundaries of the file.
constexpr std::uint64_t kReadAlignment = 512;

bool SameFile(const FileInfo& a, const FileInfo& b) {
    return a.size == b.size && a.modifiedNs == b.modifiedNs && a.inode == b.inode;
}

bool Serves(std::uint8_t flags, JournalForm form) {
    switch (form) {
    case JournalForm::Alternate:
        return flags == 0;
    case JournalForm::AnyName:
        return true;
    case JournalForm::WithSuffix:
    case JournalForm::RecordNumber:
        return (flags & kJournalFlagFullName) != 0;
    default: {
        const int bit = static_cast<int>(form);
        return bit > 0 && bit < 8 && (flags & (1 << bit)) != 0;
    }
    }
}

} // namespace

std::string JournalCountText(long count) {
    const std::string digits = std::to_string(count < 0 ? -count : count);
    const std::string sign = count < 0 ? "-" : "";
    if (digits.size() <= 3) {
        return sign + digits;
    }
    const std::size_t split = digits.size() - 3;
    return sign + digits.substr(0, split) + "," + digits.substr(split);
}

std::string JournalErrorText(JournalError e) {
    // The texts of codes 1 to 11 follow each other from "Name not found"; then "Unknown error".
    const int code = static_cast<int>(e);
    return Message(code >= 1 && code <= 11 ? msg::JournalNames::ErrorNameNotFound + (code - 1)
                                           : msg::JournalNames::ErrorUnknown);
}

JournalDatabase::JournalDatabase(FileSystem& fs) : fs_(fs) {}

JournalDatabase::~JournalDatabase() = default;

void JournalDatabase::SetError(JournalError e) {
    if (!IsJournalFailure(error_)) {
        error_ = e;
    }
}

JournalError JournalDatabase::Open(const std::string& path, JournalOpenMode mode) {
    if (IsJournalFailure(error_)) {
        return error_;
    }
    if (path.empty() || rejected_.contains(path)) {
        SetError(JournalError::CannotOpen);
        return error_;
    }
    const FileInfo info = fs_.Stat(path);
    if (!info.exists || info.isDirectory) {
        Close();
        SetError(JournalError::CannotOpen);
        return error_;
    }
    if (mode == JournalOpenMode::ReadWrite && !info.writable) {
        SetError(JournalError::CannotModify);
        return error_;
    }
    mode_ = mode;
    if (file_ && path == path_ && SameFile(info, identity_)) {
        return JournalError::None;
    }
    Close();
    Outcome r;
    std::unique_ptr<ReadableFile> file = fs_.OpenForRead(path, r);
    if (!file) {
        SetError(JournalError::CannotOpen);
        return error_;
    }
    std::string head(
        static_cast<std::size_t>(std::min<std::uint64_t>(info.size, kJournalIndexReadSize)), '\0');
    std::size_t got = 0;
    if (!file->ReadAt(0, head.data(), head.size(), got) || got != head.size()) {
        SetError(JournalError::TransferFailed);
        return error_;
    }
    if (const JournalError e = index_.Read(head, info.size); e != JournalError::None) {
        SetError(e);
        return error_;
    }
    file_ = std::move(file);
    path_ = path;
    identity_ = info;
    blocks_.assign(static_cast<std::size_t>(index_.BlockCount()), Block{});
    return JournalError::None;
}

JournalError JournalDatabase::OpenForJob(const std::string& path, std::uint64_t job) {
    const auto now = std::chrono::steady_clock::now();
    if (job != 0 && job == checkedJob_ && Usable() && path == path_ &&
        now - checkedAt_ < std::chrono::seconds(1)) {
        return JournalError::None;
    }
    const JournalError e = Open(path, JournalOpenMode::Read);
    if (e == JournalError::None) {
        checkedJob_ = job;
        checkedAt_ = now;
    }
    return e;
}

void JournalDatabase::Close() {
    checkedJob_ = 0;
    file_.reset();
    path_.clear();
    identity_ = {};
    index_ = {};
    blocks_.clear();
}

bool JournalDatabase::Check(const std::string& path) {
    ResetError();
    const bool ok = Open(path, JournalOpenMode::Read) == JournalError::None;
    if (!ok) {
        rejected_.insert(path);
    }
    return ok;
}

bool JournalDatabase::LoadBlock(int block) {
    if (!Usable() || block < 0 || block >= BlockCount()) {
        SetError(file_ ? JournalError::Inconsistent : JournalError::CannotOpen);
        return false;
    }
    Block& b = blocks_[static_cast<std::size_t>(block)];
    if (b.loaded) {
        return true;
    }
    const std::uint64_t start = index_.BlockStart(block);
    const std::uint64_t end = index_.BlockEnd(block);
    if (end - start > kJournalMaxCompressedBlock) {
        SetError(JournalError::Malformed);
        return false;
    }
    const std::uint64_t from = start / kReadAlignment * kReadAlignment;
    const std::uint64_t to = std::min<std::uint64_t>(
        index_.FileSize(), (end + kReadAlignment - 1) / kReadAlignment * kReadAlignment);
    std::string bytes(static_cast<std::size_t>(to - from), '\0');
    std::size_t got = 0;
    if (!file_->ReadAt(from, bytes.data(), bytes.size(), got) || got != bytes.size()) {
        SetError(JournalError::TransferFailed);
        return false;
    }
    const std::string_view compressed = std::string_view(bytes).substr(
        static_cast<std::size_t>(start - from), static_cast<std::size_t>(end - start));
    if (ExpandBlock(compressed, b.expanded) != JournalError::None) {
        b.expanded.clear();
        SetError(JournalError::Malformed);
        return false;
    }
    if (const JournalError e = ParseTable(block, b); e != JournalError::None) {
        b.expanded.clear();
        b.entries.clear();
        SetError(e);
        return false;
    }
    b.loaded = true;
    return true;
}

JournalError JournalDatabase::ParseTable(int block, Block& b) const {
    const std::size_t count =
        static_cast<std::size_t>(index_.EndRecord(block) - index_.FirstRecord(block));
    const std::string_view data = b.expanded;
    const std::size_t table = count * kJournalTableEntrySize;
    if (table > data.size() || (count == 0 && !data.empty())) {
        return JournalError::Inconsistent;
    }
    // A block's records lie between the signatures of its own first record and the next block's.
    std::uint16_t lowest = index_.FirstSignature(block);
    const std::uint16_t highest =
        block + 1 < BlockCount() ? index_.FirstSignature(block + 1) : kJournalSignatureLimit - 1;
    b.entries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * kJournalTableEntrySize;
        Entry& e = b.entries[i];
        e.flags = static_cast<std::uint8_t>(data[at]);
        e.signature = GetLe16(data, at + 1);
        e.dataBegin = GetLe16(data, at + 3);
        e.next = GetLe16(data, at + 5);
        if (e.signature < lowest || e.signature > highest) {
            return JournalError::Inconsistent;
        }
        lowest = e.signature;
    }
    if (count > 0 && (b.entries[0].dataBegin != table ||
                      (block > 0 && b.entries[0].signature != index_.FirstSignature(block)))) {
        return JournalError::Inconsistent;
    }
    for (std::size_t i = 0; i < count; ++i) {
        Entry& e = b.entries[i];
        const std::size_t end = i + 1 < count ? b.entries[i + 1].dataBegin : data.size();
        const std::size_t prefix = ((e.flags & kJournalFlagIssn) ? kJournalPackedIssnSize : 0) +
                                   ((e.flags & kJournalFlagExtra) ? 1 : 0);
        if (end < e.dataBegin || end > data.size() || end - e.dataBegin < prefix ||
            end - e.dataBegin - prefix > kJournalMaxNameLength) {
            return JournalError::Inconsistent;
        }
        e.nameBegin = static_cast<std::uint16_t>(e.dataBegin + prefix);
        e.nameEnd = static_cast<std::uint16_t>(end);
    }
    return JournalError::None;
}

std::optional<JournalRecordView> JournalDatabase::Record(int record) {
    if (!Usable() || record < 0 || record >= RecordCount()) {
        SetError(file_ ? JournalError::Inconsistent : JournalError::CannotOpen);
        return std::nullopt;
    }
    const int block = index_.BlockOfRecord(record);
    if (!LoadBlock(block)) {
        return std::nullopt;
    }
    const Block& b = blocks_[static_cast<std::size_t>(block)];
    const Entry& e = b.entries[static_cast<std::size_t>(record - index_.FirstRecord(block))];
    const std::string_view data = b.expanded;
    JournalRecordView v;
    v.flags = e.flags;
    v.signature = e.signature;
    v.next = e.next;
    v.name = data.substr(e.nameBegin, e.nameEnd - e.nameBegin);
    std::size_t at = e.dataBegin;
    if (e.flags & kJournalFlagIssn) {
        v.packedIssn = data.substr(at, kJournalPackedIssnSize);
        at += kJournalPackedIssnSize;
    }
    if (e.flags & kJournalFlagExtra) {
        v.extra = static_cast<std::uint8_t>(data[at]);
    }
    return v;
}

const std::string* JournalDatabase::NormalisedName(int record) {
    if (!Record(record)) {
        return nullptr;
    }
    const int block = index_.BlockOfRecord(record);
    Block& b = blocks_[static_cast<std::size_t>(block)];
    if (b.normalised.empty() && !b.entries.empty()) {
        b.normalised.reserve(b.entries.size());
        for (const Entry& e : b.entries) {
            b.normalised.push_back(NormaliseJournalName(
                std::string_view(b.expanded).substr(e.nameBegin, e.nameEnd - e.nameBegin)));
        }
    }
    return &b.normalised[static_cast<std::size_t>(record - index_.FirstRecord(block))];
}

std::optional<int> JournalDatabase::FindInRing(int record, JournalForm form) {
    int r = record;
    for (int step = 0; step < kJournalMaxRingSteps; ++step) {
        const std::optional<JournalRecordView> v = Record(r);
        if (!v) {
            return std::nullopt;
        }
        if (Serves(v->flags, form)) {
            return r;
        }
        if (v->next >= RecordCount()) {
            SetError(JournalError::Inconsistent);
            return std::nullopt;
        }
        if (v->next == record) {
            return std::nullopt;
        }
        r = v->next;
    }
    SetError(JournalError::Inconsistent);
    return std::nullopt;
}

std::optional<std::string> JournalDatabase::FormName(int record, JournalForm form) {
    const std::optional<int> found = FindInRing(record, form);
    if (!found) {
        return std::nullopt;
    }
    const std::optional<JournalRecordView> v = Record(*found);
    if (!v) {
        return std::nullopt;
    }
    switch (form) {
    case JournalForm::Issn: {
        std::optional<std::string> issn = UnpackIssn(v->packedIssn);
        if (!issn) {
            SetError(JournalError::Inconsistent);
        }
        return issn;
    }
    case JournalForm::RecordNumber:
        return std::to_string(*found);
    case JournalForm::WithSuffix: {
        std::string text(v->name);
        const std::optional<Rank> rank = EqualNameRank(*found);
        if (!rank) {
            return std::nullopt;
        }
        if (rank->of > 1) {
            text += " #";
            text += AmbiguityMark(rank->place);
        }
        if (const std::optional<std::string> issn = FormName(*found, JournalForm::Issn);
            issn && text.size() + issn->size() + 3 < 240) {
            text += " [" + *issn + "]";
        }
        if (IsJournalFailure(error_)) {
            return std::nullopt;
        }
        return text;
    }
    default:
        return std::string(v->name);
    }
}

int JournalDatabase::FindBySignature(std::uint16_t signature) {
    if (!Usable()) {
        return -1;
    }
    for (int block = index_.LastBlockBelow(signature); block < BlockCount(); ++block) {
        if (!LoadBlock(block)) {
            return -1;
        }
        const std::vector<Entry>& entries = blocks_[static_cast<std::size_t>(block)].entries;
        const auto it =
            std::lower_bound(entries.begin(), entries.end(), signature,
                             [](const Entry& e, std::uint16_t s) { return e.signature < s; });
        if (it != entries.end()) {
            return index_.FirstRecord(block) + static_cast<int>(it - entries.begin());
        }
    }
    return RecordCount();
}

int JournalDatabase::FindByIssn(std::string_view packedIssn) {
    for (int r = 0; r < RecordCount(); ++r) {
        const std::optional<JournalRecordView> v = Record(r);
        if (!v) {
            return -1;
        }
        if ((v->flags & kJournalFlagIssn) && v->packedIssn == packedIssn) {
            return r;
        }
    }
    return -1;
}

std::optional<JournalDatabase::Rank> JournalDatabase::EqualNameRank(int record) {
    const std::optional<JournalRecordView> v = Record(record);
    const std::string* own = NormalisedName(record);
    if (!v || !own) {
        return std::nullopt;
    }
    const std::string name = *own;
    Rank rank;
    for (int r = FindBySignature(v->signature); r >= 0 && r < RecordCount(); ++r) {
        const std::optional<JournalRecordView> other = Record(r);
        const std::string* normalised = NormalisedName(r);
        if (!other || !normalised) {
            return std::nullopt;
        }
        if (other->signature != v->signature) {
            break;
        }
        if (*normalised == name) {
            ++rank.of;
            if (r == record) {
                rank.place = rank.of;
            }
        }
    }
    if (IsJournalFailure(error_)) {
        return std::nullopt;
    }
    return rank;
}

std::optional<JournalCounts> JournalDatabase::Statistics() {
    JournalCounts counts;
    for (int r = 0; r < RecordCount(); ++r) {
        const std::optional<JournalRecordView> v = Record(r);
        if (!v) {
            return std::nullopt;
        }
        ++counts.records;
        if (v->flags == 0) {
            ++counts.alternateNames;
        }
        for (int bit = 0; bit < 7; ++bit) {
            if (v->flags & (1 << bit)) {
                ++counts.withBit[static_cast<std::size_t>(bit)];
            }
        }
    }
    return counts;
}

JournalDatabase& ThreadJournalDatabase() {
    thread_local JournalDatabase database;
    return database;
}

} // namespace cvx
