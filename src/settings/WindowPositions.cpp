#include "settings/WindowPositions.h"

#include <array>

namespace cvx {

namespace {

constexpr std::array<std::string_view, kWindowCount> kWindowNames = {
    "Main window",  "Edit refs",   "Edit formats", "Locate",    "Printdlg",
    "Edit text",    "Pick format", "Field order",  "Field def", "Dump display",
    "Unknown jour", "RefWin",      "Edit jour"};

constexpr int kUnset = -1000;

} // namespace

std::string_view WindowSectionName(int index) {
    return index >= 0 && index < kWindowCount ? kWindowNames[index] : std::string_view();
}

std::string WindowSectionPath(int index) {
    return std::string(kWindowsPath) + "\\" + std::string(WindowSectionName(index));
}

WindowPosition ReadWindowPosition(const SettingsStore& store, int index) {
    WindowPosition p;
    if (WindowSectionName(index).empty()) {
        return p;
    }
    const std::string path = WindowSectionPath(index);
    p.top = store.ReadInt(path, "Top x", kUnset);
    p.left = store.ReadInt(path, "Top y", kUnset);
    p.width = store.ReadInt(path, "HW x", kUnset);
    p.height = store.ReadInt(path, "HW y", kUnset);
    p.maximised = store.ReadBool(path, "Max", false);
    p.valid = p.top >= -999 && p.left >= -999 && p.width >= -999 && p.height >= -999;
    return p;
}

Outcome WriteWindowPosition(SettingsStore& store, int index, int top, int left, int width,
                            int height, bool maximised) {
    if (WindowSectionName(index).empty()) {
        return IndexOutOfRange(index, kWindowCount, kWindowsPath);
    }
    SettingValues values = {{"Max", maximised ? "1" : "0"}};
    if (!maximised) {
        values.insert(values.end(), {{"Top x", std::to_string(top)},
                                     {"Top y", std::to_string(left)},
                                     {"HW x", std::to_string(width)},
                                     {"HW y", std::to_string(height)}});
    }
    return store.SetValues(WindowSectionPath(index), values, false);
}

} // namespace cvx
