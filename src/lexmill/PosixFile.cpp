#include "lexmill/PosixFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cvx::lexmill {

namespace {

// Calls `read(dst, n, done)` until n bytes have come, the file ends or a call fails.
template <typename Read> ReadResult ReadLoop(char* dst, std::size_t n, Read read) {
    ReadResult result;
    while (result.bytes < n) {
        const ssize_t r = read(dst + result.bytes, n - result.bytes, result.bytes);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            result.failed = r < 0;
            break;
        }
        result.bytes += static_cast<std::size_t>(r);
    }
    return result;
}

} // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FileDescriptor::Release() {
    return std::exchange(fd_, -1);
}

std::optional<std::int64_t> ReadableSize(int& fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return std::nullopt;
    }
    return S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
}

ReadResult ReadFully(int fd, char* dst, std::size_t n) {
    return ReadLoop(dst, n, [fd](char* to, std::size_t count, std::size_t /*done*/) {
        return ::read(fd, to, count);
    });
}

ReadResult ReadFullyAt(int fd, char* dst, std::size_t n, std::int64_t offset) {
    return ReadLoop(dst, n, [fd, offset](char* to, std::size_t count, std::size_t done) {
        return ::pread(fd, to, count, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    });
}

bool WriteFully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t w = ::write(fd, bytes.data(), bytes.size());
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

} // namespace cvx::lexmill
