#include "app/DefaultDirectories.h"

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
constexpr int kMainHelpFile = 4;

bool InRange(int index, int count) {
    return index >= 0 && index < count;
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

std::string_view DefaultDirectoryName(int index) {
    return InRange(index, kDefaultDirectoryCount) ? kDirectoryNames[index] : std::string_view();
}

std::string DefaultDirectoryFallback(int index) {
    if (!InRange(index, kDefaultDirectoryCount)) {
        return {};
    }
    return DocumentsDirectory() + "/Citavox/" + std::string(kDirectoryFolders[index]);
}

std::string DefaultDirectory(const SettingsStore& store, int index) {
    if (!InRange(index, kDefaultDirectoryCount)) {
        return {};
    }
    const std::optional<std::string> stored =
        store.Value(kDefaultDirectoriesPath, kDirectoryNames[index]);
    if (!stored) {
        return DefaultDirectoryFallback(index);
    }
    return stored->empty() ? " " : *stored;
}

Outcome SetDefaultDirectory(SettingsStore& store, int index, std::string_view name) {
    return SetNamed(store, kDefaultDirectoriesPath, kDirectoryNames, index, name);
}

std::string_view SpecificFileName(int index) {
    return InRange(index, kSpecificFileCount) ? kSpecificNames[index] : std::string_view();
}

std::string SpecificFile(const SettingsStore& store, int index) {
    if (!InRange(index, kSpecificFileCount)) {
        return {};
    }
    return store.Value(kSpecificFilesPath, kSpecificNames[index]).value_or("");
}

Outcome SetSpecificFile(SettingsStore& store, int index, std::string_view name) {
    return SetNamed(store, kSpecificFilesPath, kSpecificNames, index, name);
}

std::string ShippedFileName(int index) {
    if (index == kMainHelpFile) {
        // One help file per interface language: vox_en.hlp, vox_sw.hlp.
        return MessageLanguage() == "sv" ? "vox_sw.hlp" : "vox_en.hlp";
    }
    return InRange(index, kSpecificFileCount) ? std::string(kShippedNames[index]) : std::string();
}

std::string SpecificFileInUse(const SettingsStore& store, int index,
                              std::string_view shippedDirectory) {
    const std::string stored = SpecificFile(store, index);
    if (!TrimView(stored).empty() || ShippedFileName(index).empty()) {
        return stored;
    }
    const std::string name = ShippedFileName(index);
    return shippedDirectory.empty() ? name : AddBackslash(shippedDirectory) + name;
}

} // namespace cvx
