// The shortcut key dialogs driven offscreen on the virtual desktop: keys come
// from the hook library as posted 0x46C messages or from virtual key presses.
#include "hook/HookApi.h"
#include "shell/FileShortcutDialog.h"
#include "shell/NextKeyDialog.h"
#include "shell/ShortcutDialog.h"
#include "typing/HookClient.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

namespace {

// A failed check inside a modal dialog closes every open dialog, so the
// test ends instead of waiting forever.
void AbortModals() {
    if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dlg->reject();
        QTimer::singleShot(10, &AbortModals);
    }
}

// Runs fn on the topmost modal dialog of type T once it is shown.
template <class T> void OnModal(std::function<void(T*)> fn, int triesLeft = 300) {
    QTimer::singleShot(10, [fn, triesLeft] {
        auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dlg && dlg->isVisible()) {
            fn(dlg);
            if (QTest::currentTestFailed()) AbortModals();
        } else if (triesLeft > 0) {
            OnModal<T>(fn, triesLeft - 1);
        } else {
            QFAIL("the expected dialog did not open");
        }
    });
}

void PostKey(TNextKeyDlg* dlg, uint16_t code, bool down) {
    THooks::Instance().Post(dlg->Handle(), BX_MSG_NEXT_KEY, code, down ? 1 : 0);
}

// Arms the dialog and answers with one key.
void Answer(TNextKeyDlg* dlg, uint16_t code) {
    PostKey(dlg, 0x41, false);
    PostKey(dlg, code, true);
}

