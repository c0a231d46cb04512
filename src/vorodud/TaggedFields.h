#pragma once
// The fields of a tagged record in Lexmill's line table, grouped by tag. Today's formats differ
// in the shape of their tags: MEDLINE "TI  - " (up to four letters before the hyphen), RIS
// "TI  - " (two), Web of Science "TI " (two, continuation lines indented by three blanks, one
// name per line in author fields) and EndNote/Refer "%T " (continuation lines without a tag).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx::vorodud {

enum class TagStyle { Medline, Ris, WebOfScience, Refer };

struct TaggedField {
    std::string tag;
    int line = 0;               // its first line in the record
    int end = 0;                // the line after its last
    std::size_t valueStart = 0; // where the value begins in its first line
    // The field's lines joined; made when first asked for, since most fields of a record are
    // never read.
    mutable std::optional<std::string> value;
};

class TaggedFields {
public:
    // Reads the current record from Lexmill's line table.
    explicit TaggedFields(TagStyle style);

    bool Empty() const { return fields_.empty(); }
    const std::vector<TaggedField>& Fields() const { return fields_; }
    // The first field's value with the tag; empty when there is none. The text stays the
    // table's until TakeAll hands over the tag's values.
    const std::string& First(std::string_view tag) const;
    // The first non-empty value among the tags, in their order.
    const std::string& FirstOf(std::initializer_list<std::string_view> tags) const;
    std::vector<std::string> All(std::string_view tag) const;
    // The same, without copies of long values (abstracts): they are handed over and read anew
    // should they be asked for again.
    std::vector<std::string> TakeAll(std::string_view tag);
    std::vector<std::string> Items(std::string_view tag) const;
    bool Has(std::string_view tag) const;

private:
    const std::string& Value(const TaggedField& field) const;
    // The field's lines one by one, trimmed, the first without its tag.
    std::vector<std::string> ItemsOf(const TaggedField& field) const;

    TagStyle style_;
    std::vector<TaggedField> fields_;
};

} // namespace cvx::vorodud
