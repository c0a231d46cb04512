#include "cli/FormatCommands.h"

#include "formats/FormatFile.h"
#include "formats/Renderer.h"
#include "formats/StyleText.h"
#include "journals/DatabaseJournalLookup.h"
#include "refstore/ReferenceFile.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/LatexText.h"
#include "text/Markup.h"

#include <iostream>

namespace cvx::cli {

namespace {

constexpr std::string_view kRenderOutputs[] = {"codes", "plain", "rtf", "latex"};

// Parses reference N (1-based, file order) of a reference file.
bool ReadReference(const std::string& fileName, std::string_view number, TRefArrData& record) {
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenReferenceFile(file, fileName, progress)) {
        return false;
    }
    const std::optional<int> n = ReferenceNumber(number, file.RefCount(), fileName);
    if (!n) {
        return false;
    }
    if (Outcome r = file.GoTo(file.AbsoluteToDisplay(*n - 1)); !r) {
        Fail(r);
        return false;
    }
    record = file.ParseCurrent(false);
    return true;
}

int FormatNew(const std::vector<std::string>& p) {
    if (p.size() != 2) {
        return Usage({msg::CliFormat::UsageFormat});
    }
    if (Outcome r = WriteFormatFile(DefaultFormatRecord(), p[1]); !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::CliFormat::Wrote, DisplayPath(p[1])));
    return kSuccess;
}

int FormatDump(const std::vector<std::string>& p) {
    if (p.size() != 2) {
        return Usage({msg::CliFormat::UsageFormat});
    }
    TFormatDesc desc;
    if (!LoadFormatFile(desc, p[1])) {
        return kFailure;
    }
    std::cout << DecompileFormat(desc.record);
    return kSuccess;
}

// compile STYLE.txt -o F.for, or compile STYLE.txt F.for
int FormatCompile(const std::vector<std::string>& p) {
    const bool withO = p.size() == 4 && p[2] == "-o";
    if (!withO && p.size() != 3) {
        return Usage({msg::CliFormat::UsageFormat});
    }
    const std::string& source = p[1];
    const std::string& target = withO ? p[3] : p[2];
    std::string text;
    if (!FileSystem::Default().Stat(source).exists) {
        return Fail(Msg(msg::FileOpen::NoSuchFile, DisplayPath(source)));
    }
    if (Outcome r = ReadWholeFile(FileSystem::Default(), source, text); !r) {
        return Fail(Msg(msg::FileOpen::FailedToRead, DisplayPath(source)) + "\r" + r.message());
    }
    FormatRecord record;
    if (Outcome r = CompileFormat(text, record); !r) {
        return Fail(DisplayPath(source) + ": " + r.message());
    }
    if (Outcome r = WriteFormatFile(record, target); !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::CliFormat::Wrote, DisplayPath(target)));
    return kSuccess;
}

} // namespace

int RunFormat(const Args& args) {
    const std::vector<std::string>& p = args.Positional();
    if (p.empty() || args.Unknown({})) {
        return Usage({msg::CliFormat::UsageFormat});
    }
    const std::string& command = p[0];
    if (command == "new") {
        return FormatNew(p);
    }
    if (command == "dump" || command == "show" || command == "decompile") {
        return FormatDump(p);
    }
    if (command == "compile") {
        return FormatCompile(p);
    }
    Fail(Msg(msg::CliFormat::UnknownFormatCommand, Utf8ToCp1252(command)));
    return Usage({msg::CliFormat::UsageFormat});
}

int RunRender(const Args& args) {
    const std::vector<std::string_view> known = {"--format", "--short", "--long", "--as",
                                                 "--codes",  "--plain", "--rtf",  "--latex"};
    const std::optional<std::string> formatFile = args.Value("--format");
    if (args.Positional().size() != 2 || !args.Complete() || args.Unknown(known) || !formatFile ||
        (args.Has("--short") && args.Has("--long"))) {
        return Usage({msg::CliFormat::UsageRender});
    }
    std::string output = args.Value("--as").value_or("codes");
    int shortcuts = 0;
    for (std::string_view as : kRenderOutputs) {
        if (args.Has("--" + std::string(as))) {
            output = as;
            ++shortcuts;
        }
    }
    if (shortcuts > 1 || (shortcuts == 1 && args.Has("--as")) ||
        std::find(std::begin(kRenderOutputs), std::end(kRenderOutputs), output) ==
            std::end(kRenderOutputs)) {
        return Usage({msg::CliFormat::UsageRender});
    }
    TFormatDesc desc;
    if (!LoadFormatFile(desc, *formatFile)) {
        return kFailure;
    }
    TRefArrData record;
    if (!ReadReference(args.Positional()[0], args.Positional()[1], record)) {
        return kFailure;
    }
    const DatabaseJournalLookup journals = UserJournalDatabase();
    const SettingsStore settings;
    RenderOptions options;
    options.journals = journals.Usable() ? &journals : nullptr;
    options.ignoreJournalDatabase = settings.ReadBool(Setting::IgnoreDatabase);
    options.suppressRtf = settings.ReadBool(Setting::SuppressRtf);
    options.latex = output == "latex";
    std::string text;
    RenderReference(desc, !args.Has("--short"), record, text, options);
    if (output == "plain") {
        text = CodesToPlainText(text);
    } else if (output == "rtf") {
        text = CodesToRtf(text);
    } else if (output == "latex") {
        text = CodesToLatex(text);
    }
    PrintLine(text);
    return kSuccess;
}

int RunLabel(const Args& args) {
    if (args.Positional().size() != 2 || args.Unknown({})) {
        return Usage({msg::CliFormat::UsageLabel});
    }
    TRefArrData record;
    if (!ReadReference(args.Positional()[0], args.Positional()[1], record)) {
        return kFailure;
    }
    PrintLine(AuthorYearLabel(record));
    return kSuccess;
}

} // namespace cvx::cli
