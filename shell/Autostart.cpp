#include "shell/Autostart.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Autostart {

QString EntryPath() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/brevix.desktop");
}

bool Enabled() {
    return QFileInfo::exists(EntryPath());
}

namespace {
// Exec= quoting: the path in double quotes, with the four reserved characters escaped.
QString QuotedExec(const QString& path) {
    QString q;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        q += c;
    }
    // The desktop file's own escape level doubles each backslash again.
    q.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

QByteArray DesktopEntry(const QString& programPath) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Brevix\n"
                          "Comment=Text expander: keywords become texts in any program\n"
                          "Exec=%1 --autostart\n"
                          "Icon=org.brevix.Brevix\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(QuotedExec(programPath))
        .toUtf8();
}

bool SetEnabled(bool on, const QString& programPath, QString* error) {
    const QString path = EntryPath();
    if (!on) {
        if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
        if (error) *error = QStringLiteral("%1 could not be removed.").arg(path);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error) *error = QStringLiteral("The folder of %1 could not be made.").arg(path);
        return false;
    }
    QString why;
    if (SafeFile::Write(path, DesktopEntry(programPath), &why)) return true;
    if (error) *error = QStringLiteral("%1 could not be written:\n%2").arg(path, why);
    return false;
}

} // namespace Autostart
