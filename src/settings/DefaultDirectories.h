#pragma once
// The five default directories and the named files of the program ("Specific files").
// Names are UTF-8, as the system gives them.

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>

namespace cvx {

// The default directories, in the order of their settings: "RefDir" (reference files), "ExecDir"
// (the program's files), "ForDir" (format files), "ListDir" (lists and documents) and "DumpDir"
// (downloads to import).
enum class DefaultDirectoryKind : int {
    References = 0,
    Program = 1,
    Formats = 2,
    Lists = 3,
    Dumps = 4,
};
inline constexpr int kDefaultDirectoryCount = 5;
inline constexpr std::string_view kDefaultDirectoriesPath = "Default directories";

// The setting's name; empty for a value that names no directory (one read from data).
std::string_view DefaultDirectoryName(DefaultDirectoryKind kind);

// The directory used while none is stored: a folder under the user's documents directory
// (Citavox/refs, Citavox/exec, Citavox/for, Citavox/lists, Citavox/dumps).
std::string DefaultDirectoryFallback(DefaultDirectoryKind kind);

// The stored directory, the fallback when none is stored; a value stored empty reads as " ".
// Empty for a value that names no directory.
std::string DefaultDirectory(const SettingsStore& store, DefaultDirectoryKind kind);
// An empty name is not stored.
Outcome SetDefaultDirectory(SettingsStore& store, DefaultDirectoryKind kind, std::string_view name);

// The named files of the program ("Specific files"), in the order of their settings:
// "JournalDatabase", "Error journal file", "Error dump file", "Text document definitions" and
// "Main help file".
enum class SpecificFileKind : int {
    JournalDatabase = 0,
    ErrorJournal = 1,
    ErrorDump = 2,
    TextDocumentDefinitions = 3,
    MainHelp = 4,
};
inline constexpr int kSpecificFileCount = 5;
inline constexpr std::string_view kSpecificFilesPath = "Specific files";

// The setting's name; empty for a value that names no specific file.
std::string_view SpecificFileName(SpecificFileKind kind);
// The stored name, empty when none is stored.
std::string SpecificFile(const SettingsStore& store, SpecificFileKind kind);
// An empty name is not stored.
Outcome SetSpecificFile(SettingsStore& store, SpecificFileKind kind, std::string_view name);

// The name of the file the program ships for a specific file (journal database, document
// definitions, and the help file of the current interface language), empty for the others.
std::string ShippedFileName(SpecificFileKind kind);
// The file to use: the stored name, or, when none is stored, the shipped file in
// `shippedDirectory` (the program's data folder, ShippedDataDirectory()).
std::string SpecificFileInUse(const SettingsStore& store, SpecificFileKind kind,
                              std::string_view shippedDirectory);

} // namespace cvx
