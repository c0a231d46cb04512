#include "FormatTestSupport.h"

#include "formats/StyleText.h"
#include "journals/JournalLookup.h"
#include "support/FileBytes.h"
#include "text/LatexText.h"
#include "text/TextMode.h"

#include <map>

namespace cvx {
namespace {

using namespace cvx::test;

constexpr auto kJournalLong = FormSlot::JournalLong;
constexpr auto kChapterLong = FormSlot::ChapterLong;

// --- the edge cases of the renderer ---

TEST(RenderEdgeCases, DefaultLongJournalForm) {
    const TFormatDesc desc;
    std::string out;
    const std::size_t authorsEnd = RenderReference(desc, true, Zuze(), out);
    // The title's own full stop and the ". " after it collapse; the journal loses its stops.
    EXPECT_EQ(out, "Zuze R., Viroz R. and Zedozada R. (1989) Chronic coxsackie B infection "
                   "mimicking primary fibromyalgia. #IJ Rheumatol#I 16, 1506-1508. ");
    EXPECT_EQ(authorsEnd, std::string("Zuze R., Viroz R. and Zedozada R. ").size());
}

TEST(RenderEdgeCases, DefaultShortForm) {
    const TFormatDesc desc;
    EXPECT_EQ(Render(desc, Zuze(), false), "Zuze, Viroz and Zedozada, 1989");
}

TEST(RenderEdgeCases, NoAuthorsAndNoEditorsIsAnonymous) {
    const TFormatDesc desc;
    for (const std::string authors : {"", "\"\"", "\"\"."}) {
        TRefArrData r = Zuze();
        r[F::Authors] = authors;
        EXPECT_EQ(Render(desc, r, false), "Anonymous, 1989") << authors;
        EXPECT_TRUE(Render(desc, r, true).starts_with("Anonymous. (1989) ")) << authors;
    }
}

TEST(RenderEdgeCases, TruncatedListWithSubstitute) {
    TFormatDesc desc;
    NameListStyle& s = Form(desc, kJournalLong).authorStyle;
    s.maxAuthors = 3;
    s.includAuthors = 1;
    TRefArrData r = Zuze();
    r[F::Authors] = "Smith, A. Jones, B. Brown, C. White, D.";
    EXPECT_TRUE(Render(desc, r, true).starts_with("Smith A. et al. (1989) "));
}

TEST(RenderEdgeCases, LastPageContraction) {
    TFormatDesc desc;
    Props(desc, kJournalLong, F::PageLast).option = 1;
    TRefArrData r = Zuze();
    r[F::PageFirst] = "123";
    r[F::PageLast] = "129";
    EXPECT_TRUE(Render(desc, r, true).ends_with(" 16, 123-9. "));
    r[F::PageLast] = "123";
    EXPECT_TRUE(Render(desc, r, true).ends_with(" 16, 123. ")); // then the missing-text ". "
    r[F::PageLast] = "1234";                                    // lengths differ: kept
    EXPECT_TRUE(Render(desc, r, true).ends_with(" 16, 123-1234. "));
    r[F::PageFirst] = ""; // no first page: nothing for the last page either
    EXPECT_TRUE(Render(desc, r, true).ends_with("#IJ Rheumatol#I 16, "));
}

TEST(RenderOptions, LastPageCompletedShortenedOrContracted) {
    // Option 0 writes the range in full, completing one stored shortened; option 1 contracts
    // pages of equal length as before; option 2 shortens the complete range by the Chicago rules.
    struct Case {
        std::uint8_t option;
        std::string first, last, range, why;
    } cases[] = {
        {0, "409", "18", "409-418", "stored shortened, as MEDLINE does: written complete"},
        {0, "199", "02", "199-202", "completed into the next hundred"},
        {0, "D71", "D75", "D71-D75", "letters on both pages: as stored"},
        {0, "iv", "x", "iv-x", "roman numbers: as stored"},
        {1, "409", "18", "409-18", "contraction leaves a shortened range alone"},
        {1, "123", "129", "123-9", "contraction of pages of equal length"},
        {2, "549", "553", "549-53", "Chicago: two digits at least"},
        {2, "2896", "2903", "2896-903", "Chicago (17th edition): every changed digit"},
        {2, "101", "108", "101-8", "Chicago: 101-109 only the changed part"},
        {2, "1103", "1104", "1103-4", "Chicago: likewise in the thousands"},
        {2, "100", "104", "100-104", "Chicago: in full after a multiple of 100"},
        {2, "71", "72", "71-72", "Chicago: in full below 100"},
        {2, "96", "117", "96-117", "Chicago: in full when the lengths differ"},
        {2, "409", "18", "409-18", "Chicago: completed first, then shortened"},
        {2, "D71", "D75", "D71-75", "Chicago: a shared letter prefix is written once"},
        {2, "xii", "xv", "xii-xv", "Chicago: roman numbers in full"},
    };
    for (const Case& c : cases) {
        TFormatDesc desc;
        Props(desc, kJournalLong, F::PageLast).option = c.option;
        TRefArrData r = Zuze();
        r[F::PageFirst] = c.first;
        r[F::PageLast] = c.last;
        const std::string out = Render(desc, r, true);
        EXPECT_TRUE(out.ends_with(" 16, " + c.range + ". ")) << c.why << ": " << out;
    }
}

TEST(RenderOptions, TitlesInHeadlineStyleOrUpperCase) {
    TFormatDesc desc;
    Props(desc, kJournalLong, F::Title).option = 2;
    EXPECT_NE(Render(desc, Zuze(), true)
                  .find("(1989) Chronic Coxsackie B Infection Mimicking Primary Fibromyalgia. "),
              std::string::npos);
    Props(desc, kJournalLong, F::Title).option = 1; // odd: upper case, as ever
    EXPECT_NE(Render(desc, Zuze(), true)
                  .find("(1989) CHRONIC COXSACKIE B INFECTION MIMICKING PRIMARY FIBROMYALGIA. "),
              std::string::npos);
    // The book title of a chapter, and the title of a monograph, take the option of their own.
    Props(desc, kChapterLong, F::BookTitle).option = 2;
    const TRefArrData chapter = Ref(SourceType::Chapter, {{F::Authors, "Smith, J."},
                                                          {F::Title, "A chapter of the book."},
                                                          {F::Year, "2001"},
                                                          {F::BookTitle, "the art of the state"},
                                                          {F::Editors, "Jones, K."}});
    EXPECT_NE(Render(desc, chapter, true).find("A chapter of the book. In The Art of the State. "),
              std::string::npos)
        << Render(desc, chapter, true);
}

TEST(RenderEdgeCases, QuotedJournalIsWrittenAsStored) {
    const TFormatDesc desc;
    TRefArrData r = Zuze();
    r[F::Journal] = "\"J. Rheumatol. [1234-5678]\"";
    EXPECT_NE(Render(desc, r, true).find("#IJ. Rheumatol. [1234-5678]#I 16, "), std::string::npos);
}

TEST(AuthorYearLabel, NamesCountAndEtAl) {
    struct Case {
        std::string authors, editors, plain, suppressed;
    } cases[] = {
        {"Smith, J.", "", "Smith, 1986", "Smith, 1986"},
        {"Smith, J. Jones, K.", "", "Smith & Jones, 1986", "Smith & Jones, 1986"},
        {"Smith, J. Jones, K. Brown, L.", "", "Smith, Jones & Brown, 1986",
         "Smith, Jones & Brown, 1986"},
        {"Smith, J. Jones, K. Brown, L. White, M.", "", "Smith #Iet al.#I, 1986",
         "Smith et al., 1986"},
        {"\"World Health Organization\".", "", "World Health Organization, 1986",
         "World Health Organization, 1986"},
        {"\"\"", "Editor, E. Other, O.", "Editor & Other, 1986", "Editor & Other, 1986"},
        {"", "", "Anonymous, 1986", "Anonymous, 1986"},
        {"Bitter Jr, P. Smith III, J.", "", "Bitter & Smith, 1986", "Bitter & Smith, 1986"},
    };
    for (const Case& c : cases) {
        const TRefArrData r =
            Ref(SourceType::Journal,
                {{F::Authors, c.authors}, {F::Editors, c.editors}, {F::Year, "1986"}});
        EXPECT_EQ(AuthorYearLabel(r), c.plain) << c.authors;
        EXPECT_EQ(AuthorYearLabel(r, {.suppressRtf = true}), c.suppressed) << c.authors;
    }
    const TRefArrData many =
        Ref(SourceType::Journal,
            {{F::Authors, "Smith, J. Jones, K. Brown, L. White, M."}, {F::Year, "1986"}});
    EXPECT_EQ(AuthorYearLabel(many, {.latex = true}), "Smith\xFF\xFF\xFF 1986");
}

// --- name lists ---

// A format whose long journal form writes nothing but the authors.
class NameListTest : public ::testing::Test {
protected:
    NameListTest() {
        SetOrder(Form(desc, kJournalLong), {F::Authors});
        SetText(desc, Props(desc, kJournalLong, F::Authors).textAfter, "");
        NameListStyle& s = Style();
        SetText(desc, s.betwSubsSurPers, " ");
        SetText(desc, s.betw1stSurAndPers, ", ");
        SetText(desc, s.afterPersonal, ".");
        SetText(desc, s.betwPersonal, ".");
        SetText(desc, s.betw1stAnd2nd, ", ");
        SetText(desc, s.beforeLast, " and ");
        SetText(desc, s.substSuperNames, " et al.");
    }
    NameListStyle& Style() { return Form(desc, kJournalLong).authorStyle; }
    std::string Names(const std::string& authors, const RenderOptions& options = {}) {
        return Render(desc, Ref(SourceType::Journal, {{F::Authors, authors}}), true, options);
    }

