// Exports of examples/refs.ref read by other programs and by our own import: bibutils' ris2xml
// reads the RIS export, pandoc's CSL processor the CSL JSON export, and our MEDLINE, RIS and
// BibTeX imports read their exports back, each keeping the fields that both sides carry.

#include "journals/DatabaseJournalLookup.h"
#include "output/ExportText.h"
#include "output/Exporter.h"
#include "output/PersonNames.h"
#include "refstore/RefArrData.h"
#include "refstore/ReferenceReader.h"
#include "storage/FileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "text/Cp1252.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"
#include "vorodud/ImportJob.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace cvx {
namespace {

using test::ReadBytes;
using test::TempDir;

// A copy of examples/refs.ref in `dir`: opening a reference file writes its companions beside it,
// which do not belong in the source tree.
std::string Example(const TempDir& dir) {
    const std::string copy = dir.File("refs.ref");
    if (!std::filesystem::exists(copy)) {
        std::filesystem::copy_file(std::string(CITAVOX_SOURCE_DIR) + "/examples/refs.ref", copy);
    }
    return copy;
}

std::shared_ptr<const ReferenceReader> Open(const std::string& path) {
    std::shared_ptr<const ReferenceReader> reader;
    EXPECT_TRUE(OpenReferenceReader(FileSystem::Default(), path, nullptr, false, reader).ok());
    return reader;
}

// The parsed references of a file, deleted ones left out.
std::vector<TRefArrData> References(const std::string& path) {
    const std::shared_ptr<const ReferenceReader> reader = Open(path);
    std::vector<TRefArrData> refs;
    std::string bytes;
    for (int i = 0; reader && i < reader->Count(); ++i) {
        if (!reader->IsDeleted(i) && reader->ReadRaw(i, bytes).ok()) {
            refs.push_back(ParseReference(bytes, false).data);
        }
    }
    return refs;
}

// Exports examples/refs.ref.
std::string Export(const TempDir& dir, ExportLayout layout, const std::string& name) {
    const std::shared_ptr<const ReferenceReader> reader = Open(Example(dir));
    ExportRequest request{reader, dir.File(name), layout, std::nullopt};
    Progress progress;
    const ExportReport r = ExportReferences(FileSystem::Default(), request, {}, progress);
    EXPECT_TRUE(r.outcome.ok()) << r.outcome.message();
    EXPECT_TRUE(r.unparsed.empty());
    return request.output;
}

bool HaveTool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The journal a name stands for: its full name in the journal database, else the name itself.
std::string JournalOf(const JournalLookup& journals, const std::string& name) {
    const std::optional<JournalMatch> m = journals.LookUp(name, JournalForm::FullName);
    return m ? m->name : name;
}

// A text with its runs of blanks and line breaks as one blank, trimmed: the layouts write a field
// on one line, the imports break long ones.
std::string Spaced(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
        if (!blank) {
            out += c;
        } else if (!out.empty() && out.back() != ' ') {
            out += ' ';
        }
    }
    return TrimBlanks(out);
}

