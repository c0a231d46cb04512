#pragma once
// The order file: six precomputed display orders of a reference file, each N int32 reference
// indices, with deleted references last.

#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cvx {

class FileSystem;

inline constexpr int kStoredOrders = 6;
inline constexpr int kOriginalOrder = 6; // file order, never stored

// True when the order file fits a reference file of n references and is not older than it.
bool OrderFileValid(FileSystem& fs, const std::string& orderPath, const std::string& refPath,
                    int n);

// Loads order `kind` (0..5); false when the file is invalid or the order is not a permutation.
bool LoadOrder(FileSystem& fs, const std::string& orderPath, int n, int kind,
               std::vector<std::int32_t>& order);

// Moves a reference index to the end of all six orders, the others closing up, and writes the file
// anew (which also makes it newer than the reference text).
Outcome MoveIndexToEnd(FileSystem& fs, const std::string& orderPath, int n, int index);

// Writes the six orders (each a permutation of 0..n-1).
Outcome SaveOrders(FileSystem& fs, const std::string& orderPath,
                   const std::vector<std::vector<std::int32_t>>& orders);

} // namespace cvx
