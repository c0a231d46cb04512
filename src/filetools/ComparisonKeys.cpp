#include "filetools/ComparisonKeys.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::size_t kNarrowRecord = 14;
constexpr std::size_t kWideRecord = 16;
// References of a filter file whose keys are read again to vouch for a key file.
constexpr int kSampleSize = 64;

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

// True when a sample of the references spread over the file still has the keys the key file
// gives them: a key file left from another text of the same length and an older date is found.
bool SampleAgrees(const ReferenceReader& filter, const std::vector<ComparisonKey>& keys) {
    std::vector<ComparisonKey> byReference(keys.size());
    for (const ComparisonKey& k : keys) {
        byReference[k.reference] = k;
    }
    const int count = filter.Count();
    const int step = std::max(1, count / kSampleSize);
    for (int i = 0; i < count; i += step) {
        ComparisonKey now;
        if (!CurrentKey(filter, i, nullptr, now) || !now.SameKey(byReference[i])) {
            return false;
        }
    }
    return true;
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
    // A key file that cannot be written costs only the next comparison's time; one made from a
    // text that changed meanwhile would describe another text.
    if (count > 0 && ReaderIsCurrent(fs, filter)) {
        (void)WriteFileAtomically(fs, CompanionPath(fs, filter.FileName(), kKeyExt),
                                  KeyFileImage(keys));
    }
    return Outcome::Ok();
}

Outcome LoadOrBuildKeys(FileSystem& fs, const ReferenceReader& filter, Progress& progress,
                        std::vector<ComparisonKey>& keys, bool& reused) {
    reused = false;
    const std::string keyFile = CompanionPath(fs, filter.FileName(), kKeyExt);
    std::string image;
    if (!CompanionOutdated(fs, filter.FileName(), keyFile) && ReadWholeFile(fs, keyFile, image) &&
        KeysFromImage(image, filter.Count(), keys) && SampleAgrees(filter, keys)) {
        reused = true;
        return Outcome::Ok();
    }
    return BuildKeys(fs, filter, progress, keys);
}

} // namespace cvx
