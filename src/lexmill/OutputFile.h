#pragma once
// A text file that the library appends to: the reference file being written and the error dump
// file. Writes collect in a buffer that goes to the disk at reference boundaries, so that a
// failed write (a full disk) can be undone: the file is cut back to the end of the last reference
// that reached the disk whole, and the caller learns how many references were lost with the
// buffer. The file's earlier content is never touched.

#include <cstdint>
#include <string>
#include <string_view>

namespace cvx::lexmill {

class OutputFile {
public:
    static constexpr std::size_t kBufferSize = 16384;

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates or truncates the file, or opens it for appending. False when it cannot be opened.
    bool Open(const std::string& name, bool append);
    bool IsOpen() const { return fd_ >= 0; }
    bool Failed() const { return failed_; }

    void Write(std::string_view bytes);
    // Ends one reference: it is complete in the buffer, and the buffer goes to the disk once it
    // holds kBufferSize bytes. The result is the number of references lost by a failed write.
    int EndReference();
    // Writes out the buffer; the result is the number of references lost by a failed write.
    int Flush();
    // Flushes and closes; the result as for Flush.
    int Close();

private:
    int fd_ = -1;
    bool failed_ = false;
    std::string buffer_;
    int bufferedReferences_ = 0;
    std::int64_t committedSize_ = 0; // the file's size after the last successful write
};

} // namespace cvx::lexmill
