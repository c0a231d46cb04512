#pragma once
// The one seam through which the stores (reference files, journal names, formats, document
// definitions) touch files, so tests can inject faults and simulate a crash at any step of a
// rewrite. Results carry the system's error text; callers turn them into catalogue messages.

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
    bool writable = false; // the process may write the file
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch
    std::uint64_t inode = 0;
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
    virtual Outcome Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The process-wide file system on the real disk.
    static FileSystem& Default();

    virtual FileInfo Stat(const std::string& path) = 0;
    virtual std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) = 0;
    // Creates the file anew, or opens it for appending.
    virtual std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                                       Outcome& result) = 0;
    virtual Outcome Rename(const std::string& from, const std::string& to) = 0;
    virtual Outcome Remove(const std::string& path) = 0; // a missing file is not an error
    virtual Outcome HardLink(const std::string& existing, const std::string& link) = 0;
    virtual Outcome SyncDirectory(const std::string& dir) = 0;
    virtual std::vector<std::string> ListDirectory(const std::string& dir) = 0;
    // True when two paths name the same file.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

// Reads a whole (small) file; fails when it cannot be opened or read.
Outcome ReadWholeFile(FileSystem& fs, const std::string& path, std::string& content);

} // namespace cvx
