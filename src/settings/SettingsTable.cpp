#include "settings/SettingsTable.h"

#include <array>

namespace cvx {

namespace {

using enum SettingType;
using S = Setting;

// One row per setting: key and section, value name, type, default. Value names are spelled
// exactly as stored; the store is case-sensitive where the registry is not, so each has one
// spelling.
constexpr std::array kTable = {
    SettingDef{S::UseIdx, "Interface", "Use idx", Boolean, "1"},
    SettingDef{S::NoDiac, "Interface", "No diac", Boolean, "1"},
    SettingDef{S::LastEditedFormat, "Interface", "Last edited format", FileName, ""},
    SettingDef{S::LastUsedFormat, "Interface", "Last used format", FileName, ""},
    SettingDef{S::UseFormat, "Interface", "Use format", Boolean, "0"},
    SettingDef{S::LastFileGroup, "Interface", "Last file group", Text, ""},
    SettingDef{S::CatchFile, "Interface", "Catch file", FileName, ""},
    SettingDef{S::ViewType, "Interface", "ViewType", Integer, "0"},
    SettingDef{S::SortType, "Interface", "SortType", Integer, "0"},
    SettingDef{S::ResortAlways, "Interface", "Resort always", Integer, "0"},
    SettingDef{S::ResortLimit, "Interface", "Resort limit", Integer, "2000"},
    SettingDef{S::ListViewDoubleClick, "Interface", "ListView double click", Integer, "0"},
    SettingDef{S::DisplayCharacterSorting, "Interface", "Display character sorting", Integer, "1"},
    SettingDef{S::ShowNameGrid, "Interface", "Show name grid", Boolean, "0"},
    SettingDef{S::OriginalJump, "Interface\\Action", "Original jump", Boolean, "0"},
    SettingDef{S::OriginalTagNumber, "Interface\\Action", "Original tag number", Boolean, "0"},
    SettingDef{S::ClearBeforeTag, "Interface\\Action", "Clear before tag", Boolean, "0"},
    SettingDef{S::ShowHits, "Interface\\Highlights", "Show hits", Boolean, "1"},
    SettingDef{S::TagColor, "Interface\\Highlights", "Tag color", Colour, "0"},
    SettingDef{S::GetColor, "Interface\\Highlights", "Get color", Colour, "0"},
    SettingDef{S::Language, "Interface\\Locale", "Language", Integer, "0"},
    SettingDef{S::CharacterSet, "Interface\\Locale", "Character set", Integer, "0"},
    SettingDef{S::SingleDisplayWidth, "Interface\\Windows\\Single display", "HW", Integer, "321"},
    SettingDef{S::LastFilter, "Specific files", "Last filter", Text, ""},
    SettingDef{S::SuppressRtf, "Clipboard", "Suppress RTF", Boolean, "0"},
    SettingDef{S::EnabledLatex, "Clipboard", "Enabled LaTex", Boolean, "0"},
    SettingDef{S::RemoveCodeStrings, "Clipboard", "Remove code strings", Boolean, "0"},
    SettingDef{S::HideReferencesInPseudoCitations, "Clipboard",
               "Hide references in pseudo-citations", Boolean, "1"},
    SettingDef{S::DefaultDisplayForm, "Journal names", "Default display form", Integer, "1"},
    SettingDef{S::LastDisplay, "Journal names", "Last display", Integer, "-1"},
    SettingDef{S::JournalOrder, "Journal names", "Order", Integer, "0"},
    SettingDef{S::IgnoreDatabase, "Journal names", "Ignore database", Boolean, "0"},
    SettingDef{S::ListTitle, "Printer settings", "List title", Text, "Default"},
    SettingDef{S::PrintTitle, "Printer settings", "Print title", Text, "Default"},
    SettingDef{S::LeftMargin, "Printer settings", "Left margin", Integer, "50"},
    SettingDef{S::RightMargin, "Printer settings", "Right margin", Integer, "50"},
    SettingDef{S::TopMargin, "Printer settings", "Top margin", Integer, "50"},
    SettingDef{S::BottomMargin, "Printer settings", "Bottom margin", Integer, "50"},
    SettingDef{S::LastDocumentName, "Manuscripts", "Last document name", FileName, ""},
    SettingDef{S::LastDocumentFormat, "Manuscripts", "Last document format", Integer, "0"},
    SettingDef{S::ManuscriptFormatDirectory, "Manuscripts", "Format directory", FileName, ""},
    SettingDef{S::ManuscriptFormatFile, "Manuscripts", "Format file", FileName, ""},
    SettingDef{S::ListFormatDirectory, "Lists", "Format directory", FileName, ""},
    SettingDef{S::ListFormatFile, "Lists", "Format file", FileName, ""},
    SettingDef{S::ListTitleType, "Lists", "Title type", Integer, "0"},
    SettingDef{S::ListKindOfOutput, "Lists", "Kind of output", Integer, "0"},
    SettingDef{S::ListType, "Lists", "Type", Integer, "0"},
    SettingDef{S::ListCharacterSorting, "Lists", "Character sorting", Integer, "1"},
    SettingDef{S::ListReferenceSorting, "Lists", "Reference sorting", Integer, "0"},
    SettingDef{S::SortCharacterSorting, "Sorts", "Character sorting", Integer, "1"},
    SettingDef{S::SortReferenceSorting, "Sorts", "Reference sorting", Integer, "0"},
    SettingDef{S::DuplicateAccount, "Sorts", "Duplicate account", Integer, "0"},
    SettingDef{S::CheckType, "Sorts", "Check type", Integer, "0"},
    SettingDef{S::LastExtension, "Importing", "Last extension", Text, "dmp"},
    SettingDef{S::LastImportedFile, "Importing", "Last file", FileName, ""},
    SettingDef{S::ImportLabel, "Importing", "Label", Text, ""},
    SettingDef{S::ExportFormat, "Export", "Format", Integer, "0"},
    SettingDef{S::ExportExtension, "Export", "Extension", Text, "txt"},
    SettingDef{S::PrintFormatDirectory, "Prints", "Format dir", FileName, ""},
    SettingDef{S::PrintFormatFile, "Prints", "Format file", FileName, ""},
    SettingDef{S::PrintOutput, "Prints", "Output", Integer, "1"},
    SettingDef{S::PrintUseFormat, "Prints", "Use format", Boolean, "0"},
    SettingDef{S::CustomPrintTitle, "Prints", "Custom print title", Boolean, "0"},
    SettingDef{S::PrintAbstract, "Prints", "Abstract", Boolean, "0"},
    SettingDef{S::PrintBreak, "Prints", "Break", Boolean, "0"},
    SettingDef{S::PrintDlg, "Prints", "PrintDlg", Integer, "0"},
    SettingDef{S::CustomizePage, "Customize", "Page", Integer, "0"},
    SettingDef{S::MainVersion, "Version", "Main version", Text, "4.0"},
    SettingDef{S::MainDate, "Version", "Main date", Text, "1999-02-01"},
    SettingDef{S::ConversionVersion, "Version", "Conversion", Text, "4.0"},
    SettingDef{S::ConversionDate, "Version", "Conversion date", Text, "\?\?\?\?-\?\?-\?\?"},
    SettingDef{S::CheckWeb, "Version", "Check web", Boolean, "1"},
};

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<std::size_t>(kTable[i].key) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEnumOrder(), "the settings table must list the settings in enumeration order");
static_assert(kTable.size() == static_cast<std::size_t>(Setting::CheckWeb) + 1);

} // namespace

std::span<const SettingDef> SettingTable() {
    return kTable;
}

const SettingDef& DefOf(Setting setting) {
    return kTable[static_cast<std::size_t>(setting)];
}

} // namespace cvx
