#include "refstore/ReferenceFile.h"

#include "refstore/Companions.h"
#include "refstore/OrderFile.h"
#include "storage/FileRewrite.h"
#include "text/AuthorNames.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <limits>

namespace cvx {

namespace {

constexpr std::size_t kWindowSize = std::size_t{256} * 1024;
constexpr std::size_t kWindowBack = 4096;
constexpr std::size_t kMaxTailCheck = std::size_t{64} * 1024;
constexpr std::uint64_t kMaxTextSize = std::numeric_limits<std::uint32_t>::max();

bool IsBlockStartAt(std::string_view bytes) {
    return bytes.size() >= 2 && IsBlankByte(static_cast<unsigned char>(bytes[0])) &&
           IsPrintableByte(static_cast<unsigned char>(bytes[1]));
}

// True when `tail` (the text after the last mapped block) holds the start of another block.
bool HoldsBlockStart(std::string_view tail) {
    for (std::size_t i = 0; i + 2 < tail.size(); ++i) {
        if (tail[i] == '\n' && IsBlockStartAt(tail.substr(i + 1))) {
            return true;
        }
    }
    return false;
}

} // namespace

TReferenceFile::TReferenceFile(FileSystem& fs) : fs_(fs) {}

TReferenceFile::~TReferenceFile() = default;

void TReferenceFile::Reset() {
    name_.clear();
    open_ = false;
    taggedOnly_ = false;
    snapshot_ = {};
    text_.reset();
    map_.clear();
    deleted_ = 0;
    window_.clear();
    windowStart_ = 0;
    current_ = position_ = 0;
    orderKind_ = DisplayOrder::Original;
    order_.clear();
    inverse_.clear();
    split_ = {};
    parsed_ = {};
    tagged_ = located_ = suspect_ = ruined_ = present_ = RefSet();
    rawFirst_ = rawLast_ = -1;
    rawOffset_ = rawLength_ = 0;
}

void TReferenceFile::ShowStatus(std::string_view text) const {
    if (progress_) {
        progress_->SetStatus(text);
    }
}

TReferenceFile::Snapshot TReferenceFile::TakeSnapshot() const {
    const FileInfo info = fs_.Stat(name_);
    return {info.size, info.modifiedNs, info.inode};
}

Outcome TReferenceFile::Open(const std::string& fileName, DisplayOrder displayKind) {
    Reset();
    name_ = fileName;
    orderKind_ = displayKind;
    const FileInfo info = fs_.Stat(name_);
    if (!info.exists || info.isDirectory) {
        return Outcome::Ok();
    }
    if (Outcome r = OpenText(); !r) {
        return r;
    }
    if (Outcome r = LoadOrBuildMap(); !r) {
        map_.clear();
        text_.reset();
        return r;
    }
    open_ = true;
    const int n = RefCount();
    tagged_.LoadFromFile(fs_, CompanionPath(fs_, name_, kTagExt), n);
    located_ = suspect_ = ruined_ = RefSet(n);
    RebuildPresentSet();
    ApplyDisplayOrder();
    return n > 0 ? MakeCurrent(0) : Outcome::Ok();
}

Outcome TReferenceFile::OpenText() {
    Outcome r;
    text_ = fs_.OpenForRead(name_, r);
    if (!text_) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name_)) + "\r" +
                              r.message());
    }
    snapshot_ = TakeSnapshot();
    window_.clear();
    if (snapshot_.size > kMaxTextSize) {
        text_.reset();
        return Outcome::Error(Msg(msg::Citavox::FileTooLarge, DisplayPath(name_)));
    }
    return Outcome::Ok();
}

Outcome TReferenceFile::LoadOrBuildMap() {
    const std::string mapPath = CompanionPath(fs_, name_, kMapExt);
    if (!CompanionOutdated(fs_, name_, mapPath)) {
        std::string image;
        if (ReadWholeFile(fs_, mapPath, image) && MapFromImage(image, snapshot_.size, map_) &&
            MapFitsText()) {
            return Outcome::Ok();
        }
    }
    return BuildAndSaveMap();
}

