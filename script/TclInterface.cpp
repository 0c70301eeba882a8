#include "script/TclInterface.h"

#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "script/TclRunCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <dlfcn.h>

namespace {

const QString Caption = QStringLiteral("Brevix");

// Tcl speaks UTF-8; Brevix keeps Windows-1252 bytes.
QByteArray ToTcl(const QByteArray& ansi) {
    return Ansi::ToUnicode(ansi).toUtf8();
}
QByteArray FromTcl(const char* utf8) {
    return utf8 ? Ansi::FromUnicode(QString::fromUtf8(utf8)) : QByteArray();
}

} // namespace

TTclInterface::TTclInterface(QObject* parent) : QObject(parent), shellOpen_(DefaultShellOpen) {}

TTclInterface::~TTclInterface() {
    Destroy();
}

void TTclInterface::Create(const QString& configDir, const QString& programDir) {
    Create(ReadTclConfig(programDir), configDir, programDir);
}

void TTclInterface::Create(const TTclConfig& config, const QString& configDir,
                           const QString& programDir) {
    Destroy();
    dllFileName_ = config.DllFileName;
    libPath_ = config.LibPath;
    if (!Load(dllFileName_)) {
        loadError_ = QStringLiteral("*** ERROR: Could not load ") + dllFileName_;
        emit Message(
            TMessageKind::Warning, Caption,
            QStringLiteral("Error opening %1\r\n\r\nYour Tcl scripts will not run correctly.")
                .arg(dllFileName_));
        return;
    }
    interp_ = api_.CreateInterp();
    if (!interp_) {
        loadDetail_ = QStringLiteral("Tcl_CreateInterp failed");
        loadError_ = QStringLiteral("*** ERROR: Could not load ") + dllFileName_;
        return;
    }
    StartWatchdog();
    if (!libPath_.isEmpty()) {
        // Set as a variable rather than evaluated inside quotes, so that "$" or
        // "[" in a folder name stays literal.
        SetVar("tcl_library", Ansi::FromUnicode(libPath_));
        if (api_.Init(interp_) != TCL_OK)
            Inform(QStringLiteral("WARNING: Tcl_Init() failed\r\n") +
                   Ansi::ToUnicode(GetErrorInfo()));
    }

    // Commands registered before creation keep their order after these.
    std::vector<std::unique_ptr<TCommandSlot>> early;
    early.swap(commands_);
    CreateCommand("run", [](TTclInterface& tcl, const QList<QByteArray>& argv, QByteArray& r) {
        return RunCommand(tcl.shellOpen_, argv, r);
    });
    CreateCommand("Tcl_Init", [](TTclInterface& tcl, const QList<QByteArray>& argv, QByteArray& r) {
        if (argv.size() > 1) {
            r = "wrong # of args: should be \"" + argv[0] + "\"";
            return TclError;
        }
        const int code = tcl.api_.Init(tcl.interp_);
        r = FromTcl(tcl.api_.GetStringResult(tcl.interp_));
        return code;
    });
    // Replaces Tcl's own, which is also ::exit and follows a rename.
    CreateCommand("exit", [](TTclInterface& tcl, const QList<QByteArray>& argv, QByteArray& r) {
        if (argv.size() > 2) {
            r = "wrong # args: should be \"exit ?returnCode?\"";
            return TclError;
        }
        tcl.RequestExit();
        return TclOk;
    });
    for (auto& slot : early)
        CreateCommand(slot->Name, std::move(slot->Handler));

    RunStartupScript(configDir, programDir);
}

