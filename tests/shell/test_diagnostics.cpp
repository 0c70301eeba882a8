// The error report, the Qt message capture, the application's handler for
// unexpected failures, and the diagnostic log behind "bx_debug msg".
#include "platform/MessageBox.h"
#include "script/TclInterface.h"
#include "shell/Application.h"
#include "shell/DiagnosticLog.h"
#include "shell/DiagnosticLogWindow.h"
#include "shell/ErrorLog.h"
#include "shell/ErrorReportWindow.h"
#include "shell/HelpWindow.h"
#include "shell/Mainfrm.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {
// The records of one kind; Qt may add warnings of its own meanwhile.
QList<TErrorRecord> RecordsOf(TErrorKind kind) {
    QList<TErrorRecord> found;
    for (const TErrorRecord& r : TErrorLog::Instance().Records())
        if (r.Kind == kind) found << r;
    return found;
}

// Answers the next message box with the button whose text starts with `button`;
// its text lands in *text.
void AnswerNextBox(const QString& button, QString* text) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, button, text] {
        auto* box = dynamic_cast<TMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *text = box->FullText();
        for (QAbstractButton* b : box->buttons())
            if (b->text().remove(QLatin1Char('&')).startsWith(button)) b->click();
        timer->deleteLater();
    });
    timer->start();
}

// An object whose handler fails the way a fault in the program would.
class TFaulty : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::out_of_range("vector index 7 of 3");
        return QObject::event(e);
    }
};

class Diagnostics : public testing::Test {
protected:
    void SetUp() override { TErrorLog::Instance().Clear(); }
    void TearDown() override {
        if (TErrorReportDlg* report = FindReport()) report->close();
        QCoreApplication::processEvents();
    }
    static TErrorReportDlg* FindReport() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<TErrorReportDlg*>(w); dlg && dlg->isVisible()) return dlg;
        return nullptr;
    }
};
} // namespace

TEST_F(Diagnostics, LogIsBoundedAndRepeatsCountUp) {
    TErrorLog& log = TErrorLog::Instance();
    log.Add(TErrorKind::Warning, QStringLiteral("same"), QStringLiteral("here"));
    log.Add(TErrorKind::Warning, QStringLiteral("same"), QStringLiteral("here"));
    log.Add(TErrorKind::Warning, QString(TErrorLog::MaxMessageLength + 50, QLatin1Char('x')));
    QList<TErrorRecord> records = log.Records();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].Count, 2);
    EXPECT_TRUE(TErrorLog::Summary(records[0]).contains(QStringLiteral("(2 times)")));
    EXPECT_EQ(records[1].Message.size(), TErrorLog::MaxMessageLength);
    for (int i = 0; i < TErrorLog::MaxRecords + 10; ++i)
        log.Add(TErrorKind::Exception, QStringLiteral("error %1").arg(i));
    records = log.Records();
    ASSERT_EQ(records.size(), TErrorLog::MaxRecords);
    EXPECT_EQ(records.last().Message, QStringLiteral("error %1").arg(TErrorLog::MaxRecords + 9));

    const QString report = log.Report();
    EXPECT_TRUE(report.startsWith(QStringLiteral("Brevix 10.00\nQt: ")));
    EXPECT_TRUE(report.contains(QStringLiteral("Errors: %1").arg(TErrorLog::MaxRecords)));
}

TEST_F(Diagnostics, EventContextNeverHoldsWhatWasTyped) {
    QLineEdit edit;
    edit.setObjectName(QStringLiteral("KeywordEdit"));
    QKeyEvent key(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, QStringLiteral("secret"));
    const QString context = DescribeEvent(&edit, &key);
    EXPECT_EQ(context, QStringLiteral("a KeyPress event for QLineEdit \"KeywordEdit\""));
    EXPECT_FALSE(context.contains(QStringLiteral("secret")));
}

