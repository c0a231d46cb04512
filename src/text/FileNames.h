#pragma once
// File-name primitives. "/" separates path components; "\" is accepted as well, and a drive
// colon ("C:") counts as a separator, so names written for either convention work.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace cvx {

bool IsPathSeparator(char c);

std::string ChangeExt(std::string_view name, std::string_view ext);
std::string DefaultExt(std::string_view name, std::string_view ext);
std::string ExtOf(std::string_view name);
// The whole extension, however long (ExtOf keeps three characters: ".docx" would be "doc").
std::string WholeExtOf(std::string_view name);
std::string BaseName(std::string_view path);   // the name after the last separator
std::string FileNameOf(std::string_view path); // BaseName, at most 64 characters
std::string DirOf(std::string_view path);
std::string AddBackslash(std::string_view dir);
std::string ShortPathName(std::string_view path); // paths have no short form here
std::string OutputName(std::string_view name);    // paper.rtf -> paper_OUT.rtf

// A path (UTF-8, as the system gives it) in the code page 1252 text of a message.
std::string DisplayPath(std::string_view path);

// A most-recent-first list of at most 21 strings.
class RecentList {
public:
    static constexpr std::size_t kCapacity = 21;
    enum class Match { Exact, DigitPattern };

    explicit RecentList(Match match = Match::Exact) : match_(match) {}

    // Moves an equal entry to the front, or inserts the text there and drops the 22nd entry.
    void Add(std::string_view text);
    const std::deque<std::string>& Entries() const { return entries_; }
    void Assign(std::deque<std::string> entries);

private:
    Match match_;
    std::deque<std::string> entries_;
};

} // namespace cvx
