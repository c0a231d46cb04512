#pragma once
// The command string of the desktop program: what its command line, another instance, a recent
// file entry or a file group hands to the main window to open. It names a reference file and
// perhaps a reference in it ("refs.ref <#12#>"), or comes from another program ("... <#-1#>").

#include <string>
#include <string_view>
#include <vector>

namespace cvx {

struct CommandRequest {
    enum class Kind {
        Nothing,           // nothing to do
        OpenFile,          // show `file` at reference `position`
        ToolsListPage,     // the tools window on its list page
        ToolsDocumentPage, // the tools window on its document page, for `document`
    };
    Kind kind = Kind::Nothing;
    std::string file;     // trimmed, as given (UTF-8)
    int position = 0;     // the requested reference, 0-based (the string counts from 1)
    std::string document; // ToolsDocumentPage: the manuscript's name, may be empty
};

// The command line of a start: every argument preceded by one blank, then trimmed.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

CommandRequest ParseCommandString(std::string_view command);

// The file name a command string enters in the recent-files list: without its reference request,
// without the program name another program put before it.
std::string RecentEntryName(std::string_view command);

// True when a command string names a format file (".for"), which opens the format editor rather
// than a reference window.
bool NamesFormatFile(std::string_view command);
// True when a command string names a reference file (".ref").
bool NamesReferenceFile(std::string_view command);

} // namespace cvx
