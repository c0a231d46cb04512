// Whole-file rewrites: the old text is kept as the backup (by a link, or a copy where links fail),
// the new file has the old one's permissions, and temporaries of dead writers are swept away by
// the next writer that holds the file.

#include "storage/FileRewrite.h"
#include "storage/WriteLock.h"
#include "support/FileBytes.h"
#include "support/ForwardingFileSystem.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace cvx {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A file system without hard links (some network and removable ones).
class NoLinks final : public test::ForwardingFileSystem {
public:
    Outcome HardLink(const std::string&, const std::string&) override {
        return Outcome::Error("links are not supported");
    }
};

Outcome WriteNew(FileSystem& fs, const std::string& path, WriteLock* lock = nullptr) {
    return RewriteFile(
        fs, path, [](WritableFile& out) { return out.Append("new"); }, lock);
}

TEST(FileRewrite, KeepsTheOldTextAsBackupWithOrWithoutLinks) {
    NoLinks noLinks;
    for (FileSystem* fs : {&FileSystem::Default(), static_cast<FileSystem*>(&noLinks)}) {
        TempDir dir;
        const std::string path = dir.Write("a.ref", "old");
        WriteBytes(dir.File("a.bak"), "older");
        ::chmod(path.c_str(), 0640);
        ASSERT_TRUE(WriteNew(*fs, path).ok());
        EXPECT_EQ(ReadBytes(path), "new");
        EXPECT_EQ(ReadBytes(dir.File("a.bak")), "old");
        EXPECT_EQ(FileSystem::Default().Stat(path).permissions, 0640u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    }
}

TEST(FileRewrite, PlantedLinksAtTheOldFixedNamesAreLeftAlone) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", "old");
    const std::string victim = dir.Write("victim.txt", "precious");
    for (const char* name : {"a.$$$", "a.ref.tmp", "a.ref.$$$"}) {
        std::filesystem::create_symlink(victim, dir.File(name));
    }
    ASSERT_TRUE(WriteNew(FileSystem::Default(), path).ok());
    ASSERT_TRUE(WriteFileAtomically(FileSystem::Default(), path, "newer").ok());
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_EQ(ReadBytes(path), "newer");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
}

TEST(FileRewrite, AWriterThatHoldsTheFileSweepsAwayTemporariesOfDeadWriters) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", "old");
    const std::string dead = dir.Write("a.ref.Dead0001.$$$", "half");
    const std::string other = dir.Write("b.ref.Dead0002.$$$", "another file's");
    const std::string odd = dir.Write("a.ref.notmine.$$$", "not a temporary name");
    WriteLock lock;
    ASSERT_TRUE(lock.Acquire(FileSystem::Default(), path, path, nullptr).ok());
    ASSERT_TRUE(WriteNew(FileSystem::Default(), path, &lock).ok());
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_TRUE(std::filesystem::exists(odd));
}

} // namespace
} // namespace cvx
