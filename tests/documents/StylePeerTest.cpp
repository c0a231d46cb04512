// The shipped styles measured against the CSL processor. The references of examples/refs.ref,
// and two invented papers that share their authors and year with one of them
// (tests/data/formats/peer-extra.ref), are cited in a sequence of citation groups and listed,
// once by the completion engine with each shipped style and once by `pandoc --citeproc` with the
// official CSL style of the same guide (third-party files, read where they are). Both are
// normalised (white space, dashes, quotes; markup dropped) and compared reference by reference
// and citation group by citation group.
//
// Every difference must be in the table of known differences with its reason, or the test fails;
// a difference of the table that no longer occurs fails as well, so that it is removed from the
// table and the table always says what still differs. The agreement per style is printed.
//
// Input of the CSL side: the CSL JSON export of the two reference files (with the journal names of
// the journal database), cited by the citation keys the export gives them.

#include "documents/CitationGroup.h"
#include "documents/CitedReferences.h"
#include "formats/StyleText.h"
#include "journals/DatabaseJournalLookup.h"
#include "output/Exporter.h"
#include "refstore/RefArrData.h"
#include "refstore/ReferenceReader.h"
#include "text/Collation.h"
#include "text/Cp1252.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace cvx {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

const fs::path kCslDir = CITAVOX_CSL_DIR;
const fs::path kExamples = fs::path(CITAVOX_SOURCE_DIR) / "examples";
const fs::path kFormatsData = fs::path(CITAVOX_TEST_DATA) / "formats";
const fs::path kStyles = fs::path(CITAVOX_SOURCE_DIR) / "data" / "formats";

// A shipped style and the CSL style of the same guide.
struct PeerStyle {
    const char* format;
    const char* csl;
};

void PrintTo(const PeerStyle& style, std::ostream* out) {
    *out << style.format;
}

const PeerStyle kPeerStyles[] = {
    {"vancouver", "vancouver.csl"},
    {"nature", "nature.csl"},
    {"science", "science.csl"},
    {"apa", "apa.csl"},
    {"harvard", "harvard-cite-them-right.csl"},
    {"chicago-author-date", "chicago-author-date.csl"},
};

// The citation groups of the manuscript, in document order; after them every reference not yet
// cited gets a group of its own (keyed by its id), so that every reference is in the list.
struct GroupCase {
    const char* key;
    std::vector<const char*> ids;
    const char* why;
};

const GroupCase kGroups[] = {
    {"one-author", {"RN0001"}, "a single author"},
    {"two-authors", {"RN0011"}, "two authors: both names"},
    {"three-authors", {"RN0006"}, "three authors at the first citation"},
    {"three-again", {"RN0006"}, "the same reference again: a repeated citation"},
    {"seven-authors", {"RN0003"}, "more authors than any citation lists"},
    {"corporate", {"RN0014"}, "a corporate author, written whole"},
    {"same-year", {"RN0024", "EX0001", "EX0002"}, "one author list, one year: letters"},
    {"letter-again", {"EX0001"}, "a lettered reference on its own, repeated"},
    {"other-year", {"RN0028"}, "the same first author in another year"},
    {"two-in-group", {"RN0026", "RN0025"}, "two references in one group: their order"},
    {"chapter", {"RN0027"}, "a chapter by one author"},
    {"monograph", {"RN0031"}, "a monograph"},
    {"four-authors", {"RN0004"}, "four authors"},
    {"lettered-year", {"RN0033"}, "a year stored with its letter (2011a)"},
    {"corporate-book", {"RN0037"}, "a monograph by a corporate author"},
};

enum class Part { List, Citation };

// A difference between the two renderings that is understood: the style, the part, the keys
// (reference ids for the list, group keys for citations) and why they differ.
struct KnownDifference {
    const char* style;
    Part part;
    const char* keys;
    const char* why;
};

// Reasons shared by several styles.
constexpr const char* kStoredLetter =
    "the year is stored with its letter (2011a), as the reference was once cited; the CSL JSON "
    "holds the year's four digits";
constexpr const char* kCompleteRanges =
    "a range stored shortened (201-14, as MEDLINE stores ranges) is written complete, as the "
    "guide writes every range; the CSL style prints it as stored";
constexpr const char* kTitleCasedJournals =
    "the CSL processor sets journal names in title case (Fur, Bio-Medical); the style writes them "
    "as the journal list spells them";

