#pragma once
// Reference files for the search tests: a few hand-made references of the three kinds (journal
// article, book chapter, monograph) and a generated file with a controlled vocabulary, so that
// the scanning and the indexed search can be compared on it.

#include "support/ReferenceText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cvx::test {

// A chapter: the book line begins with "E: ", then the editors and "Publisher (City)".
inline std::string ChapterBlock(std::string_view id, std::string_view authors,
                                std::string_view title, std::string_view yearLine,
                                std::string_view book, std::string_view editors,
                                std::string_view publisher, std::string_view comment = {}) {
    std::string b = " " + std::string(id) + "\r\n " + std::string(authors) + "\r\n " +
                    std::string(title) + "\r\n " + std::string(yearLine) +
                    "\r\n E: " + std::string(book) + "\r\n " + std::string(editors) + "\r\n " +
                    std::string(publisher) + "\r\n";
    if (!comment.empty()) {
        b += " " + std::string(comment) + "\r\n";
    }
    return b + "\r\n";
}

// A monograph: the series line begins with "S: ", then "Publisher (City)".
inline std::string MonographBlock(std::string_view id, std::string_view authors,
                                  std::string_view title, std::string_view yearLine,
                                  std::string_view series, std::string_view publisher,
                                  std::string_view comment = {}) {
    std::string b = " " + std::string(id) + "\r\n " + std::string(authors) + "\r\n " +
                    std::string(title) + "\r\n " + std::string(yearLine) +
                    "\r\n S: " + std::string(series) + "\r\n " + std::string(publisher) + "\r\n";
    if (!comment.empty()) {
        b += " " + std::string(comment) + "\r\n";
    }
    return b + "\r\n";
}

// `n` references drawn from small word lists by a fixed sequence: journal articles, every
// seventh a chapter and every eleventh a monograph; accented names in code page 1252.
inline std::string GeneratedFile(int n) {
    constexpr std::array<std::string_view, 8> authors = {"Smith, J.",
                                                         "Smithson, K.",
                                                         "Jones, A.",
                                                         "M\xFCller, B.",
                                                         "Brown, C.",
                                                         "Nguyen, D.",
                                                         "\xD8stergaard, E.",
                                                         "Garc\xED"
                                                         "a, F."};
    constexpr std::array<std::string_view, 14> words = {
        "heart",  "hearts", "heartbeat", "failure", "cardiac", "cardiology", "endocardium",
        "review", "cancer", "breast",    "therapy", "gene",    "genetic",    "caf\xE9"};
    constexpr std::array<std::string_view, 4> journals = {"Lancet", "Nature", "J Cardiol",
                                                          "Circulation"};
    std::uint32_t state = 12345;
    const auto next = [&state](std::uint32_t range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    std::string text;
    for (int i = 1; i <= n; ++i) {
        std::string author(authors[next(authors.size())]);
        if (next(3) == 0) {
            author += "; " + std::string(authors[next(authors.size())]);
        }
        std::string title;
        for (std::uint32_t w = 0, count = 2 + next(4); w < count; ++w) {
            title += (w > 0 ? " " : "") + std::string(words[next(words.size())]);
        }
        const int year = 1980 + static_cast<int>(next(33));
        const std::string yearLine = std::to_string(year) + " (" + std::to_string(1 + next(60)) +
                                     "(" + std::to_string(1 + next(9)) + ")) pp " +
                                     std::to_string(100 + next(800));
        std::string comment;
        if (next(3) == 0) {
            comment = "Comment on " + std::string(words[next(words.size())]) + " and " +
                      std::string(words[next(words.size())]) + ".";
        }
        const std::string id = "R" + std::to_string(i);
        if (i % 7 == 0) {
            text += ChapterBlock(id, author, title, yearLine, "Handbook of cardiology",
                                 std::string(authors[next(authors.size())]) + " (ed)",
                                 i % 2 == 0 ? "Springer (Berlin)" : "Wiley (London)", comment);
        } else if (i % 11 == 0) {
            text += MonographBlock(id, author, title, yearLine, "Series on gene therapy",
                                   i % 2 == 0 ? "Elsevier (Amsterdam)" : "Springer (New York)",
                                   comment);
        } else {
            text +=
                JournalBlock(id, author, title, yearLine, journals[next(journals.size())], comment);
        }
    }
    return text;
}

} // namespace cvx::test
