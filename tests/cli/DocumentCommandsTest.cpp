// citavox-cli complete, cite and collate, and completed manuscripts read by independent tools:
// pandoc's RTF, .docx and .odt readers, libwpd's WordPerfect reader, LibreOffice and pdflatex;
// likewise the lists that makelist writes as .docx and .odt.

#include "CliRunner.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>

namespace cvx::testing {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = CITAVOX_SOURCE_DIR "/examples";
const std::string kStyles = CITAVOX_FORMATS_DIR;

// A copy of the examples in a folder of its own: completing writes the _OUT file and opening a
// reference file writes its companions, and the examples name "refs.ref" beside the manuscript.
class Examples {
public:
    Examples() {
        for (const char* name : {"refs.ref", "manuscript.rtf", "manuscript.tex", "manuscript.docx",
                                 "manuscript.odt"}) {
            fs::copy_file(kExamples + "/" + name, dir_.Path() / name);
        }
    }
    std::string File(std::string_view name) const { return dir_.File(name); }
    const fs::path& Dir() const { return dir_.Path(); }

private:
    test::TempDir dir_;
};

// Runs a shell command in a folder (whose name holds no quote); its standard output, or nullopt
// when it fails.
std::optional<std::string> Shell(const fs::path& dir, const std::string& command) {
    const fs::path out = dir / "shell-output";
    const std::string line = "cd '" + dir.string() + "' && " + command + " >'" + out.string() + "'";
    const int status = std::system(line.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return test::ReadBytes(out);
}

// Runs of white space as single blanks, so that text wrapped by a reader compares.
std::string Flat(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            if (!out.empty() && out.back() != ' ') {
                out += ' ';
            }
        } else {
            out += c;
        }
    }
    return out;
}

using CompleteCommand = CliTest;
using CiteCommand = CliTest;
using CollateCommand = CliTest;
using LatexExample = CliTest;

