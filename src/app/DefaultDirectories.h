#pragma once
// The five default directories and the named files of the program ("Specific files").
// Names are UTF-8, as the system gives them.

#include "app/SettingsStore.h"

#include <string>
#include <string_view>

namespace cvx {

inline constexpr int kDefaultDirectoryCount = 5;
inline constexpr std::string_view kDefaultDirectoriesPath = "Default directories";

// 0 "RefDir" (reference files), 1 "ExecDir" (the program's files), 2 "ForDir" (format files),
// 3 "ListDir" (lists and documents), 4 "DumpDir" (downloads to import); empty outside 0..4.
std::string_view DefaultDirectoryName(int index);

// The directory used while none is stored: a folder under the user's documents directory
// (Citavox/refs, Citavox/exec, Citavox/for, Citavox/lists, Citavox/dumps).
std::string DefaultDirectoryFallback(int index);

// The stored directory, the fallback when none is stored; a value stored empty reads as " ".
// Empty outside 0..4.
std::string DefaultDirectory(const SettingsStore& store, int index);
// An empty name is not stored.
Outcome SetDefaultDirectory(SettingsStore& store, int index, std::string_view name);

inline constexpr int kSpecificFileCount = 5;
inline constexpr std::string_view kSpecificFilesPath = "Specific files";

// 0 "JournalDatabase", 1 "Error journal file", 2 "Error dump file",
// 3 "Text document definitions", 4 "Main help file"; empty outside 0..4.
std::string_view SpecificFileName(int index);
// The stored name, empty when none is stored.
std::string SpecificFile(const SettingsStore& store, int index);
// An empty name is not stored.
Outcome SetSpecificFile(SettingsStore& store, int index, std::string_view name);

// The name of the file the program ships for a specific file (journal database, document
// definitions, and the help file of the current interface language), empty for the others.
std::string ShippedFileName(int index);
// The file to use: the stored name, or, when none is stored, the shipped file in
// `shippedDirectory` (the program's data folder, ShippedDataDirectory()).
std::string SpecificFileInUse(const SettingsStore& store, int index,
                              std::string_view shippedDirectory);

} // namespace cvx