bool TTclInterface::Load(const QString& fileName) {
    const QByteArray native = QFile::encodeName(fileName);
    // RTLD_NODELETE: Tcl may leave threads or exit handlers behind; the code
    // they run must stay mapped after the handle is closed.
    dllHandle_ = dlopen(native.constData(), RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    if (!dllHandle_) {
        const char* why = dlerror();
        loadDetail_ = why ? QString::fromLocal8Bit(why) : fileName;
        return false;
    }
    if (!api_.Resolve(dllHandle_, fileName, &loadDetail_)) {
        dlclose(dllHandle_);
        dllHandle_ = nullptr;
        return false;
    }
    static bool executableFound = false;
    if (api_.FindExecutable && !executableFound) {
        executableFound = true;
        const QByteArray self = QCoreApplication::instance()
                                    ? QFile::encodeName(QCoreApplication::applicationFilePath())
                                    : QByteArray();
        api_.FindExecutable(self.isEmpty() ? nullptr : self.constData());
    }
    return true;
}

void TTclInterface::RunStartupScript(const QString& configDir, const QString& programDir) {
    const QString name = QStringLiteral("Brevixo.tcl");
    QString file = QDir(configDir).filePath(name);
    if (configDir.isEmpty() || !QFileInfo::exists(file)) file = QDir(programDir).filePath(name);
    // A missing file fails here too and is reported like a faulty one.
    if (!EvalFile(file))
        WarnOnFailure(
            file,
            QStringLiteral("WARNING: Error occurred while executing Brevix Tcl startup file:"));
}

void TTclInterface::RunCommandLineScript(const QString& fileName) {
    if (fileName.isEmpty() || !interp_) return;
    if (!EvalFile(fileName))
        WarnOnFailure(fileName, QStringLiteral("WARNING: Error occurred while executing"));
}

void TTclInterface::WarnOnFailure(const QString& fileName, const QString& heading) {
    Inform(heading + QStringLiteral("\r\n") + QDir::toNativeSeparators(fileName) +
           QStringLiteral("\r\n") + Ansi::ToUnicode(GetErrorInfo()));
}

void TTclInterface::Inform(const QString& text) {
    emit Message(TMessageKind::Information, Caption, text);
}

void TTclInterface::StartWatchdog() {
    if (!api_.CanCancel()) return;
    resetCommand_ = api_.NewStringObj("list", -1);
    Tcl_IncrRefCount(resetCommand_);
    Tcl_Interp* interp = interp_;
    auto cancel = api_.CancelEval;
    // Unwinding, so that no catch inside the script can swallow it.
    watchdog_ = std::make_unique<TScriptWatchdog>(
        [interp, cancel] { cancel(interp, nullptr, nullptr, TCL_CANCEL_UNWIND); });
    watchdog_->SetLimit(timeLimit_);
}

void TTclInterface::SetTimeLimit(int seconds) {
    timeLimit_ = qMax(0, seconds);
    if (watchdog_) watchdog_->SetLimit(timeLimit_);
}

bool TTclInterface::CommandComplete(const QByteArray& script) const {
    if (!api_.CommandComplete) return true;
    return api_.CommandComplete(ToTcl(script).constData()) != 0;
}

void TTclInterface::Destroy() {
    // The watchdog's thread may hold the interpreter: it goes first.
    watchdog_.reset();
    if (resetCommand_) api_.DbDecrRefCount(resetCommand_, __FILE__, __LINE__);
    resetCommand_ = nullptr;
    if (interp_) api_.DeleteInterp(interp_);
    interp_ = nullptr;
    if (dllHandle_) dlclose(dllHandle_);
    dllHandle_ = nullptr;
    api_ = TTclApi();
    // Handlers registered from outside stay: a later Create registers them again.
    std::erase_if(commands_, [](const auto& slot) {
        return slot->Name == "run" || slot->Name == "Tcl_Init" || slot->Name == "exit";
    });
    loadError_.clear();
    loadDetail_.clear();
}

int TTclInterface::Returned(int code) {
    return code == TCL_ERROR ? TCL_ERROR : TCL_OK;
}

int TTclInterface::Evaluate(const std::function<int()>& call) {
    BusyUp();
    if (watchdog_) watchdog_->Enter();
    int code = call();
    if (watchdog_) {
        const TScriptWatchdog::TOutcome outcome = watchdog_->Leave();
        if (outcome.Reason != TScriptWatchdog::TReason::None) {
            // An unwinding cancellation stays on the interpreter until a
            // command is evaluated at the outermost level; it may also have
            // come just after the script ended.
            const QByteArray trace = GetVar("errorInfo");
            if (outcome.Outermost) {
                api_.EvalObjv(interp_, 1, &resetCommand_, TCL_EVAL_GLOBAL);
                api_.ResetResult(interp_); // and the trace of that command
            }
            if (code == TCL_ERROR || outcome.Outermost) {
                const QString why =
                    outcome.Reason == TScriptWatchdog::TReason::Terminating
                        ? QStringLiteral("*** Script cancelled: Brevix is closing")
                        : QStringLiteral("*** Script cancelled: it kept Brevix from answering "
                                         "for more than %1 seconds")
                              .arg(watchdog_->Limit());
                SetVar("errorInfo", Ansi::FromUnicode(why) + "\n" + trace);
                QByteArray utf8 = why.toUtf8();
                api_.SetResult(interp_, utf8.data(), TCL_VOLATILE);
                code = TCL_ERROR;
            }
        }
    }
    BusyDown();
    return code;
}

bool TTclInterface::Eval(const QByteArray& script) {
    if (!interp_) return false;
    const QByteArray utf8 = ToTcl(script);
    const int code = Evaluate([&] { return api_.GlobalEval(interp_, utf8.constData()); });
    return Returned(code) == TCL_OK;
}

bool TTclInterface::EvalFile(const QString& fileName) {
    if (!interp_) return false;
    const QByteArray utf8 = fileName.toUtf8();
    // A file that cannot be read leaves errorInfo alone: no stale trace.
    SetVar("errorInfo", "");
    const int code = Evaluate([&] { return api_.EvalFile(interp_, utf8.constData()); });
    return Returned(code) == TCL_OK;
}

QByteArray TTclInterface::GetResult() const {
    if (!interp_) return {};
    return Ansi::ToCrLf(FromTcl(api_.GetStringResult(interp_)));
}

QByteArray TTclInterface::GetErrorInfo() {
    if (!interp_) return Ansi::FromUnicode(loadError_);
    // Read directly, so that the result survives; some failures (a file that
    // cannot be opened) leave no trace, and then the result says what happened.
    const QByteArray info = GetVar("errorInfo");
    return info.isEmpty() ? GetResult() : Ansi::ToCrLf(info);
}

QByteArray TTclInterface::GetFailureText() {
    const QByteArray result = GetResult();
    return result + "\r\nSTACK TRACE:\r\n" + GetErrorInfo();
}

void TTclInterface::BusyUp() {
    ++busyCount_;
    emit BusyChanged(busyCount_);
}

void TTclInterface::BusyDown() {
    if (busyCount_ <= 0) return;
    --busyCount_;
    emit BusyChanged(busyCount_);
}

void TTclInterface::RequestExit() {
    BusyUp();
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Handling the request may delete this interface.
            QPointer<TTclInterface> self(this);
            emit ExitRequested();
            if (self) BusyDown();
        },
        Qt::QueuedConnection);
}

