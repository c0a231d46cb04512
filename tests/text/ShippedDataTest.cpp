#include "text/ShippedData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace cvx {
namespace {

namespace fs = std::filesystem;

// Runs a test body with the data-folder variable set to `value` (unset for nullptr) and puts the
// variable back afterwards.
class DataVariable {
public:
    explicit DataVariable(const char* value) {
        if (const char* old = std::getenv(kDataDirectoryVariable)) {
            old_ = old;
        }
        Set(value);
    }
    ~DataVariable() { Set(old_ ? old_->c_str() : nullptr); }
    DataVariable(const DataVariable&) = delete;
    DataVariable& operator=(const DataVariable&) = delete;

private:
    static void Set(const char* value) {
        if (value != nullptr) {
            ::setenv(kDataDirectoryVariable, value, 1);
        } else {
            ::unsetenv(kDataDirectoryVariable);
        }
    }
    std::optional<std::string> old_;
};

// The tests run from the build tree, which has the shape of an installed prefix: the files the
// build made are found from the executable, wherever the working folder is.
TEST(ShippedData, TheBuildsDataIsFoundBesideThePrograms) {
    const DataVariable unset(nullptr);
    const fs::path before = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    const std::string dir = ShippedDataDirectory();
    const std::string names[] = {std::string(kShippedJournalDatabase),
                                 std::string(kShippedDocumentLibrary),
                                 std::string(kShippedStyleFolder) + "/apa.for"};
    for (const std::string& name : names) {
        EXPECT_TRUE(fs::is_regular_file(ShippedFile(name))) << ShippedFile(name);
        EXPECT_EQ(ShippedFile(name), dir + "/" + name);
    }
    fs::current_path(before);
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(fs::path(dir), exe.parent_path().parent_path() / "share" / "citavox");
}

TEST(ShippedData, TheVariableNamesAnotherFolder) {
    {
        const DataVariable set("/opt/citavox data");
        EXPECT_EQ(ShippedDataDirectory(), "/opt/citavox data");
        EXPECT_EQ(ShippedFile("formats/apa.for"), "/opt/citavox data/formats/apa.for");
    }
    const std::string beside = [] {
        const DataVariable unset(nullptr);
        return ShippedDataDirectory();
    }();
    const DataVariable empty("");
    EXPECT_EQ(ShippedDataDirectory(), beside);
}

} // namespace
} // namespace cvx
