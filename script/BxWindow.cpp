// bx_window: the main window and the program's folders.
#include "platform/Ansi.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/BxCommands.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QWidget>

using namespace BxArgs;

namespace {

constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;

QByteArray Number(qulonglong n) {
    return QByteArray::number(n);
}

QByteArray Path(const QString& path) {
    return Ansi::FromUnicode(QDir::fromNativeSeparators(path));
}

bool Shown(const TScriptHost& host) {
    return host.IsVisible() && !host.IsMinimized();
}

void Activate(TScriptHost& host) {
    if (host.IsMinimized()) host.ShowNormal();
    host.Activate();
}

void Show(TScriptHost& host) {
    host.ShowNormal();
    host.FocusKeywordBox();
    host.Activate();
    host.SetFSM(BX_FSM_SUSPENDED);
}

void Hide(TScriptHost& host) {
    if (host.IsMinimized()) return;
    // Pressed after the script returns, as a user's click would be.
    host.PressHideLater();
    host.PostMessage(wm::Deactivate);
}

void Pause(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (clock.elapsed() >= milliseconds) return;
        QThread::msleep(1);
    }
}

// Closes the program from inside a script: the raised busy count keeps the
// close from asking for confirmation, and is lowered once the close has run.
void Exit(TBxContext& ctx) {
    ctx.Tcl.BusyUp();
    QPointer<TTclInterface> tcl(&ctx.Tcl);
    ctx.Host.CloseLater();
    QMetaObject::invokeMethod(
        &ctx.Tcl,
        [tcl] {
            if (tcl) tcl->BusyDown();
        },
        Qt::QueuedConnection);
}

} // namespace

int BxWindowCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TScriptHost& host = ctx.Host;
    if (argv.size() < 2) {
        result = WrongArgs(argv.value(0) + " option arg ?arg ...?");
        return Error;
    }
    const QByteArray& option = argv[1];
    const auto noArgs = [&](const QByteArray& command) {
        if (argv.size() <= 2) return false;
        result = NoArgs(command);
        return true;
    };

    if (option == "refresh") {
        ctx.State.Refresh();
        return Ok;
    }
    if (option == "handle" || option == "main_handle") {
        // The main window stands for the application window as well.
        result = Number(host.Handle());
        return Ok;
    }
    if (option == "active_handle") {
        QWidget* active = QApplication::activeModalWidget();
        if (!active) active = QApplication::activeWindow();
        result = Number(active ? active->winId() : host.Handle());
        return Ok;
    }
    if (option == "activate") {
        Activate(host);
        return Ok;
    }
    if (option == "show") {
        if (argv.size() > 3) {
            result = WrongArgs("bx_window show ?1|0?");
            return Error;
        }
        if (argv.size() == 2) {
            result = Shown(host) ? "1" : "0";
            return Ok;
        }
        const std::optional<int> on = ParseInt(argv[2]);
        if (!on) {
            result = "bad value \"" + argv[2] + "\": must be either \"1\" (show) or \"0\" (hide)";
            return Error;
        }
        try {
            if (*on)
                Show(host);
            else
                Hide(host);
        } catch (...) {
        }
        if (ctx.State.FileShortcutRunning && ctx.State.FileShortcutRunning())
            ctx.State.RequestedShow();
        result = *on ? "1" : "0";
        return Ok;
    }
    if (option == "exename") {
        if (noArgs("bx_window exename")) return Error;
        result = Path(QCoreApplication::applicationFilePath());
        return Ok;
    }
    if (option == "exedir") {
        if (noArgs("bx_window exedir")) return Error;
        result = Path(QCoreApplication::applicationDirPath());
        return Ok;
    }
    if (option == "cfgdir") {
        if (noArgs("bx_file cfgdir")) return Error;
        result = Path(host.ConfigDir());
        return Ok;
    }
    if (option == "pause") {
        if (argv.size() > 3) {
            result = WrongArgs("bx_window pause ?milliseconds?");
            return Error;
        }
        int milliseconds = 1;
        if (argv.size() == 3) {
            const std::optional<int> n = ParseInt(argv[2]);
            if (!n || *n <= 0) {
                result = "bad value \"" + argv[2] + "\": must be a number greater than 0";
                return Error;
            }
            milliseconds = *n;
        }
        Pause(milliseconds);
        return Ok;
    }
    if (option == "exit") {
        if (noArgs("bx_file exit")) return Error;
        Exit(ctx);
        return Ok;
    }
    result = BadOption(option, "cfgdir, exename, exedir, exit, handle, pause, refresh or show ");
    return Error;
}
