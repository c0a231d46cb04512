// Values that downloads carry in shapes the readers once lost or ruined: each row is a small
// record of our own in the layout where the shape occurs, with the field it must give.

#include "ImportRun.h"
#include "refstore/RefArrData.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "vorodud/ImportJob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

namespace cvx {
namespace {

using F = FieldIndex;

struct Case {
    std::string type;   // the source type's key
    std::string source; // the download
    F field;
    std::string expected;
    std::string why;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.why;
}

constexpr SourceType kJournal = SourceType::Journal;

// A SilverPlatter record with a month before the volume, an editor mark and a language code.
const std::string kSilverPlatter =
    "TI:  A title\nAU:  Supek-S; Aine-CJ(ed)\nSO:  IEEE-Trans-Biomed-Eng 1993 Jun 40(6): 529-40\n"
    "LA: ENGLISH\nAN: 94085977 ENG\nPY: 1993\n";

// The same without a blank after the labels' colons.
const std::string kSilverPlatterTight =
    "TI:A title\nAU:Supek-S\nSO:IEEE-Trans-Biomed-Eng 1993 Jun 40(6): 529-40\nPY:1993\n";

// A SilverPlatter page list: its comma once ended the month before the volume.
const std::string kSilverPlatterList =
    "TI:  A title\nAU:  Supek-S\nSO:  IEEE-Trans-Biomed-Eng 1993 Jun 40(6): 529-40, 545\n"
    "PY: 1993\n";

// Page lists in the citation lines of a host session, an index's V-N-P form and Ovid's source
// with its date, in the separate page field of IGAKU and in a list of references.
const std::string kHostList = "UI  - 1\nTI  - T\nAU  - Bergel F\nSO  - Lancet 1998;12(3):123-9, "
                              "131\nAB  - An abstract.\n";
const std::string kHostDiscussion =
    "UI  - 1\nTI  - T\nAU  - Bergel F\nSO  - Lancet 1998;351:778-84; discussion 785-6.\n";
const std::string kDialogList = " 1/9/1\nDIALOG(R)File  34:SciSearch(R) Cited Ref Sci\nTI- T\n"
                                "AU- Tanaka K\nSO- PHYS REV B, 1995, V51, N13, P8542-50, 8555\n";
const std::string kOvidList = "<1>\nAuthor\n  Kohler, Lars\nTitle\n  A title.\nSource\n"
                              "  Ecohydrology.   8(6):1048-64, 1070, September 2015.\n";
const std::string kIgakuList = "UI: 1\nTI: T\nAU: Yamada T\nJN: Jpn J Clin Oncol\nVO: 26\nIS: 3\n"
                               "PG: 141-5, 150\nDP: 1996\n";
const std::string kBibliographyList =
    "Smith J, Jones K. Screening for cancer. Lancet 1998;351:778-84, 790.\n";

const Case kCases[] = {
    // Tag lines without a blank after the separator.
    {"ris", "TY  - JOUR\nTI  -This is a title\nA1  -Bergel, F\nJO  - J\nER  -\n", F::Title,
     "This is a title", "RIS value right after the hyphen"},
    {"ris", "TY  - JOUR\nTI  -This is a title\nA1  -Bergel, F\nJO  - J\nER  -\n", F::Authors,
     "Bergel, F.", "RIS author right after the hyphen"},
    {"medline", "PMID- 1\nTI  -A title\nAU  -Bergel F\nJT  - J\n", F::Title, "A title",
     "MEDLINE value right after the hyphen"},
    {"host-medline",
     "UI  - 1\nTI  -A host title\nAU  -Bergel F\nSO  -Lancet 1998;12(3):123-9\nMH  -Heart\n",
     F::Title, "A host title", "an older layout's value right after the hyphen"},
    {"host-medline",
     "UI  - 1\nTI  -A host title\nAU  -Bergel F\nSO  -Lancet 1998;12(3):123-9\nMH  -Heart\n",
     F::Authors, "Bergel, F.", "an older layout's author right after the hyphen"},
    {"copac", "TI-Report\nAU-Smith, John\nPU-London : Butterworths\nPY-1990\n", F::Title, "Report",
     "a catalogue's value right after the hyphen"},
    {"ris", "TY  - JOUR\nTI  - PUMPS TRANSPORTING RIGID PARTICLES IN STOKES FLOW\nJO  - J\nER  -\n",
     F::Title, "Pumps Transporting Rigid Particles in Stokes Flow",
     "a title in capitals keeps its small words small"},
    // Name suffixes, et al., capitals, addresses in names.
    {"medline", "PMID- 1\nTI  - T\nAU  - Bitter P Jr\nJT  - J\n", F::Authors, "Bitter Jr, P.",
     "MEDLINE suffix after the initials"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Bitter, P., Jr.\nJO  - J\nER  -\n", F::Authors,
     "Bitter Jr, P.", "RIS suffix after a comma"},
    {"refer", "%0 Journal Article\n%T T\n%A Smith, John, III\n%J J\n", F::Authors, "Smith III, J.",
     "Refer generation number"},
    {"medline", "PMID- 1\nTI  - T\nAU  - Fern\xE1ndez SR\nJT  - J\n", F::Authors,
     "Fern\xE1ndez, S R.", "packed initials that spell a suffix are initials"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, II\nJO  - J\nER  -\n", F::Authors, "Smith, I I.",
     "capitals right after the comma are initials"},
    {"medline", "PMID- 1\nTI  - T\nAU  - Bitter P SR\nJT  - J\n", F::Authors, "Bitter Sr, P.",
     "a suffix in capitals after the initials"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Bitter, P Jr\nJO  - J\nER  -\n", F::Authors,
     "Bitter Jr, P.", "RIS suffix after the initials, without a comma"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Bitter, Peter III\nJO  - J\nER  -\n", F::Authors,
     "Bitter III, P.", "RIS generation after the given name"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Peter Smith III\nJO  - J\nER  -\n", F::Authors,
     "Smith III, P.", "a generation after a name written given name first"},
    {"bibtex", "@article{k, title={T}, author={Bitter, III, Peter}, journal={J}, year=2001}\n",
     F::Authors, "Bitter III, P.", "BibTeX's von Last, Jr, First"},
    {"wos", "PT J\nAU Bitter, PJ Jr\nTI T\nSO J\nER\n", F::Authors, "Bitter Jr, P J.",
     "WoS suffix after packed initials"},
    {"wos", "PT J\nAU Fernandez, SR\nTI T\nSO J\nER\n", F::Authors, "Fernandez, S R.",
     "WoS packed initials that spell a suffix"},
    {"refer", "%0 Journal Article\n%T T\n%A Peter Smith Jr.\n%J J\n", F::Authors, "Smith Jr, P.",
     "Refer suffix after a name written given name first"},
    {"medline", "PMID- 1\nTI  - T\nAU  - Smith J 3rd\nJT  - J\n", F::Authors, "Smith III, J.",
     "MEDLINE generation as an ordinal"},
    {"medline", "PMID- 1\nTI  - T\nAU  - Smith J\nAU  - et al.\nJT  - J\n", F::Authors, "Smith, J.",
     "et al. is no author"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - CASTOE, TODD A.\nJO  - J\nER  -\n", F::Authors,
     "CASTOE, T A.", "given names in capitals are names, not initials"},
    {"wos", "PT J\nAU Medvedeff, Cassandra A. (name@host)\nTI T\nSO J\nPS 170\nER\n", F::Authors,
     "Medvedeff, C A.", "an e-mail address after a WoS name"},
    {"wos", "PT J\nAU Smith J; Jones K\nTI T\nSO J\nER\n", F::Authors, "Smith, J. Jones, K.",
     "several WoS authors on one line"},
    {"copac",
     "TI- Report\nAU- Universit\xE4t Karlsruhe. Fakult\xE4t f\xFCr Informatik\n"
     "PU- Karlsruhe : Selbstverlag\nPY- 1990\nSE- Interne Berichte\n",
     F::Authors, "\"Universit\xE4t Karlsruhe. Fakult\xE4t f\xFCr Informatik\".",
     "a corporate author stays whole"},
    {"copac",
     "TI- Report\nAU- Smith, John\nPU- London : Butterworths\nPY- 1990\nSE- Interne Berichte\n",
     F::Comments, "Interne Berichte", "the series line is kept"},
    // Pages, article numbers, volumes.
    {"wos", "PT J\nAU Smith, J\nTI T\nSO J\nPS 2457-71\nER\n", F::PageLast, "2471",
     "WoS page span from MEDLINE"},
    {"wos", "PT J\nAU Smith, J\nTI T\nSO Journal of Physics: Condensed Matter\nER\n", F::Journal,
     "Journal of Physics: Condensed Matter", "a colon in a journal name"},
    {"wos", "PT J\nAU Smith, J\nTI T\nSO J\nPS 170\nER\n", F::PageFirst, "170",
     "a lone WoS page span"},
    {"wos", "PT J\nAU Smith, J\nTI T\nSO J\nBP 41103-1\nEP 41103-41103-3\nER\n", F::PageFirst,
     "41103", "an Inspec article number with its page count"},
    {"medline", "PMID- 1\nTI  - T\nAU  - Smith J\nJT  - J\nLID - e00466 [pii]\n", F::PageFirst,
     "e00466", "a MEDLINE article number without pages"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nM1  - e0815\nER  -\n", F::PageFirst,
     "e0815", "a RIS article number in M1"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nVL  - 50(2)\nER  -\n", F::Issue, "2",
     "a volume with its issue"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nVL  - 50(2)\nER  -\n", F::Volume, "50",
     "a volume with its issue keeps its own digits"},
    {"refer", "%0 Journal Article\n%T T\n%A Smith, J\n%J J\n%P 94-98,93\n", F::PageLast, "98",
     "a page list keeps its first range"},
    {"refer", "%0 Journal Article\n%T T\n%A Smith, J\n%J J\n%P 94-98,93\n", F::Comments,
     "Pages: 94-98,93", "a page list's rest is kept in the comments"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nSP  - 94-8, 93\nER  -\n", F::Comments,
     "Pages: 94-8, 93", "a RIS page list in the comments"},
    {"wos", "PT J\nAU Smith, J\nTI T\nSO J\nAR 041103\nER\n", F::PageFirst, "041103",
     "a WoS article number without pages"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nSP  - 94-8, 93\nER  -\n", F::PageLast,
     "98", "an abbreviated first range of a list is expanded"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nPY  - 99\nY1  - 2001/09/01/\nER  -\n",
     F::Year, "2001", "an unusable first year line"},
    // Kinds of work.
    {"ris",
     "TY  - CONF\nTI  - A paper\nAU  - Smith, J\nT2  - Proceedings of X\nJ2  - Proc X\n"
     "ED  - Jones, K\nPB  - ACM\nCY  - New York\nER  -\n",
     F::BookTitle, "Proceedings of X", "a conference paper is a chapter of its proceedings"},
    {"ris", "TY  - CHAP\nTI  - A chapter\nAU  - Smith, J\nT2  - The book\nJ2  - Bk\nER  -\n",
     F::BookTitle, "The book", "the type decides, J2 is only an abbreviation"},
    {"ris", "TY  - CHAP\nTI  - A chapter\nAU  - Smith, J\nJ2  - Abbr\nPB  - P\nER  -\n",
     F::Publisher, "P", "a chapter without its book keeps its publisher"},
    {"ris", "TY  - CHAP\nTI  - A chapter\nAU  - Smith, J\nJ2  - Abbr\nPB  - P\nER  -\n", F::Journal,
     "", "a chapter's J2 is never its journal"},
    {"ris",
     "TY  - CONF\nTI  - A paper\nAU  - Smith, J\nED  - Jones, K\nPB  - ACM\nCY  - New York\n"
     "ER  -\n",
     F::Comments, "Editors: Jones, K.", "a paper without its proceedings keeps its editors"},
    {"ris", "TY  - CHAP\nTI  - A chapter\nAU  - Smith, J\nT2  - The book\nA3  - Series, E\nER  -\n",
     F::Editors, "Series, E.", "a chapter's series editors are editors"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nA3  - Series, E\nER  -\n", F::Comments,
     "Series editors: Series, E.", "series editors of a type without editors"},
    {"refer", "%0 Book Section\n%T A chapter\n%A Smith, J\n%J Series\n%I P\n", F::Publisher, "P",
     "a Refer section without its book keeps its publisher"},
    {"bibtex",
     "@inproceedings{k, title={A paper}, author={Smith, J}, publisher={ACM}, year=2001}\n",
     F::BookTitle, "A paper", "a BibTeX paper without its proceedings is a work of its own"},
    // Numbers of works without a journal.
    {"ris", "TY  - RPRT\nTI  - A report\nAU  - Smith, J\nPB  - Agency\nM1  - NUM-1\nER  -\n",
     F::PageFirst, "", "a report's number is no page"},
    {"ris", "TY  - RPRT\nTI  - A report\nAU  - Smith, J\nPB  - Agency\nM1  - NUM-1\nER  -\n",
     F::Comments, "Number: NUM-1", "a report's number is kept in the comments"},
    {"ris", "TY  - PAT\nTI  - A patent\nAU  - Smith, J\nM1  - US1234567\nER  -\n", F::Comments,
     "Number: US1234567", "a patent's number"},
    {"ris", "TY  - BOOK\nTI  - A book\nAU  - Smith, J\nPB  - P\nIS  - 7\nER  -\n", F::Issue, "",
     "a book has no issue"},
    {"ris", "TY  - BOOK\nTI  - A book\nAU  - Smith, J\nPB  - P\nIS  - 7\nER  -\n", F::Comments,
     "Number: 7", "a book's number in the comments"},
    {"refer", "%0 Report\n%T A report\n%A Smith, J\n%I Agency\n%R TR-42\n", F::Comments,
     "Number: TR-42", "a Refer report number"},
    {"bibtex",
     "@techreport{k, title={A report}, author={Smith, J}, institution={Agency}, number={TR-42}, "
     "year=2001}\n",
     F::Comments, "Number: TR-42", "a BibTeX report number"},
    {"bibtex",
     "@techreport{k, title={A report}, author={Smith, J}, institution={Agency}, number={TR-42}, "
     "year=2001}\n",
     F::Issue, "", "a BibTeX report number is no issue"},
    {"ris", "TY  - EDBOOK\nTI  - Collected papers\nED  - Jones, K\nPB  - Wiley\nER  -\n",
     F::Editors, "Jones, K.", "an edited book keeps its editors"},
    {"refer", "%0 Edited Book\n%T Collected papers\n%E Jones, K\n%I Wiley\n", F::Editors,
     "Jones, K.", "a Refer edited book keeps its editors"},
    {"ris", "TY  - JOUR\nTI  - T\nAU  - Smith, J\nJO  - J\nA2  - Jones, K\nER  -\n", F::Comments,
     "Editors: Jones, K.", "secondary authors of a type without editors go to the comments"},
    {"ris", "TY  - RPRT\nTI  - A report\nAU  - Smith, J\nPB  - Agency\nER  -\n", F::BookTitle,
     "A report", "a report is a monograph"},
    {"ris", "TY  - ELEC\nTI  - A web page\nUR  - http://example.org/page\nER  -\n", F::Comments,
     "http://example.org/page", "a web page is a monograph with its address"},
    {"ris", "TI  - No type line\nAU  - Smith, J\nJO  - J\nER  -\n", F::Journal, "J",
     "a record without TY is a journal article"},
    // BibTeX.
    {"bibtex",
     "@misc{k, title={A page}, howpublished={\\url{http://example.org/a.b}}, year=2001}\n",
     F::Comments, "http://example.org/a.b", "a URL is never a journal"},
    {"bibtex",
     "@article{k, title={T}, author={Ig\\'{e}, S. S. and G{\\'\\i}l, A}, journal={J}, year=2001}\n",
     F::Authors, "Ig\xE9, S S. G\xEDl, A.", "accents in names keep their letters"},
    {"bibtex",
     "@article{k, title={T}, author={O\\textquotesingle Brien, P}, journal={J}, year=2001}\n",
     F::Authors, "O'Brien, P.", "an apostrophe command in a name"},
    {"bibtex",
     "@book{k, title={T}, author={Smith, J}, publisher={\\textsc{Springer}}, year=2001}\n",
     F::Publisher, "Springer", "commands in a publisher leave no markup"},
    {"bibtex",
     "@article{k, title={T}, author={Smith, J}, journal={J}, pages={330\xE2\x80\x94"
     "331}, year=2001}\n",
     F::PageLast, "331", "an em dash between pages"},
    {"bibtex", "@proceedings{k, title={Proc}, editor={Jones, K}, publisher={P}, year=2001}\n",
     F::Editors, "Jones, K.", "proceedings with editors only"},
    // Publisher and place, addresses, identification.
    {"medline",
     "PMID- 1\nTI  - A chapter\nBTI - A book\nPB  - National Center for Biotechnology "
     "Information (US)\nPL  - Bethesda (MD)\n",
     F::Publisher, "National Center for Biotechnology Information [US]",
     "parentheses in a publisher are not the city's"},
    {"medline",
     "PMID- 1\nTI  - A chapter\nBTI - A book\nPB  - National Center for Biotechnology "
     "Information (US)\nPL  - Bethesda (MD)\n",
     F::City, "Bethesda [MD]", "parentheses in a place stay the place's"},
    {"medline", "PMID- 1\nTI  - T\nAU  - Smith J\nJT  - J\nAD  - First place\nAD  - Second place\n",
     F::Address, "First place; Second place", "every affiliation is kept"},
    {"wos",
     "PT J\nAU Smith, J\nTI T\nSO J\nC1 [Smith, J] Univ A, Dept X, City A.\n"
     "   [Jones, K] Univ B, City B.\nER\n",
     F::Address, "[Smith, J] Univ A, Dept X, City A.; [Jones, K] Univ B, City B.",
     "a WoS address over several lines is kept whole"},
    {"silverplatter", kSilverPlatter, F::Volume, "40", "a month before the volume"},
    {"silverplatter", kSilverPlatter, F::Authors, "Supek, S. Aine, C J.",
     "an editor mark after a name"},
    {"silverplatter", kSilverPlatter, F::IdString, "94085977",
     "the accession number without the language"},
    {"silverplatter", kSilverPlatter, F::Journal, "IEEE Trans Biomed Eng",
     "hyphens of a journal name are blanks"},
    {"silverplatter", kSilverPlatterTight, F::Title, "A title",
     "SilverPlatter labels without a blank after the colon"},
    {"silverplatter", kSilverPlatterTight, F::Authors, "Supek, S.",
     "a SilverPlatter author right after the colon"},
    {"silverplatter", kSilverPlatterTight, F::Volume, "40",
     "a SilverPlatter source right after the colon"},
    {"ovid",
     "<1>\nAuthor\n  Kohler, Lars 1;  Hauck, Markus MD, PhD *\nTitle\n  A title.[Article]\n"
     "Source\n  Ecohydrology.   8(6):1048-1064, September 2015.\n",
     F::Authors, "Kohler, L. Hauck, M.", "Ovid names without marks and degrees"},
    {"ovid",
     "<1>\nAuthor\n  Kohler, Lars 1\nTitle\n  A title.[Article]\n"
     "Source\n  Ecohydrology.   8(6):1048-1064, September 2015.\n",
     F::PageLast, "1064", "the Ovid source line"},
    // Page lists of the older layouts: the first range is the pages, the list goes to the
    // comments.
    {"silverplatter", kSilverPlatterList, F::Volume, "40", "a page list is no volume"},
    {"silverplatter", kSilverPlatterList, F::PageFirst, "529", "a SilverPlatter list's first page"},
    {"silverplatter", kSilverPlatterList, F::PageLast, "540",
     "a SilverPlatter list's first range, expanded"},
    {"silverplatter", kSilverPlatterList, F::Comments, "Pages: 529-40, 545",
     "a SilverPlatter list in the comments"},
    {"host-medline", kHostList, F::PageLast, "129", "a host list's first range"},
    {"host-medline", kHostList, F::Comments, "An abstract.", "the host list keeps the abstract"},
    {"host-medline", kHostList, F::Comments, "Pages: 123-9, 131", "a host list in the comments"},
    {"host-medline", kHostDiscussion, F::PageLast, "784", "pages before a discussion"},
    {"host-medline", kHostDiscussion, F::Comments, "Pages: 778-84; discussion 785-6",
     "a discussion's pages in the comments, without the final stop"},
    {"dialog-isi", kDialogList, F::PageLast, "8550", "a list in the V-N-P form"},
    {"dialog-isi", kDialogList, F::Comments, "Pages: 8542-50, 8555",
     "a V-N-P list in the comments"},
    {"ovid", kOvidList, F::PageLast, "1064", "an Ovid list's first range"},
    {"ovid", kOvidList, F::Comments, "Pages: 1048-64, 1070",
     "an Ovid list in the comments, without its date"},
    {"igaku", kIgakuList, F::PageLast, "145", "a list in a page field of its own"},
    {"igaku", kIgakuList, F::Comments, "Pages: 141-5, 150", "an IGAKU list in the comments"},
    {"bibliography", kBibliographyList, F::PageLast, "784", "a list in a reference list"},
    {"bibliography", kBibliographyList, F::Comments, "Pages: 778-84, 790",
     "a reference list's page list in the comments"},
};

class ImportFaultsTest : public ::testing::TestWithParam<Case> {};

TEST_P(ImportFaultsTest, GivesTheField) {
    const Case& c = GetParam();
    test::Importer importer;
    const std::string source = importer.dir.File("source.txt");
    test::WriteBytes(source, c.source);
    const int type = vorodud::Vorodud().TypeByKey(c.type);
    ASSERT_NE(type, 0) << c.type;
    const test::ImportResult r = importer.Run(type, source, importer.dir.File("out.ref"));
    const auto blocks = test::ReferenceBlocks(r.output);
    ASSERT_EQ(blocks.size(), 1u) << c.why << "\n" << r.dump;
    const ParsedReference p = ParseReference(blocks[0], false);
    EXPECT_FALSE(p.ruined) << blocks[0];
    const std::string& value = p.data[c.field];
    if (c.field == F::Comments) {
        EXPECT_NE(value.find(c.expected), std::string::npos) << c.why << "\n" << blocks[0];
    } else {
        EXPECT_EQ(value, c.expected) << c.why << "\n" << blocks[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, ImportFaultsTest, ::testing::ValuesIn(kCases));

// An et-al author list is said so in the comments.
TEST(ImportFaultsTest, EtAlIsNoted) {
    test::Importer importer;
    const std::string source = importer.dir.File("source.txt");
    test::WriteBytes(source, "PMID- 1\nTI  - T\nAU  - Smith J\nAU  - et al\nJT  - J\n");
    const test::ImportResult r =
        importer.Run(vorodud::Vorodud().TypeByKey("medline"), source, importer.dir.File("o.ref"));
    EXPECT_NE(r.output.find(Message(msg::VorodudTexts::EtAlNote)), std::string::npos) << r.output;
    EXPECT_EQ(ParseReference(r.output, false).data.sourceType, kJournal);
}

// A dumped record is named by its place among the records and the reason it was dumped.
TEST(ImportFaultsTest, DumpEntryGivesPositionAndReason) {
    test::Importer importer;
    const std::string source = importer.dir.File("source.ris");
    test::WriteBytes(source, "TY  - JOUR\nTI  - One\nJO  - J\nER  -\n"
                             "TY  - JOUR\nTI  - Two\nJO  - J\nER  -\n"
                             "TY  - JOUR\nAU  - Smith, J\nER  -\n");
    const test::ImportResult r =
        importer.Run(vorodud::Vorodud().TypeByKey("ris"), source, importer.dir.File("o.ref"));
    EXPECT_EQ(r.counters.written, 2);
    EXPECT_EQ(r.counters.dumped, 1);
    EXPECT_NE(r.dump.find("Reference 3 of"), std::string::npos) << r.dump;
    EXPECT_NE(r.dump.find(Message(msg::VorodudTexts::DumpNoTitleNoSource)), std::string::npos)
        << r.dump;
}

// A questioned reference shows its "???" mark, and every mark is counted.
TEST(ImportFaultsTest, QuestionedCountMatchesTheMarks) {
    test::Importer importer;
    const std::string source = importer.dir.File("source.ris");
    std::string text = "TY  - JOUR\nTI  - Long\nAU  - Smith, J\nJO  - J\nPY  - 2001\n"
                       "N1  - References:\n";
    for (int i = 0; i < 300; ++i) {
        text += "Cited work " + std::to_string(i) + "\n";
    }
    text += "ER  -\nTY  - JOUR\nTI  - Short\nAU  - Smith, J\nJO  - J\nPY  - 2001\nER  -\n";
    test::WriteBytes(source, text);
    const test::ImportResult r =
        importer.Run(vorodud::Vorodud().TypeByKey("ris"), source, importer.dir.File("o.ref"));
    int marked = 0;
    for (const std::string& block : test::ReferenceBlocks(r.output)) {
        marked += block.find("???") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(r.counters.written, 2);
    EXPECT_EQ(r.counters.questioned, 1);
    EXPECT_EQ(marked, 1);
}

// A download in a Chinese code page is converted, and its references are questioned where
// characters could not be kept; never counted as clean.
TEST(ImportFaultsTest, LegacyCodePageIsConvertedAndQuestioned) {
    test::Importer importer;
    const std::string source = importer.dir.File("source.bib");
    const std::string fields = "title={"
                               "\xBB\xF9\xD3\xDA\xC9\xEE\xB6\xC8\xD1\xA7\xCF\xB0\xB5\xC4\xD6\xD0"
                               "\xCE\xC4\xCE\xC4\xB1\xBE\xB7\xD6\xC0\xE0\xB7\xBD\xB7\xA8\xD1\xD0"
                               "\xBE\xBF}, journal={\xBC\xC6\xCB\xE3\xBB\xFA\xD1\xA7\xB1\xA8}, "
                               "author={\xD5\xC5\xC8\xFD and \xC0\xEE\xCB\xC4}";
    test::WriteBytes(source, "@article{a,\n  " + fields + ",\n  year={2001}\n}\n\n@article{b,\n  " +
                                 fields + ",\n  year={2002}\n}\n");
    const test::ImportResult r =
        importer.Run(vorodud::Vorodud().TypeByKey("bibtex"), source, importer.dir.File("o.ref"));
    EXPECT_EQ(r.counters.written, 2);
    EXPECT_EQ(r.counters.questioned, 2);
    for (char c : r.output) {
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << r.output;
    }
}

// Ovid records without their labels are no layout the driver reads: detection refuses them and
// says so.
TEST(ImportFaultsTest, OvidRecordsWithoutLabelsAreRefused) {
    test::TempDir dir;
    const std::string source = dir.Write(
        "ovid.txt", "<1>\n  Kohler, Lars\n  A title.\n  Ecohydrology. 8(6):1048-1064, 2015.\n"
                    "\n<2>\n  Hauck, Markus\n  Another title.\n  Ecology. 2(1):1-9, 2014.\n");
    const vorodud::DetectedSource detected = vorodud::DetectSource(source);
    EXPECT_EQ(detected.status, vorodud::ImportStatus::NotRecognised);
    EXPECT_EQ(detected.message, Msg(msg::VorodudTexts::SourceNotRecognised, DisplayPath(source)));
}

// An import whose every record goes to the dump file leaves no empty file behind.
TEST(ImportFaultsTest, NothingWrittenLeavesNoNewFile) {
    test::Importer importer;
    const std::string source = importer.dir.File("source.ris");
    test::WriteBytes(source, "TY  - JOUR\nAU  - Smith, J\nER  -\n");
    const std::string out = importer.dir.File("o.ref");
    const test::ImportResult r = importer.Run(vorodud::Vorodud().TypeByKey("ris"), source, out,
                                              DestinationMode::New, nullptr,
                                              /*readOutput=*/false);
    EXPECT_EQ(r.counters.dumped, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace cvx
