#include "documents/DocumentScanner.h"
#include "documents/PseudoCitation.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

const TDocumentDefinition& Definition(std::string_view name) {
    static TDocumentLibrary library = [] {
        TDocumentLibrary l;
        EXPECT_TRUE(l.Load(CITAVOX_DOCUMENT_LIBRARY).ok());
        return l;
    }();
    return library.Definition(library.FormatIndex(name));
}

ScanResult Scan(std::string_view doc, DocumentKind kind, const TDocumentDefinition* def = nullptr) {
    ScanResult r;
    EXPECT_TRUE(ScanDocument(doc, kind, def, r).ok());
    return r;
}

ScanResult ScanRtf(std::string_view body) {
    return Scan(std::string("{\\rtf1\\ansi\\ansicpg1252 ") + std::string(body) + "}",
                DocumentKind::Rtf, &Definition("Rich Text Format (RTF)"));
}

// The cleaned texts of every group, "|" between the citations of a group.
std::vector<std::string> Texts(const ScanResult& r) {
    std::vector<std::string> out;
    for (const ScannedGroup& g : r.groups) {
        std::string t;
        for (const ScannedCitation& c : g.citations) {
            t += (t.empty() ? "" : "|") + c.text;
        }
        out.push_back(g.marker ? t + "|MARKER" : t);
    }
    return out;
}

TEST(DocumentScanner, ReadsRtfAsWordProcessorsWriteIt) {
    struct Case {
        std::string body;
        std::vector<std::string> texts;
        std::string braces; // of the first group
    };
    const Case cases[] = {
        {"Text \\{\\{/home/ann/refs.ref #3; Smith, 1986\\}\\} more.",
         {"/home/ann/refs.ref #3; Smith, 1986"},
         ""},
        // Hidden file part in a group of its own, revision groups, a source line break.
        {"{\\rtlch\\fcs1 \\af0 \\insrsid1 \\{\\{}{\\v\\insrsid2 /home/ann/My Pa\r\npers/"
         "muscle.ref #12; }{\\insrsid3 Smith & Jones, 1986\\}\\}}",
         {"/home/ann/My Papers/muscle.ref #12; Smith & Jones, 1986"},
         "}{"},
        // \'hh and \uN escapes with their fallbacks, a bookmark inside the path.
        {"\\{\\{/home/ann/R\\'e9f{\\*\\bkmkstart x}{\\*\\bkmkend x}/M\\u246\\'f6ller/"
         "\\uc2\\u337\\'6f\\'3fs.ref #1\\}\\}",
         {"/home/ann/R\xC3\xA9"
          "f/M\xC3\xB6ller/\xC5\x91s.ref #1"},
         ""},
        // A "{{" split over two groups, and a negative \u.
        {"\\{}{\\insrsid7 \\{/tmp/\\u-3999?a.ref #2\\}\\}}",
         {"/tmp/\xEF\x81\xA1"
          "a.ref #2"},
         "}{"},
        // Groups: citations separated by white space and group changes belong together; a word
        // separates them.
        {"\\{\\{a.ref #1\\}\\} \\{\\{a.ref #2\\}\\}}{\\i \\{\\{a.ref #3\\}\\} and \\{\\{b.ref "
         "#4\\}\\}",
         {"a.ref #1|a.ref #2|a.ref #3", "b.ref #4"},
         "}{"},
        // A complete formatting group inside the file name is dropped with its braces; a group
        // opened and not closed leaves its brace for after the citation.
        {"\\{\\{/home/{\\b ann}/a.ref #1\\}\\}", {"/home/ann/a.ref #1"}, ""},
        {"\\{\\{/home/{\\b ann/a.ref #1\\}\\} rest}", {"/home/ann/a.ref #1"}, "{"},
        // Escaped backslashes and a single brace are text.
        {"\\{\\{c:\\\\refs\\\\a.ref #1; x\\} y\\}\\}", {"c:\\refs\\a.ref #1; x} y"}, ""},
    };
    for (const Case& c : cases) {
        const ScanResult r = ScanRtf(c.body);
        EXPECT_EQ(Texts(r), c.texts) << c.body;
        if (!r.groups.empty()) {
            EXPECT_EQ(r.groups[0].braces, c.braces) << c.body;
        }
        EXPECT_TRUE(r.notes.empty()) << c.body;
    }
}

TEST(DocumentScanner, GroupSpansCoverTheirPseudoCitations) {
    const std::string doc = "{\\rtf1 A \\{\\{a.ref #1\\}\\}  \\{\\{a.ref #2\\}\\}. B}";
    const ScanResult r = Scan(doc, DocumentKind::Rtf, &Definition("Rich Text Format (RTF)"));
    ASSERT_EQ(r.groups.size(), 1u);
    EXPECT_EQ(doc.substr(r.groups[0].start, r.groups[0].end - r.groups[0].start),
              "\\{\\{a.ref #1\\}\\}  \\{\\{a.ref #2\\}\\}");
    EXPECT_EQ(r.groups[0].citations[1].running, 2);
    EXPECT_EQ(r.citationCount, 2);
}

