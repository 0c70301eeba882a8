#pragma once
// Starting with the desktop session: the freedesktop autostart entry
// ~/.config/autostart/brevix.desktop, written or removed on request.
#include <QByteArray>
#include <QString>

namespace Autostart {
// Where the entry lies ($XDG_CONFIG_HOME/autostart/brevix.desktop).
QString EntryPath();
bool Enabled();
// The entry for a program at programPath, started with "--autostart".
QByteArray DesktopEntry(const QString& programPath);
// Writes the entry for programPath or removes it; false with a message.
bool SetEnabled(bool on, const QString& programPath, QString* error);
} // namespace Autostart
