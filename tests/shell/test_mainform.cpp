// The main window driven as a user would, offscreen, on the virtual desktop.
#include "hook/HookApi.h"
#include "platform/Errors.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

class TMainFormTest : public QObject, TFormHarness {
    Q_OBJECT
    QString Ini() const { return P(QStringLiteral("Brevixo.ini")); }

private slots:
    void init() { Reset(); }
    void cleanup() { Stop(); }

    void startShowAndCloseWritesSettings() {
        Start("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nAutoReplace=0\r\n");
        QVERIFY(!Form->HookUnavailable());
        QVERIFY(!Form->AutoReplaceChk->isChecked());
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
        QCOMPARE(GetFSMState(), int(BX_FSM_WATCHING));
        QVERIFY(Form->isVisible()); // "RunMinimized" is off
        Form->AutoReplaceChk->setChecked(true);
        QSignalSpy closed(Form.get(), &TMainForm::Closed);
        QVERIFY(Form->close());
        QCOMPARE(closed.count(), 1);
        const QByteArray ini = ReadFile(Ini());
        QVERIFY(ini.contains("[MainForm]"));
        QVERIFY(ini.contains("AutoReplace=1"));
        QVERIFY(ini.contains("NoConfirmExit=1")); // keys of other writers survive
    }

    void runMinimizedHidesAtFirstShow() {
        // A first start, with no dictionary yet, stays shown.
        MakeDictionary(P("one.bxd"), {});
        QVERIFY(WriteFile(P("PAGES.CFG"), P("one.bxd").toUtf8() + "\r\n"));
        Start("[Preferences]\r\nNoConfirmExit=1\r\n");
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
        // Hidden to the tray, or minimised when the desktop has no tray.
        QTRY_VERIFY(!Form->isVisible() || Form->isMinimized());
    }

    void badCommandLineWritesNothing() {
        QVERIFY_THROWS_EXCEPTION(EBrevix, NewForm({QStringLiteral("/NOPE")}));
        QVERIFY(!QFile::exists(Ini()));
        // The hook library was released: a new window can hold it.
        Start();
        QVERIFY(!Form->HookUnavailable());
    }

    void secondInstanceHandsOverAndWritesNothing() {
        Start();
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
        Form->hide();
        const QByteArray before = ReadFile(Ini());

        auto second = NewForm();
        QVERIFY(second->HookUnavailable());
        QSignalSpy closed(second.get(), &TMainForm::Closed);
        second->show();
        QTRY_COMPARE(closed.count(), 1); // closes itself without a question
        QTRY_VERIFY(Form->isVisible());  // the first window came forward
        second.reset();
        QCOMPARE(ReadFile(Ini()), before);
        QCOMPARE(GetMainWindow(), Form->Handle());
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform.moc"
