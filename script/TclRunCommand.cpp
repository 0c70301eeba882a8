#include "script/TclRunCommand.h"

#include "platform/Ansi.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

int RunCommand(const TTclInterface::TShellOpen& open, const QList<QByteArray>& argv,
               QByteArray& result) {
    result.clear();
    if (argv.size() < 2) return TTclInterface::TclOk;
    const QString file = Ansi::ToUnicode(argv[1]);
    QStringList params;
    for (qsizetype i = 2; i < argv.size(); ++i)
        params << Ansi::ToUnicode(argv[i]);
    if (open && open(file, params)) return TTclInterface::TclOk;
    result = "Unable to find the file \"" + argv[1] + "\" (or one of its components)." +
             " Make sure the path and filename are correct and that all required" +
             " libraries are available";
    return TTclInterface::TclError;
}

bool DefaultShellOpen(const QString& file, const QStringList& params) {
    if (file.isEmpty()) return false;
    QString path = file;
    if (!file.contains(u'/')) {
        const QString onPath = QStandardPaths::findExecutable(file);
        if (!onPath.isEmpty()) path = onPath;
    }
    const QFileInfo info(path);
    if (!info.exists()) return false;
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), params);
    return QProcess::startDetached(QStringLiteral("xdg-open"), {info.absoluteFilePath()});
}
