#pragma once
// INIT.CFG, beside the program, names the Tcl library and its script folder:
//   [TCL]
//   DLLFILENAME=libtcl8.6.so
//   LIBPATH=/usr/share/tcltk/tcl8.6
#include <QByteArray>
#include <QString>

struct TTclConfig {
    QString DllFileName; // a bare name is left to the loader's search unless the program's folder
                         // has it
    QString LibPath;     // forward slashes; may be empty
};

inline constexpr const char* DefaultTclLibrary = "libtcl8.6.so";

// `text` is the file's content (Windows-1252); a missing file reads as empty.
TTclConfig ParseTclConfig(const QByteArray& text, const QString& programDir);
TTclConfig ReadTclConfig(const QString& programDir);
