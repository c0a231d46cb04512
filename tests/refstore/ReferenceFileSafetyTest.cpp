// A reference file under hostile or unlucky conditions: names that belong to companions, files
// that are no reference text, texts exchanged behind the map's back, tags saved for another text,
// symbolic links, and the line ends of a hand-edited file.

#include "IdentificationStrings.h"
#include "refstore/Companions.h"
#include "refstore/LineEnds.h"
#include "refstore/ReferenceDestination.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceJobs.h"
#include "support/FaultFileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cvx {
namespace {

using test::Ids;
using test::JournalBlock;
using test::NumberedFile;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Writes `text` into the file in place (the same inode) and gives it back the modification time
// it had, as a restore that keeps time stamps does.
void RestoreInPlaceWithOldTime(const std::string& path, const std::string& text) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);
}

// Puts `text` in the file's place under a new inode with the old modification time ("rsync -t").
void ReplaceWithOldTime(const std::string& path, const std::string& text) {
    const auto time = std::filesystem::last_write_time(path);
    const std::string copy = path + ".copy";
    WriteBytes(copy, text);
    std::filesystem::last_write_time(copy, time);
    std::filesystem::rename(copy, path);
}

// Passes everything to the disk; `beforeHold`, when set, runs once just before the next hold on a
// file is taken: another writer that finishes its change while this one waits for the file.
class InterposingFileSystem final : public test::ForwardingFileSystem {
public:
    std::function<void()> beforeHold;
    int holds = 0;       // holds asked for
    int temporaries = 0; // new texts of a reference file ("$$$") written

    std::unique_ptr<FileLock> TryLock(const std::string& path, LockState& state,
                                      Outcome& result) override {
        ++holds;
        if (std::function<void()> act = std::exchange(beforeHold, nullptr)) {
            act();
        }
        return disk_.TryLock(path, state, result);
    }
    std::unique_ptr<WritableFile> CreateTemporary(const std::string& path, std::string_view ext,
                                                  std::uint32_t permissions, std::string& created,
                                                  Outcome& result) override {
        temporaries += ext == "$$$" ? 1 : 0;
        return disk_.CreateTemporary(path, ext, permissions, created, result);
    }
};

TEST(ReferenceFileSafety, NamesOfCompanionsAreRefused) {
    for (const char* name : {"a.bak", "a.map", "a.smp", "a.srt", "a.idx", "a.YVP", "a.$$$", "a.stp",
                             "a.BAK", "x.Map"}) {
        TempDir dir;
        const std::string ref = dir.Write("a.ref", NumberedFile(3));
        std::filesystem::create_directory(dir.File("other"));
        const std::string source = dir.Write("other/source.ref", NumberedFile(1));
        const std::string path = dir.Write(name, NumberedFile(2));
        TReferenceFile file;
        const Outcome r = file.Open(path);
        EXPECT_FALSE(r.ok()) << name;
        EXPECT_NE(r.message().find("cannot be opened as a reference file"), std::string::npos)
            << r.message();
        EXPECT_FALSE(file.IsOpen());
        bool changed = false;
        EXPECT_FALSE(FixLineEnds(FileSystem::Default(), path, changed).ok()) << name;
        TReferenceFile other;
        ASSERT_TRUE(other.Open(source).ok());
        EXPECT_FALSE(other.AppendTo(path, false).ok()) << name;
        // Nothing was written: not the file, not the companions of a.ref it would have made.
        EXPECT_EQ(ReadBytes(path), NumberedFile(2)) << name;
        EXPECT_EQ(ReadBytes(ref), NumberedFile(3)) << name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3) << name;
    }
    // The message says how to open a backup: under a name of its own.
    TempDir dir;
    TReferenceFile file;
    EXPECT_NE(file.Open(dir.Write("a.bak", NumberedFile(1))).message().find("a-bak.ref"),
              std::string::npos);
}

