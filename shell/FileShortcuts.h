#pragma once
// File shortcuts: a key that opens a dictionary, runs a Tcl script or opens
// any other file or program. The list, its menu captions and what running
// one does, free of widgets so every rule can be driven by a test double.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct TFileShortcut {
    QString Name;    // the file or command line to open
    QString Caption; // the menu text; empty means built from Name
    uint16_t Code = 0;
};

// The user's file shortcuts in the user's order. Settings keep them as three
// parallel lists; missing captions or codes read as empty and 0.
class TFileShortcutList {
public:
    static TFileShortcutList FromLists(const QStringList& names, const QStringList& captions,
                                       const std::vector<uint16_t>& codes);
    void ToLists(QStringList& names, QStringList& captions, std::vector<uint16_t>& codes) const;

    // First match in list order; -1 for code 0 or a code not in the list.
    int IndexOfCode(uint16_t code) const;

    QList<TFileShortcut> Items;
};

// A file text split at its first blank outside double quotes.
struct TSplitCommand {
    QString File;   // the first part, double quotes removed
    QString Params; // everything after that blank
};
TSplitCommand SplitFileCommand(const QString& text);

// The part after the last folder separator; both '/' and '\' separate, so
// names written for another desktop still show their file name.
QString FileNameWithoutFolder(const QString& path);

// The menu caption: the trimmed caption, else the file name of the text
// before the first blank immediately followed by the text after it.
QString ShortcutMenuCaption(const QString& name, const QString& caption);

// A description left empty: the file name of the text up to its first blank.
QString DefaultShortcutDescription(const QString& fileText);

// What running a file shortcut needs from the program and the desktop.
class TFileShortcutActions {
public:
    virtual ~TFileShortcutActions() = default;
    // Opens the dictionary, or switches to it when it is open already.
    virtual void OpenDictionary(const QString& fullPath) = 0;
    // Runs a Tcl file; on failure errorInfo holds the interpreter's trace.
    virtual bool RunTclFile(const QString& file, QByteArray& errorInfo) = 0;
    // Hands a document to the desktop; false when it cannot be opened.
    virtual bool OpenDocument(const QString& file, const QString& params) = 0;
    // Starts a program; false when it does not start.
    virtual bool StartProgram(const QString& program, const QStringList& args) = 0;
    virtual void ShowInformation(const QString& text) = 0;
    virtual void ShowError(const QString& text) = 0;
    // The program a file names (as given with a folder, else found on PATH);
    // empty when it is no executable program.
    virtual QString FindProgram(const QString& file) const;
};

// Runs the shortcut with this code; true when a program or script was
// started. Failures are shown through the actions and change nothing else.
bool RunFileShortcut(const TFileShortcutList& list, uint16_t code, TFileShortcutActions& actions);

// The desktop's way: programs start detached, documents go to xdg-open.
bool DesktopOpenDocument(const QString& file);
bool DesktopStartProgram(const QString& program, const QStringList& args);
