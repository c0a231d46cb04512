#pragma once
// The order file: six precomputed display orders of a reference file, each N int32 reference
// indices, with deleted references last.

#include "text/Outcome.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cvx {

class FileSystem;

// The display orders of a reference window, in the order of their names in the catalogue: the six
// that the order file keeps, then the file's own order, which it never stores.
enum class DisplayOrder : int {
    AuthorYear = 0,
    YearAscending = 1,
    YearDescending = 2,
    YearJournal = 3,
    JournalYear = 4,
    IdentificationString = 5,
    Original = 6,
};
inline constexpr int kStoredOrders = 6;

// True when the order file fits a reference file of n references and is not older than it.
bool OrderFileValid(FileSystem& fs, const std::string& orderPath, const std::string& refPath,
                    int n);

// Loads a stored order; false for the file's own order, when the file is invalid or when the order
// is not a permutation.
bool LoadOrder(FileSystem& fs, const std::string& orderPath, int n, DisplayOrder kind,
               std::vector<std::int32_t>& order);

// Moves a reference index to the end of all six orders, the others closing up, and writes the file
// anew (which also makes it newer than the reference text).
Outcome MoveIndexToEnd(FileSystem& fs, const std::string& orderPath, int n, int index);
// Moves several indices to the end of all six orders at once, each as MoveIndexToEnd would in
// the order they are listed (the last listed ends last; an index listed again stays where it
// first went); the file is written once.
Outcome MoveIndicesToEnd(FileSystem& fs, const std::string& orderPath, int n,
                         const std::vector<int>& indices);

// Writes the six orders (each a permutation of 0..n-1).
Outcome SaveOrders(FileSystem& fs, const std::string& orderPath,
                   const std::vector<std::vector<std::int32_t>>& orders);

} // namespace cvx