TEST(DocumentScanner, StopsAtTheMarkerAndReportsWhatFollows) {
    const ScanResult r =
        ScanRtf("\\{\\{a.ref #1\\}\\} \\{\\{REFERENCES\\}\\}\\par \\{\\{a.ref #2\\}\\}"
                "\\par \\{\\{a.ref #3\\}\\}");
    EXPECT_EQ(Texts(r), std::vector<std::string>{"a.ref #1|MARKER"});
    EXPECT_TRUE(r.markerFound);
    EXPECT_EQ(r.citationCount, 1);
    EXPECT_EQ(r.Count(ScanIssue::AfterMarker), 2);

    const ScanResult alone = ScanRtf("x \\{\\{REFERENCES\\}\\}");
    ASSERT_EQ(alone.groups.size(), 1u);
    EXPECT_TRUE(alone.groups[0].marker);
    EXPECT_TRUE(alone.groups[0].citations.empty());
}

TEST(DocumentScanner, ReportsWhatItCannotTake) {
    // A "{{" whose "}}" never comes, or comes only after another "{{".
    const ScanResult lacking = Scan("line 1\n{{a.ref #1 text\nline 3 {{a.ref #2}} {{b.ref #3",
                                    DocumentKind::Plain, &Definition("Text (ANSI)"));
    EXPECT_EQ(Texts(lacking), std::vector<std::string>{"a.ref #2"});
    ASSERT_EQ(lacking.Count(ScanIssue::LacksEnd), 2);
    EXPECT_EQ(lacking.notes[0].line, 2);
    EXPECT_EQ(lacking.notes[1].line, 3);

    // Over the length limits: 250 bytes in plain text, 512 in RTF.
    const std::string longPath = "/" + std::string(300, 'x') + ".ref #1";
    const ScanResult tooLong =
        Scan("{{" + longPath + "}} {{a.ref #2}}", DocumentKind::Plain, &Definition("Text (ANSI)"));
    EXPECT_EQ(tooLong.Count(ScanIssue::TooLong), 1);
    EXPECT_EQ(Texts(tooLong), std::vector<std::string>{"a.ref #2"});
    EXPECT_TRUE(ScanRtf("\\{\\{" + longPath + "\\}\\}").notes.empty());
    EXPECT_EQ(ScanRtf("\\{\\{/" + std::string(600, 'x') + " #1\\}\\}").Count(ScanIssue::TooLong),
              1);

    // A "{{...}}" without "#" is no pseudo-citation and separates groups.
    const ScanResult other =
        Scan("{{a #1}} {{x + y}} {{a #2}}", DocumentKind::Plain, &Definition("Text (ANSI)"));
    EXPECT_EQ(Texts(other), (std::vector<std::string>{"a #1", "a #2"}));
}

TEST(DocumentScanner, KeepsToTheLimitsOfCountAndGroup) {
    std::string doc;
    for (int i = 0; i < 4100; ++i) {
        doc += "{{a.ref #" + std::to_string(i % 30 + 1) + "}}";
        doc += (i % 300 == 299) ? " text " : " ";
    }
    const ScanResult r = Scan(doc, DocumentKind::Plain, &Definition("Text (ANSI)"));
    EXPECT_EQ(r.citationCount, kMaxPseudoCitations);
    EXPECT_EQ(r.Count(ScanIssue::BeyondLimit), 4);
    EXPECT_EQ(r.groups[0].citations.size(), 250u);
    EXPECT_EQ(r.groups[1].citations.size(), 50u);
    EXPECT_EQ(r.Count(ScanIssue::GroupSplit), 13);
    std::size_t total = 0;
    for (const ScannedGroup& g : r.groups) {
        EXPECT_LE(g.citations.size(), 250u);
        total += g.citations.size();
    }
    EXPECT_EQ(total, 4096u);
}

TEST(DocumentScanner, CleansPlainAndLatexTexts) {
    // Plain: line numbers, control bytes as spaces, code page 1252 letters kept.
    const ScanResult plain = Scan("a\r\nb {{/home/ann/R\xE9"
                                  "f\x01rences/a.ref\r\n #1;  x}}",
                                  DocumentKind::Plain, &Definition("Text (ANSI)"));
    ASSERT_EQ(plain.groups.size(), 1u);
    EXPECT_EQ(plain.groups[0].citations[0].text, "/home/ann/R\xC3\xA9"
                                                 "f rences/a.ref #1; x");
    EXPECT_EQ(plain.groups[0].citations[0].line, 2);
    EXPECT_FALSE(plain.utf8Document);

    // A UTF-8 text file keeps its UTF-8.
    const ScanResult utf8 = Scan("\xC3\xA9 {{/home/M\xC3\xB6ller.ref #1}}", DocumentKind::Plain,
                                 &Definition("Text (ANSI)"));
    EXPECT_TRUE(utf8.utf8Document);
    EXPECT_EQ(Texts(utf8), std::vector<std::string>{"/home/M\xC3\xB6ller.ref #1"});

    // WordStar writes é as 1B 82 1C.
    const ScanResult ws = Scan("{{/home/R\x1B\x82\x1C"
                               "f.ref #1}}",
                               DocumentKind::Plain, &Definition("WordStar 5.0"));
    EXPECT_EQ(Texts(ws), std::vector<std::string>{"/home/R\xC3\xA9"
                                                  "f.ref #1"});

    // LaTeX: escaped braces, the hidden part as a comment, escapes undone, "/" kept.
    const ScanResult tex = Scan("See \\{\\{%/home/ann/my\\_refs.ref \\#3; \r\nSmith, 1986\\}\\} "
                                "\\{ \\{/tmp/a.ref \\#4\\} \\}. {\\bf x}",
                                DocumentKind::Latex);
    EXPECT_EQ(Texts(tex),
              std::vector<std::string>{"%/home/ann/my_refs.ref #3; Smith, 1986|/tmp/a.ref #4"});
    const TPseudoCitation pc = ParsePseudoCitation(tex.groups[0].citations[0].text);
    EXPECT_EQ(pc.file, "/home/ann/my_refs.ref");
    EXPECT_EQ(pc.number, 2);
}

