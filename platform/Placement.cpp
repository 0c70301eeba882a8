#include "platform/Placement.h"

#include <algorithm>
#include <cstdlib>

namespace Placement {

namespace {

// A stored width or height below this is no size anyone chose to work in.
constexpr qint64 kUsable = 100;

// The stored size made positive (INT_MIN included), at least usable and at
// most the larger of the screen and the designed size.
int StoredSize(int stored, int designed, int available) {
    const qint64 low = std::min<qint64>(designed, kUsable);
    const qint64 high = std::max<qint64>({designed, available, low});
    return static_cast<int>(std::clamp(std::abs(qint64(stored)), low, high));
}

// One axis, relative to the screen's start: pushed back until `visible` of
// `size` lies on the screen. 64-bit, as stored positions may be anything.
int KeptOnScreen(qint64 position, qint64 size, qint64 extent, int visible) {
    const qint64 part = size * visible / 100;
    if (position < 0) position = 0;
    if (position + part > extent) position = extent - part;
    if (position < 0) position = 100;
    return static_cast<int>(position);
}

} // namespace

TPlacement Read(const TIniFile& ini, const QString& section, const QRect& current,
                const QRect& screen, bool resizable, int visibility) {
    int w = current.width(), h = current.height();
    // Centred first, so missing keys leave the window in the middle.
    const int left = std::max(0, (screen.width() - w) / 2) + screen.left();
    const int top = std::max(0, (screen.height() - h) / 2) + screen.top();
    const qint64 storedTop = ini.ReadInteger(section, QStringLiteral("Top"), top);
    const qint64 storedLeft = ini.ReadInteger(section, QStringLiteral("Left"), left);
    if (resizable) {
        w = StoredSize(ini.ReadInteger(section, QStringLiteral("Width"), w), w, screen.width());
        h = StoredSize(ini.ReadInteger(section, QStringLiteral("Height"), h), h, screen.height());
    }
    const int v = std::clamp(visibility, 1, 100);
    TPlacement p;
    p.Rect =
        QRect(screen.left() + KeptOnScreen(storedLeft - screen.left(), w, screen.width(), v),
              screen.top() + KeptOnScreen(storedTop - screen.top(), h, screen.height(), v), w, h);
    p.Maximized = resizable && ini.ReadBool(section, QStringLiteral("Maximized"), false);
    return p;
}

void Write(TIniFile& ini, const QString& section, const QRect& normal, bool maximized,
           bool minimized) {
    const QString keys[] = {QStringLiteral("Top"), QStringLiteral("Left"), QStringLiteral("Height"),
                            QStringLiteral("Width")};
    if (!maximized && !minimized) {
        ini.WriteInteger(section, keys[0], normal.top());
        ini.WriteInteger(section, keys[1], normal.left());
        ini.WriteInteger(section, keys[2], normal.height());
        ini.WriteInteger(section, keys[3], normal.width());
        ini.DeleteKey(section, QStringLiteral("Maximized"));
        return;
    }
    for (const QString& k : keys)
        ini.DeleteKey(section, k);
    if (maximized)
        ini.WriteBool(section, QStringLiteral("Maximized"), true);
    else
        ini.DeleteKey(section, QStringLiteral("Maximized"));
}

} // namespace Placement
