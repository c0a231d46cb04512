#pragma once
// Where the data that ships with the program lies: the journal-name database, the
// document-definition library, the style library, help and translations. It is all in one data
// folder, <prefix>/share/citavox beside the programs' <prefix>/bin, found from the running
// executable. The build tree has the same shape (build/bin, build/share/citavox), so a program
// run from the build finds the build's data the same way, and no path of the build is compiled
// into a program.

#include <string>
#include <string_view>

namespace cvx {

// The names of the shipped files inside the data folder.
inline constexpr std::string_view kShippedJournalDatabase = "journals.dat";
inline constexpr std::string_view kShippedDocumentLibrary = "docdefs.dat";
inline constexpr std::string_view kShippedStyleFolder = "formats"; // the style library's .for files

// The environment variable that names another data folder (for tests and relocated data).
inline constexpr const char* kDataDirectoryVariable = "CITAVOX_DATA_DIR";

// The data folder: $CITAVOX_DATA_DIR when it is set and not empty, otherwise the data folder
// beside the folder of the running executable. Empty when the executable cannot be found.
std::string ShippedDataDirectory();

// A file of the data folder by its name there ("journals.dat", "formats/apa.for"), whether or not
// it exists, so that a message can name the file that is missing.
std::string ShippedFile(std::string_view name);

} // namespace cvx
