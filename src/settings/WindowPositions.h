#pragma once
// Stored window positions: one section per window below "Interface\Windows".

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>

namespace cvx {

inline constexpr int kWindowCount = 13;
inline constexpr std::string_view kWindowsPath = "Interface\\Windows";

// "Main window", "Edit refs", ... "Edit jour" for indexes 0..12; empty outside.
std::string_view WindowSectionName(int index);
std::string WindowSectionPath(int index);

struct WindowPosition {
    int top = -1000;
    int left = -1000;
    int width = -1000;
    int height = -1000;
    bool maximised = false;
    // True when all four numbers are at least -999; otherwise the window keeps its designed
    // position.
    bool valid = false;
};

WindowPosition ReadWindowPosition(const SettingsStore& store, int index);
// Writes "Max" always and the four numbers only when the window is not maximised.
Outcome WriteWindowPosition(SettingsStore& store, int index, int top, int left, int width,
                            int height, bool maximised);

} // namespace cvx
