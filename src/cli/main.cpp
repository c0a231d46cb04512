// citavox-cli: the command-line front end of Citavox's engines.

#include "cli/CatalogueCommands.h"
#include "cli/CliSupport.h"
#include "cli/DocumentCommands.h"
#include "cli/FileToolCommands.h"
#include "cli/FormatCommands.h"
#include "cli/ImportCommands.h"
#include "cli/JournalCommands.h"
#include "cli/OutputCommands.h"
#include "cli/RefCommands.h"
#include "cli/SearchCommands.h"
#include "cli/SettingsCommands.h"
#include "settings/InterfaceLanguage.h"
#include "text/Cp1252.h"

#include <array>
#include <string_view>
#include <vector>

namespace {

using cvx::cli::Args;

struct Command {
    std::string_view name;
    int (*run)(const Args&);
    std::vector<std::string_view> valuedOptions;
    cvx::MsgId usage; // its usage line(s) in the catalogue
};

const std::array kCommands = {
    Command{"list", cvx::cli::RunList, {"--order"}, cvx::msg::Cli::UsageList},
    Command{"show", cvx::cli::RunShow, {}, cvx::msg::Cli::UsageShow},
    Command{"tag", cvx::cli::RunTag, {}, cvx::msg::Cli::UsageTag},
    Command{"delete", cvx::cli::RunDelete, {}, cvx::msg::Cli::UsageDelete},
    Command{"delete-tagged", cvx::cli::RunDeleteTagged, {}, cvx::msg::Cli::UsageDeleteTagged},
    Command{"compress", cvx::cli::RunCompress, {}, cvx::msg::Cli::UsageCompress},
    Command{"append", cvx::cli::RunAppend, {"--current"}, cvx::msg::Cli::UsageAppend},
    Command{"reprint", cvx::cli::RunReprint, {"--current"}, cvx::msg::Cli::UsageReprint},
    Command{"fix-line-ends", cvx::cli::RunFixLineEnds, {}, cvx::msg::Cli::UsageFixLineEnds},
    Command{"message", cvx::cli::RunMessage, {}, cvx::msg::Cli::UsageMessage},
    Command{"settings", cvx::cli::RunSettings, {}, cvx::msg::Cli::UsageSettings},
    Command{"format", cvx::cli::RunFormat, {}, cvx::msg::CliFormat::UsageFormat},
    Command{"render", cvx::cli::RunRender, {"--format", "--as"}, cvx::msg::CliFormat::UsageRender},
    Command{"label", cvx::cli::RunLabel, {}, cvx::msg::CliFormat::UsageLabel},
    Command{"journal", cvx::cli::RunJournal, {"--form", "--database"}, cvx::msg::Cli::UsageJournal},
    Command{"complete",
            cvx::cli::RunComplete,
            {"--format", "--document-format"},
            cvx::msg::CliDocuments::UsageComplete},
    Command{"cite", cvx::cli::RunCite, {"--option"}, cvx::msg::CliDocuments::UsageCite},
    Command{"collate", cvx::cli::RunCollate, {}, cvx::msg::CliDocuments::UsageCollate},
    Command{"import", cvx::cli::RunImport, {"--type", "--label"}, cvx::msg::CliImport::UsageImport},
    Command{"detect", cvx::cli::RunDetect, {}, cvx::msg::CliImport::UsageDetect},
    Command{"search", cvx::cli::RunSearch, {"--from"}, cvx::msg::CliSearch::UsageSearch},
    Command{"index", cvx::cli::RunIndex, {"--fields"}, cvx::msg::CliSearch::UsageIndex},
    Command{
        "index-state", cvx::cli::RunIndexState, {"--fields"}, cvx::msg::CliSearch::UsageIndexState},
    Command{
        "sort", cvx::cli::RunSort, {"--order", "--duplicates"}, cvx::msg::CliFileTools::UsageSort},
    Command{"compare", cvx::cli::RunCompare, {"--write"}, cvx::msg::CliFileTools::UsageCompare},
    Command{"check", cvx::cli::RunCheck, {"--scope"}, cvx::msg::CliFileTools::UsageCheck},
    Command{"order", cvx::cli::RunOrder, {}, cvx::msg::CliFileTools::UsageOrder},
    Command{"makelist",
            cvx::cli::RunMakelist,
            {"--as", "--format", "--order", "--current"},
            cvx::msg::CliFileTools::UsageMakelist},
    Command{"export", cvx::cli::RunExport, {"--as"}, cvx::msg::CliFileTools::UsageExport},
};

int PrintUsage(bool toError) {
    std::string text = cvx::Msg(cvx::msg::Cli::Usage);
    for (const Command& c : kCommands) {
        text += "\r" + cvx::Msg(c.usage);
    }
    if (toError) {
        cvx::cli::Fail(text);
        return cvx::cli::kUsageError;
    }
    cvx::cli::PrintLine(text);
    return cvx::cli::kSuccess;
}

} // namespace

int main(int argc, char** argv) {
    cvx::ApplyInterfaceLanguage(cvx::SettingsStore());
    if (argc < 2) {
        return PrintUsage(true);
    }
    const std::string_view verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        return PrintUsage(false);
    }
    for (const Command& c : kCommands) {
        if (c.name == verb) {
            const Args args(std::vector<std::string>(argv + 2, argv + argc), c.valuedOptions);
            if (args.Has("--help")) {
                cvx::cli::PrintLine(cvx::Msg(c.usage));
                return cvx::cli::kSuccess;
            }
            return c.run(args);
        }
    }
    cvx::cli::Fail(cvx::Msg(cvx::msg::Cli::UnknownCommand, cvx::Utf8ToCp1252(verb)));
    return PrintUsage(true);
}
