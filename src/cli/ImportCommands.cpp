#include "cli/ImportCommands.h"

#include "journals/DatabaseJournalLookup.h"
#include "lexmill/Lexmill.h"
#include "settings/DefaultDirectories.h"
#include "text/AnsiWriter.h"
#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/StringPrimitives.h"
#include "vorodud/Vorodud.h"

#include <iostream>
#include <unistd.h>

namespace cvx::cli {

namespace {

using vorodud::ResultCode;
using vorodud::Vorodud;

int ImportUsage() {
    Fail(Msg(msg::Cli::WrongArguments, Msg(msg::CliImport::UsageImport)));
    return kUsageError;
}

int ListTypes() {
    const Vorodud driver;
    for (int type = 1; type < 100; ++type) {
        const std::string key = driver.TypeKey(type);
        if (key.empty() || !driver.TypeUsable(type)) {
            continue;
        }
        std::string line = key;
        line.resize(std::max<std::size_t>(line.size() + 2, 16), ' ');
        PrintLine(line + driver.TypeText(type, 1) + ": " + driver.TypeText(type, 2));
    }
    return kSuccess;
}

std::string JsonCount(std::string_view name, int value) {
    return "\"" + std::string(name) + "\": " + std::to_string(value);
}

} // namespace

int RunImport(const Args& args) {
    if (!args.Complete() ||
        args.Unknown({"--type", "--append", "--replace", "--label", "--json", "--list-types"}) ||
        (args.Has("--append") && args.Has("--replace"))) {
        return ImportUsage();
    }
    if (args.Has("--list-types")) {
        return args.Positional().empty() ? ListTypes() : ImportUsage();
    }
    if (args.Positional().size() != 2) {
        return ImportUsage();
    }
    const std::string& source = args.Positional()[0];
    const std::string& destination = args.Positional()[1];
    const SettingsStore store;
    const DatabaseJournalLookup journals = UserJournalDatabase();
    vorodud::ImportSettings settings;
    settings.errorDumpFile = SpecificFile(store, SpecificFileKind::ErrorDump);
    // A dumps folder stored blank stands for the default one.
    settings.dumpDirectory = TrimBlanks(DefaultDirectory(store, DefaultDirectoryKind::Dumps));
    if (settings.dumpDirectory.empty()) {
        settings.dumpDirectory = DefaultDirectoryFallback(DefaultDirectoryKind::Dumps);
    }
    settings.journalDisplayForm = store.ReadInt(Setting::DefaultDisplayForm);
    settings.journals = journals.Usable() ? &journals : nullptr;
    Vorodud driver(settings);
    int type = 0;
    if (const auto name = args.Value("--type")) {
        type = driver.TypeByKey(*name);
        if (type == 0) {
            return Fail(Msg(msg::CliImport::UnknownSourceType, Utf8ToCp1252(*name)));
        }
    } else {
        if (::access(source.c_str(), R_OK) != 0) {
            return Fail(Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(source)));
        }
        if (!FileSystem::Default().Stat(source).isRegular) {
            return Fail(Msg(msg::Citavox::SourceNotRegular, DisplayPath(source)));
        }
        type = driver.DetectType(source);
        if (type == 0) {
            return Fail(Msg(msg::CliImport::SourceNotRecognised, DisplayPath(source)));
        }
    }
    if (!driver.Initialise(type)) {
        std::string text;
        const ResultCode code = driver.LastResult(text);
        return Fail(Msg(MsgId{MsgList::VorOdud, static_cast<int>(code)}, DisplayPath(text)));
    }
    if (const auto label = args.Value("--label")) {
        lexmill_SetCommonLabel(Utf8ToAnsi(*label).c_str());
    }