// The references of examples/refs.ref (journal articles, chapters and books, one by a body) go
// out in each layout and come back through our import of that layout with the same kind, authors,
// title, year, volume, pages and abstract; articles with the same issue and journal (the import
// writes journal names in the display form of the settings, so journals are compared as the
// journal they name), chapters and books with the same book title, publisher and city,
// chapters with the same editors; through RIS the identification strings and the translated
// titles come back too. A book whose title is unknown comes back with its book title as its title.
TEST(ExportPeers, OurImportsReadTheExportsBack) {
    const TempDir source;
    const std::vector<TRefArrData> original = References(Example(source));
    std::map<SourceType, int> kinds;
    for (const TRefArrData& r : original) {
        ++kinds[r.sourceType];
    }
    ASSERT_GT(kinds[SourceType::Journal], 20);
    ASSERT_GT(kinds[SourceType::Chapter], 3);
    ASSERT_GT(kinds[SourceType::Monograph], 3);
    const DatabaseJournalLookup journals(CITAVOX_JOURNAL_DATABASE);
    auto titled = [](const TRefArrData& r) { return !KnownText(r[FieldIndex::Title]).empty(); };
    const struct {
        ExportLayout layout;
        const char* name;
        bool ownFields; // the identification string and the translated title come back too
    } layouts[] = {{ExportLayout::Medline, "out.txt", false},
                   {ExportLayout::Ris, "out.ris", true},
                   {ExportLayout::Bibtex, "out.bib", false}};
    for (const auto& l : layouts) {
        TempDir dir;
        const std::string exported = Export(dir, l.layout, l.name);
        vorodud::ImportSettings settings;
        settings.errorDumpFile = dir.File("errors.dmp");
        vorodud::ImportRequest request;
        request.source = exported;
        request.destination = dir.File("back.ref");
        Progress progress;
        const vorodud::ImportReport imported = vorodud::Import(request, settings, progress);
        ASSERT_TRUE(imported.Succeeded()) << l.name;
        const std::vector<TRefArrData> back = References(dir.File("back.ref"));
        ASSERT_EQ(back.size(), original.size()) << l.name;
        for (std::size_t i = 0; i < back.size(); ++i) {
            const TRefArrData& o = original[i];
            const TRefArrData& b = back[i];
            const std::string where = std::string(l.name) + " reference " + std::to_string(i + 1) +
                                      " (kind " + std::to_string(static_cast<int>(o.sourceType)) +
                                      ")";
            const bool article = o.sourceType == SourceType::Journal;
            EXPECT_EQ(b[FieldIndex::Authors], o[FieldIndex::Authors]) << where;
            EXPECT_EQ(b[FieldIndex::Title],
                      titled(o) ? o[FieldIndex::Title] : o[FieldIndex::BookTitle])
                << where;
            EXPECT_EQ(b[FieldIndex::Year], o[FieldIndex::Year].substr(0, 4)) << where;
            EXPECT_EQ(Spaced(b[FieldIndex::Comments]), Spaced(o[FieldIndex::Comments])) << where;
            if (l.ownFields) {
                EXPECT_EQ(b[FieldIndex::IdString], o[FieldIndex::IdString]) << where;
                EXPECT_EQ(b[FieldIndex::TranslTitle], o[FieldIndex::TranslTitle]) << where;
            }
            EXPECT_EQ(b.sourceType, o.sourceType) << where;
            EXPECT_EQ(b[FieldIndex::PageFirst], o[FieldIndex::PageFirst]) << where;
            // "409-18" is stored short; the layouts and the imports give the last page whole.
            EXPECT_EQ(CompleteLastPage(b[FieldIndex::PageFirst], b[FieldIndex::PageLast]),
                      CompleteLastPage(o[FieldIndex::PageFirst], o[FieldIndex::PageLast]))
                << where;
            EXPECT_EQ(b[FieldIndex::Volume], o[FieldIndex::Volume]) << where;
            if (article) {
                EXPECT_EQ(b[FieldIndex::Issue], o[FieldIndex::Issue]) << where;
                EXPECT_EQ(JournalOf(journals, b[FieldIndex::Journal]),
                          JournalOf(journals, o[FieldIndex::Journal]))
                    << where;
                continue;
            }
            EXPECT_EQ(b[FieldIndex::BookTitle], o[FieldIndex::BookTitle]) << where;
            EXPECT_EQ(b[FieldIndex::Publisher], o[FieldIndex::Publisher]) << where;
            EXPECT_EQ(b[FieldIndex::City], o[FieldIndex::City]) << where;
            if (o.sourceType == SourceType::Chapter) {
                EXPECT_EQ(b[FieldIndex::Editors], o[FieldIndex::Editors]) << where;
            }
        }
    }
}

// One record of a MODS file as far as the comparison needs it.
struct ModsRecord {
    std::vector<std::string> families;
    std::string title;
    std::string journal;
    std::string year;
    std::map<std::string, std::string> details; // volume, issue
    std::string start;
    std::string end;
};

