#pragma once
// A temporary folder of its own for a test; it disappears with the object, whatever the test
// left in it (read-only files and folders included).

#include <filesystem>
#include <string>
#include <string_view>

namespace cvx::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The path of `name` inside the folder.
    std::string File(std::string_view name) const;
    // Writes `bytes` as the file `name` of the folder and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace cvx::test
