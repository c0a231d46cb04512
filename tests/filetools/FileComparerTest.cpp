// Comparing a new reference file with a filter file: what counts as the same reference, the
// written results, and the filter file's key file, which is reused only while it is sound and
// current.

#include "filetools/FileComparer.h"
#include "filetools/ComparisonKeys.h"
#include "refstore/ReferenceMap.h"
#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kBroken = " Broken\r\n Nobody, N.\r\n Only a title\r\n\r\n";

std::string FilterText() {
    return JournalBlock("F1", "Smith, J.", "Cell walls of #Iplants#I.", "2001 (10) pp 5-9",
                        "Nature") +
           JournalBlock("F2", "Adams, K.", "Second title.", "1999 (3) pp 1-2", "Science") +
           JournalBlock("F3", "Other, O.", "Same keys, other title.", "2003 (4) pp 7", "Cell");
}

// N1 and N2 are in the filter file (markup, letter case and a shortened title do not count); N3
// shares the keys of F3 but not its title; N4 has no keys; N5 cannot be parsed; one is deleted.
std::string NewText() {
    return JournalBlock("N1", "Smith, J.", "CELL WALLS OF PLANTS.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("N2", "Adams, K.", "Second", "1999 (3) pp 1-12", "Science") +
           JournalBlock("N3", "Other, O.", "A different paper.", "2003 (4) pp 7", "Cell") +
           JournalBlock("N4", "Nokeys, N.", "Second title.", "in press", "Science") + kBroken +
           std::string(kDeletedMarker);
}

struct Files {
    TempDir dir;
    std::string filter = dir.Write("filter.ref", FilterText());
    std::string fresh = dir.Write("new.ref", NewText());
};

CompareReport Compare(const Files& f, Progress& progress) {
    return CompareFiles(FileSystem::Default(), f.filter, f.fresh, CompareOptions{}, progress);
}

TEST(FileComparer, FindsCommonReferencesAndWritesBothSelections) {
    Files f;
    Progress progress;
    const CompareReport r = Compare(f, progress);
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_EQ(r.commonCount, 2);
    EXPECT_EQ(r.uniqueCount, 3);
    EXPECT_TRUE(r.common.Test(0));
    EXPECT_TRUE(r.common.Test(1));
    EXPECT_EQ(r.unparsed, std::vector<int>{5});

    int written = 0;
    ASSERT_TRUE(WriteCompareResult(FileSystem::Default(), r, CompareSelection::Common,
                                   f.dir.File("common.ref"), false, progress, written)
                    .ok());
    EXPECT_EQ(written, 2);
    const std::string common = ReadBytes(f.dir.File("common.ref"));
    EXPECT_EQ(common, NewText().substr(0, common.size()));

    ASSERT_TRUE(WriteCompareResult(FileSystem::Default(), r, CompareSelection::Unique,
                                   f.dir.File("unique.ref"), false, progress, written)
                    .ok());
    EXPECT_EQ(written, 3);
    const std::string unique = ReadBytes(f.dir.File("unique.ref"));
    EXPECT_NE(unique.find(" N3\r\n"), std::string::npos);
    EXPECT_NE(unique.find(kBroken), std::string::npos) << "an unparsed reference is carried over";
    EXPECT_EQ(unique.find("DELETED"), std::string::npos);

    // Appending puts the references after what the file holds, each block kept apart.
    WriteBytes(f.dir.File("more.ref"), JournalBlock("M", "M, M.", "T.", "1990 (1) pp 1", "J"));
    ASSERT_TRUE(WriteCompareResult(FileSystem::Default(), r, CompareSelection::Common,
                                   f.dir.File("more.ref"), true, progress, written)
                    .ok());
    EXPECT_EQ(ReadBytes(f.dir.File("more.ref")),
              JournalBlock("M", "M, M.", "T.", "1990 (1) pp 1", "J") + common);

    // The new file itself is never a destination.
    EXPECT_FALSE(WriteCompareResult(FileSystem::Default(), r, CompareSelection::Unique, f.fresh,
                                    false, progress, written)
                     .ok());
    EXPECT_EQ(ReadBytes(f.fresh), NewText());
}

TEST(FileComparer, KeyFileIsReusedOnlyWhileSoundAndCurrent) {
    Files f;
    Progress progress;
    const std::string keyFile = f.dir.File("filter.yvp");
    const CompareReport built = Compare(f, progress);
    ASSERT_TRUE(built.outcome.ok());
    EXPECT_FALSE(built.keyFileReused);
    ASSERT_TRUE(std::filesystem::exists(keyFile));
    const std::string image = ReadBytes(keyFile);
    EXPECT_TRUE(Compare(f, progress).keyFileReused);

    // A damaged, truncated or foreign key file is built again, and the result stays the same.
    std::string swapped = image;
    std::swap_ranges(swapped.begin() + 2, swapped.begin() + 14, swapped.begin() + 16);
    const std::string damaged[] = {image.substr(0, image.size() - 3),
                                   std::string(image.size(), '\xff'), swapped, ""};
    for (const std::string& bad : damaged) {
        WriteBytes(keyFile, bad);
        const CompareReport again = Compare(f, progress);
        ASSERT_TRUE(again.outcome.ok());
        EXPECT_FALSE(again.keyFileReused) << bad.size();
        EXPECT_EQ(again.commonCount, built.commonCount);
        EXPECT_EQ(ReadBytes(keyFile), image) << "the key file was stored again";
    }

    // A filter file changed to a text of the same size, with the key file kept newer than it.
    std::string changed = FilterText();
    changed.replace(changed.find("2001"), 4, "2002");
    WriteBytes(f.filter, changed);
    std::filesystem::last_write_time(keyFile, std::filesystem::last_write_time(f.filter) +
                                                  std::chrono::seconds(5));
    const CompareReport stale = Compare(f, progress);
    ASSERT_TRUE(stale.outcome.ok());
    EXPECT_FALSE(stale.keyFileReused);
    EXPECT_EQ(stale.commonCount, 1) << "N1 no longer matches";
}

// A filter file exchanged for another text of the same size with an older date, the reference
// that differs where no sample of a few references would look: only the stamp can tell that the
// key file describes the text that was there before. A key file without a stamp (another program's)
// or with a damaged stamp file is built again too.
TEST(FileComparer, KeyFileIsTiedToTheTextItWasMadeFor) {
    TempDir dir;
    const std::string before = test::NumberedFile(200);
    std::string after = before;
    const std::size_t at = after.find(" Ref2\r\n");
    ASSERT_NE(at, std::string::npos);
    const std::size_t volume = after.find("(2)", at);
    after.replace(volume, 3, "(7)");
    ASSERT_EQ(after.size(), before.size());
    const std::string filter = dir.Write("filter.ref", before);
    // The new file holds reference 2 as the exchanged filter file has it.
    const std::size_t end = after.find("\r\n\r\n", at) + 4;
    const std::string fresh = dir.Write("new.ref", after.substr(at, end - at));
    Progress progress;
    auto compare = [&] {
        return CompareFiles(FileSystem::Default(), filter, fresh, CompareOptions{}, progress);
    };
    CompareReport r = compare();
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_EQ(r.commonCount, 0);
    ASSERT_TRUE(compare().keyFileReused);
    const std::string keyFile = dir.File("filter.yvp");
    EXPECT_EQ(ReadBytes(keyFile).size(), 200U * 14U) << "the key file keeps its layout";

    const auto date = std::filesystem::last_write_time(filter);
    const std::string swapped = dir.Write("swapped.tmp", after);
    std::filesystem::last_write_time(swapped, date - std::chrono::hours(1));
    std::filesystem::rename(swapped, filter);
    r = compare();
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_FALSE(r.keyFileReused);
    EXPECT_EQ(r.commonCount, 1);
    EXPECT_TRUE(compare().keyFileReused) << "stored again for the text now there";

    const std::string stampFile = dir.File("filter.stp");
    const std::string stamps = ReadBytes(stampFile);
    const std::string badStamps[] = {"", stamps.substr(0, stamps.size() - 1),
                                     std::string(stamps.size(), '\0')};
    for (const std::string& bad : badStamps) {
        if (bad.empty()) {
            std::filesystem::remove(stampFile);
        } else {
            WriteBytes(stampFile, bad);
        }
        r = compare();
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
        EXPECT_FALSE(r.keyFileReused) << bad.size();
        EXPECT_EQ(r.commonCount, 1);
    }
}

// A Progress that changes the filter file in place, keeping its size and the shape of its blocks,
// each time a pass over the new file begins.
class ChangingFilter final : public Progress {
public:
    ChangingFilter(std::string path, std::vector<std::pair<std::string, std::string>> changes)
        : path_(std::move(path)), changes_(std::move(changes)) {}

    void SetStatus(std::string_view text) override {
        if (text != Message(msg::VoxComp::ReadingNewFile) || next_ >= changes_.size()) {
            return;
        }
        std::string bytes = ReadBytes(path_);
        const auto& [from, to] = changes_[next_++];
        const std::size_t at = bytes.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(at));
        file.write(to.data(), static_cast<std::streamsize>(to.size()));
    }

private:
    std::string path_;
    std::vector<std::pair<std::string, std::string>> changes_;
    std::size_t next_ = 0;
};

