#include "vorodud/TaggedFields.h"

#include "text/StringPrimitives.h"
#include "vorodud/LexmillWrapper.h"

#include <iterator>

namespace cvx::vorodud {

namespace {

// The tag of a field's first line and where its value begins; an empty tag when the line does
// not begin a field.
struct TagAt {
    std::string tag;
    std::size_t valueStart = 0;
};

TagAt ParseTag(std::string_view line, TagStyle style) {
    if (line.empty() || IsBlank(line.front())) {
        return {};
    }
    switch (style) {
    case TagStyle::Medline: {
        const std::size_t dash = line.substr(0, 5).find('-');
        if (dash == std::string_view::npos || dash < 2) {
            return {};
        }
        return {TrimBlanks(line.substr(0, dash)), dash + 1};
    }
    case TagStyle::Ris: {
        const std::size_t dash = line.substr(0, 6).find('-');
        return {std::string(line.substr(0, 2)), dash == std::string_view::npos ? 2 : dash + 1};
    }
    case TagStyle::WebOfScience:
        return {std::string(line.substr(0, 2)), 2};
    case TagStyle::Refer:
        if (line.front() != '%') {
            return {};
        }
        return {std::string(line.substr(0, 2)), 2};
    }
    return {};
}

// What a look-up of a tag that the record lacks gives.
const std::string& NoValue() {
    static const std::string none;
    return none;
}

// The characters of a line that ParseTag reads.
constexpr std::size_t kTagWidth = 6;

// Tags are a few characters long: compared in place, they cost less than a call of memcmp,
// and every look-up of a field compares the tags of the whole record.
bool SameTag(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

TaggedFields::TaggedFields(TagStyle style) : style_(style) {
    // A line's tag lies in its first characters: only those are fetched here, whole lines when
    // a field's items are asked for.
    const int count = lx::LineCount();
    fields_.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const TagAt at = ParseTag(lx::LineStart(i, kTagWidth), style);
        if (at.tag.empty()) {
            if (!fields_.empty()) {
                fields_.back().end = i + 1; // a continuation line (Refer's have no indentation)
            }
            continue;
        }
        fields_.push_back({at.tag, i, i + 1, at.valueStart, std::nullopt});
    }
}

const std::string& TaggedFields::Value(const TaggedField& field) const {
    if (field.value) {
        return *field.value;
    }
    if (style_ == TagStyle::Refer) {
        // Refer's lines are joined with a blank, as they are.
        std::string value;
        for (const std::string& item : ItemsOf(field)) {
            value += (value.empty() ? "" : " ") + item;
        }
        field.value = std::move(value);
    } else {
        // Lexmill joins the field's lines (a hyphen at a line's end joins without a blank)
        // and collapses blanks, so the value starts where the joined text's own tag ends,
        // whether or not a blank follows the separator ("TI  -Title").
        const std::string_view joined = lx::ShortTaggedFieldView(field.line);
        const TagAt at = ParseTag(joined, style_);
        field.value = std::string(TrimView(joined.substr(std::min(at.valueStart, joined.size()))));
    }
    return *field.value;
}

std::vector<std::string> TaggedFields::ItemsOf(const TaggedField& field) const {
    std::vector<std::string> items;
    for (int i = field.line; i < field.end; ++i) {
        std::string_view line = lx::LineView(i);
        if (i == field.line) {
            line.remove_prefix(std::min(field.valueStart, line.size()));
        }
        std::string item(TrimView(line));
        if (!item.empty()) {
            items.push_back(std::move(item));
        }
    }
    return items;
}

const std::string& TaggedFields::First(std::string_view tag) const {
    for (const TaggedField& f : fields_) {
        if (SameTag(f.tag, tag)) {
            return Value(f);
        }
    }
    return NoValue();
}

const std::string& TaggedFields::FirstOf(std::initializer_list<std::string_view> tags) const {
    for (std::string_view tag : tags) {
        if (const std::string& value = First(tag); !value.empty()) {
            return value;
        }
    }
    return NoValue();
}

std::vector<std::string> TaggedFields::All(std::string_view tag) const {
    std::vector<std::string> values;
    for (const TaggedField& f : fields_) {
        if (SameTag(f.tag, tag) && !Value(f).empty()) {
            values.push_back(Value(f));
        }
    }
    return values;
}

std::vector<std::string> TaggedFields::Items(std::string_view tag) const {
    std::vector<std::string> items;
    for (const TaggedField& f : fields_) {
        if (SameTag(f.tag, tag)) {
            std::vector<std::string> more = ItemsOf(f);
            items.insert(items.end(), std::make_move_iterator(more.begin()),
                         std::make_move_iterator(more.end()));
        }
    }
    return items;
}

std::vector<std::string> TaggedFields::TakeAll(std::string_view tag) {
    std::vector<std::string> values;
    for (TaggedField& f : fields_) {
        if (!SameTag(f.tag, tag)) {
            continue;
        }
        if (!Value(f).empty()) {
            values.push_back(std::move(*f.value));
        }
        f.value.reset(); // read again when asked for again
    }
    return values;
}

bool TaggedFields::Has(std::string_view tag) const {
    for (const TaggedField& f : fields_) {
        if (SameTag(f.tag, tag)) {
            return true;
        }
    }
    return false;
}

} // namespace cvx::vorodud