bool TReferenceFile::MapFitsText() {
    if (map_.empty()) {
        return false;
    }
    const MapEntry& last = map_.back();
    std::string bytes;
    const std::uint64_t end = std::uint64_t{last.offset} + last.length;
    const std::uint64_t tail = snapshot_.size - end;
    if (tail > kMaxTailCheck) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(tail) + 2);
    std::size_t got = 0;
    // The last block must start where the map says, and nothing after it may look like a block.
    if (!text_->ReadAt(last.offset, bytes.data(), 2, got) || got != 2 || !IsBlockStartAt(bytes)) {
        return false;
    }
    if (tail == 0) {
        return true;
    }
    bytes.assign(static_cast<std::size_t>(tail) + 1, '\0');
    if (!text_->ReadAt(end - 1, bytes.data(), bytes.size(), got) || got != bytes.size()) {
        return false;
    }
    return !HoldsBlockStart(bytes);
}

Outcome TReferenceFile::BuildAndSaveMap() {
    if (busy_) {
        return Outcome::Error(Msg(msg::Threads::ThreadsBusy));
    }
    busy_ = true;
    ShowStatus(Msg(msg::RefWin::MappingFile));
    MapBuildResult result;
    Outcome r = BuildMap(*text_, snapshot_.size, progress_, result);
    busy_ = false;
    if (!r) {
        return r.aborted() ? r
                           : Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)) +
                                            "\r" + r.message());
    }
    if (result.lineEnds != LineEnds::CrLf) {
        const msg::Citavox kind = result.lineEnds == LineEnds::LfOnly   ? msg::Citavox::LfOnly
                                  : result.lineEnds == LineEnds::CrOnly ? msg::Citavox::CrOnly
                                                                        : msg::Citavox::Mixed;
        return Outcome::Error(Msg(msg::Citavox::WrongLineEnds, DisplayPath(name_), Message(kind)));
    }
    if (result.tooLarge) {
        return Outcome::Error(Msg(msg::Citavox::ReferenceTooLong,
                                  std::to_string(result.tooLargeIndex + 1), DisplayPath(name_),
                                  std::to_string(result.tooLargeLength)));
    }
    map_ = std::move(result.entries);
    // A folder we cannot write to still lets the file open: the map then lives in memory only.
    if (!map_.empty()) {
        (void)WriteFileAtomically(fs_, ChangeExt(name_, kMapExt), MapToImage(map_));
    }
    ShowStatus(Msg(msg::RefWin::MappingCompleted));
    return Outcome::Ok();
}

void TReferenceFile::RebuildPresentSet() {
    present_ = RefSet(RefCount(), true);
    deleted_ = 0;
    for (std::size_t i = 0; i < map_.size(); ++i) {
        if (map_[i].length < kMinPresentLength) {
            present_.Clear(static_cast<int>(i));
            ++deleted_;
        }
    }
}

void TReferenceFile::ApplyDisplayOrder() {
    order_.clear();
    inverse_.clear();
    const std::string orderPath = CompanionPath(fs_, name_, kOrderExt);
    if (orderKind_ != DisplayOrder::Original && OrderFileValid(fs_, orderPath, name_, RefCount()) &&
        LoadOrder(fs_, orderPath, RefCount(), orderKind_, order_)) {
        inverse_.resize(order_.size());
        for (std::size_t pos = 0; pos < order_.size(); ++pos) {
            inverse_[order_[pos]] = static_cast<std::int32_t>(pos);
        }
        return;
    }
    orderKind_ = DisplayOrder::Original;
}

int TReferenceFile::VisibleCount() const {
    return orderKind_ == DisplayOrder::Original ? RefCount() : RefCount() - deleted_;
}

int TReferenceFile::DisplayToAbsolute(int displayPosition) const {
    if (order_.empty() || displayPosition < 0 || displayPosition >= RefCount()) {
        return displayPosition;
    }
    return order_[displayPosition];
}

int TReferenceFile::AbsoluteToDisplay(int absoluteIndex) const {
    if (inverse_.empty() || absoluteIndex < 0 || absoluteIndex >= RefCount()) {
        return absoluteIndex;
    }
    return inverse_[absoluteIndex];
}

Outcome TReferenceFile::Disconnect() {
    Outcome r = Outcome::Error(Msg(msg::RefWin::FileDisconnected, DisplayPath(name_)));
    Reset();
    return r;
}

