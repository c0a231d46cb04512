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

// The reader of a file that is not open: no references.
std::shared_ptr<const ReferenceReader> NoReferences(const std::string& name) {
    return std::make_shared<const ReferenceReader>(name, nullptr, TextStamp{},
                                                   std::vector<MapEntry>{});
}

} // namespace

TReferenceFile::TReferenceFile(FileSystem& fs) : fs_(fs), reader_(NoReferences({})) {}

TReferenceFile::~TReferenceFile() = default;

void TReferenceFile::Reset() {
    name_.clear();
    open_ = false;
    reader_ = NoReferences({});
    view_ = ReferenceView();
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

TextStamp TReferenceFile::StampOfName() const {
    return StampOf(fs_.Stat(name_));
}

Outcome TReferenceFile::Open(const std::string& fileName, DisplayOrder displayKind) {
    Reset();
    name_ = fileName;
    const FileInfo info = fs_.Stat(name_);
    if (!info.exists || info.isDirectory) {
        return Outcome::Ok();
    }
    if (Outcome r = Load(false); !r) {
        reader_ = NoReferences(name_);
        return r;
    }
    const int n = RefCount();
    tagged_.LoadFromFile(fs_, CompanionPath(fs_, name_, kTagExt), n);
    located_ = suspect_ = ruined_ = RefSet(n);
    ApplyDisplayOrder(displayKind);
    return n > 0 ? MakeCurrent(0) : Outcome::Ok();
}

// Opens the text's current version with a map that fits it; the file counts as open after it.
Outcome TReferenceFile::Load(bool rebuild) {
    std::shared_ptr<const ReferenceReader> reader;
    if (Outcome r = OpenReferenceReader(fs_, name_, progress_, rebuild, reader); !r) {
        open_ = false;
        return r;
    }
    reader_ = std::move(reader);
    open_ = true;
    present_ = RefSet(RefCount(), true);
    for (int i = 0; i < RefCount(); ++i) {
        if (reader_->IsDeleted(i)) {
            present_.Clear(i);
        }
    }
    return Outcome::Ok();
}

void TReferenceFile::ApplyDisplayOrder(DisplayOrder kind) {
    const std::string orderPath = CompanionPath(fs_, name_, kOrderExt);
    std::vector<std::int32_t> order;
    if (kind != DisplayOrder::Original && OrderFileValid(fs_, orderPath, name_, RefCount())) {
        (void)LoadOrder(fs_, orderPath, RefCount(), kind, order);
    }
    view_.Reset(RefCount(), DeletedCount(), kind, std::move(order));
}

Outcome TReferenceFile::Disconnect() {
    Outcome r = Outcome::Error(Msg(msg::RefWin::FileDisconnected, DisplayPath(name_)));
    Reset();
    return r;
}

Outcome TReferenceFile::MakeCurrent(int displayPosition) {
    if (RefCount() == 0) {
        return Outcome::Ok();
    }
    // Moving to a reference is where a file that vanished or was changed by another program is
    // noticed: the former disconnects, the latter is mapped anew.
    const TextStamp now = StampOfName();
    if (now.inode == 0) {
        return Disconnect();
    }
    if (now != reader_->Stamp()) {
        return RefreshKeepingPosition(displayPosition, true);
    }
    view_.MoveTo(displayPosition);
    StoredReference ref;
    if (Outcome r = reader_->Read(view_.Current(), ref, &buffer_); !r) {
        return Disconnect();
    }
    split_ = std::move(ref.split);
    parsed_ = {};
    return Outcome::Ok();
}

Outcome TReferenceFile::GoTo(int displayPosition) {
    return MakeCurrent(displayPosition);
}

Outcome TReferenceFile::Next(bool wrap) {
    return MakeCurrent(view_.StepTarget(1, wrap, tagged_));
}

Outcome TReferenceFile::Previous(bool wrap) {
    return MakeCurrent(view_.StepTarget(-1, wrap, tagged_));
}

const TRefArrData& TReferenceFile::ParseCurrent(bool check, const FormalCheck& journals) {
    const int current = view_.Current();
    StoredReference ref;
    if (!open_ || RefCount() == 0 || !reader_->Parse(current, check, journals, ref, &buffer_)) {
        parsed_ = {};
        return parsed_;
    }
    parsed_ = std::move(ref.data);
    if (check) {
        suspect_.SetTo(current, ref.suspect);
        ruined_.SetTo(current, ref.ruined);
    } else {
        suspect_.SetTo(current, ref.suspect || suspect_.Test(current));
        ruined_.SetTo(current, ref.ruined || ruined_.Test(current));
    }
    return parsed_;
}

Outcome TReferenceFile::RawText(int absoluteIndex, std::string& bytes) const {
    return reader_->ReadRaw(absoluteIndex, bytes, &buffer_);
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

Outcome TReferenceFile::SortRecord(int absoluteIndex, TSortRec& record,
                                   const JournalLookup* journals, Collation collation) const {
    return reader_->SortRecord(absoluteIndex, record, journals, collation, &buffer_);
}

Outcome TReferenceFile::ParsedAt(int absoluteIndex, TRefArrData& data) const {
    StoredReference ref;
    if (Outcome r = reader_->Parse(absoluteIndex, false, {}, ref, &buffer_); !r) {
        return r;
    }
    data = std::move(ref.data);
    return Outcome::Ok();
}

Outcome TReferenceFile::KeysOf(int absoluteIndex, NumericKeys& keys) const {
    TRefArrData d;
    if (Outcome r = ParsedAt(absoluteIndex, d); !r) {
        return r;
    }
    keys = NumericKeysOf(d);
    return Outcome::Ok();
}

Outcome TReferenceFile::TitleOf(int absoluteIndex, std::string& title) const {
    TRefArrData d;
    if (Outcome r = ParsedAt(absoluteIndex, d); !r) {
        return r;
    }
    title = d[FieldIndex::Title];
    return Outcome::Ok();
}

Outcome TReferenceFile::SourceTitleOf(int absoluteIndex, std::string& title) const {
    TRefArrData d;
    if (Outcome r = ParsedAt(absoluteIndex, d); !r) {
        return r;
    }
    title = SourceTitle(d);
    return Outcome::Ok();
}

std::string TReferenceFile::SingleLineText(const FormalCheck& journals) {
    if (!open_ || RefCount() == 0) {
        return {};
    }
    std::string bytes;
    if (!RawText(view_.Current(), bytes)) {
        return "#B#B " + ShortAuthorList({}) + ":";
    }
    return cvx::SingleLineText(ParseCurrent(true, journals), split_.guessedType);
}

std::string SingleLineText(const TRefArrData& d, SourceType guessedType) {
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
    if (guessedType == SourceType::Journal) {
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
    tagged_ = RefSet::And(tagged_, present_);
    located_ = RefSet::And(located_, present_);
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

Outcome TReferenceFile::WriteFailed(const Outcome& cause) const {
    if (cause.aborted()) {
        return cause;
    }
    return Outcome::Error(Msg(msg::FileOpen::CannotCreateReferenceFile) + "\r" + cause.message());
}

Outcome TReferenceFile::CheckBeforeWrite(const std::vector<int>& indices) {
    if (!open_) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name_)));
    }
    const FileInfo info = fs_.Stat(name_);
    if (info.exists && !info.writable) {
        return Outcome::Error(Msg(msg::FileOpen::FileReadOnly, DisplayPath(name_)));
    }
    if (StampOfName() == reader_->Stamp() && reader_->EntriesFit(indices)) {
        return Outcome::Ok();
    }
    const std::string name = name_;
    if (Outcome r = Refresh(); !r) {
        return r;
    }
    return Outcome::Error(Msg(msg::Citavox::FileChangedOutside, DisplayPath(name)));
}