const KnownDifference kKnownDifferences[] = {
    {"vancouver", Part::List, "RN0002 RN0025 RN0026",
     "NLM adds the English title in square brackets after a title in another language; CSL has "
     "no variable for a translated title"},
    {"vancouver", Part::List, "RN0033", kStoredLetter},

    {"nature", Part::List,
     "RN0001 RN0002 RN0003 RN0004 RN0005 RN0007 RN0008 RN0010 RN0011 RN0014 RN0015 RN0018 "
     "RN0019 RN0020 RN0021 RN0023 RN0033",
     "the CSL style prints the short journal form it is given, the MEDLINE abbreviation (J "
     "Neurosci); Nature writes the dotted abbreviation (J. Neurosci.), the database's Index "
     "Medicus form"},
    {"nature", Part::List, "RN0017",
     "the journal has no MEDLINE abbreviation, so the CSL style prints its full name; the style "
     "writes the dotted abbreviation the database has"},
    {"nature", Part::List, "EX0001 RN0004 RN0010", kCompleteRanges},
    {"nature", Part::List, "RN0012 RN0013 RN0022 RN0027 RN0028 RN0029 RN0030",
     "Nature writes no chapter title and \"eds\" without a full stop (its example: \"in Injury "
     "Control (eds Rivara, F. P. et al.)\"), and shortens five editors to the first and et al.; "
     "the CSL style writes the title, \"eds.\" and up to five editors"},
    {"nature", Part::List, "RN0031 RN0032 RN0034 RN0035 RN0036 RN0037",
     "the CSL style ends a book title with a full stop before the parenthesis; Nature's example "
     "has none (\"... 5th edn (Harper & Row, 1974)\")"},
    {"nature", Part::List, "RN0033", kStoredLetter},

    {"science", Part::List,
     "EX0001 EX0002 RN0001 RN0002 RN0003 RN0004 RN0005 RN0006 RN0007 RN0009 RN0010 RN0011 "
     "RN0016 RN0017 RN0018 RN0021 RN0023 RN0024 RN0025 RN0026 RN0033",
     "the CSL style prints the MEDLINE abbreviation it is given (or the full name where there is "
     "none) and ends it with a full stop (\"J Neurosci.\", \"Planta.\"); Science writes the "
     "dotted abbreviation and nothing after a name (\"Science 286\")"},
    {"science", Part::List, "EX0001 RN0004 RN0010", kCompleteRanges},
    {"science", Part::List, "RN0033", kStoredLetter},

    {"apa", Part::List, "RN0002 RN0023", kTitleCasedJournals},
    {"apa", Part::List, "RN0027 RN0029 RN0030",
     "APA joins two editors with \"&\" alone and three or more with \", &\"; a format has one "
     "text before the last name, and the style keeps the comma that longer lists need"},
    {"apa", Part::List, "RN0033", kStoredLetter},
    {"apa", Part::Citation, "lettered-year", kStoredLetter},

    {"harvard", Part::List, "EX0001 RN0004 RN0010", kCompleteRanges},
    {"harvard", Part::List, "RN0012 RN0013",
     "the CSL style puts a comma before the last of three editors, which Cite Them Right, like "
     "its author lists, does not; and it writes \"(eds)\" (below)"},
    {"harvard", Part::List, "RN0022 RN0027 RN0029 RN0030",
     "two or more editors are \"(eds.)\" with its full stop, as one is \"(ed.)\"; the CSL style "
     "writes \"(eds)\" without one"},
    {"harvard", Part::List, "RN0033", kStoredLetter},
    {"harvard", Part::Citation, "lettered-year", kStoredLetter},

    {"chicago-author-date", Part::List, "RN0002 RN0023", kTitleCasedJournals},
    {"chicago-author-date", Part::List, "RN0006",
     "the 17th edition shortens 2896-2903 to 2896-903 (every changed digit); the CSL processor "
     "keeps the older rule that writes a four-digit range with three changed digits in full"},
    {"chicago-author-date", Part::List, "RN0012 RN0013 RN0022",
     "Chicago puts a comma before the last of three or more editors but none between two; a "
     "format has one text before the last name, and the style writes \" and \""},
    {"chicago-author-date", Part::List, "RN0033", kStoredLetter},
    {"chicago-author-date", Part::Citation, "three-authors three-again other-year RN0016 RN0029",
     "Chicago cites three authors with a serial comma (\"A, B, and C\"); a format has one text "
     "before the last name, and the style writes \" and \" as two names need"},
    {"chicago-author-date", Part::Citation, "lettered-year", kStoredLetter},
};

