#include "storage/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cvx {

namespace {

Outcome SystemError(int error) {
    return Outcome::Error(std::strerror(error));
}

FileInfo InfoOf(const struct stat& st) {
    FileInfo info;
    info.exists = true;
    info.isDirectory = S_ISDIR(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    info.inode = st.st_ino;
    return info;
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

    FileInfo Info() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            return {};
        }
        FileInfo info = InfoOf(st);
        info.writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
        return info;
    }

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
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            result = SystemError(errno);
            return nullptr;
        }
        result = Outcome::Ok();
        return std::make_unique<PosixReadableFile>(fd);
    }

    std::unique_ptr<WritableFile> OpenForWrite(const std::string& path, bool append,
                                               Outcome& result) override {
        const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
        const int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) {
            result = SystemError(errno);
            return nullptr;
        }
        result = Outcome::Ok();
        return std::make_unique<PosixWritableFile>(fd);
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
        struct stat sa {};
        struct stat sb {};
        return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
               sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
};

} // namespace

FileSystem& FileSystem::Default() {
    static PosixFileSystem fs;
    return fs;
}

Outcome ReadWholeFile(FileSystem& fs, const std::string& path, std::string& content) {
    Outcome r;
    std::unique_ptr<ReadableFile> file = fs.OpenForRead(path, r);
    if (!file) {
        return r;
    }
    const FileInfo info = fs.Stat(path);
    content.resize(info.size);
    std::size_t got = 0;
    r = file->ReadAt(0, content.data(), content.size(), got);
    content.resize(got);
    return r;
}

} // namespace cvx
