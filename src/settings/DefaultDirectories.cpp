#include "settings/DefaultDirectories.h"

#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/ShippedData.h"
#include "text/StringPrimitives.h"

#include <QDir>
#include <QStandardPaths>

#include <array>

namespace cvx {

namespace {

constexpr std::array<std::string_view, kDefaultDirectoryCount> kDirectoryNames = {
    "RefDir", "ExecDir", "ForDir", "ListDir", "DumpDir"};
constexpr std::array<std::string_view, kDefaultDirectoryCount> kDirectoryFolders = {
    "refs", "exec", "for", "lists", "dumps"};

constexpr std::array<std::string_view, kSpecificFileCount> kSpecificNames = {
    "JournalDatabase", "Error journal file", "Error dump file", "Text document definitions",
    "Main help file"};
constexpr std::array<std::string_view, kSpecificFileCount> kShippedNames = {
    kShippedJournalDatabase, "", "", kShippedDocumentLibrary, ""};

bool InRange(int index, int count) {
    return index >= 0 && index < count;
}

// The position of a kind in its family's tables; -1 for a value outside the family.
template <typename Kind> int IndexOf(Kind kind, int count) {
    const int index = static_cast<int>(kind);
    return InRange(index, count) ? index : -1;
}

// Writes entry `index` of a family of named values; an empty name is not stored.
template <std::size_t N>
Outcome SetNamed(SettingsStore& store, std::string_view path,
                 const std::array<std::string_view, N>& names, int index, std::string_view name) {
    if (!InRange(index, static_cast<int>(N))) {
        return IndexOutOfRange(index, static_cast<int>(N), path);
    }
    if (name.empty()) {
        return Outcome::Ok();
    }
    return store.SetValue(path, names[static_cast<std::size_t>(index)], name);
}

std::string DocumentsDirectory() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
        documents = QDir::homePath();
    }
    return documents.toUtf8().toStdString();
}

} // namespace

std::string_view DefaultDirectoryName(DefaultDirectoryKind kind) {
    const int index = IndexOf(kind, kDefaultDirectoryCount);
    return index >= 0 ? kDirectoryNames[index] : std::string_view();
}

std::string DefaultDirectoryFallback(DefaultDirectoryKind kind) {
    const int index = IndexOf(kind, kDefaultDirectoryCount);
    if (index < 0) {
        return {};
    }
    return DocumentsDirectory() + "/Citavox/" + std::string(kDirectoryFolders[index]);
}

std::string DefaultDirectory(const SettingsStore& store, DefaultDirectoryKind kind) {
    const int index = IndexOf(kind, kDefaultDirectoryCount);
    if (index < 0) {
        return {};
    }
    const std::optional<std::string> stored =
        store.Value(kDefaultDirectoriesPath, kDirectoryNames[index]);
    if (!stored) {
        return DefaultDirectoryFallback(kind);
    }
    return stored->empty() ? " " : *stored;
}

Outcome SetDefaultDirectory(SettingsStore& store, DefaultDirectoryKind kind,
                            std::string_view name) {
    return SetNamed(store, kDefaultDirectoriesPath, kDirectoryNames, static_cast<int>(kind), name);
}

std::string_view SpecificFileName(SpecificFileKind kind) {
    const int index = IndexOf(kind, kSpecificFileCount);
    return index >= 0 ? kSpecificNames[index] : std::string_view();
}

std::string SpecificFile(const SettingsStore& store, SpecificFileKind kind) {
    const int index = IndexOf(kind, kSpecificFileCount);
    if (index < 0) {
        return {};
    }
    return store.Value(kSpecificFilesPath, kSpecificNames[index]).value_or("");
}

Outcome SetSpecificFile(SettingsStore& store, SpecificFileKind kind, std::string_view name) {
    return SetNamed(store, kSpecificFilesPath, kSpecificNames, static_cast<int>(kind), name);
}

std::string ShippedFileName(SpecificFileKind kind) {
    if (kind == SpecificFileKind::MainHelp) {
        // One help file per interface language: vox_en.hlp, vox_sw.hlp.
        return MessageLanguage() == "sv" ? "vox_sw.hlp" : "vox_en.hlp";
    }
    const int index = IndexOf(kind, kSpecificFileCount);
    return index >= 0 ? std::string(kShippedNames[index]) : std::string();
}

std::string SpecificFileInUse(const SettingsStore& store, SpecificFileKind kind,
                              std::string_view shippedDirectory) {
    std::string stored = SpecificFile(store, kind);
    if (!TrimView(stored).empty() || ShippedFileName(kind).empty()) {
        return stored;
    }
    const std::string name = ShippedFileName(kind);
    return shippedDirectory.empty() ? name : AddBackslash(shippedDirectory) + name;
}

} // namespace cvx
