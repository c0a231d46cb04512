#include "refstore/ReferenceMap.h"
#include "refstore/ReferenceFile.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <random>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<MapEntry> MapOf(const std::string& path) {
    TReferenceFile file;
    EXPECT_TRUE(file.Open(path).ok());
    std::vector<MapEntry> entries;
    for (int i = 0; i < file.RefCount(); ++i) {
        entries.push_back(file.EntryOf(i));
    }
    return entries;
}

TEST(ReferenceMap, BlockRules) {
    TempDir dir;
    const std::string a = JournalBlock("A", "Smith, J.", "T.", "1998 (1) pp 1", "J");
    const std::string b = JournalBlock("B", "Jones, K.", "U.", "1999 (2) pp 2", "K");
    const auto la = static_cast<std::uint16_t>(a.size());
    struct Case {
        std::string name, text;
        std::vector<MapEntry> entries;
    } cases[] = {
        {"plain", a + b, {{0, la}, {la, static_cast<std::uint16_t>(b.size())}}},
        // The last reference may run to the end of the file without its empty line.
        {"open end",
         a + b.substr(0, b.size() - 2),
         {{0, la}, {la, static_cast<std::uint16_t>(b.size() - 2)}}},
        // Extra empty lines and stray lines without a leading blank map like one empty line.
        {"gaps",
         a + "\r\n\r\nstray text\r\n\r\n" + b,
         {{0, la}, {static_cast<std::uint32_t>(la + 18), static_cast<std::uint16_t>(b.size())}}},
        // Text before the first block is skipped.
        {"prefix", "\r\n\r\n" + a, {{4, la}}},
        {"deleted", " DELETED\r\n\r\n" + a, {{0, 12}, {12, la}}},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File(c.name + ".ref");
        WriteBytes(path, c.text);
        EXPECT_EQ(MapOf(path), c.entries) << c.name;
    }
}

TEST(ReferenceMap, DeletedAndTinyBlocksCountAsDeleted) {
    TempDir dir;
    const std::string path = dir.File("d.ref");
    // A marker (12 bytes) and a 13-byte block are both deleted references.
    WriteBytes(path, " DELETED\r\n\r\n" + std::string(" abcdefgh\r\n\r\n") +
                         JournalBlock("A", "Smith, J.", "T.", "1998 (1) pp 1", "J"));
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.RefCount(), 3);
    EXPECT_EQ(file.EntryOf(1).length, 13);
    EXPECT_EQ(file.DeletedCount(), 2);
    EXPECT_EQ(file.Status(0), RefStatus::Deleted);
    EXPECT_EQ(file.Status(1), RefStatus::Deleted);
    EXPECT_NE(file.Status(2), RefStatus::Deleted);
}

TEST(ReferenceMap, PatternsAcrossReadChunks) {
    // Blocks are found by three-byte patterns; with blocks of every length mod 7 over more than
    // 1 MiB, block ends fall on every offset around the boundaries of the reads and of the
    // scan's groups of bytes.
    TempDir dir;
    const std::string path = dir.File("big.ref");
    std::string text;
    int blocks = 0;
    while (text.size() < (1u << 20) + 4096) {
        text += JournalBlock("R" + std::to_string(blocks), "Smith, J.",
                             "T" + std::string(blocks % 7, 'x') + ".", "1998 (1) pp 1", "J");
        ++blocks;
    }
    WriteBytes(path, text);
    const std::vector<MapEntry> entries = MapOf(path);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(blocks));
    std::uint64_t expected = 0;
    for (const MapEntry& e : entries) {
        EXPECT_EQ(e.offset, expected);
        expected += e.length;
    }
    EXPECT_EQ(expected, text.size());
}

TEST(ReferenceMap, MapFileIsReusedAndCheckedAgainstTheText) {
    TempDir dir;
    const std::string path = dir.File("m.ref");
    WriteBytes(path, test::NumberedFile(5));
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
    }
    const std::string image = ReadBytes(dir.File("m.map"));
    EXPECT_EQ(image.size(), 5u * 6);

    // A map that does not fit the text (here: one of another file, newer than the text) is
    // rebuilt, not trusted.
    WriteBytes(path, test::NumberedFile(7));
    WriteBytes(dir.File("m.map"), image);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.RefCount(), 7);

    // A foreign or damaged map file is rebuilt too.
    for (std::string junk : {std::string("garbage"), std::string(12, '\xFF'), std::string()}) {
        WriteBytes(dir.File("m.map"), junk);
        ASSERT_TRUE(file.Open(path).ok());
        EXPECT_EQ(file.RefCount(), 7);
    }
}

TEST(ReferenceMap, CompanionExtensionsAreFoundInAnyCase) {
    TempDir dir;
    const std::string path = dir.File("c.ref");
    WriteBytes(path, test::NumberedFile(3));
    RefSet tags(3);
    tags.Set(1);
    WriteBytes(dir.File("c.SMP"), tags.ToTagImage());
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_TRUE(file.IsTagged(1));
}

TEST(ReferenceMap, OverlongBlocksAreReportedNotWrapped) {
    TempDir dir;
    const std::string path = dir.File("long.ref");
    WriteBytes(path,
               JournalBlock("A", "Smith, J.", "T.", "1998 (1) pp 1", "J", std::string(70000, 'x')) +
                   JournalBlock("B", "Smith, J.", "T.", "1998 (1) pp 1", "J"));
    TReferenceFile file;
    const Outcome r = file.Open(path);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message().find("65535"), std::string::npos) << r.message();
    EXPECT_FALSE(file.IsOpen());
}

