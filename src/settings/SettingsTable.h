#pragma once
// The layout of the per-user settings store: every setting with a fixed key, section and value
// name, its type and its default, in one table. The settings whose section or value names form
// families (fonts, window positions, default directories, name and history lists, user data) are
// described by the lookup in SettingLookup.h and reached through their own accessors.

#include <span>
#include <string_view>

namespace cvx {

enum class SettingType {
    Boolean,  // stored as the integers 0 and 1; any non-zero integer reads as true
    Integer,  // decimal text; "0x..." is read as hexadecimal
    Colour,   // an integer 0x00BBGGRR, stored like Integer
    Text,     // program text, code page 1252 for the callers
    FileName, // file and folder names and command lines, UTF-8 as the system gives them
};

enum class Setting : int {
    // Interface
    UseIdx,
    NoDiac,
    LastEditedFormat,
    LastUsedFormat,
    UseFormat,
    LastFileGroup,
    CatchFile,
    ViewType,
    SortType,
    ResortAlways,
    ResortLimit,
    ListViewDoubleClick,
    DisplayCharacterSorting,
    ShowNameGrid,
    // Interface\Action
    OriginalJump,
    OriginalTagNumber,
    ClearBeforeTag,
    // Interface\Highlights
    ShowHits,
    TagColor,
    GetColor,
    // Interface\Locale
    Language,
    CharacterSet,
    // Interface\Windows\Single display
    SingleDisplayWidth,
    // Specific files
    LastFilter,
    // Clipboard
    SuppressRtf,
    EnabledLatex,
    RemoveCodeStrings,
    HideReferencesInPseudoCitations,
    // Journal names
    DefaultDisplayForm,
    LastDisplay,
    JournalOrder,
    IgnoreDatabase,
    // Printer settings
    ListTitle,
    PrintTitle,
    LeftMargin,
    RightMargin,
    TopMargin,
    BottomMargin,
    // Manuscripts
    LastDocumentName,
    LastDocumentFormat,
    ManuscriptFormatDirectory,
    ManuscriptFormatFile,
    // Lists
    ListFormatDirectory,
    ListFormatFile,
    ListTitleType,
    ListKindOfOutput,
    ListType,
    ListCharacterSorting,
    ListReferenceSorting,
    // Sorts
    SortCharacterSorting,
    SortReferenceSorting,
    DuplicateAccount,
    CheckType,
    // Importing
    LastExtension,
    LastImportedFile,
    ImportLabel,
    // Export
    ExportFormat,
    ExportExtension,
    // Prints
    PrintFormatDirectory,
    PrintFormatFile,
    PrintOutput,
    PrintUseFormat,
    CustomPrintTitle,
    PrintAbstract,
    PrintBreak,
    PrintDlg,
    // Customize
    CustomizePage,
    // Version
    MainVersion,
    MainDate,
    ConversionVersion,
    ConversionDate,
    CheckWeb,
};

struct SettingDef {
    Setting key;
    std::string_view path; // key and section below the root, joined by "\"
    std::string_view name; // the value name
    SettingType type;
    std::string_view defaultValue; // as the store would hold it
};

// Every row, in the order of the enumeration.
std::span<const SettingDef> SettingTable();
const SettingDef& DefOf(Setting setting);

constexpr bool IsNumeric(SettingType type) {
    return type == SettingType::Boolean || type == SettingType::Integer ||
           type == SettingType::Colour;
}

} // namespace cvx