Outcome TReferenceFile::ReadBlock(std::size_t index, std::string& bytes) {
    if (!open_ || index >= map_.size()) {
        return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)));
    }
    const MapEntry entry = map_[index];
    const std::uint64_t end = std::uint64_t{entry.offset} + entry.length;
    if (entry.offset < windowStart_ || end > windowStart_ + window_.size()) {
        const Snapshot now = TakeSnapshot();
        if (now.inode == 0) {
            return Disconnect(); // the file is gone
        }
        if (now != snapshot_) {
            // Changed behind our back: the map no longer describes the text.
            const std::string name = name_;
            if (Outcome r = Refresh(); !r) {
                return r;
            }
            return Outcome::Error(Msg(msg::Citavox::FileChangedOutside, DisplayPath(name)));
        }
        windowStart_ = entry.offset > kWindowBack ? entry.offset - kWindowBack : 0;
        const std::uint64_t want = std::max<std::uint64_t>(kWindowSize, end - windowStart_);
        window_.resize(static_cast<std::size_t>(std::min(want, snapshot_.size - windowStart_)));
        std::size_t got = 0;
        if (!text_->ReadAt(windowStart_, window_.data(), window_.size(), got) ||
            got != window_.size() || end > windowStart_ + window_.size()) {
            window_.clear();
            return Disconnect();
        }
    }
    bytes.assign(window_, static_cast<std::size_t>(entry.offset - windowStart_), entry.length);
    return Outcome::Ok();
}

Outcome TReferenceFile::MakeCurrent(int displayPosition) {
    const int n = RefCount();
    if (n == 0) {
        return Outcome::Ok();
    }
    // Moving to a reference is where a file that vanished or was changed by another program is
    // noticed: the former disconnects, the latter is mapped anew.
    const Snapshot now = TakeSnapshot();
    if (now.inode == 0) {
        return Disconnect();
    }
    if (now != snapshot_) {
        return RefreshKeepingPosition(displayPosition, true);
    }
    position_ = std::clamp(displayPosition, 0, n - 1);
    current_ = DisplayToAbsolute(position_);
    std::string bytes;
    if (Outcome r = ReadBlock(static_cast<std::size_t>(current_), bytes); !r) {
        return r;
    }
    split_ = SplitReferenceText(bytes);
    parsed_ = {};
    return Outcome::Ok();
}

Outcome TReferenceFile::GoTo(int displayPosition) {
    return MakeCurrent(displayPosition);
}

Outcome TReferenceFile::Next(bool wrap) {
    return Step(1, wrap);
}

Outcome TReferenceFile::Previous(bool wrap) {
    return Step(-1, wrap);
}

Outcome TReferenceFile::Step(int direction, bool wrap) {
    const int visible = VisibleCount();
    if (visible == 0) {
        return Outcome::Ok();
    }
    if (taggedOnly_) {
        for (int step = 1; step <= visible; ++step) {
            const int pos = ((position_ + direction * step) % visible + visible) % visible;
            if (tagged_.Test(DisplayToAbsolute(pos))) {
                return MakeCurrent(pos);
            }
        }
        return Outcome::Ok();
    }
    int pos = position_ + direction;
    if (pos >= visible || pos < 0) {
        pos = wrap ? (pos < 0 ? visible - 1 : 0) : std::clamp(pos, 0, visible - 1);
    }
    return MakeCurrent(pos);
}

const TRefArrData& TReferenceFile::ParseCurrent(bool check, const FormalCheck& journals) {
    std::string bytes;
    if (!open_ || RefCount() == 0 || !ReadBlock(static_cast<std::size_t>(current_), bytes)) {
        parsed_ = {};
        return parsed_;
    }
    ParsedReference result = ParseReference(bytes, check, journals);
    parsed_ = std::move(result.data);
    if (check) {
        suspect_.SetTo(current_, result.suspect);
        ruined_.SetTo(current_, result.ruined);
    } else {
        suspect_.SetTo(current_, result.suspect || suspect_.Test(current_));
        ruined_.SetTo(current_, result.ruined || ruined_.Test(current_));
    }
    return parsed_;
}

Outcome TReferenceFile::RawText(int absoluteIndex, std::string& bytes) {
    if (absoluteIndex < 0) {
        return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)));
    }
    return ReadBlock(static_cast<std::size_t>(absoluteIndex), bytes);
}

