#pragma once
// The companion files of a reference file (map, tag, order, index, key files) and small file
// tests. Companions are written with lower-case extensions and found whatever their case.

#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cvx {

class FileSystem;

inline constexpr std::string_view kMapExt = "map";
inline constexpr std::string_view kTagExt = "smp";
inline constexpr std::string_view kOrderExt = "srt";
inline constexpr std::string_view kIndexExt = "idx";
inline constexpr std::string_view kKeyExt = "yvp";
inline constexpr std::string_view kStampExt = "stp";

// Refuses to take `path` as a reference file when its extension (in any case) is that of a
// companion, a backup or a temporary text: writing it as a reference file would destroy it, and
// its own companions would be those of another reference file.
Outcome CheckReferenceFileName(const std::string& path);

// The message for a reference text that could not be created or rewritten: what failed, in the
// words of `cause` (a full disk, a denied permission, a read-only disk...), or, only when it gave
// none, the catalogue's guess at the cause.
std::string ReferenceFileNotCreated(const Outcome& cause);

// The name under which the companion exists (any case of the extension), or the lower-case
// name it is written under when it does not exist.
std::string CompanionPath(FileSystem& fs, const std::string& referenceFile, std::string_view ext);

// Deletes the map, tag, order and stamp files of a reference file, in every case spelling.
void RemoveCompanions(FileSystem& fs, const std::string& referenceFile);

// The size of the reference text plus its map, order, key, tag, index and stamp files.
std::uint64_t TotalSize(FileSystem& fs, const std::string& referenceFile);

bool FileIsEmpty(FileSystem& fs, const std::string& path); // fewer than 3 bytes
// The companion is missing, empty or older than the main file.
bool CompanionOutdated(FileSystem& fs, const std::string& mainFile, const std::string& companion);
// A file of this name can be created (the test creates it and removes it again if it was new).
bool CanCreateFile(FileSystem& fs, const std::string& path);
// The directory exists, the name part is not empty, and the file is missing or not read-only.
bool FileWritable(FileSystem& fs, const std::string& path);

} // namespace cvx
