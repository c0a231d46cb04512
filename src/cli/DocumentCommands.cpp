#include "cli/DocumentCommands.h"

#include "documents/DocumentCompletion.h"
#include "documents/PseudoCitationGroup.h"
#include "joboptions/JobOptions.h"
#include "refstore/ReferenceFile.h"
#include "settings/SettingsStore.h"
#include "text/CaseMapping.h"
#include "text/Collation.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <iostream>

namespace cvx::cli {

namespace {

void PrintReport(const CompletionReport& r) {
    auto yesNo = [](bool yes) { return Message(yes ? msg::YesNo::Yes : msg::YesNo::No); };
    PrintLine(Msg(msg::CliDocuments::CreatedManuscript, DisplayPath(r.outputName),
                  std::to_string(r.outputSize)));
    PrintLine(Msg(msg::CliDocuments::TotalCitations, std::to_string(r.citations)));
    PrintLine(Msg(msg::CliDocuments::CitationGroups, std::to_string(r.groups)));
    PrintLine(Msg(msg::CliDocuments::UniqueCitations, std::to_string(r.uniqueCitations)));
    PrintLine(Msg(msg::CliDocuments::ReferenceListCreated, yesNo(r.referenceListMade)));
    PrintLine(Msg(msg::Manusproduction::CitationsRetrieved, std::to_string(r.files.size())));
    for (const UsedReferenceFile& f : r.files) {
        PrintLine("  " + Msg(msg::CliDocuments::UsedFileLine, DisplayPath(f.name),
                             std::to_string(f.citations), std::to_string(f.references)));
    }
    PrintLine(Msg(msg::CliDocuments::IncorrectFormats, std::to_string(r.wrongFormat)));
    PrintLine(Msg(msg::CliDocuments::LackingTerminators, std::to_string(r.lackingEnd)));
    PrintLine(Msg(msg::CliDocuments::AliasUsed, yesNo(r.aliasUsed)));
    if (r.wrongFormat > 0) {
        PrintLine(Msg(msg::Manusproduction::WrongFormatCount, std::to_string(r.wrongFormat)));
    }
    if (!r.warnings.empty()) {
        PrintLine(Message(msg::CliDocuments::Warnings));
        for (const std::string& w : r.warnings) {
            PrintLine("  " + w);
        }
    }
}

// The option of --option: hide, year, authors, before:TEXT or after:TEXT (TEXT as typed, UTF-8
// like the file's path beside it); false for anything else.
bool ParseOption(const std::string& typed, PseudoCitationRequest& pattern) {
    const std::string lower = LowerText(typed);
    if (lower == "hide") {
        pattern.option = kOptionHide;
    } else if (lower == "year") {
        pattern.option = kOptionYear;
    } else if (lower == "authors") {
        pattern.option = kOptionAuthors;
    } else if (StartsWith(lower, "before:") || StartsWith(lower, "after:")) {
        const bool before = StartsWith(lower, "before:");
        pattern.option = before ? kOptionTextBefore : kOptionTextAfter;
        pattern.optionText = typed.substr(before ? 7 : 6);
    } else {
        return false;
    }
    return true;
}

} // namespace

int RunComplete(const Args& args) {
    const auto formatFile = args.Value("--format");
    if (args.Positional().size() != 1 || !formatFile || !args.Complete() ||
        args.Unknown({"--format", "--document-format"})) {
        return Usage({msg::CliDocuments::UsageComplete});
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    ManuscriptJob job;
    job.manuscript = args.Positional()[0];
    job.formatFile = *formatFile;
    job.documentFormat = args.Value("--document-format").value_or("");
    TerminalProgress progress;
    CompletionReport report;
    if (Outcome r = CompleteManuscript(job, options.Completion(), progress, report); !r) {
        return Fail(r);
    }
    PrintReport(report);
    return kSuccess;
}

int RunCite(const Args& args) {
    const std::vector<std::string_view> known = {"--hide", "--no-hide", "--option", "--first",
                                                 "--no-enclosure"};
    if (args.Positional().size() < 2 || !args.Complete() || args.Unknown(known) ||
        (args.Has("--hide") && args.Has("--no-hide"))) {
        return Usage({msg::CliDocuments::UsageCite});
    }
    PseudoCitationGroup group;
    if (const auto option = args.Value("--option");
        option && !ParseOption(*option, group.pattern)) {
        return Usage({msg::CliDocuments::UsageCite});
    }
    group.pattern.firstInGroup = args.Has("--first");
    group.pattern.skipEnclosure = args.Has("--no-enclosure");
    for (std::size_t i = 1; i < args.Positional().size(); ++i) {
        const std::optional<int> n = ReferenceNumber(args.Positional()[i]);
        if (!n) {
            return kFailure;
        }
        group.numbers.push_back(*n);
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    group.hide = args.Has("--hide") || (!args.Has("--no-hide") && options.clipboard.hideReferences);

    const std::string& name = args.Positional()[0];
    group.pattern.file = name;
    TerminalProgress progress;
    TReferenceFile file;
    if (!OpenFile(file, name, progress)) {
        return kFailure;
    }
    std::string text;
    if (Outcome r = BuildPseudoCitationGroup(file, group, options.Render(), text); !r) {
        return Fail(r);
    }
    std::cout << text << '\n';
    return kSuccess;
}

int RunCollate(const Args& args) {
    if (args.Positional().empty() || args.Unknown({})) {
        return Usage({msg::CliDocuments::UsageCollate});
    }
    const std::optional<Collation> collation = CollationByName(Utf8ToCp1252(args.Positional()[0]));
    if (!collation) {
        return Fail(Msg(msg::CliDocuments::UnknownCollation, Utf8ToCp1252(args.Positional()[0]),
                        CollationNames()));
    }
    std::vector<std::string> keys;
    for (std::size_t i = 1; i < args.Positional().size(); ++i) {
        keys.push_back(Utf8ToCp1252(args.Positional()[i]));
    }
    SortKeys(*collation, keys);
    for (const std::string& key : keys) {
        PrintLine(key);
    }
    return kSuccess;
}

} // namespace cvx::cli
