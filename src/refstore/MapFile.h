#pragma once
// The map file beside a reference text: a map file is used only when it fits the text, and
// otherwise the map is built from the text and saved for the next opening.

#include "refstore/ReferenceMap.h"
#include "text/Outcome.h"

#include <string>
#include <vector>

namespace cvx {

class FileSystem;
class Progress;
class ReadableFile;
struct TextStamp;

// Makes `entries` the current map of the open text `text` (of the version `stamp`): from its map
// file when that fits, else built (and saved when the folder allows); `rebuild` always builds.
Outcome LoadOrBuildMap(FileSystem& fs, const std::string& fileName, ReadableFile& text,
                       const TextStamp& stamp, Progress* progress, bool rebuild,
                       std::vector<MapEntry>& entries);

} // namespace cvx
