#pragma once
// Format files (".for"): loading, saving and finding them in a format directory.

#include "formats/FormatDesc.h"
#include "storage/FileSystem.h"

#include <string>
#include <vector>

namespace cvx {

inline constexpr int kFormatLoaded = 0;
inline constexpr int kNotFormatFile = 2;

// Resets the format, then reads the file: kFormatLoaded, or kNotFormatFile (defaults kept) when
// the file is shorter than a record or lacks the magic words. A file that cannot be opened also
// gives kFormatLoaded with the defaults; FileName() then stays empty, which is how callers tell
// "not found" apart from a loaded file.
int LoadFormat(TFormatDesc& desc, const std::string& path, FileSystem& fs = FileSystem::Default());

// Writes the record (through a temporary file and a rename); false when that failed. The
// record in memory is never changed.
bool SaveFormat(const TFormatDesc& desc, const std::string& path,
                FileSystem& fs = FileSystem::Default());
// As SaveFormat, with the reason of a failure.
Outcome WriteFormatFile(const FormatRecord& record, const std::string& path,
                        FileSystem& fs = FileSystem::Default());

// The file opens, holds at least 2375 bytes and both magic words.
bool IsFormatFile(const std::string& path, FileSystem& fs = FileSystem::Default());

// The format file a name given by the user stands for: the name itself when that file exists or
// the name has a folder part; otherwise the style of that name in the style library the program
// ships ("apa" or "apa.for"), when the library has it; otherwise the name.
std::string FindFormatFile(const std::string& name, FileSystem& fs = FileSystem::Default());

// Loads the format file a user names (FindFormatFile). A missing file is refused rather than read
// as the defaults, and so is a file that is no format file.
Outcome LoadFormatFile(TFormatDesc& desc, const std::string& name,
                       FileSystem& fs = FileSystem::Default());

// Compiles a readable description (StyleText.h) into a format file; a failure names the
// description and, for a mistake in it, the line.
Outcome CompileFormatFile(const std::string& description, const std::string& target,
                          FileSystem& fs = FileSystem::Default());

// The names (before their first ".") of the format files in `dir`, in directory order.
void ListFormatFiles(const std::string& dir, std::vector<std::string>& list,
                     FileSystem& fs = FileSystem::Default());

} // namespace cvx
