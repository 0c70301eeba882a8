#pragma once
// The Tcl command "run file ?param ...?": opens a document or starts a
// program, as the desktop would on a double click.
#include "script/TclInterface.h"

int RunCommand(const TTclInterface::TShellOpen& open, const QList<QByteArray>& argv,
               QByteArray& result);

// Programs (found on PATH when given without a folder) are started with the
// parameters; other existing files are handed to xdg-open.
bool DefaultShellOpen(const QString& file, const QStringList& params);
