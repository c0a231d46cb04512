#include "storage/FileSystem.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cvx {

namespace {

// What failed, in the user's words for the failures a user can mend, else the system's.
Outcome SystemError(int error) {
    switch (error) {
    case ENOSPC:
        return Outcome::Error(Message(msg::Citavox::DiskFull));
    case EDQUOT:
        return Outcome::Error(Message(msg::Citavox::QuotaExhausted));
    case EACCES:
    case EPERM:
        return Outcome::Error(Message(msg::Citavox::PermissionDenied));
    case EROFS:
        return Outcome::Error(Message(msg::Citavox::ReadOnlyFileSystem));
    case EISDIR:
        return Outcome::Error(Message(msg::Citavox::IsFolder));
    case ENOENT:
    case ENOTDIR:
        return Outcome::Error(Message(msg::Citavox::DoesNotExist));
    case ELOOP:
        return Outcome::Error(Message(msg::Citavox::IsLink));
    default:
        return Outcome::Error(std::strerror(error));
    }
}

Outcome NotRegular(const struct stat& st) {
    return S_ISDIR(st.st_mode) ? SystemError(EISDIR)
                               : Outcome::Error(Message(msg::Citavox::NotRegularFile));
}

FileInfo InfoOf(const struct stat& st) {
    FileInfo info;
    info.exists = true;
    info.isDirectory = S_ISDIR(st.st_mode);
    info.isRegular = S_ISREG(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    info.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    info.inode = st.st_ino;
    info.device = st.st_dev;
    info.permissions = st.st_mode & 07777;
    return info;
}

FileInfo InfoOfDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return {};
    }
    FileInfo info = InfoOf(st);
    info.writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return info;
}

// Opens `path` with `flags` (which hold O_NONBLOCK, so a pipe or device never blocks the open)
// and keeps the descriptor only for a regular file, which then reads and writes normally.
int OpenRegular(const std::string& path, int flags, mode_t mode, Outcome& result) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) {
        // A pipe without a reader refuses a writer with ENXIO.
        result = errno == ENXIO ? Outcome::Error(Message(msg::Citavox::NotRegularFile))
                                : SystemError(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result = ::fstat(fd, &st) != 0 ? SystemError(errno) : NotRegular(st);
        ::close(fd);
        return -1;
    }
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    result = Outcome::Ok();
    return fd;
}

class PosixReadableFile final : public ReadableFile {
public:
    explicit PosixReadableFile(int fd) : fd_(fd) {}
    ~PosixReadableFile() override { ::close(fd_); }

    Outcome ReadAt(std::uint64_t offset, char* dst, std::size_t n, std::size_t& got) override {
        got = 0;
        while (got < n) {
            const ssize_t r = ::pread(fd_, dst + got, n - got, static_cast<off_t>(offset + got));
            if (r < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return SystemError(errno);
            }
            if (r == 0) {
                break;
            }
            got += static_cast<std::size_t>(r);
        }
        return Outcome::Ok();
    }

    FileInfo Info() override { return InfoOfDescriptor(fd_); }

private:
    int fd_;
};

class PosixWritableFile final : public WritableFile {
public:
    explicit PosixWritableFile(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }
    ~PosixWritableFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    Outcome Append(std::string_view data) override {
        if (buffer_.size() + data.size() > kBufferSize) {
            if (Outcome r = Flush(); !r) {
                return r;
            }
            if (data.size() > kBufferSize) {
                return WriteAll(data);
            }
        }
        buffer_.append(data);
        return Outcome::Ok();
    }

    Outcome Sync() override {
        if (Outcome r = Flush(); !r) {
            return r;
        }
        return ::fsync(fd_) == 0 ? Outcome::Ok() : SystemError(errno);
    }

    Outcome Truncate(std::uint64_t size) override {
        buffer_.clear();
        while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
            if (errno != EINTR) {
                return SystemError(errno);
            }
        }
        return Outcome::Ok();
    }

    Outcome Close() override {
        Outcome r = Flush();
        if (::close(fd_) != 0 && r) {
            r = SystemError(errno);
        }
        fd_ = -1;
        return r;
    }

private:
    static constexpr std::size_t kBufferSize = 1 << 20;

    Outcome Flush() {
        Outcome r = WriteAll(buffer_);
        buffer_.clear();
        return r;
    }

    Outcome WriteAll(std::string_view data) {
        while (!data.empty()) {
            const ssize_t w = ::write(fd_, data.data(), data.size());
            if (w < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return SystemError(errno);
            }
            data.remove_prefix(static_cast<std::size_t>(w));
        }
        return Outcome::Ok();
    }

    int fd_;
    std::string buffer_;
};

// The files this process holds. A hold is also taken with flock(), which excludes other
// processes and other open descriptions in this one; the table makes threads of this process
// exclude each other where a file system lends flock() the per-process semantics of fcntl()
// locks (network file systems).
class HeldFiles {
public:
    bool Take(std::pair<std::uint64_t, std::uint64_t> key) {
        std::lock_guard lock(mutex_);
        return held_.insert(key).second;
    }
    void Give(std::pair<std::uint64_t, std::uint64_t> key) {
        std::lock_guard lock(mutex_);
        held_.erase(key);
    }

private:
    std::mutex mutex_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> held_;
};

HeldFiles& Held() {
    static HeldFiles held;
    return held;
}

