// The word index: its encodings, its build (runs merged on disk, a failed or aborted build
// leaving the previous index), its state against the reference text it was built from, and the
// indexed search with prefixes, whole-word list items, year ranges and its refusals.

#include "search/WordIndex.h"
#include "SearchFixture.h"
#include "refstore/RefSet.h"
#include "refstore/ReferenceFile.h"
#include "search/IndexState.h"
#include "search/IndexedSearch.h"
#include "search/TCreateIDXFile.h"
#include "search/WordIndexBuilder.h"
#include "search/YearRange.h"
#include "support/FaultFileSystem.h"
#include "support/FileBytes.h"
#include "support/ForwardingFileSystem.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"
#include "text/Progress.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <variant>

namespace cvx {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Refs = std::vector<int>;

TEST(WordIndexFormatTest, WordEntriesCarryTheirNumberInPayloadBitsAndBase80) {
    std::string list;
    AppendWordEntry(list, "AB", 5);     // 5 = 1 + 4 * 1: "A" carries 1, "B" carries 1, then 0
    AppendWordEntry(list, "C", 4 * 81); // "C" carries 0, then 81 = 1 + 1 * 80
    AppendClosingEntry(list, 301);      // 80 + 1, then 75, then the end mark
    const std::string expected = {'\x99', '\x9d', '\x00', '\xa0', '\x01',
                                  '\x01', '\x51', '\x4b', '\x50'};
    EXPECT_EQ(list, expected);
}

TEST(WordIndexFormatTest, ReferenceDataIsAListOrABitSetWhicheverIsShorter) {
    const struct {
        std::vector<std::uint32_t> numbers;
        std::uint32_t count;
        std::string data;
    } cases[] = {
        {{0, 2, 3}, 1000, "\xFF\xFE\xFF"},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8}, 16, "\xFF\x01"}, // nine list bytes against two set bytes
        {{700}, 1000, std::string("\x02\xBD", 2)},     // 701 does not fit one byte: high, low
        {{}, 100, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeReferenceData(c.numbers, c.count), c.data);
        std::vector<std::uint32_t> back;
        ASSERT_TRUE(DecodeReferenceData(c.data, c.count, back));
        EXPECT_EQ(back, c.numbers);
    }
    // Large files: the threshold grows past 100, and high bytes above 99 add steps of 65536.
    for (const std::uint32_t count : {70000u, 3000000u, 30000000u}) {
        const std::vector<std::uint32_t> numbers = {1, 300, count / 4, count / 2, count - 1};
        std::vector<std::uint32_t> back;
        ASSERT_TRUE(DecodeReferenceData(EncodeReferenceData(numbers, count), count, back)) << count;
        EXPECT_EQ(back, numbers) << count;
    }
    std::vector<std::uint32_t> back;
    EXPECT_FALSE(DecodeReferenceData(std::string("\x02", 1), 1000, back)) << "a cut difference";
    EXPECT_FALSE(DecodeReferenceData(std::string("\x03\xFF", 2), 1000, back)) << "beyond the file";
}

TEST(YearRangeTest, RangesAndTheirPrefixes) {
    const struct {
        std::string_view text;
        int first, last; // 0: no range
    } cases[] = {
        {"1985-1990", 1985, 1990}, {"1985-90", 1985, 1990},  {"1985-7", 1985, 1987},
        {"1995-02", 1995, 2002},   {" 1990 - ", 1990, 2099}, {"-1990", 1000, 1990},
        {"<1990", 1000, 1989},     {">1990", 1991, 2099},    {"1990", 0, 0},
        {"1990-1985", 0, 0},       {"890-1990", 0, 0},       {"1990-2100", 0, 0},
        {"1985-1990-1995", 0, 0},  {"19a5-1990", 0, 0},      {"<", 0, 0},
    };
    for (const auto& c : cases) {
        YearRange range;
        const bool parsed = ParseYearRange(c.text, range);
        EXPECT_EQ(parsed, c.first != 0) << c.text;
        if (parsed) {
            EXPECT_EQ(range.first, c.first) << c.text;
            EXPECT_EQ(range.last, c.last) << c.text;
        }
    }
    EXPECT_EQ(YearPrefixes(1985, 1990),
              (std::vector<std::string>{"1985", "1986", "1987", "1988", "1989", "1990"}));
    EXPECT_EQ(YearPrefixes(1990, 2009), (std::vector<std::string>{"199", "200"}));
    EXPECT_EQ(YearPrefixes(1000, 2099), (std::vector<std::string>{"1", "20"}));
}

