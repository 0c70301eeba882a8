#include "tags/TextEditorChoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {
// Windowed editors, in the order they are tried when nothing else is set.
const QStringList kWindowedEditors{"gnome-text-editor", "gedit",   "kate",  "kwrite",
                                   "mousepad",          "pluma",   "xed",   "leafpad",
                                   "featherpad",        "l3afpad", "geany", "xedit"};
// Further programs that open a window of their own when named in $VISUAL
// or $EDITOR; not tried unless named.
const QStringList kOtherWindowed{"gvim", "emacs", "code", "codium", "subl", "notepadqq"};
// Terminals that run a command given after -e.
const QStringList kTerminals{"x-terminal-emulator", "xterm",      "gnome-terminal", "konsole",
                             "xfce4-terminal",      "lxterminal", "urxvt"};

// No file: the editor starts with an empty, unnamed text.
QStringList FileArgument(const QString& file) {
    return file.isEmpty() ? QStringList() : QStringList{file};
}

// The terminal command around a program; empty when no terminal is found.
TEditorCommand InTerminal(const TEditorCommand& inner, const TEditorDesktop& desktop) {
    QStringList terminals = kTerminals;
    const QString own = desktop.Environment("TERMINAL");
    if (!own.isEmpty()) terminals.prepend(own);
    for (const QString& t : terminals) {
        const QString found = desktop.FindProgram(t);
        if (found.isEmpty()) continue;
        // gnome-terminal wants "--" before the command; the others take -e.
        const bool dashes = QFileInfo(found).fileName() == QLatin1String("gnome-terminal");
        TEditorCommand c{found, {dashes ? QStringLiteral("--") : QStringLiteral("-e")}};
        c.Arguments << inner.Program << inner.Arguments;
        return c;
    }
    return {};
}

// The command of an editor setting such as "emacs -nw" or "code --wait".
TEditorCommand FromSetting(const QString& setting, const QString& file,
                           const TEditorDesktop& desktop) {
    QStringList words = QProcess::splitCommand(setting);
    if (words.isEmpty()) return {};
    const QString program = desktop.FindProgram(words.takeFirst());
    if (program.isEmpty()) return {};
    TEditorCommand c{program, words << FileArgument(file)};
    const QString name = QFileInfo(program).fileName();
    if (kWindowedEditors.contains(name) || kOtherWindowed.contains(name)) return c;
    return InTerminal(c, desktop);
}

// The value of a key in the [Desktop Entry] group.
QString EntryValue(const QByteArray& contents, const char* key) {
    bool inEntry = false;
    const QList<QByteArray> lines = contents.split('\n');
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return QString::fromUtf8(line.mid(eq + 1).trimmed());
    }
    return {};
}
} // namespace

namespace TextEditorChoice {

TEditorCommand FromDesktopFile(const QByteArray& contents, const QString& file,
                               const TEditorDesktop& desktop) {
    const QString exec = EntryValue(contents, "Exec");
    if (exec.isEmpty()) return {};
    QStringList words = QProcess::splitCommand(exec);
    if (words.isEmpty()) return {};
    QStringList arguments;
    bool placed = false;
    for (const QString& word : std::as_const(words).mid(1)) {
        // %f %F %u %U take the file; the icon, name and location codes are dropped.
        if (word == QLatin1String("%f") || word == QLatin1String("%F") ||
            word == QLatin1String("%u") || word == QLatin1String("%U")) {
            if (!placed) arguments << FileArgument(file);
            placed = true;
            continue;
        }
        if (word.size() == 2 && word.at(0) == QLatin1Char('%')) continue;
        QString w = word;
        arguments << w.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    if (!placed) arguments << FileArgument(file);
    const QString program = desktop.FindProgram(words.first());
    if (program.isEmpty()) return {};
    const TEditorCommand c{program, arguments};
    if (EntryValue(contents, "Terminal").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return InTerminal(c, desktop);
    return c;
}

QList<TEditorCommand> Commands(const QString& file, const TEditorDesktop& desktop) {
    QList<TEditorCommand> out;
    const auto add = [&out](const TEditorCommand& c) {
        if (!c.Program.isEmpty() && !out.contains(c)) out << c;
    };
    if (const QString id = desktop.DefaultTextApplication(); !id.isEmpty())
        add(FromDesktopFile(desktop.DesktopFile(id), file, desktop));
    for (const char* name : {"VISUAL", "EDITOR"})
        if (const QString setting = desktop.Environment(name); !setting.trimmed().isEmpty())
            add(FromSetting(setting, file, desktop));
    for (const QString& editor : kWindowedEditors)
        if (const QString program = desktop.FindProgram(editor); !program.isEmpty())
            add({program, FileArgument(file)});
    return out;
}

bool Open(const QString& file, const QString& folder, const TEditorDesktop& desktop) {
    const QList<TEditorCommand> commands = Commands(file, desktop);
    for (const TEditorCommand& c : commands)
        if (desktop.Start(c, folder)) return true;
    return false;
}

TEditorDesktop SystemDesktop() {
    TEditorDesktop d;
    d.Environment = [](const char* name) { return qEnvironmentVariable(name); };
    d.DefaultTextApplication = [] {
        const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
        if (xdgMime.isEmpty()) return QString();
        QProcess p;
        p.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
        if (!p.waitForFinished(3000)) {
            p.kill();
            p.waitForFinished(1000);
            return QString();
        }
        const QString id = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        // One desktop file id, nothing that could climb out of the folders.
        if (!id.endsWith(QLatin1String(".desktop")) || id.contains(QLatin1Char('/')))
            return QString();
        return id;
    };
    d.DesktopFile = [](const QString& id) {
        // "vendor-app.desktop" may also lie at vendor/app.desktop.
        QStringList names{id};
        if (const qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0)
            names << id.left(dash) + QLatin1Char('/') + id.mid(dash + 1);
        for (const QString& name : std::as_const(names)) {
            const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, name);
            if (path.isEmpty()) continue;
            QFile f(path);
            // A desktop file is small; a bigger one is not read whole.
            if (f.open(QIODevice::ReadOnly)) return f.read(64 * 1024);
        }
        return QByteArray();
    };
    d.FindProgram = [](const QString& program) {
        if (QFileInfo(program).isAbsolute())
            return QFileInfo(program).isExecutable() ? program : QString();
        return QStandardPaths::findExecutable(program);
    };
    d.Start = [](const TEditorCommand& c, const QString& folder) {
        return QProcess::startDetached(c.Program, c.Arguments, folder);
    };
    return d;
}

} // namespace TextEditorChoice
