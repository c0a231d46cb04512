#include "journals/JournalNames.h"

#include "text/StringPrimitives.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::array<unsigned char, 256> MakeFoldingTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 0x80; ++c) {
        t[c] = ' ';
    }
    for (int c = '0'; c <= '9'; ++c) {
        t[c] = static_cast<unsigned char>(c);
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[c] = static_cast<unsigned char>(c);
        t[c + 32] = static_cast<unsigned char>(c);
    }
    t['\''] = '\'';
    t['-'] = '-';
    // The upper half, row by row; "_" is a blank.
    constexpr const char* kUpperRows = "CUEAAAACEESIOIAA"
                                       "EAAOOOUUYOS_O__Y"
                                       "AIOUNN__________"
                                       "__23'U___1______"
                                       "AAAAAAACEEEEIIII"
                                       "DNOOOOO_OUUUUYPB"
                                       "AAAAAAACEEEEIIII"
                                       "DNOOOOO_OUUUUYPY";
    for (int c = 0x80; c < 0x100; ++c) {
        const char f = kUpperRows[c - 0x80];
        t[c] = static_cast<unsigned char>(f == '_' ? ' ' : f);
    }
    return t;
}

constexpr std::array<unsigned char, 256> kFolding = MakeFoldingTable();

// Code page 1252 punctuation that the table, laid out for another code page, would read as
// letters: quotes and dashes become their ASCII forms, other symbols blanks.
constexpr unsigned char Typographic(unsigned char c) {
    switch (c) {
    case 0x82: // single low quotation mark
    case 0x91: // left single quotation mark
    case 0x92: // right single quotation mark, the usual typographic apostrophe
        return '\'';
    case 0x84: // double low quotation mark
    case 0x8B: // single left-pointing angle quotation mark
    case 0x93: // left double quotation mark
    case 0x94: // right double quotation mark
    case 0x9B: // single right-pointing angle quotation mark
        return '"';
    case 0x96: // en dash
    case 0x97: // em dash
        return '-';
    case 0x85: // horizontal ellipsis
        return '.';
    case 0x80: // euro sign
    case 0x86: // dagger
    case 0x87: // double dagger
    case 0x88: // modifier circumflex
    case 0x89: // per mille sign
    case 0x95: // bullet
    case 0x98: // small tilde
    case 0x99: // trade mark sign
    case 0xA0: // non-breaking space
        return ' ';
    default:
        return c;
    }
}

int LetterClass(char c) {
    switch (c) {
    case 'A':
    case 'O':
    case 'U':
        return 0;
    case 'E':
    case 'I':
    case 'Y':
        return 1;
    case 'B':
    case 'F':
    case 'H':
    case 'P':
    case 'V':
    case 'W':
        return 2;
    case 'G':
    case 'J':
        return 3;
    case 'C':
    case 'K':
    case 'Q':
    case 'S':
    case 'X':
    case 'Z':
        return 4;
    case 'D':
    case 'T':
        return 5;
    case 'L':
        return 6;
    case 'M':
    case 'N':
        return 7;
    case 'R':
        return 8;
    default:
        return -1;
    }
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> list) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

// The length of a stop word (with the blank after it) that begins at `at`, or 0.
std::size_t StopWordLength(std::string_view s, std::size_t at) {
    const std::string_view rest = s.substr(at);
    const auto blankAt = [&](std::size_t i) { return i < rest.size() && rest[i] == ' '; };
    if (rest.size() >= 2 && rest[1] == '\'' && (rest[0] == 'D' || rest[0] == 'L')) {
        return blankAt(2) ? 3 : 2;
    }
    if (blankAt(2) && IsOneOf(rest.substr(0, 2), {"OF", "DE", "LA", "LE", "DI"})) {
        return 3;
    }
    if (blankAt(3) && IsOneOf(rest.substr(0, 3), {"THE", "AND", "DES", "UND"})) {
        return 4;
    }
    return 0;
}

bool Significant(std::string_view word, char after) {
    switch (word.size()) {
    case 1:
        return !(after == '\'' && (word[0] == 'L' || word[0] == 'D'));
    case 2:
        return !IsOneOf(word, {"IN", "OF", "OR", "ON", "DE", "DA", "DO", "DI", "DU", "LA", "TD"});
    case 3:
        return !(IsOneOf(word, {"THE", "AND", "UND", "DEM", "DER", "DES", "AUF", "DAS", "LAS"}) ||
                 (word[0] == 'F' && word[2] == 'R'));
    default:
        return true;
    }
}

char IssnDigit(char c, bool last) {
    if (IsDigit(c) || (last && c == 'X')) {
        return c;
    }
    if (c == 'I' || c == 'l') {
        return '1';
    }
    if (c == 'O' || c == 'o') {
        return '0';
    }
    return 0;
}

} // namespace

unsigned char FoldJournalChar(unsigned char c) {
    return kFolding[Typographic(c)];
}

std::string FoldJournalName(std::string_view name) {
    std::string collapsed;
    collapsed.reserve(name.size());
    for (char c : name) {
        const char f = static_cast<char>(FoldJournalChar(static_cast<unsigned char>(c)));
        if (f != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) {
            collapsed.push_back(f);
        }
    }
    if (!collapsed.empty() && collapsed.back() == ' ') {
        collapsed.pop_back();
    }
    return collapsed;
}

