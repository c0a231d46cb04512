#pragma once
// An output format: the 2375-byte record of a ".for" file (citation and reference-list settings,
// a pool of short texts and six form definitions) with its run-time state, the pool operations
// and the defaults.
//
// The record is held decoded. Nothing read from a file is trusted: DecodeFormat turns every
// value out of its range into its default and every string reference that leaves the pool into
// the empty text, so the rest of the program only ever sees a sound record.

#include "refstore/RefArrData.h"
#include "text/Outcome.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace cvx {

inline constexpr std::size_t kFormatFileSize = 2375;
inline constexpr std::uint16_t kFormatMagic = 0x303D; // the characters "=0"
inline constexpr int kPoolSize = 601;                 // the last byte is a guard
inline constexpr int kPoolCapacity = 600;             // bytes that texts may use
inline constexpr int kMaxPoolText = 100;              // longer references read as empty
inline constexpr int kElementKinds = 17;              // the field indices of a reference
inline constexpr int kMaxElements = 16;               // elements of one form

// A text in the pool: its offset and length. Length 0 is the empty text.
struct StrRef {
    std::int16_t offset = 0;
    std::uint8_t length = 0;
    bool operator==(const StrRef&) const = default;
};

// How one element (a field of the reference) is written in one form.
struct FieldProps {
    // Year: truncate to two digits; Issue: force inclusion; PageLast: contract the last page;
    // any other kind: upper case. The renderer upper-cases every kind whose option is odd. The
    // even value 2, which files of earlier versions never hold, sets the titles and book titles
    // in headline style and shortens the last page by the Chicago rules.
    std::uint8_t option = 0;
    std::uint8_t removeTrailDot = 0; // titles and book titles: drop a final "."
    std::uint8_t kind = 0;           // equal to the block's index
    StrRef whenMissing;
    StrRef textBefore;
    StrRef textAfter;
    bool operator==(const FieldProps&) const = default;
};

// How a list of authors or editors is written.
struct NameListStyle {
    std::uint8_t personalNames = 0; // 0 initials, 1 no personal names, 2 full personal names
    // 0 "Smith A, Jones B", 1 "A Smith, B Jones", 2 only the first name surname first,
    // 3 only the first name personal names first.
    std::uint8_t nameOrder = 0;
    std::uint8_t maxAuthors = 0;    // 0 no limit; a longer list is truncated
    std::uint8_t includAuthors = 0; // names kept in a truncated list
    StrRef substSuperNames;         // replaces the names left out (" et al.")
    StrRef betwSubsSurPers;         // between surname and personal names
    StrRef afterPersonal;           // after the personal names
    StrRef betw1stSurAndPers;       // as betwSubsSurPers, for the first name in orders 2 and 3
    StrRef betwPersonal;            // between two personal names or initials
    StrRef betw1stAnd2nd;           // between two names, except before the last
    StrRef beforeLast;              // before the last name
    bool operator==(const NameListStyle&) const = default;
};

// One form: the short (citation) or long (reference-list) form of one source type.
struct FormDef {
    std::uint8_t defined = 0; // the user defined this form explicitly in the editor
    std::array<std::uint8_t, kMaxElements> order{}; // element kinds; the first `count` count
    std::array<FieldProps, kElementKinds> props{};
    std::uint8_t count = 0;
    // 0 as in the reference file, 1 complete name, 2 Medlar, 3 Index Medicus, 4 BIOSIS,
    // 5 Chemical Abstracts.
    std::uint8_t journalForm = 0;
    std::uint8_t includeFullStops = 0;
    NameListStyle authorStyle;
    NameListStyle editorStyle;
    bool operator==(const FormDef&) const = default;
};

// The six forms in file order.
enum class FormSlot : int {
    JournalShort,
    JournalLong,
    ChapterShort,
    ChapterLong,
    MonographShort,
    MonographLong
};
inline constexpr int kFormCount = 6;

// The persistent part of a format, field by field as the file stores it.
struct FormatRecord {
    std::uint8_t shortForm = 0;        // 0 defined short form, 1 number, 2 author-year contraction
    std::uint8_t groupSort = 0;        // 0 alphabetical, 1 chronological
    std::uint8_t encloseGroup = 0;     // 0 "( )", 1 "[ ]", 2 trailing ")", 3 none
    std::uint8_t betwCitations = 0;    // 0 "; ", 1 ", ", 2 " ", 3 ";", 4 ",", 5 none
    std::uint8_t citationStyle = 0;    // 0 none, 1 "#I", 2 "#B", 3 "#U", 4 "#^", 5 "#v"
    std::uint8_t refListSortOrder = 0; // 0 alpha, 1 chrono, 2-4 numbered alpha/chrono/citation
    std::uint8_t charSortOrder = 0;    // an index of the collation names
    std::uint8_t paragraphStyle = 0;   // 0 left, 1 indented first line, 2 hanging
    std::uint8_t numberingStyle = 0;   // 0-6 "1" "1." "1)" "1/" "[1]" "[1]." custom; +7 tab
    StrRef numberPrefix;
    StrRef numberSuffix;
    std::uint8_t allowEtAl = 0;
    std::uint8_t skipRepeats = 0;
    StrRef substAuthors;
    // Letters of one author's years in a citation group: 0 joined as a run ("1986a-c"), 1 listed
    // ("1986a, 1986b, 1986c"). It takes the first reserved byte after substAuthors, which files
    // of earlier versions hold as 0.
    std::uint8_t yearLetters = 0;
    std::int16_t poolLength = 0;
    std::array<char, kPoolSize> pool{};
    std::array<FormDef, kFormCount> forms{};

