#include "ImportRun.h"
#include "refstore/ReferenceFile.h"
#include "support/ReferenceText.h"
#include "support/SharedSamples.h"
#include "text/Catalogue.h"
#include "vorodud/SourceDetection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

namespace cvx {
namespace {

using vorodud::ResultCode;
using vorodud::Vorodud;

const std::string kMedline = test::SamplePath("medline/rayyan-plugins_example1.nbib");

TEST(DriverTest, SuppliersDatabasesAndTypesAgree) {
    const Vorodud driver;
    ASSERT_GT(driver.SupplierCount(), 0);
    ASSERT_GT(driver.DatabaseCount(), 0);
    EXPECT_EQ(driver.SupplierName(driver.SupplierCount()), "");
    for (int type = 1; type < 100; ++type) {
        if (!driver.TypeUsable(type)) {
            continue;
        }
        const std::string supplier = driver.TypeText(type, 1);
        const std::string database = driver.TypeText(type, 2);
        EXPECT_EQ(driver.TypeOf(supplier, database), type);
        EXPECT_EQ(driver.TypeName(type), supplier + ": " + database);
        EXPECT_EQ(driver.TypeByKey(driver.TypeKey(type)), type);
        // The type's database is among those its supplier offers, and the other way round.
        bool offered = false;
        for (int i = 0; driver.TypeSupplierDatabaseIndex(type, i) <= 98; ++i) {
            offered = offered || driver.TypeSupplierDatabase(type, i) == database;
        }
        EXPECT_TRUE(offered) << type;
        bool supplied = false;
        for (int i = 0; driver.TypeDatabaseSupplierIndex(type, i) <= 98; ++i) {
            supplied = supplied || driver.TypeDatabaseSupplier(type, i) == supplier;
        }
        EXPECT_TRUE(supplied) << type;
    }
    EXPECT_TRUE(driver.TypeUsable(17));
    EXPECT_EQ(driver.TypeOf("nobody", "nothing"), 0);
    EXPECT_EQ(driver.SupplierDatabaseIndex(0, 1000), 99);
    EXPECT_EQ(driver.DatabaseSupplierIndex(-1, 0), 99);
}

TEST(DriverTest, InitialiseAndMessages) {
    Vorodud driver;
    int type = 21;
    EXPECT_TRUE(driver.Initialise(type));
    int none = 0;
    EXPECT_FALSE(driver.Initialise(none));
    std::string text;
    EXPECT_EQ(driver.LastResult(text), ResultCode::ConversionUnavailable);
    EXPECT_NE(Vorodud::MessageText(20).find("%s1"), std::string::npos);
    EXPECT_NE(Vorodud::MessageText(20).find("%s2"), std::string::npos);
    EXPECT_FALSE(Vorodud::MessageText(13).empty());
}

TEST(DriverTest, SourceThatCannotBeReadLeavesTheDestinationAlone) {
    test::Importer importer;
    const std::string out = importer.dir.File("keep.ref");
    test::WriteBytes(out, test::NumberedFile(2));
    const test::ImportResult r = importer.Run(21, importer.dir.File("missing.nbib"), out);
    EXPECT_EQ(r.code, ResultCode::SourceNotAccessible);
    EXPECT_EQ(r.output, test::NumberedFile(2));
    EXPECT_EQ(r.counters.written, 0);
}

TEST(DriverTest, UnwritableDestinationAndFullDisk) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    test::Importer importer;
    test::ImportResult r = importer.Run(21, kMedline, importer.dir.File("no-dir/out.ref"));
    EXPECT_EQ(r.code, ResultCode::WriteError);
    if (std::filesystem::exists("/dev/full")) {
        r = importer.Run(21, kMedline, "/dev/full", DestinationMode::Append, nullptr, false);
        EXPECT_EQ(r.code, ResultCode::WriteError);
        EXPECT_EQ(r.counters.written, 0);
    }
}

class RecordingProgress final : public Progress {
public:
    void SetStatus(std::string_view text) override { status = std::string(text); }
    void SetProgress(int permille) override {
        if (permille == kMaximum) {
            sawMaximum = true;
        }
        if (abortAfterFirst && permille > 0) {
            RequestAbort();
        }
    }
    std::string status;
    bool sawMaximum = false;
    bool abortAfterFirst = false;
};

TEST(DriverTest, ProgressCompletionAndAbort) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    test::Importer importer;
    RecordingProgress progress;
    Vorodud driver(importer.settings);
    std::atomic<int> completions{0};
    auto thread = driver.StartConversion(21, kMedline, importer.dir.File("a.ref"),
                                         DestinationMode::New, progress, [&] { ++completions; });
    thread->Resume();
    thread->Wait();
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(progress.sawMaximum);
    EXPECT_EQ(progress.status, "10 references written, 0 dumped.");