std::string Normalised(std::string text) {
    static const std::pair<std::string_view, std::string_view> kSame[] = {
        {"\u2013", "-"}, {"\u2014", "-"},  {"\u2012", "-"},  {"\u2010", "-"},  {"\u2011", "-"},
        {"\u2212", "-"}, {"\u201C", "\""}, {"\u201D", "\""}, {"\u201E", "\""}, {"\u2018", "'"},
        {"\u2019", "'"}, {"\u00A0", " "},  {"\u2009", " "},  {"\u202F", " "},  {"\t", " "},
        {"\r", " "},     {"\n", " "},
    };
    for (const auto& [from, to] : kSame) {
        text = ReplaceAll(text, from, to);
    }
    std::string out;
    for (char c : text) {
        if (c != ' ' || (!out.empty() && out.back() != ' ')) {
            out += c;
        }
    }
    return TrimBlanks(out);
}

// The plain text of a pandoc JSON node: the text of its Str elements, a blank for every space,
// line break and block boundary, quotes for quoted text.
void CollectText(const QJsonValue& node, std::string& out) {
    if (node.isArray()) {
        for (const QJsonValue& v : node.toArray()) {
            CollectText(v, out);
        }
        return;
    }
    if (!node.isObject()) {
        return; // identifiers, classes and link targets are not text
    }
    const QJsonObject o = node.toObject();
    const QString type = o.value("t").toString();
    if (type == "Str") {
        out += o.value("c").toString().toStdString();
    } else if (type == "Space" || type == "SoftBreak" || type == "LineBreak") {
        out += ' ';
    } else if (type == "Quoted") {
        const QJsonArray c = o.value("c").toArray();
        const bool single = c.at(0).toObject().value("t").toString() == "SingleQuote";
        out += single ? "\u2018" : "\u201C";
        CollectText(c.at(1), out);
        out += single ? "\u2019" : "\u201D";
    } else if (type == "Div" || type == "Para" || type == "Plain") {
        CollectText(o.value("c"), out);
        out += ' ';
    } else {
        CollectText(o.value("c"), out);
    }
}

// What pandoc made of the manuscript: the citation of every group, in document order, and the
// list entries by reference id.
struct PeerRendering {
    std::vector<std::string> citations;
    std::map<std::string, std::string> entries;
};

void ReadPandocBlocks(const QJsonArray& blocks, PeerRendering& result) {
    for (const QJsonValue& block : blocks) {
        const QJsonObject o = block.toObject();
        const QString type = o.value("t").toString();
        if (type == "Para") {
            for (const QJsonValue& inl : o.value("c").toArray()) {
                if (inl.toObject().value("t").toString() == "Cite") {
                    std::string text;
                    CollectText(inl.toObject().value("c").toArray().at(1), text);
                    result.citations.push_back(Normalised(text));
                }
            }
        } else if (type == "Div") {
            const QJsonArray c = o.value("c").toArray();
            const std::string id = c.at(0).toArray().at(0).toString().toStdString();
            if (id.starts_with("ref-")) {
                std::string text;
                CollectText(c.at(1), text);
                result.entries[id.substr(4)] = Normalised(text);
            } else {
                ReadPandocBlocks(c.at(1).toArray(), result);
            }
        }
    }
}

// Runs pandoc over the manuscript in Markdown; false (and the reason) when it cannot.
bool RunPandoc(const TempDir& dir, const std::string& markdown, const fs::path& csl,
               const std::string& bibliography, PeerRendering& result, std::string& reason) {
    test::WriteBytes(dir.File("paper.md"), markdown);
    const std::string command = "pandoc --citeproc --csl '" + csl.string() + "' --bibliography '" +
                                bibliography + "' -f markdown -t json '" + dir.File("paper.md") +
                                "' -o '" + dir.File("paper.json") + "' 2>'" +
                                dir.File("pandoc.err") + "'";
    if (std::system(command.c_str()) != 0) {
        reason = "pandoc failed: " + ReadBytes(dir.File("pandoc.err"));
        return false;
    }
    const std::string json = ReadBytes(dir.File("paper.json"));
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())));
    ReadPandocBlocks(doc.object().value("blocks").toArray(), result);
    return true;
}

// One reference file copied into the test's folder, with the id of each of its references.
struct SourceFile {
    std::string path;
    std::vector<std::string> ids; // by reference number
};

SourceFile CopyReferences(const TempDir& dir, const fs::path& from) {
    SourceFile file;
    file.path = dir.File(from.filename().string());
    const std::string text = ReadBytes(from.string());
    test::WriteBytes(file.path, text);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n\r\n", start);
        end = end == std::string::npos ? text.size() : end + 4;
        const TRefArrData record = ParseReference(text.substr(start, end - start), false).data;
        file.ids.push_back(FirstWord(record[FieldIndex::IdString]));
        start = end;
    }
    for (std::string& id : file.ids) {
        id = TrimBlanks(id);
    }
    return file;
}

