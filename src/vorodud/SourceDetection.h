#pragma once
// Detection of a source file's type from its content: the tag shapes and record marks of each
// format in the file's first 64 KB (after decoding Unicode text). A file that looks like none,
// or like a known look-alike (such as a tab-delimited export with tag names in its header row),
// is of no type (0).

#include <string>
#include <string_view>

namespace cvx::vorodud {

int DetectSourceType(const std::string& path);
// The file's first bytes that detection reads (64 KB); empty when it cannot be read.
std::string ReadSourceHead(const std::string& path);
// The same for text already read (the file's first bytes as they are).
int DetectSourceTypeOfText(std::string_view head);

} // namespace cvx::vorodud