TEST(ReferenceFileSafety, WhatIsNoReferenceTextIsRefused) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder.ref"));
    const std::string fifo = dir.File("pipe.ref");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string nul = dir.Write("nul.ref", std::string(100000, '\0'));
    const std::string sparse = dir.File("sparse.ref");
    WriteBytes(sparse, NumberedFile(2));
    std::filesystem::resize_file(sparse, std::uint64_t{2} << 30); // 2 GiB, nearly all a hole
    const struct {
        std::string path;
        std::string part;
    } cases[] = {
        {dir.File("folder.ref"), Message(msg::Citavox::IsFolder)},
        {fifo, Message(msg::Citavox::NotRegularFile)},
        {nul, "binary data"},
        {sparse, "binary data"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        TReferenceFile file;
        const Outcome r = file.Open(c.path);
        EXPECT_FALSE(r.ok()) << c.path;
        EXPECT_NE(r.message().find(c.part), std::string::npos) << r.message();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.path;
    }
}

// An empty line of a bare line feed ends a reference as one of CR LF does: the two references
// either side stay two, and deleting one leaves the other.
TEST(ReferenceFileSafety, ABareLineFeedLineSeparatesReferences) {
    TempDir dir;
    const std::string first = " A\r\n Smith, J.\r\n T.\r\n 1998 (1) pp 1\r\n J\r\n";
    const std::string second = JournalBlock("B", "Jones, K.", "U.", "1999 (2) pp 2", "K");
    for (const std::string& gap : {std::string("\n"), std::string("\n\n"), std::string("\n\r\n")}) {
        const std::string path = dir.Write("lf.ref", first + gap + second);
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        ASSERT_EQ(Ids(file), (std::vector<std::string>{"A", "B"}));
        ASSERT_TRUE(file.GoTo(0).ok());
        ASSERT_TRUE(file.DeleteCurrent().ok());
        EXPECT_EQ(Ids(file), (std::vector<std::string>{"DELETED", "B"}));
        EXPECT_TRUE(ReadBytes(path).ends_with(second));
    }
}

// A copy of the same file with its references in another order, put back with the old time
// stamp: the map of the old order must not be used, or deleting #2 would cut into other
// references.
TEST(ReferenceFileSafety, AnExchangedTextWithAnOldTimeStampIsMappedAnew) {
    const std::string r1 = JournalBlock("R1", "Aa, A.", "First.", "1990 (1) pp 1", "J");
    const std::string r2 =
        JournalBlock("R2", "Bb, B.", "A much longer second title.", "1991 (2) pp 2", "J");
    const std::string r3 = JournalBlock("R3", "Cc, C.", "Third.", "1992 (3) pp 3", "J");
    const std::string r4 = JournalBlock("R4", "Dd, D.", "Fourth.", "1993 (4) pp 4", "J");
    for (bool inPlace : {false, true}) {
        TempDir dir;
        const std::string path = dir.Write("a.ref", r1 + r2 + r3 + r4);
        {
            TReferenceFile file;
            ASSERT_TRUE(file.Open(path).ok());
        }
        if (inPlace) {
            RestoreInPlaceWithOldTime(path, r1 + r3 + r2 + r4);
        } else {
            ReplaceWithOldTime(path, r1 + r3 + r2 + r4);
        }
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        ASSERT_EQ(Ids(file), (std::vector<std::string>{"R1", "R3", "R2", "R4"})) << inPlace;
        ASSERT_TRUE(file.GoTo(1).ok());
        ASSERT_TRUE(file.DeleteCurrent().ok());
        EXPECT_EQ(ReadBytes(path), r1 + std::string(kDeletedMarker) + r2 + r4) << inPlace;
    }
}

TEST(ReferenceFileSafety, ATornOrForeignMapIsNotTrusted) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", NumberedFile(5));
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
    }
    const std::string map = ReadBytes(dir.File("a.map"));
    // Entries of the right shape that point at the wrong blocks, with a current time stamp.
    std::string shifted = map;
    shifted[6 * 2] = static_cast<char>(shifted[6 * 2] + 3);
    for (const std::string& bad : {map.substr(0, map.size() - 6), shifted}) {
        WriteBytes(dir.File("a.map"), bad);
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "Ref2", "Ref3", "Ref4", "Ref5"}));
        EXPECT_EQ(ReadBytes(dir.File("a.map")), map); // built and saved anew
    }
}