// The CSL JSON export of the references of `files` (in one file, in their order) and the citation
// key it gave each reference id.
std::string ExportCslJson(const TempDir& dir, const std::vector<SourceFile>& files,
                          const JournalLookup& journals, std::map<std::string, std::string>& keys) {
    std::string text;
    std::vector<std::string> ids;
    for (const SourceFile& file : files) {
        text += ReadBytes(file.path);
        ids.insert(ids.end(), file.ids.begin(), file.ids.end());
    }
    std::shared_ptr<const ReferenceReader> reader;
    EXPECT_TRUE(OpenReferenceReader(FileSystem::Default(), dir.Write("all.ref", text), nullptr,
                                    false, reader)
                    .ok());
    const std::string json = dir.File("refs.json");
    ExportRequest request{reader, json, ExportLayout::CslJson, std::nullopt};
    Progress progress;
    const ExportReport exported =
        ExportReferences(FileSystem::Default(), request, {&journals}, progress);
    EXPECT_TRUE(exported.outcome.ok()) << exported.outcome.message();
    const std::string bytes = ReadBytes(json);
    const QJsonArray items =
        QJsonDocument::fromJson(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))
            .array();
    EXPECT_EQ(static_cast<std::size_t>(items.size()), ids.size());
    for (qsizetype i = 0; i < items.size() && static_cast<std::size_t>(i) < ids.size(); ++i) {
        keys[ids[static_cast<std::size_t>(i)]] =
            items[i].toObject().value("id").toString().toStdString();
    }
    return json;
}

// The agreement of one part: the keys that differ, with both texts.
struct Comparison {
    int agree = 0;
    int total = 0;
    std::map<std::string, std::pair<std::string, std::string>> differences; // ours, theirs
};

void Compare(const std::string& key, const std::string& ours, const std::string& theirs,
             Comparison& result) {
    ++result.total;
    if (ours == theirs) {
        ++result.agree;
    } else {
        result.differences[key] = {ours, theirs};
    }
}

// Checks the differences of one part against the table.
void CheckAgainstTable(const std::string& style, Part part, const Comparison& comparison,
                       const std::set<std::string>& allKeys) {
    std::set<std::string> known;
    for (const KnownDifference& d : kKnownDifferences) {
        if (d.style != style || d.part != part) {
            continue;
        }
        std::istringstream keys(d.keys);
        for (std::string key; keys >> key;) {
            EXPECT_TRUE(allKeys.contains(key))
                << style << ": the table names " << key << ", which this comparison does not have";
            known.insert(key);
        }
    }
    const char* what = part == Part::List ? "list entry" : "citation group";
    for (const auto& [key, texts] : comparison.differences) {
        EXPECT_TRUE(known.contains(key))
            << style << ", " << what << " " << key
            << " differs from the CSL processor:\n  ours:   " << texts.first
            << "\n  theirs: " << texts.second
            << "\nMend the style or the renderer, or add the difference with its reason to the "
               "table of known differences.";
    }
    for (const std::string& key : known) {
        EXPECT_TRUE(comparison.differences.contains(key) || !allKeys.contains(key))
            << style << ", " << what << " " << key
            << " now agrees with the CSL processor: remove it from the table of known "
               "differences.";
    }
}

class StylePeer : public ::testing::TestWithParam<PeerStyle> {};

