#pragma once
// What the script commands (bx_window, bx_file, bx_list) and the "Run Tcl
// Script" console may do to the main window: its dictionary session and
// grid, the File menu's operations, and the window itself. The shell
// implements it; the script layer never sees the window's class.
#include "hook/HookApi.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

class TDictionarySession;
class TScriptServer;
class TInputBoxHost;

class TScriptHost {
public:
    virtual ~TScriptHost() = default;

    virtual TDictionarySession& Session() = 0;
    virtual uint16_t ProgramHotKey() const = 0;
    // A dictionary tab is open: entries can be added only then.
    virtual bool HasDictionaryTab() const = 0;
    virtual int CurrentRow() const = 0;
    // Redisplays the dictionary showing row (the text box included).
    virtual void RefreshGrid(int row) = 0;

    // The File menu's operations, with their questions; each may throw
    // EBrevix, and EAbort when the user cancels.
    virtual bool SaveIfModified() = 0;
    virtual bool OpenDictionary(const QString& path) = 0;
    virtual void CreateDictionary(const QString& path) = 0;
    virtual void Save() = 0;
    virtual void SaveAs(const QString& path) = 0;
    virtual void CloseDictionary() = 0;

    virtual BxHwnd Handle() const = 0;
    virtual bool IsVisible() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual void ShowNormal() = 0;
    virtual void Hide() = 0;
    // Raised and given the focus.
    virtual void Activate() = 0;
    virtual void FocusKeywordBox() = 0;
    // The Hide button, pressed once the event loop runs again.
    virtual void PressHideLater() = 0;
    // Closed, with the usual questions, once the event loop runs again.
    virtual void CloseLater() = 0;
    virtual void PostMessage(uint32_t msg) = 0;
    virtual void SetFSM(int state) = 0;
    // Off while a script console is open: the suggestion window goes away and comes back after.
    virtual void SetSuggestionWanted(bool on) = 0;

    // What bx_set switches and reads. Texts are Windows-1252, lines ending in CR LF.
    virtual bool AutoReplaceOn() const = 0;
    // As a click on the auto-replace check box.
    virtual void SetAutoReplace(bool on) = 0;
    virtual bool LinksOn() const = 0;
    virtual void SetLinks(bool on) = 0;
    virtual bool SuggestionWindowOn() const = 0;
    // "AutoReplaceAlwaysShow", in memory only.
    virtual void SetSuggestionWindow(bool on) = 0;
    // Empty unless the command line named a target process.
    virtual std::optional<uint32_t> TargetProcess() const = 0;
    virtual void SetTargetProcess(uint32_t id) = 0;
    virtual BxHwnd TargetForeground() const = 0;
    // The keyword auto-replace recognised last.
    virtual QByteArray KeywordTyped() const = 0;
    // done: the script run after a text was typed, else the one run before.
    virtual QByteArray TransferScript(bool done) const = 0;
    virtual void SetTransferScript(bool done, const QByteArray& script) = 0;
    virtual QByteArray TextToType() const = 0;
    virtual void SetTextToType(const QByteArray& text) = 0;
    virtual QByteArray LastTypedText() const = 0;

    // The script port's server; null when the command line opened none.
    virtual const TScriptServer* ScriptServer() const = 0;

    // The input boxes of bx_input; null where none can be shown.
    virtual TInputBoxHost* InputBoxes() { return nullptr; }

    virtual QString ConfigDir() const = 0;
    virtual QString IniPath() const = 0;

    // "bx_debug msg": a line for the diagnostic log, or none to clear it.
    // Ignored while the user keeps the log off.
    virtual void DiagnosticMessage(const std::optional<QString>& text) { (void)text; }
};
