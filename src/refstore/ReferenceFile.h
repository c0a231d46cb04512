#pragma once
// TReferenceFile: one open reference file with its map, tag and order files, as a window holds
// it: a ReferenceReader (the const, thread-safe read of the text's current version), a
// ReferenceView (display order, position, tagged-only mode), the reference sets, and the
// operations that change the text. Threads that only read take Reader() and read through it.

#include "refstore/OrderFile.h"
#include "refstore/RefArrData.h"
#include "refstore/RefSet.h"
#include "refstore/ReferenceMap.h"
#include "refstore/ReferenceReader.h"
#include "refstore/ReferenceView.h"
#include "refstore/SortRec.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class Progress;
class JournalLookup;
class WriteLock;

enum class RefStatus : int { FormallyCorrect = 0, Suspect = 1, Ruined = 2, Deleted = 3 };

enum class ReprintScope { AllPresent, Current, Tagged };

class TReferenceFile {
public:
    explicit TReferenceFile(FileSystem& fs = FileSystem::Default());
    TReferenceFile(const TReferenceFile&) = delete;
    TReferenceFile& operator=(const TReferenceFile&) = delete;
    ~TReferenceFile();

    // Where long operations report; may be null.
    void SetProgress(Progress* progress) { progress_ = progress; }

    // Binds the object to a file: builds the map when it is not current, loads the tags, applies
    // the display order `displayKind` (one from the order file, or the file's own order) and
    // makes the first reference current. A missing or empty file opens with no references.
    Outcome Open(const std::string& fileName, DisplayOrder displayKind = DisplayOrder::Original);
    // Rebuilds the map and reopens, keeping the tags when the number of references is unchanged.
    Outcome Refresh();

    bool IsOpen() const { return open_; }
    const std::string& FileName() const { return name_; }
    std::uint64_t TextSize() const { return reader_->TextSize(); }

    // The const read of the text's current version, for threads that read while this object
    // navigates; it stays valid (on the version it was made for) after a refresh or a rewrite.
    std::shared_ptr<const ReferenceReader> Reader() const { return reader_; }
    const ReferenceView& View() const { return view_; }

    int RefCount() const { return reader_->Count(); }
    int DeletedCount() const { return reader_->DeletedCount(); }
    int VisibleCount() const { return view_.VisibleCount(); }
    DisplayOrder DisplayKind() const { return view_.Kind(); }
    // Shows the references in another display order: a stored one when the order file fits the
    // text, otherwise the file's own (DisplayKind() tells which). The current reference stays
    // current when it is visible in the new order; tagged-only mode stays as it was.
    Outcome SetDisplayOrder(DisplayOrder kind);

    Outcome GoTo(int displayPosition);
    Outcome Next(bool wrap);
    Outcome Previous(bool wrap);
    int DisplayToAbsolute(int displayPosition) const {
        return view_.DisplayToAbsolute(displayPosition);
    }
    int AbsoluteToDisplay(int absoluteIndex) const {
        return view_.AbsoluteToDisplay(absoluteIndex);
    }
    int CurrentIndex() const { return view_.Current(); }
    int CurrentPosition() const { return view_.Position(); }

    const std::string& IdentificationString() const { return split_.identification; }
    const std::string& ReferenceProper() const { return split_.proper; }
    const std::string& AbstractPart() const { return split_.abstractPart; }
    SourceType GuessedType() const { return split_.guessedType; }

    // Parses the current reference, recording its quality in the suspect and ruined sets.
    const TRefArrData& ParseCurrent(bool check, const FormalCheck& journals = {});
    const std::string& Field(FieldIndex field) const { return parsed_[field]; }
    const TRefArrData& Parsed() const { return parsed_; }

    Outcome RawText(int absoluteIndex, std::string& bytes) const;
    RefStatus Status(int displayPosition) const;
    MapEntry EntryOf(int absoluteIndex) const { return reader_->Entry(absoluteIndex); }

    bool IsTagged(int absoluteIndex) const { return tagged_.Test(absoluteIndex); }
    bool IsLocated(int absoluteIndex) const { return located_.Test(absoluteIndex); }
    int TaggedCount() const { return tagged_.Count(); }
    // Tagged-only navigation can be switched on only when something is tagged.
    bool SetTaggedOnly(bool on) { return view_.SetTaggedOnly(on, tagged_); }
    bool TaggedOnly() const { return view_.TaggedOnly(); }