TEST_F(Diagnostics, UnexpectedFailureIsRecordedAndOffersTheReport) {
    TFaulty faulty;
    faulty.setObjectName(QStringLiteral("Faulty1"));
    QWidget window;
    window.setObjectName(QStringLiteral("MainForm"));
    auto* edit = new QLineEdit(&window);
    edit->setObjectName(QStringLiteral("KeywordEdit"));
    edit->setText(QStringLiteral("private words"));
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QString said;
    AnswerNextBox(QStringLiteral("Error Report"), &said);
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&faulty, &event); // the application's handler catches it
    EXPECT_TRUE(said.contains(QStringLiteral("vector index 7 of 3")));
    const QList<TErrorRecord> records = RecordsOf(TErrorKind::Exception);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].Context, QStringLiteral("a User event for QObject \"Faulty1\"; "
                                                 "window MainForm, focus KeywordEdit"));
    EXPECT_FALSE(TErrorLog::Instance().Report().contains(QStringLiteral("private words")));

    TErrorReportDlg* report = FindReport();
    ASSERT_TRUE(report) << "the report opens from the box";
    QCoreApplication::processEvents(); // the window follows what was added meanwhile
    const QList<TErrorRecord> all = TErrorLog::Instance().Records();
    EXPECT_EQ(report->ErrorList->count(), all.size());
    int row = 0;
    while (row < all.size() && all[row].Kind != TErrorKind::Exception)
        ++row;
    report->ErrorList->setCurrentRow(row);
    EXPECT_TRUE(report->DetailMemo->toPlainText().contains(QStringLiteral("Faulty1")));
    report->CopyBtn->click();
    EXPECT_EQ(QApplication::clipboard()->text(), TErrorLog::Instance().Report());
    report->ClearBtn->click();
    EXPECT_EQ(report->ErrorList->count(), 0);
    EXPECT_TRUE(TErrorLog::Instance().Records().isEmpty());
}

TEST_F(Diagnostics, QtMessagesAreCapturedAndTheFirstCriticalOffersTheReport) {
    qWarning("a warning from the test");
    QString said;
    AnswerNextBox(QStringLiteral("OK"), &said);
    qCritical("a critical error from the test");
    ASSERT_TRUE(SpinUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.contains(QStringLiteral("a critical error from the test")));
    ASSERT_FALSE(RecordsOf(TErrorKind::Warning).isEmpty());
    EXPECT_EQ(RecordsOf(TErrorKind::Warning)[0].Message, QStringLiteral("a warning from the test"));
    ASSERT_EQ(RecordsOf(TErrorKind::Critical).size(), 1);

    // Only the first critical error of a run interrupts the user.
    qCritical("another critical error");
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(RecordsOf(TErrorKind::Critical).size(), 2);
}

TEST(DiagnosticLog, OffByDefaultBoundedAndOneLinePerMessage) {
    TDiagnosticLog log;
    EXPECT_FALSE(log.Message(QStringLiteral("ignored")));
    EXPECT_TRUE(log.Lines().isEmpty());
    log.SetEnabled(true);
    const QDateTime at(QDate(2026, 12, 7), QTime(9, 8, 7, 6));
    EXPECT_TRUE(log.Message(QStringLiteral("two\r\nlines"), at));
    EXPECT_EQ(log.Lines(), QStringList{QStringLiteral("09:08:07.006 two | lines")});
    log.Message(QString(TDiagnosticLog::MaxLineLength + 1, QLatin1Char('y')), at);
    EXPECT_TRUE(log.Lines().last().endsWith(QStringLiteral("y...")));
    for (int i = 0; i < TDiagnosticLog::MaxLines; ++i)
        log.Message(QString::number(i), at);
    EXPECT_EQ(log.Lines().size(), TDiagnosticLog::MaxLines);
    EXPECT_EQ(log.Dropped(), 2);
    EXPECT_TRUE(log.Message(std::nullopt)); // no text: cleared
    EXPECT_TRUE(log.Lines().isEmpty());
}