class WordIndexTest : public ::testing::Test {
protected:
    std::string Write(const std::string& text) { return dir_.Write("refs.ref", text); }

    Outcome Build(const std::string& path, std::uint32_t mask, IndexBuildOptions options = {},
                  IndexBuildReport* report = nullptr, FileSystem& fs = FileSystem::Default()) {
        return CreateWordIndex(fs, path, mask, nullptr, options, report);
    }

    // The references (1-based) an indexed search tags; the failure's message otherwise.
    std::variant<Refs, std::string> Indexed(const std::string& path, std::string_view expression,
                                            const Thesaurus& thesaurus = {}) {
        TReferenceFile file;
        EXPECT_TRUE(file.Open(path).ok());
        SearchResult result;
        if (Outcome r =
                IndexedSearch(file, expression, SearchMode::Tag, thesaurus, nullptr, result);
            !r) {
            EXPECT_EQ(file.TaggedCount(), 0);
            return r.message();
        }
        Refs refs;
        for (const int i : result.matches) {
            refs.push_back(i + 1);
        }
        return refs;
    }

    int State(const std::string& path, std::uint32_t fields = 0) {
        TReferenceFile file;
        EXPECT_TRUE(file.Open(path).ok());
        return IndexState(file, fields);
    }

    test::TempDir dir_;
};

TEST_F(WordIndexTest, TheFileHoldsTheHeaderSectionsAndSortedWordLists) {
    const std::string path = Write(test::GeneratedFile(40));
    IndexBuildReport report;
    ASSERT_TRUE(Build(path, kIndexableMask, {}, &report).ok());
    EXPECT_EQ(report.references, 40u);
    const std::string bytes = ReadBytes(dir_.File("refs.idx"));
    ASSERT_GT(bytes.size(), kIndexHeaderSize);
    EXPECT_EQ(bytes.substr(0, 4), "IDX6");
    WordIndex index;
    ASSERT_EQ(index.OpenBytes(bytes), IndexOpening::Opened);
    const IndexHeader& h = index.Header();
    EXPECT_EQ(h.fileSize, bytes.size());
    EXPECT_EQ(h.referenceCount, 40u);
    EXPECT_EQ(h.distinctWords, report.distinctWords);
    EXPECT_EQ(h.fieldMask, 0x1FFF0u & ~(1u << kYearLineField));
    EXPECT_EQ(h.Section(4).wordStart, kIndexHeaderSize);
    EXPECT_EQ(static_cast<unsigned char>(bytes[kIndexHeaderSize]), 0u);
    std::vector<std::string> authors;
    ASSERT_TRUE(
        index.ForEachWord(5, [&](std::string_view word, const std::vector<std::uint32_t>& refs) {
            authors.emplace_back(word);
            EXPECT_FALSE(refs.empty());
        }));
    EXPECT_TRUE(std::is_sorted(authors.begin(), authors.end()));
    EXPECT_NE(std::find(authors.begin(), authors.end(), "MULLER"), authors.end());
    EXPECT_NE(std::find(authors.begin(), authors.end(), "OSTERGAARD"), authors.end());
    // The key file: one record per reference in year, volume, page order.
    const std::string keys = ReadBytes(dir_.File("refs..yvp"));
    ASSERT_EQ(keys.size(), 400u);
    std::uint64_t previous = 0;
    for (std::size_t at = 0; at < keys.size(); at += 10) {
        const auto u16 = [&](std::size_t o) {
            return static_cast<std::uint64_t>(static_cast<unsigned char>(keys[at + o]) |
                                              static_cast<unsigned char>(keys[at + o + 1]) << 8);
        };
        const std::uint64_t key = u16(4) << 32 | u16(6) << 16 | u16(8);
        EXPECT_GE(key, previous);
        EXPECT_GE(u16(4), 1980u);
        previous = key;
    }
}

