#pragma once
// The fonts and background colours of the five display areas, as the settings store keeps them:
// one section per font slot below "Interface\Fonts" and one value per slot in
// "Interface\Backgrounds". A font here is a description, not a toolkit font; the GUI builds its
// font from it, keeping its own value for every property left unset.

#include "settings/SettingsStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace cvx {

inline constexpr int kFontSlotCount = 5; // the printer font (slot 4) has no background
inline constexpr int kBackgroundSlotCount = 4;
inline constexpr std::string_view kFontsPath = "Interface\\Fonts";
inline constexpr std::string_view kBackgroundsPath = "Interface\\Backgrounds";

// "Identification string", "Reference Proper", "Abstract Area", "Single Lines", "Printer Font";
// empty outside 0..4.
std::string_view FontSlotName(int slot);

enum FontStyleFlag : unsigned {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

struct FontSpec {
    std::optional<std::string> name; // face name, UTF-8
    std::optional<int> height;
    std::optional<unsigned> style; // FontStyleFlag bits
    std::optional<int> size;       // point size
    std::optional<int> color;      // 0x00BBGGRR
    bool operator==(const FontSpec&) const = default;
};

// A slot whose section holds no values at all is Arial with height 8; otherwise every value that
// is present, not empty and readable is set.
FontSpec ReadFont(const SettingsStore& store, int slot);
// Erases the slot's section and writes all five values; an unset one is written as " ".
Outcome WriteFont(SettingsStore& store, int slot, const FontSpec& font);

// The style value: the words "Bold", "Italic", "Underline", "StrikeOut" in that order, joined by
// "," without blanks; and back (unknown words are ignored).
std::string FontStyleText(unsigned style);
unsigned ParseFontStyle(std::string_view text);

// The background colour of slots 0..3; -1 (no colour chosen) by default.
int ReadBackground(const SettingsStore& store, int slot);
Outcome WriteBackground(SettingsStore& store, int slot, int colour);

// The section of a font slot, "Interface\Fonts\<slot name>".
std::string FontSectionPath(int slot);

} // namespace cvx
