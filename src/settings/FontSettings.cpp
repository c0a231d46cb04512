#include "settings/FontSettings.h"

#include "text/StringPrimitives.h"

#include <array>

namespace cvx {

namespace {

constexpr std::array<std::string_view, kFontSlotCount> kSlotNames = {
    "Identification string", "Reference Proper", "Abstract Area", "Single Lines", "Printer Font"};

struct StyleWord {
    unsigned flag;
    std::string_view word;
};
constexpr std::array kStyleWords = {StyleWord{kFontBold, "Bold"}, StyleWord{kFontItalic, "Italic"},
                                    StyleWord{kFontUnderline, "Underline"},
                                    StyleWord{kFontStrikeOut, "StrikeOut"}};

// A value that would be empty is stored as a single blank, and read back as unset.
std::string OrBlank(const std::string& text) {
    return text.empty() ? " " : text;
}

std::string IntOrBlank(const std::optional<int>& value) {
    return value ? std::to_string(*value) : " ";
}

} // namespace

std::string_view FontSlotName(int slot) {
    return slot >= 0 && slot < kFontSlotCount ? kSlotNames[slot] : std::string_view();
}

std::string FontSectionPath(int slot) {
    return std::string(kFontsPath) + "\\" + std::string(FontSlotName(slot));
}

std::string FontStyleText(unsigned style) {
    std::string text;
    for (const StyleWord& s : kStyleWords) {
        if (style & s.flag) {
            text += (text.empty() ? "" : ",") + std::string(s.word);
        }
    }
    return text;
}

unsigned ParseFontStyle(std::string_view text) {
    unsigned style = 0;
    for (std::size_t n = 1;; ++n) {
        const std::string word = NthWord(n, text, ", ");
        if (word.empty()) {
            return style;
        }
        for (const StyleWord& s : kStyleWords) {
            if (word == s.word) {
                style |= s.flag;
            }
        }
    }
}

FontSpec ReadFont(const SettingsStore& store, int slot) {
    FontSpec font;
    const SettingValues values =
        FontSlotName(slot).empty() ? SettingValues() : store.SectionValues(FontSectionPath(slot));
    if (values.empty()) {
        font.name = "Arial";
        font.height = 8;
        return font;
    }
    for (const auto& [name, stored] : values) {
        const std::string_view text = TrimView(stored);
        if (text.empty()) {
            continue;
        }
        if (name == "Name") {
            font.name = std::string(text);
        } else if (name == "Height") {
            font.height = ParseStoredInt(text);
        } else if (name == "Style") {
            font.style = ParseFontStyle(text);
        } else if (name == "Size") {
            font.size = ParseStoredInt(text);
        } else if (name == "Color") {
            font.color = ParseStoredInt(text);
        }
    }
    return font;
}

Outcome WriteFont(SettingsStore& store, int slot, const FontSpec& font) {
    if (FontSlotName(slot).empty()) {
        return IndexOutOfRange(slot, kFontSlotCount, kFontsPath);
    }
    return store.SetValues(FontSectionPath(slot),
                           {{"Name", OrBlank(font.name.value_or(""))},
                            {"Height", IntOrBlank(font.height)},
                            {"Style", OrBlank(font.style ? FontStyleText(*font.style) : "")},
                            {"Size", IntOrBlank(font.size)},
                            {"Color", IntOrBlank(font.color)}},
                           true);
}

int ReadBackground(const SettingsStore& store, int slot) {
    if (slot < 0 || slot >= kBackgroundSlotCount) {
        return -1;
    }
    return store.ReadInt(kBackgroundsPath, FontSlotName(slot), -1);
}

Outcome WriteBackground(SettingsStore& store, int slot, int colour) {
    if (slot < 0 || slot >= kBackgroundSlotCount) {
        return IndexOutOfRange(slot, kBackgroundSlotCount, kBackgroundsPath);
    }
    return store.WriteInt(kBackgroundsPath, FontSlotName(slot), colour);
}

} // namespace cvx
