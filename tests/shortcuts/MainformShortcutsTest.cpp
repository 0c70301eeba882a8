// The main window's file shortcuts: the Shortcuts menu from the settings and
// message 0x4C8 with each kind of target, offscreen on the virtual desktop.
#include "hook/HookApi.h"
#include "script/TclInterface.h"
#include "shell/MainfrmShortcuts.h"
#include "shell/NextKeyDialog.h"
#include "tests/shell/OffscreenDesktop.h"
#include "typing/TypingController.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

class TMainformShortcutsTest : public QObject, TFormHarness {
    Q_OBJECT
    TMainShortcuts* sc = nullptr;
    QStringList infos, log;

    void StartWith(const QByteArray& shortcuts) {
        Start(QByteArray(QuietIni) + "[FileShortcuts]\r\n" + shortcuts);
        sc = Form->FileShortcuts;
        sc->ShowInformation = [this](const QString& msg) { infos << msg; };
        sc->ShowSuggestionsIfWanted = [this] { log << QStringLiteral("suggest"); };
        sc->RunTclFile = [this](const QString& file, QByteArray&) {
            log << file;
            return true;
        };
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
        sc->RebuildShortcutsMenu();
    }

    bool Shown() const { return Form->isVisible() && !Form->isMinimized(); }

private slots:
    void init() {
        Reset();
        infos.clear();
        log.clear();
        // An empty start-up script keeps the interpreter quiet.
        QVERIFY(WriteFile(P("Brevixo.tcl"), {}));
        MakeDictionary(P("one.bxd"), {});
        MakeDictionary(P("two words.bxd"), {});
    }
    void cleanup() {
        Stop();
        sc = nullptr;
    }

    void menuFollowsTheSettings() {
        StartWith("/usr/bin/a=112,\r\n/usr/bin/b=16497,R&D\r\n/usr/bin/dup=112,\r\n");
        const QList<QAction*> a = Form->Shortcuts1->actions();
        QCOMPARE(a.size(), 5);
        QVERIFY(a[0]->isEnabled()); // "Edit...": the preferences at the file shortcuts
        QVERIFY(a[1]->isSeparator());
        QCOMPARE(a[2]->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(a[3]->text().startsWith(QStringLiteral("R&&D\t"))); // no mnemonic from a caption
        QCOMPARE(a[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
        QCOMPARE(a[4]->shortcut(), QKeySequence()); // F1 again: the first one wins

        int edits = 0;
        sc->EditShortcuts = [&] { ++edits; };
        Form->Settings.FileShortcutNames = {QStringLiteral("/x/only.tcl")};
        Form->Settings.FileShortcutCaptions = {QString()};
        Form->Settings.FileShortcutCodes = {0x71};
        // Rebuilt while the menu is open, as the preferences dialog may.
        Form->Shortcuts1->popup(Form->mapToGlobal(QPoint(40, 40)));
        QTRY_VERIFY(Form->Shortcuts1->isVisible());
        sc->RebuildShortcutsMenu();
        Form->Shortcuts1->hide();
        const QList<QAction*> b = Form->Shortcuts1->actions();
        QCOMPARE(b.size(), 3);
        QCOMPARE(b[0], a[0]); // the first two items stay
        QVERIFY(b[0]->isEnabled());
        b[0]->trigger();
        QCOMPARE(edits, 1);
        QCOMPARE(b[2]->shortcut(), QKeySequence(Qt::Key_F2));
    }

    void menuItemRunsFromTheActiveWindow() {
        StartWith("/x/go.tcl=112,\r\n");
        Form->activateWindow();
        QTRY_VERIFY(Form->isActiveWindow());
        Form->Shortcuts1->actions()[2]->trigger();
        QTRY_COMPARE(log, QStringList{QStringLiteral("/x/go.tcl")});
        QVERIFY(Shown()); // run as from the menu: a script from the hook hides the window
    }

    void dictionaryShortcutSwitchesDictionary() {
        StartWith("\"" + P("two words.bxd").toUtf8() + "\"=112,\r\n" + P("one.bxd").toUtf8() +
                  "=113,\r\n");
        for (uint16_t code : {0x70, 0x71, 0x70}) {
            sc->FileShortcutMessage(code, 1);
            QCOMPARE(Form->Session.FileName(), P(code == 0x70 ? "two words.bxd" : "one.bxd"));
        }
        QVERIFY(Errors.isEmpty());
        QVERIFY(log.isEmpty()); // nothing was started
        QVERIFY(Shown());
    }

    void tclRunsInTheWindowsInterpreter() {
        QVERIFY(WriteFile(P("ok.tcl"), "set ::ranFromShortcut 1\n"));
        QVERIFY(WriteFile(P("bad.tcl"), "proc inner {} { error {boom here} }\ninner\n"));
        StartWith(P("ok.tcl").toUtf8() + "=112,\r\n" + P("bad.tcl").toUtf8() + "=113,\r\n");
        if (!Form->Tcl || !Form->Tcl->IsLoaded()) QSKIP("no Tcl library on this machine");
        sc->RunTclFile = nullptr;
        QVERIFY(sc->RunFileShortcut(0x70));
        QCOMPARE(Form->Tcl->GetVar("::ranFromShortcut"), QByteArray("1"));
        QVERIFY(infos.isEmpty());

        QVERIFY(!sc->RunFileShortcut(0x71));
        QCOMPARE(infos.size(), 1);
        QVERIFY(infos[0].contains(P("bad.tcl")));
        QVERIFY(infos[0].contains(QStringLiteral("boom here")));
        QVERIFY(infos[0].contains(QStringLiteral("inner"))); // the trace, not only the result
        QVERIFY(!sc->RunFileShortcut(0x72));                 // not in the list
        QCOMPARE(infos.size(), 1);

        // Without an interpreter the user is told, nothing crashes.
        Form->Tcl.reset();
        QVERIFY(!sc->RunFileShortcut(0x70));
        QCOMPARE(infos.size(), 2);
        QVERIFY(infos[1].contains(P("ok.tcl")));
    }

    void startedScriptHidesOrShowsTheWindow() {
        StartWith("/x/go.tcl=112,\r\n");
        bool runningSeen = false;
        sc->RunTclFile = [&](const QString& file, QByteArray&) {
            runningSeen = sc->Running();
            log << file;
            return true;
        };
        // From the menu: the window is shown, the typing target forgotten.
        Form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 1);
        QVERIFY(runningSeen);
        QVERIFY(!sc->Running());
        QCOMPARE(Form->Typing->TargetWindow, BxHwnd(0));
        QVERIFY(Shown());

        // From the hook, while the script asks for the window: it stays.
        bool wantsMain = true;
        sc->ScriptWantsMainWindow = [&] { return wantsMain; };
        sc->FileShortcutMessage(0x70, 0);
        QVERIFY(Shown());

        // From the hook: hidden again.
        wantsMain = false;
        Form->activateWindow();
        sc->FileShortcutMessage(0x70, 0);
        QVERIFY(!Shown());

        // Hidden in the tray: stays hidden, suggestions may come back.
        log.clear();
        Form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 0);
        QVERIFY(!Shown());
        QCOMPARE(Form->Typing->TargetWindow, BxHwnd(0));
        QCOMPARE(log, (QStringList{QStringLiteral("/x/go.tcl"), QStringLiteral("suggest")}));

        // With the input text window open the focus goes back to it.
        Form->TrayOpenOptClick();
        int inputFocus = 0;
        sc->InputTextWindowOpen = [] { return true; };
        sc->FocusInputTextWindow = [&] { ++inputFocus; };
        Form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 0);
        QCOMPARE(inputFocus, 1);
        QVERIFY(Shown());
        QCOMPARE(Form->Typing->TargetWindow, BxHwnd(77)); // the target is kept
    }

