#include "shell/Application.h"
#include "platform/Errors.h"
#include "platform/MessageBox.h"
#include "script/ScriptWatchdog.h"
#include "shell/ErrorLog.h"
#include "shell/ErrorReportWindow.h"
#include "shell/Mainfrm.h"

#include <QDialog>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    // A running script would keep the request below from ever being read.
    TScriptWatchdog::RequestTermination();
    const char c = 1;
    [[maybe_unused]] auto n = ::write(gSignalPipe[1], &c, 1);
}
} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Brevix 10"));
    setOrganizationName(QStringLiteral("Brevix"));
    setQuitOnLastWindowClosed(false);
    InstallSignalHandlers();
    TErrorReportDlg::Install();
}

void TApplication::InstallSignalHandlers() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char c;
        [[maybe_unused]] auto n = ::read(gSignalPipe[0], &c, 1);
        TScriptWatchdog::TerminationHandled();
        if (mainForm_) {
            mainForm_->SessionEndClose();
        } else {
            // quit() would be lost: no event loop of ours runs yet.
            quitRequested_ = true;
            EndStartupDialogs();
        }
    });
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

void TApplication::EndStartupDialogs() {
    if (auto* dialog = qobject_cast<QDialog*>(activeModalWidget())) dialog->reject();
}

void TApplication::ShowException(const QString& message, bool unexpected) {
    const bool wasVisible = mainForm_ && mainForm_->Initialised && mainForm_->isVisible();
    if (wasVisible) mainForm_->hide();
    if (unexpected)
        TErrorReportDlg::OfferReport(nullptr, message);
    else
        TMessageBox::Error(nullptr, QStringLiteral("Brevix"), message);
    if (wasVisible) {
        mainForm_->show();
        mainForm_->raise();
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    // A dialog that start-up opens after the request to end is cancelled too.
    if (quitRequested_ && !mainForm_ && event->type() == QEvent::Show)
        if (auto* dialog = qobject_cast<QDialog*>(receiver))
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort&) {
    } catch (const EBrevix& e) {
        ShowException(e.Message());
    } catch (const std::exception& e) {
        // Not one of the program's own messages: a fault worth reporting.
        const QString message = QString::fromLocal8Bit(e.what());
        QString context = DescribeEvent(receiver, event);
        if (const QString focus = TErrorReportDlg::FocusContext(); !focus.isEmpty())
            context += QStringLiteral("; ") + focus;
        TErrorLog::Instance().Add(TErrorKind::Exception, message, context);
        ShowException(message, true);
    }
    return false;
}