RefStatus TReferenceFile::Status(int displayPosition) const {
    const int abs = DisplayToAbsolute(displayPosition);
    if (!present_.Test(abs)) {
        return RefStatus::Deleted;
    }
    if (suspect_.Test(abs)) {
        return RefStatus::Suspect;
    }
    if (ruined_.Test(abs)) {
        return RefStatus::Ruined;
    }
    return RefStatus::FormallyCorrect;
}

bool TReferenceFile::SetTaggedOnly(bool on) {
    if (on && tagged_.Count() == 0) {
        return false;
    }
    taggedOnly_ = on;
    return true;
}

Outcome TReferenceFile::SortRecord(int absoluteIndex, TSortRec& record,
                                   const JournalLookup* journals, Collation collation) {
    std::string bytes;
    if (Outcome r = RawText(absoluteIndex, bytes); !r) {
        return r;
    }
    const ParsedReference parsed = ParseReference(bytes, false);
    record = MakeSortRecord(parsed.data, absoluteIndex, static_cast<int>(bytes.size()), journals,
                            collation);
    return Outcome::Ok();
}

Outcome TReferenceFile::ParsedAt(int absoluteIndex, TRefArrData& data) {
    std::string bytes;
    if (Outcome r = RawText(absoluteIndex, bytes); !r) {
        return r;
    }
    data = ParseReference(bytes, false).data;
    return Outcome::Ok();
}

Outcome TReferenceFile::KeysOf(int absoluteIndex, NumericKeys& keys) {
    TRefArrData d;
    if (Outcome r = ParsedAt(absoluteIndex, d); !r) {
        return r;
    }
    auto number = [](std::string_view field) {
        field = TrimView(field);
        while (!field.empty() && !IsDigit(field.front())) {
            field.remove_prefix(1);
        }
        return SortNumber(field);
    };
    keys.year = SortNumber(std::string_view(d[FieldIndex::Year]).substr(0, 4));
    keys.volume = number(d[FieldIndex::Volume]);
    keys.pageFirst = number(d[FieldIndex::PageFirst]);
    return Outcome::Ok();
}

Outcome TReferenceFile::TitleOf(int absoluteIndex, std::string& title) {
    TRefArrData d;
    if (Outcome r = ParsedAt(absoluteIndex, d); !r) {
        return r;
    }
    title = d[FieldIndex::Title];
    return Outcome::Ok();
}

Outcome TReferenceFile::SourceTitleOf(int absoluteIndex, std::string& title) {
    TRefArrData d;
    if (Outcome r = ParsedAt(absoluteIndex, d); !r) {
        return r;
    }
    title = d.sourceType == SourceType::Journal ? d[FieldIndex::Journal] : d[FieldIndex::BookTitle];
    return Outcome::Ok();
}

std::string TReferenceFile::SingleLineText(const FormalCheck& journals) {
    if (!open_ || RefCount() == 0) {
        return {};
    }
    std::string bytes;
    if (!ReadBlock(static_cast<std::size_t>(current_), bytes)) {
        return "#B#B " + ShortAuthorList({}) + ":";
    }
    const TRefArrData& d = ParseCurrent(true, journals);
    if (d[FieldIndex::IdString] == "DELETED") {
        return "#IDeleted#I";
    }
    const std::string& authors = d[FieldIndex::Authors];
    const std::string& names =
        StartsWith(authors, kUnknownField) ? d[FieldIndex::Editors] : authors;
    std::string line = "#B" + d[FieldIndex::Year] + "#B " + ShortAuthorList(names) + ":";
    auto titleText = [](const std::string& title) {
        return StartsWith(title, kUnknownField) ? Message(msg::RefWin::LacksTitle) : title;
    };
    const std::string& title = d[FieldIndex::Title];
    if (split_.guessedType == SourceType::Journal) {
        const std::string& journal = d[FieldIndex::Journal];
        line += " !T!T!T" + titleText(title) + "!T!T!T #I" +
                (StartsWith(journal, kUnknownField) ? std::string("????") : journal) + "#I";
    } else if (StartsWith(title, kUnknownField)) {
        line += " #I" + titleText(d[FieldIndex::BookTitle]) + "#I";
    } else {
        line += " !T!T!T" + title + "!T!T!T, #I" + titleText(d[FieldIndex::BookTitle]) + "#I";
    }
    return line;
}

void TReferenceFile::DropDeletedFromSets() {
    for (int i = 0; i < RefCount(); ++i) {
        if (!present_.Test(i)) {
            tagged_.Clear(i);
            located_.Clear(i);
        }
    }
}

