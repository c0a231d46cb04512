#include "lexmill/LineReader.h"

#include "lexmill/PosixFile.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cvx::lexmill {

LineReader::~LineReader() {
    Close();
}

void LineReader::Open(std::string name) {
    Close();
    name_ = std::move(name);
}

void LineReader::OpenDescriptor(int fd) {
    Close();
    name_.clear();
    fd_ = fd;
}

void LineReader::OpenText(std::string text) {
    Close();
    size_ = capacity_ = bufferLength_ = static_cast<std::int64_t>(text.size());
    buffer_ = std::move(text);
    buffer_.resize(buffer_.size() + kSlack, '\0');
    opened_ = inMemory_ = true;
}

void LineReader::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    opened_ = inMemory_ = false;
    buffer_.clear();
    buffer_.shrink_to_fit();
    size_ = position_ = bufferStart_ = bufferLength_ = capacity_ = 0;
}

bool LineReader::Reset() {
    if (!opened_) {
        if (fd_ < 0) {
            if (name_.empty()) {
                return false;
            }
            fd_ = ::open(name_.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0) {
                return false;
            }
        }
        const std::optional<std::int64_t> size = ReadableSize(fd_);
        if (!size) {
            return false;
        }
        opened_ = true;
        size_ = *size;
    }
    if (buffer_.empty()) {
        capacity_ = std::min(size_, kMaxCapacity);
        buffer_.assign(static_cast<std::size_t>(capacity_ + kSlack), '\0');
        bufferStart_ = bufferLength_ = 0;
    }
    position_ = 0;
    return true;
}

bool LineReader::RefillDue() const {
    if (!opened_ || inMemory_) {
        return false;
    }
    if (position_ < bufferStart_) {
        return true;
    }
    return bufferStart_ + bufferLength_ < position_ + kLookAhead &&
           bufferStart_ + bufferLength_ < size_;
}

void LineReader::Refill() {
    if (inMemory_) {
        return;
    }
    if (position_ >= bufferStart_ && position_ < bufferStart_ + bufferLength_) {
        const std::int64_t consumed = position_ - bufferStart_;
        std::memmove(buffer_.data(), buffer_.data() + consumed,
                     static_cast<std::size_t>(bufferLength_ - consumed));
        bufferLength_ -= consumed;
    } else {
        bufferLength_ = 0;
    }
    bufferStart_ = position_;
    const std::int64_t fileOffset = bufferStart_ + bufferLength_;
    std::int64_t want = 0;
    if (bufferStart_ + capacity_ < size_) {
        // File reads end on 512-byte offsets.
        want = capacity_ - bufferLength_ - ((bufferStart_ + capacity_) % 512);
    } else {
        want = size_ - fileOffset;
    }
    want = std::clamp<std::int64_t>(want, 0, capacity_ - bufferLength_);
    const ReadResult read = ReadFullyAt(fd_, buffer_.data() + bufferLength_,
                                        static_cast<std::size_t>(want), fileOffset);
    const auto got = static_cast<std::int64_t>(read.bytes);
    if (got < want) {
        // The file ended early (it shrank, or a read failed): it ends here.
        size_ = fileOffset + got;
    }
    bufferLength_ += got;
}

std::size_t LineReader::ReadLine(std::string& line) {
    line.clear();
    if (!opened_ || AtEnd()) {
        return 0;
    }
    const std::int64_t start = position_;
    RefillIfDue();
    // The first CR or LF, looked for a window at a time: in each, the line feed is searched for
    // first and the carriage return only before it, two searches that run many bytes at a time
    // (the window keeps a file whose lines end in CR alone from being searched to its end for a
    // line feed at every line).
    auto findEnd = [&] {
        constexpr std::size_t kWindow = 256;
        const char* from = buffer_.data() + (position_ - bufferStart_);
        const char* to = buffer_.data() + bufferLength_;
        for (const char* window = from; window < to; window += kWindow) {
            const auto size = std::min(kWindow, static_cast<std::size_t>(to - window));
            const auto* lineFeed = static_cast<const char*>(std::memchr(window, '\n', size));
            const char* end = lineFeed != nullptr ? lineFeed : window + size;
            const auto* carriage = static_cast<const char*>(
                std::memchr(window, '\r', static_cast<std::size_t>(end - window)));
            if (const char* found = carriage != nullptr ? carriage : lineFeed) {
                return position_ + (found - from);
            }
        }
        return std::int64_t{-1};
    };
    std::int64_t terminator = findEnd();
    if (terminator < 0) {
        Refill();
        terminator = findEnd();
    }
    const std::int64_t end = terminator >= 0 ? terminator : bufferStart_ + bufferLength_;
    if (end > position_) {
        line.assign(buffer_.data() + (position_ - bufferStart_),
                    static_cast<std::size_t>(end - position_));
    }
    position_ = end;
    RefillIfDue();
    if (Buffered(position_)) {
        const unsigned char first = At(position_);
        if (first == '\r' || first == '\n') {
            ++position_;
            if (Buffered(position_) && first + At(position_) == 23) {
                ++position_;
            }
        }
    }
    if (position_ == start) {
        // Nothing could be read where the file should have more: it ends here.
        size_ = position_;
    }
    return static_cast<std::size_t>(position_ - start);
}

int LineReader::ReadChar() {
    if (!opened_ || AtEnd()) {
        return -1;
    }
    RefillIfDue();
    if (!Buffered(position_)) {
        size_ = position_;
        return -1;
    }
    return At(position_++);
}

} // namespace cvx::lexmill
