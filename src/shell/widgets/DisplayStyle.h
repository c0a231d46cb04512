#pragma once
// The fonts and colours of a reference window's displays as the settings give them: one slot each
// for the identification string, the reference, the abstract and the list, and the colours of
// the words a search found.

#include "settings/FontSettings.h"

#include <QColor>
#include <QFont>

#include <array>
#include <optional>

namespace cvx {

enum class DisplaySlot : int { IdString = 0, Header = 1, Abstract = 2, List = 3 };

struct DisplayStyle {
    std::array<QFont, kBackgroundSlotCount> fonts;
    std::array<std::optional<QColor>, kBackgroundSlotCount> textColours;
    std::array<std::optional<QColor>, kBackgroundSlotCount> backgrounds; // none: the theme's
    bool showHits = true;
    QColor getHit;
    QColor tagHit;

    const QFont& Font(DisplaySlot slot) const { return fonts[static_cast<std::size_t>(slot)]; }

    // `base` is the font a slot keeps when the user never chose one: the desktop's, so that the
    // displays follow its size and scaling.
    static DisplayStyle Read(const SettingsStore& store, const QFont& base);
};

// A stored colour (0x00BBGGRR) as the toolkit's colour.
QColor ColourFromStored(int bgr);

// The toolkit's font for a stored font description, starting from `base` for what it leaves open.
QFont FontFromSpec(const FontSpec& spec, const QFont& base);

} // namespace cvx
