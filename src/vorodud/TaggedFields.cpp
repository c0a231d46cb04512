#include "vorodud/TaggedFields.h"

#include "text/StringPrimitives.h"
#include "vorodud/LexmillWrapper.h"

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

} // namespace

TaggedFields::TaggedFields(TagStyle style) : style_(style) {
    const int count = lx::LineCount();
    for (int i = 0; i < count; ++i) {
        const std::string line = lx::Line(i);
        const TagAt at = ParseTag(line, style);
        if (at.tag.empty()) {
            if (fields_.empty()) {
                continue;
            }
            // A continuation line (Refer's have no indentation).
            TaggedField& field = fields_.back();
            std::string text = TrimBlanks(line);
            if (!text.empty()) {
                if (style == TagStyle::Refer) {
                    std::string& value = *field.value;
                    value += (value.empty() ? "" : " ") + text;
                }
                field.items.push_back(std::move(text));
            }
            continue;
        }
        TaggedField field;
        field.tag = at.tag;
        field.line = i;
        std::string first = TrimBlanks(std::string_view(line).substr(at.valueStart));
        if (style == TagStyle::Refer) {
            field.value = first;
        }
        if (!first.empty()) {
            field.items.push_back(std::move(first));
        }
        fields_.push_back(std::move(field));
    }
}

const std::string& TaggedFields::Value(const TaggedField& field) const {
    if (!field.value) {
        // Lexmill joins the field's lines (a hyphen at a line's end joins without a blank)
        // and collapses blanks, so the value starts where the joined text's own tag ends,
        // whether or not a blank follows the separator ("TI  -Title").
        const std::string joined = lx::ShortTaggedField(field.line);
        const TagAt at = ParseTag(joined, style_);
        const std::size_t tagEnd = std::min(at.valueStart, joined.size());
        field.value = TrimBlanks(std::string_view(joined).substr(tagEnd));
    }
    return *field.value;
}

std::string TaggedFields::First(std::string_view tag) const {
    for (const TaggedField& f : fields_) {
        if (f.tag == tag) {
            return Value(f);
        }
    }
    return {};
}

std::string TaggedFields::FirstOf(std::initializer_list<std::string_view> tags) const {
    for (std::string_view tag : tags) {
        std::string value = First(tag);
        if (!value.empty()) {
            return value;
        }
    }
    return {};
}

std::vector<std::string> TaggedFields::All(std::string_view tag) const {
    std::vector<std::string> values;
    for (const TaggedField& f : fields_) {
        if (f.tag == tag && !Value(f).empty()) {
            values.push_back(Value(f));
        }
    }
    return values;
}

std::vector<std::string> TaggedFields::Items(std::string_view tag) const {
    std::vector<std::string> items;
    for (const TaggedField& f : fields_) {
        if (f.tag == tag) {
            items.insert(items.end(), f.items.begin(), f.items.end());
        }
    }
    return items;
}

bool TaggedFields::Has(std::string_view tag) const {
    for (const TaggedField& f : fields_) {
        if (f.tag == tag) {
            return true;
        }
    }
    return false;
}

} // namespace cvx::vorodud
