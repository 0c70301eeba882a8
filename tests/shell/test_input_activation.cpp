// While an input form is open the hook's state follows the form: keys are
// watched in the answer box and the input text window, so entries expand into
// them; leaving the program suspends it and coming back returns to the form in
// the state it had; the Hide button gives the keyboard back to the form.
#include "hook/HookApi.h"
#include "shell/Mainfrm.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputMemoDlg.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <functional>

class TInputActivationTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<TMainForm> StartShown() { return StartShownForm(dir.path()); }

    // The text goes to the input text window; steps run on its field form
    // while the form waits for the first answer (inside the form's own loop),
    // and the field is cancelled when they leave it undecided. False when no
    // form asked.
    bool WhenAsked(TMainForm& form, const QByteArray& text,
                   std::function<void(TInputFieldForm&)> steps) {
        form.TypeText(text);
        TInputMemoDlg* dlg = TInputMemoDlg::Instance();
        if (!dlg) return false;
        bool asked = false, finished = false;
        dlg->Process().OnFormMade = [&](TInputFieldForm& f) {
            connect(&f, &TInputFieldForm::WaitStarted, &f, [&, field = &f] {
                if (asked) return;
                asked = true;
                if (QTest::qWaitFor([&] { return field->isActiveWindow(); }, 5000)) steps(*field);
                if (field->Result() == nav::Undecided) field->SetResult(nav::Cancel);
                finished = true;
            });
        };
        return QTest::qWaitFor([&] { return finished; }, 60000) && asked;
    }

    // Another program takes the keyboard: none of our windows is active.
    static void LeaveProgram(QWindow& other) {
        other.resize(50, 50);
        other.show();
        other.requestActivate();
    }

    static void Close(TMainForm& form) {
        bool closed = true;
        if (TInputMemoDlg* dlg = TInputMemoDlg::Instance()) {
            QPointer<TInputMemoDlg> alive(dlg);
            if (dlg->isVisible())
                QTest::keyClick(dlg->Memo1, Qt::Key_Escape); // cancels without a question
            closed = QTest::qWaitFor([&] { return !alive; }, 5000);
        }
        form.SessionEndClose();
        QVERIFY2(closed, "the input text window did not close on Escape");
    }

private slots:
    void answerBoxWatchesKeysAndComesBackAfterAnotherProgram() {
        auto form = StartShown();
        QTRY_VERIFY(form->StartupDone);
        QWidget ours;
        ours.show();
        QVERIFY(WhenAsked(*form, "Hi {@INPUT Name?}!", [&](TInputFieldForm& field) {
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));

            QWindow other;
            LeaveProgram(other);
            QTRY_VERIFY(QApplication::activeWindow() == nullptr);
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));

            // Any window of ours coming up hands the keyboard to the form, watched again.
            ours.activateWindow();
            QTRY_VERIFY(field.isActiveWindow());
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));

            // A question over the form does not watch keys; the form again does.
            QDialog question(&field);
            question.show();
            question.activateWindow();
            QTRY_VERIFY(question.isActiveWindow());
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
            question.close();
            field.activateWindow();
            QTRY_VERIFY(field.isActiveWindow());
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));

            // Hide sends the keyboard back to the form.
            ours.activateWindow();
            QTRY_VERIFY(ours.isActiveWindow());
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
            form->HideBtnClick();
            QTRY_VERIFY(field.isActiveWindow());
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));

            // Leaving from another window of ours (as when the main window goes
            // down before the form comes up) keeps nothing: back at the form,
            // keys are watched as the form wants.
            ours.activateWindow();
            QTRY_VERIFY(ours.isActiveWindow());
            QWindow away;
            LeaveProgram(away);
            QTRY_VERIFY(QApplication::activeWindow() == nullptr);
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
            field.activateWindow();
            QTRY_VERIFY(field.isActiveWindow());
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));

            field.Memo1->setPlainText(QStringLiteral("Ann"));
            field.NextBtn->click();
        }));

        // The review window watches keys whenever it is activated.
        TInputMemoDlg* dlg = TInputMemoDlg::Instance();
        QVERIFY(dlg);
        QTRY_VERIFY(dlg->isVisible() && dlg->isEnabled());
        ours.activateWindow();
        QTRY_VERIFY(ours.isActiveWindow());
        QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
        dlg->activateWindow();
        QTRY_VERIFY(dlg->isActiveWindow());
        QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));
        QWindow other;
        LeaveProgram(other);
        QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
        ours.activateWindow();
        QTRY_VERIFY(dlg->isActiveWindow());
        QTRY_COMPARE(GetFSMState(), int(BX_FSM_WATCHING));

        Close(*form);
    }

    void pickListStaysSuspendedWhenTheUserComesBack() {
        auto form = StartShown();
        QTRY_VERIFY(form->StartupDone);
        QWidget ours;
        ours.show();
        QVERIFY(WhenAsked(*form, "{@INPUT Pick\r\none\r\ntwo}", [&](TInputFieldForm& field) {
            QTRY_COMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
            QWindow other;
            LeaveProgram(other);
            QTRY_VERIFY(QApplication::activeWindow() == nullptr);
            QTest::qWait(50);
            QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
            ours.activateWindow();
            QTRY_VERIFY(field.isActiveWindow());
            QTest::qWait(50);
            QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
        }));
        Close(*form);
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TInputActivationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_input_activation.moc"
