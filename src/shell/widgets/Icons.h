#pragma once
// The program's icons, drawn as shapes at whatever size and pixel ratio they are shown, so that
// they stay sharp on every screen and need no image files.

#include <QIcon>

namespace cvx {

enum class IconKind {
    Application,
    OpenFile,
    ViewCombined,
    ViewSingle,
    ViewList,
    TaggedOnly,
    SortDisplay,
    Previous,
    Next,
    PreviousTagged,
    NextTagged,
    PseudoCitation,
    LongFormat,
    ShortFormat,
    Remove,
    Restore,
    Browse,
    Tag,
    Find,
    Locate,
};

QIcon ProgramIcon(IconKind kind);

} // namespace cvx
