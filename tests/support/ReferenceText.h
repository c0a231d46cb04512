#pragma once
// Reference-file text for tests: journal reference blocks in the file layout.

#include <string>
#include <string_view>

namespace cvx::test {

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
