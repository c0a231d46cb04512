// Reference lists: the scope, the order, numbering and duplicates; the RTF list read by pandoc's
// RTF reader, the LaTeX list typeset by LaTeX, and the .docx and .odt lists read back as documents.

#include "output/ReferenceList.h"
#include "documents/WordDocument.h"
#include "documents/ZipPackage.h"
#include "formats/FormatFile.h"
#include "refstore/ReferenceMap.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/ReferenceText.h"
#include "support/TempDir.h"
#include "text/Cp1252.h"
#include "text/Progress.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace cvx {
namespace {

using test::JournalBlock;
using test::ReadBytes;
using test::TempDir;

// 0 Smith, 1 Adams, 2 deleted, 3 a duplicate of 0 (longer), 4 unparsed, 5 Brown.
std::string Fixture() {
    return JournalBlock("S", "Smith, J.", "First.", "2001 (10) pp 5-9", "Nature") +
           JournalBlock("A", "Adams, K.", "Second.", "1999 (3) pp 1-2", "Science") +
           std::string(kDeletedMarker) +
           JournalBlock("S2", "Smith, J.", "First again.", "2001 (10) pp 5-9", "Nature",
                        "An abstract of the paper.") +
           " Broken\r\n Nobody, N.\r\n Only a title\r\n\r\n" +
           JournalBlock("B", "Brown, L.", "Third.", "2005 (7) pp 11-19", "Cell");
}

TFormatDesc Format(const char* name) {
    TFormatDesc format;
    EXPECT_TRUE(
        LoadFormatFile(format, std::string(CITAVOX_FORMATS_DIR) + "/" + name + ".for").ok());
    return format;
}

struct Lists {
    TempDir dir;
    std::string path = dir.Write("refs.ref", Fixture());
    std::shared_ptr<const ReferenceReader> reader;
    Lists() {
        EXPECT_TRUE(OpenReferenceReader(FileSystem::Default(), path, nullptr, false, reader).ok());
    }

    ListReport Make(ListRequest request, const char* format = "vancouver") const {
        request.references = reader;
        if (request.output.empty()) {
            request.output = dir.File("list");
        }
        Progress progress;
        return MakeReferenceList(FileSystem::Default(), request, Format(format), {}, progress);
    }
    std::string Output() const { return ReadBytes(dir.File("list")); }
};

// The text lines that are not blank.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find("\r\n", pos), text.size());
        if (end > pos) {
            lines.push_back(text.substr(pos, end - pos));
        }
        pos = end + 2;
    }
    return lines;
}

TEST(ReferenceList, ScopeOrderNumbersAndDuplicates) {
    Lists lists;
    ListRequest all;
    all.numbered = true;
    ListReport r = lists.Make(all);
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_EQ(r.entries, 4) << "deleted and duplicate left out";
    EXPECT_EQ(r.duplicates, 1);
    EXPECT_EQ(r.unparsed, std::vector<int>{5});
    std::vector<std::string> lines = Lines(lists.Output());
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[1].find("2."), 0U) << lines[1];
    EXPECT_NE(lines[0].find("Adams"), std::string::npos) << "author order";
    EXPECT_NE(lines[1].find("Brown"), std::string::npos) << "author order";
    EXPECT_NE(lines[3].find("First again"), std::string::npos) << "the longer duplicate stays";

    ListRequest kept;
    kept.keepDuplicates = true;
    kept.includeAbstract = true;
    kept.order = DisplayOrder::YearDescending;
    r = lists.Make(kept);
    EXPECT_EQ(r.entries, 5);
    lines = Lines(lists.Output());
    EXPECT_NE(lines[0].find("Brown"), std::string::npos);
    EXPECT_NE(lists.Output().find("\t\tAn abstract of the paper."), std::string::npos);

    ListRequest tagged;
    tagged.tagged = RefSet(lists.reader->Count());
    tagged.tagged->Set(1);
    tagged.tagged->Set(2);
    EXPECT_EQ(lists.Make(tagged).entries, 1);

    ListRequest current;
    current.which = 5;
    EXPECT_EQ(lists.Make(current).entries, 1);
    EXPECT_NE(lists.Output().find("Brown"), std::string::npos);
    current.which = 6;
    EXPECT_FALSE(lists.Make(current).outcome.ok());
}

