#include "cli/RefCommands.h"

#include "joboptions/JobOptions.h"
#include "refstore/ReferenceJobs.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <iomanip>
#include <iostream>
#include <sstream>

namespace cvx::cli {

namespace {

constexpr std::string_view kStatusWords[] = {"correct", "suspect", "ruined", "deleted"};
constexpr char kStatusLetters[] = {'C', 'S', 'R', 'D'};
constexpr std::string_view kSourceWords[] = {"journal", "chapter", "monograph", "unparsed"};

// The lines of a part, each trimmed and indented, as UTF-8.
std::string Indented(std::string_view cp1252Text) {
    std::string out;
    for (const std::string_view raw : SplitLines(cp1252Text)) {
        const std::string line = TrimBlanks(raw);
        if (!line.empty()) {
            out += "  " + Cp1252ToUtf8(line) + "\n";
        }
    }
    return out;
}

// The reference numbers of positionals [first, end); nullopt after printing why when one is no
// number.
std::optional<std::vector<int>> ReferenceNumbers(const std::vector<std::string>& positional,
                                                 std::size_t first) {
    std::vector<int> numbers;
    for (std::size_t i = first; i < positional.size(); ++i) {
        const std::optional<int> n = ReferenceNumber(positional[i]);
        if (!n) {
            return std::nullopt;
        }
        numbers.push_back(*n);
    }
    return numbers;
}

// --tagged, --current N or neither (every present reference); nullopt after printing why when
// the number is no number.
std::optional<std::pair<ReferenceScope, int>> ScopeOf(const Args& args) {
    if (const auto current = args.Value("--current")) {
        const std::optional<int> n = ReferenceNumber(*current);
        if (!n) {
            return std::nullopt;
        }
        return std::pair(ReferenceScope::Current, *n);
    }
    return std::pair(args.Has("--tagged") ? ReferenceScope::Tagged : ReferenceScope::AllPresent, 0);
}

void PrintShown(const ShownReference& shown, const std::string& name) {
    const int status = static_cast<int>(shown.status);
    const int source = static_cast<int>(shown.data.sourceType);
    PrintLine(Msg(msg::RefWin::ReferenceFrom, std::to_string(shown.number), DisplayPath(name)));
    PrintLine(Message(msg::Cli::Status) + ": " +
              ShortText(Message(msg::RefWin::StatusCorrect + status)));
    PrintLine(
        Message(msg::Cli::SourceType) + ": " +
        (source < 3 ? Message(msg::SourceTypes::Journal + source) : Message(msg::Cli::Unparsed)));
    const std::string* parts[] = {&shown.identification, &shown.proper, &shown.abstractPart};
    for (int part = 0; part < 3; ++part) {
        PrintLine(Message(msg::Preferences::IdentificationString + part) + ":");
        std::cout << Indented(*parts[part]);
    }
    std::cout << '\n';
    for (int f = 0; f < kFieldCount; ++f) {
        PrintLine(Message(msg::FieldNames::IdString + f) + ": " +
                  ReplaceAll(shown.data.fields[f], "\r\n", "\r                "));
    }
}

void PrintShownAsJson(const ShownReference& shown) {
    std::ostringstream out;
    out << "{\"number\": " << shown.number << ", \"status\": \""
        << kStatusWords[static_cast<int>(shown.status)] << "\", \"source_type\": \""
        << kSourceWords[static_cast<int>(shown.data.sourceType)] << "\", \"parts\": {"
        << "\"identification\": " << JsonString(shown.identification)
        << ", \"proper\": " << JsonString(shown.proper)
        << ", \"abstract\": " << JsonString(shown.abstractPart) << "}, \"fields\": {";
    for (int f = 0; f < kFieldCount; ++f) {
        out << (f ? ", " : "") << '"' << FieldName(static_cast<FieldIndex>(f))
            << "\": " << JsonString(shown.data.fields[f]);
    }
    out << "}}\n";
    std::cout << out.str();
}

} // namespace

int RunList(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({"--order"})) {
        return Usage({msg::Cli::UsageList});
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    // The display order the user chose for reference windows, unless the command names one.
    DisplayOrder order = options.displayOrder;
    if (auto named = args.Value("--order")) {
        const std::optional<int> k = ParseInt(*named, true);
        if (!k || *k < 0 || *k > static_cast<int>(DisplayOrder::Original)) {
            return Usage({msg::Cli::UsageList});
        }
        order = static_cast<DisplayOrder>(*k);
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress, order)) {
        return kFailure;
    }
    std::vector<ListedReference> list;
    if (Outcome r = ListReferences(file, options.JournalCheck(), list); !r) {
        return Fail(r);
    }
    const int width = static_cast<int>(std::to_string(file.RefCount()).size());
    std::ostringstream out;
    for (const ListedReference& entry : list) {
        out << std::setw(width) << entry.number << ' '
            << kStatusLetters[static_cast<int>(entry.status)] << ' ' << (entry.tagged ? '*' : '-')
            << ' ' << Cp1252ToUtf8(entry.line) << '\n';
    }
    std::cout << out.str();
    return kSuccess;
}

