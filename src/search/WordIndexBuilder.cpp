#include "search/WordIndexBuilder.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceReader.h"
#include "search/IndexRuns.h"
#include "search/IndexState.h"
#include "search/IndexWordTable.h"
#include "search/IndexWords.h"
#include "search/StreamSink.h"
#include "search/WordIndexFormat.h"
#include "storage/FileRewrite.h"
#include "storage/LittleEndian.h"
#include "storage/TextHash.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

namespace cvx {

namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
constexpr int kWordsShownEvery = 4096; // references between two counts of the words processed
constexpr int kReadingShare = 700;     // of the progress, for reading; the rest for merging

// The temporary files of one build, named beside the reference file with a part of their own so
// that two builds never share one; all are removed when the build ends, whatever its outcome.
class Temporaries {
public:
    Temporaries(FileSystem& fs, std::string referenceFile)
        : fs_(fs), referenceFile_(std::move(referenceFile)) {
        std::random_device random;
        tag_ = HexWord(random()) + HexWord(random());
    }
    Temporaries(const Temporaries&) = delete;
    Temporaries& operator=(const Temporaries&) = delete;
    ~Temporaries() {
        for (const std::string& name : names_) {
            (void)fs_.Remove(name);
        }
    }

    // A new name for the extension text `ext` (".~~W" gives "refs..~~W" plus the build's part).
    std::string Name(const std::string& ext) {
        names_.push_back(ChangeExt(referenceFile_, ext) + "." + tag_);
        return names_.back();
    }
    // A file renamed into place is no longer a temporary.
    void Placed(const std::string& name) { std::erase(names_, name); }

private:
    static std::string HexWord(unsigned v) {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string s(8, '0');
        for (int i = 7; i >= 0; --i, v >>= 4) {
            s[static_cast<std::size_t>(i)] = kDigits[v & 0xF];
        }
        return s;
    }

    FileSystem& fs_;
    std::string referenceFile_;
    std::string tag_;
    std::vector<std::string> names_;
};

// Cuts a text streamed in pieces into the blocks its map locates.
class BlockStream {
public:
    BlockStream(const std::vector<MapEntry>& map,
                std::function<Outcome(int, std::string_view)> onBlock)
        : map_(map), onBlock_(std::move(onBlock)) {}

    Outcome Take(std::string_view data) {
        std::string_view view = data;
        std::uint64_t base = streamed_;
        if (!pending_.empty()) {
            pending_.append(data);
            view = pending_;
            base = pendingStart_;
        }
        streamed_ += data.size();
        const std::uint64_t end = base + view.size();
        for (; next_ < map_.size(); ++next_) {
            const MapEntry& e = map_[next_];
            if (std::uint64_t{e.offset} + e.length > end) {
                break;
            }
            if (Outcome r =
                    onBlock_(static_cast<int>(next_),
                             view.substr(static_cast<std::size_t>(e.offset - base), e.length));
                !r) {
                return r;
            }
        }
        const std::uint64_t keep =
            next_ < map_.size() ? std::max<std::uint64_t>(map_[next_].offset, base) : end;
        std::string rest(view.substr(static_cast<std::size_t>(std::min(keep, end) - base)));
        pending_ = std::move(rest);
        pendingStart_ = keep;
        return Outcome::Ok();
    }

    bool Complete() const { return next_ == map_.size(); }

private:
    const std::vector<MapEntry>& map_;
    std::function<Outcome(int, std::string_view)> onBlock_;
    std::string pending_;
    std::uint64_t pendingStart_ = 0;
    std::uint64_t streamed_ = 0;
    std::size_t next_ = 0;
};

// A temporary file written through a buffer.
class BufferedOutput {
public:
    Outcome Open(FileSystem& fs, const std::string& name) {
        Outcome r;
        file_ = fs.OpenForWrite(name, false, r);
        return r;
    }
    Outcome Append(std::string_view bytes) {
        buffer_.append(bytes);
        size_ += bytes.size();
        return buffer_.size() >= kFlushBytes ? Flush() : Outcome::Ok();
    }
    Outcome Close() {
        if (Outcome r = Flush(); !r) {
            return r;
        }
        return file_->Close();
    }
    std::uint64_t Size() const { return size_; }
    WritableFile& File() { return *file_; }

private:
    Outcome Flush() {
        Outcome r = file_->Append(buffer_);
        buffer_.clear();
        return r;
    }

