#pragma once
// The program's command line: "/CFG=", "/TARGETPROCESS=", "/SCRIPT=", "/PORT=",
// and "--autostart" from the session's autostart entry.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

struct TCommandLine {
    QString ConfigDir; // with a trailing separator; empty when not given
    uint32_t TargetProcessId = 0;
    bool TargetProcessOnly = false;
    QString CommandLineScript;
    std::optional<int> Port;
    // Started with the desktop session: straight to the notification area.
    bool Autostart = false;
};

// What "--version" prints.
QString ProgramVersionText();
// What "--help" prints: the parameters, the files and the environment.
QString CommandLineHelp();

// Parses the parameters in order (the program name excluded) and throws
// EBrevix with the user's message at the first bad one.
TCommandLine ParseCommandLine(const QStringList& params);

// Joins a folder and a file name: both trimmed, one separator between them,
// the bare name when the folder is empty.
QString JoinPath(const QString& folder, const QString& name);
