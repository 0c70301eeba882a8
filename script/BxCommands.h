#pragma once
// The Tcl commands through which scripts drive the main window and its
// dictionaries: bx_window, bx_file and bx_list.
#include <QObject>
#include <QTimer>
#include <functional>

class TScriptHost;
class TTclInterface;
class TBxCommandState;

// Registers bx_list, bx_window and bx_file (in that order). Call before
// TTclInterface::Create so that the start-up script can use them. The
// state returned lives as long as the interpreter keeps the commands.
TBxCommandState& RegisterWindowFileListCommands(TTclInterface& tcl, TScriptHost& host);

// What the commands keep per main window.
class TBxCommandState : public QObject {
    Q_OBJECT
public:
    explicit TBxCommandState(TScriptHost& host);

    // After a script changed the list: the shortcut index follows at once
    // (keys dispatch through it), the grid when the event loop next runs, so
    // that no row shows one entry while it acts on another.
    void ListChanged();
    // Redisplays the dictionary keeping the current row, and the text box.
    void Refresh();

    // Tells bx_window show whether a file shortcut is running; unset, none is.
    std::function<bool()> FileShortcutRunning;
    // Read (and clear) after running a file shortcut: a script asked for
    // the main window to be shown or hidden, so it is not hidden again.
    bool TakeShowRequest();
    void RequestedShow() { showRequested_ = true; }

private:
    TScriptHost& host_;
    QTimer refresh_;
    bool showRequested_ = false;
};
