// Folding, normalised names, signatures, ISSNs and name suffixes.

#include "journals/JournalNames.h"
#include "text/StringPrimitives.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

TEST(JournalNames, FoldsByTheTable) {
    EXPECT_EQ(FoldJournalName("  Zeitschrift  f\xFCr\tKinderheilkunde. "),
              "ZEITSCHRIFT FUR KINDERHEILKUNDE");
    EXPECT_EQ(FoldJournalName("d'Anatomie-Pathologique (2nd ser.)"),
              "D'ANATOMIE-PATHOLOGIQUE 2ND SER");
    // Rows of the upper half: accented capitals and small letters, and the odd cells.
    EXPECT_EQ(FoldJournalChar(0xC9), 'E');
    EXPECT_EQ(FoldJournalChar(0xF1), 'N');
    EXPECT_EQ(FoldJournalChar(0xDF), 'B');
    EXPECT_EQ(FoldJournalChar(0xB2), '2');
    EXPECT_EQ(FoldJournalChar(0xB4), '\'');
    EXPECT_EQ(FoldJournalChar(0xD7), ' ');
    EXPECT_EQ(FoldJournalChar(0x8A), 'S');
    EXPECT_EQ(FoldJournalChar(0x9F), 'Y');
}

TEST(JournalNames, TakesTypographicPunctuationToAscii) {
    // Read through the table alone these would be letters (0x92 "O", 0x96 "U", 0xA0 "A").
    EXPECT_EQ(FoldJournalName("Women\x92s Health"), "WOMEN'S HEALTH");
    EXPECT_EQ(FoldJournalName("Bio\x96Medicine\x97Today"), "BIO-MEDICINE-TODAY");
    EXPECT_EQ(FoldJournalName("Acta\xA0Med"), "ACTA MED");
    EXPECT_EQ(FoldJournalName("\x93Lancet\x94"), "LANCET");
    EXPECT_EQ(NormaliseJournalName("Women\x92s Health"), NormaliseJournalName("Women's Health"));
}

TEST(JournalNames, DropsStopWordsThatBeginAWord) {
    const std::pair<const char*, const char*> cases[] = {
        {"The Journal of Biological Chemistry", "JOURNAL BIOLOGICAL CHEMISTRY"},
        {"Annales de l'Institut Pasteur", "ANNALES INSTITUT PASTEUR"},
        {"Journal d'Urologie", "JOURNAL UROLOGIE"},
        {"Brain & Language", "BRAIN LANGUAGE"},
        {"Brain and Language", "BRAIN LANGUAGE"},
        {"Archiv des Vereins und der Freunde", "ARCHIV VEREINS DER FREUNDE"},
        {"Revista di la Clinica", "REVISTA CLINICA"},
        {"Le Concours Medical", "CONCOURS MEDICAL"},
        {"Oftalmologia", "OFTALMOLOGIA"}, // "OF" inside a word stays
        {"Annals of", "ANNALS OF"},       // not followed by a blank
        {"The", "THE"},
        {"Themis and Anderson", "THEMIS ANDERSON"}, // "THE" only as a word
        {"Medicina-de la Salud", "MEDICINA-SALUD"}, // after a hyphen too
        {"Annales d'", "ANNALES"},
        {"", ""},
    };
    for (const auto& [name, normalised] : cases) {
        EXPECT_EQ(NormaliseJournalName(name), normalised) << name;
    }
}

int Digits(const char* digits) {
    int v = 0;
    for (const char* d = digits; *d; ++d) {
        v = v * 9 + (*d - '0');
    }
    return v;
}

TEST(JournalNames, SignatureMeetsAbbreviationsAndTitles) {
    // J B I C H: classes 3 2 1 4 2. "Journal" gives only its first letter.
    const int jbc = Digits("32142");
    EXPECT_EQ(SignatureOf(NormaliseJournalName("The Journal of Biological Chemistry")).value, jbc);
    EXPECT_EQ(SignatureOf(NormaliseJournalName("J Biol Chem")).value, jbc);
    EXPECT_EQ(SignatureOf(NormaliseJournalName("J. Biol. Chem.")).value, jbc);
    // Proc Natl Acad: P R, N A, A.
    EXPECT_EQ(SignatureOf(NormaliseJournalName("Proc Natl Acad Sci U S A")).value, Digits("28700"));
    EXPECT_EQ(SignatureOf(NormaliseJournalName(
                              "Proceedings of the National Academy of Sciences of the USA"))
                  .value,
              Digits("28700"));
    // Insignificant words are stepped over: "IN", "F?R", "DER", "L'"...
    EXPECT_EQ(SignatureOf(NormaliseJournalName("Fortschritte fur Medizin")).value,
              SignatureOf(NormaliseJournalName("Fortschr Med")).value);
    EXPECT_EQ(SignatureOf("L'HOPITAL").value, SignatureOf("HOPITAL").value);
    EXPECT_EQ(SignatureOf("JOURNAL").value, Digits("30000"));
    EXPECT_EQ(SignatureOf("JUGOSLAVICA").value, Digits("30304"));
}

