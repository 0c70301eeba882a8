// Linked dictionaries, Find and Search Again, Print to File, Copy to and the
// dictionary info box in the main window, driven offscreen as a user would.
#include "dictionary/gui/DictionaryInfoDialog.h"
#include "dictionary/gui/FindDialog.h"
#include "script/ScriptHost.h"
#include "shell/DictionaryGridModel.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TMainFormLinksTest : public QObject, TFormHarness {
    Q_OBJECT

    struct TBox {
        QString caption, text, details;
    };
    QList<TBox> boxes_;
    QList<int> answers_; // per box, in order; Yes when none is left
    QString printFile_;
    std::function<void(QDialog*)> onDialog_;

    void StartWith(const QByteArray& ini) {
        WriteFile(P(QStringLiteral("Brevixo.ini")), ini);
        Form = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("/CFG=") + Dir.path()}, nullptr, [this](TMainForm* m) {
                m->AskFileName = [this](TMainForm::TFileDialogKind, const QString&,
                                        const QString&) { return NextFile; };
                m->AskYesNoCancel = [this](const QString& msg) {
                    Asked << msg;
                    return Answer;
                };
                m->ShowError = [this](const QString& msg) { Errors << msg; };
                m->AskPrintFileName = [this](const QString&) { return printFile_; };
                m->AskBox = [this](int, const QString& caption, const QString& text,
                                   const QString& details, int, int) {
                    boxes_ << TBox{caption, text, details};
                    return answers_.isEmpty() ? int(QMessageBox::Yes) : answers_.takeFirst();
                };
                m->PrepareDialog = [this](QDialog* d) {
                    if (onDialog_) onDialog_(d);
                };
            });
        Form->show();
        QApplication::setActiveWindow(Form.get());
    }
    QByteArray LinksIni(const QStringList& links, bool on = true) {
        QByteArray ini = QByteArray(QuietIni) +
                         "AutoSave1=0\r\nEnableDictionaryLinks=" + (on ? "1" : "0") +
                         "\r\n[LinkedDictionaries]\r\n";
        for (const QString& l : links)
            ini += l.toUtf8() + "=0\r\n";
        return ini;
    }
    int Row(const char* keyword) { return Form->Session.Dict().IndexOfKeyword(keyword); }
    void Find(const QString& what, bool wholeWord = false, bool matchCase = false) {
        Form->XFindDialog1->SetFindText(what);
        Form->XFindDialog1->WholeWordChk->setChecked(wholeWord);
        Form->XFindDialog1->MatchCaseChk->setChecked(matchCase);
    }
    QString Selected() const { return Form->Memo1->textCursor().selectedText(); }

