// Reading a file ahead in chunks: the chunks come in order and whole, on the caller's thread for a
// small file and from a thread of its own for a large one; a failed read, a file that ends early
// and a consumer that stops early all end cleanly.

#include "storage/ChunkReader.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace cvx {
namespace {

// A file in memory whose reads fail from a chosen offset on.
class MemoryFile final : public ReadableFile {
public:
    explicit MemoryFile(std::string bytes, std::uint64_t failFrom = UINT64_MAX)
        : bytes_(std::move(bytes)), failFrom_(failFrom) {}
    Outcome ReadAt(std::uint64_t offset, char* dst, std::size_t n, std::size_t& got) override {
        if (offset >= failFrom_) {
            return Outcome::Error("read failed");
        }
        got = offset < bytes_.size() ? std::min(n, bytes_.size() - offset) : 0;
        std::memcpy(dst, bytes_.data() + offset, got);
        return Outcome::Ok();
    }
    FileInfo Info() override {
        FileInfo info;
        info.exists = info.isRegular = true;
        info.size = bytes_.size();
        return info;
    }

private:
    std::string bytes_;
    std::uint64_t failFrom_;
};

std::string Text(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>('a' + i * 7 % 26);
    }
    return text;
}

TEST(ChunkReader, GivesEveryChunkInOrder) {
    for (std::size_t size : {0u, 1u, 99u, 100u, 101u, 399u, 400u, 12345u}) {
        const std::string text = Text(size);
        MemoryFile file(text);
        ChunkReader reader(file, size, 100);
        std::string read;
        std::uint64_t offset = 0;
        std::string_view bytes;
        for (;;) {
            ASSERT_TRUE(reader.Next(offset, bytes).ok());
            if (bytes.empty()) {
                break;
            }
            EXPECT_EQ(offset, read.size());
            read += bytes;
        }
        EXPECT_EQ(read, text) << size;
    }
}

TEST(ChunkReader, FailuresAndEarlyEndsStopCleanly) {
    const std::string text = Text(5000);
    for (std::uint64_t failFrom : {0u, 300u, 4900u}) {
        MemoryFile file(text, failFrom);
        ChunkReader reader(file, text.size(), 100);
        std::uint64_t offset = 0;
        std::string_view bytes;
        Outcome r;
        while ((r = reader.Next(offset, bytes)) && !bytes.empty()) {
        }
        EXPECT_EQ(r.message(), "read failed") << failFrom;
        EXPECT_EQ(offset, failFrom - failFrom % 100);
    }
    // A file shorter than it was said to be.
    MemoryFile shorter(text);
    ChunkReader past(shorter, text.size() + 50, 100);
    std::uint64_t offset = 0;
    std::string_view bytes;
    Outcome r;
    while ((r = past.Next(offset, bytes)) && !bytes.empty()) {
    }
    EXPECT_FALSE(r.ok());
    // A consumer that stops after the first chunk leaves the reader ahead of it to end.
    MemoryFile file(text);
    ChunkReader early(file, text.size(), 100);
    ASSERT_TRUE(early.Next(offset, bytes).ok());
}

} // namespace
} // namespace cvx