    RecordingProgress aborting;
    aborting.abortAfterFirst = true;
    const test::ImportResult r =
        importer.Run(21, kMedline, importer.dir.File("b.ref"), DestinationMode::New, &aborting);
    EXPECT_EQ(r.code, ResultCode::Aborted);
    EXPECT_EQ(r.counters.written, 1);
    EXPECT_EQ(test::ReferenceBlocks(r.output).size(), 1u);
}

// References already in the destination stay as they were; the reference file opens with all
// of them, its map rebuilt because the text is newer.
TEST(DriverTest, AppendingKeepsTheDestinationAndItsMapIsRebuilt) {
    CITAVOX_SKIP_WITHOUT_SAMPLES();
    test::Importer importer;
    const std::string out = importer.dir.File("refs.ref");
    const std::string old = test::NumberedFile(3);
    test::WriteBytes(out, old);
    {
        TReferenceFile file;
        ASSERT_TRUE(file.Open(out).ok());
        EXPECT_EQ(file.RefCount(), 3);
    }
    const test::ImportResult r = importer.Run(21, kMedline, out, DestinationMode::Append);
    ASSERT_EQ(r.code, ResultCode::Done);
    EXPECT_EQ(r.output.substr(0, old.size()), old);
    TReferenceFile file;
    ASSERT_TRUE(file.Open(out).ok());
    EXPECT_EQ(file.RefCount(), 13);
}

TEST(DriverTest, DumpedReferencesGoToTheDefaultDumpFile) {
    test::TempDir home;
    vorodud::ImportSettings settings;
    settings.dumpDirectory = home.File("dumps");
    EXPECT_EQ(vorodud::ErrorDumpFile(settings), home.File("dumps/import-errors.dmp"));
    settings.errorDumpFile = home.File("mine.dmp");
    EXPECT_EQ(vorodud::ErrorDumpFile(settings), home.File("mine.dmp"));
    // The dumps folder comes from the settings (their default included); the driver has none.
    EXPECT_EQ(vorodud::ErrorDumpFile({}), "");

    test::Importer importer;
    importer.settings = {};
    importer.settings.dumpDirectory = home.File("dumps");
    const std::string source = importer.dir.File("two.enw");
    test::WriteBytes(source,
                     "%0 Journal Article\n%A Author, Only\n%J A journal\n\n%0 Journal Article\n"
                     "%T A title\n%J A journal\n%D 2001\n");
    const test::ImportResult r = importer.Run(23, source, importer.dir.File("out.ref"));
    EXPECT_EQ(r.counters.written, 1);
    EXPECT_EQ(r.counters.dumped, 1);
    const std::string dump = test::ReadBytes(home.File("dumps/import-errors.dmp"));
    EXPECT_NE(dump.find("%A Author, Only"), std::string::npos);
}