    std::unique_ptr<WritableFile> file_;
    std::string buffer_;
    std::uint64_t size_ = 0;
};

// The word lists and the reference data of the sections, written as the merged postings come in
// (field by field, word by word), into two temporary files.
class SectionWriter {
public:
    SectionWriter(std::uint32_t mask, std::uint32_t references, IndexHeader& header)
        : mask_(mask), references_(references), header_(header) {}

    Outcome Open(FileSystem& fs, Temporaries& temporaries) {
        wordsName_ = temporaries.Name(".~~W");
        dataName_ = temporaries.Name(".~~O");
        if (Outcome r = words_.Open(fs, wordsName_); !r) {
            return r;
        }
        return data_.Open(fs, dataName_);
    }

    Outcome Add(const IndexPosting& posting) {
        if (posting.field != field_) {
            if (Outcome r = MoveTo(posting.field); !r) {
                return r;
            }
        }
        std::string entry;
        AppendWordEntry(entry, posting.word, static_cast<std::uint32_t>(sectionData_));
        const std::string data = EncodeReferenceData(posting.references, references_);
        sectionData_ += data.size();
        ++header_.Section(field_).wordCount;
        if (sectionData_ > 0xFFFFFFFFu) {
            return Outcome::Error(Message(msg::Searching::IndexRunDamaged));
        }
        if (Outcome r = words_.Append(entry); !r) {
            return r;
        }
        return data_.Append(data);
    }

    // Closes the last section and the sections after it; then the files are complete.
    Outcome Finish() {
        if (Outcome r = MoveTo(kLastIndexField + 1); !r) {
            return r;
        }
        if (Outcome r = words_.Close(); !r) {
            return r;
        }
        return data_.Close();
    }

    std::uint64_t WordBytes() const { return words_.Size(); }
    std::uint64_t DataBytes() const { return data_.Size(); }
    // The two temporary files, word lists first.
    std::vector<std::string> Files() const { return {wordsName_, dataName_}; }

private:
    // Ends the open section and starts every section up to `field`; the indexed ones among them
    // have an empty word list (its leading 0 and a closing entry).
    Outcome MoveTo(int field) {
        std::string list;
        if (field_ >= kFirstIndexField && (mask_ >> field_ & 1u) != 0) {
            AppendClosingEntry(list, static_cast<std::uint32_t>(sectionData_));
        }
        for (int f = field_ + 1; f <= field; ++f) {
            header_.Section(f).wordStart = static_cast<std::uint32_t>(words_.Size() + list.size());
            header_.Section(f).dataStart = static_cast<std::uint32_t>(data_.Size());
            if (f <= kLastIndexField && (mask_ >> f & 1u) != 0) {
                list.push_back('\0');
                if (f < field) {
                    AppendClosingEntry(list, 0);
                }
            }
        }
        field_ = field;
        sectionData_ = 0;
        return words_.Append(list);
    }

    std::uint32_t mask_;
    std::uint32_t references_;
    IndexHeader& header_;
    std::string wordsName_;
    std::string dataName_;
    BufferedOutput words_;
    BufferedOutput data_;
    int field_ = kFirstIndexField - 1;
    std::uint64_t sectionData_ = 0;
};

struct KeyRecord {
    std::uint32_t reference; // 1-based
    YearLineKeys keys;
};

class IndexBuild {
public:
    IndexBuild(FileSystem& fs, const std::string& referenceFile, std::uint32_t requested,
               Progress* progress, const IndexBuildOptions& options)
        : fs_(fs), name_(referenceFile), requested_(requested), mask_(StoredFieldMask(requested)),
          progress_(progress), options_(options), temporaries_(fs, referenceFile) {}

