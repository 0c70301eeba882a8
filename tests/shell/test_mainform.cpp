// The main window driven as a user would, offscreen, on the virtual desktop.
#include "hook/HookApi.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "shell/Mainfrm.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
// A window whose start-up never waits on a file dialog.
std::unique_ptr<TMainForm> MakeForm(const QStringList& params) {
    return std::make_unique<TMainForm>(params, nullptr, [](TMainForm* m) {
        m->AskFileName = [](TMainForm::TFileDialogKind, const QString&, const QString&) {
            return QString();
        };
    });
}
} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Cfg() const { return QStringLiteral("/CFG=") + dir.path(); }
    QString Ini() const { return dir.filePath(QStringLiteral("Brevixo.ini")); }
    void WriteIni(const QByteArray& text) {
        QFile f(Ini());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray ReadIni() {
        QFile f(Ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() { QFile::remove(Ini()); }

    void startShowAndCloseWritesSettings() {
        WriteIni("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nAutoReplace=0\r\n");
        auto form = MakeForm(QStringList{Cfg()});
        QCOMPARE(form->ConfigDir, dir.path() + QLatin1Char('/'));
        QVERIFY(!form->HookUnavailable());
        QVERIFY(!form->AutoReplaceChk->isChecked());
        QVERIFY(ReadIni().contains("SwitchFocusDelay=10")); // written back during the load
        form->show();
        QTRY_VERIFY(form->StartupDone);
        QCOMPARE(GetFSMState(), int(BX_FSM_WATCHING));
        QVERIFY(form->isVisible()); // "RunMinimized" is off
        form->AutoReplaceChk->setChecked(true);
        QSignalSpy closed(form.get(), &TMainForm::Closed);
        QVERIFY(form->close());
        QCOMPARE(closed.count(), 1);
        const QByteArray ini = ReadIni();
        QVERIFY(ini.contains("[MainForm]"));
        QVERIFY(ini.contains("StatDate="));
        QVERIFY(ini.contains("AutoReplace=1"));
        QVERIFY(ini.contains("ShowTextToTypeBox=1"));
        QVERIFY(ini.contains("NoConfirmExit=1")); // keys of other writers survive
    }

    void runMinimizedHidesOnceAtFirstShow() {
        WriteIni("[Preferences]\r\nNoConfirmExit=1\r\n");
        auto form = MakeForm(QStringList{Cfg()});
        form->show();
        QTRY_VERIFY(form->StartupDone);
        // Hidden to the tray, or minimised when the desktop has no tray.
        QTRY_VERIFY(!form->isVisible() || form->isMinimized());
        QVERIFY(form->KeepShownAtStart);
        form->close();
    }

    void badCommandLineWritesNothing() {
        bool thrown = false;
        try {
            MakeForm(QStringList{Cfg(), QStringLiteral("/NOPE")});
        } catch (const EBrevix& e) {
            thrown = true;
            QVERIFY(e.Message().startsWith(QStringLiteral("Unrecognized command line parameter:")));
        }
        QVERIFY(thrown);
        QVERIFY(!QFile::exists(Ini()));
        // The library was released: a new window can hold it.
        auto again = MakeForm(QStringList{Cfg()});
        QVERIFY(!again->HookUnavailable());
        again->Settings.Set(goNoConfirmExit, true);
        again->close();
    }

    void secondInstanceHandsOverAndWritesNothing() {
        WriteIni("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\n");
        auto first = MakeForm(QStringList{Cfg()});
        first->show();
        QTRY_VERIFY(first->StartupDone);
        first->hide();
        const QByteArray before = ReadIni();

        auto second = MakeForm(QStringList{Cfg()});
        QVERIFY(second->HookUnavailable());
        QSignalSpy closed(second.get(), &TMainForm::Closed);
        second->show();
        QTRY_COMPARE(closed.count(), 1); // closes itself without a question
        QTRY_VERIFY(first->isVisible()); // the first window came forward
        second.reset();
        QCOMPARE(ReadIni(), before);
        QCOMPARE(GetMainWindow(), first->Handle());
        first->close();
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform.moc"
