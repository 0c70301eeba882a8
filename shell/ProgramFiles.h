#pragma once
// Where the program's own read-only files lie (the default start-up script,
// INIT.CFG): beside the program in a build tree, under share/brevix once installed.
#include <QString>

QString ProgramDataDir();
// The same, for a program in programDir with its installed data in dataDir.
QString ProgramDataDir(const QString& programDir, const QString& installedDataDir);