    Outcome Run(IndexBuildReport& report);

private:
    void Status(MsgId text) const {
        if (progress_ != nullptr) {
            progress_->SetStatus(Message(text));
        }
    }
    bool Aborted() const { return progress_ != nullptr && progress_->AbortRequested(); }
    Outcome Read();
    Outcome Spill();
    Outcome Merge(IndexHeader& header, SectionWriter& sections);
    Outcome WriteIndex(IndexHeader& header, SectionWriter& sections);
    Outcome WriteKeyFile();
    // Writes a new temporary file with `produce` and renames it to `name`, as long as the
    // reference file is still the text that was read.
    Outcome WriteAndPlace(const std::string& ext, const std::string& name,
                          const std::function<Outcome(WritableFile& out)>& produce);
    Outcome NotWritten(const Outcome& cause) const {
        return Outcome::Error(
            Msg(msg::Searching::IndexNotWritten, DisplayPath(name_), cause.message()));
    }

    FileSystem& fs_;
    std::string name_;
    std::uint32_t requested_;
    std::uint32_t mask_;
    Progress* progress_;
    IndexBuildOptions options_;
    Temporaries temporaries_;
    std::shared_ptr<const ReferenceReader> reader_;
    IndexWordTable table_;
    std::vector<std::string> runs_;
    std::vector<KeyRecord> keys_;
    TextHash hash_;
    std::uint32_t totalWords_ = 0;
    std::size_t peak_ = 0;
    std::uint64_t lists_ = 0; // lists written out or held, for the merge's progress
};

Outcome IndexBuild::Spill() {
    const std::string name = temporaries_.Name(".~~R" + std::to_string(runs_.size()));
    BufferedOutput out;
    Outcome r = out.Open(fs_, name);
    if (r) {
        r = WriteIndexRun(table_, out.File());
    }
    if (r) {
        r = out.Close();
    }
    if (!r) {
        return NotWritten(r);
    }
    runs_.push_back(name);
    lists_ += table_.ListCount();
    table_.Clear();
    return Outcome::Ok();
}

// The first (and only) reading: every reference in map order, cut into words by field.
Outcome IndexBuild::Read() {
    Status(msg::CreateIDX::FirstReading);
    const bool freeText = (mask_ >> kFreeTextField & 1u) != 0;
    const bool yearLine = (requested_ >> kYearLineField & 1u) != 0;
    const std::uint64_t size = reader_->TextSize();
    std::uint64_t streamed = 0;
    BlockStream blocks(reader_->Map(), [&](int index, std::string_view block) -> Outcome {
        if (Aborted()) {
            return Outcome::Aborted(Message(msg::CreateIDX::IndexingAborted));
        }
        if (reader_->IsDeleted(index)) {
            return Outcome::Ok();
        }
        const auto reference = static_cast<std::uint32_t>(index);
        ForEachIndexWord(block, [&](int field, std::string_view word) {
            const bool own = (mask_ >> field & 1u) != 0;
            if (own) {
                table_.Add(field, word, reference);
            }
            if (freeText) {
                table_.Add(kFreeTextField, word, reference);
            }
            totalWords_ += own || freeText ? 1 : 0;
        });
        if (YearLineKeys k; yearLine && YearLineKeysOf(block, k)) {
            keys_.push_back({reference + 1, k});
        }
        if (progress_ != nullptr && index % kWordsShownEvery == 0) {
            progress_->SetDetail(Msg(msg::CreateIDX::ProcessedWords, std::to_string(totalWords_)));
            progress_->SetProgress(
                static_cast<int>(Permille(streamed, size) * kReadingShare / Progress::kMaximum));
        }
        const std::size_t use = table_.MemoryUse();
        peak_ = std::max(peak_, use);
        return use > options_.memoryLimit ? Spill() : Outcome::Ok();
    });
    StreamSink sink([&](std::string_view bytes) {
        hash_.Add(bytes);
        streamed += bytes.size();
        return blocks.Take(bytes);
    });
    if (Outcome r = reader_->CopyTo(0, size, sink); !r) {
        return r;
    }
    if (!blocks.Complete()) {
        return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)));
    }
    return Outcome::Ok();
}

