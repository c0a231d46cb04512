#include "storage/FileRewrite.h"

#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <vector>

namespace cvx {

namespace {

// Finishes a written file: forced to the disk and closed; the first failure counts.
Outcome SyncAndClose(WritableFile& out, Outcome r) {
    if (r) {
        r = out.Sync();
    }
    if (Outcome closed = out.Close(); r && !closed) {
        r = closed;
    }
    return r;
}

// Keeps the current text of `path` as its backup. A hard link costs nothing; where the file
// system has none the text is copied. The old backup goes first, and `path` is never touched.
Outcome KeepBackup(FileSystem& fs, const std::string& path) {
    const std::string backup = ChangeExt(path, kBackupExt);
    if (Outcome r = fs.Remove(backup); !r) {
        return r;
    }
    if (fs.HardLink(path, backup)) {
        return Outcome::Ok();
    }
    Outcome r;
    std::unique_ptr<ReadableFile> source = fs.OpenForRead(path, r);
    if (!source) {
        return r;
    }
    std::string copy;
    std::unique_ptr<WritableFile> out =
        fs.CreateTemporary(path, kBackupExt, source->Info().permissions, copy, r);
    if (!out) {
        return r;
    }
    r = SyncAndClose(*out, CopyRange(*source, 0, source->Info().size, *out));
    if (r) {
        r = fs.Rename(copy, backup);
    }
    if (!r) {
        (void)fs.Remove(copy);
    }
    return r;
}

} // namespace

Outcome RewriteFile(FileSystem& fs, const std::string& path,
                    const std::function<Outcome(WritableFile& out)>& produce, WriteLock* lock) {
    const FileInfo old = fs.Stat(path);
    std::string temporary;
    Outcome r;
    std::unique_ptr<WritableFile> out =
        fs.CreateTemporary(path, kTemporaryExt, old.exists ? old.permissions : 0, temporary, r);
    if (!out) {
        return r;
    }
    if (lock != nullptr) {
        RemoveLeftTemporaries(fs, path, temporary);
    }
    r = SyncAndClose(*out, produce(*out));
    out.reset();
    if (!r) {
        (void)fs.Remove(temporary);
        return r;
    }
    return CommitTemporary(fs, path, temporary, lock);
}

Outcome CommitTemporary(FileSystem& fs, const std::string& path, const std::string& temporary,
                        WriteLock* lock) {
    Outcome r;
    if (lock != nullptr) {
        r = lock->Extend(fs, temporary);
    }
    if (r && fs.Stat(path).exists) {
        r = KeepBackup(fs, path);
    }
    if (r) {
        r = fs.Rename(temporary, path);
    }
    if (!r) {
        (void)fs.Remove(temporary);
        return r;
    }
    // The new text has its name now. Forcing the folder to the disk makes that survive a power
    // failure where the file system allows; some (network ones) refuse it, which is no failure.
    (void)fs.SyncDirectory(DirOf(path));
    return Outcome::Ok();
}

void RemoveLeftTemporaries(FileSystem& fs, const std::string& path, const std::string& own) {
    const std::string dir = DirOf(path);
    const std::string prefix = BaseName(path) + ".";
    const std::string suffix = "." + std::string(kTemporaryExt);
    for (const std::string& name : fs.ListDirectory(dir)) {
        if (name.size() == prefix.size() + kTemporaryRandomLength + suffix.size() &&
            name.starts_with(prefix) && name.ends_with(suffix)) {
            const std::string left = dir.empty() ? name : AddBackslash(dir) + name;
            if (left != own) {
                (void)fs.Remove(left);
            }
        }
    }
}

Outcome WriteWholeFile(FileSystem& fs, const std::string& path,
                       const std::function<Outcome(WritableFile& out)>& produce) {
    Outcome r;
    std::unique_ptr<WritableFile> out = fs.OpenForWrite(path, false, r);
    if (!out) {
        return r;
    }
    return SyncAndClose(*out, produce(*out));
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
                          std::string_view newBytes, std::uint64_t oldLength, WriteLock* lock) {
    Outcome r;
    std::unique_ptr<ReadableFile> source = fs.OpenForRead(path, r);
    if (!source) {
        return r;
    }
    const std::uint64_t size = source->Info().size;
    if (position > size || oldLength > size - position) {
        return Outcome::Error(Message(msg::Citavox::RegionOutsideFile));
    }
    return RewriteFile(
        fs, path,
        [&](WritableFile& out) {
            if (Outcome c = CopyRange(*source, 0, position, out); !c) {
                return c;
            }
            if (Outcome c = out.Append(newBytes); !c) {
                return c;
            }
            const std::uint64_t tail = position + oldLength;
            return CopyRange(*source, tail, size - tail, out);
        },
        lock);
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
    Outcome Truncate(std::uint64_t size) override {
        Outcome r = out_.Truncate(size);
        if (r) {
            count_ = size;
        }
        return r;
    }
    Outcome Close() override { return out_.Close(); }
    std::uint64_t Count() const { return count_; }

private:
    WritableFile& out_;
    std::uint64_t count_ = 0;
};

} // namespace

Outcome WriteOutputFile(FileSystem& fs, const std::string& path,
                        const std::function<Outcome(WritableFile& out)>& produce, bool durable) {
    const FileInfo old = fs.Stat(path);
    std::string temporary;
    Outcome r;
    std::unique_ptr<WritableFile> out =
        fs.CreateTemporary(path, "tmp", old.exists ? old.permissions : 0, temporary, r);
    if (!out) {
        return r;
    }
    CountingFile counted(*out);
    r = produce(counted);
    if (durable) {
        r = SyncAndClose(*out, r);
    } else if (Outcome closed = out->Close(); r && !closed) {
        r = closed;
    }
    out.reset();
    if (r && fs.Stat(temporary).size != counted.Count()) {
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

Outcome WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view content,
                            bool durable) {
    return WriteOutputFile(
        fs, path, [content](WritableFile& out) { return out.Append(content); }, durable);
}

} // namespace cvx
