// The main window's Help menu: the about box, the system configuration report,
// the error report and the diagnostic log.
#include "dictionary/Dict.h"
#include "hook/HookApi.h"
#include "platform/MessageBox.h"
#include "script/TclInterface.h"
#include "shell/DiagnosticLogWindow.h"
#include "shell/ErrorReportWindow.h"
#include "shell/Mainfrm.h"
#include "shell/SystemConfigDialog.h"

#include <QFileInfo>
#include <algorithm>

void TMainForm::About1Click() {
    TMessageBox::About(this, QStringLiteral("Brevix"),
                       tr("<b>Brevix 10</b><p>A resident text expander: type a keyword and a "
                          "delimiter in any program and Brevix types its text.</p>"));
}

void TMainForm::AboutFromSuggestionWindow() {
    TrayOpenOptClick();
    About1Click();
    HideBtnClick();
}

QString TMainForm::SystemConfiguration() const {
    TSystemFacts f;
    f.ProgramVersion = QStringLiteral("10.00");
    f.QtVersion = QString::fromLatin1(qVersion());
    if (Tcl && Tcl->IsLoaded() && Tcl->Eval("info patchlevel"))
        f.TclVersion = QString::fromLatin1(Tcl->GetResult());
    if (!HookUnavailable()) f.HookBackend = QString::fromLatin1(BxBackendName());
    QByteArray display(4096, '\0');
    const int n = BxDescribeDisplay(display.data(), static_cast<int>(display.size()));
    f.DisplayReport = QString::fromUtf8(display.left(std::min<int>(n, display.size() - 1)));
    f.ConfigDir = ConfigDir;
    f.Dictionary = Session.FileName();
    f.Entries = Session.Dict().Count();
    f.DictionaryBytes = f.Dictionary.isEmpty() ? 0 : QFileInfo(f.Dictionary).size();
    return SystemReport::Format(f);
}

void TMainForm::SystemConfig1Click() {
    TSystemConfigDlg dlg(SystemConfiguration(), this);
    dlg.exec();
}

void TMainForm::ErrorReport1Click() {
    TErrorReportDlg::ShowReport(this);
}

void TMainForm::DiagnosticLog1Click() {
    auto* dlg = findChild<TDiagnosticLogDlg*>();
    if (!dlg) {
        dlg = new TDiagnosticLogDlg(
            DiagLog, [this](bool on) { Settings.DiagnosticLog = on; }, this);
        // Kept, hidden, when closed: the log goes on filling while it is on.
    }
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
}
