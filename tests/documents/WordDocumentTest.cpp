#include "documents/WordDocument.h"
#include "documents/WordConversion.h"
#include "documents/ZipPackage.h"
#include "text/Catalogue.h"

#include "text/Progress.h"

#include "FakeConverter.h"
#include "WordFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace cvx {
namespace {

using test::CompoundFile;
using test::Docx;
using test::FakeConverter;
using test::Odt;
using test::WordDocumentStream;

std::string TextOf(const std::string& bytes) {
    WordDocument doc;
    const Outcome r = doc.Load(bytes, "paper");
    EXPECT_TRUE(r.ok()) << r.message();
    return doc.Text();
}

// What a reader sees is what the scan reads: runs joined, marks and codes left out, hidden text
// and insertions in, deletions out, each note at its anchor.
TEST(WordDocumentTest, GathersTheTextAReaderSees) {
    const struct {
        std::string body;
        std::string text;
    } cases[] = {
        {"<w:p><w:r><w:t>{{a.r</w:t></w:r><w:proofErr w:type=\"spellStart\"/><w:r><w:rPr><w:b/>"
         "</w:rPr><w:t>ef #1}}</w:t></w:r><w:proofErr w:type=\"spellEnd\"/></w:p>",
         "{{a.ref #1}}\n"},
        {"<w:p><w:bookmarkStart w:id=\"0\" w:name=\"x\"/><w:r><w:t xml:space=\"preserve\">A </w:t>"
         "</w:r><w:bookmarkEnd w:id=\"0\"/><w:r><w:rPr><w:vanish/></w:rPr><w:t>hidden</w:t></w:r>"
         "<w:r><w:tab/><w:t>B</w:t></w:r></w:p><w:p/>",
         "A hidden\tB\n\n"},
        {"<w:p><w:ins w:id=\"1\" w:author=\"x\"><w:r><w:t>new</w:t></w:r></w:ins><w:del w:id=\"2\" "
         "w:author=\"x\"><w:r><w:delText>old</w:delText></w:r></w:del></w:p>",
         "new\n"},
        {"<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText>"
         "</w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>7</w:t></w:r><w:r>"
         "<w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>&amp;&lt;</w:t></w:r></w:p>",
         "7&<\n"},
        {"<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><w:txbxContent>"
         "<w:p><w:r><w:t>box</w:t></w:r></w:p></w:txbxContent></w:drawing></mc:Choice>"
         "<mc:Fallback><w:pict><w:txbxContent><w:p><w:r><w:t>box</w:t></w:r></w:p>"
         "</w:txbxContent></w:pict></mc:Fallback></mc:AlternateContent></w:r></w:p>",
         "box\n\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextOf(Docx(c.body)), c.text) << c.body;
    }
    const std::string notes =
        "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p>"
        "</w:footnote><w:footnote w:id=\"1\"><w:p><w:r><w:t>note</w:t></w:r></w:p></w:footnote>";
    EXPECT_EQ(TextOf(Docx("<w:p><w:r><w:t>a</w:t></w:r><w:r><w:footnoteReference w:id=\"1\"/>"
                          "</w:r><w:r><w:t>b</w:t></w:r></w:p>",
                          notes)),
              "a\nnote\nb\n");
    EXPECT_EQ(TextOf(Odt("<text:p>x<text:span>{{a</text:span><text:s text:c=\"2\"/>#1}}<text:note "
                         "text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
                         "<text:note-body><text:p>in note</text:p></text:note-body></text:note>"
                         "</text:p><text:tracked-changes><text:changed-region><text:deletion>"
                         "<text:p>gone</text:p></text:deletion></text:changed-region>"
                         "</text:tracked-changes>")),
              "x{{a  #1}}in note\n\n");
}

// Whatever is wrong with a document is said, and nothing of it is taken.
TEST(WordDocumentTest, RefusesWhatItCannotReadSafely) {
    const std::string docx = Docx("<w:p><w:r><w:t>{{a.ref #1}}</w:t></w:r></w:p>");
    std::string noDocument;
    ASSERT_TRUE(CreateZip({{"word/styles.xml", "<x/>"}}, noDocument).ok());
    std::string withEntities;
    ASSERT_TRUE(
        CreateZip({{"word/document.xml",
                    "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaa\">]><d>&a;</d>"}},
                  withEntities)
            .ok());
    std::string broken;
    ASSERT_TRUE(CreateZip({{"word/document.xml", "<w:document><w:body>"}}, broken).ok());
    std::string odtLocked;
    ASSERT_TRUE(CreateZip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                           {"META-INF/manifest.xml", "<m><manifest:encryption-data/></m>"},
                           {"content.xml", "garbage"}},
                          odtLocked)
                    .ok());
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {
        {docx.substr(0, docx.size() / 2), "its zip container is damaged"},
        {"{\\rtf1 {{a.ref #1}}}", Msg(msg::Documents::NotAWordDocument, "paper")},
        {odtLocked, Msg(msg::Documents::DocumentEncrypted, "paper")},
        {noDocument, Msg(msg::Documents::PartMissing, "paper", "word/document.xml", "Word")},
        {withEntities, Msg(msg::Documents::EntitiesRefused, "word/document.xml", "paper")},
        {broken, "The part \"word/document.xml\" of \"paper\" cannot be read"},
    };
    for (const auto& c : cases) {
        WordDocument doc;
        const Outcome r = doc.Load(c.bytes, "paper");
        ASSERT_FALSE(r.ok()) << c.message;
        EXPECT_NE(r.message().find(c.message), std::string::npos) << r.message();
    }
}

