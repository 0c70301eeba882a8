// The main window's file shortcuts: the Shortcuts menu from the settings and
// message 0x4C8 with each kind of target, offscreen on the virtual desktop.
#include "dictionary/Dict.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"
#include "shell/MainfrmShortcuts.h"
#include "shell/NextKeyDialog.h"
#include "typing/HookClient.h"
#include "typing/TypingController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

class TMainformShortcutsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    TMainShortcuts* sc = nullptr;
    QStringList errors, infos, log;
    QList<std::pair<uintptr_t, intptr_t>> posted; // 0x4C8 messages seen

    QString P(const QString& name) const { return dir.filePath(name); }

    void Start(const QByteArray& shortcuts) {
        QFile f(P(QStringLiteral("Brevixo.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\n[FileShortcuts]\r\n" +
                shortcuts);
        f.close();
        form = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("/CFG=") + dir.path()}, nullptr, [this](TMainForm* m) {
                m->ShowError = [this](const QString& msg) { errors << msg; };
                m->AskFileName = [](TMainForm::TFileDialogKind, const QString&, const QString&) {
                    return QString();
                };
                m->AskYesNoCancel = [](const QString&) { return int(QMessageBoxYes); };
            });
        sc = new TMainShortcuts(form.get());
        sc->ShowInformation = [this](const QString& msg) { infos << msg; };
        sc->ShowSuggestionsIfWanted = [this] { log << QStringLiteral("suggest"); };
        // The window's dispatcher as it will route 0x4C8.
        TMainForm* m = form.get();
        THooks::Instance().RegisterWindow(
            m->Handle(), [this, m](uint32_t msg, uintptr_t w, intptr_t l) -> intptr_t {
                if (msg == wm::FileShortcut) {
                    posted << std::make_pair(w, l);
                    return sc->FileShortcutMessage(w, l);
                }
                return m->WndProc(msg, w, l);
            });
        form->show();
        QTRY_VERIFY(form->StartupDone);
        sc->RebuildShortcutsMenu();
    }
    static constexpr int QMessageBoxYes = 0x00004000;

    bool Shown() const { return form->isVisible() && !form->isMinimized(); }

