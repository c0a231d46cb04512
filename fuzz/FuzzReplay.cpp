// Runs a fuzz target's saved inputs without libFuzzer: every file of the folders (and every file)
// named on the command line goes once through LLVMFuzzerTestOneInput, in the order of their
// names. A target that finds a fault aborts; a missing or empty corpus fails too, since it would
// test nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files of a folder (its subfolders included), or the file itself.
void Collect(const fs::path& path, std::vector<fs::path>& files) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
        files.push_back(path);
        return;
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path, ec)) {
        if (entry.is_regular_file(ec)) {
            files.push_back(entry.path());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        Collect(argv[i], files);
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::cerr << "no saved inputs to replay\n";
        return 1;
    }
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << "cannot read " << file << '\n';
            return 1;
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        // Named first, so that a crash shows which input caused it.
        std::cout << file.filename().string() << std::endl;
        // A copy of exactly the input's size, so that the sanitizers see any read beyond it.
        const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        (void)LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::cout << "replayed " << files.size() << " inputs\n";
    return 0;
}
