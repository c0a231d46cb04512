// WriteToFile: the end of one reference's conversion. The collected reference is appended to the
// reference file in its text layout, or, when it is not good enough, its source lines are copied
// into the error dump file.

#include "journals/JournalLookup.h"
#include "lexmill/ConversionState.h"
#include "lexmill/FieldBuilders.h"
#include "text/ByteWords.h"
#include "text/CaseMapping.h"
#include "text/MessageFill.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace cvx::lexmill {

namespace {

constexpr std::string_view kDiskFull = "Error when writing to disk - disk full?";
// The longest identification string a reference file accepts.
constexpr std::size_t kMaxIdString = 249;

// Whether a line holds a zero byte, a carriage return or a line feed, which the reference file
// cannot hold inside a line. Such bytes are seldom there: the line is looked at eight bytes at a
// time for any byte below 14 first.
bool HasLineBreakOrZero(std::string_view line) {
    std::size_t i = 0;
    bool suspect = false;
    for (; i + 8 <= line.size() && !suspect; i += 8) {
        suspect = bytewords::Below(bytewords::Load(line.data() + i), 14) != 0;
    }
    if (!suspect) {
        line.remove_prefix(i);
    }
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

struct LanguageName {
    std::string_view code;
    std::string_view name;
};

constexpr LanguageName kLanguageNames[] = {
    {"BU", "Bulgarian"}, {"CH", "Chinese"},   {"CR", "Croatian"},   {"CE", "Cesky"},
    {"DA", "Danish"},    {"DU", "Dutch"},     {"NL", "Dutch"},      {"NE", "Dutch"},
    {"FL", "Dutch"},     {"EE", "Estonian"},  {"ESTO", "Estonian"}, {"EN", "English"},
    {"EE", "Eesti"},     {"FI", "Finnish"},   {"FN", "Finnish"},    {"FR", "French"},
    {"HU", "Hungarian"}, {"IT", "Italian"},   {"JN", "Japanese"},   {"JP", "Japanese"},
    {"JA", "Japanese"},  {"KO", "Korean"},    {"LA", "Latin"},      {"LV", "Latvian"},
    {"LATV", "Latvian"}, {"NO", "Norwegian"}, {"PO", "Polish"},     {"PL", "Polish"},
    {"RO", "Romanian"},  {"RU", "Russian"},   {"SP", "Spanish"},    {"ES", "Spanish"},
    {"SR", "Serbian"},   {"SERB", "Serbian"}, {"SK", "Slovak"},     {"SLOV", "Slovak"},
    {"SW", "Swedish"},   {"SV", "Swedish"},   {"UK", "Ukranian"},   {"UZ", "Uzbek"}};

// The language name for a title. The longest matching code wins (so "ESTONIAN" is not taken
// for the "ES" of Spanish); among codes of equal length the later one.
std::string LanguageNameOf(std::string_view language) {
    std::string word = UpperText(TrimView(language));
    word = word.substr(0, word.find('.'));
    word = word.substr(0, word.find(' '));
    std::string_view found;
    std::size_t foundLength = 0;
    for (const LanguageName& entry : kLanguageNames) {
        if (StartsWith(word, entry.code) && entry.code.size() >= foundLength) {
            found = entry.name;
            foundLength = entry.code.size();
        }
    }
    return found.empty() ? word : std::string(found);
}

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32] = {};
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &local);
    return buffer;
}

// The lines of a field from 1 to its count; a count of 0 with a first line still counts as one
// line where the layout needs the field.
template <typename Lines> std::vector<std::string> LinesOf(const Lines& lines, bool atLeastOne) {
    const int count = atLeastOne ? std::max(lines.count, 1) : lines.count;
    std::vector<std::string> out;
    for (int i = 1; i <= count; ++i) {
        out.push_back(lines.Get(i));
    }
    return out;
}

} // namespace

