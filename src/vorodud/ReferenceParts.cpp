#include "vorodud/ReferenceParts.h"

#include "text/CaseMapping.h"
#include "text/StringPrimitives.h"

#include <algorithm>

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
    // The initials are joined with blanks as they are found.
    std::string out;
    auto add = [&out](std::string_view initial) {
        if (!out.empty()) {
            out.push_back(' ');
        }
        out.append(initial);
    };
    for (const std::string_view word : BlankSeparatedWords(given)) {
        if (IsInitials(word) && word.find('-') == std::string_view::npos) {
            for (const char& c : word) {
                if (c != '.') {
                    add(std::string_view(&c, 1));
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
                    add(initial);
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
            add(initial);
        }
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

namespace {

// "Jr", "Sr" and the generation numbers stay with the last name ("Bitter Jr, P."): read as a
// given name they would become an initial. MEDLINE writes the generations as ordinals ("3rd").
bool IsNameSuffix(std::string_view word) {
    std::string w = UpperText(TrimView(word));
    while (!w.empty() && (w.back() == '.' || w.back() == ',')) {
        w.pop_back();
    }
    return w == "JR" || w == "SR" || w == "II" || w == "III" || w == "IV" || w == "2ND" ||
           w == "3RD" || w == "4TH";
}

// A suffix in capitals ("SR", "II") is also how packed initials look ("Fernandez SR" is S. R.
// Fernandez): it is taken as a suffix only where initials or given names come before it; written
// in small letters ("Jr", "Sr.") it is a suffix wherever it stands, and so are the ordinals and
// "III", which no one's initials spell.
bool IsSuffixHere(std::string_view word, bool followsGivenNames) {
    if (!IsNameSuffix(word)) {
        return false;
    }
    std::string upper = UpperText(TrimView(word));
    while (!upper.empty() && upper.back() == '.') {
        upper.pop_back();
    }
    return followsGivenNames || upper == "III" || IsDigit(upper.front()) ||
           std::any_of(word.begin(), word.end(),
                       [](char c) { return IsLetter(c) && !IsUpperLetter(c); });
}

// The suffix as the reference file keeps it: "Jr", "Sr", and the generations in Roman numerals.
std::string StoredSuffix(std::string_view word) {
    std::string upper = UpperText(TrimView(word));
    while (!upper.empty() && (upper.back() == '.' || upper.back() == ',')) {
        upper.pop_back();
    }
    if (upper == "JR" || upper == "SR") {
        return upper.substr(0, 1) + "r";
    }
    if (upper == "2ND") {
        return "II";
    }
    if (upper == "3RD") {
        return "III";
    }
    if (upper == "4TH") {
        return "IV";
    }
    return upper;
}

// Words that only the names of bodies carry.
bool IsCorporateWord(std::string_view word) {
    static constexpr std::string_view kWords[] = {
        "UNIVERSITY", "UNIVERSIT\xC4T", "UNIVERSITE",   "UNIVERSIDAD",  "INSTITUTE",
        "INSTITUT",   "DEPARTMENT",     "FACULTY",      "FAKULT\xC4T",  "COMMITTEE",
        "SOCIETY",    "ASSOCIATION",    "ORGANIZATION", "ORGANISATION", "COUNCIL",
        "CONSORTIUM", "GROUP",          "CENTER",       "CENTRE",       "MINISTRY",
        "AGENCY",     "COLLABORATION",  "FOUNDATION"};
    // Raising the case keeps the length: most words of a name are too short to be one of them.
    if (word.size() < 5 || word.size() > 13) {
        return false;
    }
    const std::string w = UpperText(word);
    for (std::string_view k : kWords) {
        if (w == k) {
            return true;
        }
    }
    return false;
}

// A name written without a comma is a body's when it holds a sentence ("University of Karlsruhe.
// Faculty of Informatics") or a word that only bodies use.
bool IsCorporateName(const std::vector<std::string_view>& words) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view w = words[i];
        if (IsCorporateWord(w)) {
            return true;
        }
        if (i + 1 < words.size() && w.size() > 3 && w.back() == '.' && !IsInitials(w)) {
            return true;
        }
    }
    return false;
}

// Given names in capitals ("CASTOE, TODD A.") are names, not packed initials: a word of three
// letters or more with a vowel is read as a name when the last name is in capitals too.
std::string InitialsOf(std::string_view given, std::string_view last) {
    bool capitals = false;
    for (char c : last) {
        if (IsLetter(c)) {
            capitals = IsUpperLetter(c);
            if (!capitals) {
                break;
            }
        }
    }
    if (!capitals) {
        return Initials(given);
    }
    std::string words;
    for (const std::string_view word : BlankSeparatedWords(given)) {
        std::string w(word);
        if (IsInitials(word) && word.size() >= 3 &&
            w.find_first_of("AEIOUY") != std::string::npos && w.find('.') == std::string::npos) {
            w = w.substr(0, 1) + LowerText(std::string_view(w).substr(1));
        }
        words += (words.empty() ? "" : " ") + w;
    }
    return Initials(words);
}

} // namespace

std::string StripParenthesised(std::string_view name) {
    if (name.find('(') == std::string_view::npos) {
        return TrimBlanks(name); // nothing to strip: a closing parenthesis alone stays
    }
    std::string out;
    int depth = 0;
    for (char c : name) {
        if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
        } else if (depth == 0) {
            out.push_back(c);
        }
    }
    return TrimBlanks(out);
}

