// Keys typed in any window of the program are never expanded: a dialog of
// ours taking the keyboard keeps the hook suspended, as the main window does.
#include "hook/HookApi.h"
#include "shell/Mainfrm.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

class TActivationTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<TMainForm> StartShown() { return StartShownForm(dir.path()); }

private slots:
    void dialogOfOursKeepsKeysUnwatched() {
        auto form = StartShown();
        QTRY_VERIFY(form->StartupDone);
        QTRY_VERIFY(form->isActiveWindow());

        // The main window gives the activation to a dialog of ours.
        QDialog dialog(form.get());
        dialog.show();
        dialog.activateWindow();
        QTRY_VERIFY(dialog.isActiveWindow());
        QTRY_VERIFY(!form->isActiveWindow());
        QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));

        dialog.close();
        form->SessionEndClose();
    }

    void comingBackEnablesTheMenusListAndTextBox() {
        auto form = StartShown();
        QTRY_VERIFY(form->StartupDone);
        QTRY_VERIFY(form->isActiveWindow());
        // Left disabled while the program was in the background.
        QWindow other;
        other.resize(50, 50);
        other.show();
        other.requestActivate();
        QTRY_VERIFY(QApplication::activeWindow() == nullptr);
        form->menuBar()->setEnabled(false);
        form->Grid->setEnabled(false);
        form->Memo1->setEnabled(false);
        QTest::qWait(50);
        QVERIFY(!form->Grid->isEnabled());

        form->activateWindow();
        QTRY_VERIFY(form->isActiveWindow());
        QTRY_VERIFY(form->Grid->isEnabled());
        QVERIFY(form->menuBar()->isEnabled());
        QVERIFY(form->Memo1->isEnabled());
        QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
        form->SessionEndClose();
    }

    void hiddenByAScriptWatchesKeysAgain() {
        auto form = StartShown();
        QTRY_VERIFY(form->StartupDone);
        form->hide();
        QTRY_VERIFY(QApplication::activeWindow() == nullptr);
        QTest::qWait(50);
        form->SetFSM(BX_FSM_SUSPENDED); // as a script running from our window left it
        QTest::qWait(50);
        QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
        form->PostMessage(wm::Deactivate);
        QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));
        form->SessionEndClose();
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TActivationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_activation.moc"
