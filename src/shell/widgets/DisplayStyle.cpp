#include "shell/widgets/DisplayStyle.h"

#include "text/widgets/QtText.h"

namespace cvx {

QColor ColourFromStored(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QFont FontFromSpec(const FontSpec& spec, const QFont& base) {
    // A slot without stored values reads as Arial of height 8; there the desktop's own font
    // serves better than a tiny one, and its size is what the user set for the whole desktop.
    const FontSpec unset{std::string("Arial"), 8, std::nullopt, std::nullopt, std::nullopt};
    QFont font = base;
    if (spec == unset) {
        return font;
    }
    if (spec.name && !spec.name->empty()) {
        font.setFamilies({FromUtf8(*spec.name), base.family()});
    }
    if (spec.size && *spec.size > 0) {
        font.setPointSize(*spec.size);
    } else if (spec.height && *spec.height != 0) {
        // A height without a size: negative is the character height in pixels, positive the
        // cell height; both at the 96 pixels per inch the value was written for.
        const int pixels = *spec.height < 0 ? -*spec.height : *spec.height * 4 / 5;
        font.setPointSizeF(std::max(6.0, pixels * 72.0 / 96.0));
    }
    if (spec.style) {
        font.setBold((*spec.style & kFontBold) != 0);
        font.setItalic((*spec.style & kFontItalic) != 0);
        font.setUnderline((*spec.style & kFontUnderline) != 0);
        font.setStrikeOut((*spec.style & kFontStrikeOut) != 0);
    }
    return font;
}

DisplayStyle DisplayStyle::Read(const SettingsStore& store, const QFont& base) {
    DisplayStyle style;
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
        const FontSpec spec = ReadFont(store, slot);
        const auto i = static_cast<std::size_t>(slot);
        style.fonts[i] = FontFromSpec(spec, base);
        if (spec.color) {
            style.textColours[i] = ColourFromStored(*spec.color);
        }
        if (const int background = ReadBackground(store, slot); background >= 0) {
            style.backgrounds[i] = ColourFromStored(background);
        }
    }
    style.showHits = store.ReadBool(Setting::ShowHits);
    style.getHit = ColourFromStored(store.ReadInt(Setting::GetColor));
    style.tagHit = ColourFromStored(store.ReadInt(Setting::TagColor));
    return style;
}

} // namespace cvx