Outcome TReferenceFile::SaveTags() {
    if (!open_) {
        return Outcome::Ok();
    }
    const std::string path = CompanionPath(fs_, name_, kTagExt);
    if (Outcome r = tagged_.SaveToFile(fs_, path); !r) {
        return Outcome::Error(Msg(msg::FileOpen::FileReadOnly, DisplayPath(path)) + "\r" +
                              r.message());
    }
    return Outcome::Ok();
}

void TReferenceFile::ReloadTags() {
    tagged_.LoadFromFile(fs_, CompanionPath(fs_, name_, kTagExt), RefCount());
}

// ---- Changing the reference text ----

std::uint64_t TReferenceFile::BlockSpan(std::size_t index) const {
    if (index + 1 < map_.size()) {
        return map_[index + 1].offset - map_[index].offset;
    }
    return snapshot_.size - map_[index].offset;
}

Outcome TReferenceFile::WriteFailed(const Outcome& cause) const {
    if (cause.aborted()) {
        return cause;
    }
    return Outcome::Error(Msg(msg::FileOpen::CannotCreateReferenceFile) + "\r" + cause.message());
}

Outcome TReferenceFile::CheckBeforeWrite(std::initializer_list<int> indices) {
    if (!open_) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name_)));
    }
    const FileInfo info = fs_.Stat(name_);
    if (info.exists && !info.writable) {
        return Outcome::Error(Msg(msg::FileOpen::FileReadOnly, DisplayPath(name_)));
    }
    bool fits = TakeSnapshot() == snapshot_;
    for (int i : indices) {
        if (!fits || i < 0 || i >= RefCount()) {
            continue;
        }
        // A block starts with a blank and a printable byte, right after a line feed.
        const MapEntry e = map_[static_cast<std::size_t>(i)];
        const std::uint64_t from = e.offset > 0 ? e.offset - 1 : 0;
        char bytes[3] = {};
        std::size_t got = 0;
        fits = text_->ReadAt(from, bytes, 3, got) && got >= 2 &&
               IsBlockStartAt(std::string_view(bytes + (e.offset > 0 ? 1 : 0), 2)) &&
               (e.offset == 0 || i == 0 || bytes[0] == '\n');
    }
    if (fits) {
        return Outcome::Ok();
    }
    const std::string name = name_;
    if (Outcome r = Refresh(); !r) {
        return r;
    }
    return Outcome::Error(Msg(msg::Citavox::FileChangedOutside, DisplayPath(name)));
}

Outcome TReferenceFile::Refresh() {
    return RefreshKeepingPosition(position_, true);
}

Outcome TReferenceFile::RefreshKeepingPosition(int position, bool keepSets) {
    if (name_.empty()) {
        return Outcome::Ok();
    }
    const int oldCount = RefCount();
    RefSet oldTags = tagged_;
    if (Outcome r = OpenText(); !r) {
        return r;
    }
    if (Outcome r = BuildAndSaveMap(); !r) {
        map_.clear();
        open_ = false;
        return r;
    }
    open_ = true;
    const int n = RefCount();
    if (keepSets && n == oldCount) {
        tagged_ = std::move(oldTags);
    } else if (keepSets) {
        ReloadTags();
    } else {
        tagged_ = RefSet(n);
    }
    located_ = suspect_ = ruined_ = RefSet(n);
    RebuildPresentSet();
    ApplyDisplayOrder();
    if (taggedOnly_ && tagged_.Count() == 0) {
        taggedOnly_ = false;
    }
    return MakeCurrent(std::min(position, VisibleCount() - 1));
}

Outcome TReferenceFile::AppendText(std::string_view text) {
    Outcome r;
    std::unique_ptr<WritableFile> out = fs_.OpenForWrite(name_, true, r);
    if (out) {
        r = out->Append(text);
        if (Outcome closed = out->Close(); r && !closed) {
            r = closed;
        }
    }
    if (!r) {
        return WriteFailed(r);
    }
    return Refresh();
}

