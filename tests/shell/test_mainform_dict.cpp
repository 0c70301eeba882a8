// Dictionaries in the main window: tabs, history, unsaved changes and the
// keyword box, driven offscreen as a user would.
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <sys/stat.h>

class TMainFormDictTest : public QObject, TFormHarness {
    Q_OBJECT
    void AddEntry(const QByteArray& keyword) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(keyword);
        Form->Session.Dict().Add(item);
        Form->Session.SetModified(true);
    }

private slots:
    void init() {
        Reset();
        MakeDictionary(
            P("one.bxd"),
            {{"addr", "12 Harbour Street"}, {"brb", "be right back"}, {"btw", "by the way"}});
        MakeDictionary(P("two.bxd"), {{"sig", "Kind regards"}});
    }
    void cleanup() { Stop(); }

    void noDictionaryCreatesUntitled() {
        Start();
        QCOMPARE(Form->Session.FileName(), P("Untitled.bxd"));
        QVERIFY(QFile::exists(P("Untitled.bxd")));
        QVERIFY(Form->KeepShownAtStart); // a first start is never hidden to the tray
    }

    void tabsHistoryAndRestart() {
        Start();
        QVERIFY(Form->OpenDictionary(P("one.bxd")));
        QVERIFY(Form->OpenDictionary(P("two.bxd")));
        QCOMPARE(Form->Session.Dict().Count(), 1);
        // Ctrl+Right in the keyword box walks the tabs, wrapping round.
        const int before = Form->TabSet1->currentIndex();
        QTest::keyClick(Form->KeywordEdit, Qt::Key_Right, Qt::ControlModifier);
        QVERIFY(Form->TabSet1->currentIndex() != before);
        for (int i = 0; i < 12; ++i)
            Form->OpenDictionary(i % 2 ? P("one.bxd") : P("two.bxd"));
        QVERIFY(Form->History.size() <= 8);
        QCOMPARE(Form->History.removeDuplicates(), 0);
        const QStringList tabs = Form->TabPaths();
        Stop();
        QVERIFY(ReadFile(P("PAGES.CFG")).endsWith(".bxd\r\n"));
        Start();
        QCOMPARE(Form->TabPaths(), tabs); // reopened in the same order
        QVERIFY(Form->Session.Dict().Count() > 0);
    }

    void unsavedChangesSavedOnSwitchAskedOnClose() {
        Start("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nAutoSave1=0\r\n");
        Form->OpenDictionary(P("two.bxd"));
        Form->OpenDictionary(P("one.bxd"));
        AddEntry("new");
        Form->TabSet1->setCurrentIndex(Form->FindTab(P("two.bxd")));
        QVERIFY(Asked.isEmpty()); // a tab switch saves without asking
        QCOMPARE(EntryCount(P("one.bxd")), 4);

        AddEntry("zz");
        Answer = QMessageBox::Cancel;
        Form->CloseFile1Click();
        QCOMPARE(Asked.size(), 1);
        QCOMPARE(Form->Session.FileName(), P("two.bxd")); // Cancel kept it open
        Answer = QMessageBox::No;
        Form->CloseFile1Click();
        QCOMPARE(Form->FindTab(P("two.bxd")), -1);
        QCOMPARE(EntryCount(P("two.bxd")), 1); // No dropped the change
    }

    void saveAsReplacesTabInPlace() {
        Start();
        Form->OpenDictionary(P("one.bxd"));
        Form->OpenDictionary(P("two.bxd"));
        Form->OpenDictionary(P("one.bxd"));
        const int count = Form->TabSet1->count();
        const int index = Form->TabSet1->currentIndex();
        NextFile = P("copy"); // the extension is added
        Form->SaveAs1Click();
        QCOMPARE(Form->Session.FileName(), P("copy.bxd"));
        QCOMPARE(Form->TabSet1->count(), count);
        QCOMPARE(Form->TabSet1->currentIndex(), index);
        QCOMPARE(Form->TabPaths().value(index), P("copy.bxd"));
        QCOMPARE(EntryCount(P("copy.bxd")), 3);
        QVERIFY(QFile::exists(P("one.bxd")));
    }

    void keywordBoxSearchAndNavigation() {
        Start();
        Form->show();
        QApplication::setActiveWindow(Form.get());
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
        Form->OpenDictionary(P("one.bxd"));
        Form->KeywordEdit->setFocus();
        Form->KeywordEdit->clear();
        QTest::keyClicks(Form->KeywordEdit, QStringLiteral("br"));
        QCOMPARE(Form->CurrentRow(), 1);
        QCOMPARE(Form->Memo1->toPlainText(), QStringLiteral("be right back"));
        QTest::keyClick(Form->KeywordEdit, Qt::Key_Down);
        QCOMPARE(Form->KeywordEdit->text(), QStringLiteral("btw"));
        QTest::keyClick(Form->KeywordEdit, Qt::Key_Up);
        QCOMPARE(Form->KeywordEdit->text(), QStringLiteral("brb"));
        // A prefix nothing starts with: the nearest row, no text.
        Form->KeywordEdit->clear();
        QTest::keyClicks(Form->KeywordEdit, QStringLiteral("bz"));
        QVERIFY(Form->CurrentRow() >= 0);
        QVERIFY(Form->Memo1->toPlainText().isEmpty());
        QTest::keyClick(Form->KeywordEdit, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(Form->CurrentRow(), 2);
        QTest::keyClick(Form->KeywordEdit, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(Form->CurrentRow(), 0);
        // Typing in the grid starts a search in the keyword box.
        Form->Grid->setFocus();
        QTest::keyClick(Form->Grid, Qt::Key_S);
        QCOMPARE(Form->KeywordEdit->text(), QStringLiteral("s"));
        QVERIFY(Form->KeywordEdit->hasFocus());
    }

    // Tabs whose files are gone or broken are left out, and named once.
    void droppedTabsAreNamedOnce() {
        WriteFile(P("broken.bxd"), "not a dictionary at all");
        QByteArray pages = P("one.bxd").toUtf8() + "\r\n" + P("broken.bxd").toUtf8() + "\r\n";
        for (int i = 0; i < 10000; ++i)
            pages += P(QStringLiteral("gone%1.bxd").arg(i)).toUtf8() + "\r\n";
        pages += P("two.bxd").toUtf8() + "\r\n";
        WriteFile(P("PAGES.CFG"), pages);
        Start();
        QVERIFY(SpinUntil([this] { return !Errors.isEmpty(); }));
        QCoreApplication::processEvents();
        QCOMPARE(Errors.size(), 1);
        const QString text = Errors.first();
        QVERIFY(text.contains(P("broken.bxd")));
        QVERIFY(text.contains(P("gone0.bxd")));
        QVERIFY(!text.contains(P("one.bxd")) && !text.contains(P("two.bxd")));
        QVERIFY(text.contains(QStringLiteral("and 9981 more")));
        QVERIFY(text.count(QLatin1Char('\n')) < 30);
        QCOMPARE(Form->TabPaths(), (QStringList{P("one.bxd"), P("two.bxd")}));

        Stop();
        Errors.clear();
        Start();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(Errors, QStringList());
        QCOMPARE(Form->TabPaths(), (QStringList{P("one.bxd"), P("two.bxd")}));
    }

    // Named pipes in the place of the list files and the settings file are
    // passed over as missing files are; nothing waits for a writer.
    void namedPipesInPlaceOfTheStartFilesDoNotHang() {
        for (const char* name : {"PAGES.CFG", "HISTORY.CFG", "Brevixo.ini"}) {
            QFile::remove(P(name));
            QVERIFY(::mkfifo(P(name).toLocal8Bit().constData(), 0600) == 0);
        }
        Form = NewForm(); // a hang here is caught by the test's time limit
        QVERIFY(Form->TabPaths().size() <= 1);
        Form->SessionEndClose(); // no settings were read: closing would ask first
        Form.reset();
    }

    void readOnlyDictionaryIsNotWritten() {
        Start();
        Form->OpenDictionary(P("two.bxd"));
        Form->Session.Dict().SetReadOnly(true);
        AddEntry("new");
        Form->Save1Click();
        QCOMPARE(EntryCount(P("two.bxd")), 1);
        QVERIFY(!QFile::exists(P("two.~BX")));
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainFormDictTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform_dict.moc"
