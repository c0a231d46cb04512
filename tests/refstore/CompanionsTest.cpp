#include "refstore/Companions.h"
#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(Companions, SizesTimesAndRemoval) {
    TempDir dir;
    FileSystem& fs = FileSystem::Default();
    const std::string ref = dir.File("a.ref");
    WriteBytes(ref, "0123456789");
    WriteBytes(dir.File("a.map"), "123456");
    WriteBytes(dir.File("a.IDX"), "1234");
    WriteBytes(dir.File("a.txt"), "not a companion");
    EXPECT_EQ(TotalSize(fs, ref), 20u);
    EXPECT_EQ(CompanionPath(fs, ref, kIndexExt), dir.File("a.IDX"));
    EXPECT_EQ(CompanionPath(fs, ref, kTagExt), dir.File("a.smp"));

    // A companion older than the text, empty or missing is outdated.
    std::filesystem::last_write_time(dir.File("a.map"), std::filesystem::last_write_time(ref) -
                                                            std::chrono::seconds(5));
    EXPECT_TRUE(CompanionOutdated(fs, ref, dir.File("a.map")));
    WriteBytes(dir.File("a.map"), "123456");
    EXPECT_FALSE(CompanionOutdated(fs, ref, dir.File("a.map")));
    WriteBytes(dir.File("a.map"), "");
    EXPECT_TRUE(CompanionOutdated(fs, ref, dir.File("a.map")));

    WriteBytes(dir.File("a.map"), "123456");
    WriteBytes(dir.File("a.SRT"), "x");
    RemoveCompanions(fs, ref);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.map")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.SRT")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("a.IDX")));
    EXPECT_TRUE(std::filesystem::exists(ref));
}

TEST(Companions, WritabilityTests) {
    TempDir dir;
    FileSystem& fs = FileSystem::Default();
    EXPECT_TRUE(FileWritable(fs, dir.File("new.ref")));
    EXPECT_FALSE(FileWritable(fs, dir.File("no/such/folder/new.ref")));
    EXPECT_FALSE(FileWritable(fs, dir.Path().string() + "/"));
    EXPECT_TRUE(CanCreateFile(fs, dir.File("probe.ref")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("probe.ref")));
    EXPECT_FALSE(CanCreateFile(fs, dir.File("no/such/probe.ref")));
    EXPECT_TRUE(FileIsEmpty(fs, dir.File("missing.ref")));
}

} // namespace
} // namespace cvx
