#include "shell/CommandString.h"

#include "text/FileNames.h"
#include "text/StringPrimitives.h"

#include <algorithm>
#include <optional>

namespace cvx {

namespace {

constexpr std::string_view kFromProgram = "<#-1#>";
constexpr std::string_view kOwnProgram = "CITAVOX.EXE";

// Program names are compared upper-cased in ASCII; the string itself keeps its case, and bytes of
// UTF-8 names stay as they are.
std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return upper;
}

// A valid decimal number n stands for position n - 1; anything else, and a negative result, for 0.
int PositionOf(std::string_view number) {
    const std::string trimmed = TrimBlanks(number);
    const std::optional<int> n = trimmed.empty() ? std::nullopt : ParseInt(trimmed, true);
    return n && *n > 1 ? *n - 1 : 0;
}

CommandRequest OpenFile(std::string_view file, int position) {
    CommandRequest r;
    r.file = TrimBlanks(file);
    r.kind = r.file.empty() ? CommandRequest::Kind::Nothing : CommandRequest::Kind::OpenFile;
    r.position = position;
    return r;
}

// The text before "<#-1#>": another program asks for one of its pages, or for a reference file
// with the reference number at its end ("CITAVOX.EXE c:\refs\a.ref 12").
CommandRequest FromProgram(std::string_view text) {
    const std::string upper = UpperAscii(text);
    CommandRequest r;
    if (upper.find("ZEROREV.EXE") != std::string::npos) {
        r.kind = CommandRequest::Kind::ToolsListPage;
        return r;
    }
    if (const std::size_t at = upper.find("ZOZIZO.EXE"); at != std::string::npos) {
        r.kind = CommandRequest::Kind::ToolsDocumentPage;
        r.document = TrimBlanks(text.substr(at + std::string_view("ZOZIZO.EXE").size()));
        return r;
    }
    if (upper == kOwnProgram) {
        return r;
    }
    const std::size_t own = upper.find(kOwnProgram);
    if (own == std::string::npos) {
        return OpenFile(text, 0);
    }
    const std::string rest = TrimBlanks(text.substr(own + kOwnProgram.size()));
    std::size_t digits = rest.size();
    while (digits > 0 && IsDigit(rest[digits - 1])) {
        --digits;
    }
    const std::size_t blank = rest.find_last_of(' ', digits == 0 ? 0 : digits - 1);
    const std::string number = rest.substr(digits);
    const std::string file =
        number.empty() ? rest : rest.substr(0, blank == std::string::npos ? 0 : blank);
    return OpenFile(file, PositionOf(number));
}

} // namespace

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) {
        line += " " + a;
    }
    return TrimBlanks(line);
}

CommandRequest ParseCommandString(std::string_view command) {
    if (const std::size_t from = command.find(kFromProgram); from != std::string_view::npos) {
        return FromProgram(TrimView(command.substr(0, from)));
    }
    const std::size_t open = command.find("<#");
    const std::size_t close = open == std::string_view::npos ? open : command.find("#>", open + 2);
    if (close == std::string_view::npos) {
        return OpenFile(command, 0);
    }
    return OpenFile(command.substr(0, open),
                    PositionOf(command.substr(open + 2, close - open - 2)));
}

std::string RecentEntryName(std::string_view command) {
    std::string name(command);
    if (const std::size_t open = name.find("<#");
        open != std::string::npos && name.find("#>", open + 2) != std::string::npos) {
        name.erase(open);
    }
    if (UpperAscii(name.substr(0, kOwnProgram.size())) == kOwnProgram) {
        name = TrimBlanks(std::string_view(name).substr(kOwnProgram.size()));
        const std::size_t blank = name.find_last_of(' ');
        name.erase(blank == std::string::npos ? 0 : blank);
    }
    return TrimBlanks(name);
}

bool NamesFormatFile(std::string_view command) {
    return UpperAscii(ExtOf(TrimView(command))) == "FOR";
}

bool NamesReferenceFile(std::string_view command) {
    return UpperAscii(ExtOf(TrimView(command))) == "REF";
}

} // namespace cvx