Outcome IndexBuild::Merge(IndexHeader& header, SectionWriter& sections) {
    Status(msg::CreateIDX::ProcessingData);
    std::vector<std::unique_ptr<PostingSource>> sources;
    for (const std::string& run : runs_) {
        Outcome r;
        std::unique_ptr<ReadableFile> file = fs_.OpenForRead(run, r);
        if (!file) {
            return NotWritten(r);
        }
        sources.push_back(ReadIndexRun(std::move(file)));
    }
    sources.push_back(ReadIndexTable(table_));
    lists_ += table_.ListCount();
    std::uint64_t merged = 0;
    return MergePostings(sources, [&](const IndexPosting& posting) -> Outcome {
        if (++merged % kWordsShownEvery == 0) {
            if (Aborted()) {
                return Outcome::Aborted(Message(msg::CreateIDX::IndexingAborted));
            }
            if (progress_ != nullptr) {
                progress_->SetProgress(kReadingShare +
                                       static_cast<int>(std::min<std::uint64_t>(merged, lists_) *
                                                        (Progress::kMaximum - kReadingShare) /
                                                        std::max<std::uint64_t>(lists_, 1)));
            }
        }
        if (posting.field == kFreeTextField || (mask_ >> kFreeTextField & 1u) == 0) {
            ++header.distinctWords;
        }
        return sections.Add(posting);
    });
}

Outcome IndexBuild::WriteAndPlace(const std::string& ext, const std::string& name,
                                  const std::function<Outcome(WritableFile& out)>& produce) {
    const std::string temporary = temporaries_.Name(ext);
    Outcome r = WriteWholeFile(fs_, temporary, produce);
    if (!r) {
        return NotWritten(r);
    }
    const FileInfo now = fs_.Stat(name_);
    const TextStamp& read = reader_->Stamp();
    if (now.size != read.size || now.modifiedNs != read.modifiedNs || now.inode != read.inode) {
        return Outcome::Error(Msg(msg::Searching::ChangedWhileIndexing, DisplayPath(name_)));
    }
    if (r = fs_.Rename(temporary, name); !r) {
        return NotWritten(r);
    }
    temporaries_.Placed(temporary);
    return Outcome::Ok();
}

// The header, the word lists and the reference data in one temporary file, renamed to the index.
Outcome IndexBuild::WriteIndex(IndexHeader& header, SectionWriter& sections) {
    Status(msg::CreateIDX::CreatingIdxFile);
    const std::uint64_t words = sections.WordBytes();
    const std::uint64_t total = kIndexHeaderSize + words + sections.DataBytes();
    if (total > 0xFFFFFFFFu) {
        return NotWritten(Outcome::Error(Message(msg::Citavox::FileTooLarge)));
    }
    for (IndexSection& s : header.sections) {
        s.wordStart += kIndexHeaderSize;
        s.dataStart += static_cast<std::uint32_t>(kIndexHeaderSize + words);
    }
    header.fileSize = static_cast<std::uint32_t>(total);
    return WriteAndPlace(".~~I", IndexFileOf(fs_, name_), [&](WritableFile& out) {
        Outcome r = out.Append(header.Encode());
        for (const std::string& part : sections.Files()) {
            if (!r) {
                break;
            }
            std::unique_ptr<ReadableFile> in = fs_.OpenForRead(part, r);
            if (in) {
                r = CopyRange(*in, 0, in->Info().size, out);
            }
        }
        return r;
    });
}