void ConversionState::WriteLine(std::string_view line) {
    // A line is copied only when it holds a byte that must become a blank.
    std::string cleaned;
    if (HasLineBreakOrZero(line)) {
        cleaned.assign(line);
        for (char& c : cleaned) {
            if (c == '\0' || c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        line = cleaned;
    }
    std::string_view text = line;
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.find("???") != std::string_view::npos) {
        ref.questioned = true;
        questionMarkWritten_ = true;
    }
    // An empty line would end the reference in the file.
    if (TrimView(text).empty()) {
        return;
    }
    output_.Write(text);
    output_.Write("\r\n");
}

namespace {

// A name's letters and digits in capitals: names that differ only in punctuation ("Journal of
// Physics: Condensed Matter", "Journal of Physics. Condensed Matter") are one name.
std::string LettersAndDigits(std::string_view name) {
    std::string out;
    for (char c : UpperText(name)) {
        if (!IsBlank(c) && (IsDigit(c) || LowerChar(static_cast<unsigned char>(c)) !=
                                              static_cast<unsigned char>(c))) {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::string ConversionState::JournalLine(const std::string& name) const {
    if (journals == nullptr || name.find("??") != std::string::npos) {
        return name;
    }
    const auto found = journals->LookUp(name, displayForm);
    if (!found || TrimView(found->name).empty()) {
        return name;
    }
    // The download's own spelling of the same name keeps its punctuation, which the line
    // writer would otherwise lose with the database's periods.
    if (LettersAndDigits(found->name) == LettersAndDigits(name)) {
        return name;
    }
    const std::size_t bracket = found->name.find('[');
    if (bracket == std::string::npos) {
        return found->name;
    }
    const std::string part = TrimBlanks(std::string_view(found->name).substr(0, bracket));
    const auto again = journals->LookUp(part, displayForm);
    return again && !TrimView(again->name).empty() ? again->name : part;
}

DriverText ConversionState::DumpReason() const {
    const bool noTitle = TrimView(ref.title.Get(1)).empty();
    const bool noSource = TrimView(ref.source.Get(1)).empty();
    if (ref.skipThisRef) {
        return DriverText::DumpSkipped;
    }
    if (noTitle && noSource) {
        return DriverText::DumpNoTitleNoSource;
    }
    return noTitle ? DriverText::DumpNoTitle : DriverText::DumpNoSource;
}

void ConversionState::WriteToFile() {
    if (Stopped()) {
        return;
    }
    ++recordsConverted_;
    if (ref.skipThisRef || TrimView(ref.title.Get(1)).empty() ||
        TrimView(ref.source.Get(1)).empty()) {
        DumpReference();
    } else {
        WriteReference();
    }
}

void ConversionState::DumpReference() {
    ++counters_.refsDumped;
    // The reference is not in the output, so it is not incomplete there either.
    if (ref.notJournal) {
        --counters_.incomplete;
    }
    if (mLine == 0 || errFileError_) {
        return;
    }
    if (!errOpen_) {
        struct stat st {};
        const bool exists = !errorFileName.empty() && ::stat(errorFileName.c_str(), &st) == 0;
        if (errorFileName.empty() || !errorFile_.Open(errorFileName, exists)) {
            errFileError_ = true;
            return;
        }
        if (exists) {
            errorFile_.Write("\r\n");
        }
        errOpen_ = true;
    }
    std::string text = "\r\n";
    text += FillMessage2(Text(DriverText::DumpHeader), std::to_string(recordsConverted_),
                         dumpFileName_);
    text += " " + Text(DumpReason()) + " (" + NowText() + ")\r\n";
    for (int i = 0; i < mLine; ++i) {
        text += Line(i) + "\r\n";
    }
    errorFile_.Write(text);
    errorFile_.EndReference();
    errorFile_.Flush();
    if (errorFile_.Failed()) {
        errFileError_ = true;
    }
}

void ConversionState::WriteReference() {
    questionMarkWritten_ = false;
    ++counters_.refsWritten;
    ++counters_.curRef;
    // A field's first line begins with the field-start blank; its further lines continue it and
    // must not begin with one, or they would start a field of their own.
    auto writeContinued = [&](const std::vector<std::string>& lines) {
        bool first = true;
        for (const std::string& line : lines) {
            if (TrimView(line).empty()) {
                continue;
            }
            WriteLine(first ? " " + TrimBlanks(line) : TrimLeftBlanks(line));
            first = false;
        }
    };

    // Identification.
    std::string id = DropFinalPeriod(TrimRightBlanks(ref.idString));
    if (id.empty()) {
        id = "Id";
    }
    WriteLine(" " + TrimBlanks(std::string_view(id).substr(0, kMaxIdString)));

    // Authors; `""` stands for a field given as empty.
    if (ref.authors.count == 0 || TrimView(ref.authors.Get(1)).empty()) {
        WriteLine(" \"\"");
    } else {
        std::vector<std::string> lines = LinesOf(ref.authors, false);
        lines.back() = ReplaceAll(lines.back(), "..", ".");
        lines.front() = fields::Collapse(lines.front());
        writeContinued(lines);
    }

    // Title, with the language when asked for.
    std::vector<std::string> title = LinesOf(ref.title, true);
    if (convCharSet != TextMode::ShiftJis) {
        title.back() = title.back().substr(0, title.back().find('|'));
    }
    if (addLangToTitle && !TrimView(ref.language).empty()) {
        const std::string name = LanguageNameOf(ref.language);
        if (name != "English") {
            if (title.back().size() + name.size() > 79 &&
                title.size() < static_cast<std::size_t>(ref.title.kSize)) {
                title.push_back("(" + name + ")");
            } else {
                title.back() = TrimRightBlanks(title.back()) + " (" + name + ")";
            }
        }
    }
    writeContinued(title);

    // Year, volume and pages.
    const std::string year = TrimBlanks(ref.yearVolPage);
    WriteLine(" " + (year.empty() ? std::string("\"\"") : year));

    // Source.
    std::vector<std::string> source = LinesOf(ref.source, true);
    source.front() = " " + TrimBlanks(source.front());
    if (StartsWith(source.front(), " E: ") || StartsWith(source.front(), " S: ")) {
        writeContinued(source);
    } else {
        if (source.front().ends_with(';')) {
            source.front().pop_back();
        }
        std::string name;
        if (ref.source.count == 0) {
            name = source.front();
        } else {
            for (const std::string& line : source) {
                name += " " + line;
            }
        }
        name = JournalLine(TrimBlanks(name));
        std::erase(name, '.');
        std::string text = " " + TrimBlanks(name);
        while (text.size() >= 79) {
            std::size_t cut = 77;
            while (cut >= 1 && text[cut] != ' ') {
                --cut;
            }
            if (cut == 0) {
                cut = 77;
            }
            WriteLine(text.substr(0, cut));
            text = TrimBlanks(std::string_view(text).substr(cut));
        }
        WriteLine(text);
    }

    // Editors, publisher and city.
    if (ref.editors.count > 0) {
        std::vector<std::string> editors = LinesOf(ref.editors, false);
        editors.back() = ReplaceAll(editors.back(), "..", ".");
        writeContinued(editors);
    }
    if (!ref.publCity.empty()) {
        std::string text = " " + TrimBlanks(ref.publCity);
        while (text.size() > 80) {
            fields::Cut cut = fields::CutAtBlank(text, 80, 80);
            WriteLine(cut.line);
            text = cut.rest;
        }
        WriteLine(text);
    }

    // The comment part: et-al note, common label, abstract, major headings, address.
    if (ref.etAlAuthors) {
        ++counters_.refsEtAl;
        WriteLine(" " + Text(DriverText::EtAlNote));
    }
    if (!commonLabel_.empty()) {
        WriteLine(commonLabel_);
    }
    bool first = true;
    for (int i = 1; i <= ref.abstract.count; ++i) {
        std::string_view line = ref.abstract.Get(i);
        if (TrimView(line).empty()) {
            continue;
        }
        while (line.size() > 1 && line[0] == ' ' && line[1] == ' ') {
            line.remove_prefix(1);
        }
        if (first) {
            WriteLine(" " + TrimBlanks(line));
        } else {
            WriteLine(line);
        }
        first = false;
    }
    first = true;
    for (int i = 1; i <= ref.majorHeads.count; ++i) {
        const std::string& line = ref.majorHeads.Get(i);
        if (TrimView(line).empty()) {
            continue;
        }
        if (first) {
            WriteLine(" " + TrimBlanks(line));
        } else {
            WriteLine(line);
        }
        first = false;
    }
    if (ref.address.count > 0) {
        std::vector<std::string> address = LinesOf(ref.address, false);
        if (convCharSet != TextMode::ShiftJis) {
            std::erase(address.back(), '|');
        }
        writeContinued(address);
    }

    if (questionMarkWritten_) {
        ++counters_.refsMarked;
    }
    // A reference counted as questioned carries the mark the user searches for.
    if (ref.questioned && !questionMarkWritten_) {
        WriteLine(" " + Text(DriverText::QuestionedNote));
    }
    output_.Write("\r\n");
    inRef = false;
    if (ref.questioned) {
        ++counters_.refsQuestioned;
    }
    const int lost = output_.EndReference();
    counters_.refsWritten -= lost;
    counters_.curRef -= lost;
    if (output_.Failed()) {
        Terminate(kDiskFull);
    }
}

} // namespace cvx::lexmill
