#include "cli/OutputCommands.h"

#include "formats/FormatFile.h"
#include "joboptions/JobOptions.h"
#include "output/Exporter.h"
#include "output/ReferenceList.h"
#include "refstore/ReferenceFile.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"

#include <iostream>

namespace cvx::cli {

namespace {

// The names of the export layouts as the command line writes them, in the order of the layouts.
constexpr std::string_view kLayoutNames[] = {"medline", "ris", "bibtex", "csl-json"};

// The tags of the file when --tagged asks for them; false after printing why when none is tagged.
bool TaggedScope(const Args& args, TReferenceFile& file, std::optional<RefSet>& tagged) {
    if (!args.Has("--tagged")) {
        return true;
    }
    if (file.TaggedCount() == 0) {
        Fail(Msg(msg::CliFileTools::NoneTagged, DisplayPath(file.FileName())));
        return false;
    }
    tagged = file.TaggedSet();
    return true;
}

// The format of a list: --format, else the list format of the settings, else the defaults.
Outcome ListFormat(const Args& args, const JobOptions& options, TFormatDesc& format) {
    const std::string named = args.Value("--format").value_or(options.listFormatFile);
    if (named.empty()) {
        return Outcome::Ok();
    }
    return LoadFormatFile(format, named);
}

} // namespace

int RunMakelist(const Args& args) {
    const auto usage = [] { return Usage({msg::CliFileTools::UsageMakelist}); };
    if (args.Positional().size() != 2 || !args.Complete() ||
        args.Unknown({"--as", "--format", "--order", "--tagged", "--current", "--numbered",
                      "--abstracts", "--keep-duplicates", "--json"}) ||
        (args.Has("--tagged") && args.Has("--current"))) {
        return usage();
    }
    const std::optional<ListOutput> kind = ListOutputByName(args.Value("--as").value_or("text"));
    if (!kind) {
        return Fail(
            Msg(msg::CliFileTools::UnknownListKind, Utf8ToCp1252(args.Value("--as").value_or(""))));
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    const std::optional<DisplayOrder> order = OrderOption(args, options.listOrder);
    if (!order) {
        return kUsageError;
    }
    std::optional<int> current;
    if (const auto n = args.Value("--current")) {
        if (current = ReferenceNumber(*n); !current) {
            return kFailure;
        }
    }
    TFormatDesc format;
    if (Outcome r = ListFormat(args, options, format); !r) {
        return Fail(r);
    }
    TerminalProgress progress(TerminalProgress::For(args));
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    ListRequest request;
    request.references = file.Reader();
    request.output = args.Positional()[1];
    request.kind = *kind;
    request.order = *order;
    request.which = current ? *current - 1 : -1;
    request.keepDuplicates = args.Has("--keep-duplicates");
    request.includeAbstract = args.Has("--abstracts");
    request.numbered = args.Has("--numbered");
    if (current && (*current < 1 || *current > file.RefCount())) {
        return Fail(Msg(msg::FileOpen::ReferenceBeyondEnd, std::to_string(*current),
                        DisplayPath(file.FileName()), std::to_string(file.RefCount())));
    }
    if (!TaggedScope(args, file, request.tagged)) {
        return kFailure;
    }
    const ListReport report =
        MakeReferenceList(FileSystem::Default(), request, format, options.List(), progress);
    if (!report.outcome) {
        return Fail(report.outcome);
    }
    WarnUnparsed(msg::CliFileTools::UnparsedListed, report.unparsed);
    if (args.Has("--json")) {
        std::cout << "{\"entries\": " << report.entries << ", \"duplicates\": " << report.duplicates
                  << ", \"output\": " << JsonString(DisplayPath(request.output)) << "}\n";
        return kSuccess;
    }
    PrintLine(Msg(msg::CliFileTools::ListWritten, std::to_string(report.entries),
                  DisplayPath(request.output)));
    if (report.duplicates > 0) {
        PrintLine(Msg(request.keepDuplicates ? msg::CliFileTools::DuplicatesMarked
                                             : msg::CliFileTools::DuplicatesDropped,
                      std::to_string(report.duplicates)));
    }
    return kSuccess;
}

int RunExport(const Args& args) {
    if (args.Positional().size() != 2 || !args.Complete() ||
        args.Unknown({"--as", "--tagged", "--json"})) {
        return Usage({msg::CliFileTools::UsageExport});
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    ExportLayout layout = options.exportLayout;
    if (const auto named = args.Value("--as")) {
        const std::optional<ExportLayout> chosen = ExportLayoutByName(*named);
        if (!chosen) {
            return Fail(Msg(msg::CliFileTools::UnknownLayout, Utf8ToCp1252(*named)));
        }
        layout = *chosen;
    }
    TerminalProgress progress(TerminalProgress::For(args));
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    ExportRequest request{file.Reader(), args.Positional()[1], layout, std::nullopt};
    if (!TaggedScope(args, file, request.tagged)) {
        return kFailure;
    }
    const ExportReport report =
        ExportReferences(FileSystem::Default(), request, options.Export(), progress);
    if (!report.outcome) {
        return Fail(report.outcome);
    }
    WarnUnparsed(msg::CliFileTools::UnparsedExported, report.unparsed);
    if (args.Has("--json")) {
        std::cout << "{\"exported\": " << report.exported << ", \"journals\": " << report.journals
                  << ", \"chapters\": " << report.chapters
                  << ", \"monographs\": " << report.monographs
                  << ", \"unparsed\": " << JsonNumbers(report.unparsed) << "}\n";
        return kSuccess;
    }
    PrintLine(Msg(msg::CliFileTools::Exported, std::to_string(report.exported),
                  DisplayPath(request.output), kLayoutNames[static_cast<int>(layout)]));
    PrintLine(Msg(msg::CliFileTools::ExportCounts, std::to_string(report.journals),
                  std::to_string(report.chapters), std::to_string(report.monographs)));
    return kSuccess;
}

} // namespace cvx::cli
