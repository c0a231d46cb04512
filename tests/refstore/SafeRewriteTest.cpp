// Whatever step a rewrite dies or fails at, the reference file holds either its complete old text
// or its complete new text; after a failure no temporary is left, and the user is told what
// failed.

#include "refstore/LineEnds.h"
#include "refstore/ReferenceFile.h"
#include "support/FaultFileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace cvx {
namespace {

using test::Fault;
using test::FaultFileSystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct Rewrite {
    const char* name;
    std::function<Outcome(TReferenceFile&)> run;
    // Writes into the file itself: a process killed midway may leave the appended reference cut
    // at the end (the references before it are never touched); a failure cuts it back.
    bool inPlace = false;
};

const Rewrite kRewrites[] = {
    {"DeleteCurrent",
     [](TReferenceFile& f) {
         (void)f.GoTo(1);
         return f.DeleteCurrent();
     }},
    {"DeleteTagged",
     [](TReferenceFile& f) {
         f.TaggedSet().Set(0);
         f.TaggedSet().Set(3);
         return f.DeleteTagged();
     }},
    {"DeleteAt",
     [](TReferenceFile& f) {
         f.TaggedSet().Set(0); // the tag goes with #1, so the tag file is written too
         f.TaggedSet().Set(2);
         return f.DeleteAt({0, 4});
     }},
    {"Compress", [](TReferenceFile& f) { return f.Compress(); }},
    {"ReplaceCurrent",
     [](TReferenceFile& f) {
         (void)f.GoTo(2);
         return f.ReplaceCurrent(test::JournalBlock("X", "Doe, J.", "New.", "2020 (1) pp 1", "J"));
     }},
    {"Reprint",
     [](TReferenceFile& f) {
         return f.RewriteReprintNumbers(true, ReprintScope::AllPresent, "RN001");
     }},
    {"AppendText",
     [](TReferenceFile& f) {
         return f.AppendText(test::JournalBlock("Y", "Roe, R.", "More.", "2021 (2) pp 2", "K"));
     },
     true},
};

// The names in a folder other than the reference file, its backup and its companions.
std::vector<std::string> Leftovers(const TempDir& dir) {
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        const std::string name = e.path().filename().string();
        if (!name.starts_with("refs.") || name.size() > 8) {
            left.push_back(name);
        }
    }
    return left;
}

// The text every rewrite starts from: references, a deleted one and more references.
std::string Original() {
    return test::NumberedFile(3) + std::string(kDeletedMarker) + test::NumberedFile(2);
}

// A run without faults: the new text and how many steps the rewrite takes.
struct CleanRun {
    std::string finished;
    int steps = 0;
};

CleanRun RunCleanly(const Rewrite& rewrite) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", Original());
    FaultFileSystem fs;
    TReferenceFile file(fs);
    EXPECT_TRUE(file.Open(path).ok());
    EXPECT_TRUE(rewrite.run(file).ok()) << rewrite.name;
    return {ReadBytes(path), fs.Steps()};
}

TEST(SafeRewrite, FailureAtEveryStepLeavesOldOrNewTextAndNoTemporary) {
    for (const Rewrite& rewrite : kRewrites) {
        const std::string original = Original();
        const auto [finished, steps] = RunCleanly(rewrite);
        for (int at = 1; at <= steps; ++at) {
            TempDir dir;
            const std::string path = dir.Write("refs.ref", original);
            FaultFileSystem fs(at, Fault::Failure, "the disk is full");
            TReferenceFile file(fs);
            (void)file.Open(path);
            const Outcome r = rewrite.run(file);
            const std::string now = ReadBytes(path);
            EXPECT_TRUE(now == original || now == finished)
                << rewrite.name << " failed at step " << at << " of " << steps;
            EXPECT_TRUE(r.ok() || now == original) << rewrite.name << " step " << at;
            EXPECT_TRUE(r.ok() || r.message().find("the disk is full") != std::string::npos)
                << rewrite.name << " step " << at << ": " << r.message();
            EXPECT_EQ(Leftovers(dir), std::vector<std::string>{})
                << rewrite.name << " failed at step " << at << " of " << steps;
        }
    }
}