TEST(ReferenceFileSafety, TagsBelongToTheTextTheyWereSavedFor) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", NumberedFile(5));
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        ASSERT_TRUE(file.TagSequence("1-3", true, true).ok());
        ASSERT_TRUE(file.SaveTags().ok());
        // The program's own changes keep the numbers, and so the tags.
        ASSERT_TRUE(file.GoTo(4).ok());
        ASSERT_TRUE(file.DeleteCurrent().ok());
    }
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        EXPECT_EQ(file.TaggedCount(), 3);
    }
    // Another text of the same length takes the file's place: its references were never tagged.
    std::string other;
    for (int i = 1; i <= 5; ++i) {
        other += JournalBlock("Other" + std::to_string(i), "Xx, X.", "T.", "2000 (1) pp 1", "J");
    }
    const std::string tags = ReadBytes(dir.File("a.smp"));
    WriteBytes(path + ".new", other);
    std::filesystem::rename(path + ".new", path);
    WriteBytes(dir.File("a.smp"), tags); // even with the tag file restored as it was
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        EXPECT_EQ(file.TaggedCount(), 0);
        ASSERT_TRUE(file.DeleteTagged().ok());
        EXPECT_EQ(file.DeletedCount(), 0);
    }
    // A tag file that a program without stamps wrote after the text counts for that text.
    std::filesystem::remove(dir.File("a.stp"));
    WriteBytes(dir.File("a.smp"), tags);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    EXPECT_EQ(file.TaggedCount(), 3);
}

// Tags are numbers of references: saved for a text that another writer changed while this one
// waited for the file, they would mark other references (or be dropped, taking that writer's
// tags with them). Every way of saving tags refuses, leaves the other writer's tags, and succeeds
// when tried again on the text now mapped.
TEST(ReferenceFileSafety, TagsAreNotSavedForATextChangedMeanwhile) {
    const struct {
        const char* name;
        std::function<Outcome(TReferenceFile&)> save;
    } saves[] = {
        {"SaveTags",
         [](TReferenceFile& f) {
             EXPECT_TRUE(f.TagSequence("1-3", true, true).ok());
             return f.SaveTags();
         }},
        {"TagReferences", [](TReferenceFile& f) { return TagReferences(f, "1-3", true); }},
        {"ReplaceTags",
         [](TReferenceFile& f) {
             RefSet found(f.RefCount());
             for (int i : {0, 1, 2}) {
                 found.Set(i);
             }
             return ReplaceTags(f, found, *f.Reader());
         }},
    };
    for (const auto& save : saves) {
        SCOPED_TRACE(save.name);
        TempDir dir;
        const std::string path = dir.Write("a.ref", NumberedFile(5));
        InterposingFileSystem fs;
        TReferenceFile file(fs);
        ASSERT_TRUE(file.Open(path).ok());
        // The other writer tags #4 and deletes #5: the text changes, its tags are kept for it.
        fs.beforeHold = [&] {
            TReferenceFile other;
            ASSERT_TRUE(other.Open(path).ok());
            ASSERT_TRUE(other.TagSequence("4", true, true).ok());
            ASSERT_TRUE(other.SaveTags().ok());
            ASSERT_TRUE(other.GoTo(4).ok());
            ASSERT_TRUE(other.DeleteCurrent().ok());
        };
        const Outcome refused = save.save(file);
        EXPECT_EQ(refused.message(), Msg(msg::Citavox::FileChangedOutside, DisplayPath(path)));
        {
            TReferenceFile check;
            ASSERT_TRUE(check.Open(path).ok());
            EXPECT_EQ(check.TaggedCount(), 1);
            EXPECT_TRUE(check.IsTagged(3));
        }
        // The map was made anew, so a second try stores the tags for the text as it is now.
        ASSERT_TRUE(save.save(file).ok());
        TReferenceFile check;
        ASSERT_TRUE(check.Open(path).ok());
        EXPECT_EQ(check.TaggedCount(), 3);
        EXPECT_TRUE(check.IsTagged(0) && check.IsTagged(1) && check.IsTagged(2));
    }
}

