// One import as a single call: what the report says for each way an import can end, and that the
// request's parts (detection, append, the common text) reach the run.

#include "vorodud/ImportJob.h"
#include "refstore/RefArrData.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace cvx {
namespace {

using vorodud::ImportStatus;
using vorodud::ResultCode;

const std::string kTwoRis = "TY  - JOUR\nTI  - First title\nAU  - Smith, John\nJO  - Nature\n"
                            "PY  - 2001\nVL  - 3\nSP  - 10\nER  -\n\n"
                            "TY  - JOUR\nTI  - Second title\nAU  - Jones, Ann\nJO  - Cell\n"
                            "PY  - 2002\nVL  - 4\nSP  - 20\nER  -\n";

class ImportJobTest : public ::testing::Test {
protected:
    ImportJobTest() { settings.dumpDirectory = dir.File("dumps"); }

    vorodud::ImportReport Run(const vorodud::ImportRequest& request) {
        Progress quiet;
        return vorodud::Import(request, settings, quiet);
    }

    test::TempDir dir;
    vorodud::ImportSettings settings;
};

TEST_F(ImportJobTest, DetectsConvertsAndCounts) {
    vorodud::ImportRequest request;
    request.source = dir.Write("two.ris", kTwoRis);
    request.destination = dir.File("out.ref");
    const vorodud::ImportReport r = Run(request);
    ASSERT_EQ(r.status, ImportStatus::Succeeded) << (r.messages.empty() ? "" : r.messages[0]);
    EXPECT_TRUE(r.Succeeded());
    EXPECT_EQ(r.code, ResultCode::Done);
    EXPECT_EQ(r.type, vorodud::Vorodud().TypeByKey("ris"));
    EXPECT_TRUE(r.converted);
    EXPECT_EQ(r.counters.written, 2);
    EXPECT_EQ(r.dumpFile, dir.File("dumps/import-errors.dmp"));
    EXPECT_TRUE(r.messages.empty());
    EXPECT_NE(test::ReadBytes(request.destination).find("Second title"), std::string::npos);
}

// Every way an import can end short of success: the status, the driver's code, whether counters
// are there to show, and the message the user is given.
TEST_F(ImportJobTest, FailuresGiveTheirStatusAndMessage) {
    const std::string ris = dir.Write("two.ris", kTwoRis);
    const std::string prose = dir.Write("prose.txt", "Nothing here looks like a record.\n");
    const std::string noRecords = dir.Write("none.ris", "Just a line\nand another\n");
    const int risType = vorodud::Vorodud().TypeByKey("ris");
    struct Case {
        const char* why;
        std::string source;
        std::string destination;
        int type;
        ImportStatus status;
        ResultCode code;
        bool converted;
        std::string messagePart;
    } cases[] = {
        {"missing source, detection", dir.File("missing.ris"), dir.File("a.ref"), 0,
         ImportStatus::Failed, ResultCode::SourceNotAccessible, false, "cannot be read"},
        {"missing source, type given", dir.File("missing.ris"), dir.File("a.ref"), risType,
         ImportStatus::Failed, ResultCode::SourceNotAccessible, false, "cannot be read"},
        {"a folder as source", dir.Path().string(), dir.File("a.ref"), 0, ImportStatus::Failed,
         ResultCode::SourceNotAccessible, false, "cannot be read"},
        {"nothing recognised", prose, dir.File("a.ref"), 0, ImportStatus::NotRecognised,
         ResultCode::ConversionUnavailable, false, "was not recognised"},
        {"no such type", ris, dir.File("a.ref"), 999, ImportStatus::Failed,
         ResultCode::ConversionUnavailable, false, "unavailable"},
        {"destination folder missing", ris, dir.File("no-dir/a.ref"), 0, ImportStatus::Failed,
         ResultCode::WriteError, false, "cannot be written"},
        {"no record of the type", noRecords, dir.File("b.ref"), risType, ImportStatus::NothingFound,
         ResultCode::Done, true, "No reference of this source type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        vorodud::ImportRequest request;
        request.source = c.source;
        request.destination = c.destination;
        request.type = c.type;
        const vorodud::ImportReport r = Run(request);
        EXPECT_EQ(r.status, c.status);
        EXPECT_FALSE(r.Succeeded());
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.converted, c.converted);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_NE(r.messages[0].find(c.messagePart), std::string::npos) << r.messages[0];
    }
}

// A dump file that cannot be written leaves the references counted and says so; the import
// itself succeeds.
TEST_F(ImportJobTest, AnUnwritableDumpFileIsReported) {
    settings.errorDumpFile = dir.File("no-dir/errors.dmp");
    dir.Write("no-dir", "a file where the folder would be");
    vorodud::ImportRequest request;
    request.source =
        dir.Write("two.enw", "%0 Journal Article\n%A Author, Only\n%J A journal\n\n"
                             "%0 Journal Article\n%T A title\n%J A journal\n%D 2001\n");
    request.destination = dir.File("out.ref");
    request.type = vorodud::Vorodud().TypeByKey("refer");
    ASSERT_NE(request.type, 0);
    const vorodud::ImportReport r = Run(request);
    EXPECT_EQ(r.status, ImportStatus::Succeeded);
    EXPECT_EQ(r.counters.written, 1);
    EXPECT_EQ(r.counters.dumped, 1);
    EXPECT_TRUE(r.dumpFileFailed);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].find("cannot be written"), std::string::npos) << r.messages[0];
}

