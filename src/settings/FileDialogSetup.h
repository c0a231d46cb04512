#pragma once
// What a file dialog of the program starts with: its filter built from a set of file kinds, the
// kind each filter position stands for, the preselected position and the initial directory.
// The GUI's file dialogs apply it; nothing here shows a dialog.

#include "settings/DefaultDirectories.h"
#include "settings/SettingsStore.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace cvx {

// Each kind's filter is the catalogue entry 38 + kind of the file-handling list.
enum class FileKind : int {
    MsDosText, // *.asc
    Text,      // *.txt
    RichText,  // *.rtf
    Reference, // *.ref
    Dump,      // *.dmp
    Format,    // *.for
    Data,      // *.dat
    Help,      // *.hlp
    Any,       // *.*
};
inline constexpr int kFileKindCount = 9;

struct FileFilter {
    FileKind kind;
    std::string label;   // "Reference file (*.ref)", code page 1252
    std::string pattern; // "*.ref"
};

struct FileDialogSetup {
    std::vector<FileFilter> filters; // in kind order; position i stands for filters[i].kind
    std::string filter;              // the entries joined by "|"
    int selected = 0;                // 0-based position of the default kind
    std::string initialDirectory;    // UTF-8
    bool confirmOverwrite = false;   // the save variant asks before replacing a file

    // The kind of a filter position the user chose; nullopt outside the filter.
    std::optional<FileKind> KindAt(int position) const;
};

// The setup for a dialog offering `kinds` (in kind order, whatever order they are given in),
// preselecting `defaultKind` (the first position when it is not offered), in the default
// default directory `directory`. An empty set offers every file ("*.*").
FileDialogSetup PrepareFileDialog(const SettingsStore& store, FileKind defaultKind,
                                  DefaultDirectoryKind directory,
                                  std::initializer_list<FileKind> kinds, bool forSaving = false);

} // namespace cvx