// The file is exchanged after it was opened for another of the same size and modification time
// whose first two references (of the same length) changed places, as a restore or "rsync -t"
// does: every map entry still lies on a block, only the file's identity tells. Every write is
// refused before it writes, the map is made anew, and the write tried again works on the new
// text.
TEST(ReferenceFileSafety, AWriteIsRefusedWhenTheFileWasExchangedAfterOpening) {
    const std::string replacement = JournalBlock("New", "Ee, E.", "T.", "2001 (1) pp 1", "J");
    const struct {
        const char* name;
        std::function<void(TReferenceFile&)> prepare; // before the exchange
        std::function<Outcome(TReferenceFile&)> write;
    } writes[] = {
        {"DeleteCurrent", [](TReferenceFile& f) { ASSERT_TRUE(f.GoTo(0).ok()); },
         [](TReferenceFile& f) { return f.DeleteCurrent(); }},
        {"DeleteAt", [](TReferenceFile&) {},
         [](TReferenceFile& f) {
             return f.DeleteAt({0, 2});
         }},
        {"DeleteTagged", [](TReferenceFile& f) { f.TaggedSet().Set(0); },
         [](TReferenceFile& f) { return f.DeleteTagged(); }},
        {"ReplaceCurrent", [](TReferenceFile& f) { ASSERT_TRUE(f.GoTo(0).ok()); },
         [&](TReferenceFile& f) { return f.ReplaceCurrent(replacement); }},
        {"Compress", [](TReferenceFile&) {}, [](TReferenceFile& f) { return f.Compress(); }},
        {"AppendText", [](TReferenceFile&) {},
         [&](TReferenceFile& f) { return f.AppendText(replacement); }},
        {"Reprint", [](TReferenceFile&) {},
         [](TReferenceFile& f) {
             return f.RewriteReprintNumbers(true, ReprintScope::AllPresent, "RN1");
         }},
        {"WriteRawRange",
         [](TReferenceFile& f) {
             ASSERT_TRUE(f.GoTo(0).ok());
             std::string raw;
             ASSERT_TRUE(f.ReadRawRange(100000, raw).ok());
         },
         [&](TReferenceFile& f) { return f.WriteRawRange(replacement); }},
        {"SaveTags", [](TReferenceFile& f) { f.TaggedSet().Set(0); },
         [](TReferenceFile& f) { return f.SaveTags(); }},
    };
    const std::string text = NumberedFile(4);
    const std::size_t block = text.find(" Ref2");
    const std::string exchanged =
        text.substr(block, block) + text.substr(0, block) + text.substr(2 * block);
    ASSERT_EQ(exchanged.size(), text.size());
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        const std::string path = dir.Write("a.ref", text);
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        w.prepare(file);
        ReplaceWithOldTime(path, exchanged);
        const Outcome refused = w.write(file);
        EXPECT_EQ(refused.message(), Msg(msg::Citavox::FileChangedOutside, DisplayPath(path)));
        EXPECT_EQ(ReadBytes(path), exchanged);
        EXPECT_FALSE(std::filesystem::exists(dir.File("a.bak")));
        EXPECT_FALSE(std::filesystem::exists(dir.File("a.smp")));
        EXPECT_EQ(file.RefCount(), 4);
        EXPECT_EQ(file.Reader()->Stamp(), StampOf(FileSystem::Default().Stat(path)));
        w.prepare(file);
        EXPECT_TRUE(w.write(file).ok());
    }
}