Outcome TReferenceFile::Refresh() {
    return RefreshKeepingPosition(view_.Position(), true);
}

Outcome TReferenceFile::RefreshKeepingPosition(int position, bool keepSets) {
    if (name_.empty()) {
        return Outcome::Ok();
    }
    const int oldCount = RefCount();
    const DisplayOrder kind = view_.Kind();
    const bool taggedOnly = view_.TaggedOnly();
    RefSet oldTags = tagged_;
    if (Outcome r = Load(true); !r) {
        reader_ = NoReferences(name_);
        return r;
    }
    const int n = RefCount();
    if (keepSets && n == oldCount) {
        tagged_ = std::move(oldTags);
    } else if (keepSets) {
        ReloadTags();
    } else {
        tagged_ = RefSet(n);
    }
    located_ = suspect_ = ruined_ = RefSet(n);
    ApplyDisplayOrder(kind);
    (void)view_.SetTaggedOnly(taggedOnly && tagged_.Count() > 0, tagged_);
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
    const int current = view_.Current();
    if (text.size() > std::numeric_limits<std::uint16_t>::max()) {
        return Outcome::Error(Msg(msg::Citavox::ReferenceTooLong, std::to_string(current + 1),
                                  DisplayPath(name_), std::to_string(text.size())));
    }
    if (Outcome r = CheckBeforeWrite({current}); !r) {
        return r;
    }
    const MapEntry e = reader_->Entry(current);
    if (Outcome r = ReplaceFileRegion(fs_, name_, e.offset, text, e.length); !r) {
        return WriteFailed(r);
    }
    return Refresh();
}