TEST(JournalNames, SignaturePrecisionAndRange) {
    const JournalSignature nature = SignatureOf("NATURE");
    EXPECT_EQ(nature.value, Digits("70508"));
    EXPECT_EQ(nature.precisionUnit, 729);
    EXPECT_EQ(SignatureOf("A").precisionUnit, 6561);
    EXPECT_EQ(SignatureOf("A").value, 0);
    EXPECT_EQ(SignatureOf("J CELL BIOL").precisionUnit, 81);
    EXPECT_EQ(SignatureOf("").value, 0);
    EXPECT_EQ(SignatureOf("1999 - 2000").value, 0);
    // The largest signature stays below the index terminator's range.
    EXPECT_EQ(SignatureOf("RRRRR").value, Digits("88888"));
    EXPECT_LT(SignatureOf("RRRRR").value, 59050);
}

TEST(JournalNames, AcceptsIssnsAsSuffixesDo) {
    EXPECT_EQ(AcceptIssn("0123-976X"), "0123-976X");
    EXPECT_EQ(AcceptIssn("OI23-4567"), "0123-4567");
    EXPECT_EQ(AcceptIssn("0l23-456o"), "0123-4560");
    EXPECT_FALSE(AcceptIssn("0123-976x"));
    EXPECT_FALSE(AcceptIssn("012X-9761"));
    EXPECT_FALSE(AcceptIssn("01234567"));
    EXPECT_FALSE(AcceptIssn("0123 4567"));
    EXPECT_TRUE(IsValidIssn("0123-976X"));
    EXPECT_FALSE(IsValidIssn("0123-976x"));
    EXPECT_FALSE(IsValidIssn("O123-9761"));
}

TEST(JournalNames, PacksIssns) {
    const PackedIssn packed = PackIssn("0123-976X");
    EXPECT_EQ(packed, (PackedIssn{10, 32, 79, 106}));
    EXPECT_EQ(UnpackIssn(std::string(packed.begin(), packed.end())), "0123-976X");
    // 105 is 5 followed by X; 21 is 1 followed by 2.
    EXPECT_EQ(UnpackIssn(std::string{105, 21, 0, 99}), "5X12-0099");
    EXPECT_FALSE(UnpackIssn(std::string{110, 0, 0, 0}));
    EXPECT_FALSE(UnpackIssn("abc"));
}

TEST(JournalNames, SplitsSuffixes) {
    const struct {
        const char* name;
        const char* rest;
        const char* issn;
        int number;
    } cases[] = {
        {"Chirurgie #2 [0009-4722]  ", "Chirurgie", "0009-4722", 2},
        {"Chirurgie #A", "Chirurgie", "", 10},
        {"Chirurgie [0009-472X]", "Chirurgie", "0009-472X", 0},
        {"[OOO9-4722]", "", "0009-4722", 0},
        {"Chirurgie [0009-47]", "Chirurgie [0009-47]", "", 0}, // not an ISSN: part of the name
        {"Chirurgie#2", "Chirurgie#2", "", 0},
        {"Chirurgie #", "Chirurgie #", "", 0},
        {"  Acta  ", "Acta", "", 0},
    };
    for (const auto& c : cases) {
        const JournalQuery q = SplitJournalQuery(c.name);
        EXPECT_EQ(q.name, c.rest) << c.name;
        EXPECT_EQ(q.issn, c.issn) << c.name;
        EXPECT_EQ(q.number, c.number) << c.name;
    }
    EXPECT_EQ(AmbiguityMark(9), '9');
    EXPECT_EQ(AmbiguityMark(10), 'A');
    EXPECT_EQ(AmbiguityNumber('B'), 11);
    EXPECT_EQ(AmbiguityNumber('0'), 0);
}

} // namespace
} // namespace cvx
