// Appending as one change: whatever step fails, the file holds its old text or its old text with
// all of the new, and a file the session made is gone again when it fails.

#include "storage/AppendSession.h"
#include "support/FaultFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::Fault;
using test::FaultFileSystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Appends two pieces and commits; the outcome of the whole.
Outcome AppendTwo(FileSystem& fs, const std::string& path) {
    AppendSession session(fs);
    if (Outcome r = session.Open(path, path, nullptr); !r) {
        return r;
    }
    Outcome r = session.Append("\r\n\r\n one");
    if (r) {
        r = session.Append(std::string(2 << 20, 'x')); // past the write buffer
    }
    if (r) {
        return session.Commit();
    }
    session.Abandon();
    return r;
}

TEST(AppendSession, AFailureAtAnyStepLeavesTheOldTextOrAllOfTheNew) {
    const std::string old = " kept\r\n\r\n";
    const std::string whole = old + "\r\n\r\n one" + std::string(2 << 20, 'x');
    for (bool exists : {true, false}) {
        int steps = 0;
        {
            TempDir dir;
            const std::string path = dir.File("a.ref");
            if (exists) {
                WriteBytes(path, old);
            }
            FaultFileSystem fs;
            ASSERT_TRUE(AppendTwo(fs, path).ok());
            steps = fs.Steps();
        }
        for (int at = 1; at <= steps; ++at) {
            TempDir dir;
            const std::string path = dir.File("a.ref");
            if (exists) {
                WriteBytes(path, old);
            }
            FaultFileSystem fs(at, Fault::Failure);
            const Outcome r = AppendTwo(fs, path);
            const std::string now = ReadBytes(path);
            if (r) {
                EXPECT_EQ(now, exists ? whole : whole.substr(old.size())) << at;
            } else if (exists) {
                EXPECT_EQ(now, old) << "step " << at << " of " << steps;
            } else {
                EXPECT_FALSE(std::filesystem::exists(path)) << "step " << at << " of " << steps;
            }
        }
    }
}

TEST(AppendSession, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder.ref"));
    AppendSession session(FileSystem::Default());
    EXPECT_FALSE(session.Open(dir.File("folder.ref"), "folder.ref", nullptr).ok());
    EXPECT_FALSE(session.Open("/dev/null", "/dev/null", nullptr).ok());
}

} // namespace
} // namespace cvx