private slots:
    void init() {
        Reset();
        boxes_.clear();
        answers_.clear();
        onDialog_ = nullptr;
        MakeDictionary(P("own.bxd"), {{"addr", "12 Harbour Street", "postal address", 0x2041},
                                      {"brb", "be right back"},
                                      {"shared", "own text"},
                                      {"zz", "form\x0C"
                                             "feed"}});
        MakeDictionary(P("team.bxd"), {{"shared", "team text"},
                                       {"tsig", "The Team", "signature", 0x2041},
                                       {"weekly", "weekly report"}});
        MakeDictionary(P("other.bxd"), {{"tsig", "other"}, {"olink", "other link"}});
    }
    void cleanup() { Stop(); }

    void linkedEntriesAreMergedReadOnlyAndColoured() {
        StartWith(LinksIni({P("team.bxd"), P("other.bxd")}));
        QVERIFY(Form->OpenDictionary(P("own.bxd")));
        const TDictionaryList& dict = Form->Session.Dict();
        QCOMPARE(dict.Count(), 7);
        QCOMPARE(dict.GetItem(Row("shared"))->GetText(), QByteArray("own text"));
        QCOMPARE(dict.GetItem(Row("tsig"))->GetText(), QByteArray("The Team"));
        QCOMPARE(dict.GetItem(Row("tsig"))->GetShortcut(), 0); // own "addr" holds it
        QCOMPARE(dict.GetItem(Row("olink"))->GetLinked(), 2);
        QCOMPARE(Form->Session.LinkedSource(*dict.GetItem(Row("olink"))), P("other.bxd"));
        // Linked keywords in their own colour.
        Form->Settings.KeywordColor = 0x0000FF;
        Form->Settings.LinkedKeywordColor = 0x00FF00;
        Form->RefreshGrid(0);
        const auto colour = [&](const char* keyword) {
            return Form->GridModel->index(Row(keyword), 0).data(Qt::ForegroundRole);
        };
        QVERIFY(colour("olink") != colour("brb"));
        QCOMPARE(colour("olink"), colour("weekly"));
        // The menu item and the button show the links are on.
        emit Form->Dictionary1->aboutToShow();
        QVERIFY(Form->EnableDictLinks1->isChecked());
        QVERIFY(Form->DictLinksSpeedButton->isChecked());
        QCOMPARE(Form->DictLinksSpeedButton->toolTip(), QStringLiteral("Disable Dictionary Links"));
        QVERIFY(Form->ScriptHost->LinksOn());

        // Saving writes the own entries only; the linked file is not touched.
        const QByteArray team = ReadFile(P("team.bxd"));
        Form->Session.SetModified(true);
        Form->Save1Click();
        QCOMPARE(EntryCount(P("own.bxd")), 4);
        QCOMPARE(ReadFile(P("team.bxd")), team);
    }

    void switchingLinksOffAndOnReopens() {
        StartWith(LinksIni({P("team.bxd")}));
        Form->OpenDictionary(P("own.bxd"));
        QCOMPARE(Form->Session.Dict().Count(), 6);
        Form->DictLinksSpeedButton->click();
        QCOMPARE(Form->Session.Dict().Count(), 4);
        QVERIFY(!Form->EnableDictLinks1->isChecked());
        QCOMPARE(Form->DictLinksSpeedButton->toolTip(), QStringLiteral("Enable Dictionary Links"));
        // As a script switches it: "bx_set links 1".
        Form->ScriptHost->SetLinks(true);
        QCOMPARE(Form->Session.Dict().Count(), 6);
        QVERIFY(Form->DictLinksSpeedButton->isChecked());
        // A linked file changed on disk is read again on Refresh.
        MakeDictionary(P("team.bxd"), {{"fresh", "new"}});
        Form->Refresh1Click();
        QVERIFY(Row("fresh") >= 0);
        QCOMPARE(Row("weekly"), -1);
    }

    void failingLinkIsToldOnceAndRemovedOnYes() {
        WriteFile(P("broken.bxd"), "garbage, not a dictionary");
        answers_ = {QMessageBox::Yes, QMessageBox::Ignore};
        // The first dictionary opens at start-up, with its links.
        StartWith(LinksIni({P("gone.bxd"), P("broken.bxd"), P("team.bxd")}));
        QCOMPARE(boxes_.size(), 2);
        QCOMPARE(boxes_[0].caption, QStringLiteral("Brevix Warning"));
        QCOMPARE(boxes_[0].text, QStringLiteral("Unable to open link to dictionary file\n%1\n\n"
                                                "Do you want to remove this link?")
                                     .arg(P("gone.bxd")));
        QVERIFY(!boxes_[0].details.isEmpty());
        QVERIFY(boxes_[1].details.contains(QStringLiteral("Unrecognized file header")));
        QCOMPARE(Form->Settings.LinkedDictionaries, (QStringList{P("broken.bxd"), P("team.bxd")}));
        QVERIFY(ReadFile(P("Brevixo.ini")).contains("team.bxd"));
        QVERIFY(!ReadFile(P("Brevixo.ini")).contains("gone.bxd"));
        // Each load asks again about a link that was kept, once.
        boxes_.clear();
        answers_ = {QMessageBox::Ignore};
        QVERIFY(Form->OpenDictionary(P("own.bxd")));
        QCOMPARE(boxes_.size(), 1);
        QVERIFY(boxes_[0].text.contains(P("broken.bxd")));
        QCOMPARE(Form->Session.Dict().GetItem(Row("weekly"))->GetLinked(), 2);
        QCOMPARE(Form->Session.Dict().Count(), 6);
    }

    void searchFindsTextsKeywordsAndDescriptions() {
        StartWith(LinksIni({}));
        Form->OpenDictionary(P("own.bxd"));
        // The Find dialog searches the text shown first.
        Form->ShowEntry(Row("addr"));
        Form->Find1Click();
        QVERIFY(Form->XFindDialog1->isVisible());
        Find(QStringLiteral("harbour"));
        Form->XFindDialog1->FindNextBtn->click();
        QVERIFY(!Form->XFindDialog1->isVisible());
        QCOMPARE(Selected(), QStringLiteral("Harbour"));
        QCOMPARE(Form->LastFoundRow, Row("addr"));
        // Whole words at the very start of a text, of a keyword, of a description.
        Find(QStringLiteral("be"), true);
        Form->FindNext1Click();
        QCOMPARE(Form->CurrentRow(), Row("brb"));
        QCOMPARE(Selected(), QStringLiteral("be"));
        Form->ShowEntry(0);
        Form->LastFoundRow = 0;
        Find(QStringLiteral("zz"), true);
        Form->FindNext1Click();
        QCOMPARE(Form->CurrentRow(), Row("zz"));
        QCOMPARE(Form->LastFoundRow, Row("zz"));
        Form->ShowEntry(Row("brb"));
        Find(QStringLiteral("POSTAL"), true);
        Form->FindNext1Click(); // from brb on: nothing, so the question comes
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].caption, QStringLiteral("Not Found"));
        QCOMPARE(Form->CurrentRow(), Row("addr")); // Yes restarted from the first row
        QCOMPARE(Form->LastFoundRow, Row("addr"));
        // Case must match when asked.
        Find(QStringLiteral("POSTAL"), false, true);
        answers_ = {QMessageBox::No};
        Form->ShowEntry(Row("brb"));
        Form->FindNext1Click();
        QCOMPARE(boxes_.size(), 2);
        QCOMPARE(Form->CurrentRow(), Form->Session.Dict().Count() - 1); // No leaves the last row
        QCOMPARE(Form->HideBtn->text(), QStringLiteral("&Hide"));
        QVERIFY(!Form->Searching);
    }

    void searchAgainWalksEntriesAndOccurrences() {
        MakeDictionary(P("many.bxd"), {{"a1", "x needle y needle"},
                                       {"a2", "nothing"},
                                       {"a3", "none"},
                                       {"a4", "last needle"}});
        StartWith(LinksIni({}));
        Form->OpenDictionary(P("many.bxd"));
        Form->ShowEntry(0);
        Form->Memo1->moveCursor(QTextCursor::Start);
        Find(QStringLiteral("needle"));
        Form->FindNext1Click();
        QCOMPARE(Form->Memo1->textCursor().selectionStart(), 2);
        Form->FindNext1Click(); // the next occurrence in the same text
        QCOMPARE(Form->Memo1->textCursor().selectionStart(), 11);
        Form->FindNext1Click(); // then on through the entries, to the last one
        QCOMPARE(Form->CurrentRow(), 3);
        QCOMPARE(Selected(), QStringLiteral("needle"));
        QVERIFY(boxes_.isEmpty());
        // From the last row the question comes at once.
        answers_ = {QMessageBox::Cancel};
        Form->FindNext1Click();
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].text, QStringLiteral("The search text was not found.\nDo you want to "
                                                "restart the search\nfrom the beginning of the "
                                                "dictionary?"));
        QCOMPARE(Form->CurrentRow(), 3);
        // An empty search string opens the Find dialog instead.
        Form->XFindDialog1->hide();
        Find(QString());
        Form->FindNext1Click();
        QVERIFY(SpinUntil([&] { return Form->XFindDialog1->isVisible(); }));
        // F3 and Ctrl+F are the menu items' keys.
        QCOMPARE(Form->FindNext1->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(Form->Find1->shortcut(), QKeySequence(QKeySequence::Find));
    }

    void printToFileListsOwnEntriesOnly() {
        StartWith(LinksIni({P("team.bxd")}));
        Form->OpenDictionary(P("own.bxd"));
        printFile_ = P("listing.txt");
        emit Form->File1->aboutToShow();
        QVERIFY(Form->PrinttoFile1->isEnabled());
        Form->PrinttoFile1Click();
        QList<QByteArray> lines = ReadFile(printFile_).split('\n');
        QVERIFY(lines.size() > 2);
        QVERIFY(lines[1].startsWith("Printed: "));
        lines[1] = "Printed: -\r";
        const QByteArray expected = "File: " + P("own.bxd").toUtf8() +
                                    "\r\n"
                                    "Printed: -\r\n"
                                    "\r\n\r\nKEYWORD: addr\r\nDESCRIPTION: postal address\r\n"
                                    "12 Harbour Street"
                                    "\r\n\r\nKEYWORD: brb\r\nDESCRIPTION: \r\nbe right back"
                                    "\r\n\r\nKEYWORD: shared\r\nDESCRIPTION: \r\nown text"
                                    "\r\n\r\nKEYWORD: zz\r\nDESCRIPTION: \r\nform feed";
        QCOMPARE(lines.join('\n'), expected);
        QVERIFY(Errors.isEmpty());
        // A file that cannot be created is told.
        printFile_ = P("no/such/folder/listing.txt");
        Form->PrinttoFile1Click();
        QCOMPARE(Errors.size(), 1);
        QVERIFY(Errors[0].contains(printFile_));
    }

    void copyToLeavesTitleTabsAndBackupsAlone() {
        StartWith(LinksIni({P("team.bxd")}));
        Form->OpenDictionary(P("own.bxd"));
        const QString title = Form->windowTitle();
        const QStringList tabs = Form->TabPaths();
        Form->Session.SetModified(true);
        Answer = QMessageBox::No; // the change stays unsaved in the open dictionary
        NextFile = P("copy");
        Form->Copyto1Click();
        QCOMPARE(EntryCount(P("copy.bxd")), 4); // own entries only
        QVERIFY(Form->Session.Modified());
        Form->Session.SetModified(false);
        QCOMPARE(Form->windowTitle(), title);
        QCOMPARE(Form->TabPaths(), tabs);
        QCOMPARE(Form->Session.FileName(), P("own.bxd"));
        QVERIFY(!QFile::exists(P("copy.~BX")));
        QVERIFY(!QFile::exists(P("own.~BX")));
    }

    void infoBoxShowsAndCopiesTheFacts() {
        StartWith(LinksIni({P("team.bxd")}));
        Form->OpenDictionary(P("own.bxd"));
        Form->Session.Dict().SetInfoLines("  Team words ", "", "v2");
        QString told;
        onDialog_ = [&](QDialog* d) {
            auto* info = qobject_cast<TDictionaryInfoDlg*>(d);
            QVERIFY(info);
            info->Inform = [&](const QString& caption, const QString& text) {
                told = caption + "|" + text;
            };
            QTimer::singleShot(0, info, [info] {
                info->CopyBtn->click();
                info->OKBtn->click();
            });
        };
        Form->Info1Click();
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("DICTIONARY INFO FOR: %1\r\nDictionary Entries = 6\r\n"
                                "Team words\r\n\r\nv2\r\n")
                     .arg(P("own.bxd")));
        QCOMPARE(told, QStringLiteral("Dictionary Info|") + TDictionaryInfoDlg::LicInfoMsg);
        // No info lines: three empty lines, still ended.
        TDictionaryInfoDlg empty(P("x.bxd"), 0, "", "", "");
        QVERIFY(empty.ClipboardText().endsWith("= 0\r\n\r\n\r\n\r\n"));
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainFormLinksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform_links.moc"
