#pragma once
// The reference blocks the file tools write: a block as it was stored, and a block rewritten from
// its three parts the way a sorted file holds it (with or without the duplicate marker).

#include <string>
#include <string_view>

namespace cvx {

// A stored block with its trailing blanks removed and one empty line after it: the text of a
// reference copied to another reference file unchanged.
std::string StoredBlock(std::string_view bytes);

// A block made from its three parts: the identification line, the reference proper and the
// abstract/comment part, each trimmed, soft-wrapped lines joined, and the block ended by one
// empty line. With `marked` the duplicate marker is the first line of the abstract/comment part
// (unless that part holds it already); without, a marker at the start of that part is removed.
std::string SortedBlock(std::string_view bytes, bool marked);

} // namespace cvx
