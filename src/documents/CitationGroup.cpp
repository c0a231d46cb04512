#include "documents/CitationGroup.h"

#include "documents/PseudoCitation.h"
#include "text/Catalogue.h"
#include "text/Collation.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <set>

namespace cvx {

namespace {

constexpr std::string_view kSeparators[] = {"; ", ", ", " ", ";", ",", ""};
constexpr std::string_view kStyleCodes[] = {"", "#I", "#B", "#U", "#^", "#v"};
constexpr std::pair<std::string_view, std::string_view> kEnclosures[] = {
    {"(", ")"}, {"[", "]"}, {"", ")"}, {"", ""}};

// The first run of exactly four digits of a text, 0 when there is none.
int FirstFourDigitNumber(std::string_view text) {
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        const bool before = i > 0 && IsDigit(text[i - 1]);
        const bool after = i + 4 < text.size() && IsDigit(text[i + 4]);
        if (!before && !after &&
            std::all_of(text.begin() + static_cast<long>(i),
                        text.begin() + static_cast<long>(i + 4), IsDigit)) {
            return std::stoi(std::string(text.substr(i, 4)));
        }
    }
    return 0;
}

// Markup codes in a user's text are text.
std::string AsText(std::string_view text) {
    return ReplaceAll(text, "#", "##");
}

} // namespace

struct CitationGroupFormatter::Item {
    int reference = 0;
    int number = 0;
    std::string text;
    bool first = false;     // marked first in group
    bool fixed = false;     // a text before or after keeps it in its place
    bool mergeable = false; // a plain author-year citation
    std::size_t yearAt = 0; // where its year begins in the text
};

CitationGroupFormatter::CitationGroupFormatter(const TFormatDesc& format,
                                               const TCitedReferences& references,
                                               Collation collation)
    : format_(format), references_(references), collation_(collation),
      cited_(references.References().size(), false) {}

std::string CitationGroupFormatter::CitationText(const GroupCitation& c) {
    const TOneActualRef& ref = references_.References()[static_cast<std::size_t>(c.reference)];
    const bool numbered = format_.record.shortForm == 1;
    const std::string number = std::to_string(ref.listPosition + 1);
    std::string text = numbered                                        ? number
                       : cited_[static_cast<std::size_t>(c.reference)] ? ref.contracted
                                                                       : ref.shortCitation;
    cited_[static_cast<std::size_t>(c.reference)] = true;
    const std::string refText = Message(msg::Manusproduction::RefPrefix) + number;
    switch (c.optionCode & 31) {
    case kOptionYear:
        return numbered ? text : ref.YearWithLetter();
    case kOptionAuthors: {
        if (numbered) {
            return text;
        }
        const std::size_t at = ref.year.empty() ? std::string::npos : text.rfind(ref.year);
        std::string authors = text.substr(0, at);
        while (!authors.empty() && (IsBlank(authors.back()) || authors.back() == ',' ||
                                    authors.back() == ';' || authors.back() == ':')) {
            authors.pop_back();
        }
        return authors;
    }
    case kOptionTextBefore:
        return AsText(c.optionText) + (numbered ? refText : text);
    case kOptionTextAfter:
        return (numbered ? refText : text) + AsText(c.optionText);
    default:
        return text;
    }
}

void CitationGroupFormatter::Sort(std::vector<Item>& items) const {
    const bool numbered = format_.record.shortForm == 1;
    const bool chronological = format_.record.groupSort == 1;
    auto before = [&](const Item& a, const Item& b) {
        if (numbered) {
            return a.number < b.number;
        }
        const std::string pa = CodesToPlainText(a.text);
        const std::string pb = CodesToPlainText(b.text);
        if (chronological) {
            const int ya = FirstFourDigitNumber(pa);
            const int yb = FirstFourDigitNumber(pb);
            if (ya != yb) {
                return ya < yb;
            }
        }
        return CompareKeys(collation_, pa, pb) == kSortsBefore;
    };
    // Citations marked first lead; citations with a text keep their places among the rest,
    // and the others are sorted into the places that remain.
    std::vector<Item> first;
    std::vector<Item> rest;
    for (Item& item : items) {
        (item.first ? first : rest).push_back(std::move(item));
    }
    std::vector<Item> sortable;
    for (const Item& item : rest) {
        if (!item.fixed) {
            sortable.push_back(item);
        }
    }
    std::stable_sort(sortable.begin(), sortable.end(), before);
    items = std::move(first);
    std::size_t next = 0;
    for (Item& item : rest) {
        items.push_back(item.fixed ? std::move(item) : std::move(sortable[next++]));
    }
}

