#include "shell/RecentFiles.h"

#include "settings/NameLists.h"
#include "text/StringPrimitives.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace cvx {

std::string AbsoluteFileName(std::string_view name) {
    const QString given = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return QDir::cleanPath(QFileInfo(given).absoluteFilePath()).toStdString();
}

void RecentFiles::Load(const SettingsStore& store,
                       const std::function<bool(const std::string&)>& exists) {
    entries_.clear();
    for (const std::string& stored : ReadNameList(store, kRecentFilesSection)) {
        const std::string name = TrimBlanks(stored);
        if (static_cast<int>(entries_.size()) == kMaxEntries) {
            break;
        }
        if (!name.empty() && exists(name) &&
            std::find(entries_.begin(), entries_.end(), name) == entries_.end()) {
            entries_.push_back(name);
        }
    }
}

Outcome RecentFiles::Save(SettingsStore& store) const {
    return WriteNameList(store, kRecentFilesSection, entries_);
}

void RecentFiles::Enter(std::string_view name) {
    if (TrimView(name).empty()) {
        return;
    }
    const std::string entry = AbsoluteFileName(TrimView(name));
    entries_.erase(std::remove(entries_.begin(), entries_.end(), entry), entries_.end());
    entries_.insert(entries_.begin(), entry);
    if (static_cast<int>(entries_.size()) > kMaxEntries) {
        entries_.resize(kMaxEntries);
    }
}

} // namespace cvx