// Deleting several references by number is one hold and one rewrite: a writer that gets in
// first leaves all of them undeleted, never some.
TEST(ReferenceFileSafety, DeletingSeveralReferencesIsOneWrite) {
    TempDir dir;
    InterposingFileSystem fs;
    // What deleting one reference costs: its holds (the file's, and the new text's before it takes
    // the name) and its one new text.
    int holdsForOne = 0;
    {
        const std::string one = dir.Write("one.ref", NumberedFile(6));
        TReferenceFile file(fs);
        ASSERT_TRUE(file.Open(one).ok());
        const int before = fs.holds;
        ASSERT_TRUE(DeleteReferences(file, {2}).ok());
        holdsForOne = fs.holds - before;
    }
    const std::string path = dir.Write("a.ref", NumberedFile(6));
    TReferenceFile file(fs);
    ASSERT_TRUE(file.Open(path).ok());
    ASSERT_TRUE(file.TagSequence("1,2", true, true).ok());
    const int holdsBefore = fs.holds;
    const int temporariesBefore = fs.temporaries;
    ASSERT_TRUE(DeleteReferences(file, {1, 3, 5}).ok());
    EXPECT_EQ(fs.holds - holdsBefore, holdsForOne);
    EXPECT_EQ(fs.temporaries - temporariesBefore, 1);
    EXPECT_EQ(Ids(file),
              (std::vector<std::string>{"DELETED", "Ref2", "DELETED", "Ref4", "DELETED", "Ref6"}));
    // The tag of #1 went with it, and the tag file says so.
    TReferenceFile reopened;
    ASSERT_TRUE(reopened.Open(path).ok());
    EXPECT_EQ(reopened.TaggedCount(), 1);
    EXPECT_TRUE(reopened.IsTagged(1));

    // Another writer appends while this one waits: none of the three is deleted.
    const std::string before = ReadBytes(path);
    TReferenceFile late(fs);
    ASSERT_TRUE(late.Open(path).ok());
    fs.beforeHold = [&] {
        TReferenceFile other;
        ASSERT_TRUE(other.Open(path).ok());
        ASSERT_TRUE(
            other.AppendText(JournalBlock("Added", "Ff, F.", "T.", "2002 (1) pp 1", "J")).ok());
    };
    EXPECT_EQ(DeleteReferences(late, {2, 4, 6}).message(),
              Msg(msg::Citavox::FileChangedOutside, DisplayPath(path)));
    EXPECT_TRUE(ReadBytes(path).starts_with(before));
    EXPECT_EQ(late.DeletedCount(), 3);
    EXPECT_EQ(late.RefCount(), 7);
}

TEST(ReferenceFileSafety, ASymbolicLinkStaysALinkToTheRewrittenFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("library"));
    const std::string target = dir.Write("library/refs.ref", NumberedFile(3));
    const std::string link = dir.File("mine.ref");
    std::filesystem::create_symlink(target, link);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(link).ok());
    ASSERT_TRUE(file.GoTo(1).ok());
    ASSERT_TRUE(file.DeleteCurrent().ok());
    ASSERT_TRUE(file.Compress().ok());
    ASSERT_TRUE(file.AppendText(JournalBlock("Added", "Ee, E.", "T.", "2001 (1) pp 1", "J")).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Ids(file), (std::vector<std::string>{"Ref1", "Ref3", "Added"}));
    EXPECT_TRUE(ReadBytes(target).starts_with(" Ref1"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("library/refs.bak")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("library/refs.map")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("mine.map")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("mine.bak")));
}

// A write-protected reference file is neither replaced nor appended to by an import.
TEST(ReferenceFileSafety, AnImportLeavesAWriteProtectedFileAlone) {
    TempDir dir;
    const std::string path = dir.Write("a.ref", NumberedFile(2));
    const std::string source = dir.Write("a.ris", "TY  - JOUR\nER  -\n");
    test::FaultFileSystem fs;
    fs.RefuseAllChanges();
    for (DestinationMode mode : {DestinationMode::Replace, DestinationMode::Append}) {
        ReferenceDestination destination(fs);
        EXPECT_FALSE(destination.Begin(path, source, mode, nullptr).ok());
    }
    EXPECT_EQ(ReadBytes(path), NumberedFile(2));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

} // namespace
} // namespace cvx
