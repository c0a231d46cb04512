#pragma once
// The POSIX file calls of the import library in one place: a descriptor that closes itself, the
// size of what a descriptor reads (a folder refused), and reads and writes of whole buffers that
// carry on when a signal interrupts them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace cvx::lexmill {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int Get() const { return fd_; }
    // Hands the descriptor over; this object no longer closes it.
    int Release();

private:
    int fd_;
};

// The length of what an open descriptor reads: a regular file's length, 0 for a device or a
// pipe. A folder, or a descriptor that cannot be asked, is closed and set to -1 (nullopt).
std::optional<std::int64_t> ReadableSize(int& fd);

struct ReadResult {
    std::size_t bytes = 0; // fewer than asked for only at the end of the file or on an error
    bool failed = false;
};

// Reads n bytes at the descriptor's position, or at `offset` without moving it.
ReadResult ReadFully(int fd, char* dst, std::size_t n);
ReadResult ReadFullyAt(int fd, char* dst, std::size_t n, std::int64_t offset);

// Writes all the bytes; false when a write fails.
bool WriteFully(int fd, std::string_view bytes);

} // namespace cvx::lexmill
