#include "lexmill/DecodedSource.h"

#include "lexmill/SourceDecoding.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace cvx::lexmill {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Reads up to n bytes; fewer only at the end of the file; -1 on an error.
ssize_t ReadFully(int fd, char* dst, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, dst + got, n - got);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return -1;
        }
        if (r == 0) {
            break;
        }
        got += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(got);
}

bool WriteFully(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

constexpr std::size_t kChunk = 1 << 16;

} // namespace

int OpenDecodedSource(const std::string& path) {
    Descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        return -1;
    }
    std::string chunk(kChunk, '\0');
    ssize_t n = ReadFully(in.get(), chunk.data(), kChunk);
    if (n <= 0) {
        return -1;
    }
    chunk.resize(static_cast<std::size_t>(n));
    const DetectedEncoding detected = DetectEncoding(chunk);
    if (detected.byteOrderMark == 0 && detected.encoding == SourceEncoding::Utf8) {
        // Plain ASCII needs no copy; look for the first byte above 127.
        bool ascii = true;
        std::string probe = chunk;
        while (ascii) {
            ascii = std::none_of(probe.begin(), probe.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
            if (!ascii || probe.size() < kChunk) {
                break;
            }
            probe.resize(kChunk);
            const ssize_t m = ReadFully(in.get(), probe.data(), kChunk);
            if (m < 0) {
                return -1;
            }
            probe.resize(static_cast<std::size_t>(m));
        }
        if (ascii) {
            return -1;
        }
        if (::lseek(in.get(), static_cast<off_t>(chunk.size()), SEEK_SET) < 0) {
            return -1;
        }
    }

    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "lexmill-XXXXXX").string();
    if (ec) {
        pattern = "/tmp/lexmill-XXXXXX";
    }
    Descriptor out(::mkstemp(pattern.data()));
    if (out.get() < 0) {
        return -1;
    }
    ::unlink(pattern.c_str());

    SourceDecoder decoder(detected.encoding);
    std::string_view first(chunk);
    first.remove_prefix(std::min(detected.byteOrderMark, first.size()));
    bool last = static_cast<std::size_t>(n) < kChunk;
    if (!WriteFully(out.get(), decoder.Decode(first, last))) {
        return -1;
    }
    while (!last) {
        chunk.resize(kChunk);
        n = ReadFully(in.get(), chunk.data(), kChunk);
        if (n < 0) {
            return -1;
        }
        chunk.resize(static_cast<std::size_t>(n));
        last = static_cast<std::size_t>(n) < kChunk;
        if (!WriteFully(out.get(), decoder.Decode(chunk, last))) {
            return -1;
        }
    }
    return out.release();
}

} // namespace cvx::lexmill
