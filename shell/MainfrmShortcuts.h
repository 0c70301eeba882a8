#pragma once
// The main window's file shortcuts: the Shortcuts menu, the posted request and
// running a shortcut's file. Pieces of other windows (the preferences, the
// input text window, the suggestion window, the script's wish to keep the
// main window) plug in through the functions below as they arrive.
#include "shell/FileShortcuts.h"

#include <QObject>
#include <cstdint>
#include <functional>

class TMainForm;
class QAction;

class TMainShortcuts : public QObject {
    Q_OBJECT
public:
    explicit TMainShortcuts(TMainForm* form);

    // The window's file shortcuts as the settings hold them now.
    TFileShortcutList List() const;
    // After the settings load and after the preferences dialog.
    void RebuildShortcutsMenu();
    // A file shortcut was pressed: wParam the code, lParam 1 from the menu,
    // 0 from the hook.
    intptr_t FileShortcutMessage(uintptr_t wParam, intptr_t lParam);
    // True when a program or script was started.
    bool RunFileShortcut(uint16_t code);
    // Set while a file shortcut runs its file.
    bool Running() const { return running_; }

    // Opens the preferences at their file shortcuts page; "Edit..." is
    // disabled while unset.
    std::function<void()> EditShortcuts;
    std::function<void()> ShowSuggestionsIfWanted;
    std::function<bool()> InputTextWindowOpen;
    std::function<void()> FocusInputTextWindow;
    // The script that just ran asked for the main window to stay.
    std::function<bool()> ScriptWantsMainWindow;

    // Unset, the window's Tcl host, the desktop and a message box serve;
    // tests replace them.
    std::function<bool(const QString& file, QByteArray& errorInfo)> RunTclFile;
    std::function<bool(const QString& file, const QString& params)> OpenDocument;
    std::function<bool(const QString& program, const QStringList& args)> StartProgram;
    std::function<void(const QString& text)> ShowInformation;

    QAction* Edit1 = nullptr;

private:
    TMainForm* form_;
    bool running_ = false;
};