void Grab(QWidget* w, const QString& name) {
    const QString dir = QStringLiteral(BREVIX_SCREENS_DIR);
    QDir().mkpath(dir);
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class TShortcutDialogsTest : public QObject {
    Q_OBJECT
    QWidget mainWindow;

private slots:
    void initTestCase() {
        const BxHwnd main = static_cast<BxHwnd>(mainWindow.winId());
        QVERIFY(THooks::Instance().Init(main));
        InstallKeyboardFilter(1);
        THooks::Instance().SetFSM(BX_FSM_SUSPENDED);
    }
    void cleanupTestCase() { THooks::Instance().Shutdown(static_cast<BxHwnd>(mainWindow.winId())); }

    void nextKeyArmsOnReleaseAndIgnoresNumLock() {
        bool checkedWhileOpen = false;
        OnModal<TNextKeyDlg>([&](TNextKeyDlg* dlg) {
            QCOMPARE(GetFSMState(), int(BX_FSM_NEXTKEY));
            Grab(dlg, QStringLiteral("nextkey"));
            PostKey(dlg, 0x42, true);  // not armed yet: the key that opened it
            PostKey(dlg, 0x42, false); // its release arms
            PostKey(dlg, 0x90, true);  // NumLock is kept but does not close
            QTRY_COMPARE(dlg->Code(), uint16_t(0x90));
            PostKey(dlg, 0x2090, true); // nor does Shift+NumLock
            QTRY_COMPARE(dlg->Code(), uint16_t(0x2090));
            QVERIFY(dlg->Armed());
            QVERIFY(dlg->isVisible());
            // Escape and Enter are answers, never the dialog's keys.
            QTest::keyClick(dlg, Qt::Key_Escape);
            QTest::keyClick(dlg, Qt::Key_Return);
            QVERIFY(dlg->isVisible());
            checkedWhileOpen = true;
            PostKey(dlg, 0x6070, true); // Ctrl+Shift+F1
        });
        QCOMPARE(NextKeyDialog(), uint16_t(0x6070));
        QVERIFY(checkedWhileOpen);
        QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
    }

    void nextKeyFromVirtualKeyboard() {
        OnModal<TNextKeyDlg>([](TNextKeyDlg*) {
            BxVirtualKey(0x74, 1); // F5 down: not armed
            BxVirtualKey(0x74, 0); // up: arms
            BxVirtualKey(0x8000 | 0x4000 | 0x65, 1);
            BxVirtualKey(0x8000 | 0x4000 | 0x65, 0);
        });
        QCOMPARE(NextKeyDialog(), uint16_t(0xC065)); // Ctrl+Alt+NumPad5
    }

    void nextKeyCancelGivesZero() {
        OnModal<TNextKeyDlg>([](TNextKeyDlg* dlg) {
            PostKey(dlg, 0x41, false);
            PostKey(dlg, 0x90, true); // a kept NumLock is dropped by Cancel
            QTRY_COMPARE(dlg->Code(), uint16_t(0x90));
            dlg->CancelBtn->click();
        });
        QCOMPARE(NextKeyDialog(), uint16_t(0));
        QCOMPARE(GetFSMState(), int(BX_FSM_SUSPENDED));
    }

    void shortcutShowsKeyAndModifiers() {
        TShortcutDlg dlg;
        struct TCase {
            uint16_t code;
            const char* name;
            bool wide, ctrl, alt, shift;
        } const cases[] = {
            {0x4041, "A", false, true, false, false},
            {0xA079, "F10", true, false, true, true},
            {0x2031, "1", false, false, false, true},
            {0x0090, "NumLock", true, false, false, false},
            {0, "None", true, false, false, false},
        };
        dlg.show();
        for (const TCase& c : cases) {
            dlg.ShowCode(c.code);
            QCOMPARE(dlg.KeyLbl->text(), QString::fromLatin1(c.name));
            QCOMPARE(dlg.WideKeyImg->isVisible(), c.wide);
            QCOMPARE(dlg.SmallKeyImg->isVisible(), !c.wide);
            QCOMPARE(dlg.CtrlChk->isChecked(), c.ctrl);
            QCOMPARE(dlg.AltChk->isChecked(), c.alt);
            QCOMPARE(dlg.ShiftChk->isChecked(), c.shift);
            QCOMPARE(dlg.Result(), c.code);
            if (c.code == 0x4041) Grab(&dlg, QStringLiteral("shortcut_small"));
            if (c.code == 0xA079) Grab(&dlg, QStringLiteral("shortcut_wide"));
            if (c.code == 0) Grab(&dlg, QStringLiteral("shortcut_none"));
        }
    }

    void shortcutBoxesChangeTheCapturedKey() {
        uint16_t code = 0x4041; // Ctrl+A
        OnModal<TShortcutDlg>([](TShortcutDlg* dlg) {
            dlg->CtrlChk->setChecked(false);
            dlg->ShiftChk->setChecked(true);
            dlg->AltChk->setChecked(true);
            dlg->OKBtn->click();
        });
        QVERIFY(ShortcutDialog(code));
        QCOMPARE(code, uint16_t(0xA041));
    }

    void shortcutClearAndCancel() {
        uint16_t code = 0x70;
        OnModal<TShortcutDlg>([](TShortcutDlg* dlg) {
            dlg->ClearBtn->click();
            QCOMPARE(dlg->KeyLbl->text(), QStringLiteral("None"));
            dlg->OKBtn->click();
        });
        QVERIFY(ShortcutDialog(code));
        QCOMPARE(code, uint16_t(0));

        code = 0x70;
        OnModal<TShortcutDlg>([](TShortcutDlg* dlg) {
            dlg->ClearBtn->click();
            dlg->CancelBtn->click();
        });
        QVERIFY(!ShortcutDialog(code));
        QCOMPARE(code, uint16_t(0x70));
    }

    void shortcutZeroAsksForTheKeyFirst() {
        uint16_t code = 0;
        OnModal<TNextKeyDlg>([](TNextKeyDlg* dlg) {
            // The selection dialog is not shown yet.
            QVERIFY(!qobject_cast<TShortcutDlg*>(dlg->parentWidget()));
            Answer(dlg, 0x8070); // Alt+F1
            OnModal<TShortcutDlg>([](TShortcutDlg* sd) {
                QCOMPARE(sd->KeyLbl->text(), QStringLiteral("F1"));
                QVERIFY(sd->AltChk->isChecked());
                sd->OKBtn->click();
            });
        });
        QVERIFY(ShortcutDialog(code));
        QCOMPARE(code, uint16_t(0x8070));

        // Cancelled capture: the dialog shows no key.
        code = 0;
        OnModal<TNextKeyDlg>([](TNextKeyDlg* dlg) {
            dlg->CancelBtn->click();
            OnModal<TShortcutDlg>([](TShortcutDlg* sd) {
                QCOMPARE(sd->KeyLbl->text(), QStringLiteral("None"));
                sd->OKBtn->click();
            });
        });
        QVERIFY(ShortcutDialog(code));
        QCOMPARE(code, uint16_t(0));
    }

    void shortcutKeyPictureAndButtonCapture() {
        uint16_t code = 0x41;
        OnModal<TShortcutDlg>([](TShortcutDlg* sd) {
            OnModal<TNextKeyDlg>([sd](TNextKeyDlg* dlg) {
                Answer(dlg, 0x2024); // Shift+Home
                OnModal<TShortcutDlg>([sd](TShortcutDlg* again) {
                    QCOMPARE(again, sd);
                    QCOMPARE(sd->KeyLbl->text(), QStringLiteral("Home"));
                    QVERIFY(sd->ShiftChk->isChecked());
                    // The button does the same; a cancelled capture keeps the key.
                    OnModal<TNextKeyDlg>([](TNextKeyDlg* d2) { d2->CancelBtn->click(); });
                    sd->NextKeyBtn->click();
                    QCOMPARE(sd->KeyLbl->text(), QStringLiteral("Home"));
                    sd->OKBtn->click();
                });
            });
            QTest::mouseClick(sd->KeyLbl, Qt::LeftButton);
        });
        QVERIFY(ShortcutDialog(code));
        QCOMPARE(code, uint16_t(0x2024));
    }

    void fileShortcutOkFollowsFieldsAndCode() {
        TFileShortcutDlg dlg;
        dlg.AskShortcut = [](uint16_t&) { return false; };
        dlg.SetValues(QString(), 0x70, QString());
        QCOMPARE(dlg.ShortcutEdit->text(), QStringLiteral("F1"));
        QVERIFY(dlg.ShortcutEdit->isReadOnly());
        QVERIFY(!dlg.OKBtn->isEnabled());
        QTest::keyClicks(dlg.FileEdit, QStringLiteral("   "));
        QVERIFY(!dlg.OKBtn->isEnabled());
        QTest::keyClicks(dlg.FileEdit, QStringLiteral("/usr/bin/app -x"));
        QVERIFY(dlg.OKBtn->isEnabled());
        dlg.SetCode(0);
        QVERIFY(!dlg.OKBtn->isEnabled());
        dlg.SetCode(0x2024);
        QCOMPARE(dlg.ShortcutEdit->text(), QStringLiteral("Shift+Home"));
        QVERIFY(dlg.OKBtn->isEnabled());
        QCOMPARE(dlg.Description(), QStringLiteral("app"));
        QTest::keyClicks(dlg.DescEdit, QStringLiteral("  My App  "));
        QCOMPARE(dlg.Description(), QStringLiteral("My App"));

        // Typing is limited; stored or chosen longer names stay whole.
        dlg.FileEdit->clear();
        QTest::keyClicks(dlg.FileEdit, QString(130, u'x'));
        QCOMPARE(dlg.FileEdit->text().size(), 120);
        QTest::keyClicks(dlg.DescEdit, QString(40, u'y'));
        QCOMPARE(dlg.DescEdit->text().size(), 32);
        const QString longName = QLatin1Char('/') + QString(150, u'z') + QStringLiteral(".bxd");
        dlg.SetValues(longName, 0x70, QString(40, u'd'));
        QCOMPARE(dlg.FileEdit->text(), longName);
        QCOMPARE(dlg.DescEdit->text().size(), 40);
    }

    void fileShortcutBrowse() {
        TFileShortcutDlg dlg(QStringLiteral("/dicts"));
        dlg.AskShortcut = [](uint16_t&) { return false; };
        dlg.SetValues(QStringLiteral(" \"/home/u/my files/a.bxd\" "), 0x70, QString());
        dlg.show();
        QString askedDir, askedFile;
        bool hiddenWhileAsking = false;
        dlg.AskOpenFile = [&](const QString& dir, const QString& file) {
            askedDir = dir;
            askedFile = file;
            hiddenWhileAsking = !dlg.isVisible();
            return QStringLiteral("  /tmp/b c.bxd ");
        };
        dlg.BrowseBtn->click();
        QCOMPARE(askedDir, QStringLiteral("/home/u/my files"));
        QCOMPARE(askedFile, QStringLiteral("/home/u/my files/a.bxd"));
        QVERIFY(hiddenWhileAsking);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.FileEdit->text(), QStringLiteral("\"/tmp/b c.bxd\""));

        // No folder: Browse starts in the dictionary's folder; Cancel keeps the field.
        dlg.SetValues(QStringLiteral("tool"), 0x70, QString());
        dlg.AskOpenFile = [&](const QString& dir, const QString&) {
            askedDir = dir;
            return QString();
        };
        dlg.BrowseBtn->click();
        QCOMPARE(askedDir, QStringLiteral("/dicts"));
        QCOMPARE(dlg.FileEdit->text(), QStringLiteral("tool"));
    }

    void fileShortcutDroppedFiles() {
        TFileShortcutDlg dlg;
        dlg.SetValues(QStringLiteral("old"), 0x70, QString());
        QVERIFY(dlg.acceptDrops());
        QMimeData data;
        data.setUrls({QUrl(QStringLiteral("https://example.com/x")),
                      QUrl::fromLocalFile(QStringLiteral("/home/u/My Dict.bxd")),
                      QUrl::fromLocalFile(QStringLiteral("/home/u/second.bxd"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &drop);
        QCOMPARE(dlg.FileEdit->text(), QStringLiteral("/home/u/My Dict.bxd"));

        QMimeData text;
        text.setText(QStringLiteral("not a file"));
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton,
                                Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(&dlg, &refused);
        QVERIFY(!refused.isAccepted());
    }

    void fileShortcutPressesShortcutForANewFile() {
        TFileShortcutDlg dlg;
        dlg.SetValues(QStringLiteral("  /usr/bin/app -x  "), 0, QString());
        int asked = 0;
        // Only the key dialog is replaced here: the automatic press is real.
        dlg.AskShortcut = [&](uint16_t& c) {
            ++asked;
            c = 0x4071;
            return true;
        };
        QVERIFY(!dlg.OKBtn->isEnabled());
        dlg.show();
        QTRY_COMPARE(asked, 1);
        QCOMPARE(dlg.ShortcutEdit->text(), QStringLiteral("Ctrl+F2"));
        QVERIFY(dlg.OKBtn->isEnabled());
        Grab(&dlg, QStringLiteral("fileshortcut"));
        dlg.hide();

        // A key already chosen: no automatic press.
        dlg.SetValues(QStringLiteral("/usr/bin/app"), 0x4071, QString());
        dlg.show();
        QCoreApplication::processEvents(); // runs the press had one been queued
        QCOMPARE(asked, 1);
        dlg.hide();

        // Cancel changes nothing.
        QString file = QStringLiteral("  /usr/bin/app -x  ");
        uint16_t code = 0x4071;
        QString caption;
        OnModal<TFileShortcutDlg>([](TFileShortcutDlg* fd) { fd->CancelBtn->click(); });
        QVERIFY(!FileShortcutDialog(file, code, caption));
        QCOMPARE(code, uint16_t(0x4071));
        QCOMPARE(file, QStringLiteral("  /usr/bin/app -x  "));

        // OK returns the trimmed texts, the description from the file name.
        OnModal<TFileShortcutDlg>([](TFileShortcutDlg* fd) { fd->OKBtn->click(); });
        QVERIFY(FileShortcutDialog(file, code, caption));
        QCOMPARE(file, QStringLiteral("/usr/bin/app -x"));
        QCOMPARE(code, uint16_t(0x4071));
        QCOMPARE(caption, QStringLiteral("app"));
    }

    void fileShortcutWithRealKeyDialogs() {
        QString file = QStringLiteral("/home/u/work.bxd");
        uint16_t code = 0;
        QString caption = QStringLiteral("Work");
        // The automatic press opens "Select Shortcut Key", which asks for the key.
        OnModal<TNextKeyDlg>([](TNextKeyDlg* dlg) {
            Answer(dlg, 0x4057); // Ctrl+W
            OnModal<TShortcutDlg>([](TShortcutDlg* sd) {
                QCOMPARE(sd->KeyLbl->text(), QStringLiteral("W"));
                sd->OKBtn->click();
                OnModal<TFileShortcutDlg>([](TFileShortcutDlg* fd) {
                    QTRY_COMPARE(fd->ShortcutEdit->text(), QStringLiteral("Ctrl+W"));
                    fd->OKBtn->click();
                });
            });
        });
        QVERIFY(FileShortcutDialog(file, code, caption));
        QCOMPARE(code, uint16_t(0x4057));
        QCOMPARE(caption, QStringLiteral("Work"));
    }
};

int main(int argc, char** argv) {
    QTemporaryDir runtime;
    qputenv("BREVIX_RUNTIME_DIR", runtime.path().toUtf8());
    qputenv("BREVIX_HOOK", "virtual");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TShortcutDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ShortcutDialogsTest.moc"
