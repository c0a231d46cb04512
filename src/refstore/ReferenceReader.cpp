#include "refstore/ReferenceReader.h"

#include "refstore/Companions.h"
#include "refstore/MapFile.h"
#include "storage/FileRewrite.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace cvx {

namespace {

constexpr std::size_t kWindowSize = std::size_t{256} * 1024;
constexpr std::size_t kWindowBack = 4096; // so that stepping back is served from the window too
// Map entries hold 32-bit offsets.
constexpr std::uint64_t kMaxTextSize = std::numeric_limits<std::uint32_t>::max();

// Every reader gets its own number, so a read buffer filled for one is never taken for another
// that happens to live at the same address.
std::uint64_t NextSerial() {
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

bool IsBlockStart(char blank, char printable) {
    return IsBlankByte(static_cast<unsigned char>(blank)) &&
           IsPrintableByte(static_cast<unsigned char>(printable));
}

// A block ends with an empty line: a line feed, a blank and a line feed, or two line feeds.
bool EndsBlock(std::string_view block) {
    const std::size_t n = block.size();
    return (n >= 2 && block[n - 2] == '\n' && block[n - 1] == '\n') ||
           (n >= 3 && block[n - 3] == '\n' &&
            IsBlankByte(static_cast<unsigned char>(block[n - 2])) && block[n - 1] == '\n');
}

} // namespace

ReferenceReader::ReferenceReader(std::string fileName, std::shared_ptr<ReadableFile> text,
                                 TextStamp stamp, std::vector<MapEntry> map)
    : name_(std::move(fileName)), text_(std::move(text)), stamp_(stamp), map_(std::move(map)),
      serial_(NextSerial()) {
    for (const MapEntry& e : map_) {
        deleted_ += e.length < kMinPresentLength ? 1 : 0;
    }
}

bool ReferenceReader::IsDeleted(int index) const {
    return index < 0 || index >= Count() ||
           map_[static_cast<std::size_t>(index)].length < kMinPresentLength;
}

std::uint64_t ReferenceReader::Span(int index) const {
    const auto i = static_cast<std::size_t>(index);
    if (i + 1 < map_.size()) {
        return map_[i + 1].offset - map_[i].offset;
    }
    return stamp_.size - map_[i].offset;
}

Outcome ReferenceReader::Changed() const {
    return Outcome::Error(Msg(msg::Citavox::FileChangedOutside, DisplayPath(name_)));
}

// Reads the block with the byte before it and checks both against the shape of a block: a blank
// and a printable byte at its start, a line feed before it (except for the first block, which may
// follow stray text) and an empty line at its end (except for a last block that runs to the end).
Outcome ReferenceReader::ReadSpan(int index, std::string& bytes, ReadBuffer* buffer) const {
    if (index < 0 || index >= Count() || !text_) {
        return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)));
    }
    const MapEntry e = map_[static_cast<std::size_t>(index)];
    const std::uint64_t from = e.offset > 0 ? e.offset - 1 : 0;
    const std::uint64_t end = std::uint64_t{e.offset} + e.length;
    std::string_view span;
    std::string local;
    // The window is filled again only for reads in file order: a read that jumps (a pass in a
    // sorted order) reads its block alone instead of a whole window for each reference.
    const bool inWindow = buffer != nullptr && buffer->reader_ == serial_ &&
                          from >= buffer->start_ && end <= buffer->start_ + buffer->bytes_.size();
    if (buffer != nullptr && !inWindow && buffer->reader_ == serial_ && index != buffer->next_) {
        buffer->next_ = index + 1;
        buffer = nullptr;
    }
    if (buffer != nullptr) {
        buffer->next_ = index + 1;
        if (!inWindow) {
            buffer->reader_ = 0;
            buffer->start_ = from > kWindowBack ? from - kWindowBack : 0;
            const std::uint64_t want =
                std::min(std::max<std::uint64_t>(kWindowSize, end - buffer->start_),
                         stamp_.size - buffer->start_);
            buffer->bytes_.resize(static_cast<std::size_t>(want));
            std::size_t got = 0;
            if (Outcome r = text_->ReadAt(buffer->start_, buffer->bytes_.data(),
                                          buffer->bytes_.size(), got);
                !r) {
                return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)) + "\r" +
                                      r.message());
            }
            buffer->bytes_.resize(got);
            if (end > buffer->start_ + got) {
                return Changed();
            }
            buffer->reader_ = serial_;
        }
        span = std::string_view(buffer->bytes_)
                   .substr(static_cast<std::size_t>(from - buffer->start_),
                           static_cast<std::size_t>(end - from));
    } else {
        local.resize(static_cast<std::size_t>(end - from));
        std::size_t got = 0;
        if (Outcome r = text_->ReadAt(from, local.data(), local.size(), got); !r) {
            return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)) + "\r" +
                                  r.message());
        }
        if (got != local.size()) {
            return Changed();
        }
        span = local;
    }
    const std::string_view block = span.substr(static_cast<std::size_t>(e.offset - from));
    const bool startFits = block.size() >= 2 && IsBlockStart(block[0], block[1]) &&
                           (index == 0 || span.front() == '\n');
    const bool endFits = (end == stamp_.size && index + 1 == Count()) || EndsBlock(block);
    if (!startFits || !endFits) {
        return Changed();
    }
    bytes.assign(block);
    return Outcome::Ok();
}

