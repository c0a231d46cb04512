// citavox-cli: the command-line front end of Citavox's engines.

#include "cli/CatalogueCommands.h"
#include "cli/CliSupport.h"
#include "cli/DocumentCommands.h"
#include "cli/FormatCommands.h"
#include "cli/ImportCommands.h"
#include "cli/JournalCommands.h"
#include "cli/RefCommands.h"
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
    int usageEntry; // its line in the catalogue's command-line list
    cvx::MsgList usageList = cvx::MsgList::Cli;
};

const std::array kCommands = {
    Command{"list", cvx::cli::RunList, {"--order"}, 1},
    Command{"show", cvx::cli::RunShow, {}, 2},
    Command{"tag", cvx::cli::RunTag, {}, 3},
    Command{"delete", cvx::cli::RunDelete, {}, 4},
    Command{"delete-tagged", cvx::cli::RunDeleteTagged, {}, 5},
    Command{"compress", cvx::cli::RunCompress, {}, 6},
    Command{"append", cvx::cli::RunAppend, {"--current"}, 7},
    Command{"reprint", cvx::cli::RunReprint, {"--current"}, 8},
    Command{"fix-line-ends", cvx::cli::RunFixLineEnds, {}, 9},
    Command{"message", cvx::cli::RunMessage, {}, 19},
    Command{"settings", cvx::cli::RunSettings, {}, 20},
    Command{"format", cvx::cli::RunFormat, {}, 0, cvx::MsgList::CliFormat},
    Command{"render", cvx::cli::RunRender, {"--format", "--as"}, 1, cvx::MsgList::CliFormat},
    Command{"label", cvx::cli::RunLabel, {}, 2, cvx::MsgList::CliFormat},
    Command{"journal", cvx::cli::RunJournal, {"--form", "--database"}, 24},
    Command{"complete",
            cvx::cli::RunComplete,
            {"--format", "--document-format"},
            0,
            cvx::MsgList::CliDocuments},
    Command{"cite", cvx::cli::RunCite, {"--option"}, 1, cvx::MsgList::CliDocuments},
    Command{"collate", cvx::cli::RunCollate, {}, 2, cvx::MsgList::CliDocuments},
    Command{"import", cvx::cli::RunImport, {"--type", "--label"}, 0, cvx::MsgList::CliImport},
    Command{"detect", cvx::cli::RunDetect, {}, 1, cvx::MsgList::CliImport},
};

int PrintUsage(bool toError) {
    std::string text = cvx::Msg(cvx::MsgList::Cli, 0);
    for (const Command& c : kCommands) {
        text += "\r" + cvx::Msg(c.usageList, c.usageEntry);
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
            return c.run(Args(std::vector<std::string>(argv + 2, argv + argc), c.valuedOptions));
        }
    }
    cvx::cli::Fail(cvx::Msg(cvx::MsgList::Cli, 10, cvx::Utf8ToCp1252(verb)));
    return PrintUsage(true);
}
