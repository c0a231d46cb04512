#include "text/StringPrimitives.h"

#include "text/CaseMapping.h"
#include "text/FileNames.h"
#include "text/TextMode.h"

#include <array>
#include <climits>

namespace cvx {

std::string_view TrimView(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b])) {
        ++b;
    }
    while (e > b && IsBlank(text[e - 1])) {
        --e;
    }
    return text.substr(b, e - b);
}

std::string TrimBlanks(std::string_view text) {
    return std::string(TrimView(text));
}

void TrimBlanksInPlace(std::string& text) {
    const std::string_view kept = TrimView(text);
    const auto start = static_cast<std::size_t>(kept.data() - text.data());
    text.erase(start + kept.size());
    text.erase(0, start);
}

std::string TrimLeftBlanks(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && IsBlank(text[b])) {
        ++b;
    }
    return std::string(text.substr(b));
}

std::string_view TrimRightView(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsBlank(text[e - 1])) {
        --e;
    }
    return text.substr(0, e);
}

std::string TrimRightBlanks(std::string_view text) {
    return std::string(TrimRightView(text));
}

std::string DeleteAndTrim(std::string_view text, std::size_t pos, std::size_t count) {
    std::string s(text);
    if (pos >= 1 && pos <= s.size()) {
        s.erase(pos - 1, count);
    }
    return TrimBlanks(s);
}

std::string DropFinalPeriod(std::string_view text) {
    std::string_view t = TrimView(text);
    if (!t.empty() && t.back() == '.') {
        t.remove_suffix(1);
    }
    return std::string(t);
}

std::string ParenContent(std::string_view text) {
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos) {
        return {};
    }
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            return std::string(text.substr(open + 1, i - open - 1));
        }
    }
    const std::string_view rest = text.substr(open + 1);
    return std::string(rest.substr(0, rest.find(' ')));
}

ListItem FirstListItem(std::string_view text) {
    bool quoted = false;
    std::size_t sep = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] == ',' && !quoted) {
            sep = i;
            break;
        }
    }
    std::string_view item = TrimView(text.substr(0, sep));
    if (item.size() >= 2 && item.front() == '"' && item.back() == '"') {
        item = item.substr(1, item.size() - 2);
    }
    return {std::string(item), sep};
}

bool IsAllDigits(std::string_view text) {
    for (char c : TrimView(text)) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

bool HasDigit(std::string_view text) {
    for (char c : text) {
        if (IsDigit(c)) {
            return true;
        }
    }
    return false;
}

std::string DigitPattern(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!IsDigit(c)) {
            out.push_back(c);
        } else if (out.empty() || out.back() != '\xFF') {
            out.push_back('\xFF');
        }
    }
    return out;
}

std::string IncrementNumber(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && !IsDigit(text[b])) {
        ++b;
    }
    if (b == text.size()) {
        return std::string(text);
    }
    std::size_t e = b;
    while (e < text.size() && IsDigit(text[e])) {
        ++e;
    }
    std::string digits(text.substr(b, e - b));
    // Decimal increment on the digit string itself, so runs longer than any integer work too.
    std::size_t i = digits.size();
    while (i > 0) {
        --i;
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            break;
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        }
    }
    return std::string(text.substr(0, b)) + digits + std::string(text.substr(e));
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

std::vector<std::string_view> BlankSeparatedWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

std::string FindEightDigitWord(std::string_view text) {
    const std::vector<std::string_view> words = BlankSeparatedWords(text);
    for (std::string_view word : words) {
        if (word.size() == 8 && IsAllDigits(word)) {
            return std::string(word);
        }
    }
    return words.empty() ? std::string() : std::string(words.front());
}

std::string FirstWord(std::string_view text) {
    if (!ShiftJisMode()) {
        const std::size_t sp = text.find(' ');
        return std::string(sp == std::string_view::npos ? text : text.substr(0, sp + 1));
    }
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsDoubleByteAt(text, i)) {
            return std::string(text.substr(0, i + 2));
        }
        if (c == ' ' || IsHalfWidthKatakana(c)) {
            return std::string(text.substr(0, i + 1));
        }
        ++i;
    }
    return std::string(text);
}

