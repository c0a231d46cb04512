#include "text/MessageFill.h"

#include "text/StringPrimitives.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace cvx {

namespace {

struct Placeholder {
    std::string_view name;
    std::string_view value;
};

// Replaces the first occurrence of each placeholder in the template, all in one pass over the
// template, so that a value holding a placeholder of its own (a file named "%s2.ref") stays
// as it is.
std::string Fill(std::string_view text, std::initializer_list<Placeholder> placeholders) {
    const std::string base = MessageLineBreaks(text);
    struct Hit {
        std::size_t at;
        const Placeholder* placeholder;
    };
    std::vector<Hit> hits;
    for (const Placeholder& p : placeholders) {
        if (const std::size_t at = base.find(p.name); at != std::string::npos) {
            hits.push_back({at, &p});
        }
    }
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.at < b.at; });
    std::string out;
    std::size_t copied = 0;
    for (const Hit& hit : hits) {
        if (hit.at < copied) {
            continue; // inside a placeholder already replaced
        }
        out.append(base, copied, hit.at - copied).append(hit.placeholder->value);
        copied = hit.at + hit.placeholder->name.size();
    }
    return out.append(base, copied);
}

// A template with numbered placeholders ("%s1" to "%s3") rather than a single "%s".
bool Numbered(std::string_view text) {
    return text.find("%s1") != std::string_view::npos ||
           text.find("%s2") != std::string_view::npos || text.find("%s3") != std::string_view::npos;
}

} // namespace

std::string MessageLineBreaks(std::string_view text) {
    return ReplaceAll(text, "\\n", "\r");
}

std::string FillMessage(std::string_view text, std::string_view a) {
    return Fill(text, {{"%s", a}});
}

std::string FillMessage2(std::string_view text, std::string_view a1, std::string_view a2) {
    return Fill(text, {{"%s1", a1}, {"%s2", a2}});
}

std::string FillMessage3(std::string_view text, std::string_view a1, std::string_view a2,
                         std::string_view a3) {
    return Fill(text, {{"%s1", a1}, {"%s2", a2}, {"%s3", a3}});
}

int PlaceholderCount(std::string_view text) {
    int count = 0;
    for (std::size_t pos = text.find("%s"); pos != std::string_view::npos;
         pos = text.find("%s", pos + 2)) {
        const char next = pos + 2 < text.size() ? text[pos + 2] : '\0';
        count = std::max(count, next >= '1' && next <= '3' ? next - '0' : 1);
    }
    return count;
}

std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& args) {
    if (Numbered(text)) {
        return FillMessage3(text, args.size() > 0 ? args[0] : "%s1",
                            args.size() > 1 ? args[1] : "%s2", args.size() > 2 ? args[2] : "%s3");
    }
    return args.empty() ? MessageLineBreaks(text) : FillMessage(text, args[0]);
}

} // namespace cvx
