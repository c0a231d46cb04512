#include "support/TempDir.h"

#include "support/FileBytes.h"

#include <random>
#include <unistd.h>

namespace cvx::test {

TempDir::TempDir() {
    // The process id keeps parallel test processes apart; the random part, folders of one process.
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("citavox-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()) +
             std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    // A test may have made the folder read-only to provoke a failure; it is removed all the same.
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(std::string_view name) const {
    return (path_ / name).string();
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
    const std::string file = File(name);
    WriteBytes(file, bytes);
    return file;
}

} // namespace cvx::test
