#pragma once
// The writers of reference lists: one per kind of output, each turning the entries of a list
// (marked-up text) into its file. The list engine (ReferenceList.h) sorts, numbers and renders;
// a writer only lays out.

#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cvx {

// The kinds of list output.
enum class ListOutput { Text = 0, Rtf = 1, Latex = 2, Docx = 3, Odt = 4 };

// The kind of output a user names ("text", "rtf", "latex", "docx", "odt"); nullopt for another
// name.
std::optional<ListOutput> ListOutputByName(std::string_view name);

// One entry of a list, as marked-up text (code page 1252 with markup codes).
struct ListEntry {
    std::string label; // the number label with its separator ("1. ", "[1]#T"); empty unnumbered
    std::string text;  // the rendered reference
    // Its abstract/comment part, trimmed, its line breaks as "#L"; empty when not listed.
    std::string abstractPart;
};

class ListWriter {
public:
    virtual ~ListWriter() = default;
    // What stands before the first entry (a document header).
    virtual Outcome Begin(WritableFile& out) = 0;
    virtual Outcome Write(WritableFile& out, const ListEntry& entry) = 0;
    // What ends the document.
    virtual Outcome End(WritableFile& out) = 0;
};

std::unique_ptr<ListWriter> MakeListWriter(ListOutput kind);

} // namespace cvx
