#pragma once
// Deterministic generator of large reference files for the benchmarks: the references of a seed
// file repeated with varied numbers and words, so that every copy is a distinct, well-formed
// reference.

#include <cstdint>
#include <string>

namespace cvx::bench {

// Writes at least `bytes` bytes of references to `path`, made from the seed reference file.
// Returns false when the seed cannot be read or holds no references.
bool GenerateReferenceFile(const std::string& seedPath, const std::string& path, std::uint64_t bytes,
                           std::uint32_t seed = 1);

} // namespace cvx::bench
