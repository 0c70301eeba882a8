#include "tags/gui/WindowPlacement.h"

#include "platform/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace WindowPlacement {

void Restore(QWidget* window, const QString& iniPath, const QString& section) {
    if (iniPath.isEmpty()) return;
    const TIniFile ini(iniPath);
    if (!ini.ValueExists(section, QStringLiteral("Top"))) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const TPlacement p = Placement::Read(ini, section, window->geometry(), area, true, 50);
    window->setGeometry(p.Rect);
    if (p.Maximized) window->setWindowState(Qt::WindowMaximized);
}

void Save(const QWidget* window, const QString& iniPath, const QString& section) {
    if (iniPath.isEmpty()) return;
    TIniFile ini(iniPath);
    Placement::Write(ini, section,
                     window->normalGeometry().isValid() ? window->normalGeometry()
                                                        : window->geometry(),
                     window->isMaximized(), false);
    if (!ini.UpdateFile())
        qWarning("%s: position not saved: %s", qPrintable(section), qPrintable(ini.ErrorString()));
}

} // namespace WindowPlacement