bool TTclInterface::CreateCommand(const QByteArray& name, TCommand handler) {
    for (auto& slot : commands_)
        if (slot->Name == name) {
            slot->Handler = std::move(handler);
            return !interp_ || Register(*slot);
        }
    commands_.push_back(
        std::make_unique<TCommandSlot>(TCommandSlot{this, name, std::move(handler)}));
    return !interp_ || Register(*commands_.back());
}

bool TTclInterface::Register(TCommandSlot& slot) {
    const QByteArray utf8 = ToTcl(slot.Name);
    return api_.CreateCommand(interp_, utf8.constData(), &TTclInterface::Dispatch, &slot,
                              nullptr) != nullptr;
}

int TTclInterface::Dispatch(ClientData data, Tcl_Interp* interp, int argc, const char* argv[]) {
    auto* slot = static_cast<TCommandSlot*>(data);
    TTclInterface& self = *slot->Owner;
    QList<QByteArray> args;
    args.reserve(argc);
    for (int i = 0; i < argc; ++i)
        args << FromTcl(argv[i]);
    QByteArray result;
    int code = TCL_ERROR;
    // Nothing may unwind through Tcl's C frames.
    try {
        code = slot->Handler ? slot->Handler(self, args, result) : TCL_OK;
    } catch (const EBrevix& e) {
        result = Ansi::FromUnicode(e.Message());
    } catch (const EAbort&) {
        result.clear();
    } catch (const std::exception& e) {
        result = Ansi::FromUnicode(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        result = "*** Uncaught exception occurred";
    }
    QByteArray utf8 = ToTcl(result);
    self.api_.SetResult(interp, utf8.data(), TCL_VOLATILE);
    return code;
}

bool TTclInterface::SplitList(const QByteArray& list, QList<QByteArray>* items, QByteArray* error) {
    if (items) items->clear();
    if (!interp_) {
        if (error) *error = Ansi::FromUnicode(loadError_);
        return false;
    }
    const QByteArray utf8 = ToTcl(list);
    int count = 0;
    const char** elements = nullptr;
    if (api_.SplitList(interp_, utf8.constData(), &count, &elements) != TCL_OK) {
        if (error) *error = GetResult();
        return false;
    }
    if (items)
        for (int i = 0; i < count; ++i)
            *items << FromTcl(elements[i]);
    api_.Free(reinterpret_cast<char*>(elements));
    return true;
}

QByteArray TTclInterface::Merge(const QList<QByteArray>& items) const {
    if (!interp_) return {};
    QList<QByteArray> utf8;
    std::vector<const char*> pointers;
    utf8.reserve(items.size());
    pointers.reserve(items.size());
    for (const QByteArray& item : items)
        utf8 << ToTcl(item);
    for (const QByteArray& item : utf8)
        pointers.push_back(item.constData());
    char* merged = api_.Merge(int(pointers.size()), pointers.data());
    const QByteArray result = FromTcl(merged);
    api_.Free(merged);
    return result;
}

bool TTclInterface::SetVar(const QByteArray& name, const QByteArray& value) {
    if (!interp_) return false;
    const QByteArray n = ToTcl(name), v = ToTcl(value);
    return api_.SetVar(interp_, n.constData(), v.constData(), TCL_GLOBAL_ONLY) != nullptr;
}

QByteArray TTclInterface::GetVar(const QByteArray& name) const {
    if (!interp_) return {};
    const QByteArray n = ToTcl(name);
    const char* value = api_.GetVar(interp_, n.constData(), TCL_GLOBAL_ONLY);
    return value ? FromTcl(value) : QByteArray();
}
