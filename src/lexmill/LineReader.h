#pragma once
// The buffered reader of a source file. It reads through a buffer of at most 30000 bytes with
// file reads that end on 512-byte offsets, keeping 10000 bytes of look-ahead, so that record
// readers can take lines and single characters without a system call each.
//
// Line ends: CR LF, LF CR, a lone CR and a lone LF each end one line; CR CR ends two. A line
// longer than the buffer is delivered in buffer-sized pieces. Nothing is ever read or written
// outside the buffer, whatever the lines look like.

#include <cstdint>
#include <string>

namespace cvx::lexmill {

class LineReader {
public:
    static constexpr std::int64_t kMaxCapacity = 30000;
    static constexpr std::int64_t kLookAhead = 10000;
    static constexpr std::int64_t kSlack = 10;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    // Closes any open file and binds the name; nothing is opened yet.
    void Open(std::string name);
    // Binds an open descriptor instead of a name; the reader owns it from now on.
    void OpenDescriptor(int fd);
    // Reads text held in memory instead of a file: the whole text becomes the buffer, without a
    // copy (room for kSlack more bytes reserved beforehand saves a reallocation).
    void OpenText(std::string text);
    // Opens the file if it is not open and goes back to its start. False when it cannot be opened.
    bool Reset();
    void Close();

    bool Opened() const { return opened_; }
    bool AtEnd() const { return position_ >= size_; }
    std::int64_t Size() const { return size_; }
    std::int64_t Position() const { return position_; }

    // The next line without its terminator; the result is the number of bytes consumed, the
    // terminator included (0 only at the end).
    std::size_t ReadLine(std::string& line);
    // The next byte, or -1 at the end.
    int ReadChar();

private:
    bool RefillDue() const;
    void Refill();
    void RefillIfDue() {
        if (RefillDue()) {
            Refill();
        }
    }
    unsigned char At(std::int64_t absolute) const {
        return static_cast<unsigned char>(
            buffer_[static_cast<std::size_t>(absolute - bufferStart_)]);
    }
    bool Buffered(std::int64_t absolute) const {
        return absolute >= bufferStart_ && absolute < bufferStart_ + bufferLength_;
    }

    std::string name_;
    int fd_ = -1;
    bool opened_ = false;
    bool inMemory_ = false; // the whole text is in the buffer: nothing to read
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::int64_t bufferStart_ = 0;
    std::int64_t bufferLength_ = 0;
    std::int64_t capacity_ = 0;
    std::string buffer_;
};

} // namespace cvx::lexmill