// A compound file named .docx or .odt is either a Word 97 document under the wrong name or a
// document that a password encrypted; the directory and the Word file information block say
// which, and anything else in a compound file is not a document completion reads.
TEST(WordDocumentTest, TellsAWord97DocumentFromAnEncryptedOne) {
    const std::string word = CompoundFile(
        {{"WordDocument", WordDocumentStream(false)}, {"1Table", std::string(600, '\x01')}});
    const std::string misnamed = Msg(msg::Documents::Word97Misnamed, "paper");
    const std::string locked = Msg(msg::Documents::DocumentEncrypted, "paper");
    const std::string other = Msg(msg::Documents::NotAWordDocument, "paper");
    const struct {
        std::string bytes;
        std::string message;
        const char* why;
    } cases[] = {
        {word, misnamed, "a Word 97 document"},
        {CompoundFile({{"WordDocument", WordDocumentStream(false, 700)}}), misnamed,
         "its stream small enough for the mini stream"},
        {CompoundFile({{"WordDocument", WordDocumentStream(true)}}), locked,
         "a Word 97 document with a password"},
        {CompoundFile({{"1Table", std::string(100, '\0')},
                       {"WordDocument", WordDocumentStream(true, 1000)}}),
         locked, "with a password, in the mini stream"},
        {CompoundFile({{"EncryptionInfo", std::string(200, '\x04')},
                       {"EncryptedPackage", std::string(5000, 'x')}}),
         locked, "an Office Open XML package encrypted with a password"},
        {CompoundFile({{"Workbook", std::string(5000, 'x')}}), other, "another program's file"},
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'), other,
         "a header and nothing else"},
        {word.substr(0, 1024), other, "cut short before its streams"},
    };
    for (const auto& c : cases) {
        WordDocument doc;
        const Outcome r = doc.Load(c.bytes, "paper");
        ASSERT_FALSE(r.ok()) << c.why;
        EXPECT_EQ(r.message(), c.message) << c.why;
    }
    EXPECT_EQ(InspectCompoundFile(word), CompoundContent::WordDocument);
    EXPECT_EQ(InspectCompoundFile(Docx("<w:p/>")), CompoundContent::Other);
}

