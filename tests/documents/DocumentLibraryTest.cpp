#include "documents/DocumentLibrary.h"
#include "documents/DocumentDescription.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace cvx {
namespace {

// The names the document page offers that a library entry serves, in library order.
const std::vector<std::string> kShippedNames = {
    "WordPerfect 5.1/5.2", "WordPerfect 6.0/6.1", "WordStar 5.0", "Rich Text Format (RTF)",
    "Text (ANSI)",         "Text (ASCI)",         "Sprint"};

TDocumentDefinition Sample(std::string name) {
    TDocumentDefinition d;
    d.name = std::move(name);
    d.extension = "smp";
    for (int s = 0; s < kStyleCodeCount; ++s) {
        d.styleOn[s] = "<" + std::to_string(s) + ">";
        d.styleOff[s] = "</" + std::to_string(s) + ">";
    }
    d.greek = "{G}";
    d.lineBreak = "\r\n";
    d.tab = "\t";
    d.outdent = "\r\n  ";
    for (int c = kFirstMappedChar; c <= kLastMappedChar; ++c) {
        d.characters[c - kFirstMappedChar] = "&" + std::to_string(c) + ";";
    }
    return d;
}

TEST(DocumentLibrary, WritesTheDocumentedLayoutAndReadsItBack) {
    const std::vector<TDocumentDefinition> defs = {Sample("First format"), Sample("Second")};
    std::string bytes;
    ASSERT_TRUE(EncodeDocumentLibrary(defs, bytes).ok());

    EXPECT_EQ(GetLe32(bytes, 0), 0x075BCD14u);
    EXPECT_EQ(GetLe16(bytes, 4), 2);
    const std::size_t first = GetLe32(bytes, 6);
    const std::size_t second = GetLe32(bytes, 10);
    EXPECT_EQ(first, 14u);
    EXPECT_EQ(bytes[first], 12);
    EXPECT_EQ(bytes.substr(first + 1, 12), "First format");
    EXPECT_EQ(bytes[first + 51], 3);
    EXPECT_EQ(bytes.substr(first + 52, 3), "smp");
    EXPECT_EQ(bytes[first + 55], 3); // the bold on code "<0>"
    EXPECT_EQ(bytes.substr(first + 56, 3), "<0>");
    EXPECT_EQ(bytes.substr(second + 1, 6), "Second");

    std::vector<TDocumentDefinition> read;
    ASSERT_TRUE(DecodeDocumentLibrary(bytes, read).ok());
    EXPECT_EQ(read, defs);
}

TEST(DocumentLibrary, RefusesDefinitionsThatDoNotFitTheirFields) {
    for (int field = 0; field < 3; ++field) {
        TDocumentDefinition d = Sample("Fine");
        if (field == 0) {
            d.name = std::string(51, 'n');
        } else if (field == 1) {
            d.extension = "four";
        } else {
            d.characters[5] = std::string(256, 'x');
        }
        std::string bytes = "kept";
        const Outcome r = EncodeDocumentLibrary({d}, bytes);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(bytes, "kept");
    }
}

TEST(DocumentLibrary, ADamagedLibraryIsRefusedAsAWhole) {
    std::string bytes;
    ASSERT_TRUE(EncodeDocumentLibrary({Sample("A"), Sample("B")}, bytes).ok());
    const std::string ruined = Msg(msg::CreateFormDocs::LibraryRuined);
    // Every truncation, a wrong magic, an offset beyond the end and a length byte running past the
    // end are all refused with the same message.
    for (std::size_t n = 0; n < bytes.size(); n += 7) {
        std::vector<TDocumentDefinition> read;
        const Outcome r = DecodeDocumentLibrary(std::string_view(bytes).substr(0, n), read);
        ASSERT_FALSE(r.ok()) << n;
        EXPECT_EQ(r.message(), ruined);
        EXPECT_TRUE(read.empty());
    }
    std::string wrongMagic = bytes;
    wrongMagic[0] ^= 1;
    std::string farOffset = bytes;
    farOffset.replace(10, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    std::string longLength = bytes;
    longLength[bytes.size() - 6] = '\xFF'; // the length byte of the last code, "&254;"
    for (const std::string& bad : {wrongMagic, farOffset, longLength}) {
        std::vector<TDocumentDefinition> read;
        EXPECT_FALSE(DecodeDocumentLibrary(bad, read).ok());
    }
}

TEST(DocumentLibrary, ChoosesTheDocumentFormatByName) {
    TDocumentLibrary library;
    library.Assign({Sample("Rich Text Format (RTF)"), Sample("Text (ANSI)")});
    EXPECT_EQ(library.FormatIndex("Rich Text Format (RTF)"), 0);
    EXPECT_EQ(library.FormatIndex("text (ansi)"), 1);
    EXPECT_EQ(library.FormatIndex("LaTex"), kLatexDocument);
    EXPECT_EQ(library.FormatIndex("my latex files"), kLatexDocument);
    EXPECT_EQ(library.FormatIndex("Microsoft Word 97"), kWordAutomation);
    struct Case {
        std::string_view name;
        int index;
        std::string_view why;
    } cases[] = {
        {"Microsoft Word 6.0-8.0", kWordAutomation, "the other Word entry of the page"},
        {"word", kWordAutomation, "Word in any letter case"},
        {"Rich Txt Format", kUnknownDocumentFormat, "a mistyped name is no Word document"},
        {"WordPerfect 5.1/5.2", kUnknownDocumentFormat, "WordPerfect is not Word"},
        {"WordStar 5.0", kUnknownDocumentFormat, "nor is WordStar"},
        {"Keywords", kUnknownDocumentFormat, "a word that merely holds \"word\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(library.FormatIndex(c.name), c.index) << c.why;
    }
    EXPECT_EQ(library.FormatNames(), "Rich Text Format (RTF), Text (ANSI), LaTex");

    EXPECT_EQ(KindOfDefinition("Rich Text Format (RTF)"), DocumentKind::Rtf);
    EXPECT_EQ(KindOfDefinition("WordPerfect 5.1/5.2"), DocumentKind::WordPerfect5);
    EXPECT_EQ(KindOfDefinition("WordPerfect 6.0/6.1"), DocumentKind::WordPerfect6);
    EXPECT_EQ(KindOfDefinition("WordPerfect 8"), DocumentKind::WordPerfect6);
    EXPECT_EQ(KindOfDefinition("WordStar 5.0"), DocumentKind::Plain);
    EXPECT_EQ(KindOfDefinition("Text (ASCI)"), DocumentKind::Plain);
}

TEST(DocumentLibrary, ALibraryFileThatIsMissingIsReported) {
    test::TempDir dir;
    TDocumentLibrary library;
    const Outcome r = library.Load(dir.File("none.lib"));
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.message().find("Unable to locate"), std::string::npos);
}

TEST(DocumentLibrary, TheShippedLibraryHoldsTheFixedFormats) {
    TDocumentLibrary library;
    ASSERT_TRUE(library.Load(CITAVOX_DOCUMENT_LIBRARY).ok());
    ASSERT_EQ(library.Count(), static_cast<int>(kShippedNames.size()));
    for (int i = 0; i < library.Count(); ++i) {
        EXPECT_EQ(library.Definition(i).name, kShippedNames[i]);
        EXPECT_EQ(library.FormatIndex(kShippedNames[i]), i);
    }
    const TDocumentDefinition& rtf = library.Definition(3);
    EXPECT_EQ(rtf.styleOn[static_cast<int>(StyleCode::Italic)], "{\\i ");
    EXPECT_EQ(rtf.Character(0xE9), "\\'e9");
    EXPECT_EQ(rtf.lineBreak, "\\par ");

    const TDocumentDefinition& wp5 = library.Definition(0);
    EXPECT_EQ(wp5.styleOn[static_cast<int>(StyleCode::Bold)], "\xC3\x0C\xC3");
    EXPECT_EQ(wp5.Character(0xE9), std::string("\xC0\x29\x01\xC0", 4)); // é, multinational set

    const TDocumentDefinition& ascii = library.Definition(5);
    for (int c = kFirstMappedChar; c <= kLastMappedChar; ++c) {
        const std::string& text = ascii.Character(static_cast<unsigned char>(c));
        EXPECT_FALSE(text.empty()) << c;
        for (unsigned char b : text) {
            EXPECT_LT(b, 0x80) << c;
        }
    }
    EXPECT_EQ(ascii.Character(0xDF), "ss");
    EXPECT_EQ(library.Definition(4).Character(0xE9), "\xE9");
}

TEST(DocumentDescription, CompilesAndNamesTheLineAtFault) {
    const std::string valid = test::ReadBytes(CITAVOX_SOURCE_DIR "/data/documents/rtf.txt");
    TDocumentDefinition d;
    ASSERT_TRUE(CompileDocumentDefinition(valid, d).ok());
    EXPECT_EQ(d.name, "Rich Text Format (RTF)");
    EXPECT_EQ(d.styleOff[0], "}");

    struct Case {
        std::string from;
        std::string to;
        std::string message;
    };
    const Case cases[] = {
        {"citavox-document 1", "citavox-document 2", "must begin with the line"},
        {"extension         \"rtf\"", "extension \"rtf\"\nextension \"doc\"", "appears twice"},
        {"extension         \"rtf\"", "extension \"rtfd\"", "longer than 3 bytes"},
        {"tab               \"\\\\tab \"", "", "lacks the setting \"tab\""},
        {"tab               \"\\\\tab \"", "tab \"\\\\tab", "not closed"},
        {"tab               \"\\\\tab \"", "tab \"\\q\"", "unknown escape"},
        {"tab               \"\\\\tab \"", "tabs \"x\"", "unknown setting \"tabs\""},
        {"bold              \"{\\\\b \"", "bold \"{\\\\b \" \"}\" \"x\"", "takes 2 quoted"},
        {"char E9", "char 7F", "not a character code"},
        {"char E9", "char E8", "defined twice"},
        {"char 80", "char 8g", "not a character code"},
    };
    for (const Case& c : cases) {
        std::string text = valid;
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        const std::size_t end =
            c.from.starts_with("char") ? at + c.from.size() : text.find('\n', at);
        text.replace(at, end - at, c.to);
        TDocumentDefinition kept = d;
        const Outcome r = CompileDocumentDefinition(text, kept);
        ASSERT_FALSE(r.ok()) << c.to;
        EXPECT_NE(r.message().find(c.message), std::string::npos) << r.message();
        EXPECT_NE(r.message().find("Line "), std::string::npos);
        EXPECT_EQ(kept, d);
    }
    // A missing character is named.
    std::string text = valid;
    const std::size_t at = text.find("char A7");
    text.erase(at, text.find('\n', at) - at);
    const Outcome r = CompileDocumentDefinition(text, d);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.message().find("character A7 is missing"), std::string::npos);
}

} // namespace
} // namespace cvx
