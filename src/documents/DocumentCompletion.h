#pragma once
// Completing a manuscript: pass 1 finds its pseudo-citations, the cited references are read,
// numbered and ordered as the format prescribes, and pass 2 writes a new document in which every
// group of pseudo-citations is replaced by its citation group and the reference-list marker by
// the reference list. The manuscript itself is never written: the result goes to the "_OUT" name
// beside it, through a temporary file that takes that name only when the whole document is
// written.

#include "documents/CitedReferences.h"
#include "documents/DocumentLibrary.h"
#include "formats/FormatDesc.h"
#include "formats/Renderer.h"
#include "storage/FileSystem.h"
#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cvx {

class Progress;

struct CompletionRequest {
    std::string manuscript;               // the path of the manuscript (UTF-8)
    int documentFormat = kWordAutomation; // a library index, kLatexDocument or kWordAutomation
    std::string documentFormatName;       // as the user chose it, for messages
    const TDocumentLibrary* library = nullptr;
    const TFormatDesc* format = nullptr; // the output format
    RenderOptions render;                // journal database and clipboard settings
    Progress* progress = nullptr;
    FileSystem* fs = nullptr; // null: the real disk
};

// What the document page shows after a completion. Texts are code page 1252.
struct CompletionReport {
    std::string outputName; // UTF-8
    std::uint64_t outputSize = 0;
    int citations = 0;       // pseudo-citations found
    int groups = 0;          // citation groups
    int uniqueCitations = 0; // distinct references cited
    bool referenceListMade = false;
    int wrongFormat = 0; // references that could not be rendered
    int lackingEnd = 0;  // "{{" without "}}"
    bool aliasUsed = false;
    std::vector<UsedReferenceFile> files;
    std::vector<std::string> warnings; // each with the line of the manuscript it concerns
};

// The manuscript a name given by the user stands for: a name with a folder, or one found in the
// current folder, is taken as it is; a bare name that is not there is looked for in the document
// directory of the settings. A name found nowhere is returned as given, for the message that
// names it.
std::string ManuscriptPath(const std::string& name, const std::string& documentDirectory,
                           FileSystem& fs = FileSystem::Default());

// Completes the manuscript. The Word entries of the document formats (kWordAutomation) read and
// write the document itself: .docx and .odt directly, a binary .doc through LibreOffice. A
// failure's message is the one the user is shown (the catalogue's
// text for the failure, with the line of the pseudo-citation at fault where there is one); nothing
// is then written.
Outcome CompleteDocument(const CompletionRequest& request, CompletionReport& report);

// The document format a manuscript is completed as when the user names none, by its extension:
// "Rich Text Format (RTF)" for ".rtf", "LaTex" for ".tex", "Microsoft Word 97" for the
// word-processor documents (".docx", ".docm", ".odt", ".doc"), "WordPerfect 5.1/5.2" or
// "WordPerfect 6.0/6.1" for ".wpd", ".wp5" and ".wp6" (by the generation the file's header names;
// without one, ".wp5" is 5 and the others 6), "Text (ANSI)" for any other.
std::string DefaultDocumentFormat(const std::string& manuscript,
                                  FileSystem& fs = FileSystem::Default());

// What a completion takes from the settings.
struct CompletionOptions {
    std::string documentDefinitions; // the document-definition library in use
    std::string documentDirectory;   // where a manuscript named without a folder is looked for
    RenderOptions render;            // journal database and clipboard settings
};

// A completion as the user asks for it.
struct ManuscriptJob {
    std::string manuscript; // the manuscript as the user names it (UTF-8; ManuscriptPath)
    // The output format: a format file, or a style of the shipped library by its name.
    std::string formatFile;
    // The document format's name as the user chose it (UTF-8); empty: DefaultDocumentFormat.
    std::string documentFormat;
};

// Loads the output format and the document-definition library, then completes the manuscript.
// A LaTeX manuscript needs no library, so only the other formats stop when it cannot be loaded.
Outcome CompleteManuscript(const ManuscriptJob& job, const CompletionOptions& options,
                           Progress& progress, CompletionReport& report);

} // namespace cvx
