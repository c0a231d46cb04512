#include "cli/FormatCommands.h"

#include "formats/FormatFile.h"
#include "formats/RenderJob.h"
#include "formats/StyleText.h"
#include "joboptions/JobOptions.h"
#include "refstore/ReferenceFile.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"

#include <iostream>

namespace cvx::cli {

namespace {

struct NamedOutput {
    std::string_view name;
    RenderOutput output;
};
constexpr NamedOutput kRenderOutputs[] = {{"codes", RenderOutput::Codes},
                                          {"plain", RenderOutput::Plain},
                                          {"rtf", RenderOutput::Rtf},
                                          {"latex", RenderOutput::Latex}};

// The output of --as NAME, or of one of --codes, --plain, --rtf and --latex; codes without
// either. nullopt for an unknown name or more than one choice.
std::optional<RenderOutput> OutputOf(const Args& args) {
    const std::string named = args.Value("--as").value_or("codes");
    std::optional<RenderOutput> output;
    int shortcuts = 0;
    for (const NamedOutput& o : kRenderOutputs) {
        if (o.name == named) {
            output = o.output;
        }
        if (args.Has("--" + std::string(o.name))) {
            output = o.output;
            ++shortcuts;
        }
    }
    if (shortcuts > 1 || (shortcuts == 1 && args.Has("--as"))) {
        return std::nullopt;
    }
    return output;
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
    if (Outcome r = LoadFormatFile(desc, p[1]); !r) {
        return Fail(r);
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
    const std::string& target = withO ? p[3] : p[2];
    if (Outcome r = CompileFormatFile(p[1], target); !r) {
        return Fail(r);
    }
    PrintLine(Msg(msg::CliFormat::Wrote, DisplayPath(target)));
    return kSuccess;
}

// Opens the reference file of a command; the reference number is the engine's to check.
std::optional<int> OpenWithNumber(TReferenceFile& file, Progress& progress,
                                  const std::vector<std::string>& positional) {
    const std::optional<int> number = ReferenceNumber(positional[1]);
    if (!number || !OpenFile(file, positional[0], progress)) {
        return std::nullopt;
    }
    return number;
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
    const std::optional<RenderOutput> output = OutputOf(args);
    if (!output) {
        return Usage({msg::CliFormat::UsageRender});
    }
    TFormatDesc desc;
    if (Outcome r = LoadFormatFile(desc, *formatFile); !r) {
        return Fail(r);
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    TerminalProgress progress;
    TReferenceFile file;
    const std::optional<int> number = OpenWithNumber(file, progress, args.Positional());
    if (!number) {
        return kFailure;
    }
    std::string text;
    if (Outcome r = RenderStoredReference(file, *number, desc, !args.Has("--short"), *output,
                                          options.Render(), text);
        !r) {
        return Fail(r);
    }
    PrintLine(text);
    return kSuccess;
}

int RunLabel(const Args& args) {
    if (args.Positional().size() != 2 || args.Unknown({})) {
        return Usage({msg::CliFormat::UsageLabel});
    }
    TerminalProgress progress;
    TReferenceFile file;
    const std::optional<int> number = OpenWithNumber(file, progress, args.Positional());
    if (!number) {
        return kFailure;
    }
    // The label with its markup codes, as a format's citation has it, whatever the clipboard's
    // settings say.
    std::string label;
    if (Outcome r = LabelOfReference(file, *number, RenderOptions{}, label); !r) {
        return Fail(r);
    }
    PrintLine(label);
    return kSuccess;
}

} // namespace cvx::cli