TEST(ReferenceMap, BlocksLongerThanTheOldReadWindowAreRead) {
    TempDir dir;
    const std::string path = dir.File("w.ref");
    const std::string big =
        JournalBlock("A", "Smith, J.", "T.", "1998 (1) pp 1", "J", std::string(30000, 'y'));
    WriteBytes(path,
               JournalBlock("0", "Smith, J.", "T.", "1998 (1) pp 1", "J", std::string(9000, 'z')) +
                   big);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    std::string bytes;
    ASSERT_TRUE(file.RawText(1, bytes).ok());
    EXPECT_EQ(bytes, big);
}

TEST(ReferenceMap, WrongLineEndsAreDetected) {
    TempDir dir;
    const std::string crlf = test::NumberedFile(3);
    std::string lf;
    std::string cr;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf.compare(i, 2, "\r\n") == 0) {
            lf += '\n';
            cr += '\r';
            ++i;
        } else {
            lf += crlf[i];
            cr += crlf[i];
        }
    }
    for (const auto& [name, text, word] :
         {std::tuple{"lf.ref", lf, "LF-only"}, std::tuple{"cr.ref", cr, "CR-only"}}) {
        const std::string path = dir.File(name);
        WriteBytes(path, text);
        TReferenceFile file;
        const Outcome r = file.Open(path);
        EXPECT_FALSE(r.ok()) << name;
        EXPECT_NE(r.message().find(word), std::string::npos) << r.message();
    }
}

// The map of a text as the block rules say, one byte after another: the model the scan of whole
// groups of bytes is held against.
MapBuildResult ModelMap(std::string_view t) {
    MapBuildResult m;
    const auto blank = [&](std::size_t i) {
        return i < t.size() && IsBlankByte(static_cast<unsigned char>(t[i]));
    };
    const auto printable = [&](std::size_t i) {
        return i < t.size() && IsPrintableByte(static_cast<unsigned char>(t[i]));
    };
    const auto lf = [&](std::size_t i) { return i < t.size() && t[i] == '\n'; };
    if (t.find('\0') != std::string_view::npos) {
        m.binary = true;
        return m;
    }
    std::size_t crlf = 0;
    std::size_t bare = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\n') {
            (i > 0 && t[i - 1] == '\r') ? ++crlf : ++bare;
        }
    }
    if (bare > crlf) {
        m.lineEnds = crlf == 0 ? LineEnds::LfOnly : LineEnds::Mixed;
    } else if (crlf == 0 && t.find('\r') != std::string_view::npos) {
        m.lineEnds = LineEnds::CrOnly;
    }
    std::size_t start = 0;
    while (start < t.size() && !(blank(start) && printable(start + 1))) {
        ++start;
    }
    while (start < t.size()) {
        std::size_t p = start;
        while (p < t.size() && !(lf(p) && (lf(p + 1) || (blank(p + 1) && lf(p + 2))))) {
            ++p;
        }
        const std::size_t end = p == t.size() ? t.size() : p + (lf(p + 1) ? 2 : 3);
        if (end - start > 65535) {
            m.tooLarge = true;
            break;
        }
        m.entries.push_back(
            {static_cast<std::uint32_t>(start), static_cast<std::uint16_t>(end - start)});
        if (p == t.size()) {
            break;
        }
        std::size_t q = end - 1;
        while (q < t.size() && !(lf(q) && blank(q + 1) && printable(q + 2))) {
            ++q;
        }
        start = q + 1;
    }
    return m;
}

// Texts made of the bytes that matter (line ends, blanks, printable bytes), long enough to cross
// the scan's groups and reads, mapped by the model and by the scan with either instruction set.
TEST(ReferenceMap, TheScanAgreesWithTheBlockRules) {
    TempDir dir;
    std::mt19937 random(7);
    const std::string alphabet = "\n\n\n\r\r  \tab";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const std::size_t length = round < 250 ? random() % 700 : 300000 + random() % 5000;
        while (text.size() < length) {
            // Runs of letters keep lines long enough for the blocks to be of every size.
            const char c = alphabet[random() % alphabet.size()];
            text += c == 'a' ? std::string(random() % 40, 'a') : std::string(1, c);
        }
        if (round % 50 == 49) {
            text[random() % text.size()] = '\0';
        }
        const std::string path = dir.Write("r.ref", text);
        Outcome r;
        auto file = FileSystem::Default().OpenForRead(path, r);
        ASSERT_TRUE(file);
        const MapBuildResult model = ModelMap(text);
        for (ScanInstructions instructions : {ScanInstructions::Best, ScanInstructions::Baseline}) {
            MapBuildResult scanned;
            ASSERT_TRUE(BuildMap(*file, text.size(), nullptr, scanned, instructions).ok());
            ASSERT_EQ(scanned.binary, model.binary) << round;
            if (model.binary) {
                continue;
            }
            ASSERT_EQ(scanned.tooLarge, model.tooLarge) << round;
            ASSERT_EQ(scanned.entries, model.entries) << round;
            if (!model.tooLarge) {
                ASSERT_EQ(scanned.lineEnds, model.lineEnds) << round;
            }
        }
    }
}

} // namespace
} // namespace cvx