Outcome TReferenceFile::DeleteCurrent() {
    if (RefCount() == 0) {
        return Outcome::Ok();
    }
    const int deletedIndex = view_.Current();
    if (Outcome r = CheckBeforeWrite({deletedIndex, deletedIndex + 1}); !r) {
        return r;
    }
    const std::string orderPath = CompanionPath(fs_, name_, kOrderExt);
    const bool ordersValid = OrderFileValid(fs_, orderPath, name_, RefCount());
    const MapEntry e = reader_->Entry(deletedIndex);
    if (Outcome r =
            ReplaceFileRegion(fs_, name_, e.offset, kDeletedMarker, reader_->Span(deletedIndex));
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
    const ReferenceReader& text = *reader_;
    const Outcome written = RewriteFile(fs_, name_, [&](WritableFile& out) {
        if (Outcome r = text.CopyTo(0, text.Entry(0).offset, out); !r) {
            return r;
        }
        for (int i = 0; i < text.Count(); ++i) {
            Outcome r = tagged_.Test(i) ? out.Append(kDeletedMarker)
                                        : text.CopyTo(text.Entry(i).offset, text.Span(i), out);
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
    const ReferenceReader& text = *reader_;
    const Outcome written = RewriteFile(fs_, name_, [&](WritableFile& out) {
        if (Outcome r = text.CopyTo(0, text.Entry(0).offset, out); !r) {
            return r;
        }
        for (int i = 0; i < text.Count(); ++i) {
            if (progress_ && i % 64 == 0) {
                progress_->SetProgress(Permille(text.Entry(i).offset, text.TextSize()));
            }
            if (present_.Test(i)) {
                if (Outcome r = text.CopyTo(text.Entry(i).offset, text.Span(i), out); !r) {
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
    return RefreshKeepingPosition(view_.Position(), false);
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
        chosen.push_back(view_.Current());
    }
    Outcome r;
    std::unique_ptr<WritableFile> out = fs_.OpenForWrite(otherFile, true, r);
    if (!out) {
        return Outcome::Error(Msg(msg::FileOpen::CannotCreateFile, DisplayPath(otherFile)) + "\r" +
                              r.message());
    }
    std::string bytes;
    ReadBuffer buffer;
    for (int index : chosen) {
        if (r = reader_->ReadRaw(index, bytes, &buffer); !r) {
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
    return MakeCurrent(view_.Position());
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
    const int current = view_.Current();
    const int first = current > 0 ? current - 1 : current;
    int last = first;
    std::string bytes;
    ReadBuffer buffer;
    for (int i = first; i < RefCount(); ++i) {
        if (Outcome r = reader_->ReadRaw(i, bytes, &buffer); !r) {
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
    rawOffset_ = reader_->Entry(first).offset;
    rawLength_ =
        std::uint64_t{reader_->Entry(last).offset} + reader_->Entry(last).length - rawOffset_;
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