bool IsEtAl(std::string_view name) {
    std::string_view n = TrimView(name);
    while (!n.empty() && (n.back() == '.' || n.back() == ',' || n.back() == ';')) {
        n.remove_suffix(1);
    }
    // Only ASCII letters spell it, so only they are folded: every name of a list comes here.
    auto spells = [&](std::string_view etAl) {
        return n.size() == etAl.size() &&
               std::equal(n.begin(), n.end(), etAl.begin(), [](char a, char b) {
                   return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
               });
    };
    return spells("et al") || spells("et. al");
}

std::string FormatAuthorName(std::string_view nameArgument) {
    std::string name = StripParenthesised(nameArgument);
    while (!name.empty() && (name.back() == ',' || name.back() == ';')) {
        name.pop_back();
    }
    name = TrimBlanks(name);
    if (name.empty() || IsEtAl(name)) {
        return {};
    }
    std::string last;
    std::string given;
    std::string suffix;
    if (name.find(',') != std::string::npos) {
        // "Last, Given", "Last, Given, Jr.", "von Last, Jr, First" (BibTeX's form, where the
        // middle part is the suffix whatever its case).
        std::vector<std::string> split = SplitTrimmed(name, ',');
        std::vector<std::string> parts;
        for (std::size_t i = 0; i < split.size(); ++i) {
            const bool middle = i == 1 && split.size() > 2 && IsNameSuffix(split[i]);
            if (!parts.empty() && (middle || IsSuffixHere(split[i], parts.size() > 1))) {
                suffix = split[i];
            } else {
                parts.push_back(std::move(split[i]));
            }
        }
        if (parts.empty()) {
            return {};
        }
        last = parts.front();
        for (std::size_t i = 1; i < parts.size(); ++i) {
            given += (given.empty() ? "" : " ") + parts[i];
        }
        // A suffix after the given names without a comma: "Bitter, P Jr", "Bitter, Peter III".
        if (const std::size_t blank = given.rfind(' ');
            suffix.empty() && blank != std::string::npos &&
            IsSuffixHere(std::string_view(given).substr(blank + 1), true)) {
            suffix = given.substr(blank + 1);
            given = TrimBlanks(std::string_view(given).substr(0, blank));
        }
    } else {
        std::vector<std::string_view> words = BlankSeparatedWords(name);
        // After the initials ("Bitter P Jr"); "III" and a suffix in small letters after any
        // name ("Peter Smith III"). "II" and "IV" after a name are initials ("Ivanov IV").
        if (words.size() > 1 &&
            IsSuffixHere(words.back(), words.size() > 2 && IsInitials(words[words.size() - 2]))) {
            suffix = words.back();
            words.pop_back();
        }
        if (words.size() == 1 && suffix.empty()) {
            return CorporateAuthor(name);
        }
        if (IsCorporateName(words)) {
            return CorporateAuthor(name);
        }
        if (words.size() == 1) {
            last = words.front();
        } else if (IsInitials(words.back())) {
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
    // A given part that is itself a suffix ("Bitter, Jr") leaves no initials.
    if (IsSuffixHere(given, false)) {
        suffix = given;
        given.clear();
    }
    if (!suffix.empty()) {
        suffix = StoredSuffix(suffix);
    }
    const std::string initials = InitialsOf(given, last);
    if (last.empty()) {
        return CorporateAuthor(name);
    }
    const std::string fullLast = suffix.empty() ? last : last + " " + suffix;
    if (initials.empty()) {
        return suffix.empty() ? CorporateAuthor(last) : fullLast + ".";
    }
    return fullLast + ", " + initials + ".";
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

std::string FirstYearOf(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        if (std::string year = FirstYear(text); !year.empty()) {
            return year;
        }
    }
    return {};
}

std::string FirstPageRange(std::string_view pages) {
    std::string p = TrimBlanks(pages);
    std::replace(p.begin(), p.end(), '\x96', '-');
    std::replace(p.begin(), p.end(), '\x97', '-');
    while (p.find("--") != std::string::npos) {
        p = ReplaceAll(p, "--", "-");
    }
    p = p.substr(0, p.find_first_of(",;"));
    // "94 - 98" is one range; "94 98" would be read as one number.
    std::erase(p, ' ');
    return p;
}

bool IsPageList(std::string_view pages) {
    const std::size_t separator = pages.find_first_of(",;");
    return separator != std::string_view::npos && !TrimView(pages.substr(separator + 1)).empty();
}

void SplitVolumeIssue(std::string& volume, std::string& issue) {
    const std::size_t open = volume.find('(');
    if (open == std::string::npos) {
        return;
    }
    const std::size_t close = volume.find(')', open);
    std::string inner = TrimBlanks(std::string_view(volume).substr(
        open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
    std::string outer = TrimBlanks(std::string_view(volume).substr(0, open));
    if (TrimView(issue).empty()) {
        issue = std::move(inner);
    }
    volume = std::move(outer);
}

bool IsArticleNumber(std::string_view text) {
    const std::string_view t = TrimView(text);
    if (t.empty() || t.size() > 16 || !HasDigit(t)) {
        return false;
    }
    return std::all_of(t.begin(), t.end(),
                       [](char c) { return IsDigit(c) || IsLetter(c) || c == '-' || c == '.'; });
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
    // Month and day run to the first ";" or ","; the volume follows. A separator after the
    // volume's issue or colon ("1993 Jun 40(6): 529-40, 545") is the page list's.
    const std::size_t separator = rest.find_first_of(";,");
    if (separator != std::string_view::npos && separator < rest.find_first_of("(:")) {
        rest.remove_prefix(separator + 1);
    }
    rest = TrimView(rest);
    // A month and day before the volume ("1993 Jun 40(6): 529-40") are no part of the volume.
    while (!rest.empty() && IsLetter(rest.front())) {
        if (rest.size() > 1 && rest.front() == 'V' && IsDigit(rest[1])) {
            break;
        }
        const std::size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) {
            break;
        }
        rest = TrimView(rest.substr(blank));
    }
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
                switch (part[0]) {
                case 'V':
                    c.volume = TrimBlanks(FirstWord(part.substr(1)));
                    break;
                case 'N':
                    c.issue = TrimBlanks(FirstWord(part.substr(1)));
                    break;
                case 'P':
                    // The pages run on over the parts of a list ("P8542-8550, 8555").
                    c.pages = PageTextAt(
                        rest.substr(static_cast<std::size_t>(part.data() + 1 - rest.data())),
                        c.year);
                    return c;
                default:
                    break;
                }
            }
            start = end + 1;
        }
        return c;
    }
    const std::size_t i = ReadVolumeAndIssue(rest, ":,;", c);
    const std::size_t pagesAt = rest.find_first_of(":,", i);
    if (pagesAt != std::string_view::npos) {
        c.pages = PageTextAt(rest.substr(pagesAt + 1), c.year);
    }
    return c;
}