TEST_F(WordIndexTest, RunsMergedOnDiskGiveTheSameIndex) {
    const std::string path = Write(test::GeneratedFile(600));
    IndexBuildReport inMemory;
    ASSERT_TRUE(Build(path, kIndexableMask, {}, &inMemory).ok());
    EXPECT_EQ(inMemory.runs, 0);
    const std::string whole = ReadBytes(dir_.File("refs.idx"));
    const std::string keys = ReadBytes(dir_.File("refs..yvp"));
    IndexBuildReport merged;
    ASSERT_TRUE(Build(path, kIndexableMask, {.memoryLimit = 4096}, &merged).ok());
    EXPECT_GT(merged.runs, 3);
    EXPECT_EQ(ReadBytes(dir_.File("refs.idx")), whole);
    EXPECT_EQ(ReadBytes(dir_.File("refs..yvp")), keys);
    // No temporary is left beside the file.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
        EXPECT_EQ(entry.path().filename().string().find('~'), std::string::npos) << entry.path();
    }
}

TEST_F(WordIndexTest, StateFollowsTheTextTheIndexWasBuiltFrom) {
    const std::string path = Write(test::GeneratedFile(30));
    EXPECT_EQ(State(path), 0) << "no index";
    ASSERT_TRUE(Build(path, kDefaultIndexMask).ok());
    EXPECT_EQ(State(path), 1);
    EXPECT_EQ(State(path, 1u << 5), 1);
    EXPECT_EQ(State(path, 1u << 6), 0) << "the title was not indexed";
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        ASSERT_TRUE(
            file.AppendText(test::JournalBlock("New", "Smith, Z.", "Heart.", "2020", "Lancet"))
                .ok());
    }
    EXPECT_EQ(State(path), 2) << "references appended since";
    EXPECT_EQ(std::get<Refs>(Indexed(path, "AU(smith, z)")), Refs{});
    // The same size, another text: the index no longer belongs to it.
    std::string text = ReadBytes(path);
    text.replace(text.find("Smith"), 5, "Smyth");
    WriteBytes(path, text);
    EXPECT_EQ(State(path), 0);
    EXPECT_NE(std::get<std::string>(Indexed(path, "smith")).find("out of date"), std::string::npos);
}

// Counts the bytes read from reference texts, and reports every file's last change a minute
// before it happened, as for a text that grew a while ago.
class CountingFileSystem : public test::ForwardingFileSystem {
public:
    FileInfo Stat(const std::string& path) override { return Earlier(disk_.Stat(path)); }
    std::unique_ptr<ReadableFile> OpenForRead(const std::string& path, Outcome& result) override {
        std::unique_ptr<ReadableFile> file = disk_.OpenForRead(path, result);
        if (file == nullptr || !path.ends_with(".ref")) {
            return file;
        }
        return std::make_unique<Counted>(std::move(file), textBytes);
    }

    std::uint64_t textBytes = 0;

private:
    static FileInfo Earlier(FileInfo info) {
        constexpr std::int64_t kMinuteNs = 60'000'000'000;
        info.modifiedNs -= kMinuteNs;
        info.changedNs -= kMinuteNs;
        return info;
    }

    class Counted : public ReadableFile {
    public:
        Counted(std::unique_ptr<ReadableFile> file, std::uint64_t& count)
            : file_(std::move(file)), count_(count) {}
        Outcome ReadAt(std::uint64_t offset, char* dst, std::size_t n, std::size_t& got) override {
            Outcome r = file_->ReadAt(offset, dst, n, got);
            count_ += got;
            return r;
        }
        FileInfo Info() override { return Earlier(file_->Info()); }

    private:
        std::unique_ptr<ReadableFile> file_;
        std::uint64_t& count_;
    };
};

