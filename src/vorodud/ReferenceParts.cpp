#include "vorodud/ReferenceParts.h"

#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"

namespace cvx::vorodud {

namespace {

bool IsUpperLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return UpperChar(u) == u && LowerChar(u) != u;
}

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return UpperChar(u) != LowerChar(u);
}

// Packed initials as MEDLINE and Web of Science write them: "JA", "J.A.", "J-P".
bool IsInitials(std::string_view word) {
    std::size_t letters = 0;
    for (char c : word) {
        if (c == '.' || c == '-') {
            continue;
        }
        if (!IsUpperLetter(c)) {
            return false;
        }
        ++letters;
    }
    return letters >= 1 && letters <= 4;
}

// "J A" from given names or packed initials; hyphenated names keep their hyphen ("J-P").
std::string Initials(std::string_view given) {
    std::vector<std::string> parts;
    for (const std::string_view word : BlankSeparatedWords(given)) {
        if (IsInitials(word) && word.find('-') == std::string_view::npos) {
            for (char c : word) {
                if (c != '.') {
                    parts.emplace_back(1, c);
                }
            }
            continue;
        }
        std::string initial;
        bool start = true;
        for (char c : word) {
            if (c == '-' && !initial.empty()) {
                initial.push_back('-');
                start = true;
            } else if (c == '.') {
                start = true;
            } else if (start && IsLetter(c)) {
                if (!initial.empty() && initial.back() != '-') {
                    parts.push_back(initial);
                    initial.clear();
                }
                initial.push_back(static_cast<char>(UpperChar(static_cast<unsigned char>(c))));
                start = false;
            }
        }
        if (!initial.empty() && initial.back() == '-') {
            initial.pop_back();
        }
        if (!initial.empty()) {
            parts.push_back(initial);
        }
    }
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : " ") + p;
    }
    return out;
}

std::string Joined(const std::vector<std::string_view>& words, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        out += out.empty() ? "" : " ";
        out += words[i];
    }
    return out;
}

// Lower-case words that belong to a last name written after the given names ("van", "de").
bool IsNameParticle(std::string_view word) {
    return !word.empty() && !IsUpperLetter(word.front()) && IsLetter(word.front());
}

} // namespace

std::string CorporateAuthor(std::string_view name) {
    std::string n = TrimBlanks(name);
    std::erase(n, '"');
    return n.empty() ? std::string() : "\"" + n + "\".";
}

std::string FormatAuthorName(std::string_view nameArgument) {
    std::string name = TrimBlanks(nameArgument);
    while (!name.empty() && (name.back() == ',' || name.back() == ';')) {
        name.pop_back();
    }
    name = TrimBlanks(name);
    if (name.empty()) {
        return {};
    }
    std::string last;
    std::string given;
    if (const std::size_t comma = name.find(','); comma != std::string::npos) {
        last = TrimBlanks(std::string_view(name).substr(0, comma));
        std::string rest = TrimBlanks(std::string_view(name).substr(comma + 1));
        // "von Last, Jr, First"
        if (const std::size_t second = rest.find(','); second != std::string::npos) {
            last += " " + TrimBlanks(std::string_view(rest).substr(0, second));
            rest = TrimBlanks(std::string_view(rest).substr(second + 1));
        }
        given = rest;
    } else {
        const std::vector<std::string_view> words = BlankSeparatedWords(name);
        if (words.size() == 1) {
            return CorporateAuthor(name);
        }
        if (IsInitials(words.back())) {
            last = Joined(words, 0, words.size() - 1);
            given = words.back();
        } else {
            std::size_t first = words.size() - 1;
            while (first > 1 && IsNameParticle(words[first - 1])) {
                --first;
            }
            last = Joined(words, first, words.size());
            given = Joined(words, 0, first);
        }
    }
    const std::string initials = Initials(given);
    if (last.empty()) {
        return CorporateAuthor(name);
    }
    if (initials.empty()) {
        return CorporateAuthor(last);
    }
    return last + ", " + initials + ".";
}

std::string FirstYear(std::string_view text) {
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        if ((i > 0 && IsDigit(text[i - 1])) || (i + 4 < text.size() && IsDigit(text[i + 4]))) {
            continue;
        }
        const std::string_view four = text.substr(i, 4);
        if (IsAllDigits(four) && !four.empty()) {
            const int year = (four[0] - '0') * 1000 + (four[1] - '0') * 100 + (four[2] - '0') * 10 +
                             (four[3] - '0');
            if (year >= 1500 && year <= 2099) {
                return std::string(four);
            }
        }
    }
    return {};
}

std::string WithDigits(std::string_view text) {
    return HasDigit(text) ? TrimBlanks(text) : std::string();
}

std::string YearLine(const Reference& ref, std::string_view pages) {
    auto clean = [](std::string_view text) {
        std::string s = TrimBlanks(text);
        std::erase(s, '(');
        std::erase(s, ')');
        return TrimBlanks(s);
    };
    std::string line = ref.year.empty() ? "\"\"" : ref.year;
    const std::string volume = clean(ref.volume);
    const std::string issue = clean(ref.issue);
    if (!volume.empty() || !issue.empty()) {
        line += " (" + volume + (issue.empty() ? "" : "(" + issue + ")") + ")";
    }
    if (!TrimView(pages).empty()) {
        line += " pp " + TrimBlanks(pages);
    }
    return line;
}

