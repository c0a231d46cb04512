#pragma once
// What the reference store asks of the journal-name database: whether a journal name is known,
// and the abbreviated form that sort keys use.

#include <optional>
#include <string>
#include <string_view>

namespace cvx {

class JournalLookup {
public:
    virtual ~JournalLookup() = default;

    // True when the database recognises the name in the current journal-name form.
    virtual bool Recognises(std::string_view name) const = 0;

    // The name's abbreviated form for sort keys ("" when the database has that form empty);
    // nullopt when the database does not know the name.
    virtual std::optional<std::string> SortAbbreviation(std::string_view name) const = 0;
};

} // namespace cvx
