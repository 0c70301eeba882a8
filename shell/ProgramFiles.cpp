#include "shell/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramDataDir(const QString& programDir, const QString& installedDataDir) {
    if (QFileInfo::exists(QDir(programDir).filePath(QStringLiteral("Brevixo.tcl"))))
        return programDir;
    const QString installed = QDir(programDir).absoluteFilePath(installedDataDir);
    return QFileInfo(installed).isDir() ? QDir::cleanPath(installed) : programDir;
}

QString ProgramDataDir() {
    // BREVIX_DATA_DIR is set by the build: the data folder relative to the program's.
    return ProgramDataDir(QCoreApplication::applicationDirPath(), QStringLiteral(BREVIX_DATA_DIR));
}
