#pragma once
// A journal-name look-up that remembers the answers of another one, for a job that asks for the
// same journals again and again (an export asks once for every journal article). The database
// answers each name once; threads may ask at the same time.

#include "journals/JournalLookup.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cvx {

class JournalLookupCache final : public JournalLookup {
public:
    explicit JournalLookupCache(const JournalLookup& database) : database_(database) {}

    bool Recognises(std::string_view name) const override { return database_.Recognises(name); }
    std::optional<JournalMatch> LookUp(std::string_view name, JournalForm form) const override;
    std::optional<std::string> SortAbbreviation(std::string_view name) const override {
        return database_.SortAbbreviation(name);
    }

private:
    const JournalLookup& database_;
    mutable std::mutex mutex_;
    // By the form's number and the name; forgotten whole when it grows past a bound.
    mutable std::unordered_map<std::string, std::optional<JournalMatch>> answers_;
};

} // namespace cvx