TEST(DiagnosticLog, WindowSwitchesShowsCopiesAndClears) {
    TDiagnosticLog log;
    bool setting = false;
    TDiagnosticLogDlg dlg(log, [&](bool on) { setting = on; });
    EXPECT_FALSE(dlg.EnabledCheck->isChecked());
    EXPECT_EQ(THelpWindow::PageFor(&dlg), QStringLiteral("settings.html#diagnostics")); // F1
    log.Message(QStringLiteral("while off"));
    EXPECT_TRUE(dlg.LogMemo->toPlainText().isEmpty());
    dlg.EnabledCheck->click();
    EXPECT_TRUE(setting);
    EXPECT_TRUE(log.Enabled());
    log.Message(QStringLiteral("first"));
    log.Message(QStringLiteral("second"));
    EXPECT_EQ(dlg.LogMemo->document()->blockCount(), 2);
    EXPECT_TRUE(dlg.LogMemo->toPlainText().endsWith(QStringLiteral(" second")));
    dlg.CopyBtn->click();
    EXPECT_EQ(QApplication::clipboard()->text(), log.Text());
    dlg.ClearBtn->click();
    EXPECT_TRUE(dlg.LogMemo->toPlainText().isEmpty());
    EXPECT_FALSE(dlg.ClearBtn->isEnabled());
    if (const QString screens = qEnvironmentVariable("BREVIX_SCREENS"); !screens.isEmpty()) {
        log.Message(QStringLiteral("bx_debug msg wrote this"));
        dlg.show();
        dlg.grab().save(screens + QStringLiteral("/diagnostic_log.png"));
        TErrorLog::Instance().Add(TErrorKind::Exception, QStringLiteral("vector index 7 of 3"),
                                  QStringLiteral("a User event for QObject \"Faulty1\""));
        TErrorReportDlg* report = TErrorReportDlg::ShowReport();
        report->grab().save(screens + QStringLiteral("/error_report.png"));
        report->close();
    }
}

class DiagnosticScripts : public testing::Test, public TFormHarness {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFile(P("Brevixo.tcl"), {}));
        Start(QByteArray(QuietIni) + "DiagnosticLog=1\r\n");
        ASSERT_TRUE(Form->Tcl && Form->Tcl->IsLoaded()) << "the Tcl library must be installed";
    }
    void TearDown() override { Stop(); }
    void Eval(const QByteArray& script) {
        EXPECT_TRUE(Form->Tcl->Eval(script)) << script.constData();
        EXPECT_EQ(Form->Tcl->GetResult(), "") << script.constData();
    }
};

TEST_F(DiagnosticScripts, BxDebugMsgWritesAndClearsOnlyWhileOn) {
    EXPECT_TRUE(Form->DiagLog.Enabled()) << "the setting is read";
    Eval("bx_debug msg {caf\xe9 opened}"); // scripts' texts are Windows-1252
    ASSERT_EQ(Form->DiagLog.Lines().size(), 1);
    EXPECT_TRUE(Form->DiagLog.Lines()[0].endsWith(QStringLiteral(" café opened")));
    Eval("bx_debug msg");
    EXPECT_TRUE(Form->DiagLog.Lines().isEmpty());

    Form->DiagnosticLog1Click();
    auto* dlg = Form->findChild<TDiagnosticLogDlg*>();
    ASSERT_TRUE(dlg && dlg->isVisible());
    Eval("bx_debug msg shown");
    EXPECT_TRUE(dlg->LogMemo->toPlainText().endsWith(QStringLiteral(" shown")));
    dlg->EnabledCheck->click(); // off
    EXPECT_FALSE(Form->Settings.DiagnosticLog);
    Eval("bx_debug msg {not kept}");
    Eval("bx_debug msg");
    EXPECT_EQ(Form->DiagLog.Lines().size(), 1) << "off: neither added nor cleared";
}

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    TApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
