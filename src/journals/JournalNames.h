#pragma once
// How journal names are compared: the folding table, the normalised name without stop words,
// the signature by which the database is sorted, ISSNs and the suffixes a name may carry.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cvx {

// One byte through the folding table: digits and "A".."Z" stay, "a".."z" become capitals, the
// apostrophe and the hyphen stay, accented letters lose their accents and every other byte
// becomes a blank. Typographic quotes, dashes and the non-breaking space are first taken to
// their ASCII forms, since the table's upper rows would read some of them as letters.
unsigned char FoldJournalChar(unsigned char c);

// The name folded byte by byte, without leading, final and repeated blanks.
std::string FoldJournalName(std::string_view name);

// The folded name without the stop words that begin a word ("OF", "D'", "L'", "DE", "LA", "LE",
// "DI", "THE", "AND", "DES", "UND").
std::string NormaliseJournalName(std::string_view name);

struct JournalSignature {
    std::uint16_t value = 0; // five base-9 digits, 0 to 59048
    // The weight of the last digit that the name decided: 81 normally, 729 when only one
    // significant word was taken, 6561 when only one letter was.
    int precisionUnit = 81;
};

// The signature of a normalised name: the letter classes of up to five letters taken from its
// first three significant words.
JournalSignature SignatureOf(std::string_view normalised);

// An ISSN as a name suffix may carry: "dddd-dddd", with "I" and "l" read as 1, "O" and "o" as
// 0 and "X" allowed as the last character. The accepted ISSN in its plain form, or nullopt.
std::optional<std::string> AcceptIssn(std::string_view text);

using PackedIssn = std::array<std::uint8_t, 4>;

// Packs an accepted ISSN: each byte holds two characters as second digit * 10 + first digit,
// and 100 + d stands for the digit d followed by the check character X.
PackedIssn PackIssn(std::string_view issn);
// "dddd-dddd"; nullopt for a byte that no ISSN packs to.
std::optional<std::string> UnpackIssn(std::string_view packed);

// The character that numbers a name among equal names: 1 to 9, then A, B, ...
char AmbiguityMark(int number);
// The number a mark stands for; 0 when the character is no mark.
int AmbiguityNumber(char mark);

// A name with its suffixes taken off: " [ISSN]" (when the ISSN is acceptable) and " #n".
struct JournalQuery {
    std::string name; // trimmed
    std::string issn; // plain "dddd-dddd", or empty
    int number = 0;   // the ambiguity number, or 0
};
JournalQuery SplitJournalQuery(std::string_view name);

} // namespace cvx
