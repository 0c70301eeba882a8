#pragma once
// Window positions kept in a section of "Brevixo.ini": "Top", "Left",
// "Width", "Height" and "Maximized".
#include "platform/IniFile.h"

#include <QRect>

struct TPlacement {
    QRect Rect;
    bool Maximized = false;
};

namespace Placement {
// current: the window's geometry as designed; screen: the available screen
// area. At least visibility percent of the window stays on the screen.
TPlacement Read(const TIniFile& ini, const QString& section, const QRect& current,
                const QRect& screen, bool resizable, int visibility);
// normal: the geometry in the normal state; minimized/maximized: its state.
void Write(TIniFile& ini, const QString& section, const QRect& normal, bool maximized,
           bool minimized);
} // namespace Placement