int RunShow(const Args& args) {
    if (args.Positional().size() != 2 || args.Unknown({"--json"})) {
        return Usage({msg::Cli::UsageShow});
    }
    const std::string& name = args.Positional()[0];
    const std::optional<int> number = ReferenceNumber(args.Positional()[1]);
    if (!number) {
        return kFailure;
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, name, progress)) {
        return kFailure;
    }
    ShownReference shown;
    if (Outcome r = ShowReference(file, *number, options.JournalCheck(), shown); !r) {
        return Fail(r);
    }
    if (args.Has("--json")) {
        PrintShownAsJson(shown);
    } else {
        PrintShown(shown, name);
    }
    return kSuccess;
}

int RunTag(const Args& args) {
    if (args.Positional().size() != 2 || args.Unknown({"--absolute"})) {
        return Usage({msg::Cli::UsageTag});
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    if (Outcome r = TagReferences(file, Utf8ToCp1252(args.Positional()[1]), args.Has("--absolute"));
        !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::RefWin::TaggedCount, std::to_string(file.TaggedCount()),
                  std::to_string(file.RefCount())));
    return kSuccess;
}

int RunDelete(const Args& args) {
    if (args.Positional().size() < 2 || args.Unknown({})) {
        return Usage({msg::Cli::UsageDelete});
    }
    const std::optional<std::vector<int>> numbers = ReferenceNumbers(args.Positional(), 1);
    if (!numbers) {
        return kFailure;
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    if (Outcome r = DeleteReferences(file, *numbers); !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::Cli::DeletedCount, std::to_string(numbers->size())));
    return kSuccess;
}

int RunDeleteTagged(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({})) {
        return Usage({msg::Cli::UsageDeleteTagged});
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    int deleted = 0;
    if (Outcome r = DeleteTaggedReferences(file, deleted); !r) {
        return Fail(r);
    }
    if (deleted == 0) {
        return Fail(Message(msg::Cli::NoneTagged));
    }
    PrintLine(Msg(msg::Cli::DeletedCount, std::to_string(deleted)));
    return kSuccess;
}

int RunCompress(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({})) {
        return Usage({msg::Cli::UsageCompress});
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    if (Outcome r = file.Compress(); !r) {
        return Fail(r);
    }
    return kSuccess;
}

int RunAppend(const Args& args) {
    if (args.Positional().size() != 2 || !args.Complete() ||
        args.Unknown({"--tagged", "--current"}) ||
        (args.Has("--tagged") && args.Has("--current"))) {
        return Usage({msg::Cli::UsageAppend});
    }
    const std::string& from = args.Positional()[0];
    const std::string& to = args.Positional()[1];
    const auto scope = ScopeOf(args);
    if (!scope) {
        return kFailure;
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, from, progress)) {
        return kFailure;
    }
    int appended = 0;
    if (Outcome r = AppendReferences(file, to, scope->first, scope->second, appended); !r) {
        return Fail(r);
    }
    if (appended == 0) {
        return Fail(Message(msg::Cli::NoneTagged));
    }
    PrintLine(Msg(msg::Cli::AppendedCount, std::to_string(appended), DisplayPath(to)));
    return kSuccess;
}

int RunReprint(const Args& args) {
    const auto& p = args.Positional();
    if (p.size() != 3 || (p[1] != "apply" && p[1] != "remove") || !args.Complete() ||
        args.Unknown({"--tagged", "--current"}) ||
        (args.Has("--tagged") && args.Has("--current"))) {
        return Usage({msg::Cli::UsageReprint});
    }
    const auto scope = ScopeOf(args);
    if (!scope) {
        return kFailure;
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, p[0], progress)) {
        return kFailure;
    }
    if (Outcome r = ApplyReprintNumbers(file, p[1] == "apply", scope->first, scope->second,
                                        Utf8ToCp1252(p[2]));
        !r) {
        return Fail(r);
    }
    return kSuccess;
}

int RunFixLineEnds(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({})) {
        return Usage({msg::Cli::UsageFixLineEnds});
    }
    const std::string& name = args.Positional()[0];
    bool changed = false;
    if (Outcome r = RepairLineEnds(name, changed); !r) {
        return Fail(r);
    }
    PrintLine(Msg(changed ? msg::Citavox::RepairedLineEnds : msg::Citavox::LineEndsAlreadyCrLf,
                  DisplayPath(name)));
    return kSuccess;
}

} // namespace cvx::cli
