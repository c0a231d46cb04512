#pragma once
// The identification strings of a reference file's references, in file order: what most tests of
// the store compare a file with.

#include "refstore/ReferenceFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace cvx::test {

inline std::vector<std::string> Ids(TReferenceFile& file) {
    std::vector<std::string> ids;
    for (int i = 0; i < file.RefCount(); ++i) {
        EXPECT_TRUE(file.GoTo(file.AbsoluteToDisplay(i)).ok());
        ids.push_back(file.IdentificationString());
    }
    return ids;
}

} // namespace cvx::test
