#include "storage/FileRewrite.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <vector>

namespace cvx {

namespace {

// Keeps the old text of `path` as its backup. A hard link keeps it under its own name until the
// rename replaces it; where links are not possible it is renamed, which leaves only a moment
// without it.
Outcome KeepBackup(FileSystem& fs, const std::string& path) {
    const std::string backup = ChangeExt(path, kBackupExt);
    if (Outcome r = fs.Remove(backup); !r) {
        return r;
    }
    return fs.HardLink(path, backup) ? Outcome::Ok() : fs.Rename(path, backup);
}

// Moves the finished temporary file into place, keeping the old text (if any) as the backup.
Outcome CommitRewrite(FileSystem& fs, const std::string& path, const std::string& temporary) {
    if (fs.Stat(path).exists) {
        if (Outcome r = KeepBackup(fs, path); !r) {
            return r;
        }
    }
    if (Outcome r = fs.Rename(temporary, path); !r) {
        return r;
    }
    return fs.SyncDirectory(DirOf(path));
}

} // namespace

Outcome RewriteFile(FileSystem& fs, const std::string& path,
                    const std::function<Outcome(WritableFile& out)>& produce) {
    const std::string temporary = ChangeExt(path, kTemporaryExt);
    if (Outcome r = WriteWholeFile(fs, temporary, produce); !r) {
        (void)fs.Remove(temporary);
        return r;
    }
    return CommitRewrite(fs, path, temporary);
}

Outcome WriteWholeFile(FileSystem& fs, const std::string& path,
                       const std::function<Outcome(WritableFile& out)>& produce) {
    Outcome r;
    std::unique_ptr<WritableFile> out = fs.OpenForWrite(path, false, r);
    if (!out) {
        return r;
    }
    r = produce(*out);
    if (r) {
        r = out->Sync();
    }
    if (Outcome closed = out->Close(); r && !closed) {
        r = closed;
    }
    return r;
}

Outcome CopyRange(ReadableFile& source, std::uint64_t offset, std::uint64_t length,
                  WritableFile& out) {
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, kChunk)));
    while (length > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, kChunk));
        std::size_t got = 0;
        if (Outcome r = source.ReadAt(offset, buffer.data(), want, got); !r) {
            return r;
        }
        if (got == 0) {
            return Outcome::Error(Message(msg::Citavox::FileEndedEarly));
        }
        if (Outcome r = out.Append(std::string_view(buffer.data(), got)); !r) {
            return r;
        }
        offset += got;
        length -= got;
    }
    return Outcome::Ok();
}

Outcome ReplaceFileRegion(FileSystem& fs, const std::string& path, std::uint64_t position,
                          std::string_view newBytes, std::uint64_t oldLength) {
    Outcome r;
    std::unique_ptr<ReadableFile> source = fs.OpenForRead(path, r);
    if (!source) {
        return r;
    }
    const std::uint64_t size = fs.Stat(path).size;
    if (position > size || oldLength > size - position) {
        return Outcome::Error(Message(msg::Citavox::RegionOutsideFile));
    }
    return RewriteFile(fs, path, [&](WritableFile& out) {
        if (Outcome c = CopyRange(*source, 0, position, out); !c) {
            return c;
        }
        if (Outcome c = out.Append(newBytes); !c) {
            return c;
        }
        const std::uint64_t tail = position + oldLength;
        return CopyRange(*source, tail, size - tail, out);
    });
}

namespace {

// Counts what passes to a file, so the file can be checked against it.
class CountingFile final : public WritableFile {
public:
    explicit CountingFile(WritableFile& out) : out_(out) {}
    Outcome Append(std::string_view data) override {
        Outcome r = out_.Append(data);
        if (r) {
            count_ += data.size();
        }
        return r;
    }
    Outcome Sync() override { return out_.Sync(); }
    Outcome Close() override { return out_.Close(); }
    std::uint64_t Count() const { return count_; }

private:
    WritableFile& out_;
    std::uint64_t count_ = 0;
};

} // namespace

Outcome WriteOutputFile(FileSystem& fs, const std::string& path,
                        const std::function<Outcome(WritableFile& out)>& produce) {
    const std::string temporary = path + ".tmp";
    std::uint64_t written = 0;
    Outcome r = WriteWholeFile(fs, temporary, [&](WritableFile& out) {
        CountingFile counted(out);
        Outcome produced = produce(counted);
        written = counted.Count();
        return produced;
    });
    if (r && fs.Stat(temporary).size != written) {
        r = Outcome::Error(Message(msg::Citavox::OutputIncomplete));
    }
    if (r) {
        r = fs.Rename(temporary, path);
    }
    if (!r) {
        (void)fs.Remove(temporary);
    }
    return r;
}

Outcome WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view content) {
    return WriteOutputFile(fs, path, [content](WritableFile& out) { return out.Append(content); });
}

} // namespace cvx
