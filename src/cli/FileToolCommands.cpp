#include "cli/FileToolCommands.h"

#include "filetools/FileComparer.h"
#include "filetools/FileSorter.h"
#include "filetools/StructureCheck.h"
#include "joboptions/JobOptions.h"
#include "refstore/DisplaySorter.h"
#include "refstore/ReferenceFile.h"
#include "refstore/ReferenceJobs.h"
#include "settings/SettingsStore.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"

#include <iostream>

namespace cvx::cli {

namespace {

// The command line's names of the structure check's scopes, in the order of their kinds.
constexpr std::string_view kScopeNames[] = {"all", "year", "names", "source", "journals"};

std::optional<CheckKind> ScopeOption(const Args& args, CheckKind fallback) {
    const std::optional<std::string> named = args.Value("--scope");
    if (!named) {
        return fallback;
    }
    for (int k = 0; k <= static_cast<int>(CheckKind::JournalNames); ++k) {
        if (*named == kScopeNames[k] || *named == std::to_string(k)) {
            return static_cast<CheckKind>(k);
        }
    }
    Fail(Msg(msg::CliFileTools::UnknownScope, Utf8ToCp1252(*named)));
    return std::nullopt;
}

} // namespace

int RunSort(const Args& args) {
    const auto usage = [] { return Usage({msg::CliFileTools::UsageSort}); };
    if (args.Positional().size() != 2 || !args.Complete() ||
        args.Unknown({"--order", "--duplicates", "--json"})) {
        return usage();
    }
    const std::string duplicates = args.Value("--duplicates").value_or("drop");
    if (duplicates != "drop" && duplicates != "mark") {
        return usage();
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    const std::optional<DisplayOrder> order = OrderOption(args, options.sortOrder);
    if (!order) {
        return kUsageError;
    }
    const SortRequest request{args.Positional()[0], args.Positional()[1], *order,
                              duplicates == "mark"};
    TerminalProgress progress(TerminalProgress::For(args));
    const SortReport report =
        SortReferenceFile(FileSystem::Default(), request, options.Sort(), progress);
    if (!report.outcome) {
        return Fail(report.outcome);
    }
    WarnUnparsed(msg::CliFileTools::Unparsed, report.unparsed);
    if (args.Has("--json")) {
        std::cout << "{\"written\": " << report.written << ", \"duplicates\": " << report.duplicates
                  << ", \"deleted\": " << report.deleted
                  << ", \"unparsed\": " << JsonNumbers(report.unparsed) << "}\n";
        return kSuccess;
    }
    PrintLine(Msg(msg::CliFileTools::Sorted, std::to_string(report.written),
                  DisplayPath(request.destination)));
    if (report.duplicates > 0) {
        PrintLine(Msg(request.keepDuplicates ? msg::CliFileTools::DuplicatesMarked
                                             : msg::CliFileTools::DuplicatesDropped,
                      std::to_string(report.duplicates)));
    }
    if (report.deleted > 0) {
        PrintLine(Msg(msg::CliFileTools::DeletedLeftOut, std::to_string(report.deleted)));
    }
    return kSuccess;
}

int RunCompare(const Args& args) {
    const auto usage = [] { return Usage({msg::CliFileTools::UsageCompare}); };
    const std::vector<std::string>& p = args.Positional();
    const std::optional<std::string> write = args.Value("--write");
    // "--write common|unique OUT.ref": the selection is the option's value, OUT the third
    // positional.
    if (!args.Complete() || args.Unknown({"--write", "--append", "--json"}) ||
        p.size() != (write ? 3U : 2U) || (write && *write != "common" && *write != "unique") ||
        (args.Has("--append") && !write)) {
        return usage();
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    TerminalProgress progress(TerminalProgress::For(args));
    const CompareReport report =
        CompareFiles(FileSystem::Default(), p[1], p[0], options.Compare(), progress);
    if (!report.outcome) {
        return Fail(report.outcome);
    }
    WarnUnparsed(msg::CliFileTools::Unparsed, report.unparsed);
    if (write) {
        const bool append = args.Has("--append");
        int written = 0;
        if (Outcome r = WriteCompareResult(FileSystem::Default(), report,
                                           *write == "common" ? CompareSelection::Common
                                                              : CompareSelection::Unique,
                                           p[2], append, progress, written);
            !r) {
            return Fail(r);
        }
        if (!args.Has("--json")) {
            PrintLine(Msg(append ? msg::VoxComp::RefsAppended : msg::VoxComp::FileCreatedWithRefs,
                          std::to_string(written), DisplayPath(p[2])));
        }
    }
    if (args.Has("--json")) {
        std::cout << "{\"common\": " << report.commonCount << ", \"unique\": " << report.uniqueCount
                  << "}\n";
        return kSuccess;
    }
    PrintLine(Msg(msg::CliFileTools::CommonCount, std::to_string(report.commonCount)));
    PrintLine(Msg(msg::CliFileTools::UniqueCount, std::to_string(report.uniqueCount)));
    if (report.keyFileReused) {
        PrintLine(Message(msg::CliFileTools::KeyFileReused));
    }
    return kSuccess;
}

int RunCheck(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({"--scope", "--json"})) {
        return Usage({msg::CliFileTools::UsageCheck});
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    const std::optional<CheckKind> scope = ScopeOption(args, options.checkKind);
    if (!scope) {
        return kUsageError;
    }
    TerminalProgress progress(TerminalProgress::For(args));
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    const CheckReport report = CheckFileStructure(file, *scope, options.JournalCheck(), progress);
    if (!report.outcome) {
        return Fail(report.outcome);
    }
    const std::vector<int> faulty = NumbersOf(report.faulty);
    if (args.Has("--json")) {
        std::cout << "{\"faulty\": " << JsonNumbers(faulty) << "}\n";
        return kSuccess;
    }
    const std::size_t n = faulty.size();
    PrintLine(n == 0   ? Message(msg::CheckFormat::NoSuspectedProblems)
              : n == 1 ? Message(msg::CheckFormat::OneSuspected)
                       : Msg(msg::CheckFormat::SomeSuspected, std::to_string(n)));
    if (n > 0) {
        PrintLine(Msg(msg::CliFileTools::FaultyNumbers, NumberList(faulty)));
    }
    return kSuccess;
}

int RunOrder(const Args& args) {
    if (args.Positional().size() != 1 || args.Unknown({"--tag-duplicates", "--json"})) {
        return Usage({msg::CliFileTools::UsageOrder});
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    TerminalProgress progress(TerminalProgress::For(args));
    TReferenceFile file;
    if (!OpenFile(file, args.Positional()[0], progress)) {
        return kFailure;
    }
    const std::shared_ptr<const ReferenceReader> reader = file.Reader();
    const DisplaySortReport report =
        SortDisplayOrders(FileSystem::Default(), reader, options.DisplaySort(), progress);
    if (!report.outcome) {
        return Fail(report.outcome);
    }
    const bool tag = args.Has("--tag-duplicates");
    if (tag) {
        if (Outcome r = ReplaceTags(file, report.duplicates, *reader); !r) {
            return Fail(r);
        }
    }
    const std::vector<int> duplicates = NumbersOf(report.duplicates);
    if (args.Has("--json")) {
        std::cout << "{\"references\": " << report.references
                  << ", \"duplicates\": " << JsonNumbers(duplicates)
                  << ", \"tagged\": " << (tag ? "true" : "false") << "}\n";
        return kSuccess;
    }
    PrintLine(Msg(msg::CliFileTools::OrdersStored, DisplayPath(file.FileName())));
    PrintLine(duplicates.empty()
                  ? Message(msg::CliFileTools::NoDuplicates)
                  : Msg(msg::CliFileTools::SuspectedDuplicates, NumberList(duplicates)));
    if (tag) {
        PrintLine(Message(msg::CliFileTools::DuplicatesTagged));
    }
    return kSuccess;
}

} // namespace cvx::cli
