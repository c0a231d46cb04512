#include "lexmill/OutputFile.h"

#include "lexmill/PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cvx::lexmill {

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Open(const std::string& name, bool append) {
    Close();
    failed_ = false;
    buffer_.clear();
    bufferedReferences_ = 0;
    // Never through a symbolic link: the driver names the file itself, resolved from links.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (append ? O_APPEND : O_TRUNC);
    fd_ = ::open(name.c_str(), flags, 0666);
    if (fd_ < 0) {
        return false;
    }
    const std::optional<std::int64_t> size = ReadableSize(fd_);
    if (!size) {
        return false;
    }
    committedSize_ = *size;
    buffer_.reserve(kBufferSize + 4096);
    return true;
}

void OutputFile::Write(std::string_view bytes) {
    if (fd_ >= 0 && !failed_) {
        buffer_.append(bytes);
    }
}

int OutputFile::EndReference() {
    if (fd_ < 0 || failed_) {
        return 0;
    }
    ++bufferedReferences_;
    return buffer_.size() >= kBufferSize ? Flush() : 0;
}

int OutputFile::Flush() {
    if (fd_ < 0 || failed_) {
        return 0;
    }
    if (!WriteFully(fd_, buffer_)) {
        // Cut off what reached the disk of the unfinished write; a device has nothing to cut.
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
            while (::ftruncate(fd_, committedSize_) != 0 && errno == EINTR) {
            }
        }
        failed_ = true;
        buffer_.clear();
        const int lost = bufferedReferences_;
        bufferedReferences_ = 0;
        return lost;
    }
    committedSize_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.clear();
    bufferedReferences_ = 0;
    return 0;
}

int OutputFile::Close() {
    if (fd_ < 0) {
        return 0;
    }
    const int lost = Flush();
    if (::close(fd_) != 0 && !failed_) {
        failed_ = true;
    }
    fd_ = -1;
    return lost;
}

} // namespace cvx::lexmill