std::string NormalizePages(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ',' && c != ')' && c != '(' && c != '.' && c != ';') {
            s.push_back(c);
        }
    }
    s = TrimBlanks(s);
    const std::size_t dash = s.find('-');
    if (dash == std::string::npos) {
        return s;
    }
    const std::string first = TrimBlanks(std::string_view(s).substr(0, dash));
    const std::string last = TrimBlanks(std::string_view(s).substr(dash + 1));
    return first + "-" + CompleteLastPage(first, last);
}

std::string CompleteLastPage(std::string_view first, std::string_view last) {
    std::size_t digits = 0; // the run of digits that ends the first page
    while (digits < first.size() && IsDigit(first[first.size() - 1 - digits])) {
        ++digits;
    }
    if (last.empty() || last.size() >= first.size() || !IsAllDigits(last) || digits < last.size()) {
        return std::string(last);
    }
    std::string complete(first.substr(0, first.size() - last.size()));
    complete += last;
    // "199-02" means 199-202: a completed page below the first rises by one step of its digits.
    constexpr std::size_t kMaxDigits = 15;
    if (digits <= kMaxDigits) {
        const std::string_view firstDigits = first.substr(first.size() - digits);
        const std::string_view completeDigits =
            std::string_view(complete).substr(first.size() - digits);
        const long long from = std::stoll(std::string(firstDigits));
        long long to = std::stoll(std::string(completeDigits));
        if (to < from) {
            long long step = 1;
            for (std::size_t i = 0; i < last.size(); ++i) {
                step *= 10;
            }
            to += step;
            complete = std::string(first.substr(0, first.size() - digits)) + std::to_string(to);
        }
    }
    return complete;
}

std::size_t BreakPosition(std::string_view text, std::size_t limit) {
    const std::size_t end = std::min(limit, text.size());
    if (!ShiftJisMode()) {
        const std::size_t space = text.substr(0, end).rfind(' ');
        return space != std::string_view::npos ? space + 1 : limit;
    }
    std::size_t best = 0;
    std::size_t i = 0;
    while (i < end) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsDoubleByteAt(text, i)) {
            if (i + 2 <= end) {
                best = i + 2;
            }
            i += 2;
            continue;
        }
        if (c == ' ' || IsHalfWidthKatakana(c)) {
            best = i + 1;
        }
        ++i;
    }
    return best ? best : limit;
}

std::string JoinSoftBreaks(std::string_view text) {
    const std::string t = TrimBlanks(text);
    std::string out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n' &&
            !(i + 2 < t.size() && t[i + 2] == ' ')) {
            out.push_back(' ');
            ++i;
        } else {
            out.push_back(t[i]);
        }
    }
    return out;
}

std::string NthWord(std::size_t n, std::string_view text, std::string_view separators) {
    std::size_t i = 0;
    std::size_t count = 0;
    while (i < text.size()) {
        while (i < text.size() && separators.find(text[i]) != std::string_view::npos) {
            ++i;
        }
        const std::size_t b = i;
        while (i < text.size() && separators.find(text[i]) == std::string_view::npos) {
            ++i;
        }
        if (i > b && ++count == n) {
            return std::string(text.substr(b, i - b));
        }
    }
    return {};
}

bool IsValidIssn(std::string_view text) {
    if (text.size() != 9 || text[4] != '-') {
        return false;
    }
    for (std::size_t i = 0; i < 9; ++i) {
        if (i != 4 && !IsDigit(text[i]) && !(i == 8 && text[i] == 'X')) {
            return false;
        }
    }
    return true;
}

