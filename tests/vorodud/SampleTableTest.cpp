// Every sample download of the supported formats, converted: what each holds, what its type is
// detected as, and what the written references look like. Look-alikes and unsupported layouts are
// recognised as no type.

#include "ImportRun.h"
#include "support/SharedSamples.h"
#include "vorodud/SourceDetection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

namespace cvx {
namespace {

// Rows in "lexmill/" are fixtures of our own (tests/data/lexmill); the others are real downloads,
// read from the shared folder.
constexpr std::string_view kOwnFixtures = "lexmill/";

// The file of a row, or nothing when it is a real download and the downloads are absent.
std::optional<std::string> SampleFile(const std::string& file) {
    if (file.starts_with(kOwnFixtures)) {
        return CITAVOX_TEST_DATA "/" + file;
    }
    if (!test::SamplesPresent()) {
        return std::nullopt;
    }
    return test::SamplePath(file);
}

struct Sample {
    std::string file;
    std::string type; // detected type; "" for a file that no type fits
    int written;
    int dumped;      // records without a title or a source go to the error dump file
    int complete;    // journal articles with authors, title, journal, year, volume, issue, pages
    std::string why; // what the row guards
};

// A row is listed by its file (ctest's test names show it).
void PrintTo(const Sample& s, std::ostream* os) {
    *os << s.file;
}

// The records of each download are those its notes in the shared folder's SOURCES.md state:
// written + dumped.
const Sample kTable[] = {
    {"medline/biopython_pubmed_result1.txt", "medline", 1, 0, 1, "starts with an empty line"},
    {"medline/biopython_pubmed_result3.txt", "medline", 1, 0, 1, ""},
    {"medline/biopython_pubmed_result4.txt", "medline", 1, 0, 0, "no final line break; e-pub"},
    {"medline/jabref_NbibImporterTest.nbib", "medline", 1, 0, 0, "rare tags"},
    {"medline/jabref_MedlinePlainImporterTestMultipleEntries.txt", "medline", 2, 5, 1,
     "PMC/PMCR records, a stray prose line, records without titles; one without a journal is "
     "a monograph"},
    {"medline/jabref_MedlinePlainImportTest.txt", "medline", 1, 0, 0, ""},
    {"medline/reflib-medline_cancer.nbib", "medline", 20, 0, 0, ""},
    {"medline/reflib-medline_language-LF.nbib", "medline", 40, 0, 32, "UTF-8 names"},
    {"medline/rayyan-plugins_example1.nbib", "medline", 10, 0, 9, "CRLF, UTF-8 names"},
    {"medline/rayyan-ref-parsers_example.nbib", "medline", 1, 0, 1, ""},
    {"ris/asreview_embase.ris", "ris", 6, 0, 5, "UTF-8 BOM before the first TY"},
    {"ris/asreview_ovid_psycinfo.ris", "ris", 6, 0, 1, "record numbers between records"},
    {"ris/asreview_pubmed_endnote.txt", "ris", 6, 0, 5, ""},
    {"ris/asreview_ris_issue_1099.txt", "ris", 7, 0, 3,
     "empty and untagged lines in records; a thesis is a monograph"},
    {"ris/asreview_ris_issue_992.txt", "ris", 19, 0, 3, "keywords on untagged lines"},
    {"ris/asreview_baseline_reference_types.ris", "ris", 0, 61, 0,
     "every reference type, none with a title"},
    {"ris/asreview_web_of_science.txt", "ris", 10, 0, 9, ""},
    {"ris/litstudy_example.ris", "ris", 25, 0, 8, "mixed line ends, a lone CR before TY"},
    {"ris/rispy_example_bom.ris", "ris", 0, 1, 0, "BOM; a record without title"},
    {"ris/rispy_example_utf_chars.ris", "ris", 0, 1, 0, "Cyrillic; no title"},
    {"ris/rispy_example_extraneous_data.ris", "ris", 2, 0, 2, "host lines around records"},
    {"ris/rispy_example_multiline.ris", "ris", 0, 3, 0, "no titles"},
    {"ris/jabref_RisImporterTestScience.ris", "ris", 1, 0, 0, "empty IS"},
    {"ris/jabref_RisImporterTest5a.ris", "ris", 1, 0, 0, ""},
    {"ris/jabref_RisImporterCorrupted.ris", "ris", 1, 0, 1,
     "no TY line: read as a journal article"},
    {"ris/rayyan-plugins_example1.ris", "ris", 6, 0, 1,
     "placeholder values; a generic record with a title is a monograph"},
    {"ris/pybtexris_multikey.ris", "ris", 2, 0, 1, "tags with one blank: TY - JOUR"},
    {"wos/wosfile_wos_plaintext.txt", "wos", 50, 0, 42, "BOM, long cited-reference blocks"},
    {"wos/rispy_example_wos.ris", "wos", 2, 0, 2, "plain text despite its name"},
    {"wos/jabref_IsiImporterTestWOS.isi", "wos", 2, 0, 2, ""},
    {"wos/jabref_IsiImporterTest1.isi", "wos", 1, 0, 1, "no final line break"},
    {"wos/jabref_IsiImporterTest2.isi", "wos", 3, 0, 1, "a line of one blank after VR"},
    {"wos/rayyan-ref-parsers_example.ciw", "wos", 3, 0, 3, "records without PT, without ER"},
    {"wos/uvt_savedrecs_tab-delimited.txt", "", 0, 0, 0, "tab-delimited look-alike"},
    {"refer_endnote/jabref_Endnote.book.example.enw", "refer", 1, 0, 0, "a book"},
    {"refer_endnote/jabref_Endnote.entries.enw", "refer", 1, 12, 0,
     "13 records by %0 lines; the one with a title is a monograph"},
    {"refer_endnote/jabref_refer.bibIX.ref", "refer", 4, 0, 0, "books and chapters"},
    {"refer_endnote/rayyan-plugins_example1.enw", "refer", 1, 1, 1, "authors joined by and"},
    {"refer_endnote/rayyan-plugins_example2.enw", "refer", 1, 0, 1, ""},
    {"bibtex/jabref_BibtexImporter.examples.bib", "bibtex", 2, 2, 1,
     "a blank before the brace; @set entries have no title; an undefined macro"},
    {"bibtex/jabref_encoding-windows-1252-with-header.bib", "bibtex", 0, 1, 0,
     "Windows-1252 bytes; an entry without key or title"},
    {"bibtex/jabref_tiny-LE-withBOM.bib", "bibtex", 1, 0, 1, "UTF-16LE with BOM; @STRING"},
    {"bibtex/uvt_savedrecs.bib", "bibtex", 10, 0, 6, "UTF-8 BOM; article numbers as pages"},
    {"bibtex/bibtexparser_traps.bib", "bibtex", 1, 0, 0, "a name list over two lines"},
    {"bibtex/bibtexparser_string.bib", "bibtex", 1, 0, 0, "@string macro as booktitle"},
    {"bibtex/rayyan-plugins_example1.bib", "bibtex", 5, 12, 1, "entries without titles"},
    {"other_tagged/jabref_CopacImporterTest2.txt", "copac", 2, 0, 0, "books of a catalogue"},
    {"other_tagged/jabref_InspecImportTest2.txt", "inspec", 1, 0, 0, "a header before the record"},
    {"other_tagged/jabref_SilverPlatterImporterTest1.txt", "silverplatter", 1, 0, 1,
     "labels with a tab in the source"},
    {"ovid/jabref_OvidImporterTest1.txt", "ovid", 3, 2, 0,
     "labels and indented values; a chapter, an editor, records without titles"},
    {"ovid/jabref_OvidImporterTest3.txt", "ovid", 1, 0, 0, "ahead of print: the year in Status"},
    {"ovid/jabref_OvidImporterTest4.txt", "ovid", 1, 0, 1, "a long reference list"},
    {"ovid/jabref_OvidImporterTest6.txt", "ovid", 1, 0, 0, "degrees and marks after names"},
    // The older layouts, in fixtures of our own.
    {"lexmill/host-session.txt", "host-medline", 2, 0, 2,
     "page prompt, ETB REC, form feed, the alternative record marker"},
    {"lexmill/compuserve.txt", "compuserve", 2, 0, 2, "indented record marker"},
    {"lexmill/cdrom-pages.txt", "cdrom-pages", 2, 0, 2, "a record a page, a rule line"},
    {"lexmill/dialog-isi.txt", "dialog-isi", 2, 0, 2, "V51, N13, P8542-8550"},
    {"lexmill/refupdate.txt", "refupdate", 2, 0, 2, "records begin at their authors"},
    {"lexmill/probase.txt", "probase", 2, 0, 2, "NUL AN separators"},
    {"lexmill/jicst.txt", "jicst", 2, 0, 2, "Shift-JIS, full-width letters"},
    {"lexmill/igaku.txt", "igaku", 2, 0, 1, "Shift-JIS, fields of the citation"},
    {"lexmill/entrez.html", "entrez-html", 2, 0, 2, "HTML entities"},
    {"lexmill/medline.html", "medline-html", 2, 0, 2, "fields between markup lines"},
    {"lexmill/positional.txt", "positional", 2, 0, 1, "titles of one and two lines"},
    {"lexmill/labelled.txt", "labelled", 2, 0, 1, "labels after the positions"},
    {"lexmill/bibliography.txt", "bibliography", 3, 0, 2, "paragraphs, a #L# line"},
    {"lexmill/dos-blocks.txt", "dos-blocks", 2, 0, 2, "the OEM code page"},
    {"lexmill/numbered-list.txt", "numbered-list", 3, 0, 2, "a numbered list"},
};

class SampleTableTest : public ::testing::TestWithParam<Sample> {};

TEST_P(SampleTableTest, ConvertsWithItsReferenceCount) {
    const Sample& s = GetParam();
    const std::optional<std::string> file = SampleFile(s.file);
    if (!file) {
        GTEST_SKIP() << test::SamplesMissing();
    }
    const std::string& path = *file;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const vorodud::Vorodud driver;
    const int type = vorodud::DetectSourceType(path);
    EXPECT_EQ(driver.TypeKey(type), s.type) << s.why;
    if (s.type.empty()) {
        return;
    }
    test::Importer importer;
    const std::string out = importer.dir.File("out.ref");
    const test::ImportResult r = importer.Run(type, path, out);
    ASSERT_EQ(r.code, vorodud::ResultCode::Done) << r.text;
    EXPECT_EQ(r.counters.written, s.written) << s.why;
    EXPECT_EQ(r.counters.dumped, s.dumped) << s.why;
    const std::vector<std::string> blocks = test::ReferenceBlocks(r.output);
    EXPECT_EQ(static_cast<int>(blocks.size()), s.written);
    int complete = 0;
    for (const std::string& block : blocks) {
        const ParsedReference p = ParseReference(block, false);
        EXPECT_FALSE(p.ruined) << block;
        EXPECT_NE(p.data.sourceType, SourceType::Unparsed) << block;
        const auto& f = p.data;
        if (f.sourceType == SourceType::Journal && !f[FieldIndex::Authors].empty() &&
            f[FieldIndex::Authors] != "\"\"" && !f[FieldIndex::Title].empty() &&
            !f[FieldIndex::Journal].empty() && f[FieldIndex::Year].size() == 4 &&
            !f[FieldIndex::Volume].empty() && !f[FieldIndex::Issue].empty() &&
            !f[FieldIndex::PageFirst].empty()) {
            ++complete;
        }
        // Never mojibake: UTF-8 read as code page 1252 would leave "Ã" before a byte 0x80-0xBF.
        for (std::size_t i = 0; i + 1 < block.size(); ++i) {
            const auto next = static_cast<unsigned char>(block[i + 1]);
            EXPECT_FALSE(block[i] == '\xC3' && next >= 0x80 && next <= 0xBF) << block;
        }
    }
    EXPECT_EQ(complete, s.complete) << s.why;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleTableTest, ::testing::ValuesIn(kTable),
                         [](const ::testing::TestParamInfo<Sample>& instance) {
                             std::string name = instance.param.file;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

// A journal article of each format, field by field, with the names that carry diacritics.
TEST(SampleFieldsTest, JournalArticlesOfEachFormat) {
    struct Expected {
        std::string file;
        int reference; // 1-based
        std::string authorsStart;
        std::string title;
        std::string journal;
        std::string year, volume, issue, pageFirst, pageLast;
    } cases[] = {
        {"medline/rayyan-plugins_example1.nbib", 1, "W\xF6rmann, B.",
         "Breast cancer: basics, screening, diagnostics and treatment",
         "Medizinische Monatsschrift fur Pharmazeuten", "2017", "40", "2", "55", "64"},
        {"ris/asreview_embase.ris", 1, "Liu, R. Adler, D G.",
         "Duplication cysts: Diagnosis, management, and the role of endoscopic ultrasound",
         "Endoscopic Ultrasound", "2014", "3", "3", "152", "160"},
        {"ris/litstudy_example.ris", 2, "Bob\xE1k, M. Hluchy, L. Belloum, A S Z.",
         "Reference Exascale Architecture", "", "2019", "", "", "479", "487"},
        {"wos/rayyan-ref-parsers_example.ciw", 2, "Eltabakh, M. Aref, W.",
         "Second HandsOn DB: Managing Data Dependencies Involving Human Actions(title)",
         "IEEE TRANSACTIONS ON KNOWLEDGE AND DATA ENGINEERING(journal title, in full)", "2014",
         "26", "9", "2193", "2206"},
        {"bibtex/jabref_tiny-LE-withBOM.bib", 1, "Verwilghen, D. Busoni, V. van Galen, G.",
         "Investigation of the best suture pattern to close a stuffed Christmas turkey",
         "Veterinary Record", "2011", "169", "26", "685", "686"},
        {"bibtex/jabref_BibtexImporter.examples.bib", 2,
         "Aksin, \xD6. T\xFCrkmen, H. Artok, L. \xC7"
         "etinkaya, B.",
         "Effect of immobilization on catalytic characteristics of saturated "
         "Pd-N-heterocyclic carbenes in Mizoroki-Heck reactions",
         "jomch", "2006", "691", "13", "3027", "3036"},
        {"lexmill/host-session.txt", 2, "M\xFCller, H.", "Mammography in Europe", "Eur J Cancer",
         "1997", "33", "2", "201", "209"},
        {"lexmill/dos-blocks.txt", 1, "M\xFCller, H. St\xF6hr, K.", "\xC4rztliche Versorgung",
         "Dtsch Arztebl", "1995", "92", "3", "101", "105"},
        {"refer_endnote/rayyan-plugins_example2.enw", 1, "al1, A. al2, A.", "title1", "journal1",
         "2017", "1", "10", "pages1", ""},
    };
    for (const Expected& e : cases) {
        const std::optional<std::string> file = SampleFile(e.file);
        if (!file) {
            continue; // a real download, absent: the fixtures of our own still run
        }
        const std::string& path = *file;
        test::Importer importer;
        const std::string out = importer.dir.File("out.ref");
        const test::ImportResult r = importer.Run(vorodud::DetectSourceType(path), path, out);
        const auto blocks = test::ReferenceBlocks(r.output);
        ASSERT_GE(static_cast<int>(blocks.size()), e.reference) << e.file;
        const TRefArrData f = ParseReference(blocks[e.reference - 1], false).data;
        EXPECT_TRUE(f[FieldIndex::Authors].starts_with(e.authorsStart))
            << e.file << ": " << f[FieldIndex::Authors];
        EXPECT_EQ(f[FieldIndex::Title], e.title) << e.file;
        if (!e.journal.empty()) {
            EXPECT_EQ(f[FieldIndex::Journal], e.journal) << e.file;
        }
        EXPECT_EQ(f[FieldIndex::Year], e.year) << e.file;
        EXPECT_EQ(f[FieldIndex::Volume], e.volume) << e.file;
        EXPECT_EQ(f[FieldIndex::Issue], e.issue) << e.file;
        EXPECT_EQ(f[FieldIndex::PageFirst], e.pageFirst) << e.file;
        EXPECT_EQ(f[FieldIndex::PageLast], e.pageLast) << e.file;
    }
    if (!test::SamplesPresent()) {
        GTEST_SKIP() << "only the fixtures of our own ran: " << test::SamplesMissing();
    }
}

} // namespace
} // namespace cvx