TEST_F(WordIndexTest, ATextOnceVerifiedIsNotReadAgainUntilItChanges) {
    const std::string path = Write(test::GeneratedFile(200));
    ASSERT_TRUE(Build(path, kDefaultIndexMask).ok());
    const std::uint64_t indexed = std::filesystem::file_size(path);
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(path).ok());
        ASSERT_TRUE(
            file.AppendText(test::JournalBlock("New", "Smith, Z.", "Heart.", "2020", "Lancet"))
                .ok());
    }
    CountingFileSystem fs;
    TReferenceFile file(fs);
    ASSERT_TRUE(file.Open(path).ok());
    const auto search = [&] {
        SearchResult result;
        return IndexedSearch(file, "smith", SearchMode::Tag, {}, nullptr, result, fs);
    };
    // The text grew since the build: the first search reads what the index was built from.
    fs.textBytes = 0;
    ASSERT_TRUE(search().ok());
    EXPECT_GE(fs.textBytes, indexed);
    fs.textBytes = 0;
    ASSERT_TRUE(search().ok());
    EXPECT_EQ(fs.textBytes, 0u) << "the same version of the text was verified before";
    EXPECT_EQ(IndexState(file, 0, fs), 2);
    EXPECT_EQ(fs.textBytes, 0u);
    // The same size, another text: the change is noticed although the old text was verified.
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // past the last write's tick
    std::string text = ReadBytes(path);
    text.replace(text.find("Smith"), 5, "Smyth");
    WriteBytes(path, text);
    ASSERT_TRUE(file.Refresh().ok());
    const Outcome r = search();
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.message().find("out of date"), std::string::npos) << r.message();
}

TEST_F(WordIndexTest, DamagedTruncatedAndForeignIndexesAreNeverUsed) {
    const std::string path = Write(test::GeneratedFile(50));
    ASSERT_TRUE(Build(path, kIndexableMask).ok());
    const std::string good = ReadBytes(dir_.File("refs.idx"));
    // Every cut leaves an index whose size no longer fits its header.
    for (std::size_t size = 0; size < good.size(); size += 1 + size / 8) {
        WriteBytes(dir_.File("refs.idx"), good.substr(0, size));
        EXPECT_EQ(State(path), 0) << size;
    }
    std::string foreign = good;
    foreign[3] = '5';
    WriteBytes(dir_.File("refs.idx"), foreign);
    EXPECT_EQ(State(path), 0);
    WriteBytes(dir_.File("refs.idx"), std::string(4096, '\0'));
    EXPECT_EQ(State(path), 0);
    // Damage inside the word lists or the data gives a result or a message, never a crash.
    for (std::size_t at = kIndexHeaderSize; at < good.size(); at += 7) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
        WriteBytes(dir_.File("refs.idx"), damaged);
        (void)Indexed(path, "AU(smith) OR card OR YVP(1990-2000) OR ANY(gene, breast)");
    }
}

