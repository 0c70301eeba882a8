#pragma once
// Which text editor "Run Notepad" starts, and how: the desktop's default
// application for plain text, then $VISUAL and $EDITOR (in a terminal unless
// they name a known windowed editor), then known editors. Every command puts
// the file on the command line, so a file that does not exist yet opens empty
// under that name. The desktop is asked through TEditorDesktop, which tests
// replace.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct TEditorCommand {
    QString Program;
    QStringList Arguments;
    bool operator==(const TEditorCommand&) const = default;
};

struct TEditorDesktop {
    std::function<QString(const char* name)> Environment;
    // The desktop file id of the default application for text/plain
    // ("org.gnome.gedit.desktop"); empty when none.
    std::function<QString()> DefaultTextApplication;
    // The contents of that application's desktop file; empty when not found.
    std::function<QByteArray(const QString& desktopId)> DesktopFile;
    // The full path of a program found on PATH (or an absolute path that can
    // be run); empty when not found.
    std::function<QString(const QString& program)> FindProgram;
    // Starts the command detached in the folder; true when it started.
    std::function<bool(const TEditorCommand& command, const QString& folder)> Start;
};

namespace TextEditorChoice {
// The commands to try, best first, each with the file on it.
QList<TEditorCommand> Commands(const QString& file, const TEditorDesktop& desktop);
// The command of a desktop file's Exec line with its field codes replaced;
// empty when the file has no usable entry. Terminal applications get the
// terminal around them.
TEditorCommand FromDesktopFile(const QByteArray& contents, const QString& file,
                               const TEditorDesktop& desktop);
// Tries the commands in turn; false when none starts.
bool Open(const QString& file, const QString& folder, const TEditorDesktop& desktop);
// The real desktop: the environment, xdg-mime, the XDG data folders, QProcess.
TEditorDesktop SystemDesktop();
} // namespace TextEditorChoice