std::optional<int> ParseInt(std::string_view text, bool strict) {
    const std::string_view t = TrimView(text);
    if (t.empty()) {
        return strict ? std::nullopt : std::optional<int>(0);
    }
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (t[0] == '-' || t[0] == '+') {
        ++i;
    }
    if (i == t.size()) {
        return std::nullopt;
    }
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (!IsDigit(t[i])) {
            return std::nullopt;
        }
        value = value * 10 + (t[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::string LanguageName(std::string_view text) {
    static constexpr std::array<std::string_view, 28> kLanguages = {
        "BULGARIAN", "CHINESE", "CROATIAN", "CESKY",   "DANISH",  "DUTCH",     "ESTONIAN",
        "ENGLISH",   "EESTI",   "FINNISH",  "FRENCH",  "GERMAN",  "HUNGARIAN", "ITALIAN",
        "JAPANESE",  "KOREAN",  "LATIN",    "LATVIAN", "FINNISH", "POLISH",    "ROMANIAN",
        "RUSSIAN",   "SPANISH", "SERBIAN",  "SLOVAK",  "SWEDISH", "UKRANIAN",  "UZBEK"};
    if (text.empty()) {
        return {};
    }
    const std::string upper = UpperText(text);
    for (std::string_view name : kLanguages) {
        if (StartsWith(name, upper)) {
            return std::string(name.substr(0, 1)) + LowerText(name.substr(1));
        }
    }
    return {};
}

std::string LanguageCode(std::string_view text) {
    const std::string name = LanguageName(text);
    return name.empty() ? std::string(text) : name.substr(0, 3);
}

std::string TidyJapaneseText(std::string_view text) {
    if (!ShiftJisMode()) {
        return std::string(text);
    }
    // Line ends and tabs become spaces, except a CR LF that starts an indented field line.
    std::string spaced;
    spaced.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 2 < text.size() && text[i + 1] == '\n' && text[i + 2] == ' ') {
            spaced.append("\r\n");
            ++i;
        } else if (c == '\t' || c == '\r' || c == '\n') {
            spaced.push_back(' ');
        } else {
            spaced.push_back(c);
        }
    }
    std::string collapsed;
    collapsed.reserve(spaced.size());
    for (char c : spaced) {
        if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) {
            collapsed.push_back(c);
        }
    }
    std::string out;
    out.reserve(collapsed.size());
    bool previousDoubleByte = false;
    std::size_t i = 0;
    while (i < collapsed.size()) {
        if (collapsed[i] == ' ' && i + 1 < collapsed.size()) {
            const bool nextDoubleByte = IsDoubleByteAt(collapsed, i + 1);
            const bool nextPunct =
                std::string_view("!,.:;?").find(collapsed[i + 1]) != std::string_view::npos;
            if ((previousDoubleByte && nextDoubleByte) || nextPunct) {
                ++i;
                continue;
            }
        }
        const std::size_t len = CharLengthAt(collapsed, i);
        out.append(collapsed, i, len);
        previousDoubleByte = len == 2;
        i += len;
    }
    return out;
}

bool LooksLikePath(std::string_view text) {
    auto isLetter = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0xC4 || c == 0xC5 ||
               c == 0xD6 || c == 0xE4 || c == 0xE5 || c == 0xF6;
    };
    std::string s;
    for (char ch : text) {
        const char c = ch == '/' ? '\\' : ch;
        if (isLetter(static_cast<unsigned char>(c))) {
            if (s.empty() || s.back() != 'X') {
                s.push_back('X');
            }
        } else {
            s.push_back(c);
        }
    }
    for (std::size_t p; (p = s.find("\\X\\")) != std::string::npos;) {
        s.replace(p, 3, "\\");
    }
    return s == "X:\\X.X" || s == "X:\\X" || s == "\\X.X";
}

std::string LinkTarget(std::string_view text) {
    std::string_view t = TrimView(text);
    if (t.size() >= 2 &&
        ((t.front() == '(' && t.back() == ')') || (t.front() == '[' && t.back() == ']'))) {
        t = t.substr(1, t.size() - 2);
    }
    std::string s(t);
    const std::string upper = UpperText(s);
    if (upper.find("WWW.") == std::string::npos && upper.find("HTTP:") == std::string::npos) {
        s = ShortPathName(s);
    }
    const std::size_t cut = s.find_first_of("();");
    return TrimBlanks(std::string_view(s).substr(0, cut));
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = from.empty() ? std::string_view::npos : text.find(from, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace cvx
