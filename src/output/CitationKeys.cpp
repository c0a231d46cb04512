#include "output/CitationKeys.h"

#include "output/PersonNames.h"
#include "text/AnsiWriter.h"
#include "text/Cp1252.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"

namespace cvx {

namespace {

// Longest family-name part of a key.
constexpr std::size_t kMaxNameLength = 24;

// The ASCII letters of a name, its first one a capital: "Blüthgen" gives "Bluthgen", "van den
// Berg" "VandenBerg", "World Health Organization" "WorldHealthOrganization".
std::string AsciiName(std::string_view name) {
    std::string out;
    for (char c : CodesToPlainText(name)) {
        for (char letter : AsciiLetters(Cp1252ToUnicode(static_cast<unsigned char>(c)))) {
            if ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) {
                out.push_back(out.empty() && letter >= 'a' ? static_cast<char>(letter - 32)
                                                           : letter);
            }
        }
        if (out.size() >= kMaxNameLength) {
            break;
        }
    }
    return out.substr(0, kMaxNameLength);
}

// The letters that tell the n-th taken key apart (1: "a", 26: "z", 27: "aa").
std::string Letters(int n) {
    std::string s;
    while (n > 0) {
        --n;
        s.insert(s.begin(), static_cast<char>('a' + n % 26));
        n /= 26;
    }
    return s;
}

} // namespace

std::string KeyBase(const TRefArrData& record) {
    std::vector<PersonName> names = SplitNames(record[FieldIndex::Authors]);
    if (names.empty()) {
        names = SplitNames(record[FieldIndex::Editors]);
    }
    std::string name = names.empty() ? std::string() : AsciiName(names.front().family);
    if (name.empty()) {
        name = "Anon";
    }
    const std::string_view year = TrimView(record[FieldIndex::Year]);
    const bool hasYear = year.size() >= 4 && IsAllDigits(year.substr(0, 4));
    return name + (hasYear ? std::string(year.substr(0, 4)) : std::string("nd"));
}

std::string CitationKeys::Next(const TRefArrData& record) {
    const std::string base = KeyBase(record);
    std::string key = base;
    for (int n = 1; taken_.contains(key); ++n) {
        key = base + Letters(n);
    }
    taken_.insert(key);
    return key;
}

} // namespace cvx
