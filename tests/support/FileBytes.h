#pragma once
// Whole files as byte strings, exactly as they are on the disk.

#include <string>
#include <string_view>

namespace cvx::test {

// Replaces the file with `bytes`.
void WriteBytes(const std::string& path, std::string_view bytes);

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

} // namespace cvx::test
