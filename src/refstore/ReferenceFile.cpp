#include "refstore/ReferenceFile.h"

#include "refstore/Companions.h"
#include "refstore/OrderFile.h"
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
    path_.clear();
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
    return StampOf(fs_.Stat(path_));
}

Outcome TReferenceFile::Open(const std::string& fileName, DisplayOrder displayKind) {
    Reset();
    name_ = fileName;
    // A symbolic link is followed once: the file it stands for is read, written and kept company
    // by its companions, and the link stays a link.
    path_ = fs_.ResolveLinks(fileName);
    if (Outcome r = CheckReferenceFileName(name_); !r) {
        Reset();
        return r;
    }
    if (!fs_.Stat(path_).exists) {
        return Outcome::Ok();
    }
    if (Outcome r = Load(false, nullptr); !r) {
        reader_ = NoReferences(name_);
        return r;
    }
    const int n = RefCount();
    LoadTags();
    located_ = suspect_ = ruined_ = RefSet(n);
    ApplyDisplayOrder(displayKind);
    return n > 0 ? MakeCurrent(0) : Outcome::Ok();
}

// Opens the text's current version with a map that fits it; the file counts as open after it.
Outcome TReferenceFile::Load(bool rebuild, const WriteLock* held) {
    std::shared_ptr<const ReferenceReader> reader;
    if (Outcome r = OpenReferenceReader(fs_, name_, progress_, rebuild, reader, held); !r) {
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
    const std::string orderPath = CompanionPath(fs_, path_, kOrderExt);
    std::vector<std::int32_t> order;
    if (kind != DisplayOrder::Original && OrderFileValid(fs_, orderPath, path_, RefCount())) {
        (void)LoadOrder(fs_, orderPath, RefCount(), kind, order);
    }
    view_.Reset(RefCount(), DeletedCount(), kind, std::move(order));
}

Outcome TReferenceFile::SetDisplayOrder(DisplayOrder kind) {
    if (!open_) {
        return Outcome::Ok();
    }
    const int current = view_.Current();
    const bool taggedOnly = view_.TaggedOnly();
    ApplyDisplayOrder(kind);
    (void)view_.SetTaggedOnly(taggedOnly, tagged_);
    const int position = view_.AbsoluteToDisplay(current);
    return MakeCurrent(position < VisibleCount() ? position : VisibleCount() - 1);
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
        return RefreshKeepingPosition(displayPosition, true, nullptr);
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

Outcome TReferenceFile::Refresh() {
    return RefreshKeepingPosition(view_.Position(), true, nullptr);
}

Outcome TReferenceFile::RefreshKeepingPosition(int position, bool keepSets, const WriteLock* held) {
    if (name_.empty()) {
        return Outcome::Ok();
    }
    const int oldCount = RefCount();
    const DisplayOrder kind = view_.Kind();
    const bool taggedOnly = view_.TaggedOnly();
    RefSet oldTags = tagged_;
    if (Outcome r = Load(true, held); !r) {
        reader_ = NoReferences(name_);
        return r;
    }
    const int n = RefCount();
    if (keepSets && n == oldCount) {
        tagged_ = std::move(oldTags);
    } else if (keepSets) {
        LoadTags();
    } else {
        tagged_ = RefSet(n);
    }
    located_ = suspect_ = ruined_ = RefSet(n);
    ApplyDisplayOrder(kind);
    (void)view_.SetTaggedOnly(taggedOnly && tagged_.Count() > 0, tagged_);
    return MakeCurrent(std::min(position, VisibleCount() - 1));
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

} // namespace cvx