namespace {

// A part of a page list after its first range: pages, perhaps after words ("545",
// "discussion 126", "S12-4"), and no date ("September 2015", the citation's year).
bool IsFurtherPages(std::string_view part, std::string_view year) {
    const std::size_t blank = part.rfind(' ');
    const std::string_view last = blank == std::string_view::npos ? part : part.substr(blank + 1);
    const std::string_view words =
        blank == std::string_view::npos ? std::string_view() : part.substr(0, blank);
    if (!HasDigit(last) || HasDigit(words) || last == year ||
        (!words.empty() && FirstYear(last) == last)) {
        return false;
    }
    return std::all_of(last.begin(), last.end(),
                       [](char c) { return IsDigit(c) || IsLetter(c) || c == '-'; });
}

// Whether the blank at `i` lies inside a range written with blanks ("94 - 98") or before the
// separator of a list ("529-40 , 545"), rather than after the pages.
bool BlankInPages(std::string_view text, std::size_t i) {
    const std::size_t before = text.find_last_not_of(' ', i);
    const std::size_t after = text.find_first_not_of(' ', i);
    return (before != std::string_view::npos && text[before] == '-') ||
           (after != std::string_view::npos &&
            std::string_view("-,;").find(text[after]) != std::string_view::npos);
}

} // namespace