std::string CitationGroupFormatter::JoinNumbers(const std::vector<Item>& items,
                                                const std::string& separator) const {
    std::string out;
    auto append = [&](const std::string& text) { out += (out.empty() ? "" : separator) + text; };
    for (std::size_t i = 0; i < items.size();) {
        std::size_t j = i;
        if (!items[i].fixed) {
            while (j + 1 < items.size() && !items[j + 1].fixed &&
                   items[j + 1].number == items[j].number + 1) {
                ++j;
            }
        }
        if (j - i >= 2) {
            append(std::to_string(items[i].number) + "-" + std::to_string(items[j].number));
        } else {
            for (std::size_t k = i; k <= j; ++k) {
                append(items[k].text);
            }
        }
        i = j + 1;
    }
    return out;
}

std::string CitationGroupFormatter::JoinAuthorYear(const std::vector<Item>& items,
                                                   const std::string& separator) const {
    const auto& refs = references_.References();
    const bool listLetters = format_.record.yearLetters != 0;
    std::string out;
    for (std::size_t i = 0; i < items.size();) {
        if (!out.empty()) {
            out += separator;
        }
        const Item& head = items[i];
        if (!head.mergeable) {
            out += head.text;
            ++i;
            continue;
        }
        // Citations of the same authors: the later ones keep only their years, and letters of
        // one year become runs ("1986a-c") unless the format lists them ("1986a, 1986b").
        const std::string authors = head.text.substr(0, head.yearAt);
        std::size_t j = i + 1;
        while (j < items.size() && items[j].mergeable &&
               items[j].text.compare(0, items[j].yearAt, authors) == 0 &&
               items[j].yearAt == authors.size()) {
            ++j;
        }
        out += authors;
        for (std::size_t k = i; k < j;) {
            const TOneActualRef& ref = refs[static_cast<std::size_t>(items[k].reference)];
            const std::string yearPart = items[k].text.substr(items[k].yearAt);
            if (k > i) {
                out += ", ";
            }
            if (listLetters || ref.letter.size() != 1 || yearPart != ref.YearWithLetter()) {
                out += yearPart;
                ++k;
                continue;
            }
            std::size_t last = k;
            while (last + 1 < j) {
                const TOneActualRef& next =
                    refs[static_cast<std::size_t>(items[last + 1].reference)];
                const TOneActualRef& prev = refs[static_cast<std::size_t>(items[last].reference)];
                if (next.year != ref.year || next.letter.size() != 1 ||
                    items[last + 1].text.substr(items[last + 1].yearAt) != next.YearWithLetter() ||
                    next.letter[0] != prev.letter[0] + 1) {
                    break;
                }
                ++last;
            }
            out += yearPart;
            if (last > k) {
                out += "-" + refs[static_cast<std::size_t>(items[last].reference)].letter;
            }
            k = last + 1;
        }
        i = j;
    }
    return out;
}

std::string CitationGroupFormatter::Format(const std::vector<GroupCitation>& group) {
    const auto& refs = references_.References();
    const bool numbered = format_.record.shortForm == 1;
    std::vector<Item> items;
    std::set<int> seen;
    bool skipEnclosure = false;
    for (const GroupCitation& c : group) {
        if (!seen.insert(c.reference).second) {
            continue; // a reference cited twice in one group is written once
        }
        skipEnclosure = skipEnclosure || (c.optionCode & kSkipEnclosure) != 0;
        if ((c.optionCode & 31) == kOptionHide) {
            continue;
        }
        const TOneActualRef& ref = refs[static_cast<std::size_t>(c.reference)];
        Item item;
        item.reference = c.reference;
        item.number = ref.listPosition + 1;
        item.text = CitationText(c);
        item.first = (c.optionCode & kFirstInGroup) != 0;
        const int option = c.optionCode & 31;
        item.fixed = option == kOptionTextBefore || option == kOptionTextAfter;
        if (!numbered && option == kOptionNone && !ref.formatError && !ref.year.empty()) {
            const std::size_t at = item.text.rfind(ref.year);
            item.mergeable = at != std::string::npos && at > 0;
            item.yearAt = item.mergeable ? at : 0;
        }
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        return {};
    }
    Sort(items);

    const int styleIndex = std::clamp<int>(format_.record.citationStyle, 0, 5);
    const bool raised = styleIndex == 4 || styleIndex == 5;
    std::string separator(kSeparators[std::clamp<int>(format_.record.betwCitations, 0, 5)]);
    if (raised) {
        // Superscript and subscript numbers are joined directly, without blanks or enclosure.
        std::erase(separator, ' ');
        if (separator.empty()) {
            separator = ",";
        }
    } else if (numbered && separator.empty()) {
        separator = " ";
    }
    std::string inner = numbered ? JoinNumbers(items, separator) : JoinAuthorYear(items, separator);
    const std::string style(kStyleCodes[styleIndex]);
    inner = style + inner + style;
    if (skipEnclosure || raised) {
        return inner;
    }
    const auto& [open, close] = kEnclosures[std::clamp<int>(format_.record.encloseGroup, 0, 3)];
    return std::string(open) + inner + std::string(close);
}

} // namespace cvx