std::string EndSentence(std::string_view text) {
    std::string t = TrimBlanks(text);
    if (!t.empty() && !t.ends_with('.') && !t.ends_with('?') && !t.ends_with('!')) {
        t.push_back('.');
    }
    return t;
}

Citation ParseCitation(std::string_view text) {
    Citation c;
    const std::string year = FirstYear(text);
    if (year.empty()) {
        c.journal = TrimBlanks(text);
        return c;
    }
    const std::size_t at = text.find(year);
    c.year = year;
    std::string journal = TrimBlanks(text.substr(0, at));
    while (!journal.empty() &&
           std::string_view(" ,.;:").find(journal.back()) != std::string::npos) {
        journal.pop_back();
    }
    c.journal = TrimBlanks(journal);
    std::string_view rest = text.substr(at + 4);
    // Month and day run to the first ";" or ","; the volume follows.
    const std::size_t separator = rest.find_first_of(";,");
    const std::size_t firstDigit = rest.find_first_of("0123456789");
    if (separator != std::string_view::npos &&
        (firstDigit == std::string_view::npos || separator < firstDigit ||
         rest.substr(0, separator).find_first_of("0123456789") != std::string_view::npos)) {
        rest.remove_prefix(separator + 1);
    }
    rest = TrimView(rest);
    // Citation indexes write "V51, N13, P8542-8550".
    if (rest.size() > 1 && rest[0] == 'V' && IsDigit(rest[1])) {
        std::size_t start = 0;
        while (start < rest.size()) {
            std::size_t end = rest.find(',', start);
            if (end == std::string_view::npos) {
                end = rest.size();
            }
            const std::string_view part = TrimView(rest.substr(start, end - start));
            if (part.size() > 1 && IsDigit(part[1])) {
                const std::string value = FirstWord(part.substr(1));
                switch (part[0]) {
                case 'V':
                    c.volume = TrimBlanks(value);
                    break;
                case 'N':
                    c.issue = TrimBlanks(value);
                    break;
                case 'P':
                    c.pages = TrimBlanks(value);
                    break;
                default:
                    break;
                }
            }
            start = end + 1;
        }
        return c;
    }
    std::size_t i = 0;
    while (i < rest.size() && rest[i] != '(' && rest[i] != ':' && rest[i] != ',' &&
           rest[i] != ';') {
        ++i;
    }
    c.volume = WithDigits(rest.substr(0, i));
    if (i < rest.size() && rest[i] == '(') {
        const std::size_t close = rest.find(')', i);
        c.issue = TrimBlanks(rest.substr(
            i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
        i = close == std::string_view::npos ? rest.size() : close + 1;
    }
    const std::size_t pagesAt = rest.find_first_of(":,", i);
    if (pagesAt != std::string_view::npos) {
        std::string_view pages = TrimView(rest.substr(pagesAt + 1));
        const std::size_t end = pages.find_first_of(";. ");
        c.pages = WithDigits(pages.substr(0, end));
    }
    return c;
}

Reference ParseFreeCitation(std::string_view text) {
    std::string t = TrimBlanks(text);
    // A leading number ("12.", "[12]", "12)") belongs to the list, not to the reference.
    std::size_t digits = t.starts_with('[') ? 1 : 0;
    while (digits < t.size() && IsDigit(t[digits])) {
        ++digits;
    }
    if (digits > 0 && digits < t.size() &&
        std::string_view(".])").find(t[digits]) != std::string_view::npos) {
        t = TrimBlanks(std::string_view(t).substr(digits + 1));
    }
    // Sentences end at ". "; the citation is the sentence that holds the year.
    std::vector<std::string> sentences;
    std::size_t start = 0;
    while (start < t.size()) {
        std::size_t end = t.find(". ", start);
        if (end == std::string::npos) {
            end = t.size();
        }
        sentences.push_back(TrimBlanks(std::string_view(t).substr(start, end - start)));
        start = end + 2;
    }
    Reference r;
    std::size_t cited = sentences.size();
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        if (!FirstYear(sentences[i]).empty()) {
            cited = i;
        }
    }
    if (cited < 2 || cited == sentences.size()) {
        return r;
    }
    const Citation c = ParseCitation(sentences[cited]);
    r.journal = c.journal;
    r.year = c.year;
    r.volume = c.volume;
    r.issue = c.issue;
    r.pages = c.pages;
    r.title = sentences[cited - 1];
    std::string authors;
    for (std::size_t i = 0; i + 1 < cited; ++i) {
        authors += (authors.empty() ? "" : ". ") + sentences[i];
    }
    std::size_t from = 0;
    while (from <= authors.size()) {
        std::size_t end = authors.find(',', from);
        if (end == std::string::npos) {
            end = authors.size();
        }
        if (std::string a = FormatAuthorName(std::string_view(authors).substr(from, end - from));
            !a.empty()) {
            r.authors.push_back(std::move(a));
        }
        from = end + 1;
    }
    return r;
}

std::vector<std::string> SplitNameList(std::string_view text) {
    std::vector<std::string> names;
    std::string rest(text);
    rest = ReplaceAll(rest, " and ", ";");
    rest = ReplaceAll(rest, " AND ", ";");
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find(';', start);
        if (end == std::string::npos) {
            end = rest.size();
        }
        const std::string name = TrimBlanks(std::string_view(rest).substr(start, end - start));
        if (!name.empty()) {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

} // namespace cvx::vorodud
