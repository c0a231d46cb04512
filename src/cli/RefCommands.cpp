#include "cli/RefCommands.h"

#include "journals/DatabaseJournalLookup.h"
#include "refstore/LineEnds.h"
#include "refstore/ReferenceFile.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/Markup.h"
#include "text/StringPrimitives.h"

#include <iomanip>
#include <iostream>
#include <sstream>

namespace cvx::cli {

namespace {

constexpr std::string_view kStatusWords[] = {"correct", "suspect", "ruined", "deleted"};
constexpr char kStatusLetters[] = {'C', 'S', 'R', 'D'};
constexpr std::string_view kSourceWords[] = {"journal", "chapter", "monograph", "unparsed"};

// Journal names are judged by the shipped journal-name database when it can be used.
FormalCheck JournalCheck(const DatabaseJournalLookup& journals) {
    return FormalCheck{SettingsStore().ReadBool(Setting::IgnoreDatabase),
                       journals.Usable() ? &journals : nullptr};
}

// The one-line form as plain text, without the markers that delimit the title.
std::string PlainSingleLine(TReferenceFile& file, const FormalCheck& check) {
    return CodesToPlainText(ReplaceAll(file.SingleLineText(check), "!T!T!T", ""));
}

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

} // namespace

int RunList(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({"--order"})) {
        return Usage({msg::Cli::UsageList});
    }
    // The display order the user chose for reference windows, unless the command names one.
    // A stored value that names no order shows the file's own order (the order file has none).
    auto kind = static_cast<DisplayOrder>(SettingsStore().ReadInt(Setting::SortType));
    if (auto order = args.Value("--order")) {
        const std::optional<int> k = ParseInt(*order, true);
        if (!k || *k < 0 || *k > static_cast<int>(DisplayOrder::Original)) {
            return Usage({msg::Cli::UsageList});
        }
        kind = static_cast<DisplayOrder>(*k);
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, args.Positional()[0], progress, kind)) {
        return kFailure;
    }
    const DatabaseJournalLookup journals = UserJournalDatabase();
    const int visible = file.VisibleCount();
    const int width = static_cast<int>(std::to_string(file.RefCount()).size());
    std::ostringstream out;
    for (int pos = 0; pos < visible; ++pos) {
        if (Outcome r = file.GoTo(pos); !r) {
            return Fail(r);
        }
        const std::string line = PlainSingleLine(file, JournalCheck(journals));
        const int abs = file.CurrentIndex();
        out << std::setw(width) << abs + 1 << ' '
            << kStatusLetters[static_cast<int>(file.Status(pos))] << ' '
            << (file.IsTagged(abs) ? '*' : '-') << ' ' << Cp1252ToUtf8(line) << '\n';
    }
    std::cout << out.str();
    return kSuccess;
}

int RunShow(const Args& args) {
    if (args.Positional().size() != 2 || args.Unknown({"--json"})) {
        return Usage({msg::Cli::UsageShow});
    }
    TerminalProgress progress;
    TReferenceFile file;
    const std::string& name = args.Positional()[0];
    if (!OpenReferenceFile(file, name, progress)) {
        return kFailure;
    }
    const std::optional<int> number = ReferenceNumber(args.Positional()[1], file.RefCount(), name);
    if (!number) {
        return kFailure;
    }
    if (Outcome r = file.GoTo(file.AbsoluteToDisplay(*number - 1)); !r) {
        return Fail(r);
    }
    const DatabaseJournalLookup journals = UserJournalDatabase();
    const TRefArrData& data = file.ParseCurrent(true, JournalCheck(journals));
    const int status = static_cast<int>(file.Status(file.CurrentPosition()));
    const int source = static_cast<int>(data.sourceType);

    if (args.Has("--json")) {
        std::ostringstream out;
        out << "{\"number\": " << *number << ", \"status\": \"" << kStatusWords[status]
            << "\", \"source_type\": \"" << kSourceWords[source] << "\", \"parts\": {"
            << "\"identification\": " << JsonString(file.IdentificationString())
            << ", \"proper\": " << JsonString(file.ReferenceProper())
            << ", \"abstract\": " << JsonString(file.AbstractPart()) << "}, \"fields\": {";
        for (int f = 0; f < kFieldCount; ++f) {
            out << (f ? ", " : "") << '"' << FieldName(static_cast<FieldIndex>(f))
                << "\": " << JsonString(data.fields[f]);
        }
        out << "}}\n";
        std::cout << out.str();
        return kSuccess;
    }

    PrintLine(Msg(msg::RefWin::ReferenceFrom, std::to_string(*number), DisplayPath(name)));
    PrintLine(Message(msg::Cli::Status) + ": " +
              ShortText(Message(msg::RefWin::StatusCorrect + status)));
    PrintLine(
        Message(msg::Cli::SourceType) + ": " +
        (source < 3 ? Message(msg::SourceTypes::Journal + source) : Message(msg::Cli::Unparsed)));
    for (int part = 0; part < 3; ++part) {
        const std::string& text = part == 0   ? file.IdentificationString()
                                  : part == 1 ? file.ReferenceProper()
                                              : file.AbstractPart();
        PrintLine(Message(msg::Preferences::IdentificationString + part) + ":");
        std::cout << Indented(text);
    }
    std::cout << '\n';
    for (int f = 0; f < kFieldCount; ++f) {
        PrintLine(Message(msg::FieldNames::IdString + f) + ": " +
                  ReplaceAll(data.fields[f], "\r\n", "\r                "));
    }
    return kSuccess;
}