// Bad input ends in counters, never in a crash: lines of 100 KB, records of more than 250
// lines, binary files, empty files.
TEST(DriverTest, BadInputGivesCounters) {
    test::Importer importer;
    const std::string source = importer.dir.File("bad.ris");
    std::string text = "TY  - JOUR\nTI  - A title\nJO  - J\nPY  - 2001\nAB  - " +
                       std::string(100000, 'a') +
                       "\nER  -\n\nTY  - JOUR\nTI  - Long\nJO  - J\nPY  - 2002\n";
    for (int i = 0; i < 400; ++i) {
        text += "KW  - keyword " + std::to_string(i) + "\n";
    }
    text += "ER  -\n";
    test::WriteBytes(source, text);
    test::ImportResult r = importer.Run(17, source, importer.dir.File("out.ref"));
    EXPECT_EQ(r.code, ResultCode::Done);
    EXPECT_EQ(r.counters.written, 2);
    EXPECT_EQ(r.counters.questioned, 1); // the record cut at 250 lines
    for (const std::string& block : test::ReferenceBlocks(r.output)) {
        EXPECT_FALSE(ParseReference(block, false).ruined);
    }

    std::string binary;
    for (int i = 0; i < 100000; ++i) {
        binary.push_back(static_cast<char>((i * 131) % 256));
    }
    test::WriteBytes(source, binary);
    EXPECT_EQ(vorodud::DetectSourceType(source), 0);
    r = importer.Run(17, source, importer.dir.File("out2.ref"));
    EXPECT_EQ(r.code, ResultCode::Done);
    EXPECT_EQ(r.counters.written + r.counters.dumped, 0);

    test::WriteBytes(source, "");
    EXPECT_EQ(vorodud::DetectSourceType(source), 0);
    r = importer.Run(21, source, importer.dir.File("out3.ref"));
    EXPECT_EQ(r.code, ResultCode::Done);
    EXPECT_EQ(r.counters.written, 0);
}

// Japanese double-byte text stays Shift-JIS: full-width letters become single bytes, kanji stay.
TEST(DriverTest, ShiftJisSourcesAreReadAsTheyAre) {
    test::Importer importer;
    const test::ImportResult r =
        importer.Run(9, CITAVOX_TEST_DATA "/lexmill/jicst.txt", importer.dir.File("j.ref"));
    ASSERT_EQ(r.code, ResultCode::Done);
    EXPECT_NE(r.output.find("\r\n MRI of the liver \x8A\xCC\x91\x9F.\r\n"), std::string::npos);
    EXPECT_NE(r.output.find("\r\n 1995 (12(1)) pp 1-9\r\n"), std::string::npos);
}

TEST(DetectionTest, ContentDecidesTheType) {
    const Vorodud driver;
    auto key = [&](std::string_view text) {
        return driver.TypeKey(vorodud::DetectSourceTypeOfText(text));
    };
    EXPECT_EQ(key("PMID- 1\nTI  - x\nAU  - y\n"), "medline");
    EXPECT_EQ(key("\xEF\xBB\xBFTY  - JOUR\nTI  - x\nER  - \n"), "ris");
    static constexpr char kUtf16[] =
        "\xFF\xFET\0Y\0 \0 \0-\0 \0J\0\n\0T\0I\0 \0 \0-\0 \0x\0\n\0E\0R\0 \0 "
        "\0-\0\n\0";
    EXPECT_EQ(key(std::string(kUtf16, sizeof kUtf16 - 1)), "ris");
    EXPECT_EQ(key("FN x\nVR 1.0\nPT J\nAU Smith, J\nTI t\nER\n\nEF\n"), "wos");
    EXPECT_EQ(key("%0 Book\n%T t\n%A a\n"), "refer");
    EXPECT_EQ(key("PT\tAU\tTI\tSO\nJ\tSmith\tt\ts\n"), "");
    EXPECT_EQ(key(""), "");
    EXPECT_EQ(key("Dear colleague,\nplease find attached.\n"), "");
    EXPECT_EQ(key(std::string("\x7F"
                              "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0\x01\0\0\0",
                              24)),
              "");
}

} // namespace
} // namespace cvx