std::string PageTextAt(std::string_view text, std::string_view year) {
    std::string_view t = TrimView(text);
    t = t.substr(0, t.find(". ")); // the citation's sentence ends ("529-40. Epub 2005")
    while (!t.empty() && std::string_view(".,;: ").find(t.back()) != std::string_view::npos) {
        t.remove_suffix(1);
    }
    std::size_t end = 0;
    while (end < t.size() && t[end] != ',' && t[end] != ';' &&
           !(t[end] == ' ' && !BlankInPages(t, end))) {
        ++end;
    }
    // Further parts of a list, as long as they are pages.
    while (end < t.size() && t[end] != ' ') {
        std::size_t next = t.find_first_of(",;", end + 1);
        if (next == std::string_view::npos) {
            next = t.size();
        }
        if (!IsFurtherPages(TrimView(t.substr(end + 1, next - end - 1)), year)) {
            break;
        }
        end = next;
    }
    return WithDigits(t.substr(0, end));
}

std::size_t ReadVolumeAndIssue(std::string_view rest, std::string_view stops, Citation& c) {
    std::size_t i = 0;
    while (i < rest.size() && rest[i] != '(' && stops.find(rest[i]) == std::string_view::npos) {
        ++i;
    }
    c.volume = WithDigits(rest.substr(0, i));
    if (i < rest.size() && rest[i] == '(') {
        const std::size_t close = rest.find(')', i);
        c.issue = TrimBlanks(rest.substr(
            i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
        i = close == std::string_view::npos ? rest.size() : close + 1;
    }
    return i;
}

std::string JoinedWithBlanks(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) {
        out += (out.empty() ? "" : " ") + t;
    }
    return out;
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
    for (const std::string& name : SplitTrimmed(authors, ',')) {
        if (std::string a = FormatAuthorName(name); !a.empty()) {
            r.authors.push_back(std::move(a));
        }
    }
    return r;
}

std::vector<std::string> SplitNameList(std::string_view text) {
    return SplitTrimmed(ReplaceAll(ReplaceAll(text, " and ", ";"), " AND ", ";"), ';');
}

std::vector<std::string> SplitTrimmed(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (std::string part = TrimBlanks(text.substr(start, end - start)); !part.empty()) {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    return parts;
}

namespace {

// A part of a publisher line that names a place ("Heidelberg", "New York", "Frankfurt am Main"):
// words that begin with a capital, or small words that places have inside, and none of the words
// of a body's name.
bool NamesPlace(std::string_view part) {
    static constexpr std::string_view kPlaceWords[] = {"am",  "an", "bei", "de",  "del",
                                                       "der", "di", "du",  "en",  "im",
                                                       "la",  "le", "on",  "sur", "upon"};
    static constexpr std::string_view kBodyWords[] = {
        "ag",      "agency", "association", "books",      "co",    "company",    "corp",
        "gmbh",    "inc",    "ltd",         "llc",        "press", "publishers", "publishing",
        "society", "sons",   "institute",   "university", "verlag"};
    const std::vector<std::string_view> words = BlankSeparatedWords(part);
    if (words.empty() || HasDigit(part)) {
        return false;
    }
    return std::all_of(words.begin(), words.end(), [](std::string_view word) {
        const std::string lower = LowerText(DropFinalPeriod(word));
        if (word.front() >= 'a' && word.front() <= 'z') {
            return std::find(std::begin(kPlaceWords), std::end(kPlaceWords), lower) !=
                   std::end(kPlaceWords);
        }
        return word != "&" && std::find(std::begin(kBodyWords), std::end(kBodyWords), lower) ==
                                  std::end(kBodyWords);
    });
}

} // namespace

PublisherPlace SplitPublisherAndCity(std::string_view text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        parts.push_back(TrimBlanks(text.substr(start, end - start)));
        start = end + 1;
    }
    if (parts.size() == 1) {
        return {parts.front(), {}};
    }
    std::size_t city = parts.size() - 1;
    while (city > 1 && NamesPlace(parts[city - 1])) {
        --city;
    }
    auto joined = [&](std::size_t from, std::size_t to) {
        std::string out;
        for (std::size_t i = from; i < to; ++i) {
            out += (i == from ? "" : ", ") + parts[i];
        }
        return out;
    };
    return {joined(0, city), joined(city, parts.size())};
}

} // namespace cvx::vorodud