Outcome ReferenceReader::ReadRaw(int index, std::string& bytes, ReadBuffer* buffer) const {
    return ReadSpan(index, bytes, buffer);
}

Outcome ReferenceReader::Read(int index, StoredReference& ref, ReadBuffer* buffer) const {
    ref = StoredReference();
    if (Outcome r = ReadSpan(index, ref.bytes, buffer); !r) {
        return r;
    }
    ref.index = index;
    ref.split = SplitReferenceText(ref.bytes);
    ref.deleted = IsDeleted(index);
    return Outcome::Ok();
}

Outcome ReferenceReader::Parse(int index, bool check, const FormalCheck& journals,
                               StoredReference& ref, ReadBuffer* buffer) const {
    if (Outcome r = Read(index, ref, buffer); !r) {
        return r;
    }
    ParsedReference parsed = ParseReference(ref.bytes, check, journals);
    ref.data = std::move(parsed.data);
    ref.ruined = parsed.ruined;
    ref.suspect = parsed.suspect;
    return Outcome::Ok();
}

Outcome ReferenceReader::SortRecord(int index, TSortRec& record, const JournalLookup* journals,
                                    Collation collation, ReadBuffer* buffer) const {
    std::string bytes;
    if (Outcome r = ReadSpan(index, bytes, buffer); !r) {
        return r;
    }
    record = MakeSortRecord(ParseReference(bytes, false).data, index,
                            static_cast<int>(bytes.size()), journals, collation);
    return Outcome::Ok();
}

Outcome ReferenceReader::CopyBlock(int index, WritableFile& out, ReadBuffer* buffer) const {
    std::string bytes;
    if (Outcome r = ReadSpan(index, bytes, buffer); !r) {
        return r;
    }
    if (Outcome r = out.Append(bytes); !r) {
        return r;
    }
    const MapEntry e = Entry(index);
    return CopyTo(std::uint64_t{e.offset} + e.length, Span(index) - e.length, out);
}

Outcome ReferenceReader::CopyTo(std::uint64_t offset, std::uint64_t length,
                                WritableFile& out) const {
    if (!text_) {
        return length == 0 ? Outcome::Ok()
                           : Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(name_)));
    }
    return CopyRange(*text_, offset, length, out);
}

bool ReferenceReader::EntriesFit(const std::vector<int>& indices) const {
    std::string bytes;
    return std::all_of(indices.begin(), indices.end(), [&](int i) {
        return i < 0 || i >= Count() || ReadSpan(i, bytes, nullptr).ok();
    });
}

Outcome OpenReferenceReader(FileSystem& fs, const std::string& fileName, Progress* progress,
                            bool rebuild, std::shared_ptr<const ReferenceReader>& reader,
                            const WriteLock* held) {
    reader.reset();
    const std::string path = fs.ResolveLinks(fileName);
    for (const std::string& name : {fileName, path}) {
        if (Outcome r = CheckReferenceFileName(name); !r) {
            return r;
        }
    }
    if (!fs.Stat(path).exists) {
        reader = std::make_shared<const ReferenceReader>(fileName, nullptr, TextStamp{},
                                                         std::vector<MapEntry>{});
        return Outcome::Ok();
    }
    Outcome r;
    std::shared_ptr<ReadableFile> text = fs.OpenForRead(path, r);
    if (!text) {
        return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(fileName)) + "\r" +
                              r.message());
    }
    // The stamp of what was opened, which stays what the reader reads whatever the name becomes.
    const TextStamp stamp = StampOf(text->Info());
    if (stamp.size > kMaxTextSize) {
        return Outcome::Error(Msg(msg::Citavox::FileTooLarge, DisplayPath(fileName)));
    }
    std::vector<MapEntry> map;
    if (Outcome m = LoadOrBuildMap(fs, path, fileName, *text, stamp, progress, rebuild, held, map);
        !m) {
        return m;
    }
    reader =
        std::make_shared<const ReferenceReader>(fileName, std::move(text), stamp, std::move(map));
    return Outcome::Ok();
}

bool ReaderIsCurrent(FileSystem& fs, const ReferenceReader& reader) {
    const FileInfo info = fs.Stat(reader.FileName());
    return info.exists ? StampOf(info) == reader.Stamp() : reader.Stamp() == TextStamp{};
}

NumericKeys NumericKeysOf(const TRefArrData& data) {
    auto number = [](std::string_view field) {
        field = TrimView(field);
        while (!field.empty() && !IsDigit(field.front())) {
            field.remove_prefix(1);
        }
        return SortNumber(field);
    };
    NumericKeys keys;
    keys.year = SortNumber(std::string_view(data[FieldIndex::Year]).substr(0, 4));
    keys.volume = number(data[FieldIndex::Volume]);
    keys.pageFirst = number(data[FieldIndex::PageFirst]);
    return keys;
}

const std::string& SourceTitle(const TRefArrData& data) {
    return data.sourceType == SourceType::Journal ? data[FieldIndex::Journal]
                                                  : data[FieldIndex::BookTitle];
}

} // namespace cvx
