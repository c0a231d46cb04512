#pragma once
// One parsed reference: its source type and 17 text fields, with the reader and writer of the
// reference text layout and the formal checks.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

class JournalLookup;

enum class SourceType : std::uint8_t { Journal = 0, Chapter = 1, Monograph = 2, Unparsed = 3 };

enum class FieldIndex : int {
    IdString,
    Authors,
    Title,
    Journal,
    BookTitle,
    Year,
    Volume,
    Issue,
    PageFirst,
    PageLast,
    Editors,
    Publisher,
    City,
    Comments,
    Address,
    TranslTitle,
    TranslBookTitle,
};
inline constexpr int kFieldCount = 17;

// The field's name in code and in machine-readable output ("IdString", "Authors", ...).
std::string_view FieldName(FieldIndex field);

using TFieldArray = std::array<std::string, kFieldCount>;

struct TRefArrData {
    SourceType sourceType = SourceType::Unparsed;
    TFieldArray fields;

    std::string& operator[](FieldIndex f) { return fields[static_cast<int>(f)]; }
    const std::string& operator[](FieldIndex f) const { return fields[static_cast<int>(f)]; }
};

// The text of an explicitly unknown field.
inline constexpr std::string_view kUnknownField = "\"\"";

struct SplitText {
    std::string identification; // trimmed, at most 249 characters
    std::string proper;         // the reference proper, with a leading blank
    std::string abstractPart;   // the abstract/comment part, with a leading blank ("" if none)
    SourceType guessedType = SourceType::Journal;
    bool tooLong = false; // an identification line of 250 characters or more without a break
};

inline constexpr std::size_t kMaxIdStringLength = 249;

SplitText SplitReferenceText(std::string_view block);

// How the formal checks treat journal names.
struct FormalCheck {
    bool ignoreDatabase = false;
    const JournalLookup* journals = nullptr; // no database: names are not judged by it
};

struct ParsedReference {
    TRefArrData data;
    bool ruined = false;
    bool suspect = false;
};

// Never fails: what cannot be split raises `ruined`, a broken formal rule raises `suspect`.
// With `check`, a reference that parsed cleanly also goes through ReferenceFormatFaulty.
ParsedReference ParseReference(std::string_view block, bool check,
                               const FormalCheck& journals = {});

// The reference's text block, ending with the empty line.
std::string ComposeReferenceText(const TRefArrData& data);

enum class CheckKind : int {
    All = 0,
    YearVolumePages = 1,
    Names = 2,
    Source = 3,
    JournalNames = 4
};

bool ReferenceFormatFaulty(const TRefArrData& data, CheckKind kind, const FormalCheck& journals);
bool JournalNameSuspect(std::string_view name, const FormalCheck& journals);

} // namespace cvx