// The filter file changed in place while the new file was compared: the keys are built again and
// the comparison repeated; when it changes again during the repetition the job fails and says so,
// rather than report counts it never made.
TEST(FileComparer, FilterChangingDuringTheComparisonFailsTheJob) {
    {
        Files f;
        ChangingFilter progress(f.filter, {{"1999 (3)", "1998 (3)"}});
        const CompareReport r = Compare(f, progress);
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
        EXPECT_EQ(r.commonCount, 1) << "N2 no longer matches";
        EXPECT_EQ(r.uniqueCount, 4);
    }
    Files f;
    ChangingFilter progress(f.filter, {{"1999 (3)", "1998 (3)"}, {"2001 (10)", "2002 (10)"}});
    const CompareReport r = Compare(f, progress);
    ASSERT_FALSE(r.outcome.ok());
    EXPECT_FALSE(r.outcome.aborted());
    EXPECT_EQ(r.outcome.message(), Msg(msg::Citavox::FileChangedDuringJob, DisplayPath(f.filter)));
    int written = 0;
    EXPECT_FALSE(WriteCompareResult(FileSystem::Default(), r, CompareSelection::Unique,
                                    f.dir.File("unique.ref"), false, progress, written)
                     .ok());
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("unique.ref")));
}

TEST(ComparisonKeys, ImagesRoundTripAndRefuseWhatCannotBeTheirs) {
    std::vector<ComparisonKey> keys = {{2, 1999, 3, 1}, {0, 2001, 10, 5}, {1, 2001, 10, 7}};
    const std::string image = KeyFileImage(keys);
    EXPECT_EQ(image.size(), 3U * 14U);
    std::vector<ComparisonKey> back;
    ASSERT_TRUE(KeysFromImage(image, 3, back));
    ASSERT_EQ(back.size(), 3U);
    EXPECT_EQ(back[1].reference, 0U);
    EXPECT_EQ(back[2].pageFirst, 7);
    EXPECT_FALSE(KeysFromImage(image, 4, back)) << "another count";
    EXPECT_FALSE(KeysFromImage(image.substr(0, 40), 3, back)) << "truncated";
    std::vector<ComparisonKey> unsorted = {keys[1], keys[0], keys[2]};
    EXPECT_FALSE(KeysFromImage(KeyFileImage(unsorted), 3, back)) << "out of order";
    std::vector<ComparisonKey> twice = {keys[0], {2, 2001, 10, 5}, keys[2]};
    EXPECT_FALSE(KeysFromImage(KeyFileImage(twice), 3, back)) << "a reference twice";
}

TEST(FileComparer, AbortStopsTheComparison) {
    Files f;
    Progress progress;
    progress.RequestAbort();
    const CompareReport r = Compare(f, progress);
    EXPECT_FALSE(r.outcome.ok());
    int written = 0;
    EXPECT_FALSE(WriteCompareResult(FileSystem::Default(), r, CompareSelection::Common,
                                    f.dir.File("c.ref"), false, progress, written)
                     .ok());
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("c.ref")));
}

} // namespace
} // namespace cvx
