#pragma once
// The map file beside a reference text: a map file is used only when its stamp vouches that it was
// made from this very version of the text and it fits the text; otherwise the map is built from
// the text and saved for the next opening, by whoever may write the file's companions then.

#include "refstore/ReferenceMap.h"
#include "text/Outcome.h"

#include <string>
#include <vector>

namespace cvx {

class FileSystem;
class Progress;
class ReadableFile;
class WriteLock;
struct TextStamp;

// Makes `entries` the current map of the open text `text` (of the version `stamp`, whose name,
// resolved from links, is `path`; `shown` is the name for messages): from its map file when that
// is vouched for and fits, else built; `rebuild` always builds. A built map is saved with its
// stamp when the caller holds the file (`held`) or nobody does, and the name still stands for that
// version; otherwise (another writer at work, a folder we may not write) it lives in memory only.
Outcome LoadOrBuildMap(FileSystem& fs, const std::string& path, const std::string& shown,
                       ReadableFile& text, const TextStamp& stamp, Progress* progress, bool rebuild,
                       const WriteLock* held, std::vector<MapEntry>& entries);

} // namespace cvx
