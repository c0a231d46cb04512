#include "search/Thesaurus.h"

#include "text/CaseMapping.h"

namespace cvx {

void Thesaurus::Add(std::string_view word, std::vector<std::string> synonyms) {
    entries_[LowerText(word)] = std::move(synonyms);
}

const std::vector<std::string>& Thesaurus::SynonymsOf(std::string_view word) const {
    static const std::vector<std::string> none;
    const auto it = entries_.find(LowerText(word));
    return it == entries_.end() ? none : it->second;
}

} // namespace cvx
