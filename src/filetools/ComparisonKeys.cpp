#include "filetools/ComparisonKeys.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceReader.h"
#include "refstore/StampFile.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "storage/LittleEndian.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::size_t kNarrowRecord = 14;
constexpr std::size_t kWideRecord = 16;

// The numeric keys of filter reference i as they are now; deleted references have the empty key.
Outcome CurrentKey(const ReferenceReader& filter, int i, ReadBuffer* buffer, ComparisonKey& key) {
    key = ComparisonKey{static_cast<std::uint32_t>(i)};
    if (filter.IsDeleted(i)) {
        return Outcome::Ok();
    }
    std::string bytes;
    if (Outcome r = filter.ReadRaw(i, bytes, buffer); !r) {
        return r;
    }
    key = KeyOf(static_cast<std::uint32_t>(i), NumericKeysOf(ParseReference(bytes, false).data));
    return Outcome::Ok();
}

// Stores the key file and its stamp, which ties these very bytes to the version of the text they
// describe; nothing when another writer holds the filter file or its name now stands for another
// version. A key file that cannot be written costs only the next comparison's time.
void SaveKeys(FileSystem& fs, const ReferenceReader& filter, const std::string& text,
              const std::vector<ComparisonKey>& keys) {
    WriteLock lock;
    if (!lock.TryAcquire(fs, text) || !ReaderIsCurrent(fs, filter)) {
        return;
    }
    const std::string image = KeyFileImage(keys);
    if (!WriteFileAtomically(fs, CompanionPath(fs, text, kKeyExt), image, false)) {
        return;
    }
    StampFile stamps = StampFile::Load(fs, text);
    stamps.Set(Stamped::Keys, image, filter.Stamp());
    (void)stamps.Save(fs, text, false);
}

} // namespace

ComparisonKey KeyOf(std::uint32_t reference, const NumericKeys& keys) {
    return {reference, keys.year, keys.volume, keys.pageFirst};
}

bool KeyBefore(const ComparisonKey& a, const ComparisonKey& b) {
    if (a.year != b.year) {
        return a.year < b.year;
    }
    if (a.volume != b.volume) {
        return a.volume < b.volume;
    }
    return a.pageFirst < b.pageFirst;
}

std::string KeyFileImage(const std::vector<ComparisonKey>& keys) {
    const bool wide = keys.size() > 0xFFFF;
    std::string image;
    image.reserve(keys.size() * (wide ? kWideRecord : kNarrowRecord));
    for (const ComparisonKey& k : keys) {
        if (wide) {
            PutLe32(image, k.reference);
        } else {
            PutLe16(image, static_cast<std::uint16_t>(k.reference));
        }
        PutLe32(image, static_cast<std::uint32_t>(k.year));
        PutLe32(image, static_cast<std::uint32_t>(k.volume));
        PutLe32(image, static_cast<std::uint32_t>(k.pageFirst));
    }
    return image;
}

bool KeysFromImage(std::string_view image, int count, std::vector<ComparisonKey>& keys) {
    keys.clear();
    const std::size_t n = static_cast<std::size_t>(count);
    const bool wide = n > 0xFFFF;
    const std::size_t record = wide ? kWideRecord : kNarrowRecord;
    if (count <= 0 || image.size() != n * record) {
        return false;
    }
    std::vector<bool> seen(n, false);
    keys.reserve(n);
    for (std::size_t at = 0; at < image.size(); at += record) {
        ComparisonKey k;
        k.reference = wide ? GetLe32(image, at) : GetLe16(image, at);
        const std::size_t numbers = at + (wide ? 4 : 2);
        k.year = static_cast<std::int32_t>(GetLe32(image, numbers));
        k.volume = static_cast<std::int32_t>(GetLe32(image, numbers + 4));
        k.pageFirst = static_cast<std::int32_t>(GetLe32(image, numbers + 8));
        if (k.reference >= n || seen[k.reference] || (!keys.empty() && KeyBefore(k, keys.back()))) {
            keys.clear();
            return false;
        }
        seen[k.reference] = true;
        keys.push_back(k);
    }
    return true;
}

Outcome BuildKeys(FileSystem& fs, const ReferenceReader& filter, Progress& progress,
                  std::vector<ComparisonKey>& keys) {
    progress.SetStatus(Message(msg::VoxComp::CreatingYvpFile));
    const int count = filter.Count();
    keys.assign(static_cast<std::size_t>(count), ComparisonKey{});
    ReadBuffer buffer;
    for (int i = 0; i < count; ++i) {
        if (progress.AbortRequested()) {
            return Outcome::Aborted(Message(msg::VoxComp::ComparisonAborted));
        }
        if (Outcome r = CurrentKey(filter, i, &buffer, keys[static_cast<std::size_t>(i)]); !r) {
            return r;
        }
        if (i % 512 == 0) {
            progress.SetProgress(Permille(i, count));
        }
    }
    progress.SetStatus(Message(msg::VoxComp::SortingYvpFile));
    progress.SetProgress(0);
    std::stable_sort(keys.begin(), keys.end(), KeyBefore);
    if (count > 0) {
        SaveKeys(fs, filter, fs.ResolveLinks(filter.FileName()), keys);
    }
    return Outcome::Ok();
}

Outcome LoadOrBuildKeys(FileSystem& fs, const ReferenceReader& filter, Progress& progress,
                        std::vector<ComparisonKey>& keys, bool& reused) {
    reused = false;
    // The companions of a name that is a link are those of the file it stands for.
    const std::string text = fs.ResolveLinks(filter.FileName());
    const std::uint64_t limit = static_cast<std::uint64_t>(filter.Count()) * kWideRecord;
    std::string image;
    // Only the stamp tells which text a key file describes: a date or a sample of references can
    // vouch for a key file left from another text of the same length.
    if (filter.Count() > 0 && ReadWholeFile(fs, CompanionPath(fs, text, kKeyExt), image, limit) &&
        StampFile::Load(fs, text).Vouches(Stamped::Keys, image, filter.Stamp()) &&
        KeysFromImage(image, filter.Count(), keys)) {
        reused = true;
        return Outcome::Ok();
    }
    return BuildKeys(fs, filter, progress, keys);
}

} // namespace cvx