    RefSet& TaggedSet() { return tagged_; }
    RefSet& LocatedSet() { return located_; }
    const RefSet& SuspectSet() const { return suspect_; }
    const RefSet& RuinedSet() const { return ruined_; }
    const RefSet& PresentSet() const { return present_; }

    Outcome SortRecord(int absoluteIndex, TSortRec& record, const JournalLookup* journals = nullptr,
                       Collation collation = Collation::English) const;
    Outcome KeysOf(int absoluteIndex, NumericKeys& keys) const;
    Outcome TitleOf(int absoluteIndex, std::string& title) const;
    Outcome SourceTitleOf(int absoluteIndex, std::string& title) const;

    Outcome AppendText(std::string_view text);
    Outcome ReplaceCurrent(std::string_view text);
    Outcome DeleteCurrent();
    // Deletes the references at the absolute `indices` in one hold and one rewrite, so another
    // writer finds either none or all of them deleted. A tag on a deleted reference goes with it
    // (the tag file is saved, still under the hold, when one was tagged).
    Outcome DeleteAt(const std::vector<int>& indices);
    // Deletes the tagged references and drops their tags, saving the tag file under the same hold.
    Outcome DeleteTagged();
    Outcome Compress();
    Outcome AppendTo(const std::string& otherFile, bool taggedOnly);
    Outcome TagSequence(std::string_view text, bool absolute, bool clearFirst);
    // Saves the tags for the text this object read. Refused, with the map made anew, when the
    // file is no longer that text: the tags were chosen for references that may have moved.
    Outcome SaveTags();
    void ReloadTags();
    Outcome RewriteReprintNumbers(bool apply, ReprintScope scope, const std::string& reprintNumber);
    Outcome ReadRawRange(std::size_t limit, std::string& text);
    Outcome WriteRawRange(std::string_view text);
    std::string SingleLineText(const FormalCheck& journals = {});
    void DropDeletedFromSets();

private:
    void Reset();
    Outcome Load(bool rebuild, const WriteLock* held);
    void ApplyDisplayOrder(DisplayOrder kind);
    Outcome ParsedAt(int absoluteIndex, TRefArrData& data) const; // leaves the current one be
    Outcome MakeCurrent(int displayPosition);
    Outcome Disconnect();
    TextStamp StampOfName() const;
    void LoadTags();
    bool TagsBelong(std::string_view image, const TextStamp& text) const;
    void RebindTags(const TextStamp& before);
    // Holds the file for a write and checks that it is still the version this object read, with
    // the `touched` references where the map says; otherwise the map is made anew and the write
    // refused.
    Outcome BeginWrite(const std::vector<int>& touched, WriteLock& lock);
    // The check of BeginWrite, under a hold already taken.
    Outcome CheckUnchanged(const std::vector<int>& touched, WriteLock& lock);
    // Writes the tag file and its stamp for the text this object read; the caller holds the file.
    Outcome WriteTags(const WriteLock& held);
    // After a write: the new text mapped (and its map saved) while the file is still held, and the
    // saved tags tied to the new text when the references kept their numbers (`keepSets`).
    Outcome EndWrite(WriteLock& lock, bool keepSets);
    // Rewrites the whole text under `lock`: what stands before the first block as it is, then
    // for every block what `each` writes for it.
    using BlockWriter = std::function<Outcome(int index, WritableFile& out, ReadBuffer& buffer)>;
    Outcome RewriteBlocks(WriteLock& lock, const BlockWriter& each);
    Outcome WriteFailed(const Outcome& cause) const;
    Outcome RefreshKeepingPosition(int position, bool keepSets, const WriteLock* held);
    void ShowStatus(std::string_view text) const;

    FileSystem& fs_;
    Progress* progress_ = nullptr;
    std::string name_; // as the user named it
    std::string path_; // the file it stands for, resolved from symbolic links
    bool open_ = false;
    std::shared_ptr<const ReferenceReader> reader_;
    ReferenceView view_;
    mutable ReadBuffer buffer_; // the window's own read-ahead

    SplitText split_;
    TRefArrData parsed_;

    RefSet tagged_;
    RefSet located_;
    RefSet suspect_;
    RefSet ruined_;
    RefSet present_;

    int rawFirst_ = -1;
    int rawLast_ = -1;
    std::uint64_t rawOffset_ = 0;
    std::uint64_t rawLength_ = 0;
};

// The one-line form of a parsed reference in the list view: year, authors, title and source with
// their markup, the title between the markers "!T!T!T"; `guessedType` is the type its layout
// suggests (SplitText).
std::string SingleLineText(const TRefArrData& data, SourceType guessedType);

} // namespace cvx
