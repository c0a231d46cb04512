#pragma once
// The const, thread-safe read of a reference file: one version of its text with the map that
// locates every reference in it. Search, index, sort, list and export threads read references
// through a reader while a window moves its own cursor (ReferenceView, in TReferenceFile).
//
//   std::shared_ptr<const ReferenceReader> reader = file.Reader();   // or OpenReferenceReader
//   ReadBuffer buffer;                                               // one per thread
//   StoredReference ref;
//   for (int i = 0; i < reader->Count(); ++i) {
//       if (Outcome r = reader->Parse(i, /*check=*/true, journals, ref, &buffer); !r) { ... }
//       ... ref.data, ref.split, ref.suspect, ref.ruined ...
//   }
//
// A reader never changes after it is made, so any number of threads may read through one reader
// at once: every read is a positioned read into the caller's own memory. A reader keeps reading
// the version of the text it was made for (it holds the file open) after its TReferenceFile
// refreshes, is rewritten or closes; hold it by the shared pointer for as long as it is used.
// A read checks that the bytes still have the shape of a block where the map says; when the text
// was changed in place by another program it fails instead of handing out fragments.

#include "refstore/RefArrData.h"
#include "refstore/ReferenceMap.h"
#include "refstore/SortRec.h"
#include "refstore/TextStamp.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cvx {

class Progress;
class WriteLock;

// One reference as read: its bytes, its three parts and, when parsed, its record and the quality
// flags parsing raised (a returned value: reading never changes the reader or the file).
struct StoredReference {
    int index = -1;       // absolute index, 0-based
    std::string bytes;    // the block as stored, up to and including its empty line
    SplitText split;      // identification string, reference proper, abstract/comment part
    TRefArrData data;     // the parsed record (Parse only)
    bool ruined = false;  // the text could not be split into its fields (Parse only)
    bool suspect = false; // a field breaks a formal rule (Parse only)
    bool deleted = false; // the block is a deleted reference
};

// A read-ahead window for passes over many references, owned by one thread. Without one every
// read is a positioned read of just the block; with one, neighbouring blocks come from memory.
class ReadBuffer {
public:
    ReadBuffer() = default;

private:
    friend class ReferenceReader;
    std::uint64_t reader_ = 0; // serial number of the reader the window was filled for
    std::uint64_t start_ = 0;
    std::string bytes_;
    int next_ = 0; // the reference that follows the last one read through the buffer
};

class ReferenceReader {
public:
    // Made by OpenReferenceReader (or TReferenceFile): the open text, its stamp and its map.
    ReferenceReader(std::string fileName, std::shared_ptr<ReadableFile> text, TextStamp stamp,
                    std::vector<MapEntry> map);
    ReferenceReader(const ReferenceReader&) = delete;
    ReferenceReader& operator=(const ReferenceReader&) = delete;

    const std::string& FileName() const { return name_; }
    const TextStamp& Stamp() const { return stamp_; }
    std::uint64_t TextSize() const { return stamp_.size; }

    int Count() const { return static_cast<int>(map_.size()); }
    int DeletedCount() const { return deleted_; }
    bool IsDeleted(int index) const; // an index outside the file counts as deleted
    MapEntry Entry(int index) const { return map_.at(static_cast<std::size_t>(index)); }
    const std::vector<MapEntry>& Map() const { return map_; }
    // The bytes from the block's start to the next block (the last one: to the end of the text).
    std::uint64_t Span(int index) const;

    // The block's bytes as stored.
    Outcome ReadRaw(int index, std::string& bytes, ReadBuffer* buffer = nullptr) const;
    // The bytes and the three parts.
    Outcome Read(int index, StoredReference& ref, ReadBuffer* buffer = nullptr) const;
    // The bytes, the parts and the parsed record with its quality flags; with `check` a reference
    // that parsed cleanly also goes through the formal checks (ParseReference).
    Outcome Parse(int index, bool check, const FormalCheck& journals, StoredReference& ref,
                  ReadBuffer* buffer = nullptr) const;
    // The sort keys of one reference, for the sorters.
    Outcome SortRecord(int index, TSortRec& record, const JournalLookup* journals,
                       Collation collation, ReadBuffer* buffer = nullptr) const;

    // Copies a block, with whatever stands between it and the next block, to `out` after checking
    // its shape as a read does (rewrites of the whole text).
    Outcome CopyBlock(int index, WritableFile& out, ReadBuffer* buffer = nullptr) const;
    // Copies the text's bytes [offset, offset + length) to `out` (rewrites of the whole text).
    Outcome CopyTo(std::uint64_t offset, std::uint64_t length, WritableFile& out) const;
    // True when every listed entry still lies on a block of the text (indices outside are skipped).
    bool EntriesFit(const std::vector<int>& indices) const;

private:
    Outcome ReadSpan(int index, std::string& bytes, ReadBuffer* buffer) const;
    Outcome Changed() const;

    std::string name_;
    std::shared_ptr<ReadableFile> text_;
    TextStamp stamp_;
    std::vector<MapEntry> map_;
    int deleted_ = 0;
    std::uint64_t serial_;
};

// Opens a reference text and makes its map current: a map file that is vouched for and fits the
// text is used, otherwise the map is built (reporting to `progress`, which may be null) and saved
// beside the text when it may be; `rebuild` builds it in any case. A name that is a symbolic link
// reads the file it stands for, whose companions are the ones used. A missing text gives a reader
// without references; a name with a companion's extension, a folder, a pipe or a device, and a
// text with NUL bytes are refused. `held` is the hold of a writer that is changing the file.
Outcome OpenReferenceReader(FileSystem& fs, const std::string& fileName, Progress* progress,
                            bool rebuild, std::shared_ptr<const ReferenceReader>& reader,
                            const WriteLock* held = nullptr);

// True when the name the reader was opened by still stands for the version of the text it reads
// (also when both are missing): what was computed from the reader still describes the file.
bool ReaderIsCurrent(FileSystem& fs, const ReferenceReader& reader);

// The numeric keys of a reference for the comparison: the first four characters of the year, the
// volume and the first page with leading non-digits removed, each 0 when it is not a number.
struct NumericKeys {
    int year = 0;
    int volume = 0;
    int pageFirst = 0;
};
NumericKeys NumericKeysOf(const TRefArrData& data);

// The journal name of a journal reference, the book title of any other.
const std::string& SourceTitle(const TRefArrData& data);

} // namespace cvx