private slots:
    void init() {
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(P(f));
        errors.clear();
        infos.clear();
        log.clear();
        posted.clear();
        // An empty start-up script keeps the interpreter quiet.
        QFile(P(QStringLiteral("Brevixo.tcl"))).open(QIODevice::WriteOnly);
        TDictionaryList list;
        DictFile::Save(P(QStringLiteral("one.bxd")), list);
        DictFile::Save(P(QStringLiteral("two words.bxd")), list);
    }
    void cleanup() {
        if (form) form->close();
        form.reset();
        sc = nullptr;
    }

    void menuFollowsTheSettings() {
        Start("C:\\Tools\\app.exe /x=112,\r\n" + P("one.bxd").toUtf8() +
              "=16497,One\r\n/usr/bin/r=114,R&D\r\n/usr/bin/dup=112,\r\n/usr/bin/np=101,\r\n");
        const QList<QAction*> a = form->Shortcuts1->actions();
        QCOMPARE(a.size(), 7);
        QCOMPARE(a[0]->text(), QStringLiteral("Edit..."));
        QVERIFY(!a[0]->isEnabled()); // no preferences dialog wired yet
        QVERIFY(a[1]->isSeparator());
        QCOMPARE(a[2]->text(), QStringLiteral("app.exe/x\tF1"));
        QCOMPARE(a[2]->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(a[3]->text(), QStringLiteral("One\tCtrl+F2"));
        QCOMPARE(a[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
        QCOMPARE(a[4]->text(), QStringLiteral("R&&D\tF3"));
        QCOMPARE(a[5]->shortcut(), QKeySequence()); // F1 again: the first one wins
        QCOMPARE(a[6]->text(), QStringLiteral("np\tNumPad5"));

        int edits = 0;
        sc->EditShortcuts = [&] { ++edits; };
        form->Settings.FileShortcutNames = {QStringLiteral("/x/only.tcl")};
        form->Settings.FileShortcutCaptions = {QString()};
        form->Settings.FileShortcutCodes = {0x71};
        sc->RebuildShortcutsMenu();
        const QList<QAction*> b = form->Shortcuts1->actions();
        QCOMPARE(b.size(), 3);
        QCOMPARE(b[0], a[0]); // the first two items stay
        QVERIFY(b[0]->isEnabled());
        b[0]->trigger();
        QCOMPARE(edits, 1);
        QCOMPARE(b[2]->text(), QStringLiteral("only.tcl\tF2"));

        form->Shortcuts1->popup(form->mapToGlobal(QPoint(40, 40)));
        QTest::qWait(50);
        sc->RebuildShortcutsMenu();
        form->Shortcuts1->hide();
    }

    void menuScreenshot() {
        Start("/home/u/dicts/work.bxd=16471,Work dictionary\r\n/usr/bin/gedit /tmp/todo.txt=121,"
              "\r\n/home/u/scripts/backup.tcl=41072,\r\n");
        QDir().mkpath(QStringLiteral(BREVIX_SCREENS_DIR));
        form->Shortcuts1->popup(form->mapToGlobal(QPoint(40, 40)));
        QTest::qWait(50);
        form->Shortcuts1->grab().save(QStringLiteral(BREVIX_SCREENS_DIR "/shortcuts_menu.png"));
        form->Shortcuts1->hide();
    }

    void menuItemPostsFromTheActiveWindow() {
        Start(P("one.bxd").toUtf8() + "=112,\r\n");
        form->activateWindow();
        QTRY_VERIFY(form->isActiveWindow());
        form->Shortcuts1->actions()[2]->trigger();
        QTRY_COMPARE(posted.size(), 1);
        QCOMPARE(posted[0], std::make_pair(uintptr_t(0x70), intptr_t(1)));
        QCOMPARE(form->Session.FileName(), P(QStringLiteral("one.bxd")));
    }

    void dictionaryShortcutSwitchesDictionary() {
        Start("\"" + P("two words.bxd").toUtf8() + "\"=112,\r\n" + P("one.bxd").toUtf8() +
              "=113,\r\n");
        sc->FileShortcutMessage(0x70, 1);
        QCOMPARE(form->Session.FileName(), P(QStringLiteral("two words.bxd")));
        sc->FileShortcutMessage(0x71, 1);
        QCOMPARE(form->Session.FileName(), P(QStringLiteral("one.bxd")));
        sc->FileShortcutMessage(0x70, 1);
        QCOMPARE(form->Session.FileName(), P(QStringLiteral("two words.bxd")));
        QVERIFY(errors.isEmpty());
        QVERIFY(log.isEmpty()); // nothing was started
        QVERIFY(Shown());
    }

    void tclRunsInTheWindowsInterpreter() {
        QFile ok(P(QStringLiteral("ok.tcl")));
        QVERIFY(ok.open(QIODevice::WriteOnly));
        ok.write("set ::ranFromShortcut 1\n");
        ok.close();
        QFile bad(P(QStringLiteral("bad.tcl")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("proc inner {} { error {boom here} }\ninner\n");
        bad.close();
        Start(P("ok.tcl").toUtf8() + "=112,\r\n" + P("bad.tcl").toUtf8() + "=113,\r\n");
        if (!form->Tcl || !form->Tcl->IsLoaded()) QSKIP("no Tcl library on this machine");
        QVERIFY(sc->RunFileShortcut(0x70));
        QCOMPARE(form->Tcl->GetVar("::ranFromShortcut"), QByteArray("1"));
        QVERIFY(infos.isEmpty());

        QVERIFY(!sc->RunFileShortcut(0x71));
        QCOMPARE(infos.size(), 1);
        const QString head = QStringLiteral("Error occurred while executing \n") +
                             P(QStringLiteral("bad.tcl")) + QStringLiteral("\nSTACK TRACE:\n");
        QVERIFY2(infos[0].startsWith(head), qPrintable(infos[0]));
        QVERIFY(infos[0].contains(QStringLiteral("boom here")));
        QVERIFY(infos[0].contains(QStringLiteral("inner"))); // the trace, not only the result
        QVERIFY(!sc->RunFileShortcut(0x72));                 // not in the list
        QCOMPARE(infos.size(), 1);
    }

    void tclWithoutInterpreterFailsClearly() {
        Start("/x/go.tcl=112,\r\n");
        form->Tcl.reset();
        QVERIFY(!sc->RunFileShortcut(0x70));
        QCOMPARE(infos, QStringList{QStringLiteral(
                            "Error occurred while executing \n/x/go.tcl\nSTACK TRACE:\nTcl "
                            "scripting is not available, so Tcl scripts cannot be run.")});
    }

    void startedScriptHidesOrShowsTheWindow() {
        Start("/x/go.tcl=112,\r\n");
        bool runningSeen = false;
        sc->RunTclFile = [&](const QString& file, QByteArray&) {
            runningSeen = sc->Running();
            log << file;
            return true;
        };
        // From the menu: the window is shown, the typing target forgotten.
        form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 1);
        QVERIFY(runningSeen);
        QVERIFY(!sc->Running());
        QCOMPARE(form->Typing->TargetWindow, BxHwnd(0));
        QVERIFY(Shown());

        // From the hook, while the script asks for the window: it stays.
        bool wantsMain = true;
        sc->ScriptWantsMainWindow = [&] { return wantsMain; };
        sc->FileShortcutMessage(0x70, 0);
        QVERIFY(Shown());

        // From the hook: hidden again.
        wantsMain = false;
        form->activateWindow();
        sc->FileShortcutMessage(0x70, 0);
        QVERIFY(!Shown());

        // Hidden in the tray: stays hidden, suggestions may come back.
        log.clear();
        form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 0);
        QVERIFY(!Shown());
        QCOMPARE(form->Typing->TargetWindow, BxHwnd(0));
        QCOMPARE(log, (QStringList{QStringLiteral("/x/go.tcl"), QStringLiteral("suggest")}));

        // With the input text window open the focus goes back to it.
        form->TrayOpenOptClick();
        int inputFocus = 0;
        sc->InputTextWindowOpen = [] { return true; };
        sc->FocusInputTextWindow = [&] { ++inputFocus; };
        form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 0);
        QCOMPARE(inputFocus, 1);
        QVERIFY(Shown());
        QCOMPARE(form->Typing->TargetWindow, BxHwnd(77)); // the target is kept
    }

    void documentsAndLaunchFailures() {
        Start("/tmp/report.pdf=112,\r\n/no where/x.doc=113,\r\n");
        QStringList opened;
        sc->OpenDocument = [&](const QString& f, const QString& params) {
            opened << f + u'|' + params;
            return f == QStringLiteral("/tmp/report.pdf");
        };
        QVERIFY(sc->RunFileShortcut(0x70));
        QCOMPARE(opened, QStringList{QStringLiteral("/tmp/report.pdf|")});

        QVERIFY(!sc->RunFileShortcut(0x71));
        QCOMPARE(errors, QStringList{QStringLiteral("Brevix could not launch\n\"/no\"")});
        QCOMPARE(infos, QStringList{QStringLiteral(
                            "Please note that filenames containing spaces must be enclosed in "
                            "double quotes \" \".\nFor example:\n\n\"/no where/x.doc\"")});
    }

    void nextKeyCaptureSurvivesTheWindowLosingFocus() {
        Start(QByteArray());
        form->activateWindow();
        QTRY_VERIFY(form->isActiveWindow());
        int stateWhileOpen = 0;
        QTimer::singleShot(200, [&] {
            auto* dlg = qobject_cast<TNextKeyDlg*>(QApplication::activeModalWidget());
            if (!dlg) return;
            stateWhileOpen = GetFSMState();
            BxVirtualKey(0x41, 0);
            BxVirtualKey(0x4046, 1); // Ctrl+F
            BxVirtualKey(0x4046, 0);
            QTimer::singleShot(500, dlg, &QDialog::reject); // only when the key never came
        });
        QCOMPARE(NextKeyDialog(form.get()), uint16_t(0x4046));
        QCOMPARE(stateWhileOpen, int(BX_FSM_NEXTKEY));
    }

    void nothingStartedLeavesTheWindowAlone() {
        Start("/no/such/file.pdf=112,\r\n");
        form->Typing->TargetWindow = 77;
        sc->FileShortcutMessage(0x70, 0);
        QCOMPARE(errors.size(), 1);
        QVERIFY(Shown());
        QCOMPARE(form->Typing->TargetWindow, BxHwnd(77));
    }
};

int main(int argc, char** argv) {
    QTemporaryDir runtime;
    qputenv("BREVIX_RUNTIME_DIR", runtime.path().toUtf8());
    qputenv("BREVIX_HOOK", "virtual");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMainformShortcutsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainformShortcutsTest.moc"
