#pragma once
// TReferenceFile: one open reference file with its map, tag and order files. Every part of the
// program that reads or changes references goes through it.

#include "refstore/OrderFile.h"
#include "refstore/RefArrData.h"
#include "refstore/RefSet.h"
#include "refstore/ReferenceMap.h"
#include "refstore/SortRec.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class Progress;
class JournalLookup;

enum class RefStatus : int { FormallyCorrect = 0, Suspect = 1, Ruined = 2, Deleted = 3 };

enum class ReprintScope { AllPresent, Current, Tagged };

struct NumericKeys {
    int year = 0;
    int volume = 0;
    int pageFirst = 0;
};

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
    std::uint64_t TextSize() const { return snapshot_.size; }

    int RefCount() const { return static_cast<int>(map_.size()); }
    int DeletedCount() const { return deleted_; }
    int VisibleCount() const;
    DisplayOrder DisplayKind() const { return orderKind_; }

    Outcome GoTo(int displayPosition);
    Outcome Next(bool wrap);
    Outcome Previous(bool wrap);
    int DisplayToAbsolute(int displayPosition) const;
    int AbsoluteToDisplay(int absoluteIndex) const;
    int CurrentIndex() const { return current_; }
    int CurrentPosition() const { return position_; }

    const std::string& IdentificationString() const { return split_.identification; }
    const std::string& ReferenceProper() const { return split_.proper; }
    const std::string& AbstractPart() const { return split_.abstractPart; }
    SourceType GuessedType() const { return split_.guessedType; }

    // Parses the current reference, recording its quality in the suspect and ruined sets.
    const TRefArrData& ParseCurrent(bool check, const FormalCheck& journals = {});
    const std::string& Field(FieldIndex field) const { return parsed_[field]; }
    const TRefArrData& Parsed() const { return parsed_; }

    Outcome RawText(int absoluteIndex, std::string& bytes);
    RefStatus Status(int displayPosition) const;
    MapEntry EntryOf(int absoluteIndex) const {
        return map_.at(static_cast<std::size_t>(absoluteIndex));
    }

    bool IsTagged(int absoluteIndex) const { return tagged_.Test(absoluteIndex); }
    bool IsLocated(int absoluteIndex) const { return located_.Test(absoluteIndex); }
    int TaggedCount() const { return tagged_.Count(); }
    // Tagged-only navigation can be switched on only when something is tagged.
    bool SetTaggedOnly(bool on);
    bool TaggedOnly() const { return taggedOnly_; }

    RefSet& TaggedSet() { return tagged_; }
    RefSet& LocatedSet() { return located_; }
    const RefSet& SuspectSet() const { return suspect_; }
    const RefSet& RuinedSet() const { return ruined_; }
    const RefSet& PresentSet() const { return present_; }

    Outcome SortRecord(int absoluteIndex, TSortRec& record, const JournalLookup* journals = nullptr,
                       Collation collation = Collation::English);
    Outcome KeysOf(int absoluteIndex, NumericKeys& keys);
    Outcome TitleOf(int absoluteIndex, std::string& title);
    Outcome SourceTitleOf(int absoluteIndex, std::string& title);

    Outcome AppendText(std::string_view text);
    Outcome ReplaceCurrent(std::string_view text);
    Outcome DeleteCurrent();
    Outcome DeleteTagged();
    Outcome Compress();
    Outcome AppendTo(const std::string& otherFile, bool taggedOnly);
    Outcome TagSequence(std::string_view text, bool absolute, bool clearFirst);
    Outcome SaveTags();
    void ReloadTags();
    Outcome RewriteReprintNumbers(bool apply, ReprintScope scope, const std::string& reprintNumber);
    Outcome ReadRawRange(std::size_t limit, std::string& text);
    Outcome WriteRawRange(std::string_view text);
    std::string SingleLineText(const FormalCheck& journals = {});
    void DropDeletedFromSets();

private:
    struct Snapshot {
        std::uint64_t size = 0;
        std::int64_t modifiedNs = 0;
        std::uint64_t inode = 0;
        bool operator==(const Snapshot&) const = default;
    };

    void Reset();
    Outcome OpenText();
    Outcome LoadOrBuildMap();
    Outcome BuildAndSaveMap();
    bool MapFitsText();
    void ApplyDisplayOrder();
    void RebuildPresentSet();
    Outcome ReadBlock(std::size_t index, std::string& bytes);
    Outcome ParsedAt(int absoluteIndex, TRefArrData& data); // without touching the current one
    Outcome MakeCurrent(int displayPosition);
    Outcome Step(int direction, bool wrap);
    Outcome Disconnect();
    Snapshot TakeSnapshot() const;
    // Checks, before a write, that the file is still the one the map describes.
    Outcome CheckBeforeWrite(std::initializer_list<int> indices);
    Outcome WriteFailed(const Outcome& cause) const;
    std::uint64_t BlockSpan(std::size_t index) const; // up to the next block, or the file's end
    Outcome RefreshKeepingPosition(int position, bool keepSets);
    void ShowStatus(std::string_view text) const;

    FileSystem& fs_;
    Progress* progress_ = nullptr;
    std::string name_;
    bool open_ = false;
    bool taggedOnly_ = false;
    bool busy_ = false;
    Snapshot snapshot_;
    std::unique_ptr<ReadableFile> text_;
    std::vector<MapEntry> map_;
    int deleted_ = 0;

    std::string window_; // read-ahead window of the reference text
    std::uint64_t windowStart_ = 0;

    int current_ = 0;
    int position_ = 0;
    DisplayOrder orderKind_ = DisplayOrder::Original;
    std::vector<std::int32_t> order_;   // display position -> absolute index
    std::vector<std::int32_t> inverse_; // absolute index -> display position

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

} // namespace cvx