// The format numbers its list when its list order is a numbered one (2 to 4), with the label of
// its numbering style: styles from 7 on are followed by a tab, the others by a blank. The request
// numbers a list whatever the format's order.
TEST(ReferenceList, NumberedFormatsLabelTheirEntries) {
    const struct {
        int listOrder;
        int numberingStyle;
        bool numbered;
        ListOutput kind;
        std::vector<std::string> starts; // of the first two entries; empty: not numbered
    } cases[] = {
        {2, 8, false, ListOutput::Text, {"1.\tAdams", "2.\tBrown"}},
        {3, 11, false, ListOutput::Text, {"[1]\tAdams", "[2]\tBrown"}},
        {4, 1, false, ListOutput::Text, {"1. Adams", "2. Brown"}},
        {4, 2, false, ListOutput::Text, {"1) Adams", "2) Brown"}},
        {0, 8, false, ListOutput::Text, {}},
        {1, 8, false, ListOutput::Text, {}},
        {1, 8, true, ListOutput::Text, {"1.\tAdams", "2.\tBrown"}},
        {2, 8, false, ListOutput::Rtf, {"1.\r\n\\tab Adams", "2.\r\n\\tab Brown"}},
    };
    for (const auto& c : cases) {
        Lists lists;
        TFormatDesc format = Format("vancouver");
        format.record.refListSortOrder = static_cast<std::uint8_t>(c.listOrder);
        format.record.numberingStyle = static_cast<std::uint8_t>(c.numberingStyle);
        ListRequest request;
        request.references = lists.reader;
        request.output = lists.dir.File("list");
        request.numbered = c.numbered;
        request.kind = c.kind;
        Progress progress;
        const ListReport r =
            MakeReferenceList(FileSystem::Default(), request, format, {}, progress);
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.message();
        const std::string out = lists.Output();
        const std::string where = "order " + std::to_string(c.listOrder) + ", style " +
                                  std::to_string(c.numberingStyle) + ":\n" + out;
        if (c.starts.empty()) {
            EXPECT_EQ(out.rfind("Adams", 0), 0U) << where;
            continue;
        }
        std::size_t at = 0;
        for (const std::string& start : c.starts) {
            at = out.find(start, at);
            ASSERT_NE(at, std::string::npos) << start << " in " << where;
            EXPECT_TRUE(at == 0 || out[at - 1] == '\n' || out[at - 1] == ' ') << where;
        }
    }
}

TEST(ReferenceList, NeverWritesOverItsReferenceFile) {
    Lists lists;
    ListRequest request;
    request.output = lists.path;
    EXPECT_FALSE(lists.Make(request).outcome.ok());
    EXPECT_EQ(ReadBytes(lists.path), Fixture());
}

TEST(ReferenceList, AbortLeavesAnOldListAlone) {
    Lists lists;
    test::WriteBytes(lists.dir.File("list"), "old");
    ListRequest request;
    request.references = lists.reader;
    request.output = lists.dir.File("list");
    Progress progress;
    progress.RequestAbort();
    EXPECT_TRUE(MakeReferenceList(FileSystem::Default(), request, Format("vancouver"), {}, progress)
                    .outcome.aborted());
    EXPECT_EQ(lists.Output(), "old");
}

// The paragraphs of a list as a reader sees them: leading tabs (the indent of an abstract) and
// blank lines dropped.
std::vector<std::string> Paragraphs(const std::string& utf8) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t end = utf8.find('\n', pos);
        end = end == std::string::npos ? utf8.size() : end;
        std::string line = utf8.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line.erase(0, line.find_first_not_of('\t'));
        if (!line.empty()) {
            out.push_back(line);
        }
    }
    return out;
}

