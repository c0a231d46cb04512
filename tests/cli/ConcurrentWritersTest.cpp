// Many writers on one reference file at once, for a bounded time: command-line processes that
// delete, tag and delete the tagged, append, compress, sort in place, append what a comparison
// found, apply and remove reprint numbers, repair line ends, import with --append, tag what a
// search finds and tag suspected duplicates, and threads of this process that go through the
// engine (deleting, replacing, appending, compressing, appending to another file, reprint
// numbers). Every process ends with status 0 or with a refusal that another writer's work
// explains; afterwards the file is there, every reference in it (in its backup, and in the file
// the threads appended to) is byte for byte one of the originals (up to a reprint number) or a
// deleted marker, its map fits its text, its tag file has the stamp of exactly its bytes and no
// temporary is left behind.

#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceMap.h"
#include "refstore/StampFile.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <random>
#include <regex>
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

struct CliRun {
    int status = -1; // -1: the process did not exit by itself (it crashed or was killed)
    std::string err;
};

// Runs citavox-cli with `args` and a settings folder of its own; its standard error goes to
// `errFile` (the calling writer's own) and is given back with the status.
CliRun RunCli(const std::vector<std::string>& args, const std::string& home,
              const std::string& errFile) {
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
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, CITAVOX_CLI, &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    CliRun run;
    if (spawned != 0) {
        run.err = "not started";
        return run;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadBytes(errFile);
    return run;
}

// The refusals that another writer's work explains: the file was held too long, changed between
// the reading and the writing, or changed by another writer's finished work so that a number now
// lies beyond the end (after a compress), nothing is tagged any more (another run replaced or
// cleared the tags) or every reference is deleted (nothing to sort). Anything else (a crash, a
// failed write, a damaged file) is a fault.
bool ExplainedRefusal(std::string_view message) {
    for (std::string_view known :
         {"is being changed by another program or window", "was changed by another program",
          "was changed while the job read it", "was requested but this file contains only",
          "No reference is tagged", "is empty and cannot be sorted"}) {
        if (message.find(known) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// A block as it was before a reprint number was put in front of its identification string.
std::string WithoutReprintNumber(const std::string& block) {
    static const std::regex kReprint("^ RN[0-9]+ ");
    return std::regex_replace(block, kReprint, " ", std::regex_constants::format_first_only);
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

// Collects what went wrong on any thread, to report after they are joined.
class Faults {
public:
    void Add(std::string what) {
        const std::lock_guard<std::mutex> hold(mutex_);
        faults_.push_back(std::move(what));
    }
    std::vector<std::string> Taken() {
        const std::lock_guard<std::mutex> hold(mutex_);
        return faults_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> faults_;
};

TEST(ConcurrentWriters, EveryReferenceSurvivesWholeOrNotAtAll) {
    TempDir dir;
    const std::string home = dir.File("home");
    std::filesystem::create_directories(home + "/config");
    const std::string path = dir.File("a.ref");
    const std::string pool = dir.File("pool.ref");
    const std::string other = dir.File("b.ref");
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
    // A download whose references an import appends; what it makes of them is learnt from an
    // import into a file of its own.
    const std::string ris = dir.Write("s.ris", "TY  - JOUR\r\nAU  - Imported, I.\r\nTI  - An "
                                               "imported title\r\nJO  - Journal of Imports\r\n"
                                               "PY  - 2003\r\nVL  - 4\r\nSP  - 10\r\nEP  - 19\r\n"
                                               "ER  - \r\n\r\nTY  - JOUR\r\nAU  - Second, S.\r\n"
                                               "TI  - Another imported title\r\nJO  - Journal of "
                                               "Imports\r\nPY  - 2004\r\nVL  - 5\r\nSP  - 20\r\n"
                                               "EP  - 29\r\nER  - \r\n");
    {
        const std::string imported = dir.File("imported.ref");
        const CliRun learnt =
            RunCli({"import", ris, imported, "--type", "ris"}, home, dir.File("learn.err"));
        ASSERT_EQ(learnt.status, 0) << learnt.err;
        const std::vector<std::string> blocks = Blocks(imported);
        ASSERT_EQ(blocks.size(), 2u);
        originals.insert(blocks.begin(), blocks.end());
    }

    const auto deadline = std::chrono::steady_clock::now() + kDuration;
    Faults faults;
    std::atomic<int> cliRuns{0};
    std::atomic<int> engineWrites{0};
    std::vector<std::thread> writers;
    // Command-line writers: each a loop of processes, one after another, each process checked.
    for (int w = 0; w < 6; ++w) {
        writers.emplace_back([&, w] {
            std::mt19937 random(w);
            const std::string errFile = dir.File("writer" + std::to_string(w) + ".err");
            auto run = [&](const std::vector<std::string>& args) {
                const CliRun r = RunCli(args, home, errFile);
                ++cliRuns;
                if (r.status == 0 || (r.status == 1 && ExplainedRefusal(r.err))) {
                    return;
                }
                std::string line;
                for (const std::string& a : args) {
                    line += a + " ";
                }
                faults.Add(line + "-> status " + std::to_string(r.status) + ": " + r.err);
            };
            while (std::chrono::steady_clock::now() < deadline) {
                // Low numbers, which the file holds most of the time however much it shrinks.
                const int first = static_cast<int>(random() % 20) + 1;
                const std::string n = std::to_string(first);
                const std::string m = std::to_string(random() % 20 + 1);
                switch ((w + random()) % 13) {
                case 0:
                    run({"delete", path, n, m});
                    break;
                case 1:
                    run({"tag", path, n + "-" + std::to_string(first + 2), "--absolute"});
                    run({"delete-tagged", path});
                    break;
                case 2:
                    run({"append", pool, path, "--current", std::to_string(random() % 10 + 1)});
                    break;
                case 3:
                    run({"compress", path});
                    break;
                case 4:
                    run({"sort", path, path});
                    break;
                case 5:
                    run({"compare", pool, path, "--write", "unique", path, "--append"});
                    break;
                case 6:
                    run({"reprint", path, random() % 2 ? "apply" : "remove", "RN1"});
                    break;
                case 7:
                    run({"reprint", path, "apply", "RN1", "--tagged"});
                    break;
                case 8:
                    run({"fix-line-ends", path});
                    break;
                case 9:
                    run({"import", ris, path, "--type", "ris", "--append"});
                    break;
                case 10:
                    run({"search", path, "Pooled", "--tag"});
                    break;
                case 11:
                    run({"order", path, "--tag-duplicates"});
                    break;
                default:
                    run({"list", path});
                    break;
                }
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
                switch (random() % 8) {
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
                case 3:
                    file.TaggedSet().Set(static_cast<int>(random() % file.RefCount()));
                    r = file.DeleteTagged();
                    break;
                case 4:
                    r = file.Compress();
                    break;
                case 5:
                    r = file.AppendTo(other, false);
                    break;
                case 6:
                    r = file.RewriteReprintNumbers(random() % 2 == 0, ReprintScope::AllPresent,
                                                   "RN1");
                    break;
                default:
                    r = file.DeleteAt({static_cast<int>(random() % file.RefCount()),
                                       static_cast<int>(random() % file.RefCount())});
                    break;
                }
                if (r) {
                    ++engineWrites;
                } else if (!ExplainedRefusal(r.message())) {
                    faults.Add("engine writer " + std::to_string(w) + ": " + r.message());
                }
                std::this_thread::sleep_for(2ms); // a user's pace, which leaves the processes room
            }
        });
    }
    for (std::thread& t : writers) {
        t.join();
    }
    const std::vector<std::string> found = faults.Taken();
    EXPECT_TRUE(found.empty()) << found.size() << " runs failed, the first:\n" << found.front();
    // Every writer had its turns.
    EXPECT_GE(cliRuns.load(), 6);
    EXPECT_GE(engineWrites.load(), 3);

    ASSERT_TRUE(std::filesystem::exists(path));
    // The backup is read under a name of its own, as a user would open it.
    std::filesystem::copy_file(dir.File("a.bak"), dir.File("backup.ref"));
    for (const std::string& file : {path, dir.File("backup.ref"), other}) {
        const std::vector<std::string> blocks = Blocks(file);
        EXPECT_FALSE(blocks.empty()) << file;
        for (const std::string& block : blocks) {
            EXPECT_TRUE(originals.count(WithoutReprintNumber(block)))
                << file << ": a reference that is no original:\n"
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
    // The tag file, when there is one, is stamped for exactly its bytes (no writer's stamp was
    // left beside another writer's tags), and for the text it was saved for: the current one, or,
    // when the text changed since, an older one. A tag file saved after the text's last change
    // but stamped for an earlier text was computed for references that had moved.
    const std::string tagPath = CompanionPath(FileSystem::Default(), path, kTagExt);
    if (std::filesystem::exists(tagPath)) {
        const std::string tags = ReadBytes(tagPath);
        const StampFile stamps = StampFile::Load(FileSystem::Default(), path);
        const CompanionStamp* stamp = stamps.For(Stamped::Tags, tags);
        ASSERT_NE(stamp, nullptr) << "a tag file without its stamp";
        const FileInfo textInfo = FileSystem::Default().Stat(path);
        if (stamp->text != StampOf(textInfo)) {
            EXPECT_LE(FileSystem::Default().Stat(tagPath).modifiedNs, textInfo.modifiedNs)
                << "tags saved for a text that had been changed";
        }
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        const std::string name = e.path().filename().string();
        EXPECT_FALSE(name.ends_with(".$$$") || name.ends_with(".tmp")) << name;
    }
}

} // namespace
} // namespace cvx
