#pragma once
// The one seam through which the stores (reference files, journal names, formats, document
// definitions) touch files, so tests can inject faults and simulate a crash at any step of a
// rewrite. Results carry the system's error text; callers turn them into catalogue messages.
//
// Files are opened only when they are regular files: a folder, a pipe or a device given where a
// file belongs is refused at once (never waited on), and a file is never written through a
// symbolic link (links are resolved once, by ResolveLinks, before a file is changed).

#include "text/Outcome.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct FileInfo {
    bool exists = false;
    bool isDirectory = false;
    bool isRegular = false;
    bool writable = false; // the process may write the file
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch
    // Status-change time: it moves with every write, rename, link or change of permissions and
    // cannot be set back, so it tells a restored or exchanged file from the one that was seen.
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    std::uint32_t permissions = 0; // the permission bits of the mode

    // The same file (device and inode), whatever its names.
    bool SameFileAs(const FileInfo& other) const {
        return exists && other.exists && inode == other.inode && device == other.device;
    }
};

class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // Reads up to n bytes at offset; `got` is less than n only at the end of the file. Several
    // threads may read one open file at once: a read has no position of its own to share.
    virtual Outcome ReadAt(std::uint64_t offset, char* dst, std::size_t n, std::size_t& got) = 0;
    // What the open file is (it stays the same file when its name is given to another).
    virtual FileInfo Info() = 0;
};

class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual Outcome Append(std::string_view data) = 0;
    // Flushes and forces the data to the disk.
    virtual Outcome Sync() = 0;
    // Drops what is buffered and cuts the file to `size` bytes (undoing an append that failed).
    virtual Outcome Truncate(std::uint64_t size) = 0;
    virtual Outcome Close() = 0;
};

// An exclusive hold on one file against every other holder, in this process or another; it ends
// with the object (or with the process, whatever way it ends).
class FileLock {
public:
    virtual ~FileLock() = default;
    // The file that is held.
    virtual FileInfo Info() = 0;
};

enum class LockState { Locked, Busy, Failed };

// The length of the random part of a temporary file's name.
inline constexpr std::size_t kTemporaryRandomLength = 8;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The process-wide file system on the real disk.
    static FileSystem& Default();

    // Follows symbolic links (a file's name, not its folders); does not need the file to exist.
    virtual FileInfo Stat(const std::string& path) = 0;
    // Opens a regular file for reading; anything else is refused without waiting on it.
    virtual std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) = 0;
    // With `append`: opens a regular file for appending, creating it when it is missing. Without:
    // creates a new file, failing when the name exists. Never through a symbolic link.
    virtual std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                                       Outcome& result) = 0;
    // Creates a new file beside `path`, named "<path>.<random>.<ext>", exclusively: never an
    // existing file or a link planted under that name. `permissions` (0: those of a new file) are
    // given to it. `created` is its name.
    virtual std::unique_ptr<WritableFile>
    CreateTemporary(const std::string& path, std::string_view ext, std::uint32_t permissions,
                    std::string& created, Outcome& result) = 0;
    virtual Outcome Rename(const std::string& from, const std::string& to) = 0;
    virtual Outcome Remove(const std::string& path) = 0; // a missing file is not an error
    virtual Outcome HardLink(const std::string& existing, const std::string& link) = 0;
    virtual Outcome SyncDirectory(const std::string& dir) = 0;
    virtual std::vector<std::string> ListDirectory(const std::string& dir) = 0;
    // True when two paths name the same file.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // The file a name stands for: symbolic links of the last part followed to their end. A name
    // that is not a link, or does not exist, is returned as it is.
    virtual std::string ResolveLinks(const std::string& path) = 0;
    // Takes the exclusive hold on a regular file without waiting: Locked (with the hold), Busy
    // (another holder has it) or Failed (`result` says why).
    virtual std::unique_ptr<FileLock> TryLock(const std::string& path, LockState& state,
                                              Outcome& result) = 0;
};

// Files of more than this many bytes are not read whole unless the caller allows more.
inline constexpr std::uint64_t kWholeFileLimit = std::uint64_t{256} << 20;

// Reads a whole file of at most `limit` bytes; fails when it cannot be opened or read, or is
// larger.
Outcome ReadWholeFile(FileSystem& fs, const std::string& path, std::string& content,
                      std::uint64_t limit = kWholeFileLimit);

} // namespace cvx