class PosixFileLock final : public FileLock {
public:
    PosixFileLock(int fd, std::pair<std::uint64_t, std::uint64_t> key) : fd_(fd), key_(key) {}
    ~PosixFileLock() override {
        ::close(fd_); // releases the flock() hold
        Held().Give(key_);
    }
    FileInfo Info() override { return InfoOfDescriptor(fd_); }

private:
    int fd_;
    std::pair<std::uint64_t, std::uint64_t> key_;
};

// A random part for temporary names.
std::string RandomPart() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}() ^
                                        static_cast<std::uint64_t>(::getpid())};
    std::string part(kTemporaryRandomLength, 'x');
    for (char& c : part) {
        c = kLetters[engine() % (sizeof kLetters - 1)];
    }
    return part;
}

class PosixFileSystem final : public FileSystem {
public:
    FileInfo Stat(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            return {};
        }
        FileInfo info = InfoOf(st);
        info.writable = ::access(path.c_str(), W_OK) == 0;
        return info;
    }

    std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) override {
        const int fd = OpenRegular(path, O_RDONLY, 0, result);
        return fd < 0 ? nullptr : std::make_unique<PosixReadableFile>(fd);
    }

    std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                               Outcome& result) override {
        const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | (append ? O_APPEND : O_EXCL);
        const int fd = OpenRegular(path, flags, 0666, result);
        return fd < 0 ? nullptr : std::make_unique<PosixWritableFile>(fd);
    }

    std::unique_ptr<WritableFile> CreateTemporary(const std::string& path, std::string_view ext,
                                                  std::uint32_t permissions, std::string& created,
                                                  Outcome& result) override {
        for (int attempt = 0; attempt < 100; ++attempt) {
            created = path + "." + RandomPart() + "." + std::string(ext);
            const int fd =
                ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST) {
                continue;
            }
            if (fd < 0) {
                result = SystemError(errno);
                created.clear();
                return nullptr;
            }
            if (permissions != 0) {
                (void)::fchmod(fd, permissions);
            }
            result = Outcome::Ok();
            return std::make_unique<PosixWritableFile>(fd);
        }
        created.clear();
        result = SystemError(EEXIST);
        return nullptr;
    }

    Outcome Rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? Outcome::Ok() : SystemError(errno);
    }

    Outcome Remove(const std::string& path) override {
        if (::unlink(path.c_str()) == 0 || errno == ENOENT) {
            return Outcome::Ok();
        }
        return SystemError(errno);
    }

    Outcome HardLink(const std::string& existing, const std::string& link) override {
        return ::link(existing.c_str(), link.c_str()) == 0 ? Outcome::Ok() : SystemError(errno);
    }

    Outcome SyncDirectory(const std::string& dir) override {
        const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return SystemError(errno);
        }
        const int r = ::fsync(fd);
        const int error = errno;
        ::close(fd);
        return r == 0 ? Outcome::Ok() : SystemError(error);
    }

    std::vector<std::string> ListDirectory(const std::string& dir) override {
        std::vector<std::string> names;
        DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
        if (d == nullptr) {
            return names;
        }
        while (const dirent* e = ::readdir(d)) {
            names.emplace_back(e->d_name);
        }
        ::closedir(d);
        return names;
    }

    bool SameFile(const std::string& a, const std::string& b) override {
        return Stat(a).SameFileAs(Stat(b));
    }

    std::string ResolveLinks(const std::string& path) override {
        std::string name = path;
        for (int hops = 0; hops < 40; ++hops) {
            struct stat st {};
            if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
                return name;
            }
            std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1,
                               '\0');
            const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
            if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
                return name;
            }
            target.resize(static_cast<std::size_t>(n));
            const std::string dir = DirOf(name);
            name = target.front() == '/' || dir.empty() ? target : AddBackslash(dir) + target;
        }
        return name; // a loop of links: opening it fails and says so
    }

    std::unique_ptr<FileLock> TryLock(const std::string& path, LockState& state,
                                      Outcome& result) override {
        state = LockState::Failed;
        const int fd = OpenRegular(path, O_RDONLY | O_NOFOLLOW, 0, result);
        if (fd < 0) {
            return nullptr;
        }
        const FileInfo info = InfoOfDescriptor(fd);
        const std::pair<std::uint64_t, std::uint64_t> key{info.device, info.inode};
        if (!Held().Take(key)) {
            ::close(fd);
            state = LockState::Busy;
            return nullptr;
        }
        int r = 0;
        while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (r != 0) {
            const int error = errno;
            ::close(fd);
            Held().Give(key);
            if (error == EWOULDBLOCK) {
                state = LockState::Busy;
            } else {
                result = SystemError(error);
            }
            return nullptr;
        }
        state = LockState::Locked;
        return std::make_unique<PosixFileLock>(fd, key);
    }
};

} // namespace

FileSystem& FileSystem::Default() {
    static PosixFileSystem fs;
    return fs;
}

Outcome ReadWholeFile(FileSystem& fs, const std::string& path, std::string& content,
                      std::uint64_t limit) {
    content.clear();
    Outcome r;
    std::unique_ptr<ReadableFile> file = fs.OpenForRead(path, r);
    if (!file) {
        return r;
    }
    const FileInfo info = file->Info();
    if (info.size > limit) {
        return Outcome::Error(Msg(msg::Citavox::FileTooLargeToRead, std::to_string(limit >> 20)));
    }
    content.resize(info.size);
    std::size_t got = 0;
    r = file->ReadAt(0, content.data(), content.size(), got);
    content.resize(got);
    return r;
}

} // namespace cvx
