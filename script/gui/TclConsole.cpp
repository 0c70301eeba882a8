#include "script/gui/TclConsole.h"

#include "script/ScriptHost.h"
#include "script/gui/InputTclDialog.h"

void RunTclScriptConsole(TScriptHost& host, TTclInterface* tcl) {
    const bool shown = host.IsVisible() && !host.IsMinimized();
    if (shown) host.Hide();
    host.SetSuggestionWanted(false);
    {
        TInputTclTagDlg console(tcl, host.IniPath());
        console.SetConsoleMode();
        console.exec();
    }
    if (shown) {
        host.ShowNormal();
        host.Activate();
    }
    host.RefreshGrid(host.CurrentRow());
    host.SetSuggestionWanted(true);
}
