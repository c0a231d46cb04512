#pragma once
// The document-definition library: for every document format that is completed as plain bytes
// (RTF, WordPerfect, WordStar, text ...), the byte sequences that format uses for the font styles,
// the Greek font, line breaks, tabs, hanging paragraphs and the characters 128..254.
//
// File layout (little-endian): the magic 0x075BCD14, a 16-bit entry count, one 32-bit offset per
// entry. At each offset: the name as a length-prefixed string in 51 bytes, the default extension
// as a length-prefixed string in 4 bytes, then from offset + 55 the length-prefixed codes: seven
// on/off pairs (StyleCode order), Greek, line break, tab, outdented paragraph and one string for
// each character 128..254.

#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

inline constexpr std::uint32_t kDocumentLibraryMagic = 0x075BCD14;
inline constexpr std::size_t kDocumentNameField = 51;     // length byte and 50 characters
inline constexpr std::size_t kDocumentExtensionField = 4; // length byte and 3 characters
inline constexpr std::size_t kDocumentCodesOffset = 55;   // the codes start here in an entry
inline constexpr std::size_t kMaxDocumentCode = 255;      // bytes of one length-prefixed code

// The font styles of a definition, in the order of its on/off pairs.
enum class StyleCode : int {
    Bold,
    Italic,
    Subscript,
    BoldSubscript,
    BoldSuperscript,
    Superscript,
    Underline
};
inline constexpr int kStyleCodeCount = 7;

// The characters a definition maps.
inline constexpr int kFirstMappedChar = 128;
inline constexpr int kLastMappedChar = 254;
inline constexpr int kMappedCharCount = kLastMappedChar - kFirstMappedChar + 1;

struct TDocumentDefinition {
    std::string name;
    std::string extension;
    std::array<std::string, kStyleCodeCount> styleOn;
    std::array<std::string, kStyleCodeCount> styleOff;
    std::string greek; // switches the following Latin letters to the Greek (Symbol) font
    std::string lineBreak;
    std::string tab;
    std::string outdent; // a new paragraph whose first line is outdented
    std::array<std::string, kMappedCharCount> characters; // how 128..254 are written

    const std::string& Character(unsigned char c) const {
        return characters[static_cast<std::size_t>(c - kFirstMappedChar)];
    }
    bool operator==(const TDocumentDefinition&) const = default;
};

// The kinds of documents completion handles; the kind decides the scanning and output rules.
enum class DocumentKind { Word, Latex, Rtf, WordPerfect5, WordPerfect6, Plain };

// The kind a definition's name implies: RTF when it contains "RTF", WordPerfect 6 when it contains
// "WordPerfect" and "6", "7" or "8", WordPerfect 5 when it contains "WordPerfect" and "5.",
// otherwise a plain format.
DocumentKind KindOfDefinition(std::string_view name);

// The library file's bytes. Fails when a name, extension or code is too long for its field.
Outcome EncodeDocumentLibrary(const std::vector<TDocumentDefinition>& definitions,
                              std::string& bytes);
// Reads a library; every offset and length is checked, and a damaged file fails with the
// catalogue's "ruined" message rather than yielding a partial library.
Outcome DecodeDocumentLibrary(std::string_view bytes,
                              std::vector<TDocumentDefinition>& definitions);

// Where the document formats of a completion come from besides the library.
inline constexpr int kWordAutomation = -1;
inline constexpr int kLatexDocument = -2;
inline constexpr int kUnknownDocumentFormat = -3; // a name that is none of these

class TDocumentLibrary {
public:
    // Reads the library file; a missing file fails with "Unable to locate".
    Outcome Load(const std::string& path, FileSystem& fs = FileSystem::Default());
    void Assign(std::vector<TDocumentDefinition> definitions) {
        definitions_ = std::move(definitions);
    }

    int Count() const { return static_cast<int>(definitions_.size()); }
    const TDocumentDefinition& Definition(int index) const {
        return definitions_.at(static_cast<std::size_t>(index));
    }

    // The document format of a name chosen by the user: kLatexDocument for a name containing
    // "LATEX" in any case, the index of the entry of that name (compared in capitals),
    // kWordAutomation for a Word document format ("Microsoft Word 97": the word "Word", not
    // "WordPerfect" or "WordStar"), kUnknownDocumentFormat for any other name.
    int FormatIndex(std::string_view name) const;

    // The names a user may choose: the entries' names, then LaTeX, joined by ", ".
    std::string FormatNames() const;

private:
    std::vector<TDocumentDefinition> definitions_;
};

} // namespace cvx