    FormDef& Form(FormSlot slot) { return forms[static_cast<int>(slot)]; }
    const FormDef& Form(FormSlot slot) const { return forms[static_cast<int>(slot)]; }
    bool operator==(const FormatRecord&) const = default;
};

// Range limits of the enumerated settings (the largest valid value).
inline constexpr int kMaxShortForm = 2;
inline constexpr int kMaxGroupSort = 1;
inline constexpr int kMaxEncloseGroup = 3;
inline constexpr int kMaxBetwCitations = 5;
inline constexpr int kMaxCitationStyle = 5;
inline constexpr int kMaxRefListSortOrder = 4;
inline constexpr int kMaxCharSortOrder = 9;
inline constexpr int kMaxParagraphStyle = 2;
inline constexpr int kMaxNumberingStyle = 13;
inline constexpr int kMaxJournalForm = 5;
inline constexpr int kMaxPersonalNames = 2;
inline constexpr int kMaxNameOrder = 3;
inline constexpr int kMaxYearLetters = 1;

// The largest option value an element kind takes (see FieldProps::option).
int MaxOption(FieldIndex kind);

// The kinds each source type may place in its forms (bit k allows kind k).
inline constexpr std::uint32_t kJournalKinds = 0xE3EF;
inline constexpr std::uint32_t kChapterKinds = 0x1FFF7;
inline constexpr std::uint32_t kMonographKinds = 0x1FBF7;
std::uint32_t AllowedKinds(FormSlot slot);

// A loaded format: the record and the state that is never written.
class TFormatDesc {
public:
    TFormatDesc(); // the defaults of ResetFormat

    FormatRecord record;
    // Set by document completion while it renders a repeated citation.
    bool etAlContraction = false;

    // The file the format was loaded from; empty for defaults and when no file was found.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string name) { fileName_ = std::move(name); }

private:
    std::string fileName_;
};

// The defaults, and clears the run-time state. The defaults use 306 pool bytes.
void ResetFormat(TFormatDesc& desc);
const FormatRecord& DefaultFormatRecord();

// The editor's cancel: a saved record back over the current one.
void CopyFormatRecord(TFormatDesc& desc, const FormatRecord& source);

// The referenced text; empty for length 0, a length above 100 and a reference outside the pool.
std::string_view GetPoolString(const FormatRecord& record, StrRef ref);
inline std::string_view GetPoolString(const TFormatDesc& desc, StrRef ref) {
    return GetPoolString(desc.record, ref);
}

// Replaces the text `ref` (a reference inside `record`) points to: the old text is removed
// from the pool, which closes the gap and moves every later reference down, and the new one is
// appended. A text that does not fit, or is longer than 100 bytes, leaves the reference empty
// and fails with the pool warning.
Outcome SetPoolString(FormatRecord& record, StrRef& ref, std::string_view text);
inline Outcome SetPoolString(TFormatDesc& desc, StrRef& ref, std::string_view text) {
    return SetPoolString(desc.record, ref, text);
}

// Texts for many references at once, laid out in the pool in the order of ForEachStrRef: how the
// defaults and compiled style descriptions fill a record.
class PoolLayout {
public:
    // `ref` must lie inside the record later passed to Apply.
    void Set(StrRef& ref, std::string text) { texts_[&ref] = std::move(text); }
    // Empties the pool and every reference, then appends the texts. Fails, leaving the texts
    // that did not fit empty, when a text is longer than 100 bytes or the pool overflows.
    Outcome Apply(FormatRecord& record) const;

private:
    std::map<const StrRef*, std::string> texts_;
};

// Calls `visit` for every string reference of the record: the three of the header, then for
// each form the seven of the author style, the seven of the editor style and the three of each
// field-property block in kind order.
void ForEachStrRef(FormatRecord& record, const std::function<void(StrRef&)>& visit);

// The form for a source type (journal forms for anything but chapter and monograph).
FormSlot FormSlotFor(SourceType sourceType, bool longForm);
const FormDef& FormFor(const TFormatDesc& desc, SourceType sourceType, bool longForm);

// True when the long journal form lists the Issue element.
bool IssueListed(const TFormatDesc& desc);

// The 2375 bytes of the file, with both magic words set.
std::string EncodeFormat(const FormatRecord& record);
// True when the bytes hold at least a whole record and both magic words.
bool HasFormatMagic(std::string_view bytes);
// The record of the first 2375 bytes (which the caller guarantees), every untrusted value made
// sound as described at the top.
FormatRecord DecodeFormat(std::string_view bytes);

} // namespace cvx