Outcome TReferenceFile::ReplaceCurrent(std::string_view text) {
    if (text.size() > std::numeric_limits<std::uint16_t>::max()) {
        return Outcome::Error(Msg(msg::Citavox::ReferenceTooLong, std::to_string(current_ + 1),
                                  DisplayPath(name_), std::to_string(text.size())));
    }
    if (Outcome r = CheckBeforeWrite({current_}); !r) {
        return r;
    }
    const MapEntry e = map_[static_cast<std::size_t>(current_)];
    if (Outcome r = ReplaceFileRegion(fs_, name_, e.offset, text, e.length); !r) {
        return WriteFailed(r);
    }
    return Refresh();
}

Outcome TReferenceFile::DeleteCurrent() {
    if (RefCount() == 0) {
        return Outcome::Ok();
    }
    if (Outcome r = CheckBeforeWrite({current_, current_ + 1}); !r) {
        return r;
    }
    const std::string orderPath = CompanionPath(fs_, name_, kOrderExt);
    const bool ordersValid = OrderFileValid(fs_, orderPath, name_, RefCount());
    const int deletedIndex = current_;
    const MapEntry e = map_[static_cast<std::size_t>(deletedIndex)];
    if (Outcome r = ReplaceFileRegion(fs_, name_, e.offset, kDeletedMarker,
                                      BlockSpan(static_cast<std::size_t>(deletedIndex)));
        !r) {
        return WriteFailed(r);
    }
    if (ordersValid && present_.Test(deletedIndex)) {
        (void)MoveIndexToEnd(fs_, orderPath, RefCount(), deletedIndex);
    }
    return Refresh();
}

Outcome TReferenceFile::DeleteTagged() {
    if (RefCount() == 0 || tagged_.Count() == 0) {
        return Outcome::Ok();
    }
    if (Outcome r = CheckBeforeWrite({0, RefCount() - 1}); !r) {
        return r;
    }
    const Outcome written = RewriteFile(fs_, name_, [this](WritableFile& out) {
        if (Outcome r = CopyRange(*text_, 0, map_[0].offset, out); !r) {
            return r;
        }
        for (std::size_t i = 0; i < map_.size(); ++i) {
            Outcome r = tagged_.Test(static_cast<int>(i))
                            ? out.Append(kDeletedMarker)
                            : CopyRange(*text_, map_[i].offset, BlockSpan(i), out);
            if (!r) {
                return r;
            }
        }
        return Outcome::Ok();
    });
    if (!written) {
        return WriteFailed(written);
    }
    return Refresh();
}

Outcome TReferenceFile::Compress() {
    if (present_.Count() == 0) {
        return Outcome::Ok();
    }
    if (Outcome r = CheckBeforeWrite({0, RefCount() - 1}); !r) {
        return r;
    }
    ShowStatus(Msg(msg::RefWin::CompressingFile));
    const Outcome written = RewriteFile(fs_, name_, [this](WritableFile& out) {
        if (Outcome r = CopyRange(*text_, 0, map_[0].offset, out); !r) {
            return r;
        }
        for (std::size_t i = 0; i < map_.size(); ++i) {
            if (progress_ && i % 64 == 0) {
                progress_->SetProgress(Permille(map_[i].offset, snapshot_.size));
            }
            if (present_.Test(static_cast<int>(i))) {
                if (Outcome r = CopyRange(*text_, map_[i].offset, BlockSpan(i), out); !r) {
                    return r;
                }
            }
        }
        return Outcome::Ok();
    });
    if (progress_) {
        progress_->SetProgress(0);
    }
    if (!written) {
        return WriteFailed(written);
    }
    // The old tags no longer fit once references are gone: compressing clears them.
    (void)fs_.Remove(CompanionPath(fs_, name_, kTagExt));
    return RefreshKeepingPosition(position_, false);
}

