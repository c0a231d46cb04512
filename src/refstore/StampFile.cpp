#include "refstore/StampFile.h"

#include "refstore/Companions.h"
#include "storage/FileRewrite.h"
#include "storage/LittleEndian.h"
#include "storage/TextHash.h"
#include "text/FileNames.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::string_view kMagic = "CVXS";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kRecordSize = 64;
constexpr std::size_t kMaxRecords = 16;

} // namespace

std::string StampFile::Image(const std::vector<CompanionStamp>& stamps) {
    std::string image(kMagic);
    PutLe32(image, kVersion);
    PutLe32(image, static_cast<std::uint32_t>(stamps.size()));
    for (const CompanionStamp& s : stamps) {
        PutLe32(image, static_cast<std::uint32_t>(s.kind));
        PutLe32(image, 0);
        PutLe64(image, s.size);
        PutLe64(image, s.hash);
        PutLe64(image, s.text.size);
        PutLe64(image, static_cast<std::uint64_t>(s.text.modifiedNs));
        PutLe64(image, static_cast<std::uint64_t>(s.text.changedNs));
        PutLe64(image, s.text.inode);
        PutLe64(image, s.text.device);
    }
    return image;
}

bool StampFile::FromImage(std::string_view image, std::vector<CompanionStamp>& stamps) {
    stamps.clear();
    if (image.size() < kHeaderSize || image.substr(0, 4) != kMagic ||
        GetLe32(image, 4) != kVersion) {
        return false;
    }
    const std::uint32_t count = GetLe32(image, 8);
    if (count > kMaxRecords || image.size() != kHeaderSize + kRecordSize * count) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + kRecordSize * i;
        CompanionStamp s;
        s.kind = static_cast<Stamped>(GetLe32(image, at));
        s.size = GetLe64(image, at + 8);
        s.hash = GetLe64(image, at + 16);
        s.text.size = GetLe64(image, at + 24);
        s.text.modifiedNs = static_cast<std::int64_t>(GetLe64(image, at + 32));
        s.text.changedNs = static_cast<std::int64_t>(GetLe64(image, at + 40));
        s.text.inode = GetLe64(image, at + 48);
        s.text.device = GetLe64(image, at + 56);
        stamps.push_back(s);
    }
    return true;
}

StampFile StampFile::Load(FileSystem& fs, const std::string& referenceFile) {
    StampFile file;
    std::string image;
    if (!ReadWholeFile(fs, CompanionPath(fs, referenceFile, kStampExt), image,
                       kHeaderSize + kRecordSize * kMaxRecords) ||
        !FromImage(image, file.stamps_)) {
        file.stamps_.clear();
    }
    return file;
}

const CompanionStamp* StampFile::For(Stamped kind, std::string_view image) const& {
    for (const CompanionStamp& s : stamps_) {
        if (s.kind == kind && s.size == image.size() && s.hash == TextHash::Of(image)) {
            return &s;
        }
    }
    return nullptr;
}

bool StampFile::Vouches(Stamped kind, std::string_view image, const TextStamp& text) const {
    const CompanionStamp* s = For(kind, image);
    return s != nullptr && s->text == text;
}

void StampFile::Set(Stamped kind, std::string_view image, const TextStamp& text) {
    Drop(kind);
    stamps_.push_back({kind, image.size(), TextHash::Of(image), text});
}

void StampFile::Drop(Stamped kind) {
    std::erase_if(stamps_, [kind](const CompanionStamp& s) { return s.kind == kind; });
}

Outcome StampFile::Save(FileSystem& fs, const std::string& referenceFile, bool durable) const {
    const std::string path = CompanionPath(fs, referenceFile, kStampExt);
    if (stamps_.empty()) {
        return fs.Remove(path);
    }
    return WriteFileAtomically(fs, path, Image(stamps_), durable);
}

} // namespace cvx