TEST_F(WordIndexTest, AFailedBuildLeavesThePreviousIndex) {
    const std::string path = Write(test::GeneratedFile(120));
    ASSERT_TRUE(Build(path, kIndexableMask).ok());
    const std::string complete = ReadBytes(dir_.File("refs.idx"));
    ASSERT_TRUE(Build(path, 1u << 5).ok());
    const std::string previous = ReadBytes(dir_.File("refs.idx"));
    // Failing at every step in turn (a write cut in half, then nothing more reaches the disk):
    // the index is the previous one until the build succeeds, and then the complete one.
    bool finished = false;
    for (int step = 1; step < 5000 && !finished; ++step) {
        test::FaultFileSystem fs(step);
        const Outcome r = Build(path, kIndexableMask, {.memoryLimit = 8192}, nullptr, fs);
        finished = !fs.Crashed();
        const std::string now = ReadBytes(dir_.File("refs.idx"));
        if (r.ok()) {
            EXPECT_EQ(now, complete) << "after step " << step;
        } else {
            EXPECT_FALSE(finished);
            EXPECT_TRUE(now == previous || now == complete) << "torn index after step " << step;
        }
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(ReadBytes(dir_.File("refs.idx")), complete);
}

// Asks for an abort as soon as the build reports progress.
class AbortingProgress : public Progress {
public:
    void SetProgress(int permille) override {
        if (permille > 0) {
            RequestAbort();
        }
    }
};

TEST_F(WordIndexTest, TheBuildThreadReportsAndCanBeAborted) {
    const std::string path = Write(test::GeneratedFile(5000));
    Progress progress;
    {
        TCreateIDXFile build(path, kDefaultIndexMask, progress);
        build.Start();
        ASSERT_TRUE(build.Wait().ok());
        EXPECT_TRUE(build.Finished());
        EXPECT_EQ(build.Report().references, 5000u);
    }
    const std::string before = ReadBytes(dir_.File("refs.idx"));
    AbortingProgress aborting;
    TCreateIDXFile build(path, kIndexableMask, aborting);
    build.Start();
    const Outcome r = build.Wait();
    EXPECT_TRUE(r.aborted());
    EXPECT_EQ(ReadBytes(dir_.File("refs.idx")), before);
}

TEST_F(WordIndexTest, IndexedSearchAnswersFromTheWordLists) {
    const std::string path = dir_.Write(
        "refs.ref",
        test::JournalBlock("A1", "Smith, J.", "Cardiac and cardiology.", "1985 (3(1)) pp 10-19",
                           "Lancet") +
            test::JournalBlock("A2", "Jones, K.", "Endocardium.", "1990 (4) pp 1-2", "Nature") +
            test::ChapterBlock("A3", "Smithson, P.", "Hearts.", "2003 pp 5", "Handbook",
                               "Editor, E.", "Springer (Berlin)") +
            test::JournalBlock("A4", "Brown, A.", "Tumour.", "1979 (1) pp 3", "Lancet",
                               "About a neoplasm."));
    ASSERT_TRUE(Build(path, kIndexableMask).ok());
    const struct {
        std::string_view expression;
        Refs refs;
    } cases[] = {
        {"card", {1}}, // a prefix of words: endocardium is not found
        {"smith", {1, 3}},
        {"AU(smith)", {1, 3}},
        {"ANY(smith)", {1}}, // list items are whole words
        {"ALL(cardiac, lancet)", {1}},
        {"NONE(lancet)", {2, 3}},
        {"YVP(1985-1990)", {1, 2}},
        {">1989", {2, 3}},
        {"YVP(<1985)", {4}},
        {"PU(springer) OR CI(lancet)", {3}},
        {"smith|@lancet", {1}},
        {"NOT(AU(smith)) AND lancet", {4}},
    };
    for (const auto& c : cases) {
        const auto result = Indexed(path, c.expression);
        ASSERT_TRUE(std::holds_alternative<Refs>(result))
            << c.expression << ": " << std::get<std::string>(result);
        EXPECT_EQ(std::get<Refs>(result), c.refs) << c.expression;
    }
    Thesaurus thesaurus;
    thesaurus.Add("tumour", {"neoplasm", "cancer"});
    EXPECT_EQ(std::get<Refs>(Indexed(path, "ANY(Tumour)", thesaurus)), Refs{4});
    EXPECT_EQ(std::get<std::string>(Indexed(path, "NEAR(a, b)")),
              Message(msg::RefWin::NearNotIndexed));
}

TEST_F(WordIndexTest, AFieldThatWasNotIndexedFailsTheSearch) {
    const std::string path = Write(test::GeneratedFile(20));
    ASSERT_TRUE(Build(path, 1u << 6).ok()); // titles only
    TReferenceFile file;
    ASSERT_TRUE(file.Open(path).ok());
    file.TaggedSet().Set(3);
    SearchResult result;
    const Outcome r = IndexedSearch(file, "AU(smith)", SearchMode::Locate, {}, nullptr, result);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.message().find("AU()"), std::string::npos);
    EXPECT_EQ(file.TaggedCount(), 0);
    // Plain terms look in every indexed field when the free text was not indexed.
    EXPECT_FALSE(std::get<Refs>(Indexed(path, "heart")).empty());
}

} // namespace
} // namespace cvx
