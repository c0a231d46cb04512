#pragma once
// Safe whole-file rewrites. The new text is written beside the old one into a temporary file of
// its own ("<name>.<random>.$$$", created exclusively) and forced to the disk; then the old text
// becomes "bak" and the new one takes the file's name by a rename. At every instant the file's
// name holds either the complete old text or the complete new one, and no failure leaves the name
// without a file or a temporary file behind.

#include "storage/FileSystem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace cvx {

class WriteLock;

inline constexpr std::string_view kTemporaryExt = "$$$";
inline constexpr std::string_view kBackupExt = "bak";

// Writes the new content of `path` (a regular file, resolved from links) with `produce` and puts
// it in place as described above, with the permissions of the old file (a `path` that does not
// exist yet is simply created). When `produce` fails or aborts, `path` is left as it was. `lock`,
// when given, holds `path`: the new file is put under it before it takes the name, and temporaries
// that earlier writers left behind are removed.
Outcome RewriteFile(FileSystem& fs, const std::string& path,
                    const std::function<Outcome(WritableFile& out)>& produce,
                    WriteLock* lock = nullptr);

// Puts a finished temporary file (forced to the disk) in the place of `path` as RewriteFile does:
// the old text is kept as "bak", the temporary takes the name. `lock`, when given, holds `path` and
// is extended to the temporary first. The temporary is removed when this fails.
Outcome CommitTemporary(FileSystem& fs, const std::string& path, const std::string& temporary,
                        WriteLock* lock);

// Removes the temporaries of `path` ("<path>.<random>.$$$") except `own`: those that writers which
// died left behind. Only a writer that holds `path` may, as no other writer of it is at work then.
void RemoveLeftTemporaries(FileSystem& fs, const std::string& path, const std::string& own);

// Writes a new file with `produce` (created exclusively: never over a file or a link of the name),
// forces it to the disk and closes it. On failure the file may be left partial: the caller removes
// it.
Outcome WriteWholeFile(FileSystem& fs, const std::string& path,
                       const std::function<Outcome(WritableFile& out)>& produce);

// Writes an output file (a list, an export, a companion) with `produce`: completely under its name
// or not at all. It is written beside its name into a temporary of its own, checked to hold every
// byte `produce` appended, and then takes the name, replacing a file of that name (no backup is
// kept). When `produce` fails or aborts, nothing is left behind and an old file of the name stays.
// A file that can always be made again (a map) need not wait for the disk: `durable` false.
Outcome WriteOutputFile(FileSystem& fs, const std::string& path,
                        const std::function<Outcome(WritableFile& out)>& produce,
                        bool durable = true);

// Copies `length` bytes from `offset` of the source to the output.
Outcome CopyRange(ReadableFile& source, std::uint64_t offset, std::uint64_t length,
                  WritableFile& out);

// Replaces `oldLength` bytes at `position` by `newBytes`, through RewriteFile.
Outcome ReplaceFileRegion(FileSystem& fs, const std::string& path, std::uint64_t position,
                          std::string_view newBytes, std::uint64_t oldLength,
                          WriteLock* lock = nullptr);

// Writes a small file (a companion, an output) whole through WriteOutputFile.
Outcome WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view content,
                            bool durable = true);

} // namespace cvx
