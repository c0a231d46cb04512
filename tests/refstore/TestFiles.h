#pragma once
// Temporary folders and byte-exact files for the reference-store tests.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace cvx::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("citavox-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(std::string_view name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A journal reference block in the file layout, ending with its empty line.
inline std::string JournalBlock(std::string_view id, std::string_view authors,
                                std::string_view title, std::string_view yearLine,
                                std::string_view journal, std::string_view comment = {}) {
    std::string b = " " + std::string(id) + "\r\n " + std::string(authors) + "\r\n " +
                    std::string(title) + "\r\n " + std::string(yearLine) + "\r\n " +
                    std::string(journal) + "\r\n";
    if (!comment.empty()) {
        b += " " + std::string(comment) + "\r\n";
    }
    return b + "\r\n";
}

// A file of n journal references "Ref1".."Refn" by different authors and years.
inline std::string NumberedFile(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        const std::string num = std::to_string(i);
        text += JournalBlock("Ref" + num, "Author" + std::string(1, char('a' + i % 26)) + ", A.",
                             "Title number " + num + ".",
                             std::to_string(1990 + i % 30) + " (" + num + ") pp " + num + "-" +
                                 num + "9",
                             "Journal of Tests");
    }
    return text;
}

} // namespace cvx::test