// A WordPerfect file header: product 1, file type 10 (document), the given major version.
std::string WordPerfectHeader(int major, std::size_t headerSize) {
    std::string h = "\xFFWPC";
    h += std::string("\0\0\0\0", 4);
    h[4] = static_cast<char>(headerSize);
    h += '\x01';
    h += '\x0A';
    h += static_cast<char>(major);
    h += '\x01';
    h.resize(headerSize, '\0');
    return h;
}

TEST(DocumentScanner, ReadsWordPerfectCodes) {
    // WordPerfect 5: bold on and off inside the path, é as an extended character, and a
    // variable-length code whose data holds "{{" that must not be taken.
    std::string wp5 = WordPerfectHeader(0, 16);
    wp5 += std::string("\xD4\x01\x0A\x00{{#1}}\x0A\x00\x01\xD4", 14);
    wp5 += "Text {{/home/";
    wp5 += "\xC3\x0C\xC3"
           "ann\xC4\x0C\xC4"
           "/R\xC0\x29\x01\xC0"
           "f.ref #1}}\x0A";
    const ScanResult r5 = Scan(wp5, DocumentKind::WordPerfect5, &Definition("WordPerfect 5.1/5.2"));
    EXPECT_EQ(r5.textStart, 16u);
    EXPECT_EQ(Texts(r5), std::vector<std::string>{"/home/ann/R\xC3\xA9"
                                                  "f.ref #1"});
    EXPECT_TRUE(DocumentHasKind(wp5, DocumentKind::WordPerfect5));
    EXPECT_FALSE(DocumentHasKind(wp5, DocumentKind::WordPerfect6));

    // WordPerfect 6: soft spaces (80) and an extended character F0 ... F0.
    std::string wp6 = WordPerfectHeader(2, 32);
    wp6 += "Text\x80{{/home/My\x80Papers/R\xF0\x29\x01\xF0"
           "f.ref\x80#2}}\xCC";
    const ScanResult r6 = Scan(wp6, DocumentKind::WordPerfect6, &Definition("WordPerfect 6.0/6.1"));
    EXPECT_EQ(Texts(r6), std::vector<std::string>{"/home/My Papers/R\xC3\xA9"
                                                  "f.ref #2"});
}

TEST(DocumentScanner, TellsWhetherAManuscriptHasTheChosenKind) {
    EXPECT_TRUE(DocumentHasKind("{\\rtf1\\ansi x}", DocumentKind::Rtf));
    EXPECT_TRUE(DocumentHasKind("\xEF\xBB\xBF {\\rtf1 x}", DocumentKind::Rtf));
    EXPECT_FALSE(DocumentHasKind("Plain {{a.ref #1}}", DocumentKind::Rtf));
    EXPECT_FALSE(DocumentHasKind("{\\rtf1 x}", DocumentKind::WordPerfect5));
    EXPECT_FALSE(DocumentHasKind("\xFFWPC", DocumentKind::WordPerfect5));
    EXPECT_TRUE(DocumentHasKind("anything", DocumentKind::Plain));
}

TEST(DocumentScanner, SurvivesDamagedRtf) {
    // Unbalanced braces, a \bin running past the end, an escape cut short.
    for (std::string_view doc :
         {"{\\rtf1 }}}} \\{\\{a.ref #1\\}\\}", "{\\rtf1 {{{ \\{\\{a.ref #1\\}\\}",
          "{\\rtf1 \\bin999999 \\{\\{a.ref #1\\}\\}", "{\\rtf1 \\{\\{a.ref #1\\}\\}\\'",
          "{\\rtf1 \\{\\{a\\u", "{\\rtf1 {\\*\\x \\{\\{a.ref #1\\}\\}"}) {
        ScanResult r;
        EXPECT_TRUE(ScanDocument(doc, DocumentKind::Rtf, nullptr, r).ok());
    }
}

} // namespace
} // namespace cvx
