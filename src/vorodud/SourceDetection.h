#pragma once
// Detection of a source file's type from its content: the tag shapes and record marks of each
// format in the file's first 64 KB (after decoding Unicode text). A file that looks like none,
// or like a known look-alike (such as a tab-delimited export with tag names in its header row),
// is of no type (0).

#include <string>
#include <string_view>

namespace cvx::vorodud {

// True when the source can be opened for reading and is no folder.
bool SourceReadable(const std::string& path);
// True when the source is a regular file. A pipe or a device would keep the reader waiting, or
// reading, for ever, and a download is read more than once (detection, the procedure's look
// ahead, the run).
bool SourceRegular(const std::string& path);

int DetectSourceType(const std::string& path);
// The file's first bytes that detection reads (64 KB); empty when it cannot be read.
std::string ReadSourceHead(const std::string& path);
// The same for text already read (the file's first bytes as they are).
int DetectSourceTypeOfText(std::string_view head);

} // namespace cvx::vorodud