// Appending to another reference file: whatever step fails, the other file holds its old text or
// all of the appended references, never a part.
TEST(SafeRewrite, AppendingToAnotherFileIsAllOrNothing) {
    const std::string other = test::NumberedFile(2);
    std::string finished;
    int steps = 0;
    for (int at = 0; at <= steps; ++at) {
        TempDir dir;
        const std::string from = dir.Write("from.ref", test::NumberedFile(4));
        const std::string to = dir.Write("refs.ref", other);
        FaultFileSystem fs(at, Fault::Failure, "the disk is full");
        TReferenceFile file(fs);
        ASSERT_TRUE(file.Open(from).ok());
        const Outcome r = file.AppendTo(to, false);
        if (at == 0) {
            ASSERT_TRUE(r.ok());
            finished = ReadBytes(to);
            steps = fs.Steps();
            continue;
        }
        EXPECT_EQ(ReadBytes(to), r.ok() ? finished : other) << "step " << at << " of " << steps;
    }
    EXPECT_GT(finished.size(), other.size());
}

// A full disk is reported as a full disk, not as a file that is write-protected.
TEST(SafeRewrite, TheTagFileSaysWhatFailed) {
    TempDir dir;
    const std::string path = dir.Write("refs.ref", test::NumberedFile(3));
    {
        TReferenceFile mapped; // the map is saved, so the first step below is the tag file's
        ASSERT_TRUE(mapped.Open(path).ok());
    }
    FaultFileSystem fs(1, Fault::Failure, "the disk is full");
    TReferenceFile file(fs);
    ASSERT_TRUE(file.Open(path).ok());
    file.TaggedSet().Set(1);
    const Outcome r = file.SaveTags();
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message().find("the disk is full"), std::string::npos) << r.message();
    EXPECT_EQ(r.message().find("read-only"), std::string::npos) << r.message();
}

// A failure whose cause is known is reported with that cause, not with the catalogue's old guess
// at one; only a failure that gives no cause keeps the guess.
TEST(SafeRewrite, FailuresNameTheirCauseRatherThanAGuess) {
    const std::string_view guesses[] = {"Network or hard disk problems?",
                                        "Is the drive write-protected?",
                                        "Out of disk space or document locked"};
    auto guessed = [&](const std::string& message) {
        return std::any_of(std::begin(guesses), std::end(guesses), [&](std::string_view g) {
            return message.find(g) != std::string::npos;
        });
    };
    const struct {
        const char* name;
        std::function<Outcome(FileSystem&, const TempDir&)> run;
    } writes[] = {
        {"rewrite",
         [](FileSystem& fs, const TempDir& dir) {
             TReferenceFile file(fs);
             (void)file.Open(dir.File("refs.ref"));
             (void)file.GoTo(1);
             return file.DeleteCurrent();
         }},
        {"line ends",
         [](FileSystem& fs, const TempDir& dir) {
             WriteBytes(dir.File("refs.ref"), "\n Id\n Smith, J.\n T.\n 1998 (1) pp 1\n J\n\n");
             bool changed = false;
             return FixLineEnds(fs, dir.File("refs.ref"), changed);
         }},
        {"append to another file",
         [](FileSystem& fs, const TempDir& dir) {
             TReferenceFile file(fs);
             (void)file.Open(dir.File("refs.ref"));
             return file.AppendTo(dir.File("refs2.ref"), false);
         }},
    };
    auto fresh = [](const TempDir& dir) {
        WriteBytes(dir.File("refs.ref"), Original());
        WriteBytes(dir.File("refs2.ref"), test::NumberedFile(1));
    };
    const std::string causes[] = {Message(msg::Citavox::DiskFull),
                                  Message(msg::Citavox::PermissionDenied),
                                  Message(msg::Citavox::ReadOnlyFileSystem), ""};
    for (const auto& w : writes) {
        int steps = 0;
        {
            TempDir dir;
            fresh(dir);
            FaultFileSystem fs;
            ASSERT_TRUE(w.run(fs, dir).ok()) << w.name;
            steps = fs.Steps();
        }
        int failures = 0;
        for (const std::string& cause : causes) {
            for (int at = 1; at <= steps; ++at) {
                TempDir dir;
                fresh(dir);
                FaultFileSystem fs(at, Fault::Failure, cause);
                const Outcome r = w.run(fs, dir);
                if (r.ok()) {
                    continue; // a step whose failure costs nothing (a map that is made again)
                }
                ++failures;
                SCOPED_TRACE(std::string(w.name) + ", step " + std::to_string(at) + ": " +
                             r.message());
                if (cause.empty()) {
                    EXPECT_TRUE(guessed(r.message()));
                } else {
                    EXPECT_NE(r.message().find(cause), std::string::npos);
                    EXPECT_FALSE(guessed(r.message()));
                }
            }
        }
        EXPECT_GT(failures, 0) << w.name;
    }
}