std::vector<ModsRecord> ReadMods(const std::string& xml) {
    std::vector<ModsRecord> records;
    QXmlStreamReader in(QByteArray::fromStdString(xml));
    int depth = 0;      // inside <relatedItem type="host">
    std::string detail; // the type of the open <detail>
    std::string namePart;
    while (!in.atEnd()) {
        in.readNext();
        if (in.isEndElement() && in.name() == QStringLiteral("relatedItem")) {
            --depth;
        }
        if (!in.isStartElement()) {
            continue;
        }
        const QString name = in.name().toString();
        const std::string type =
            in.attributes().value(QStringLiteral("type")).toString().toStdString();
        if (name == QStringLiteral("mods") && depth == 0) {
            records.emplace_back();
        } else if (records.empty()) {
            continue;
        } else if (name == QStringLiteral("relatedItem")) {
            ++depth;
        } else if (name == QStringLiteral("namePart") && type == "family" && depth == 0) {
            records.back().families.push_back(in.readElementText().toStdString());
        } else if (name == QStringLiteral("title")) {
            (depth == 0 ? records.back().title : records.back().journal) =
                in.readElementText().toStdString();
        } else if (name == QStringLiteral("dateIssued")) {
            records.back().year = in.readElementText().left(4).toStdString();
        } else if (name == QStringLiteral("detail")) {
            detail = type;
        } else if (name == QStringLiteral("number") && !detail.empty()) {
            records.back().details[detail] = in.readElementText().toStdString();
        } else if (name == QStringLiteral("start")) {
            records.back().start = in.readElementText().toStdString();
        } else if (name == QStringLiteral("end")) {
            records.back().end = in.readElementText().toStdString();
        }
    }
    EXPECT_FALSE(in.hasError()) << in.errorString().toStdString();
    return records;
}

TEST(ExportPeers, Ris2xmlKeepsEveryBibliographicField) {
    if (!HaveTool("ris2xml")) {
        GTEST_SKIP() << "bibutils' ris2xml is not installed (scripts/setup installs it)";
    }
    TempDir dir;
    const std::string ris = Export(dir, ExportLayout::Ris, "out.ris");
    const std::string mods = dir.File("out.xml");
    ASSERT_EQ(
        std::system(("ris2xml -i cp1252 -nt '" + ris + "' >'" + mods + "' 2>/dev/null").c_str()),
        0);
    const std::vector<ModsRecord> records = ReadMods(ReadBytes(mods));
    const std::vector<TRefArrData> original = References(Example(dir));
    ASSERT_EQ(records.size(), original.size());
    int compared = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TRefArrData& o = original[i];
        ModsRecord m = records[i];
        if (o.sourceType != SourceType::Journal) {
            continue;
        }
        ++compared;
        const std::string where = "reference " + std::to_string(i + 1);
        std::string families;
        for (const std::string& f : m.families) {
            families += f + "|";
        }
        for (const PersonName& author : SplitNames(o[FieldIndex::Authors])) {
            if (!author.corporate) {
                EXPECT_NE(families.find(Cp1252ToUtf8(author.family) + "|"), std::string::npos)
                    << where << " " << author.family << " in " << families;
            }
        }
        EXPECT_EQ(m.title, Cp1252ToUtf8(o[FieldIndex::Title])) << where;
        EXPECT_EQ(m.journal, Cp1252ToUtf8(o[FieldIndex::Journal])) << where;
        EXPECT_EQ(m.year, o[FieldIndex::Year].substr(0, 4)) << where;
        EXPECT_EQ(m.details["volume"], o[FieldIndex::Volume]) << where;
        EXPECT_EQ(m.details["issue"], o[FieldIndex::Issue]) << where;
        EXPECT_EQ(m.start, o[FieldIndex::PageFirst]) << where;
        EXPECT_EQ(m.end, o[FieldIndex::PageLast]) << where;
    }
    EXPECT_GT(compared, 10);
}

TEST(ExportPeers, PandocCitesEveryReferenceOfTheCslJsonWithoutWarnings) {
    if (!HaveTool("pandoc")) {
        GTEST_SKIP() << "pandoc is not installed (scripts/setup installs it)";
    }
    TempDir dir;
    const std::string json = Export(dir, ExportLayout::CslJson, "refs.json");
    // A document that cites every key of the export.
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes(json)));
    ASSERT_TRUE(doc.isArray());
    std::string paper = "Text";
    for (const QJsonValue& item : doc.array()) {
        paper += " [@" + item.toObject().value(QStringLiteral("id")).toString().toStdString() + "]";
    }
    test::WriteBytes(dir.File("paper.md"), paper + ".\n");
    const std::string command = "pandoc --citeproc --bibliography='" + json + "' -t plain '" +
                                dir.File("paper.md") + "' -o '" + dir.File("paper.txt") + "' 2>'" +
                                dir.File("pandoc.err") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir.File("pandoc.err"));
    EXPECT_EQ(ReadBytes(dir.File("pandoc.err")), "");
    const std::string rendered = ReadBytes(dir.File("paper.txt"));
    EXPECT_EQ(rendered.find("???"), std::string::npos) << "a citation was not found";
    EXPECT_EQ(static_cast<std::size_t>(doc.array().size()), References(Example(dir)).size());
}

} // namespace
} // namespace cvx