int RunTag(const Args& args) {
    if (args.Positional().size() != 2 || args.Unknown({"--absolute"})) {
        return Usage({msg::Cli::UsageTag});
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    if (Outcome r =
            file.TagSequence(Utf8ToCp1252(args.Positional()[1]), args.Has("--absolute"), true);
        !r) {
        return Fail(r);
    }
    if (Outcome r = file.SaveTags(); !r) {
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
    TerminalProgress progress;
    TReferenceFile file;
    const std::string& name = args.Positional()[0];
    if (!OpenReferenceFile(file, name, progress)) {
        return kFailure;
    }
    std::vector<int> numbers;
    for (std::size_t i = 1; i < args.Positional().size(); ++i) {
        const std::optional<int> n = ReferenceNumber(args.Positional()[i], file.RefCount(), name);
        if (!n) {
            return kFailure;
        }
        numbers.push_back(*n);
    }
    for (int n : numbers) {
        if (Outcome r = file.GoTo(file.AbsoluteToDisplay(n - 1)); !r) {
            return Fail(r);
        }
        if (Outcome r = file.DeleteCurrent(); !r) {
            return Fail(r);
        }
    }
    PrintLine(Msg(msg::Cli::DeletedCount, std::to_string(numbers.size())));
    return kSuccess;
}

int RunDeleteTagged(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({})) {
        return Usage({msg::Cli::UsageDeleteTagged});
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    const int tagged = file.TaggedCount();
    if (tagged == 0) {
        return Fail(Message(msg::Cli::NoneTagged));
    }
    if (Outcome r = file.DeleteTagged(); !r) {
        return Fail(r);
    }
    // The tags pointed at what is now deleted; they are dropped so the tag file stays meaningful.
    file.DropDeletedFromSets();
    if (Outcome r = file.SaveTags(); !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::Cli::DeletedCount, std::to_string(tagged)));
    return kSuccess;
}

int RunCompress(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({})) {
        return Usage({msg::Cli::UsageCompress});
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, args.Positional()[0], progress)) {
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
    TerminalProgress progress;
    TReferenceFile file;
    const std::string& from = args.Positional()[0];
    const std::string& to = args.Positional()[1];
    if (!OpenReferenceFile(file, from, progress)) {
        return kFailure;
    }
    bool taggedOnly = true;
    if (auto current = args.Value("--current")) {
        const std::optional<int> n = ReferenceNumber(*current, file.RefCount(), from);
        if (!n) {
            return kFailure;
        }
        if (Outcome r = file.GoTo(file.AbsoluteToDisplay(*n - 1)); !r) {
            return Fail(r);
        }
        taggedOnly = false;
    } else if (!args.Has("--tagged")) {
        // Without a choice every reference that is not deleted goes (the tag file is not touched).
        file.TaggedSet() = file.PresentSet();
    }
    const int count = taggedOnly ? file.TaggedCount() : 1;
    if (count == 0) {
        return Fail(Message(msg::Cli::NoneTagged));
    }
    if (Outcome r = file.AppendTo(to, taggedOnly); !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::Cli::AppendedCount, std::to_string(count), DisplayPath(to)));
    return kSuccess;
}

int RunReprint(const Args& args) {
    const auto& p = args.Positional();
    if (p.size() != 3 || (p[1] != "apply" && p[1] != "remove") || !args.Complete() ||
        args.Unknown({"--tagged", "--current"}) ||
        (args.Has("--tagged") && args.Has("--current"))) {
        return Usage({msg::Cli::UsageReprint});
    }
    const std::string number = Utf8ToCp1252(p[2]);
    if (number.find_first_of(" \t") != std::string::npos) {
        return Fail(Message(msg::FileOpen::ReprintNumberHasSpaces));
    }
    if (!HasDigit(number)) {
        return Fail(Message(msg::FileOpen::ReprintNumberLacksDigit));
    }
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, p[0], progress)) {
        return kFailure;
    }
    ReprintScope scope = ReprintScope::AllPresent;
    if (auto current = args.Value("--current")) {
        const std::optional<int> n = ReferenceNumber(*current, file.RefCount(), p[0]);
        if (!n) {
            return kFailure;
        }
        if (Outcome r = file.GoTo(file.AbsoluteToDisplay(*n - 1)); !r) {
            return Fail(r);
        }
        scope = ReprintScope::Current;
    } else if (args.Has("--tagged")) {
        scope = ReprintScope::Tagged;
    }
    if (Outcome r = file.RewriteReprintNumbers(p[1] == "apply", scope, number); !r) {
        return Fail(r);
    }
    return kSuccess;
}

int RunFixLineEnds(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({})) {
        return Usage({msg::Cli::UsageFixLineEnds});
    }
    const std::string& name = args.Positional()[0];
    if (!FileSystem::Default().Stat(name).exists) {
        return Fail(Msg(msg::FileOpen::NoSuchFile, DisplayPath(name)));
    }
    bool changed = false;
    if (Outcome r = FixLineEnds(FileSystem::Default(), name, changed); !r) {
        return Fail(r);
    }
    PrintLine(Msg(changed ? msg::Citavox::RepairedLineEnds : msg::Citavox::LineEndsAlreadyCrLf,
                  DisplayPath(name)));
    return kSuccess;
}

} // namespace cvx::cli