TEST(SafeRewrite, CrashAtEveryStepLeavesOldOrNewText) {
    for (const Rewrite& rewrite : kRewrites) {
        if (rewrite.inPlace) {
            continue;
        }
        const std::string original = Original();
        const auto [finished, steps] = RunCleanly(rewrite);
        ASSERT_NE(finished, original) << rewrite.name;
        for (int crashAt = 1; crashAt <= steps; ++crashAt) {
            TempDir dir;
            const std::string path = dir.File("refs.ref");
            WriteBytes(path, original);
            FaultFileSystem fs(crashAt);
            TReferenceFile file(fs);
            (void)file.Open(path);
            (void)rewrite.run(file);
            const std::string now = ReadBytes(path);
            EXPECT_TRUE(now == original || now == finished)
                << rewrite.name << " died at step " << crashAt << " of " << steps;
        }
    }
}

TEST(SafeRewrite, LineEndRepairSurvivesACrash) {
    const std::string lfText = "\n Id\n Smith, J.\n T.\n 1998 (1) pp 1\n J\n\n";
    for (int crashAt = 1; crashAt <= 8; ++crashAt) {
        TempDir dir;
        const std::string path = dir.File("lf.ref");
        WriteBytes(path, lfText);
        FaultFileSystem fs(crashAt);
        bool changed = false;
        (void)FixLineEnds(fs, path, changed);
        const std::string now = ReadBytes(path);
        EXPECT_TRUE(now == lfText ||
                    now == "\r\n Id\r\n Smith, J.\r\n T.\r\n 1998 (1) pp 1\r\n J\r\n\r\n")
            << crashAt;
    }
}

TEST(SafeRewrite, ReadOnlyFolderKeepsTheMapInMemoryAndRefusesWrites) {
    TempDir dir;
    const std::string path = dir.File("refs.ref");
    const std::string original = test::NumberedFile(4);
    WriteBytes(path, original);
    FaultFileSystem fs;
    fs.RefuseAllChanges();
    TReferenceFile file(fs);
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.RefCount(), 4);
    EXPECT_FALSE(std::filesystem::exists(dir.File("refs.map")));
    ASSERT_TRUE(file.GoTo(3).ok());
    EXPECT_EQ(file.IdentificationString(), "Ref4");
    const Outcome r = file.DeleteCurrent();
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.message().empty());
    EXPECT_FALSE(file.SaveTags().ok());
    EXPECT_EQ(ReadBytes(path), original);
}

TEST(LineEnds, RepairRules) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"a\nb\n\n", "a\r\nb\r\n\r\n"},
        {"a\rb\r\r", "a\r\nb\r\n\r\n"},
        {"a\r\r\nb", "a\r\nb"},
        {"a\r\nb\n", "a\r\nb\r\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        int pending = 0;
        std::string out = ToCrLf(c.in, pending, true);
        EXPECT_EQ(out, c.out) << c.in;
    }
    // A CR at the end of one piece and the LF at the start of the next are one line end.
    int pending = 0;
    std::string out = ToCrLf("a\r", pending, false);
    out += ToCrLf("\nb", pending, true);
    EXPECT_EQ(out, "a\r\nb");
}

TEST(LineEnds, FixedFileOpensWithItsReferences) {
    TempDir dir;
    const std::string path = dir.File("lf.ref");
    std::string lf;
    for (char c : test::NumberedFile(3)) {
        if (c != '\r') {
            lf += c;
        }
    }
    WriteBytes(path, lf);
    TReferenceFile file;
    EXPECT_FALSE(file.Open(path).ok());
    bool changed = false;
    ASSERT_TRUE(FixLineEnds(FileSystem::Default(), path, changed).ok());
    EXPECT_TRUE(changed);
    EXPECT_EQ(ReadBytes(path), test::NumberedFile(3));
    ASSERT_TRUE(FixLineEnds(FileSystem::Default(), path, changed).ok());
    EXPECT_FALSE(changed);
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.RefCount(), 3);
}

} // namespace
} // namespace cvx
