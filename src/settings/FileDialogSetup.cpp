#include "settings/FileDialogSetup.h"

#include "settings/DefaultDirectories.h"
#include "text/Catalogue.h"

#include <bitset>

namespace cvx {

std::optional<FileKind> FileDialogSetup::KindAt(int position) const {
    if (position < 0 || position >= static_cast<int>(filters.size())) {
        return std::nullopt;
    }
    return filters[static_cast<std::size_t>(position)].kind;
}

FileDialogSetup PrepareFileDialog(const SettingsStore& store, FileKind defaultKind,
                                  DefaultDirectoryKind directory,
                                  std::initializer_list<FileKind> kinds, bool forSaving) {
    std::bitset<kFileKindCount> offered;
    for (const FileKind kind : kinds) {
        offered.set(static_cast<std::size_t>(kind));
    }
    if (offered.none()) {
        offered.set(static_cast<std::size_t>(FileKind::Any));
    }
    FileDialogSetup setup;
    for (int k = 0; k < kFileKindCount; ++k) {
        if (!offered.test(static_cast<std::size_t>(k))) {
            continue;
        }
        const std::string entry = Message(msg::FileOpen::FilterAsc + k);
        const std::size_t bar = entry.find('|');
        const auto kind = static_cast<FileKind>(k);
        if (kind == defaultKind) {
            setup.selected = static_cast<int>(setup.filters.size());
        }
        setup.filters.push_back({kind, ShortText(entry),
                                 bar == std::string::npos ? std::string() : entry.substr(bar + 1)});
        setup.filter += (setup.filter.empty() ? "" : "|") + entry;
    }
    setup.initialDirectory = DefaultDirectory(store, directory);
    setup.confirmOverwrite = forSaving;
    return setup;
}

} // namespace cvx
