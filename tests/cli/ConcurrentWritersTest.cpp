// Many writers on one reference file at once, for a bounded time: command-line processes that
// delete, tag and delete the tagged, append, compress, sort in place and append what a comparison
// found, and threads of this process that go through the engine. Afterwards the file is there,
// every reference in it (and in its backup) is byte for byte one of the originals or a deleted
// marker, its map fits its text and no temporary is left behind.

#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceMap.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace cvx {
namespace {

using namespace std::chrono_literals;
using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr auto kDuration = 4s;

// Runs citavox-cli with `args` and a settings folder of its own; its status.
int RunCli(const std::vector<std::string>& args, const std::string& home) {
    std::vector<std::string> env = {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                    "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> argv = {CITAVOX_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    for (std::string& a : argv) {
        argp.push_back(a.data());
    }
    argp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, CITAVOX_CLI, &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The blocks of a reference text, as its map finds them.
std::vector<std::string> Blocks(const std::string& path) {
    std::vector<std::string> blocks;
    TReferenceFile file;
    const Outcome opened = file.Open(path);
    EXPECT_TRUE(opened.ok()) << opened.message();
    for (int i = 0; i < file.RefCount(); ++i) {
        std::string bytes;
        EXPECT_TRUE(file.RawText(i, bytes).ok());
        blocks.push_back(bytes);
    }
    return blocks;
}

TEST(ConcurrentWriters, EveryReferenceSurvivesWholeOrNotAtAll) {
    TempDir dir;
    const std::string home = dir.File("home");
    std::filesystem::create_directories(home + "/config");
    const std::string path = dir.File("a.ref");
    const std::string pool = dir.File("pool.ref");
    std::set<std::string> originals = {std::string(kDeletedMarker)};
    std::string text;
    for (int i = 1; i <= 60; ++i) {
        const std::string block = JournalBlock("Ref" + std::to_string(i), "Author, A.",
                                               "Title " + std::string(i % 7 * 9, 'x') + ".",
                                               "1990 (1) pp " + std::to_string(i), "J");
        originals.insert(block);
        text += block;
    }
    WriteBytes(path, text);
    std::string poolText;
    for (int i = 1; i <= 10; ++i) {
        const std::string block = JournalBlock("Pool" + std::to_string(i), "Pooled, P.",
                                               "Pooled title.", "2000 (2) pp 2", "K");
        originals.insert(block);
        poolText += block;
    }
    WriteBytes(pool, poolText);

    const auto deadline = std::chrono::steady_clock::now() + kDuration;
    std::atomic<int> cliRuns{0};
    std::atomic<int> engineWrites{0};
    std::vector<std::thread> writers;
    // Command-line writers: each a loop of processes, one after another.
    for (int w = 0; w < 6; ++w) {
        writers.emplace_back([&, w] {
            std::mt19937 random(w);
            while (std::chrono::steady_clock::now() < deadline) {
                const std::string n = std::to_string(random() % 60 + 1);
                switch ((w + random()) % 7) {
                case 0:
                    RunCli({"delete", path, n}, home);
                    break;
                case 1:
                    RunCli({"tag", path, n + "-" + std::to_string(random() % 60 + 1), "--absolute"},
                           home);
                    RunCli({"delete-tagged", path}, home);
                    break;
                case 2:
                    RunCli({"append", pool, path, "--current", std::to_string(random() % 10 + 1)},
                           home);
                    break;
                case 3:
                    RunCli({"compress", path}, home);
                    break;
                case 4:
                    RunCli({"sort", path, path}, home);
                    break;
                case 5:
                    RunCli({"compare", pool, path, "--write", "unique", path, "--append"}, home);
                    break;
                default:
                    RunCli({"list", path}, home);
                    break;
                }
                ++cliRuns;
            }
        });
    }
    // Engine writers: threads of this process, each with its own open file.
    for (int w = 0; w < 3; ++w) {
        writers.emplace_back([&, w] {
            std::mt19937 random(100 + w);
            TReferenceFile file;
            while (std::chrono::steady_clock::now() < deadline) {
                if (!file.IsOpen() && !file.Open(path).ok()) {
                    continue;
                }
                if (file.RefCount() == 0) {
                    (void)file.Refresh();
                    continue;
                }
                (void)file.GoTo(static_cast<int>(random() % file.RefCount()));
                Outcome r;
                switch (random() % 4) {
                case 0:
                    r = file.DeleteCurrent();
                    break;
                case 1:
                    r = file.ReplaceCurrent(
                        JournalBlock("Pool3", "Pooled, P.", "Pooled title.", "2000 (2) pp 2", "K"));
                    break;
                case 2:
                    r = file.AppendText(
                        JournalBlock("Pool7", "Pooled, P.", "Pooled title.", "2000 (2) pp 2", "K"));
                    break;
                default:
                    file.TaggedSet().Set(static_cast<int>(random() % file.RefCount()));
                    r = file.DeleteTagged();
                    break;
                }
                engineWrites += r ? 1 : 0;
                std::this_thread::sleep_for(2ms); // a user's pace, which leaves the processes room
            }
        });
    }
    for (std::thread& t : writers) {
        t.join();
    }
    // Every writer had its turns.
    EXPECT_GE(cliRuns.load(), 6);
    EXPECT_GE(engineWrites.load(), 3);

    ASSERT_TRUE(std::filesystem::exists(path));
    // The backup is read under a name of its own, as a user would open it.
    std::filesystem::copy_file(dir.File("a.bak"), dir.File("backup.ref"));
    for (const std::string& file : {path, dir.File("backup.ref")}) {
        const std::vector<std::string> blocks = Blocks(file);
        EXPECT_FALSE(blocks.empty()) << file;
        for (const std::string& block : blocks) {
            EXPECT_TRUE(originals.count(block)) << file << ": a reference that is no original:\n"
                                                << block;
        }
    }
    // The map on the disk, when the file's stamp vouches for it, is the map of the text.
    TReferenceFile stored;
    ASSERT_TRUE(stored.Open(path).ok());
    Outcome opened;
    auto text2 = FileSystem::Default().OpenForRead(path, opened);
    ASSERT_TRUE(text2);
    MapBuildResult built;
    ASSERT_TRUE(BuildMap(*text2, text2->Info().size, nullptr, built).ok());
    ASSERT_EQ(stored.RefCount(), static_cast<int>(built.entries.size()));
    for (int i = 0; i < stored.RefCount(); ++i) {
        EXPECT_EQ(stored.EntryOf(i), built.entries[static_cast<std::size_t>(i)]) << i;
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        const std::string name = e.path().filename().string();
        EXPECT_FALSE(name.ends_with(".$$$") || name.ends_with(".tmp")) << name;
    }
}

} // namespace
} // namespace cvx
