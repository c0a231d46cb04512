#include "cli/ImportCommands.h"

#include "joboptions/JobOptions.h"
#include "settings/SettingsStore.h"
#include "text/AnsiWriter.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "vorodud/ImportJob.h"

#include <iostream>

namespace cvx::cli {

namespace {

int ListTypes() {
    for (const vorodud::SourceTypeEntry& t : vorodud::UsableSourceTypes()) {
        std::string line = t.key;
        line.resize(std::max<std::size_t>(line.size() + 2, 16), ' ');
        PrintLine(line + t.supplier + ": " + t.database);
    }
    return kSuccess;
}

std::string JsonCount(std::string_view name, int value) {
    return "\"" + std::string(name) + "\": " + std::to_string(value);
}

void PrintCounters(const vorodud::ImportReport& report, bool json) {
    const vorodud::Counters& c = report.counters;
    const bool dumped = c.dumped > 0;
    if (json) {
        std::cout << "{\"type\": " << JsonString(vorodud::Vorodud().TypeKey(report.type)) << ", "
                  << JsonCount("written", c.written) << ", "
                  << JsonCount("incomplete", c.incomplete) << ", "
                  << JsonCount("questioned", c.questioned) << ", " << JsonCount("dumped", c.dumped)
                  << ", \"dump_file\": "
                  << (dumped ? JsonString(DisplayPath(report.dumpFile)) : "null") << "}\n";
        return;
    }
    PrintLine(Msg(msg::VorodudTexts::Written, std::to_string(c.written)));
    PrintLine(Msg(msg::VorodudTexts::Incomplete, std::to_string(c.incomplete)));
    PrintLine(Msg(msg::VorodudTexts::Questioned, std::to_string(c.questioned)));
    PrintLine(Msg(msg::VorodudTexts::Dumped, std::to_string(c.dumped)));
    if (dumped) {
        PrintLine(Msg(msg::CliImport::DumpFile, DisplayPath(report.dumpFile)));
    }
}

// Detection that recognises nothing points at --type.
int NotRecognised(const std::string& source) {
    return Fail(Msg(msg::CliImport::SourceNotRecognised, DisplayPath(source)));
}

} // namespace

int RunImport(const Args& args) {
    const auto usage = [] { return Usage({msg::CliImport::UsageImport}); };
    if (!args.Complete() ||
        args.Unknown({"--type", "--append", "--replace", "--label", "--json", "--list-types"}) ||
        (args.Has("--append") && args.Has("--replace"))) {
        return usage();
    }
    if (args.Has("--list-types")) {
        return args.Positional().empty() ? ListTypes() : usage();
    }
    if (args.Positional().size() != 2) {
        return usage();
    }
    vorodud::ImportRequest request;
    request.source = args.Positional()[0];
    request.destination = args.Positional()[1];
    request.mode = args.Has("--append")    ? DestinationMode::Append
                   : args.Has("--replace") ? DestinationMode::Replace
                                           : DestinationMode::New;
    if (request.mode == DestinationMode::New &&
        FileSystem::Default().Stat(request.destination).exists) {
        Fail(Msg(msg::Citavox::DestinationExists, DisplayPath(request.destination)));
        return Fail(Message(msg::CliImport::UseAppendOrReplace));
    }
    if (const auto name = args.Value("--type")) {
        request.type = vorodud::Vorodud().TypeByKey(*name);
        if (request.type == 0) {
            return Fail(Msg(msg::CliImport::UnknownSourceType, Utf8ToCp1252(*name)));
        }
    }
    if (const auto label = args.Value("--label")) {
        request.label = Utf8ToAnsi(*label);
    }
    const JobOptions options = JobOptions::Read(SettingsStore());
    // The report speaks for the run, so its status texts stay hidden.
    TerminalProgress progress(TerminalProgress::Statuses::Hidden);
    const vorodud::ImportReport report = vorodud::Import(request, options.Import(), progress);
    if (report.status == vorodud::ImportStatus::NotRecognised) {
        return NotRecognised(request.source);
    }
    if (report.converted) {
        PrintCounters(report, args.Has("--json"));
    }
    for (const std::string& message : report.messages) {
        Fail(message);
    }
    return report.Succeeded() ? kSuccess : kFailure;
}

int RunDetect(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({})) {
        return Usage({msg::CliImport::UsageDetect});
    }
    const std::string& source = args.Positional()[0];
    const vorodud::DetectedSource detected = vorodud::DetectSource(source);
    if (detected.status == vorodud::ImportStatus::NotRecognised) {
        return NotRecognised(source);
    }
    if (detected.status != vorodud::ImportStatus::Succeeded) {
        return Fail(detected.message);
    }
    PrintLine(vorodud::Vorodud().TypeKey(detected.type));
    return kSuccess;
}

} // namespace cvx::cli
