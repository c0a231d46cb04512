// The shipped style library (data/formats): every description compiles and is canonical, each
// style renders its guide's published examples as far as a format file can express them, and a
// golden file per style keeps the renderings of a varied set of references.

#include "FormatTestSupport.h"

#include "formats/StyleText.h"
#include "support/FileBytes.h"
#include "text/Cp1252.h"

#include <cstdlib>
#include <filesystem>

namespace cvx {
namespace {

using namespace cvx::test;
namespace fs = std::filesystem;

const fs::path kStyles = fs::path(CITAVOX_SOURCE_DIR) / "data" / "formats";
const fs::path kData = fs::path(CITAVOX_TEST_DATA) / "formats";

constexpr const char* kStyleNames[] = {"default", "vancouver",          "nature", "harvard", "apa",
                                       "science", "chicago-author-date"};

std::string ReadFile(const fs::path& path) {
    return ReadBytes(path.string());
}

TFormatDesc Style(const std::string& name) {
    TFormatDesc desc;
    const Outcome r = CompileFormat(ReadFile(kStyles / (name + ".txt")), desc.record);
    EXPECT_TRUE(r) << name << ": " << r.message();
    return desc;
}

// A reference from its lines (without the leading blanks) in the reference-file layout.
TRefArrData Reference(std::initializer_list<std::string_view> lines) {
    std::string block;
    for (std::string_view line : lines) {
        block += " " + Utf8ToCp1252(line) + "\r\n";
    }
    return ParseReference(block + "\r\n", false).data;
}

TEST(StyleLibrary, EveryStyleIsCanonicalAndFitsThePool) {
    for (const char* name : kStyleNames) {
        const std::string text = ReadFile(kStyles / (std::string(name) + ".txt"));
        ASSERT_FALSE(text.empty()) << name;
        FormatRecord r;
        ASSERT_TRUE(CompileFormat(text, r)) << name;
        EXPECT_EQ(DecompileFormat(r), text) << name;
        EXPECT_LE(r.poolLength, kPoolCapacity) << name;
    }
    FormatRecord r;
    ASSERT_TRUE(CompileFormat(ReadFile(kStyles / "default.txt"), r));
    EXPECT_EQ(EncodeFormat(r), EncodeFormat(DefaultFormatRecord()));
}

// One published example of a style guide: the reference, and the entry the style writes. Where
// the guide's text holds what the record or the format cannot express, `note` says so and the
// expectation is the guide's entry without it.
struct GuideExample {
    const char* style;
    const char* guide;
    TRefArrData reference;
    bool longForm;
    std::string expected; // UTF-8, with the markup codes of the style
    const char* note = "";
};

const TRefArrData kHalpern = Reference({"Halpern2002", "Halpern, S D. Ubel, P A. Caplan, A L.",
                                        "Solid-organ transplantation in HIV-infected patients.",
                                        "2002 (347(4)) pp 284-287", "N. Engl. J. Med."});
const TRefArrData kRose = Reference(
    {"Rose2002",
     "Rose, M E. Huerbin, M B. Melick, J. Marion, D W. Palmer, A M. Schiding, J K. Kochanek, P M. "
     "Graham, S H.",
     "Regulation of interstitial excitatory amino acid concentrations after cortical contusion "
     "injury.",
     "2002 (935(1-2)) pp 40-46", "Brain Res."});
const TRefArrData kDiabetes = Reference(
    {"DPP2002", "\"Diabetes Prevention Program Research Group\".",
     "Hypertension, insulin, and proinsulin in participants with impaired glucose tolerance.",
     "2002 (40(5)) pp 679-686", "Hypertension"});
const TRefArrData kEllingsen =
    Reference({"Ellingsen2002", "Ellingsen, A E. Wilhelmsen, I.",
               "Sykdomsangst blant medisin- og jusstudenter.", "2002 (122(8)) pp 785-787",
               "Tidsskr. Nor. Laegeforen.",
               "Translated title: \"Disease anxiety among medical and law students.\""});
const TRefArrData kMurray = Reference(
    {"Murray2002", "Murray, P R. Rosenthal, K S. Kobayashi, G S. Pfaller, M A.",
     "Medical microbiology.", "2002", "S: Medical microbiology. 4th ed.", "Mosby (St. Louis)"});
const TRefArrData kMeltzer =
    Reference({"Meltzer2002", "Meltzer, P S. Kallioniemi, A. Trent, J M.",
               "Chromosome alterations in human solid tumors.", "2002 () pp 93-113",
               "E: The genetic basis of human cancer.", "Vogelstein, B. Kinzler, K W.",
               "McGraw-Hill (New York)"});

TRefArrData WithJournal(TRefArrData r, const std::string& journal) {
    r[F::Journal] = journal;
    return r;
}
TRefArrData WithBookTitle(TRefArrData r, const std::string& title) {
    r[F::BookTitle] = title;
    return r;
}

const GuideExample kExamples[] = {
    // NLM, "Samples of Formatted References for Authors of Journal Articles" (the ICMJE
    // recommendations' reference examples).
    {"vancouver", "NLM samples: standard journal article", kHalpern, true,
     "Halpern SD, Ubel PA, Caplan AL. Solid-organ transplantation in HIV-infected patients. N "
     "Engl J Med. 2002;347(4):284-7.",
     "the guide dates the issue (2002 Jul 25); a reference has no month or day"},
    {"vancouver", "NLM samples: more than six authors", kRose, true,
     "Rose ME, Huerbin MB, Melick J, Marion DW, Palmer AM, Schiding JK, et al. Regulation of "
     "interstitial excitatory amino acid concentrations after cortical contusion injury. Brain "
     "Res. 2002;935(1-2):40-6."},
    {"vancouver", "NLM samples: organization as author", kDiabetes, true,
     "Diabetes Prevention Program Research Group. Hypertension, insulin, and proinsulin in "
     "participants with impaired glucose tolerance. Hypertension. 2002;40(5):679-86."},
    {"vancouver", "NLM samples: article not in English", kEllingsen, true,
     "Ellingsen AE, Wilhelmsen I. Sykdomsangst blant medisin- og jusstudenter [Disease anxiety "
     "among medical and law students]. Tidsskr Nor Laegeforen. 2002;122(8):785-7.",
     "the guide dates the issue and ends with the language (Norwegian.)"},
    {"vancouver", "NLM samples: personal authors of a book", kMurray, true,
     "Murray PR, Rosenthal KS, Kobayashi GS, Pfaller MA. Medical microbiology. 4th ed. St. "
     "Louis: Mosby; 2002."},
    {"vancouver", "NLM samples: chapter in a book", kMeltzer, true,
     "Meltzer PS, Kallioniemi A, Trent JM. Chromosome alterations in human solid tumors. In: "
     "Vogelstein B, Kinzler KW, editors. The genetic basis of human cancer. New York: "
     "McGraw-Hill; 2002. p. 93-113."},

    // Nature, "Formatting guide": references.
    {"nature", "Nature formatting guide: journal article",
     Reference({"Schott2002", "Schott, D H. Collins, R N. Bretscher, A.",
                "Secretory vesicle transport velocity in living cells depends on the myosin V "
                "lever arm length.",
                "2002 (156(1)) pp 35-39", "J. Cell Biol."}),
     true,
     "Schott, D. H., Collins, R. N. & Bretscher, A. Secretory vesicle transport velocity in "
     "living cells depends on the myosin V lever arm length. #IJ. Cell Biol.#I #B156#B, 35–39 "
     "(2002)."},
    {"nature", "Nature formatting guide: chapter in a book",
     Reference({"Hyder2001", "Hyder, A A. Wali, S A. McGuckin, J.", "Injury control.",
                "2001 () pp 35-53",
                "E: Injury Control: A Guide to Research and Program Evaluation.",
                "Rivara, F P. Cummings, P. Koepsell, T D. Grossman, D C. Maier, R V.",
                "Cambridge Univ. Press (Cambridge)"}),
     true,
     "Hyder, A. A., Wali, S. A. & McGuckin, J. in Injury Control: A Guide to Research and "
     "Program Evaluation (eds Rivara, F. P. et al.) 35–53 (Cambridge Univ. Press, 2001)."},
    {"nature", "Nature formatting guide: book",
     Reference({"Eisen1974", "Eisen, H N.", "Immunology.", "1974",
                "S: Immunology: an Introduction to Molecular and Cellular Principles of the "
                "Immune Response 5th edn.",
                "Harper & Row (New York)"}),
     true,
     "Eisen, H. N. Immunology: an Introduction to Molecular and Cellular Principles of the "
     "Immune Response 5th edn (Harper & Row, 1974)."},

    // Cite Them Right (Harvard): the patterns for journal articles, books and chapters.
    {"harvard", "Cite Them Right: journal article",
     WithJournal(kHalpern, "New England Journal of Medicine"), true,
     "Halpern, S.D., Ubel, P.A. and Caplan, A.L. (2002) 'Solid-organ transplantation in "
     "HIV-infected patients', #INew England Journal of Medicine#I, 347(4), pp. 284–287."},
    {"harvard", "Cite Them Right: citation of three authors", kHalpern, false,
     "Halpern, Ubel and Caplan, 2002"},
    {"harvard", "Cite Them Right: citation of four or more authors", kMurray, false,
     "Murray #Iet al.#I, 2002"},
    {"harvard", "Cite Them Right: book, four or more authors",
     WithBookTitle(kMurray, "Medical microbiology"), true,
     "Murray, P.R. #Iet al.#I (2002) #IMedical microbiology#I. St. Louis: Mosby.",
     "an edition stands after the title; a reference has no edition field"},
    {"harvard", "Cite Them Right: chapter in an edited book", kMeltzer, true,
     "Meltzer, P.S., Kallioniemi, A. and Trent, J.M. (2002) 'Chromosome alterations in human "
     "solid tumors', in Vogelstein, B. and Kinzler, K.W. (eds.) #IThe genetic basis of human "
     "cancer#I. New York: McGraw-Hill, pp. 93–113."},
    {"harvard", "Cite Them Right: chapter in a book of one editor",
     Reference({"Meltzer2002", "Meltzer, P S.", "Chromosome alterations.", "2002 () pp 93-113",
                "E: The genetic basis of human cancer.", "Vogelstein, B.",
                "McGraw-Hill (New York)"}),
     true,
     "Meltzer, P.S. (2002) 'Chromosome alterations', in Vogelstein, B. (ed.) #IThe genetic basis "
     "of human cancer#I. New York: McGraw-Hill, pp. 93–113."},

    // APA Style (7th edition) reference examples.
    {"apa", "APA Style: journal article",
     Reference({"Grady2019", "Grady, J S. Her, M. Moreno, G. Perez, C. Yelinek, J.",
                "Emotions in storybooks: A comparison of storybooks that represent ethnic and "
                "racial groups in the United States.",
                "2019 (8(3)) pp 207-217", "Psychology of Popular Media Culture"}),
     true,
     "Grady, J. S., Her, M., Moreno, G., Perez, C., & Yelinek, J. (2019). Emotions in "
     "storybooks: A comparison of storybooks that represent ethnic and racial groups in the "
     "United States. #IPsychology of Popular Media Culture#I, #I8#I(3), 207–217.",
     "the guide ends with the DOI; a reference has no DOI field"},
    {"apa", "APA Style: parenthetical citation, three or more authors",
     Reference({"Grady2019", "Grady, J S. Her, M. Moreno, G.", "Emotions.", "2019 (8) pp 1", "J"}),
     false, "Grady et al., 2019"},
    {"apa", "APA Style: parenthetical citation, two authors",
     Reference({"x", "Kaufman, K A. Glass, C R.", "T.", "2018", "S: Book.", "P (C)"}), false,
     "Kaufman & Glass, 2018"},
    {"apa", "APA Style: authored book",
     Reference({"Kaufman2018", "Kaufman, K A. Glass, C R. Pineau, T R.", "Mindful sport.", "2018",
                "S: Mindful sport performance enhancement: Mental training for athletes and "
                "coaches.",
                "American Psychological Association (Washington)"}),
     true,
     "Kaufman, K. A., Glass, C. R., & Pineau, T. R. (2018). #IMindful sport performance "
     "enhancement: Mental training for athletes and coaches#I. American Psychological "
     "Association."},
    {"apa", "APA Style: chapter in an edited book",
     Reference({"Aron2019", "Aron, L. Botella, M. Lubart, T.",
                "Culinary arts: Talent and their development.", "2019 () pp 345-359",
                "E: The psychology of high performance: Developing human potential into "
                "domain-specific talent.",
                "Subotnik, R F. Olszewski-Kubilius, P. Worrell, F C.",
                "American Psychological Association (Washington)"}),
     true,
     "Aron, L., Botella, M., & Lubart, T. (2019). Culinary arts: Talent and their development. "
     "In R. F. Subotnik, P. Olszewski-Kubilius, & F. C. Worrell (Eds.), #IThe psychology of high "
     "performance: Developing human potential into domain-specific talent#I (pp. 345–359). "
     "American Psychological Association."},

    // Science, instructions for preparing a manuscript: references and notes.
    {"science", "Science instructions: journal article",
     Reference({"Barabasi1999", "Barabási, A-L. Albert, R.",
                "Emergence of scaling in random networks.", "1999 (286(5439)) pp 509-512",
                "Science"}),
     true,
     "A.-L. Barabási, R. Albert, Emergence of scaling in random networks. #IScience#I #B286#B, "
     "509–512 (1999)."},
    {"science", "Science instructions: more than ten authors",
     Reference({"Venter2001",
                "Venter, J C. Adams, M D. Myers, E W. Li, P W. Mural, R J. Sutton, G G. Smith, H "
                "O. Yandell, M. Evans, C A. Holt, R A. Gocayne, J D.",
                "The sequence of the human genome.", "2001 (291(5507)) pp 1304-1351", "Science"}),
     true,
     "J. C. Venter et al., The sequence of the human genome. #IScience#I #B291#B, 1304–1351 "
     "(2001)."},
    {"science", "Science instructions: book",
     Reference({"Newman2010", "Newman, M E J.", "Networks.", "2010",
                "S: Networks: An Introduction.", "Oxford Univ. Press (Oxford)"}),
     true, "M. E. J. Newman, #INetworks: An Introduction#I (Oxford Univ. Press, Oxford, 2010)."},
    {"science", "Science instructions: chapter in a book", kMeltzer, true,
     "P. S. Meltzer, A. Kallioniemi, J. M. Trent, in #IThe genetic basis of human cancer#I, B. "
     "Vogelstein, K. W. Kinzler, Eds. (McGraw-Hill, New York, 2002), pp. 93–113."},

    // The Chicago Manual of Style, 17th edition: author-date quick guide.
    {"chicago-author-date", "Chicago quick guide: journal article",
     Reference({"Keng2017", "Keng, Shao-Hsun. Lin, Chun-Hung. Orazem, Peter F.",
                "Expanding College Access in Taiwan, 1978–2014: Effects on Graduate Quality and "
                "Income Inequality.",
                "2017 (11(1)) pp 1-34", "Journal of Human Capital"}),
     true,
     "Keng, Shao-Hsun, Chun-Hung Lin, and Peter F. Orazem. 2017. “Expanding College Access in "
     "Taiwan, 1978–2014: Effects on Graduate Quality and Income Inequality.” #IJournal of Human "
     "Capital#I 11 (1): 1–34.",
     "the guide writes \", no. 1 (Spring)\" for an issue with a season, and the DOI; without a "
     "season the issue stands in parentheses"},
    {"chicago-author-date", "Chicago quick guide: journal article, issue but no season",
     Reference({"Glass2014", "Glass, Jennifer. Levchak, Philip.",
                "Red states, blue states, and divorce: understanding the impact of conservative "
                "Protestantism on regional variation in divorce rates.",
                "2014 (119(4)) pp 1002-1046", "American Journal of Sociology"}),
     true,
     "Glass, Jennifer, and Philip Levchak. 2014. “Red States, Blue States, and Divorce: "
     "Understanding the Impact of Conservative Protestantism on Regional Variation in Divorce "
     "Rates.” #IAmerican Journal of Sociology#I 119 (4): 1002–46.",
     "the title stored in sentence case is set in headline style"},
    {"chicago-author-date", "Chicago quick guide: citation of three authors",
     Reference({"Keng2017", "Keng, Shao-Hsun. Lin, Chun-Hung. Orazem, Peter F.", "T.",
                "2017 (11(1)) pp 1-34", "J"}),
     false, "Keng, Lin and Orazem 2017",
     "the guide writes a serial comma (Keng, Lin, and Orazem), the format one text before the "
     "last name whatever the count"},
    {"chicago-author-date", "Chicago quick guide: book",
     Reference({"Grazer2015", "Grazer, Brian. Fishman, Charles.", "A curious mind.", "2015",
                "S: A Curious Mind: The Secret to a Bigger Life.", "Simon & Schuster (New York)"}),
     true,
     "Grazer, Brian, and Charles Fishman. 2015. #IA Curious Mind: The Secret to a Bigger Life#I. "
     "New York: Simon & Schuster."},
    {"chicago-author-date", "Chicago quick guide: citation of a book",
     Reference({"Grazer2015", "Grazer, Brian. Fishman, Charles.", "A curious mind.", "2015",
                "S: A Curious Mind.", "Simon & Schuster (New York)"}),
     false, "Grazer and Fishman 2015"},
    {"chicago-author-date", "Chicago quick guide: chapter in an edited book",
     Reference({"Thoreau2016", "Thoreau, Henry David.", "Walking.", "2016 () pp 167-195",
                "E: The Making of the American Essay.", "D'Agata, John.",
                "Graywolf Press (Minneapolis)"}),
     true,
     "Thoreau, Henry David. 2016. “Walking.” In #IThe Making of the American Essay#I, edited by "
     "John D'Agata, 167–95. Minneapolis: Graywolf Press."},
};

TEST(StyleLibrary, GuideExamples) {
    for (const GuideExample& e : kExamples) {
        const TFormatDesc desc = Style(e.style);
        EXPECT_EQ(Cp1252ToUtf8(Render(desc, e.reference, e.longForm)), e.expected)
            << e.style << ": " << e.guide << (*e.note ? std::string("; ") + e.note : "");
    }
}

// The references of styles.ref: a journal article, a chapter whose editors stand first, a
// monograph, a corporate author, one author, many authors, a missing year, missing pages, a
// translated title, a quoted journal name and a chapter with authors and editors.
std::vector<TRefArrData> GoldenReferences() {
    const std::string text = ReadFile(kData / "styles.ref");
    std::vector<TRefArrData> refs;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n\r\n", start);
        end = end == std::string::npos ? text.size() : end + 4;
        refs.push_back(ParseReference(text.substr(start, end - start), false).data);
        start = end;
    }
    return refs;
}

TEST(StyleLibrary, GoldenRenderings) {
    const std::vector<TRefArrData> refs = GoldenReferences();
    ASSERT_EQ(refs.size(), 11u);
    const bool update = std::getenv("CITAVOX_UPDATE_GOLDEN") != nullptr;
    for (const char* name : kStyleNames) {
        const TFormatDesc desc = Style(name);
        std::string rendered = "# " + std::string(name) +
                               ": the references of styles.ref, short and long, as rendered\n";
        for (std::size_t i = 0; i < refs.size(); ++i) {
            for (const bool longForm : {false, true}) {
                rendered += std::to_string(i + 1) + (longForm ? " long  |" : " short |") +
                            Cp1252ToUtf8(Render(desc, refs[i], longForm)) + "|\n";
            }
        }
        const fs::path golden = kData / "golden" / (std::string(name) + ".txt");
        if (update) {
            fs::create_directories(golden.parent_path());
            WriteBytes(golden.string(), rendered);
        }
        EXPECT_EQ(rendered, ReadFile(golden)) << name << " (CITAVOX_UPDATE_GOLDEN=1 rewrites)";
    }
}

} // namespace
} // namespace cvx