// The word-processor lists hold the text list's entries and abstracts as paragraphs, the
// entries with a hanging indent and the journal names in italics.
TEST(ReferenceList, WordListsHoldTheTextListAsParagraphs) {
    Lists lists;
    ListRequest request;
    request.numbered = true;
    request.includeAbstract = true;
    request.keepDuplicates = true;
    ASSERT_TRUE(lists.Make(request, "apa").outcome.ok());
    const std::vector<std::string> expected = Paragraphs(Cp1252ToUtf8(lists.Output()));
    ASSERT_EQ(expected.size(), 6U) << "five entries and an abstract";
    const struct {
        ListOutput kind;
        WordFormat format;
        const char* part;
        std::vector<const char*> marks;
    } cases[] = {
        {ListOutput::Docx, WordFormat::Docx, "word/document.xml", {"w:hanging=\"720\"", "<w:i/>"}},
        {ListOutput::Odt,
         WordFormat::Odt,
         "content.xml",
         {"text:style-name=\"Citavox_List\"", "fo:font-style=\"italic\""}},
    };
    for (const auto& c : cases) {
        request.kind = c.kind;
        ASSERT_TRUE(lists.Make(request, "apa").outcome.ok());
        WordDocument document;
        ASSERT_TRUE(document.Load(lists.Output(), "list").ok());
        EXPECT_EQ(document.Format(), c.format);
        EXPECT_EQ(Paragraphs(document.Text()), expected);
        ZipPackage package;
        std::string xml;
        ASSERT_TRUE(package.Open(lists.Output(), "list").ok());
        ASSERT_TRUE(package.Read(c.part, xml).ok());
        for (const char* mark : c.marks) {
            EXPECT_NE(xml.find(mark), std::string::npos) << mark;
        }
    }
}

bool HaveTool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Counts the paragraphs of a pandoc JSON document and the emphasised spans in them.
void CountBlocks(const QJsonArray& blocks, int& paragraphs, int& emphasised) {
    for (const QJsonValue& block : blocks) {
        const QJsonObject o = block.toObject();
        if (o.value(QStringLiteral("t")).toString() == QStringLiteral("Para")) {
            ++paragraphs;
            for (const QJsonValue& inl : o.value(QStringLiteral("c")).toArray()) {
                emphasised +=
                    inl.toObject().value(QStringLiteral("t")).toString() == QStringLiteral("Emph")
                        ? 1
                        : 0;
            }
        }
    }
}

TEST(ReferenceList, PandocReadsOneParagraphPerReferenceWithItsStyles) {
    if (!HaveTool("pandoc")) {
        GTEST_SKIP() << "pandoc is not installed (scripts/setup installs it)";
    }
    Lists lists;
    ListRequest request;
    request.kind = ListOutput::Rtf;
    request.output = lists.dir.File("list.rtf");
    const ListReport r = lists.Make(request, "apa");
    ASSERT_TRUE(r.outcome.ok());
    const std::string command = "pandoc -f rtf -t json '" + request.output + "' -o '" +
                                lists.dir.File("list.json") + "' 2>'" +
                                lists.dir.File("pandoc.err") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(lists.dir.File("pandoc.err"));
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes(lists.dir.File("list.json"))));
    int paragraphs = 0;
    int emphasised = 0;
    CountBlocks(doc.object().value(QStringLiteral("blocks")).toArray(), paragraphs, emphasised);
    EXPECT_EQ(paragraphs, r.entries);
    EXPECT_GE(emphasised, r.entries - 1) << "the journal names are italic";
}

TEST(ReferenceList, LatexListTypesets) {
    if (!HaveTool("pdflatex")) {
        GTEST_SKIP() << "pdflatex is not installed (scripts/setup installs texlive-latex-base)";
    }
    Lists lists;
    ListRequest request;
    request.kind = ListOutput::Latex;
    request.numbered = true;
    request.includeAbstract = true;
    request.output = lists.dir.File("list.tex");
    ASSERT_TRUE(lists.Make(request, "apa").outcome.ok());
    const std::string command = "cd '" + lists.dir.Path().string() +
                                "' && pdflatex -interaction=nonstopmode -halt-on-error list.tex "
                                ">latex.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadBytes(lists.dir.File("latex.log"));
}

} // namespace
} // namespace cvx
