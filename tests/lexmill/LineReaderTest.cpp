#include "lexmill/LineReader.h"
#include "lexmill/DecodedSource.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace cvx::lexmill {
namespace {

using test::TempDir;
using test::WriteBytes;

struct ReadResult {
    std::vector<std::string> lines;
    std::int64_t consumed = 0;
};

// Every line of the file, read from the file or from its text held in memory.
ReadResult ReadAll(const std::string& path, bool inMemory = false) {
    LineReader reader;
    if (inMemory) {
        reader.OpenText(test::ReadBytes(path));
    } else {
        reader.Open(path);
    }
    EXPECT_TRUE(reader.Reset());
    ReadResult r;
    std::string line;
    while (!reader.AtEnd()) {
        const std::size_t n = reader.ReadLine(line);
        EXPECT_GT(n, 0u);
        r.consumed += static_cast<std::int64_t>(n);
        r.lines.push_back(line);
    }
    return r;
}

TEST(LineReaderTest, LineEnds) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},   // CR LF; no extra empty line at the end
        {"a\nb", {"a", "b"}},         // no terminator after the last line
        {"a\r\rb", {"a", "", "b"}},   // CR CR ends two lines
        {"a\n\rb", {"a", "b"}},       // LF CR is one line end
        {"a\rb\nc", {"a", "b", "c"}}, // lone CR and lone LF
        {"\n\n", {"", ""}},           // empty lines
        {"ER  - \r\n\n\rTY  - x", {"ER  - ", "", "TY  - x"}}, // mixed ends of one download
        {"", {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.File("in.txt");
        WriteBytes(path, c.bytes);
        for (const bool inMemory : {false, true}) {
            const ReadResult r = ReadAll(path, inMemory);
            EXPECT_EQ(r.lines, c.lines) << "bytes: " << c.bytes << " in memory: " << inMemory;
            // Every byte is consumed once, whatever the line ends.
            EXPECT_EQ(r.consumed, static_cast<std::int64_t>(c.bytes.size()));
        }
    }
}

// Lines of every length around the buffer's size and refill points, with all four line ends,
// read back exactly (lines longer than the buffer come in buffer-sized pieces).
TEST(LineReaderTest, LongLinesAndRefillsAcrossTheBuffer) {
    std::mt19937 random(7);
    const std::string ends[] = {"\r\n", "\n", "\r", "\n\r"};
    std::string bytes;
    std::vector<std::string> expected;
    const std::size_t lengths[] = {0,     1,     511,   512,   513,   9999,   10000, 10001,
                                   19999, 29999, 30000, 30001, 60000, 100000, 3,     70};
    for (int round = 0; round < 3; ++round) {
        for (std::size_t length : lengths) {
            std::string line(length, 'x');
            for (char& c : line) {
                c = static_cast<char>('a' + random() % 26);
            }
            bytes += line + ends[random() % 4];
            expected.push_back(line);
        }
    }
    TempDir dir;
    const std::string path = dir.File("long.txt");
    WriteBytes(path, bytes);
    const ReadResult r = ReadAll(path);
    std::string joined;
    for (const std::string& l : r.lines) {
        EXPECT_LE(l.size(), static_cast<std::size_t>(LineReader::kMaxCapacity));
        joined += l;
    }
    std::string expectedJoined;
    for (const std::string& l : expected) {
        expectedJoined += l;
    }
    EXPECT_EQ(joined, expectedJoined);
    EXPECT_EQ(r.consumed, static_cast<std::int64_t>(bytes.size()));
    // Lines that fit the buffer arrive whole.
    std::size_t whole = 0;
    for (const std::string& l : expected) {
        if (l.size() < 20000 && std::find(r.lines.begin(), r.lines.end(), l) != r.lines.end()) {
            ++whole;
        }
    }
    EXPECT_EQ(whole, 3u * 11u);
}

TEST(LineReaderTest, CharactersAndReset) {
    TempDir dir;
    const std::string path = dir.File("c.txt");
    WriteBytes(path, "ab\ncd");
    LineReader reader;
    reader.Open(path);
    ASSERT_TRUE(reader.Reset());
    EXPECT_EQ(reader.ReadChar(), 'a');
    std::string line;
    reader.ReadLine(line);
    EXPECT_EQ(line, "b");
    ASSERT_TRUE(reader.Reset());
    reader.ReadLine(line);
    EXPECT_EQ(line, "ab");
    EXPECT_EQ(reader.ReadChar(), 'c');
    EXPECT_EQ(reader.ReadChar(), 'd');
    EXPECT_EQ(reader.ReadChar(), -1);
    EXPECT_TRUE(reader.AtEnd());

    LineReader missing;
    missing.Open(dir.File("none.txt"));
    EXPECT_FALSE(missing.Reset());
    EXPECT_EQ(missing.ReadLine(line), 0u);
    LineReader directory;
    directory.Open(dir.Path().string());
    EXPECT_FALSE(directory.Reset());
}

// A UTF-8 download is decoded in memory, or into a temporary file when it is larger than the
// limit; both read the same.
TEST(LineReaderTest, DecodedDownloadsInMemoryAndInATemporaryFile) {
    TempDir dir;
    const std::string path = dir.File("utf8.ris");
    WriteBytes(path, "\xEF\xBB\xBFTI  - Caf\xC3\xA9\r\nER  -\r\n");
    const DecodedSource inMemory = DecodeSource(path);
    ASSERT_TRUE(inMemory.decoded);
    EXPECT_EQ(inMemory.descriptor, -1);
    EXPECT_EQ(inMemory.text, "TI  - Caf\xE9\r\nER  -\r\n");

    const DecodedSource inFile = DecodeSource(path, 0);
    ASSERT_TRUE(inFile.decoded);
    ASSERT_GE(inFile.descriptor, 0);
    LineReader reader;
    reader.OpenDescriptor(inFile.descriptor);
    ASSERT_TRUE(reader.Reset());
    std::string line;
    reader.ReadLine(line);
    EXPECT_EQ(line, "TI  - Caf\xE9");

    WriteBytes(path, "TI  - plain ASCII\n");
    EXPECT_FALSE(DecodeSource(path).decoded);
}

} // namespace
} // namespace cvx::lexmill
