#include "script/gui/TclConsole.h"

#include "script/gui/InputTclDialog.h"
#include "shell/Mainfrm.h"

void RunTclScriptConsole(TMainForm& form) {
    const bool shown = form.isVisible() && !form.isMinimized();
    if (shown) form.hide();
    {
        TInputTclTagDlg console(form.Tcl.get(), form.IniPath());
        console.SetConsoleMode();
        console.exec();
    }
    if (shown) {
        form.showNormal();
        form.raise();
        form.activateWindow();
    }
    form.RefreshGrid(form.CurrentRow());
}