    TFormatDesc desc;
};

TEST_F(NameListTest, TheFourNameOrders) {
    const std::string list = "Smith, John A. Jones, Bo. Brown, Carl.";
    const std::string expected[] = {
        "Smith J.A., Jones B. and Brown C.",  // surname first
        "J.A. Smith, B. Jones and C. Brown",  // personal names first
        "Smith, J.A., B. Jones and C. Brown", // only the first name surname first
        "J.A., Smith, Jones B. and Brown C.", // only the first name personal names first
    };
    for (int order = 0; order < 4; ++order) {
        Style().nameOrder = static_cast<std::uint8_t>(order);
        EXPECT_EQ(Names(list), expected[order]) << "order " << order;
    }
}

TEST_F(NameListTest, PersonalNameModes) {
    Style().personalNames = 1;
    EXPECT_EQ(Names("Smith, John A. Jones, Bo."), "Smith and Jones");
    Style().personalNames = 2;
    SetText(desc, Style().betwSubsSurPers, ", ");
    SetText(desc, Style().betwPersonal, ". ");
    // Full names get no full stop after them, single-letter initials do.
    EXPECT_EQ(Names("Smith, John A. Jones, Bo."), "Smith, John A. and Jones, Bo.");
    EXPECT_EQ(Names("Smith, John Albert. Jones, B."), "Smith, John Albert and Jones, B.");
}

TEST_F(NameListTest, NameShapes) {
    struct Case {
        std::string list, expected;
    } cases[] = {
        {"Smith JA.", "Smith JA"},                  // space form: kept as stored
        {"Smith.", "Smith"},                        // a single word
        {"Tanaka (Taro), T.", "Tanaka T."},         // reading in parentheses
        {"Dupont, Jean - Pierre.", "Dupont J.-P."}, // " - " joins the parts
        {"Dupont, Jean-Pierre.", "Dupont J.-P."},   // hyphenated first name
        {"A, B C D E F G H.", "A B.C.D.E.F."},      // at most five parts
        {"\"World Health Organization\". Smith, J.", "World Health Organization and Smith J."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(c.list), c.expected) << c.list;
    }
    // Between the initials of a hyphenated name only the text without its trailing blanks.
    SetText(desc, Style().betwPersonal, ". ");
    EXPECT_EQ(Names("Dupont, Jean-Pierre Marie."), "Dupont J.-P. M.");
    SetText(desc, Style().betwPersonal, " ");
    EXPECT_EQ(Names("Dupont, Jean-Pierre."), "Dupont J-P.");
}

// "Bitter Jr, P.": the suffix stands after the whole name, after a comma where one parts surname
// and personal names, with a full stop where the initials have one; surnames alone leave it out.
TEST_F(NameListTest, SuffixesFollowTheWholeName) {
    const std::string list = "Bitter Jr, Peter. Smith III, John A. van Beethoven, Ludwig.";
    EXPECT_EQ(Names(list), "Bitter P. Jr., Smith J.A. III and van Beethoven L.");
    Style().nameOrder = 1;
    EXPECT_EQ(Names(list), "P. Bitter Jr., J.A. Smith III and L. van Beethoven");
    Style().nameOrder = 0;
    SetText(desc, Style().betwSubsSurPers, ", ");
    EXPECT_EQ(Names(list), "Bitter, P., Jr., Smith, J.A., III and van Beethoven, L.");
    SetText(desc, Style().betwSubsSurPers, " ");
    SetText(desc, Style().afterPersonal, "");
    SetText(desc, Style().betwPersonal, "");
    EXPECT_EQ(Names(list), "Bitter P Jr, Smith JA III and van Beethoven L");
    Style().personalNames = 1;
    EXPECT_EQ(Names(list), "Bitter, Smith and van Beethoven");
    // A last name that merely ends in capitals keeps them; the space form is kept as stored.
    Style().personalNames = 0;
    EXPECT_EQ(Names("Louis XIV, K. Bitter P Jr."), "Louis XIV K and Bitter P Jr");
}

// The shipped styles write a suffixed name as their guides do.
TEST(NameSuffixes, ShippedStyles) {
    const TRefArrData r =
        Ref(SourceType::Journal, {{F::Authors, "Bitter Jr, Peter. Smith III, John A."},
                                  {F::Title, "A title."},
                                  {F::Year, "2019"},
                                  {F::Volume, "8"},
                                  {F::Issue, "3"},
                                  {F::PageFirst, "207"},
                                  {F::PageLast, "217"},
                                  {F::Journal, "J"}});
    const struct {
        const char* style;
        bool longForm;
        std::string start;
    } cases[] = {
        {"apa", true, "Bitter, P., Jr., & Smith, J. A., III. (2019). A title."},
        {"apa", false, "Bitter & Smith, 2019"},
        {"vancouver", true, "Bitter P Jr, Smith JA III. A title."},
        {"chicago-author-date", true, "Bitter, Peter, Jr., and John A. Smith III. 2019."},
        {"science", true, "P. Bitter Jr., J. A. Smith III, A title."},
    };
    for (const auto& c : cases) {
        TFormatDesc desc;
        const std::string path =
            std::string(CITAVOX_SOURCE_DIR) + "/data/formats/" + c.style + ".txt";
        ASSERT_TRUE(CompileFormat(ReadBytes(path), desc.record)) << c.style;
        const std::string out = Render(desc, r, c.longForm);
        EXPECT_EQ(out.substr(0, c.start.size()), c.start) << c.style << ": " << out;
    }
}

TEST_F(NameListTest, SingleWordNamesEndTheirSeparatorsFullStop) {
    SetText(desc, Style().afterPersonal, "");
    SetText(desc, Style().betw1stAnd2nd, "., ");
    SetText(desc, Style().beforeLast, ". and ");
    EXPECT_EQ(Names("\"WHO\". Smith, J. Jones, K."), "WHO, Smith J. and Jones K");
}

TEST_F(NameListTest, TruncationAndItsSubstitutes) {
    Style().maxAuthors = 2;
    Style().includAuthors = 1;
    EXPECT_EQ(Names("Smith, J. Jones, B."), "Smith J. and Jones B.");
    EXPECT_EQ(Names("Smith, J. Jones, B. Brown, C."), "Smith J. et al.");
    Style().includAuthors = 2;
    EXPECT_EQ(Names("Smith, J. Jones, B. Brown, C."), "Smith J., Jones B. et al.");
    // Keeping as many names as there are leaves nobody out: the whole list, no substitute.
    Style().includAuthors = 3;
    EXPECT_EQ(Names("Smith, J. Jones, B. Brown, C."), "Smith J., Jones B. and Brown C.");
    Style().includAuthors = 1;
    // LaTeX output leaves the plain "et al." marker in place of the text's "et al.".
    EXPECT_EQ(Names("Smith, J. Jones, B. Brown, C.", {.latex = true}), "Smith J. \xFE\xFE\xFE");
    EXPECT_EQ(CodesToLatex(Names("Smith, J. Jones, B. Brown, C.", {.latex = true})),
              "Smith J. et al.");
    // The marker ends with the full stop of "et al.": a text after it does not double it.
    SetText(desc, Props(desc, kJournalLong, F::Authors).textAfter, ". ");
    EXPECT_EQ(Names("Smith, J. Jones, B. Brown, C.", {.latex = true}), "Smith J. \xFE\xFE\xFE ");
}

TEST(EtAlContraction, RepeatedCitationsOfThreeOrMoreNames) {
    TFormatDesc desc;
    desc.etAlContraction = true;
    EXPECT_EQ(Render(desc, Zuze(), false), "Zuze et al., 1989");
    // The marker stands where " et al." stands in every other output, after its blank.
    EXPECT_EQ(Render(desc, Zuze(), false, {.latex = true}), "Zuze \xFE\xFE\xFE, 1989");
    TRefArrData two = Zuze();
    two[F::Authors] = "Zuze, R. Viroz, R.";
    EXPECT_EQ(Render(desc, two, false), "Zuze and Viroz, 1989");
    NameListStyle& s = Form(desc, FormSlot::JournalShort).authorStyle;
    SetText(desc, s.substSuperNames, "#I#I"); // a style code around the words, after a blank
    EXPECT_EQ(Render(desc, Zuze(), false), "Zuze #Iet al.#I, 1989");
    EXPECT_EQ(Render(desc, Zuze(), false, {.latex = true}), "Zuze #I\xFE\xFE\xFE#I, 1989");
    SetText(desc, s.substSuperNames, " and others");
    EXPECT_EQ(Render(desc, Zuze(), false), "Zuze and others, 1989");
}

// --- editors ---

// A chapter whose long form is the authors (or the editors in their place), the year and the
// book title.
class EditorTest : public ::testing::Test {
protected:
    EditorTest() { SetOrder(Form(desc, kChapterLong), {F::Authors, F::Editors, F::Year}); }
    std::string Chapter(const std::string& authors, const std::string& editors) {
        return Render(desc,
                      Ref(SourceType::Chapter,
                          {{F::Authors, authors}, {F::Editors, editors}, {F::Year, "2002"}}),
                      true);
    }
    TFormatDesc desc;
};

TEST_F(EditorTest, LabelsWhenTheEditorsStandFirst) {
    struct Case {
        std::string before, after, editors, expected;
    } cases[] = {
        {"Edited by ", " ", "Vogel, B. Kinz, K W.", "Vogel B. and Kinz K.W. (Editors)(2002) "},
        {"Edited by ", " ", "Vogel, B.", "Vogel B. (Editor)(2002) "},
        {"eds. ", "", "Vogel, B. Kinz, K.", "Vogel B. and Kinz K. (eds.) (2002) "},
        {"eds. ", "", "Vogel, B.", "Vogel B. (ed.) (2002) "},
        {"", " (Eds)", "Vogel, B. Kinz, K.", "Vogel B. and Kinz K. (Eds) (2002) "},
        {"Red. ", "", "Vogel, B. Kinz, K.", "Vogel B. and Kinz K. (Red.)(2002) "},
        {"red ", "", "Vogel, B.", "Vogel B. (red)(2002) "},
        {"Redakt\xF6rer: ", "", "Vogel, B. Kinz, K.",
         "Vogel B. and Kinz K. (Redakt\xF6rer) (2002) "},
        {"redakt\xF6rer: ", "", "Vogel, B.", "Vogel B. (redakt\xF6r) (2002) "},
        {"", "", "Vogel, B.", "Vogel B. (2002) "}, // no label at all
    };
    for (const Case& c : cases) {
        SetText(desc, Props(desc, kChapterLong, F::Editors).textBefore, c.before);
        SetText(desc, Props(desc, kChapterLong, F::Editors).textAfter, c.after);
        EXPECT_EQ(Chapter("\"\"", c.editors), c.expected) << c.before << "|" << c.after;
    }
}

TEST_F(EditorTest, LabelGoesIntoATextAfterThatBeginsWithPunctuation) {
    struct Case {
        std::string before, after, editors, expected, why;
    } cases[] = {
        {"Edited by ", ", ", "Vogel, B. Kinz, K.", "Vogel B. and Kinz K. (Editors), (2002) ",
         "before a comma"},
        {"Edited by ", ": ", "Vogel, B.", "Vogel B. (Editor): (2002) ", "before a colon"},
        {"", ", Eds. ", "Vogel, B. Kinz, K.", "Vogel B. and Kinz K. (Eds.), Eds. (2002) ",
         "a label ending with a blank loses it before the comma, not \"(Eds.) ,\""},
        {"eds. ", ". ", "Vogel, B.", "Vogel B. (ed.) (2002) ",
         "after the full stop, one blank, not two"},
    };
    for (const Case& c : cases) {
        SetText(desc, Props(desc, kChapterLong, F::Editors).textBefore, c.before);
        SetText(desc, Props(desc, kChapterLong, F::Editors).textAfter, "");
        SetText(desc, Props(desc, kChapterLong, F::Authors).textAfter, c.after);
        if (c.before.empty()) {
            SetText(desc, Props(desc, kChapterLong, F::Editors).textAfter, c.after);
        }
        EXPECT_EQ(Chapter("", c.editors), c.expected) << c.why;
    }
}

// The singular keeps the label's case and full stop: only the plural's "s" goes.
TEST_F(EditorTest, EditorsAfterTheAuthorsAreMadeSingular) {
    struct Case {
        std::string after, one, two;
    } cases[] = {
        {" (Eds.) ", " (Ed.) ", " (Eds.) "},
        {" (eds.) ", " (ed.) ", " (eds.) "},
        {" (eds) ", " (ed) ", " (eds) "},
        {", Editors. ", ", Editor. ", ", Editors. "},
        {", editors. ", ", editor. ", ", editors. "},
    };
    for (const Case& c : cases) {
        SetText(desc, Props(desc, kChapterLong, F::Editors).textAfter, c.after);
        EXPECT_EQ(Chapter("Smith, J.", "Vogel, B."),
                  "Smith J. Edited by Vogel B." + c.one + "(2002) ")
            << c.after;
        EXPECT_EQ(Chapter("Smith, J.", "Vogel, B. Kinz, K."),
                  "Smith J. Edited by Vogel B. and Kinz K." + c.two + "(2002) ")
            << c.after;
    }
}

TEST_F(EditorTest, ListInOrderTwoKeepsTheFullStopAfterIt) {
    NameListStyle& s = Form(desc, kChapterLong).authorStyle;
    s.nameOrder = 2;
    SetText(desc, Props(desc, kChapterLong, F::Authors).textAfter, ". ");
    SetOrder(Form(desc, kChapterLong), {F::Authors, F::Year});
    EXPECT_EQ(Chapter("Meltzer, P S. Trent, J M.", ""), "Meltzer P.S. and J.M. Trent. (2002) ");
}

// --- titles, book titles, journals ---

TEST(TitleElement, TrailingDotMonographsAndTranslations) {
    TFormatDesc desc;
    FormDef& f = Form(desc, kJournalLong);
    SetOrder(f, {F::Title, F::TranslTitle});
    SetText(desc, Props(desc, kJournalLong, F::Title).textAfter, ",");
    TRefArrData r = Ref(SourceType::Journal,
                        {{F::Title, " Sykdomsangst. "}, {F::TranslTitle, "Disease anxiety"}});
    EXPECT_EQ(Render(desc, r, true), "Sykdomsangst.,[Disease anxiety] ");
    Props(desc, kJournalLong, F::Title).removeTrailDot = 1;
    EXPECT_EQ(Render(desc, r, true), "Sykdomsangst,[Disease anxiety] ");
    r[F::Title] = "\"Quoted\"";
    r[F::TranslTitle] = "";
    EXPECT_EQ(Render(desc, r, true), "Quoted,");

    // A monograph without a first page has no title of its own.
    const TRefArrData book = Ref(SourceType::Monograph, {{F::Authors, "Murray, P R."},
                                                         {F::Title, "Medical microbiology"},
                                                         {F::BookTitle, "Medical microbiology"},
                                                         {F::Year, "2002"},
                                                         {F::Publisher, "Mosby"},
                                                         {F::City, "St. Louis"}});
    EXPECT_EQ(Render(desc, book, true),
              "Murray P.R. (2002) Medical microbiology. Mosby, St. Louis. ");
    TRefArrData part = book;
    part[F::PageFirst] = "12";
    EXPECT_EQ(Render(desc, part, true), "Murray P.R. (2002) Medical microbiology. Medical "
                                        "microbiology. Mosby, St. Louis. pp 12");
}

TEST(BookTitleElement, PrefixesAndTheInOfEditorsFirst) {
    TFormatDesc desc;
    SetOrder(Form(desc, kChapterLong), {F::BookTitle});
    TRefArrData r =
        Ref(SourceType::Chapter, {{F::Authors, "Smith, J."}, {F::BookTitle, "E:Book."}});
    EXPECT_EQ(Render(desc, r, true), "In Book. ");
    r[F::Authors] = "";
    EXPECT_EQ(Render(desc, r, true), "Book. "); // the editors stand first: no "In"
    SetText(desc, Props(desc, kChapterLong, F::BookTitle).textBefore, " From: the series ");
    EXPECT_EQ(Render(desc, r, true), " the series Book. ");
    SetText(desc, Props(desc, kChapterLong, F::BookTitle).textBefore, "Reprinted in ");
    EXPECT_EQ(Render(desc, r, true), "Reprinted in Book. ");
}

// A journal database that knows a few names and counts the questions.
class FakeJournals : public JournalLookup {
public:
    bool Recognises(std::string_view name) const override {
        return names.contains(std::string(name));
    }
    std::optional<JournalMatch> LookUp(std::string_view name, JournalForm form) const override {
        ++lookups;
        lastForm = form;
        const auto it = names.find(std::string(name));
        return it == names.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::string> SortAbbreviation(std::string_view) const override {
        return std::nullopt;
    }
    std::map<std::string, JournalMatch> names;
    mutable int lookups = 0;
    mutable JournalForm lastForm = JournalForm::FullName;
};

TEST(JournalElement, DatabaseFormsIssnAndFullStops) {
    FakeJournals journals;
    journals.names["Journal of Rheumatology"] = {"J. Rheumatol.", 0, true};
    journals.names["Acta"] = {"Acta A/Acta B", 3, true};
    journals.names["Acta Physiol."] = {"Acta Physiol. Scand. [0001-6772]", 0, false};
    TFormatDesc desc;
    FormDef& f = Form(desc, kJournalLong);
    SetOrder(f, {F::Journal, F::Volume});
    f.journalForm = 3;
    auto journal = [&](const std::string& name, const RenderOptions& options) {
        TRefArrData r = Zuze();
        r[F::Journal] = name;
        r[F::Issue] = "3";
        RenderOptions o = options;
        o.journals = &journals;
        return Render(desc, r, true, o);
    };
    EXPECT_EQ(journal("Journal of Rheumatology", {}), "#IJ Rheumatol#I 16(3), ");
    EXPECT_EQ(journals.lastForm, JournalForm::IndexMedicus);
    EXPECT_EQ(journal("Acta", {}), "#IActa#I 16, ");                        // ambiguous: as stored
    EXPECT_EQ(journal("Acta Physiol.", {}), "#IActa Physiol Scand#I 16, "); // ISSN cut off
    EXPECT_EQ(journal("Unknown J. [1234-567X]", {}), "#IUnknown J#I 16, ");
    EXPECT_EQ(journal("Unknown J. [1234-56Y7]", {}), "#IUnknown J [1234-56Y7]#I 16, ");
    f.includeFullStops = 1;
    EXPECT_EQ(journal("Journal of Rheumatology", {}), "#IJ. Rheumatol.#I 16(3), ");
    f.includeFullStops = 0;
    // Ignoring the database leaves the name entirely alone.
    const int before = journals.lookups;
    EXPECT_EQ(journal("Journal of Rheumatology", {.ignoreJournalDatabase = true}),
              "#IJournal of Rheumatology#I 16, ");
    EXPECT_EQ(journal("Unknown J. [1234-567X]", {.ignoreJournalDatabase = true}),
              "#IUnknown J. [1234-567X]#I 16, ");
    f.journalForm = 0; // as stored: no question to the database
    EXPECT_EQ(journal("Journal of Rheumatology", {}), "#IJournal of Rheumatology#I 16, ");
    EXPECT_EQ(journals.lookups, before);
    EXPECT_EQ(journal("", {}), "16, ");
}

// --- the generic elements ---

TEST(VolumeAndIssue, RequiredIssueVolumeInPlaceOfIssue) {
    FakeJournals journals;
    journals.names["J"] = {"J", 0, true};
    TFormatDesc desc;
    FormDef& f = Form(desc, kJournalLong);
    f.journalForm = 1;
    SetOrder(f, {F::Journal, F::Volume});
    TRefArrData r = Ref(SourceType::Journal, {{F::Journal, "J"}, {F::Volume, "16"}});
    EXPECT_EQ(Render(desc, r, true, {.journals = &journals}), "#IJ#I 16, "); // no empty "()"
    r[F::Issue] = "3";
    EXPECT_EQ(Render(desc, r, true, {.journals = &journals}), "#IJ#I 16(3), ");
    // A long journal form that lists the issue writes it itself.
    SetOrder(f, {F::Journal, F::Volume, F::Issue});
    SetText(desc, Props(desc, kJournalLong, F::Issue).textBefore, "no. ");
    EXPECT_EQ(Render(desc, r, true, {.journals = &journals}), "#IJ#I 16, no. 3");
    // Without a volume the issue takes its place and is then missing.
    SetText(desc, Props(desc, kJournalLong, F::Issue).whenMissing, "[no issue]");
    r[F::Volume] = "";
    EXPECT_EQ(Render(desc, r, true), "#IJ#I 3, [no issue]");
}

TEST(GenericElements, OptionsAndFieldsAsStored) {
    TFormatDesc desc;
    FormDef& f = Form(desc, kJournalLong);
    SetOrder(f, {F::Year, F::Title, F::Comments, F::Publisher});
    TRefArrData r = Ref(SourceType::Journal, {{F::Year, "1989"},
                                              {F::Title, "Low case"},
                                              {F::Comments, "\"note\""},
                                              {F::Publisher, "\"Press\""}});
    EXPECT_EQ(Render(desc, r, true), "(1989) Low case. #L\"note\"#LPress");
    Props(desc, kJournalLong, F::Year).option = 1;  // two-digit year
    Props(desc, kJournalLong, F::Title).option = 1; // upper case
    EXPECT_EQ(Render(desc, r, true), "(89) LOW CASE. #L\"note\"#LPress");
    r[F::Year] = "198";
    EXPECT_EQ(Render(desc, r, true), "(198) LOW CASE. #L\"note\"#LPress");
}

TEST(WritingPrimitives, FullStopsAndSpacesAreNotDoubled) {
    TFormatDesc desc;
    SetOrder(Form(desc, kJournalLong), {F::Title, F::Journal});
    FieldProps& title = Props(desc, kJournalLong, F::Title);
    FieldProps& journal = Props(desc, kJournalLong, F::Journal);
    struct Case {
        std::string titleAfter, journalBefore, journalAfter, journalName, expected;
    } cases[] = {
        {"", "#I. ", "#I", "Nature", "End.#I Nature#I"}, // after a code, its third character
        {"", "! x ", "", "Nature", "End. x Nature"},     // "!" doubles the full stop too
        {" ", " x ", "", "Nature", "End. x Nature"},     // one space, not two
        {"", "\xA8x ", "", "Nature", "End.x Nature"},    // a pool text loses 0xA8 ...
        {"", "", "", "\xA8Nature", "End.\xA8Nature"},    // ... a field text keeps it
        {"", "", ".", "?Nature?", "End.Nature?"},        // and loses "?", and the "." after
    };
    for (const Case& c : cases) {
        SetText(desc, title.textAfter, c.titleAfter);
        SetText(desc, journal.textBefore, c.journalBefore);
        SetText(desc, journal.textAfter, c.journalAfter);
        // Quoted, so the name is written as stored.
        const TRefArrData r = Ref(SourceType::Journal,
                                  {{F::Title, "End."}, {F::Journal, "\"" + c.journalName + "\""}});
        EXPECT_EQ(Render(desc, r, true), c.expected) << c.titleAfter << "|" << c.journalBefore;
    }
}

TEST(Rendering, OutputGrowsWithTheEntry) {
    const TFormatDesc desc;
    TRefArrData r = Zuze();
    r[F::Title] = std::string(100000, 'x');
    const std::string out = Render(desc, r, true);
    EXPECT_NE(out.find(std::string(100000, 'x') + ". #IJ Rheumatol#I"), std::string::npos);
}

TEST(Rendering, AuthorsEndIsZeroWithoutAnAuthorsElement) {
    TFormatDesc desc;
    SetOrder(Form(desc, kJournalLong), {F::Year, F::Title});
    std::string out;
    EXPECT_EQ(RenderReference(desc, true, Zuze(), out), 0u);
    EXPECT_FALSE(out.empty());
}

TEST(Rendering, UnknownKindsInARecordAreSkipped) {
    TFormatDesc desc;
    FormDef& f = Form(desc, kJournalLong);
    f.order = {40, 5, 200, 2};
    f.count = 4;
    EXPECT_EQ(Render(desc, Zuze(), true),
              "(1989) Chronic coxsackie B infection mimicking primary fibromyalgia. ");
}

// Switches to Shift-JIS text for one test.
class DoubleByteTest : public ::testing::Test {
protected:
    DoubleByteTest() { SetTextMode(TextMode::ShiftJis); }
    ~DoubleByteTest() override { SetTextMode(TextMode::Ansi); }
};

TEST_F(DoubleByteTest, TitlesAndNames) {
    TFormatDesc desc;
    FormDef& f = Form(desc, kJournalLong);
    SetOrder(f, {F::Authors, F::Title});
    // Spaces between double-byte characters go; a final "." stays after a double-byte start.
    TRefArrData r = Ref(SourceType::Journal,
                        {{F::Authors, "\x8E\x52\x93\x63\x81\x69\x82\xE2\x81\x6A, \x91\xBE."},
                         {F::Title, "\x93\xFA \x96\x7B a b."}});
    EXPECT_EQ(Render(desc, r, true), "\x8E\x52\x93\x63 \x91\xBE. \x93\xFA\x96\x7B a b. ");
    r[F::Title] = "Latin title.";
    EXPECT_EQ(Render(desc, r, true), "\x8E\x52\x93\x63 \x91\xBE. Latin title. ");
}

// --- labels and the field rule ---

TEST(NumberLabel, EveryStyle) {
    TFormatDesc desc;
    SetText(desc, desc.record.numberPrefix, "Ref. ");
    SetText(desc, desc.record.numberSuffix, ":");
    const std::string expected[] = {"12 ",    "12. ",      "12) ",    "12/ ",      "[12] ",
                                    "[12]. ", "Ref. 12: ", "12#T",    "12.#T",     "12)#T",
                                    "12/#T",  "[12]#T",    "[12].#T", "Ref. 12:#T"};
    for (int style = 0; style < 14; ++style) {
        EXPECT_EQ(NumberLabel(desc, style, 12), expected[style]) << style;
    }
    EXPECT_EQ(NumberLabel(desc, 14, 12), " ");
}

TEST(Unquote, FieldValueRule) {
    struct Case {
        std::string in, out;
    } cases[] = {{"  a  ", "a"}, {"\"\".", ""},  {"\"\"", ""},   {"\"a b\"", "a b"},
                 {"\"", "\""},   {"\"a", "\"a"}, {"a\"", "a\""}, {" \"x\". ", "\"x\"."}};
    for (const Case& c : cases) {
        EXPECT_EQ(Unquote(c.in), c.out) << c.in;
    }
}

} // namespace
} // namespace cvx