Outcome TReferenceFile::AppendTo(const std::string& otherFile, bool taggedOnly) {
    if (!open_ || RefCount() == 0) {
        return Outcome::Ok();
    }
    if (fs_.SameFile(name_, otherFile)) {
        return Outcome::Error(Msg(msg::FileOpen::CannotCopyBack));
    }
    ShowStatus(Msg(msg::FileOpen::AppendingReferences));
    std::vector<int> chosen;
    if (taggedOnly) {
        for (int pos = 0; pos < RefCount(); ++pos) {
            if (tagged_.Test(DisplayToAbsolute(pos))) {
                chosen.push_back(DisplayToAbsolute(pos));
            }
        }
    } else {
        chosen.push_back(current_);
    }
    Outcome r;
    std::unique_ptr<WritableFile> out = fs_.OpenForWrite(otherFile, true, r);
    if (!out) {
        return Outcome::Error(Msg(msg::FileOpen::CannotCreateFile, DisplayPath(otherFile)) + "\r" +
                              r.message());
    }
    std::string bytes;
    for (int index : chosen) {
        if (r = RawText(index, bytes); !r) {
            return r;
        }
        if (r = out->Append("\r\n\r\n"); r) {
            r = out->Append(bytes);
        }
        if (!r) {
            break;
        }
    }
    if (Outcome closed = out->Close(); r && !closed) {
        r = closed;
    }
    if (!r) {
        return Outcome::Error(Msg(msg::FileOpen::OutputNoLongerWritable) + "\r" + r.message());
    }
    RemoveCompanions(fs_, otherFile);
    ShowStatus(Msg(msg::FileOpen::AppendingCompleted));
    return MakeCurrent(position_);
}

Outcome TReferenceFile::TagSequence(std::string_view text, bool absolute, bool clearFirst) {
    if (clearFirst) {
        tagged_.ClearAll();
    }
    const int limit = absolute ? RefCount() : VisibleCount();
    auto tagRange = [&](long long from, long long to) {
        if (from > to) {
            std::swap(from, to);
        }
        for (long long p = std::max(from, 1LL); p <= std::min<long long>(to, limit); ++p) {
            const int position = static_cast<int>(p - 1);
            tagged_.Set(absolute ? position : DisplayToAbsolute(position));
        }
    };
    std::size_t i = 0;
    long long rangeStart = -1;
    while (i < text.size()) {
        if (!IsDigit(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        long long value = 0;
        while (i < text.size() && IsDigit(text[i])) {
            value = value * 10 + (text[i] - '0');
            if (value > std::numeric_limits<int>::max()) {
                return Outcome::Error(Msg(msg::RefWin::NotReferenceSequences, text.substr(start)));
            }
            ++i;
        }
        std::size_t after = i;
        while (after < text.size() && text[after] == ' ') {
            ++after;
        }
        const bool opensRange = after < text.size() && text[after] == '-';
        if (rangeStart >= 0) {
            tagRange(rangeStart, value);
            rangeStart = -1;
        } else if (opensRange) {
            rangeStart = value;
        } else {
            tagRange(value, value);
        }
        if (opensRange && rangeStart >= 0) {
            i = after + 1;
        }
    }
    if (rangeStart >= 0) {
        tagRange(rangeStart, rangeStart);
    }
    return Outcome::Ok();
}

Outcome TReferenceFile::ReadRawRange(std::size_t limit, std::string& text) {
    text.clear();
    if (!open_ || RefCount() == 0) {
        return Outcome::Ok();
    }
    const int first = current_ > 0 ? current_ - 1 : current_;
    int last = first;
    std::string bytes;
    for (int i = first; i < RefCount(); ++i) {
        if (Outcome r = RawText(i, bytes); !r) {
            return r;
        }
        const std::string piece = TrimRightBlanks(bytes) + "\r\n\r\n";
        if (i > first && text.size() + piece.size() > limit) {
            break;
        }
        text += piece;
        last = i;
    }
    rawFirst_ = first;
    rawLast_ = last;
    rawOffset_ = map_[static_cast<std::size_t>(first)].offset;
    rawLength_ = std::uint64_t{map_[static_cast<std::size_t>(last)].offset} +
                 map_[static_cast<std::size_t>(last)].length - rawOffset_;
    return Outcome::Ok();
}

Outcome TReferenceFile::WriteRawRange(std::string_view text) {
    constexpr std::size_t kMaxRawText = 32768;
    const std::string written = TrimRightBlanks(text) + "\r\n\r\n";
    if (written.size() > kMaxRawText) {
        return Outcome::Error(Msg(msg::Citavox::EditedTextTooLong, std::to_string(kMaxRawText)));
    }
    if (rawFirst_ < 0) {
        return Outcome::Ok();
    }
    if (Outcome r = CheckBeforeWrite({rawFirst_, rawLast_ + 1}); !r) {
        return r;
    }
    if (Outcome r = ReplaceFileRegion(fs_, name_, rawOffset_, written, rawLength_); !r) {
        return WriteFailed(r);
    }
    rawFirst_ = rawLast_ = -1;
    return Refresh();
}

} // namespace cvx
