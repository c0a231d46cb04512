#include "refstore/MapFile.h"

#include "refstore/Companions.h"
#include "refstore/StampFile.h"
#include "refstore/TextStamp.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

namespace cvx {

namespace {

constexpr std::size_t kMaxTailCheck = std::size_t{64} * 1024;

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

// The last block must start where the map says, and nothing after it may look like a block.
bool MapFitsText(const std::vector<MapEntry>& map, ReadableFile& text, std::uint64_t size) {
    if (map.empty()) {
        return false;
    }
    const MapEntry& last = map.back();
    const std::uint64_t end = std::uint64_t{last.offset} + last.length;
    const std::uint64_t tail = size - end;
    if (tail > kMaxTailCheck) {
        return false;
    }
    std::string bytes(2, '\0');
    std::size_t got = 0;
    if (!text.ReadAt(last.offset, bytes.data(), 2, got) || got != 2 || !IsBlockStartAt(bytes)) {
        return false;
    }
    if (tail == 0) {
        return true;
    }
    bytes.assign(static_cast<std::size_t>(tail) + 1, '\0');
    if (!text.ReadAt(end - 1, bytes.data(), bytes.size(), got) || got != bytes.size()) {
        return false;
    }
    return !HoldsBlockStart(bytes);
}

void ShowStatus(Progress* progress, std::string_view text) {
    if (progress) {
        progress->SetStatus(text);
    }
}

// Saves the map and its stamp, unless another writer holds the file or the name has been given
// to another version of the text since it was read.
void SaveMap(FileSystem& fs, const std::string& path, const TextStamp& stamp,
             const std::vector<MapEntry>& entries, const WriteLock* held) {
    WriteLock own;
    if (held == nullptr && !own.TryAcquire(fs, path)) {
        return;
    }
    if (StampOf(fs.Stat(path)) != stamp) {
        return;
    }
    const std::string image = MapToImage(entries);
    if (!WriteFileAtomically(fs, ChangeExt(path, kMapExt), image, false)) {
        return;
    }
    StampFile stamps = StampFile::Load(fs, path);
    stamps.Set(Stamped::Map, image, stamp);
    (void)stamps.Save(fs, path, false);
}

Outcome BuildMapOf(const std::string& shown, ReadableFile& text, const TextStamp& stamp,
                   Progress* progress, std::vector<MapEntry>& entries) {
    ShowStatus(progress, Msg(msg::RefWin::MappingFile));
    MapBuildResult result;
    if (Outcome r = BuildMap(text, stamp.size, progress, result); !r) {
        return r.aborted() ? r
                           : Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(shown)) +
                                            "\r" + r.message());
    }
    if (result.binary) {
        return Outcome::Error(Msg(msg::Citavox::NotReferenceText, DisplayPath(shown)));
    }
    if (result.lineEnds != LineEnds::CrLf) {
        const msg::Citavox kind = result.lineEnds == LineEnds::LfOnly   ? msg::Citavox::LfOnly
                                  : result.lineEnds == LineEnds::CrOnly ? msg::Citavox::CrOnly
                                                                        : msg::Citavox::Mixed;
        return Outcome::Error(Msg(msg::Citavox::WrongLineEnds, DisplayPath(shown), Message(kind)));
    }
    if (result.tooLarge) {
        return Outcome::Error(Msg(msg::Citavox::ReferenceTooLong,
                                  std::to_string(result.tooLargeIndex + 1), DisplayPath(shown),
                                  std::to_string(result.tooLargeLength)));
    }
    entries = std::move(result.entries);
    ShowStatus(progress, Msg(msg::RefWin::MappingCompleted));
    return Outcome::Ok();
}

} // namespace

Outcome LoadOrBuildMap(FileSystem& fs, const std::string& path, const std::string& shown,
                       ReadableFile& text, const TextStamp& stamp, Progress* progress, bool rebuild,
                       const WriteLock* held, std::vector<MapEntry>& entries) {
    entries.clear();
    if (!rebuild) {
        // Six bytes per reference, and a reference takes at least three bytes of text.
        const std::uint64_t limit = (stamp.size / 3 + 1) * kMapEntrySize;
        std::string image;
        if (ReadWholeFile(fs, CompanionPath(fs, path, kMapExt), image, limit) &&
            StampFile::Load(fs, path).Vouches(Stamped::Map, image, stamp) &&
            MapFromImage(image, stamp.size, entries) && MapFitsText(entries, text, stamp.size)) {
            return Outcome::Ok();
        }
        entries.clear();
    }
    if (Outcome r = BuildMapOf(shown, text, stamp, progress, entries); !r) {
        return r;
    }
    if (!entries.empty()) {
        SaveMap(fs, path, stamp, entries, held);
    }
    return Outcome::Ok();
}

} // namespace cvx
