// Where an import writes: never into its own download, never over a reference file unless asked
// (and then with a backup), never into a companion, a pipe or a device, and never leaving a
// half-made file when nothing was written.

#include "ImportRun.h"
#include "support/ReferenceText.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace cvx {
namespace {

using vorodud::ResultCode;

constexpr int kRis = 17;

std::string RisRecords(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        text += "TY  - JOUR\nTI  - Title " + std::to_string(i) +
                "\nAU  - Smith, J\nJO  - Nature\nPY  - 2001\nVL  - 1\nSP  - " + std::to_string(i) +
                "\nER  -\n\n";
    }
    return text;
}

TEST(ImportDestination, TheDownloadItselfIsNeverTheDestination) {
    test::Importer importer;
    const std::string source = importer.dir.Write("refs.ris", RisRecords(2));
    std::filesystem::create_symlink(source, importer.dir.File("link.ref"));
    std::filesystem::create_hard_link(source, importer.dir.File("hard.ref"));
    for (const std::string& destination :
         {source, importer.dir.File("link.ref"), importer.dir.File("hard.ref")}) {
        for (DestinationMode mode :
             {DestinationMode::New, DestinationMode::Append, DestinationMode::Replace}) {
            const test::ImportResult r = importer.Run(kRis, source, destination, mode);
            EXPECT_EQ(r.code, ResultCode::WriteError) << destination;
            EXPECT_EQ(r.message, Msg(msg::Citavox::ImportOntoSource, DisplayPath(destination)));
            EXPECT_EQ(test::ReadBytes(source), RisRecords(2));
        }
    }
}

TEST(ImportDestination, AnExistingFileIsReplacedOnlyWhenAskedAndThenBackedUp) {
    test::Importer importer;
    const std::string source = importer.dir.Write("refs.ris", RisRecords(2));
    const std::string library = importer.dir.Write("library.ref", test::NumberedFile(3));

    test::ImportResult r = importer.Run(kRis, source, library, DestinationMode::New);
    EXPECT_EQ(r.message, Msg(msg::Citavox::DestinationExists, DisplayPath(library)));
    EXPECT_EQ(r.output, test::NumberedFile(3));

    r = importer.Run(kRis, source, library, DestinationMode::Replace);
    ASSERT_EQ(r.code, ResultCode::Done);
    EXPECT_EQ(r.counters.written, 2);
    EXPECT_EQ(test::ReferenceBlocks(r.output).size(), 2u);
    EXPECT_EQ(test::ReadBytes(importer.dir.File("library.bak")), test::NumberedFile(3));

    // A replacement that is aborted, or finds nothing, leaves the file as it was.
    class AbortAtOnce final : public Progress {
    public:
        void SetProgress(int permille) override {
            if (permille > 0) {
                RequestAbort();
            }
        }
    };
    AbortAtOnce aborting;
    const std::string before = test::ReadBytes(library);
    r = importer.Run(kRis, source, library, DestinationMode::Replace, &aborting);
    EXPECT_EQ(r.code, ResultCode::Aborted);
    EXPECT_EQ(r.output, before);
    r = importer.Run(kRis, importer.dir.Write("empty.ris", "nothing here\n"), library,
                     DestinationMode::Replace);
    EXPECT_EQ(r.counters.written, 0);
    EXPECT_EQ(r.output, before);
    // refs.ris, empty.ris, library.ref and library.bak: no temporary is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(importer.dir.Path()), {}), 4);
}

TEST(ImportDestination, NothingWrittenLeavesNoTrace) {
    test::Importer importer;
    const std::string empty = importer.dir.Write("empty.ris", "nothing here\n");
    const std::string fresh = importer.dir.File("fresh.ref");
    test::ImportResult r = importer.Run(kRis, empty, fresh, DestinationMode::New);
    EXPECT_EQ(r.counters.written, 0);
    EXPECT_FALSE(std::filesystem::exists(fresh));

    // Appending nothing leaves no separator behind either.
    const std::string library = importer.dir.Write("library.ref", test::NumberedFile(2));
    r = importer.Run(kRis, empty, library, DestinationMode::Append);
    EXPECT_EQ(r.output, test::NumberedFile(2));
}

TEST(ImportDestination, CompanionsPipesAndDevicesAreRefused) {
    test::Importer importer;
    const std::string source = importer.dir.Write("refs.ris", RisRecords(1));
    const std::string backup = importer.dir.Write("library.bak", test::NumberedFile(1));
    const std::string fifo = importer.dir.File("pipe.ref");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(importer.dir.File("folder.ref"));
    for (const std::string& destination :
         {backup, importer.dir.File("new.map"), fifo, importer.dir.File("folder.ref"),
          std::string("/dev/null")}) {
        const test::ImportResult r =
            importer.Run(kRis, source, destination, DestinationMode::Append, nullptr, false);
        EXPECT_EQ(r.code, ResultCode::WriteError) << destination;
        EXPECT_FALSE(r.message.empty()) << destination;
    }
    EXPECT_EQ(test::ReadBytes(backup), test::NumberedFile(1));
    EXPECT_FALSE(std::filesystem::exists(importer.dir.File("new.map")));

    // A download that is a pipe or a device is refused at once, never read.
    for (const std::string& download : {fifo, std::string("/dev/zero")}) {
        const auto start = std::chrono::steady_clock::now();
        const test::ImportResult r =
            importer.Run(kRis, download, importer.dir.File("out.ref"), DestinationMode::New);
        EXPECT_EQ(r.code, ResultCode::SourceNotAccessible) << download;
        EXPECT_EQ(r.message, Msg(msg::Citavox::SourceNotRegular, DisplayPath(download)));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_FALSE(std::filesystem::exists(importer.dir.File("out.ref")));
    }
}

} // namespace
} // namespace cvx
