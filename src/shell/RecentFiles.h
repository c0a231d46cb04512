#pragma once
// The recent-files list of the File menu: the reference files opened last, most recent first,
// kept in the settings store below "Strings\Recent reference files".

#include "settings/SettingsStore.h"
#include "text/Outcome.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 9;

    // The stored names in their order, skipping those for which `exists` says no, at most nine.
    void Load(const SettingsStore& store, const std::function<bool(const std::string&)>& exists);
    Outcome Save(SettingsStore& store) const;

    // Puts a name at the top: the same name further down moves up, and the tenth drops out.
    // The name is made absolute first, so the same file is one entry however it was named.
    void Enter(std::string_view name);

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_; // UTF-8 file names
};

// The absolute, clean form of a file name (UTF-8), which is how the program compares names.
std::string AbsoluteFileName(std::string_view name);

} // namespace cvx
