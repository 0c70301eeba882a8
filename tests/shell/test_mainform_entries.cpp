// Making and changing entries in the main window: the editor opened by the
// commands, the checks before a change, the clipboard between dictionaries,
// the read-only and linked cases, and quick add from another program.
#include "dictionary/EntryClipboardGui.h"
#include "shell/MainfrmEntries.h"
#include "tags/gui/DictionaryEditDlg.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TMainFormEntriesTest : public QObject, TFormHarness {
    Q_OBJECT
    QStringList captions;
    bool yes = true;

    // The next editor gets these values and OK; a null keyword cancels it.
    void Edit(const char* keyword, const char* text = nullptr, uint16_t = 0) {
        Form->PrepareEditor = [this, keyword, text](TDictionaryEditDlg* d) {
            captions << d->windowTitle();
            if (!keyword) {
                d->done(QDialog::Rejected);
                return;
            }
            d->KeywordEdit->setText(QString::fromLatin1(keyword));
            if (text) d->TextMemo->setPlainText(QString::fromLatin1(text));
            d->OKBtnClick();
        };
    }
    void StartWith(const QString& file) {
        Start();
        Form->AskYesNo = [this](const QString& m) {
            Asked << m;
            return yes;
        };
        Form->show();
        QVERIFY(Form->OpenDictionary(P(file)));
    }
    int Row(const char* keyword) { return Form->Session.Dict().IndexOfKeyword(keyword); }
    void SelectRows(int top, int bottom) {
        auto* m = Form->Grid->model();
        Form->Grid->selectionModel()->setCurrentIndex(m->index(top, 0),
                                                      QItemSelectionModel::NoUpdate);
        Form->Grid->selectionModel()->select(
            QItemSelection(m->index(top, 0), m->index(bottom, m->columnCount() - 1)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

private slots:
    void init() {
        Reset();
        captions.clear();
        yes = true;
        MakeDictionary(
            P("one.bxd"),
            {{"addr", "12 Harbour Street"}, {"brb", "be right back"}, {"btw", "by the way"}});
        MakeDictionary(P("two.bxd"), {{"sig", "Kind regards"}});
    }
    void cleanup() {
        if (Form) Form->Session.SetModified(false);
        Stop();
    }

    void addModifyAndRemove() {
        StartWith("one.bxd");
        Edit("  New ", "fresh text");
        Form->Add1Click();
        QCOMPARE(captions, QStringList{"Dictionary Text [Add]"});
        QVERIFY(Row("new") >= 0);
        QVERIFY(Form->Session.Modified());
        QVERIFY(Form->windowTitle().contains("(modified)"));
        QCOMPARE(Form->KeywordEdit->text(), QStringLiteral("new"));
        QCOMPARE(Form->Memo1->toPlainText(), QStringLiteral("fresh text"));

        // A keyword in use reopens the editor with the message; Cancel then adds nothing.
        int opened = 0;
        Form->PrepareEditor = [&](TDictionaryEditDlg* d) {
            if (++opened == 1) {
                d->KeywordEdit->setText("brb");
                d->OKBtnClick();
            } else {
                d->done(QDialog::Rejected);
            }
        };
        Form->Add1Click();
        QCOMPARE(opened, 2);
        QCOMPARE(Errors, QStringList{"The keyword \"brb\" is already in use."});
        QCOMPARE(Form->Session.Dict().Count(), 4);

        Form->ShowEntry(Row("brb"));
        Edit("brb", "be right back soon");
        Form->Modify1Click();
        QCOMPARE(captions.last(), QStringLiteral("Dictionary Text [Modify]"));
        QCOMPARE(Form->Session.Dict().GetItem(Row("brb"))->GetText(),
                 QByteArray("be right back soon"));

        // Delete in the grid cuts the row after asking, No the default answer.
        Form->ShowEntry(Row("btw"));
        yes = false;
        QTest::keyClick(Form->Grid, Qt::Key_Delete);
        QVERIFY(Row("btw") >= 0);
        yes = true;
        QTest::keyClick(Form->Grid, Qt::Key_Delete);
        QVERIFY(Asked.last().startsWith("The entry with the keyword \"btw\""));
        QCOMPARE(Row("btw"), -1);
        QVERIFY(EntryClipboardGui::HasEntries());
    }

    void severalRowsCutAndPastedIntoAnotherDictionary() {
        StartWith("one.bxd");
        SelectRows(0, 2);
        Form->UpdateEntryCommands();
        QVERIFY(!Form->Modify1->isEnabled());
        QVERIFY(!Form->Duplicate1->isEnabled());
        QVERIFY(Form->Remove1->isEnabled());
        Form->Remove1Click();
        QVERIFY(Asked.last().startsWith("The 3 selected entries will be deleted"));
        QCOMPARE(Form->Session.Dict().Count(), 0);
        Form->Save1Click();

        QVERIFY(Form->OpenDictionary(P("two.bxd")));
        Form->UpdateEntryCommands();
        QVERIFY(Form->Paste1->isEnabled());
        QCOMPARE(Form->Paste1Click(), 3);
        QCOMPARE(Form->Session.Dict().Count(), 4);
        QCOMPARE(Form->Session.Dict().GetItem(Row("addr"))->GetText(),
                 QByteArray("12 Harbour Street"));
        // Again: the copies are numbered.
        QCOMPARE(Form->Paste1Click(), 3);
        QVERIFY(Row("addr (1)") >= 0);
        QVERIFY(Form->Session.Modified());
    }

    void copyOfOneEntryAndDuplicate() {
        StartWith("one.bxd");
        Form->ShowEntry(Row("addr"));
        Form->Copy1Click();
        const auto block = EntryClipboardGui::Get();
        QVERIFY(block.has_value());
        QCOMPARE(block->left(4), QByteArray("\x01\0\0\0", 4));

        Edit("addr2");
        Form->ShowEntry(Row("addr"));
        Form->Duplicate1Click();
        QCOMPARE(captions, QStringList{"Dictionary Text [Add]"});
        QCOMPARE(Form->Session.Dict().GetItem(Row("addr2"))->GetText(),
                 QByteArray("12 Harbour Street"));
    }

    void linkedAndReadOnlyEntriesAreOnlyViewed() {
        StartWith("one.bxd");
        Form->Session.Dict().GetItem(Row("brb"))->SetLinked(1);
        Form->ShowEntry(Row("brb"));
        bool readOnly = false;
        Form->PrepareEditor = [&](TDictionaryEditDlg* d) {
            captions << d->windowTitle();
            readOnly =
                d->KeywordEdit->isReadOnly() && d->TextMemo->isReadOnly() && !d->OKBtn->isEnabled();
            d->done(QDialog::Rejected);
        };
        Form->Modify1Click();
        QVERIFY(readOnly);
        QVERIFY(captions.last().startsWith("Dictionary Text [Read Only - Linked from "));
        Form->UpdateEntryCommands();
        QVERIFY(!Form->Remove1->isEnabled());
        Form->Remove1Click();
        QCOMPARE(Errors.last(),
                 QStringLiteral("The entry with the keyword \"brb\"\nis marked READONLY and "
                                "cannot be removed.."));
        QVERIFY(Row("brb") >= 0);
        QVERIFY(!Form->Session.Modified());
    }

    void theHiddenViewerShowsAnEditableEntryReadOnly() {
        StartWith("one.bxd");
        QVERIFY(Form->Dictionary1->actions().contains(Form->Viewer1));
        QVERIFY(Form->DictPopupMenu->actions().contains(Form->Viewer1));
        QVERIFY(!Form->Viewer1->isVisible());
        Form->ShowEntry(Row("btw"));
        Form->UpdateEntryCommands();
        bool readOnly = false;
        Form->PrepareEditor = [&](TDictionaryEditDlg* d) {
            captions << d->windowTitle();
            readOnly = d->KeywordEdit->isReadOnly() && d->TextMemo->isReadOnly();
            d->KeywordEdit->setText(QStringLiteral("changed"));
            d->OKBtnClick();
        };
        // Its key, although the item is hidden.
        Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
        QTest::keyClick(Form.get(), Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(captions, QStringList{"Dictionary Text [Read Only]"});
        QVERIFY(readOnly);
        QVERIFY(Row("btw") >= 0);
        QVERIFY(Row("changed") < 0);
        QVERIFY(!Form->Session.Modified());
        // Nothing to view without a current entry.
        Form->Grid->clearSelection();
        Form->UpdateEntryCommands();
        QTest::keyClick(Form.get(), Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(captions.size(), 1);
    }

    void quickAddOpensTheEditorOnTheProposal() {
        StartWith("two.bxd");
        QString keyword, text;
        bool okEnabled = false;
        Form->PrepareEditor = [&](TDictionaryEditDlg* d) {
            keyword = d->KeywordEdit->text();
            text = d->TextMemo->toPlainText();
            okEnabled = d->OKBtn->isEnabled();
            d->OKBtnClick();
        };
        Form->QuickAdd("tyvm", "thank you very much");
        QCOMPARE(keyword, QStringLiteral("tyvm"));
        QCOMPARE(text, QStringLiteral("thank you very much"));
        QVERIFY(okEnabled);
        QCOMPARE(Form->Session.Dict().GetItem(Row("tyvm"))->GetText(),
                 QByteArray("thank you very much"));
        QVERIFY(!Form->Entries->Operations.HasProposal());
        // The editor keeps its options beside the program's other settings.
        QVERIFY(ReadFile(P("Brevixo.ini")).contains("[DictEdit]"));
    }

    void commandsWithoutAnEntry() {
        StartWith("one.bxd");
        Form->Grid->selectionModel()->clearSelection();
        QApplication::clipboard()->setText(QStringLiteral("plain text"));
        Form->UpdateEntryCommands();
        QVERIFY(Form->Add1->isEnabled());
        QVERIFY(!Form->Modify1->isEnabled());
        QVERIFY(!Form->Copy1->isEnabled());
        QVERIFY(!Form->Paste1->isEnabled()); // plain text is no entry
        Form->ShowShortcuts1->trigger();
        QCOMPARE(Form->Settings.DisplayShortCuts, Form->ShowShortcuts1->isChecked());
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainFormEntriesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform_entries.moc"