// A part that expands beyond the bound is refused as it expands, whatever its directory says.
TEST(WordDocumentTest, BoundsTheExpansion) {
    std::string zip;
    ASSERT_TRUE(CreateZip({{"word/document.xml", std::string(4 << 20, ' ')}}, zip).ok());
    EXPECT_LT(zip.size(), std::size_t{64} << 10);
    ZipPackage package;
    ASSERT_TRUE(package.Open(zip, "paper").ok());
    std::string out;
    const Outcome r = package.Read("word/document.xml", out, std::size_t{1} << 20);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(), Msg(msg::Documents::PackageTooLarge, "paper", "1"));
    EXPECT_TRUE(out.empty());
}

// Without LibreOffice a binary document cannot be read, and the message says what to install.
TEST(WordConversionTest, SaysWhenLibreOfficeIsMissing) {
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    setenv("PATH", "/nonexistent", 1);
    std::string converted;
    const Outcome r = ConvertWithLibreOffice("paper.doc", "docx", converted);
    setenv("PATH", saved.c_str(), 1);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(), Msg(msg::Documents::LibreOfficeMissing));
    EXPECT_TRUE(converted.empty());
}

// LibreOffice is the "soffice" of the PATH, given a profile of its own, the target and a folder
// for the output; what it writes there is the result, unless it fails.
TEST(WordConversionTest, TakesWhatTheConverterWritesUnlessItFails) {
    test::TempDir dir;
    const std::string input = dir.Write("paper.doc", "binary bytes");
    {
        FakeConverter office(FakeConverter::Mode::Convert, "converted bytes");
        std::string converted;
        Outcome r = ConvertWithLibreOffice(input, "docx", converted);
        ASSERT_TRUE(r.ok()) << r.message();
        EXPECT_EQ(converted, "converted bytes");
        const std::string arguments = office.Arguments();
        EXPECT_NE(arguments.find("-env:UserInstallation=file:///"), std::string::npos) << arguments;
        EXPECT_NE(arguments.find("--headless"), std::string::npos) << arguments;
        EXPECT_TRUE(arguments.ends_with(" " + input + "\n")) << arguments;
        r = ConvertBackWithLibreOffice("completed", dir.File("paper_OUT.doc"), "doc", converted);
        ASSERT_TRUE(r.ok()) << r.message();
        EXPECT_EQ(converted, "completed");
    }
    FakeConverter office(FakeConverter::Mode::Fail);
    std::string converted;
    const Outcome r = ConvertWithLibreOffice(input, "docx", converted);
    EXPECT_EQ(r.message(), Msg(msg::Documents::ConversionFailed, input, ".docx"));
    EXPECT_FALSE(r.aborted());
    EXPECT_TRUE(converted.empty());
}

// An abort does not wait for the converter: it is ended with what it started, and nothing it
// wrote is taken.
TEST(WordConversionTest, AnAbortEndsTheConverterAndItsChildren) {
    test::TempDir dir;
    const std::string input = dir.Write("paper.doc", "binary bytes");
    FakeConverter office(FakeConverter::Mode::Hang);
    Progress progress;
    pid_t converter = 0;
    pid_t child = 0;
    std::thread user([&] {
        child = office.WaitForPid("child.pid");
        converter = office.WaitForPid("soffice.pid");
        progress.RequestAbort();
    });
    const auto start = std::chrono::steady_clock::now();
    std::string converted;
    const Outcome r = ConvertWithLibreOffice(input, "docx", converted, &progress);
    user.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_TRUE(r.aborted()) << r.message();
    EXPECT_TRUE(converted.empty());
    ASSERT_NE(child, 0) << "the converter did not start its child";
    EXPECT_TRUE(FakeConverter::Ends(converter));
    EXPECT_TRUE(FakeConverter::Ends(child));
}

} // namespace
} // namespace cvx
