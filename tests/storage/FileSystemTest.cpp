// The file-system seam: only regular files are opened (a pipe or a device never blocks), new and
// temporary files are made exclusively and never through a planted link, links are resolved to
// the file they stand for, and failures say what failed.

#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cvx {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

FileSystem& Disk() {
    return FileSystem::Default();
}

TEST(FileSystem, OpensOnlyRegularFilesAndNeverWaitsOnAPipe) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.ref");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder.ref"));
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {fifo, Message(msg::Citavox::NotRegularFile)},
        {"/dev/zero", Message(msg::Citavox::NotRegularFile)},
        {dir.File("folder.ref"), Message(msg::Citavox::IsFolder)},
        {dir.File("missing.ref"), Message(msg::Citavox::DoesNotExist)},
    };
    for (const auto& c : cases) {
        Outcome r;
        EXPECT_EQ(Disk().OpenForRead(c.path, r), nullptr) << c.path;
        EXPECT_EQ(r.message(), c.reason) << c.path;
        std::string content;
        EXPECT_FALSE(ReadWholeFile(Disk(), c.path, content).ok()) << c.path;
        if (c.path != dir.File("missing.ref")) {
            EXPECT_EQ(Disk().OpenForWrite(c.path, true, r), nullptr) << c.path;
            LockState state = LockState::Locked;
            EXPECT_EQ(Disk().TryLock(c.path, state, r), nullptr) << c.path;
            EXPECT_EQ(state, LockState::Failed) << c.path;
        }
    }
    EXPECT_FALSE(Disk().Stat(fifo).isRegular);
    EXPECT_TRUE(Disk().Stat(fifo).exists);
}

TEST(FileSystem, WholeFileReadsAreBounded) {
    TempDir dir;
    const std::string path = dir.Write("big.bin", std::string(5000, 'x'));
    std::string content;
    const Outcome r = ReadWholeFile(Disk(), path, content, 4096);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(content.empty());
    ASSERT_TRUE(ReadWholeFile(Disk(), path, content, 5000).ok());
    EXPECT_EQ(content.size(), 5000u);
}

TEST(FileSystem, NewFilesAreMadeExclusivelyAndNeverThroughALink) {
    TempDir dir;
    const std::string victim = dir.Write("victim.txt", "precious");
    const std::string link = dir.File("planted.ref");
    std::filesystem::create_symlink(victim, link);
    Outcome r;
    // Neither a new file nor an append goes through the planted link.
    EXPECT_EQ(Disk().OpenForWrite(link, false, r), nullptr);
    EXPECT_EQ(Disk().OpenForWrite(link, true, r), nullptr);
    EXPECT_EQ(Disk().OpenForWrite(victim, false, r), nullptr); // exists
    EXPECT_EQ(ReadBytes(victim), "precious");

    // Temporaries get names of their own, each new, with the permissions asked for.
    std::string a;
    std::string b;
    auto first = Disk().CreateTemporary(dir.File("refs.ref"), "$$$", 0640, a, r);
    auto second = Disk().CreateTemporary(dir.File("refs.ref"), "$$$", 0, b, r);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.starts_with(dir.File("refs.ref.")) && a.ends_with(".$$$")) << a;
    EXPECT_EQ(a.size(), dir.File("refs.ref.").size() + kTemporaryRandomLength + 4);
    EXPECT_EQ(Disk().Stat(a).permissions, 0640u);
    ASSERT_TRUE(first->Append("new").ok());
    ASSERT_TRUE(first->Close().ok());
    EXPECT_EQ(ReadBytes(a), "new");
}

TEST(FileSystem, ResolvesLinksToTheFileTheyStandFor) {
    TempDir dir;
    const std::string target = dir.Write("library.ref", "text");
    std::filesystem::create_directory(dir.File("sub"));
    std::filesystem::create_symlink("../library.ref", dir.File("sub/relative.ref"));
    std::filesystem::create_symlink(dir.File("sub/relative.ref"), dir.File("chain.ref"));
    std::filesystem::create_symlink(dir.File("loop-b.ref"), dir.File("loop-a.ref"));
    std::filesystem::create_symlink(dir.File("loop-a.ref"), dir.File("loop-b.ref"));
    EXPECT_TRUE(Disk().SameFile(Disk().ResolveLinks(dir.File("chain.ref")), target));
    EXPECT_TRUE(Disk().SameFile(Disk().ResolveLinks(dir.File("sub/relative.ref")), target));
    EXPECT_EQ(Disk().ResolveLinks(target), target);
    EXPECT_EQ(Disk().ResolveLinks(dir.File("new.ref")), dir.File("new.ref"));
    // A loop of links stays a link, which opening then refuses.
    Outcome r;
    EXPECT_EQ(Disk().OpenForWrite(Disk().ResolveLinks(dir.File("loop-a.ref")), true, r), nullptr);
}

TEST(FileSystem, SaysWhatFailed) {
    TempDir dir;
    Outcome r;
    EXPECT_EQ(Disk().OpenForWrite(dir.File("no/such/folder/a.ref"), false, r), nullptr);
    EXPECT_EQ(r.message(), Message(msg::Citavox::DoesNotExist));
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const std::string locked = dir.Write("locked.ref", "x");
    ::chmod(locked.c_str(), 0);
    EXPECT_EQ(Disk().OpenForRead(locked, r), nullptr);
    EXPECT_EQ(r.message(), Message(msg::Citavox::PermissionDenied));
}

} // namespace
} // namespace cvx