TEST_P(StylePeer, AgreesWithTheCslProcessorOrTheDifferenceIsKnown) {
    const PeerStyle style = GetParam();
    const fs::path csl = kCslDir / style.csl;
    if (!fs::exists(csl)) {
        GTEST_SKIP() << "the CSL styles are read in place from " << kCslDir.string()
                     << ", which does not exist (set the CMake cache path CITAVOX_SHARED_DIR to "
                        "the shared folder)";
    }
    if (std::system("pandoc --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pandoc is not installed (scripts/setup installs it)";
    }

    const TempDir dir;
    const std::vector<SourceFile> files = {CopyReferences(dir, kExamples / "refs.ref"),
                                           CopyReferences(dir, kFormatsData / "peer-extra.ref")};
    std::map<std::string, std::pair<int, int>> byId; // id -> (file, number)
    for (int f = 0; f < static_cast<int>(files.size()); ++f) {
        for (int n = 0; n < static_cast<int>(files[f].ids.size()); ++n) {
            byId[files[f].ids[n]] = {f, n};
        }
    }

    // The manuscript: the groups of the table, then every reference not yet cited.
    std::vector<GroupCase> groups(std::begin(kGroups), std::end(kGroups));
    std::set<std::string> cited;
    for (const GroupCase& g : groups) {
        cited.insert(g.ids.begin(), g.ids.end());
    }
    for (const SourceFile& file : files) {
        for (const std::string& id : file.ids) {
            if (!cited.contains(id)) {
                groups.push_back({id.c_str(), {id.c_str()}, "every reference is cited"});
            }
        }
    }
    const DatabaseJournalLookup journals(CITAVOX_JOURNAL_DATABASE);
    ASSERT_TRUE(journals.Usable());
    std::map<std::string, std::string> keys; // reference id -> citation key of the export
    const std::string bibliography = ExportCslJson(dir, files, journals, keys);

    std::string markdown;
    std::vector<CitationRequest> requests;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        std::string group;
        for (const char* id : groups[g].ids) {
            ASSERT_TRUE(byId.contains(id)) << id;
            const auto [file, number] = byId.at(id);
            requests.push_back({files[static_cast<std::size_t>(file)].path, number,
                                static_cast<int>(requests.size() + 1), static_cast<int>(g + 1)});
            group += (group.empty() ? "@" : "; @") + keys[id];
        }
        markdown += "[" + group + "]\n\n";
    }

    // Our rendering, as completion makes it.
    TFormatDesc format;
    const Outcome compiled = CompileFormat(
        ReadBytes((kStyles / (std::string(style.format) + ".txt")).string()), format.record);
    ASSERT_TRUE(compiled) << compiled.message();
    RenderOptions render;
    render.journals = &journals;
    const auto collation = static_cast<Collation>(format.record.charSortOrder);
    SelectCollation(collation);
    TCitedReferences references;
    const Outcome collected =
        references.Collect(requests, collation, render, FileSystem::Default(), nullptr);
    ASSERT_TRUE(collected) << collected.message();
    references.Prepare(format, collation, render);

    PeerRendering theirs;
    std::string reason;
    ASSERT_TRUE(RunPandoc(dir, markdown, csl, bibliography, theirs, reason)) << reason;
    // The processor names its entries by citation key; the comparison by reference id.
    std::map<std::string, std::string> entriesById;
    for (const auto& [id, key] : keys) {
        entriesById[id] = theirs.entries[key];
    }
    theirs.entries = entriesById;
    ASSERT_EQ(theirs.citations.size(), groups.size());

    auto plain = [](std::string_view marked) {
        return Normalised(Cp1252ToUtf8(CodesToPlainText(marked)));
    };
    Comparison list;
    std::set<std::string> listKeys;
    const std::vector<std::string> entries = ReferenceListEntries(format, references);
    for (std::size_t place = 0; place < entries.size(); ++place) {
        const TOneActualRef& ref =
            references.References()[static_cast<std::size_t>(references.ListOrder()[place])];
        const std::size_t file = ref.file == files[0].path ? 0 : 1;
        const std::string& id = files[file].ids[static_cast<std::size_t>(ref.number)];
        listKeys.insert(id);
        Compare(id, plain(entries[place]), theirs.entries[id], list);
    }

    Comparison citations;
    std::set<std::string> groupKeys;
    CitationGroupFormatter formatter(format, references, collation);
    std::size_t citation = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        std::vector<GroupCitation> group;
        for (std::size_t k = 0; k < groups[g].ids.size(); ++k) {
            group.push_back({references.ReferenceOf(citation++), 0, {}});
        }
        groupKeys.insert(groups[g].key);
        Compare(groups[g].key, plain(formatter.Format(group)), theirs.citations[g], citations);
    }

    std::cout << style.format << " against " << style.csl << ": reference list " << list.agree
              << " of " << list.total << " agree, citation groups " << citations.agree << " of "
              << citations.total << " agree\n";
    RecordProperty("list_agreement",
                   std::to_string(list.agree) + " of " + std::to_string(list.total));
    RecordProperty("citation_agreement",
                   std::to_string(citations.agree) + " of " + std::to_string(citations.total));
    CheckAgainstTable(style.format, Part::List, list, listKeys);
    CheckAgainstTable(style.format, Part::Citation, citations, groupKeys);
}

INSTANTIATE_TEST_SUITE_P(ShippedStyles, StylePeer, ::testing::ValuesIn(kPeerStyles),
                         [](const ::testing::TestParamInfo<PeerStyle>& instance) {
                             std::string name = instance.param.format;
                             std::erase(name, '-');
                             return name;
                         });

} // namespace
} // namespace cvx
