#pragma once
// The one Tcl interpreter of the program. Every script (start-up file,
// command line, console, input fields, sessions, remote clients) is evaluated
// here, on the UI thread. Texts cross this class as Windows-1252 bytes and
// are converted to and from Tcl's UTF-8 inside it.
#include "script/ScriptWatchdog.h"
#include "script/TclApi.h"
#include "script/TclConfig.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TTclInterface : public QObject {
    Q_OBJECT
public:
    static constexpr int TclOk = TCL_OK;
    static constexpr int TclError = TCL_ERROR;

    // A command procedure: argv[0] is the command's name; the return value is a
    // Tcl code (TclOk, TclError) and `result` the text Tcl copies as the result.
    using TCommand =
        std::function<int(TTclInterface& tcl, const QList<QByteArray>& argv, QByteArray& result)>;
    // Opens a file or starts a program for the "run" command; false when the
    // file cannot be found or started.
    using TShellOpen = std::function<bool(const QString& file, const QStringList& params)>;

    enum class TMessageKind {
        Warning,    // warning box, caption "Brevix"
        Information // information box, caption "Brevix", always on top
    };
    Q_ENUM(TMessageKind)

    explicit TTclInterface(QObject* parent = nullptr);
    ~TTclInterface() override;

    // Loads the library named by INIT.CFG in `programDir`, creates the
    // interpreter, registers the commands and runs the start-up script
    // "Brevixo.tcl" (from `configDir`, else `programDir`). Connect Message
    // first: the warnings of a failed start are emitted from here.
    void Create(const QString& configDir, const QString& programDir);
    void Create(const TTclConfig& config, const QString& configDir, const QString& programDir);
    // The "/SCRIPT=" file: evaluated after the start-up script; a failure is
    // reported through Message.
    void RunCommandLineScript(const QString& fileName);
    void Destroy();

    bool IsLoaded() const { return interp_ != nullptr; }
    // Global-level evaluation; false only for the Tcl error code (and without
    // an interpreter): break, continue and return count as success.
    bool Eval(const QByteArray& script);
    bool EvalFile(const QString& fileName);
    // The string result, line ends as CR LF.
    QByteArray GetResult() const;
    // $errorInfo (the result when Tcl left none), or LoadError without an interpreter.
    QByteArray GetErrorInfo();
    // How a failed script is shown everywhere: result, "STACK TRACE:", errorInfo.
    QByteArray GetFailureText();

    bool IsBusy() const { return busyCount_ > 0; }
    int BusyCount() const { return busyCount_; }
    // Posted by the main window as a script starts and ends: a running close
    // command keeps the count raised so that closing is not confirmed.
    void BusyUp();
    void BusyDown();
    // What Tcl's "exit" does here: ExitRequested once the event loop runs
    // again, the busy count raised until then and while it is handled (so
    // that a close it starts is not confirmed). Tcl's own "exit" would end
    // the process at once, with nothing saved.
    void RequestExit();

    // Registers a command. Before Create the command is kept and registered
    // at creation, in call order after "run", "Tcl_Init" and "exit", so that the
    // start-up script can use it. A second call with the same name replaces
    // the handler. False only when the interpreter refuses.
    bool CreateCommand(const QByteArray& name, TCommand handler);

    // Helpers for command procedures (texts in Windows-1252).
    // False with Tcl's message in *error when `list` is not a valid Tcl list.
    bool SplitList(const QByteArray& list, QList<QByteArray>* items, QByteArray* error = nullptr);
    QByteArray Merge(const QList<QByteArray>& items) const;
    bool SetVar(const QByteArray& name, const QByteArray& value);
    // Empty when the variable does not exist.
    QByteArray GetVar(const QByteArray& name) const;

    // An information box (through Message).
    void Inform(const QString& text);

    void SetShellOpen(TShellOpen open) { shellOpen_ = std::move(open); }

    // Seconds a script may keep the program from answering before it is
    // cancelled with an error saying so (0: never). Needs Tcl 8.6; set it
    // before Create so that the start-up script is watched too.
    void SetTimeLimit(int seconds);
    int TimeLimit() const { return timeLimit_; }
    bool CanCancel() const { return watchdog_ != nullptr; }
    // False when `script` ends inside braces, brackets or quotes (so more of
    // it is to come); true when the library cannot tell.
    bool CommandComplete(const QByteArray& script) const;

    QString DllFileName() const { return dllFileName_; }
    QString LibPath() const { return libPath_; }
    // "*** ERROR: Could not load <library>" after a failed load, else empty.
    QString LoadError() const { return loadError_; }
    // Why the load failed (loader message or missing entry point), for diagnostics.
    QString LoadDetail() const { return loadDetail_; }

signals:
    void Message(TTclInterface::TMessageKind kind, const QString& caption, const QString& text);
    void BusyChanged(int busyCount);
    // A script asked the program to end.
    void ExitRequested();

private:
    struct TCommandSlot {
        TTclInterface* Owner;
        QByteArray Name;
        TCommand Handler;
    };
    static int Dispatch(ClientData data, Tcl_Interp* interp, int argc, const char* argv[]);

    bool Load(const QString& fileName);
    bool Register(TCommandSlot& slot);
    void RunStartupScript(const QString& configDir, const QString& programDir);
    void WarnOnFailure(const QString& fileName, const QString& heading);
    int Returned(int code);
    int Evaluate(const std::function<int()>& call);
    void StartWatchdog();

    TTclApi api_;
    void* dllHandle_ = nullptr;
    Tcl_Interp* interp_ = nullptr;
    QString dllFileName_;
    QString libPath_;
    QString loadError_;
    QString loadDetail_;
    int busyCount_ = 0;
    int timeLimit_ = 0;
    std::unique_ptr<TScriptWatchdog> watchdog_;
    // A command that clears a cancellation once the script it cancelled has ended.
    Tcl_Obj* resetCommand_ = nullptr;
    std::vector<std::unique_ptr<TCommandSlot>> commands_;
    TShellOpen shellOpen_;
};
