#pragma once
// Safe whole-file rewrites. The new text is written beside the old one as "$$$" and forced to the
// disk; then the old text becomes "bak" and the new one takes the file's name by a rename. At
// every instant the file's name holds either the complete old text or the complete new one.

#include "storage/FileSystem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace cvx {

inline constexpr std::string_view kTemporaryExt = "$$$";
inline constexpr std::string_view kBackupExt = "bak";

// Writes the new content of `path` with `produce` and puts it in place as described above (a
// `path` that does not exist yet is simply created). When `produce` fails or aborts, the
// temporary file is removed and `path` is left as it was.
Outcome RewriteFile(FileSystem& fs, const std::string& path,
                    const std::function<Outcome(WritableFile& out)>& produce);

// Writes a new file (truncating one of the name) with `produce`, forces it to the disk and closes
// it. On failure the file may be left partial: the caller removes it.
Outcome WriteWholeFile(FileSystem& fs, const std::string& path,
                       const std::function<Outcome(WritableFile& out)>& produce);

// Writes an output file (a list, an export) with `produce`: completely under its name or not at
// all. It is written beside its name, forced to the disk, checked to hold every byte `produce`
// appended, and then takes the name, replacing a file of that name (no backup is kept). When
// `produce` fails or aborts, nothing is left behind and an old file of the name stays.
Outcome WriteOutputFile(FileSystem& fs, const std::string& path,
                        const std::function<Outcome(WritableFile& out)>& produce);

// Copies `length` bytes from `offset` of the source to the output.
Outcome CopyRange(ReadableFile& source, std::uint64_t offset, std::uint64_t length,
                  WritableFile& out);

// Replaces `oldLength` bytes at `position` by `newBytes`, through RewriteFile.
Outcome ReplaceFileRegion(FileSystem& fs, const std::string& path, std::uint64_t position,
                          std::string_view newBytes, std::uint64_t oldLength);

// Writes a small file (a companion) completely under its name, or not at all.
Outcome WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view content);

} // namespace cvx