TEST_F(CompleteCommand, CompletesTheRtfExampleAndPandocReadsTheResult) {
    Examples ex;
    const std::string before = test::ReadBytes(ex.File("manuscript.rtf"));
    const CliResult r =
        Run({"complete", ex.File("manuscript.rtf"), "--format", kStyles + "/apa.for"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Created manuscript file: " + ex.File("manuscript_OUT.rtf")),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Total number of citations: 11\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Citation groups: 8\n"), std::string::npos);
    EXPECT_NE(r.out.find("Unique citations: 7\n"), std::string::npos);
    EXPECT_NE(r.out.find("Reference list created: Yes\n"), std::string::npos);
    EXPECT_NE(r.out.find("Citations retrieved from 1 reference files:\n  " + ex.File("refs.ref") +
                         "; 11 (#7)\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(test::ReadBytes(ex.File("manuscript.rtf")), before);

    const std::optional<std::string> text =
        Shell(ex.Dir(), "pandoc -f rtf -t plain --wrap=none manuscript_OUT.rtf");
    ASSERT_TRUE(text.has_value()) << "pandoc could not read the completed manuscript";
    const std::string plain = Flat(*text);
    for (const char* expected :
         {"earlier than ever (Kolak et al., 2017; Wörmann, 2017). Mortality",
          "for a decade (DeSantis et al., 2011).",
          "depends on experience (Twomey et al., 2017), and attention",
          "rhythm of speech (see also Wöstmann et al., 2016).",
          "connect at rest (Ter Minassian et al., 2014).",
          "as Kolak et al. (2017) point out (Chica et al., 2012; Kolak et al., 2017)",
          "References Chica, A. B., Thiebaut de Schotten, M., Toba, M., Malhotra, P., Lupiáñez, "
          "J., & Bartolomeo, P. (2012). Attention networks",
          "Wörmann, B. (2017). Grundlagen, Früherkennung, Diagnostik und Therapie. "
          "Medizinische Monatsschrift fur Pharmazeuten, 40(2), 55–64.",
          "Wöstmann, M., Herrmann, B., Maess, B., & Obleser, J. (2016). Spatiotemporal"}) {
        EXPECT_NE(plain.find(expected), std::string::npos) << expected << "\n---\n" << plain;
    }
    EXPECT_EQ(plain.find("{{"), std::string::npos) << plain;
    EXPECT_EQ(plain.find("refs.ref"), std::string::npos) << plain;
}

TEST_F(CompleteCommand, ANumberedStyleFromTheLibrary) {
    Examples ex;
    const CliResult r =
        Run({"complete", ex.File("manuscript.rtf"), "--format", kStyles + "/vancouver.for"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::optional<std::string> text =
        Shell(ex.Dir(), "pandoc -f rtf -t plain --wrap=none manuscript_OUT.rtf");
    ASSERT_TRUE(text.has_value());
    const std::string plain = Flat(*text);
    EXPECT_NE(plain.find("earlier than ever (1,2). Mortality"), std::string::npos) << plain;
    EXPECT_NE(plain.find("point out (2,7)"), std::string::npos) << plain;
    EXPECT_NE(plain.find("1. Wörmann B. Grundlagen"), std::string::npos) << plain;
}

TEST_F(CompleteCommand, StopsWithTheMessageAndWritesNothing) {
    Examples ex;
    std::ofstream(ex.File("bad.txt"), std::ios::binary) << "Text {{refs.ref #99; x}}\r\n";
    CliResult r = Run({"complete", ex.File("bad.txt"), "--format", kStyles + "/apa.for"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Reference #99 in the file"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(Line 1 of the manuscript.)"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(ex.File("bad_OUT.txt")));

    r = Run({"complete", ex.File("manuscript.rtf"), "--format", kStyles + "/apa.for",
             "--document-format", "Microsoft Word 97"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a Word (.docx, .doc) or OpenDocument (.odt) document"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(ex.File("manuscript_OUT.rtf")));

    // A mistyped document format is not taken for a word processor's: the message lists the
    // names there are.
    r = Run({"complete", ex.File("manuscript.rtf"), "--format", kStyles + "/apa.for",
             "--document-format", "Rich Txt Format"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"Rich Txt Format\" is not in the document-definition library"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Rich Text Format (RTF), Text (ANSI)"), std::string::npos) << r.err;

    r = Run({"complete", ex.File("manuscript.rtf"), "--format", "missing.for"});
    EXPECT_EQ(r.status, 1);
    r = Run({"complete", ex.File("manuscript.rtf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(ex.File("manuscript_OUT.rtf")));
}

TEST_F(CompleteCommand, ABareManuscriptNameIsFoundInTheDocumentDirectory) {
    Examples ex;
    ASSERT_FALSE(fs::exists("manuscript.rtf")); // not in the folder the command runs in
    ASSERT_EQ(Run({"settings", "set", "Default directories", "ListDir", ex.Dir().string()}).status,
              0);
    const CliResult r = Run({"complete", "manuscript.rtf", "--format", kStyles + "/apa.for"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(ex.File("manuscript_OUT.rtf")));
}

TEST_F(CiteCommand, PrintsThePseudoCitationsOfAGroup) {
    Examples ex;
    const std::string refs = ex.File("refs.ref");
    CliResult r = Run({"cite", refs, "2", "3", "--no-hide"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{{" + refs + " #2;  Wörmann, 2017}}{{" + refs + " #3;  Kolak #Iet al.#I, 2017}}\n");
    r = Run({"cite", refs, "5", "--option", "after:, Fig. 2", "--first", "--no-enclosure"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{{#H" + refs +
                         " #5/!-<, Fig. 2; #HTwomey #Iet al.#I, 2017, Fig. 2 "
                         "<First in group> <No enclosure>}}\n");
    EXPECT_EQ(Run({"cite", refs, "5", "--option", "sideways"}).status, 2);
    EXPECT_EQ(Run({"cite", refs, "5", "--option", "before:a; b"}).status, 1);
    EXPECT_EQ(Run({"cite", refs, "38"}).status, 1);

    // What cite prints, completion reads back.
    r = Run({"cite", refs, "4", "--option", "year"});
    std::ofstream(ex.File("cited.txt"), std::ios::binary) << "As shown " << r.out;
    ASSERT_EQ(Run({"complete", ex.File("cited.txt"), "--format", kStyles + "/apa.for"}).status, 0);
    EXPECT_EQ(test::ReadBytes(ex.File("cited_OUT.txt")), "As shown (2011)\n");
}

TEST_F(CollateCommand, SortsKeysByACollation) {
    EXPECT_EQ(Run({"collate", "Spanish", "dado", "chico", "cuna"}).out, "cuna\nchico\ndado\n");
    EXPECT_EQ(Run({"collate", "4", "Zealand", "Aabenraa", "Aeble"}).out,
              "Zealand\nAeble\nAabenraa\n");
    EXPECT_EQ(Run({"collate", "english", "apple", "Zeta", "Smithson", "Smith"}).out,
              "Smith\nSmithson\nZeta\napple\n");
    const CliResult r = Run({"collate", "Klingon", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Danish - AA first"), std::string::npos) << r.err;
}

// A binary .doc where no "soffice" is on the PATH: the message says what to install, the exit
// status is a failure and nothing is written.
TEST_F(CompleteCommand, ABinaryDocumentWithoutLibreOffice) {
    Examples ex;
    std::ofstream(ex.File("legacy.doc"), std::ios::binary)
        << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << std::string(504, '\0');
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    setenv("PATH", ex.Dir().c_str(), 1); // a folder without soffice, for the child process
    const CliResult r = Run({"complete", ex.File("legacy.doc"), "--format", kStyles + "/apa.for"});
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("converted with LibreOffice, which is not installed"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(ex.File("legacy_OUT.doc")));
}

// WordPerfect documents of both generations, read back by libwpd (Debian's libwpd-tools).
TEST_F(CompleteCommand, WordPerfectDocumentsThatLibwpdReads) {
    Examples ex;
    const std::string body = "Muscles tire {{refs.ref #2}} {{refs.ref #3}}.\n{{REFERENCES}}\n";
    // A WordPerfect 5.1 header (document at 16) and a WordPerfect 6 one (document at 32, index
    // header at 16); WordPerfect 6 writes spaces as 80 and hard returns as CC.
    std::string wp5 = std::string("\xFFWPC\x10\0\0\0\x01\x0A\x00\x01\0\0\0\0", 16) + body;
    std::string wp6 = std::string("\xFFWPC\x20\0\0\0\x01\x0A\x02\x01\0\0\x10\0", 16);
    wp6.resize(32, '\0');
    for (char c : body) {
        wp6 += c == ' ' ? '\x80' : c == '\n' ? '\xCC' : c;
    }
    std::ofstream(ex.File("paper.wp5"), std::ios::binary) << wp5;
    std::ofstream(ex.File("paper.wpd"), std::ios::binary) << wp6;
    const std::pair<const char*, const char*> documents[] = {{"paper.wp5", "WordPerfect 5.1/5.2"},
                                                             {"paper.wpd", "WordPerfect 6.0/6.1"}};
    for (const auto& [name, format] : documents) {
        const CliResult r = Run({"complete", ex.File(name), "--format", kStyles + "/apa.for",
                                 "--document-format", format});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string out = std::string(name).replace(5, 0, "_OUT");
        const std::optional<std::string> text = Shell(ex.Dir(), "wpd2text " + out);
        ASSERT_TRUE(text.has_value()) << "libwpd could not read " << out;
        EXPECT_NE(text->find("Muscles tire (Kolak et al., 2017; Wörmann, 2017)."),
                  std::string::npos)
            << *text;
        EXPECT_NE(
            text->find("Wörmann, B. (2017). Grundlagen, Früherkennung, Diagnostik und "
                       "Therapie. Medizinische Monatsschrift fur Pharmazeuten, 40(2), 55–64."),
            std::string::npos)
            << *text;
    }
}

// The citation groups of a text read by pandoc (in order of their text, since footnotes move
// to the end) and the entries of its reference list (in order).
struct CitationsAndList {
    std::vector<std::string> groups;
    std::vector<std::string> entries;
};

CitationsAndList ReadBack(const std::string& plainText) {
    CitationsAndList out;
    std::string text; // everything but the list: the body and the notes pandoc puts at the end
    enum { Body, List, Notes } part = Body;
    std::size_t start = 0;
    while (start < plainText.size()) {
        std::size_t end = plainText.find('\n', start);
        end = end == std::string::npos ? plainText.size() : end;
        const std::string line = plainText.substr(start, end - start);
        start = end + 1;
        if (part == Body && line == "References") {
            part = List;
        } else if (part == List && line.starts_with("[")) {
            part = Notes;
        }
        if (part == List && !line.empty() && line != "References") {
            out.entries.push_back(line);
        } else if (part != List) {
            text += line + "\n";
        }
    }
    const std::string flat = Flat(text);
    const std::regex group(R"(\([^()]*\d{4}[^()]*\))");
    for (auto it = std::sregex_iterator(flat.begin(), flat.end(), group);
         it != std::sregex_iterator(); ++it) {
        out.groups.push_back(it->str());
    }
    std::sort(out.groups.begin(), out.groups.end());
    return out;
}

// The word-processor examples complete into the citation groups and list entries of the RTF
// example, as pandoc's readers see them, and nothing of their pseudo-citations is left.
TEST_F(CompleteCommand, WordDocumentsCompleteLikeTheRtfExample) {
    Examples ex;
    for (const char* name : {"manuscript.rtf", "manuscript.docx", "manuscript.odt"}) {
        const CliResult r = Run({"complete", ex.File(name), "--format", kStyles + "/apa.for"});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_NE(r.out.find("Reference list created: Yes\n"), std::string::npos) << r.out;
    }
    const auto read = [&](const char* name) {
        const std::optional<std::string> text =
            Shell(ex.Dir(), std::string("pandoc -t plain --wrap=none ") + name);
        EXPECT_TRUE(text.has_value()) << "pandoc could not read " << name;
        EXPECT_EQ(text.value_or("").find("{{"), std::string::npos) << *text;
        return ReadBack(text.value_or(""));
    };
    const CitationsAndList rtf = read("manuscript_OUT.rtf");
    ASSERT_EQ(rtf.groups.size(), 8u);
    ASSERT_EQ(rtf.entries.size(), 7u);
    for (const char* name : {"manuscript_OUT.docx", "manuscript_OUT.odt"}) {
        const CitationsAndList word = read(name);
        EXPECT_EQ(word.groups, rtf.groups) << name;
        EXPECT_EQ(word.entries, rtf.entries) << name;
    }
}

using MakelistCommand = CliTest;

// A list as .docx and .odt, read by pandoc, holds the text list's entries and abstracts in order;
// LibreOffice lays both out.
TEST_F(MakelistCommand, WordListsReadLikeTheTextList) {
    Examples ex;
    for (const char* kind : {"text", "docx", "odt"}) {
        const CliResult r =
            Run({"makelist", ex.File("refs.ref"), ex.File(std::string("list.") + kind), "--as",
                 kind, "--format", kStyles + "/apa.for", "--numbered", "--abstracts"});
        ASSERT_EQ(r.status, 0) << kind << ": " << r.err;
    }
    const std::optional<std::string> text = Shell(ex.Dir(), "iconv -f CP1252 -t UTF-8 list.text");
    ASSERT_TRUE(text.has_value());
    ASSERT_NE(text->find("37 Wöstmann, M."), std::string::npos) << *text;
    for (const char* name : {"list.docx", "list.odt"}) {
        const std::optional<std::string> read =
            Shell(ex.Dir(), std::string("pandoc -t plain --wrap=none ") + name);
        ASSERT_TRUE(read.has_value()) << "pandoc could not read " << name;
        EXPECT_EQ(Flat(*read), Flat(*text)) << name;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/setup installs it";
    }
    for (const char* kind : {"docx", "odt"}) {
        const std::string convert = "soffice -env:UserInstallation=file://" + ex.File("profile") +
                                    " --headless --convert-to pdf --outdir " + kind + " list." +
                                    kind;
        ASSERT_TRUE(Shell(ex.Dir(), convert).has_value()) << kind;
        const std::optional<std::string> laid =
            Shell(ex.Dir(), std::string("pdftotext ") + kind + "/list.pdf -");
        ASSERT_TRUE(laid.has_value()) << kind;
        const std::string flat = Flat(*laid);
        std::size_t at = 0;
        for (const char* expected : {"1 Abdallah, M. S.", "2 Aksin, Ö.", "37 Wöstmann, M."}) {
            const std::size_t found = flat.find(expected, at);
            ASSERT_NE(found, std::string::npos) << kind << ": " << expected << "\n" << flat;
            at = found;
        }
    }
}

// LibreOffice lays the completed documents out without complaint, citations and list in order;
// a binary .doc goes through it and back.
TEST_F(CompleteCommand, LibreOfficeReadsTheCompletedDocuments) {
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/setup installs it";
    }
    Examples ex;
    const std::string office =
        "soffice -env:UserInstallation=file://" + ex.File("profile") + " --headless --convert-to ";
    ASSERT_TRUE(Shell(ex.Dir(), office + "doc --outdir old manuscript.docx").has_value());
    fs::copy_file(ex.File("old/manuscript.doc"), ex.File("legacy.doc"));
    for (const char* name : {"manuscript.docx", "manuscript.odt", "legacy.doc"}) {
        const CliResult r = Run({"complete", ex.File(name), "--format", kStyles + "/apa.for"});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
    }
    for (const char* name : {"manuscript_OUT.docx", "manuscript_OUT.odt", "legacy_OUT.doc"}) {
        const std::string pdf = "pdf/" + fs::path(name).stem().string() + ".pdf";
        ASSERT_TRUE(Shell(ex.Dir(), office + "pdf --outdir pdf " + name).has_value()) << name;
        const std::optional<std::string> text = Shell(ex.Dir(), "pdftotext " + pdf + " -");
        ASSERT_TRUE(text.has_value()) << name;
        const std::string flat = Flat(*text);
        std::size_t at = 0;
        for (const char* expected : {"(Kolak et al., 2017; Wörmann, 2017)", "(Twomey et al., 2017)",
                                     "(Chica et al., 2012; Kolak et al., 2017)", "References",
                                     "Chica, A. B.", "DeSantis, C.", "Wöstmann, M."}) {
            const std::size_t found = flat.find(expected, at);
            ASSERT_NE(found, std::string::npos) << name << ": " << expected << "\n" << flat;
            at = found;
        }
        EXPECT_EQ(flat.find("{{"), std::string::npos) << name;
    }
}

TEST_F(LatexExample, CompletesAndCompilesWithPdflatex) {
    Examples ex;
    const CliResult r =
        Run({"complete", ex.File("manuscript.tex"), "--format", kStyles + "/apa.for"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string tex = test::ReadBytes(ex.File("manuscript_OUT.tex"));
    EXPECT_NE(tex.find("(Kolak et al., 2017; W\\\"{o}rmann, 2017)"), std::string::npos) << tex;
    EXPECT_NE(tex.find("\\par\\noindent\\hangindent=2em Chica, A. B."), std::string::npos);
    const std::optional<std::string> log =
        Shell(ex.Dir(), "pdflatex -interaction=nonstopmode -halt-on-error manuscript_OUT.tex");
    ASSERT_TRUE(log.has_value()) << test::ReadBytes(ex.Dir() / "manuscript_OUT.log");
    EXPECT_TRUE(fs::exists(ex.File("manuscript_OUT.pdf")));
}

} // namespace
} // namespace cvx::testing
