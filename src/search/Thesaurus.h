#pragma once
// The search thesaurus as a job holds it: for a word, the synonyms the indexed search looks up
// with it. Words are found ignoring case, as the settings store finds them.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class Thesaurus {
public:
    void Add(std::string_view word, std::vector<std::string> synonyms);
    // The synonyms of `word`; empty when it has none.
    const std::vector<std::string>& SynonymsOf(std::string_view word) const;
    bool Empty() const { return entries_.empty(); }

private:
    std::map<std::string, std::vector<std::string>, std::less<>> entries_; // by lower-case word
};

} // namespace cvx
