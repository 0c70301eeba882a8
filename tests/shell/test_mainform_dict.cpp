// Dictionaries in the main window: tabs, history, unsaved changes, the title
// and the keyword box, driven offscreen as a user would.
#include "dictionary/Dict.h"
#include "shell/Mainfrm.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
void MakeDictionary(const QString& path, const QList<QPair<QByteArray, QByteArray>>& entries) {
    TDictionaryList list;
    for (const auto& e : entries) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(e.first);
        item->SetText(e.second);
        if (list.Add(item) < 0) delete item;
    }
    DictFile::Save(path, list);
}
} // namespace

class TMainFormDictTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    QStringList asked; // messages the window asked about
    int answer = QMessageBox::Yes;
    QString nextFile; // what the file dialog answers
    QStringList errors;

    QString P(const QString& name) const { return dir.filePath(name); }

    void Start(const QByteArray& ini = "[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\n") {
        QFile f(P(QStringLiteral("Brevixo.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(ini);
        f.close();
        form = std::make_unique<TMainForm>(QStringList{QStringLiteral("/CFG=") + dir.path()},
                                           nullptr, [this](TMainForm* m) { Wire(m); });
    }
    void Wire(TMainForm* m) {
        m->AskFileName = [this](TMainForm::TFileDialogKind, const QString&, const QString&) {
            return nextFile;
        };
        m->AskYesNoCancel = [this](const QString& msg) {
            asked << msg;
            return answer;
        };
        m->ShowError = [this](const QString& msg) { errors << msg; };
    }
    void Stop() {
        if (form) form->close();
        form.reset();
    }

private slots:
    void init() {
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(P(f));
        asked.clear();
        errors.clear();
        answer = QMessageBox::Yes;
        nextFile.clear();
        MakeDictionary(
            P("one.bxd"),
            {{"addr", "12 Harbour Street"}, {"brb", "be right back"}, {"btw", "by the way"}});
        MakeDictionary(P("two.bxd"), {{"sig", "Kind regards"}});
    }
    void cleanup() { Stop(); }

    void noDictionaryCreatesUntitled() {
        Start();
        QCOMPARE(form->Session.FileName(), P("Untitled.bxd"));
        QVERIFY(QFile::exists(P("Untitled.bxd")));
        QVERIFY(form->KeepShownAtStart); // not hidden at start even with RunMinimized on
        QCOMPARE(form->windowTitle(), QStringLiteral("Brevix 10.00 - Untitled.bxd"));
    }

    void tabsHistoryAndRestart() {
        Start();
        QVERIFY(form->OpenDictionary(P("one.bxd")));
        QVERIFY(form->OpenDictionary(P("two.bxd")));
        QCOMPARE(form->TabSet1->tabText(form->TabSet1->currentIndex()), QStringLiteral("two"));
        QCOMPARE(form->Session.Dict().Count(), 1);
        // Ctrl+Right in the keyword box walks the tabs, wrapping round.
        form->KeywordEdit->setFocus();
        const int before = form->TabSet1->currentIndex();
        QTest::keyClick(form->KeywordEdit, Qt::Key_Right, Qt::ControlModifier);
        QVERIFY(form->TabSet1->currentIndex() != before);
        for (int i = 0; i < 12; ++i)
            form->OpenDictionary(i % 2 ? P("one.bxd") : P("two.bxd"));
        QVERIFY(form->History.size() <= 8);
        QCOMPARE(form->History.removeDuplicates(), 0);
        const QStringList tabs = form->TabPaths();
        Stop();
        QFile pages(P("PAGES.CFG"));
        QVERIFY(pages.open(QIODevice::ReadOnly));
        QVERIFY(pages.readAll().endsWith(".bxd\r\n"));
        Start();
        QCOMPARE(form->TabPaths(), tabs); // reopened in the same order
        QVERIFY(!form->Session.FileName().isEmpty());
        QCOMPARE(form->Session.Dict().Count() > 0, true);
    }

    void failedOpenReturnsToPreviousTab() {
        Start();
        QVERIFY(form->OpenDictionary(P("one.bxd")));
        const int tabs = form->TabSet1->count();
        QFile bad(P("bad.bxd"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("this is not a dictionary at all, not even close..........................");
        bad.close();
        QVERIFY(!form->OpenDictionary(P("bad.bxd")));
        QCOMPARE(form->TabSet1->count(), tabs);
        QCOMPARE(form->Session.FileName(), P("one.bxd"));
        QCOMPARE(form->Session.Dict().Count(), 3);
        QVERIFY(errors.size() >= 1);
        QVERIFY(errors.first().startsWith(P("bad.bxd") + QStringLiteral(" could not be opened.")));
    }

    void unsavedChangesSavedOnSwitchAskedOnClose() {
        Start("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nAutoSave1=0\r\n");
        form->OpenDictionary(P("two.bxd"));
        form->OpenDictionary(P("one.bxd"));
        auto* item = new TDictionaryItem;
        item->SetKeyword("new");
        item->SetText("fresh");
        form->Session.Dict().Add(item);
        form->Session.SetModified(true);
        QCOMPARE(form->windowTitle(), QStringLiteral("Brevix 10.00 - one.bxd (modified)"));
        form->TabSet1->setCurrentIndex(form->FindTab(P("two.bxd")));
        QVERIFY(asked.isEmpty()); // a tab switch saves without asking
        TDictionaryList check;
        DictFile::Load(P("one.bxd"), check);
        QCOMPARE(check.Count(), 4);

        form->Session.Dict().Add([] {
            auto* i = new TDictionaryItem;
            i->SetKeyword("zz");
            return i;
        }());
        form->Session.SetModified(true);
        answer = QMessageBox::Cancel;
        form->CloseFile1Click();
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().startsWith(
            QStringLiteral("The dictionary 'two.bxd' has been modified.")));
        QCOMPARE(form->Session.FileName(), P("two.bxd")); // Cancel kept it open
        answer = QMessageBox::No;
        form->CloseFile1Click();
        QCOMPARE(form->FindTab(P("two.bxd")), -1);
        DictFile::Load(P("two.bxd"), check);
        QCOMPARE(check.Count(), 1); // No dropped the change
    }

    void saveAsReplacesTabInPlace() {
        Start();
        form->OpenDictionary(P("one.bxd"));
        form->OpenDictionary(P("two.bxd"));
        form->OpenDictionary(P("one.bxd"));
        const int count = form->TabSet1->count();
        const int index = form->TabSet1->currentIndex();
        nextFile = P("copy"); // the extension is added
        form->SaveAs1Click();
        QCOMPARE(form->Session.FileName(), P("copy.bxd"));
        QCOMPARE(form->TabSet1->count(), count);
        QCOMPARE(form->TabSet1->currentIndex(), index);
        QCOMPARE(form->TabSet1->tabText(index), QStringLiteral("copy"));
        QCOMPARE(form->Session.Dict().Count(), 3);
        QVERIFY(QFile::exists(P("one.bxd")));
    }

    void keywordBoxSearchAndNavigation() {
        Start();
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->OpenDictionary(P("one.bxd"));
        form->KeywordEdit->setFocus();
        form->KeywordEdit->clear();
        QTest::keyClicks(form->KeywordEdit, QStringLiteral("br"));
        QCOMPARE(form->CurrentRow(), 1);
        QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("be right back"));
        QTest::keyClick(form->KeywordEdit, Qt::Key_Down);
        QCOMPARE(form->CurrentRow(), 2);
        QCOMPARE(form->KeywordEdit->text(), QStringLiteral("btw"));
        QTest::keyClick(form->KeywordEdit, Qt::Key_Up);
        QCOMPARE(form->KeywordEdit->text(), QStringLiteral("brb"));
        // A prefix nothing starts with: the nearest row, no text.
        form->KeywordEdit->clear();
        QTest::keyClicks(form->KeywordEdit, QStringLiteral("bz"));
        QVERIFY(form->CurrentRow() >= 0);
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        QTest::keyClick(form->KeywordEdit, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(form->CurrentRow(), 2);
        QTest::keyClick(form->KeywordEdit, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(form->CurrentRow(), 0);
        // Typing in the grid starts a search in the keyword box.
        form->Grid->setFocus();
        QTest::keyClick(form->Grid, Qt::Key_S);
        QCOMPARE(form->KeywordEdit->text(), QStringLiteral("s"));
        QVERIFY(form->KeywordEdit->hasFocus());
    }

    void readOnlyDictionaryIsShownAndNotWritten() {
        Start();
        form->OpenDictionary(P("two.bxd"));
        const QDateTime written = QFileInfo(P("two.bxd")).lastModified();
        form->Session.Dict().SetReadOnly(true);
        form->UpdateTitle();
        QVERIFY(form->windowTitle().endsWith(QStringLiteral("two.bxd (READONLY)")));
        QTest::qWait(20);
        form->Save1Click();
        QCOMPARE(QFileInfo(P("two.bxd")).lastModified(), written);
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
