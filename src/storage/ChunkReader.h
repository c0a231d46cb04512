#pragma once
// Reads a file front to back in chunks, one or two chunks ahead of the code that scans them, on a
// thread of its own: the copy of the next chunk from the operating system and the scan of this
// one run at once, so a pass over a large file costs about the longer of the two, not their sum.
// Small files are read on the caller's thread.

#include "storage/FileSystem.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace cvx {

class ChunkReader {
public:
    // Reads the first `size` bytes of `file` (which must stay open) in chunks of `chunk` bytes.
    ChunkReader(ReadableFile& file, std::uint64_t size, std::size_t chunk);
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;
    ~ChunkReader(); // stops reading ahead

    // The next chunk: its offset in the file and its bytes, which stay valid until the next call;
    // empty at the end. Fails as the read failed, or when the file ended before `size`.
    Outcome Next(std::uint64_t& offset, std::string_view& bytes);

private:
    static constexpr int kSlots = 3;

    struct Slot {
        std::vector<char> bytes;
        std::size_t length = 0;
        Outcome result;
        bool filled = false;
    };

    Outcome Read(std::uint64_t offset, Slot& slot);
    void ReadAhead();

    ReadableFile& file_;
    std::uint64_t size_;
    std::size_t chunk_;
    std::uint64_t chunks_;
    std::uint64_t next_ = 0; // the chunk Next gives next
    Slot slots_[kSlots];
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace cvx