    const DestinationMode mode = args.Has("--append")    ? DestinationMode::Append
                                 : args.Has("--replace") ? DestinationMode::Replace
                                                         : DestinationMode::New;
    if (mode == DestinationMode::New && FileSystem::Default().Stat(destination).exists) {
        Fail(Msg(msg::Citavox::DestinationExists, DisplayPath(destination)));
        return Fail(Message(msg::CliImport::UseAppendOrReplace));
    }
    // The command reports the outcome itself.
    TerminalProgress progress(TerminalProgress::Statuses::Hidden);
    auto thread = driver.StartConversion(type, source, destination, mode, progress, nullptr);
    thread->Resume();
    thread->Wait();

    std::string text;
    const ResultCode code = driver.LastResult(text);
    const vorodud::Counters counters = driver.LastCounters();
    if (const std::string message = driver.LastMessage();
        !message.empty() && counters.written == 0) {
        return Fail(message);
    }
    switch (code) {
    case ResultCode::Done:
        break;
    case ResultCode::SourceNotAccessible:
        return Fail(Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(text)));
    case ResultCode::WriteError:
        if (counters.written == 0 && counters.dumped == 0) {
            return Fail(Msg(msg::VorodudTexts::DestinationUnwritable, DisplayPath(text)));
        }
        Fail(Msg(msg::VorodudTexts::WriteFailed, DisplayPath(text)));
        break;
    default:
        return Fail(Msg(MsgId{MsgList::VorOdud, static_cast<int>(code)}, DisplayPath(text)));
    }

    const std::string dumpFile = vorodud::ErrorDumpFile(settings);
    if (args.Has("--json")) {
        std::cout << "{\"type\": " << JsonString(driver.TypeKey(type)) << ", "
                  << JsonCount("written", counters.written) << ", "
                  << JsonCount("incomplete", counters.incomplete) << ", "
                  << JsonCount("questioned", counters.questioned) << ", "
                  << JsonCount("dumped", counters.dumped) << ", \"dump_file\": "
                  << (counters.dumped > 0 ? JsonString(DisplayPath(dumpFile)) : "null") << "}\n";
    } else {
        PrintLine(Msg(msg::VorodudTexts::Written, std::to_string(counters.written)));
        PrintLine(Msg(msg::VorodudTexts::Incomplete, std::to_string(counters.incomplete)));
        PrintLine(Msg(msg::VorodudTexts::Questioned, std::to_string(counters.questioned)));
        PrintLine(Msg(msg::VorodudTexts::Dumped, std::to_string(counters.dumped)));
        if (counters.dumped > 0) {
            PrintLine(Msg(msg::CliImport::DumpFile, DisplayPath(dumpFile)));
        }
    }
    if (driver.LastDumpFileFailed()) {
        Fail(Msg(msg::VorodudTexts::DumpUnwritable, DisplayPath(dumpFile)));
    }
    if (code != ResultCode::Done) {
        return kFailure;
    }
    if (counters.written == 0 && counters.dumped == 0) {
        return Fail(Msg(msg::VorodudTexts::NothingFound, DisplayPath(source)));
    }
    if (counters.written == 0) {
        return Fail(Msg(msg::CliImport::NothingWritten, DisplayPath(destination)));
    }
    return kSuccess;
}

int RunDetect(const Args& args) {
    if (args.Positional().size() != 1 || !args.Complete() || args.Unknown({})) {
        Fail(Msg(msg::Cli::WrongArguments, Msg(msg::CliImport::UsageDetect)));
        return kUsageError;
    }
    const std::string& source = args.Positional()[0];
    if (::access(source.c_str(), R_OK) != 0) {
        return Fail(Msg(msg::VorodudTexts::SourceUnreadable, DisplayPath(source)));
    }
    if (!FileSystem::Default().Stat(source).isRegular) {
        return Fail(Msg(msg::Citavox::SourceNotRegular, DisplayPath(source)));
    }
    const Vorodud driver;
    const int type = driver.DetectType(source);
    if (type == 0) {
        return Fail(Msg(msg::CliImport::SourceNotRecognised, DisplayPath(source)));
    }
    PrintLine(driver.TypeKey(type));
    return kSuccess;
}

} // namespace cvx::cli