    void documentsAndLaunchFailures() {
        StartWith("/tmp/report.pdf=112,\r\n/no where/x.doc=113,\r\n/no/such/file.pdf=114,\r\n");
        QStringList opened;
        sc->OpenDocument = [&](const QString& f, const QString& params) {
            opened << f + u'|' + params;
            return f == QStringLiteral("/tmp/report.pdf");
        };
        QVERIFY(sc->RunFileShortcut(0x70));
        QCOMPARE(opened, QStringList{QStringLiteral("/tmp/report.pdf|")});
        // An unquoted name with a space: the error, and the hint to quote it.
        QVERIFY(!sc->RunFileShortcut(0x71));
        QCOMPARE(Errors.size(), 1);
        QCOMPARE(infos.size(), 1);

        // Nothing started: the window and the typing target are left alone.
        Form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x72, 0);
        QCOMPARE(Errors.size(), 2);
        QVERIFY(Shown());
        QCOMPARE(Form->Typing->TargetWindow, BxHwnd(77));
    }

    void nextKeyCaptureSurvivesTheWindowLosingFocus() {
        StartWith({});
        Form->activateWindow();
        QTRY_VERIFY(Form->isActiveWindow());
        // Keys are typed once the capture state is back after the main
        // window's deactivation; should it never come back, the guard closes
        // the dialog and no key is captured.
        QTimer driver, guard;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* dlg = qobject_cast<TNextKeyDlg*>(QApplication::activeModalWidget());
            if (!dlg || !dlg->isActiveWindow() || GetFSMState() != BX_FSM_NEXTKEY) return;
            driver.stop();
            BxVirtualKey(0x41, 0);
            BxVirtualKey(0x4046, 1); // Ctrl+F
            BxVirtualKey(0x4046, 0);
        });
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* dlg = QApplication::activeModalWidget()) dlg->close();
        });
        driver.start(10);
        guard.start(10000);
        QCOMPARE(NextKeyDialog(Form.get()), uint16_t(0x4046));
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainformShortcutsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainformShortcutsTest.moc"
