#include "text/ShippedData.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef CITAVOX_DATA_FROM_BIN
#error "CITAVOX_DATA_FROM_BIN must give the data folder relative to the programs' folder"
#endif

namespace cvx {

std::string ShippedDataDirectory() {
    if (const char* dir = std::getenv(kDataDirectoryVariable); dir != nullptr && *dir != '\0') {
        return dir;
    }
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    // Relative, so that the same rule holds in the build tree and wherever the prefix is put.
    return (exe.parent_path() / CITAVOX_DATA_FROM_BIN).lexically_normal().string();
}

std::string ShippedFile(std::string_view name) {
    const std::string dir = ShippedDataDirectory();
    return dir.empty() ? std::string(name) : (std::filesystem::path(dir) / name).string();
}

} // namespace cvx
