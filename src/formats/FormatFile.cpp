#include "formats/FormatFile.h"

#include "formats/StyleText.h"
#include "storage/FileRewrite.h"
#include "text/CaseMapping.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/ShippedData.h"

namespace cvx {

namespace {

// The first bytes of a file, up to one record; false when it cannot be opened or read.
bool ReadRecordBytes(FileSystem& fs, const std::string& path, std::string& bytes) {
    Outcome r;
    std::unique_ptr<ReadableFile> file = fs.OpenForRead(path, r);
    if (!file) {
        return false;
    }
    bytes.resize(kFormatFileSize);
    std::size_t got = 0;
    if (!file->ReadAt(0, bytes.data(), bytes.size(), got)) {
        return false;
    }
    bytes.resize(got);
    return true;
}

} // namespace

int LoadFormat(TFormatDesc& desc, const std::string& path, FileSystem& fs) {
    ResetFormat(desc);
    std::string bytes;
    if (!ReadRecordBytes(fs, path, bytes)) {
        return kFormatLoaded;
    }
    if (!HasFormatMagic(bytes)) {
        return kNotFormatFile;
    }
    desc.record = DecodeFormat(bytes);
    desc.SetFileName(path);
    return kFormatLoaded;
}

Outcome WriteFormatFile(const FormatRecord& record, const std::string& path, FileSystem& fs) {
    if (Outcome r = WriteFileAtomically(fs, path, EncodeFormat(record)); !r) {
        return Outcome::Error(Msg(msg::Formats::CannotWriteFormat, DisplayPath(path), r.message()));
    }
    return Outcome::Ok();
}

bool SaveFormat(const TFormatDesc& desc, const std::string& path, FileSystem& fs) {
    return WriteFormatFile(desc.record, path, fs).ok();
}

bool IsFormatFile(const std::string& path, FileSystem& fs) {
    std::string bytes;
    return ReadRecordBytes(fs, path, bytes) && HasFormatMagic(bytes);
}

std::string FindFormatFile(const std::string& name, FileSystem& fs) {
    if (fs.Stat(name).exists || BaseName(name) != name) {
        return name;
    }
    const std::string shipped =
        ShippedFile(std::string(kShippedStyleFolder) + "/" + DefaultExt(name, "for"));
    return fs.Stat(shipped).exists ? shipped : name;
}

Outcome LoadFormatFile(TFormatDesc& desc, const std::string& name, FileSystem& fs) {
    const std::string path = FindFormatFile(name, fs);
    if (!fs.Stat(path).exists) {
        return Outcome::Error(Msg(msg::Formats::FormatFileMissing, DisplayPath(name)));
    }
    if (LoadFormat(desc, path, fs) != kFormatLoaded || desc.FileName().empty()) {
        return Outcome::Error(Msg(msg::Formats::NotAFormatFile, DisplayPath(path)));
    }
    return Outcome::Ok();
}

Outcome CompileFormatFile(const std::string& description, const std::string& target,
                          FileSystem& fs) {
    if (!fs.Stat(description).exists) {
        return Outcome::Error(Msg(msg::FileOpen::NoSuchFile, DisplayPath(description)));
    }
    std::string text;
    if (Outcome r = ReadWholeFile(fs, description, text); !r) {
        return Outcome::Error(Msg(msg::FileOpen::FailedToRead, DisplayPath(description)) + "\r" +
                              r.message());
    }
    FormatRecord record;
    if (Outcome r = CompileFormat(text, record); !r) {
        return Outcome::Error(DisplayPath(description) + ": " + r.message());
    }
    return WriteFormatFile(record, target, fs);
}

void ListFormatFiles(const std::string& dir, std::vector<std::string>& list, FileSystem& fs) {
    list.clear();
    const std::string prefix = dir.empty() || IsPathSeparator(dir.back()) ? dir : dir + "/";
    for (const std::string& name : fs.ListDirectory(dir)) {
        if (name.size() <= 4 || UpperText(name.substr(name.size() - 4)) != ".FOR") {
            continue;
        }
        if (IsFormatFile(prefix + name, fs)) {
            list.push_back(name.substr(0, name.find('.')));
        }
    }
}

} // namespace cvx