// One 10-byte record per reference with a year line, in the order of year, volume, first page.
Outcome IndexBuild::WriteKeyFile() {
    std::stable_sort(keys_.begin(), keys_.end(), [](const KeyRecord& a, const KeyRecord& b) {
        return std::tie(a.keys.year, a.keys.volume, a.keys.firstPage) <
               std::tie(b.keys.year, b.keys.volume, b.keys.firstPage);
    });
    std::string image;
    image.reserve(keys_.size() * 10);
    for (const KeyRecord& k : keys_) {
        PutLe32(image, k.reference);
        PutLe16(image, k.keys.year);
        PutLe16(image, k.keys.volume);
        PutLe16(image, k.keys.firstPage);
    }
    return WriteAndPlace(".~~P", IndexKeyFileOf(name_),
                         [&](WritableFile& out) { return out.Append(image); });
}

Outcome IndexBuild::Run(IndexBuildReport& report) {
    if (mask_ == 0) {
        return Outcome::Error(Message(msg::Searching::NoFieldsToIndex));
    }
    Status(msg::CreateIDX::Initializing);
    const FileInfo info = fs_.Stat(name_);
    if (!info.exists || info.isDirectory) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name_)));
    }
    if (FileIsEmpty(fs_, name_)) {
        return Outcome::Error(Msg(msg::RefWin::FileEmpty, DisplayPath(name_)));
    }
    if (Outcome r = OpenReferenceReader(fs_, name_, progress_, false, reader_); !r) {
        return r;
    }
    if (Outcome r = Read(); !r) {
        return r;
    }
    const auto references = static_cast<std::uint32_t>(reader_->Count());
    IndexHeader header;
    header.referenceCount = references;
    header.totalWords = totalWords_;
    header.fieldMask = mask_;
    header.textKnown = true;
    header.text.size = static_cast<std::uint32_t>(reader_->TextSize());
    header.text.hash = hash_.Value();
    header.text.modifiedNs = reader_->Stamp().modifiedNs;
    header.text.inode = static_cast<std::uint32_t>(reader_->Stamp().inode);
    SectionWriter sections(mask_, references, header);
    if (Outcome r = sections.Open(fs_, temporaries_); !r) {
        return NotWritten(r);
    }
    if (Outcome r = Merge(header, sections); !r) {
        return r;
    }
    if (Outcome r = sections.Finish(); !r) {
        return NotWritten(r);
    }
    if (Aborted()) {
        return Outcome::Aborted(Message(msg::CreateIDX::IndexingAborted));
    }
    if (Outcome r = WriteIndex(header, sections); !r) {
        return r;
    }
    if ((requested_ >> kYearLineField & 1u) != 0) {
        if (Outcome r = WriteKeyFile(); !r) {
            return r;
        }
    }
    report.references = references;
    report.distinctWords = header.distinctWords;
    report.totalWords = totalWords_;
    report.runs = static_cast<int>(runs_.size());
    report.peakTableBytes = peak_;
    return Outcome::Ok();
}

} // namespace

Outcome CreateWordIndex(FileSystem& fs, const std::string& referenceFile, std::uint32_t fieldMask,
                        Progress* progress, const IndexBuildOptions& options,
                        IndexBuildReport* report) {
    IndexBuildReport local;
    Outcome r;
    {
        IndexBuild build(fs, referenceFile, fieldMask, progress, options);
        r = build.Run(report != nullptr ? *report : local);
    }
    if (progress != nullptr) {
        // A build that failed was cut short as one that was aborted.
        progress->SetStatus(
            Message(r ? msg::CreateIDX::IndexingCompleted : msg::CreateIDX::IndexingAborted));
        progress->SetProgress(0);
    }
    return r;
}

std::string IndexKeyFileOf(const std::string& referenceFile) {
    return ChangeExt(referenceFile, ".yvp");
}

} // namespace cvx