// A download in a legacy Chinese code page: the report says what it was read as and how many of
// the written references hold characters that could not be kept; a clean download says nothing.
TEST_F(ImportJobTest, ALegacyCodePageIsReported) {
    const std::string chinese =
        "title={\xBB\xF9\xD3\xDA\xC9\xEE\xB6\xC8\xD1\xA7\xCF\xB0\xB5\xC4\xD6\xD0"
        "\xCE\xC4\xCE\xC4\xB1\xBE\xB7\xD6\xC0\xE0\xB7\xBD\xB7\xA8\xD1\xD0\xBE\xBF}, "
        "journal={\xBC\xC6\xCB\xE3\xBB\xFA\xD1\xA7\xB1\xA8}, "
        "author={\xD5\xC5\xC8\xFD and \xC0\xEE\xCB\xC4}";
    vorodud::ImportRequest request;
    request.source =
        dir.Write("gbk.bib", "@article{a,\n  " + chinese +
                                 ",\n  year={2001}\n}\n\n@article{b,\n  " + chinese +
                                 ",\n  year={2002}\n}\n\n@article{c,\n  title={Plain}, "
                                 "journal={J}, author={Smith, J}, year={2003}\n}\n");
    request.destination = dir.File("out.ref");
    request.type = vorodud::Vorodud().TypeByKey("bibtex");
    const vorodud::ImportReport r = Run(request);
    ASSERT_EQ(r.status, ImportStatus::Succeeded);
    EXPECT_EQ(r.counters.written, 3);
    EXPECT_EQ(r.counters.marked, 2);
    ASSERT_EQ(r.messages.size(), 1u);
    const std::set<std::string> expected = {Msg(msg::Citavox::ImportLegacyEncoding, "GB18030", "2"),
                                            Msg(msg::Citavox::ImportLegacyEncoding, "GBK", "2"),
                                            Msg(msg::Citavox::ImportLegacyEncoding, "GB2312", "2")};
    EXPECT_TRUE(expected.contains(r.messages[0])) << r.messages[0];

    request.source = dir.Write("two.ris", kTwoRis);
    request.type = vorodud::Vorodud().TypeByKey("ris");
    request.mode = DestinationMode::Replace;
    const vorodud::ImportReport clean = Run(request);
    EXPECT_TRUE(clean.Succeeded());
    EXPECT_TRUE(clean.messages.empty()) << clean.messages[0];
}

TEST_F(ImportJobTest, AppendsAndPutsTheCommonTextIntoEveryReference) {
    const std::string out = dir.File("refs.ref");
    test::WriteBytes(out, test::NumberedFile(2));
    vorodud::ImportRequest request;
    request.source = dir.Write("two.ris", kTwoRis);
    request.destination = out;
    request.mode = DestinationMode::Append;
    request.label = "Imported #Gb#G";
    ASSERT_TRUE(Run(request).Succeeded());
    const std::string text = test::ReadBytes(out);
    EXPECT_EQ(text.substr(0, test::NumberedFile(2).size()), test::NumberedFile(2));
    std::size_t labels = 0;
    for (std::size_t pos = text.find("\r\n Imported #Gb#G\r\n"); pos != std::string::npos;
         pos = text.find("\r\n Imported #Gb#G\r\n", pos + 1)) {
        ++labels;
    }
    EXPECT_EQ(labels, 2u);
}

TEST(DetectSourceTest, ReadableRecognisedOrNot) {
    test::TempDir dir;
    vorodud::DetectedSource d = vorodud::DetectSource(dir.Write("two.ris", kTwoRis));
    EXPECT_EQ(d.status, ImportStatus::Succeeded);
    EXPECT_EQ(vorodud::Vorodud().TypeKey(d.type), "ris");
    d = vorodud::DetectSource(dir.Write("prose.txt", "Plain prose.\n"));
    EXPECT_EQ(d.status, ImportStatus::NotRecognised);
    EXPECT_NE(d.message.find("prose.txt"), std::string::npos);
    d = vorodud::DetectSource(dir.File("missing"));
    EXPECT_EQ(d.status, ImportStatus::Failed);
    EXPECT_NE(d.message.find("cannot be read"), std::string::npos);
}

// The list the command line prints: usable types only, in the order of their numbers, each key
// naming its type.
TEST(UsableSourceTypesTest, KeysNameUsableTypesInOrder) {
    const vorodud::Vorodud driver;
    const auto types = vorodud::UsableSourceTypes();
    ASSERT_FALSE(types.empty());
    std::set<std::string> keys;
    int previous = 0;
    for (const vorodud::SourceTypeEntry& t : types) {
        EXPECT_GT(t.type, previous);
        previous = t.type;
        EXPECT_TRUE(driver.TypeUsable(t.type));
        EXPECT_EQ(driver.TypeByKey(t.key), t.type);
        EXPECT_EQ(driver.TypeName(t.type), t.supplier + ": " + t.database);
        EXPECT_TRUE(keys.insert(t.key).second) << t.key;
    }
}

} // namespace
} // namespace cvx