std::string NormaliseJournalName(std::string_view name) {
    const std::string collapsed = FoldJournalName(name);
    std::string out;
    out.reserve(collapsed.size());
    for (std::size_t i = 0; i < collapsed.size();) {
        const bool wordStart = i == 0 || collapsed[i - 1] == ' ' || collapsed[i - 1] == '\'' ||
                               collapsed[i - 1] == '-';
        if (wordStart) {
            if (const std::size_t skip = StopWordLength(collapsed, i)) {
                i += skip;
                continue;
            }
        }
        out.push_back(collapsed[i++]);
    }
    // A final "D'" or "L'" leaves the blank before it behind.
    if (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

JournalSignature SignatureOf(std::string_view normalised) {
    struct Word {
        std::string_view text;
        std::size_t taken = 1;
        std::size_t limit = 1;
    };
    std::array<Word, 3> kept{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < normalised.size() && count < kept.size();) {
        if (LetterClass(normalised[i]) < 0) {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < normalised.size() && LetterClass(normalised[i]) >= 0) {
            ++i;
        }
        const std::string_view word = normalised.substr(begin, i - begin);
        if (Significant(word, i < normalised.size() ? normalised[i] : ' ')) {
            const bool journalWord = word.size() > 2 && word.substr(0, 3) == "JOU";
            kept[count++] = Word{word, 1, journalWord ? 1 : word.size()};
        }
    }
    std::size_t total = count;
    for (bool progress = true; total < 5 && progress;) {
        progress = false;
        for (std::size_t k = 0; k < count && total < 5; ++k) {
            if (kept[k].taken < kept[k].limit) {
                ++kept[k].taken;
                ++total;
                progress = true;
            }
        }
    }
    int value = 0;
    std::size_t digits = 0;
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t j = 0; j < kept[k].taken; ++j, ++digits) {
            value = value * 9 + LetterClass(kept[k].text[j]);
        }
    }
    for (; digits < 5; ++digits) {
        value *= 9;
    }
    JournalSignature s;
    s.value = static_cast<std::uint16_t>(value);
    s.precisionUnit = total <= 1 ? 6561 : count == 1 ? 729 : 81;
    return s;
}

std::optional<std::string> AcceptIssn(std::string_view text) {
    if (text.size() != 9 || text[4] != '-') {
        return std::nullopt;
    }
    std::string issn(text);
    for (std::size_t i = 0; i < issn.size(); ++i) {
        if (i == 4) {
            continue;
        }
        const char c = IssnDigit(issn[i], i == 8);
        if (c == 0) {
            return std::nullopt;
        }
        issn[i] = c;
    }
    return issn;
}

PackedIssn PackIssn(std::string_view issn) {
    const std::array<char, 8> c = {issn[0], issn[1], issn[2], issn[3],
                                   issn[5], issn[6], issn[7], issn[8]};
    PackedIssn packed{};
    for (std::size_t i = 0; i < 4; ++i) {
        const int first = c[2 * i] - '0';
        const char second = c[2 * i + 1];
        packed[i] =
            static_cast<std::uint8_t>(second == 'X' ? 100 + first : (second - '0') * 10 + first);
    }
    return packed;
}

std::optional<std::string> UnpackIssn(std::string_view packed) {
    if (packed.size() != 4) {
        return std::nullopt;
    }
    std::string issn;
    for (std::size_t i = 0; i < 4; ++i) {
        const int b = static_cast<unsigned char>(packed[i]);
        if (b >= 110) {
            return std::nullopt;
        }
        if (i == 2) {
            issn.push_back('-');
        }
        if (b >= 100) {
            issn.push_back(static_cast<char>('0' + b - 100));
            issn.push_back('X');
        } else {
            issn.push_back(static_cast<char>('0' + b % 10));
            issn.push_back(static_cast<char>('0' + b / 10));
        }
    }
    return issn;
}

char AmbiguityMark(int number) {
    return static_cast<char>(number < 10 ? '0' + number : 'A' + (number - 10));
}

int AmbiguityNumber(char mark) {
    if (mark >= '1' && mark <= '9') {
        return mark - '0';
    }
    if (mark >= 'A' && mark <= 'Z') {
        return mark - 'A' + 10;
    }
    return 0;
}

JournalQuery SplitJournalQuery(std::string_view name) {
    std::string_view s = name;
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    JournalQuery q;
    constexpr std::size_t kBracketed = 11; // "[" + nine characters + "]"
    if (s.size() >= kBracketed && s.back() == ']') {
        const std::size_t open = s.size() - kBracketed;
        if (s[open] == '[' && (open == 0 || s[open - 1] == ' ')) {
            if (std::optional<std::string> issn = AcceptIssn(s.substr(open + 1, 9))) {
                q.issn = std::move(*issn);
                s = TrimView(s.substr(0, open));
            }
        }
    }
    if (s.size() >= 3 && s[s.size() - 3] == ' ' && s[s.size() - 2] == '#') {
        if (const int n = AmbiguityNumber(s.back())) {
            q.number = n;
            s.remove_suffix(3);
        }
    }
    q.name = TrimBlanks(s);
    return q;
}

} // namespace cvx
