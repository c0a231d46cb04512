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

TaggedFields::TaggedFields(TagStyle style) {
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
            const std::string text = TrimBlanks(line);
            if (!text.empty()) {
                field.items.push_back(text);
                if (style == TagStyle::Refer) {
                    field.value += (field.value.empty() ? "" : " ") + text;
                }
            }
            continue;
        }
        TaggedField field;
        field.tag = at.tag;
        const std::string first = TrimBlanks(std::string_view(line).substr(at.valueStart));
        if (style == TagStyle::Refer) {
            field.value = first;
        } else {
            // Lexmill joins the field's lines (a hyphen at a line's end joins without a blank).
            const std::string joined = lx::ShortTaggedField(i);
            const std::size_t tagEnd = std::min(at.valueStart, joined.size());
            field.value = TrimBlanks(std::string_view(joined).substr(tagEnd));
        }
        if (!first.empty()) {
            field.items.push_back(first);
        }
        fields_.push_back(std::move(field));
    }
}

std::string TaggedFields::First(std::string_view tag) const {
    for (const TaggedField& f : fields_) {
        if (f.tag == tag) {
            return f.value;
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
        if (f.tag == tag && !f.value.empty()) {
            values.push_back(f.value);
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
