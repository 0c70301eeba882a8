#include "platform/Placement.h"

#include <cstdlib>

namespace Placement {

TPlacement Read(const TIniFile& ini, const QString& section, const QRect& current,
                const QRect& screen, bool resizable, int visibility) {
    int w = current.width(), h = current.height();
    // Centred first, so missing keys leave the window in the middle.
    int left = std::max(0, (screen.width() - w) / 2);
    int top = std::max(0, (screen.height() - h) / 2);
    top = ini.ReadInteger(section, QStringLiteral("Top"), top + screen.top()) - screen.top();
    left = ini.ReadInteger(section, QStringLiteral("Left"), left + screen.left()) - screen.left();
    if (resizable) {
        w = std::abs(ini.ReadInteger(section, QStringLiteral("Width"), w));
        h = std::abs(ini.ReadInteger(section, QStringLiteral("Height"), h));
    }
    const int v = std::clamp(visibility, 1, 100);
    const int pw = w * v / 100, ph = h * v / 100;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left + pw > screen.width()) left = screen.width() - pw;
    if (top + ph > screen.height()) top = screen.height() - ph;
    if (left < 0) left = 100;
    if (top < 0) top = 100;
    TPlacement p;
    p.Rect = QRect(left + screen.left(), top + screen.top(), w, h);
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
