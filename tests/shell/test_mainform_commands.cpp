// The main window's smaller commands driven as a user would, offscreen: the
// dictionary pop-up and buttons, paging, the title, the text-to-type box's
// menu, the Hide button and the suggestion window that follows the window.
#include "hook/HookApi.h"
#include "platform/MessageBox.h"
#include "script/ScriptHost.h"
#include "script/gui/TclConsole.h"
#include "tests/shell/OffscreenDesktop.h"
#include "typing/TypingController.h"
#include "typing/gui/HintBox.h"
#include "typing/gui/HintWindows.h"
#include "typing/gui/SuggestionWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TMainFormCommandsTest : public QObject, TFormHarness {
    Q_OBJECT
    void StartShown(const QByteArray& ini = QuietIni) {
        Start(ini);
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
    }
    void Modify() {
        auto* item = new TDictionaryItem;
        item->SetKeyword("zz");
        item->SetText("added");
        Form->Session.Dict().Add(item);
        Form->Session.SetModified(true);
    }
    static constexpr char SuggestIni[] =
        "[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nAutoReplace=1\r\n"
        "AutoReplaceAlwaysShow=1\r\nAutoHideSuggestionWindow=0\r\n";
    TAssistantForm* Suggestions() const {
        return Form->Hints ? Form->Hints->AssistantForm : nullptr;
    }

private slots:
    void init() {
        Reset();
        MakeDictionary(P("one.bxd"), {{"brb", "be right back"}, {"btw", "by the way"}});
        MakeDictionary(P("two.bxd"), {{"sig", "Kind regards"}});
    }
    void cleanup() { Stop(); }

    void hintAndTextBoxFollowTheRunOfAnExpansion() {
        WriteFile(P("PAGES.CFG"), P("one.bxd").toUtf8() + "\r\n");
        StartShown();
        Form->hide();
        const BxHwnd editor = BxVirtualCreateWindow(77);
        BxVirtualSetFocus(editor);
        BxVirtualSetText(editor, "");
        const auto settled = [this] { return Form->Typing->Idle() && BxWaitIdle(0); };
        BxVirtualType("brb");
        QVERIFY(SpinUntil(settled));
        QCOMPARE(Form->Hints->HintBox->Keyword(), QByteArray("brb"));
        // The delimiter hands the text to the typist; the hint follows its run.
        BxVirtualType(" ");
        QVERIFY(SpinUntil(settled));
        char text[64] = {};
        BxVirtualGetText(editor, text, sizeof text);
        QCOMPARE(QByteArray(text), QByteArray("be right back "));
        QCOMPARE(Form->Hints->HintBox->Keyword(), QByteArray());
        // The text box, out of sight, is filled once the run is over (with
        // what was typed: the keyword's first letter stayed).
        const QByteArray typed = Form->TextToTypeShown();
        QCOMPARE(typed, QByteArray("e right back"));
        QTRY_COMPARE(Form->Memo1->toPlainText(), QString::fromLatin1(typed));
    }

    void dictionaryPopupAndButtonsWorkOnTheOpenFile() {
        StartShown();
        NextFile = P("two.bxd");
        Form->OpenSpeedButton->click();
        QCOMPARE(Form->Session.FileName(), P("two.bxd"));
        const int tabs = Form->TabSet1->count();

        // Refresh File reads the file again from disk.
        MakeDictionary(P("two.bxd"), {{"sig", "Kind regards"}, {"ty", "thank you"}});
        Form->DictPopupMenuPopup();
        Form->RefreshFile1->trigger();
        QCOMPARE(Form->Session.Dict().Count(), 2);

        // Save File and the save button write the changes.
        Modify();
        Form->SaveFile1->trigger();
        QCOMPARE(EntryCount(P("two.bxd")), 3);
        QVERIFY(!Form->Session.Modified());

        // Both are off for a read-only dictionary; Close File needs a tab.
        Form->Session.Dict().SetReadOnly(true);
        Form->DictPopupMenuPopup();
        QVERIFY(!Form->SaveFile1->isEnabled());
        QVERIFY(!Form->SaveSpeedButton->isEnabled());
        QVERIFY(Form->CloseFile2->isEnabled());
        Form->Session.Dict().SetReadOnly(false);

        Form->CloseFile2->trigger();
        QCOMPARE(Form->TabSet1->count(), tabs - 1);
        QCOMPARE(Form->FindTab(P("two.bxd")), -1);

        // The grid and the tabs both offer the menu.
        QCOMPARE(Form->Grid->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(Form->TabSet1->contextMenuPolicy(), Qt::CustomContextMenu);
    }

    void pageKeysMoveToTheGridsNewTopRow() {
        QList<TEntrySpec> many;
        QList<QByteArray> keys;
        for (int i = 0; i < 300; ++i)
            keys << QByteArray("k") + QByteArray::number(1000 + i);
        for (const QByteArray& k : keys)
            many << TEntrySpec(k.constData(), "text");
        MakeDictionary(P("many.bxd"), many);
        StartShown();
        Form->OpenDictionary(P("many.bxd"));
        QApplication::setActiveWindow(Form.get());
        Form->KeywordEdit->setFocus();
        Form->ShowEntry(0);
        Form->Grid->verticalScrollBar()->setValue(0);

        QTest::keyClick(Form->KeywordEdit, Qt::Key_PageDown);
        const int top = Form->Grid->rowAt(0);
        QVERIFY(top > 0);
        QCOMPARE(Form->CurrentRow(), top); // the new top row, not current + page
        QVERIFY(Form->KeywordEdit->hasFocus());

        QTest::keyClick(Form->KeywordEdit, Qt::Key_PageUp);
        QCOMPARE(Form->Grid->rowAt(0), 0);
        QCOMPARE(Form->CurrentRow(), 0);

        // At the bottom the grid cannot scroll: the last row becomes current.
        Form->Grid->verticalScrollBar()->setValue(Form->Grid->verticalScrollBar()->maximum());
        QTest::keyClick(Form->KeywordEdit, Qt::Key_PageDown);
        QCOMPARE(Form->CurrentRow(), 299);
    }

    void titleAndTaskBarNameFollowTheOpenFile() {
        StartShown();
        Form->OpenDictionary(P("one.bxd"));
        QCOMPARE(Form->windowTitle(), QStringLiteral("Brevix 10.00 - one.bxd"));
        QCOMPARE(Form->windowIconText(), QStringLiteral("Brevix 10.00 one.bxd"));
        Form->CloseOpenDictionary();
        QCOMPARE(Form->windowIconText(), QStringLiteral("Brevix 10.00 [None]"));
    }

    void saveAsStartsInTheFolderLastUsed() {
        StartShown();
        QStringList dirs;
        Form->AskFileName = [&](TMainForm::TFileDialogKind, const QString& dir, const QString&) {
            dirs << dir;
            return NextFile;
        };
        QVERIFY(QDir(Dir.path()).mkpath(QStringLiteral("sub")));
        Form->CreateDictionary(P("Untitled.bxd"));
        NextFile = P("sub/first.bxd");
        Form->SaveAs1Click();
        Form->CreateDictionary(P("Untitled.bxd"));
        NextFile = P("sub/second.bxd");
        Form->SaveAs1Click();
        QCOMPARE(dirs.size(), 2);
        QCOMPARE(QDir(dirs[0]).absolutePath(), QDir(Form->ConfigDir).absolutePath());
        QCOMPARE(dirs[1], P("sub"));
        QVERIFY(QFile::exists(P("sub/second.bxd")));
    }

    void firstShowScrollsTheTabRowToItsEnd() {
        QByteArray pages;
        for (int i = 0; i < 20; ++i) {
            const QString name = P(QStringLiteral("dictionary%1.bxd").arg(i, 2, 10, QChar('0')));
            MakeDictionary(name, {{"a", "b"}});
            pages += name.toUtf8() + "\r\n";
        }
        QVERIFY(WriteFile(P("PAGES.CFG"), pages));
        Start();
        Form->resize(320, 300);
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
        const int last = Form->TabSet1->count() - 1;
        QCOMPARE(last, 19);
        QCOMPARE(Form->TabSet1->currentIndex(), 0); // the selection does not move
        QTRY_VERIFY(Form->TabSet1->tabRect(last).right() <= Form->TabSet1->width());
        QVERIFY(Form->TabSet1->tabRect(0).right() < 0); // scrolled, not squeezed
    }

    void textToTypeMenuRestoresAndCopies() {
        StartShown();
        Form->OpenDictionary(P("one.bxd"));
        QApplication::setActiveWindow(Form.get());

        // A click on the label opens the menu and puts the focus in the box.
        QTest::mouseClick(Form->TextToTypeLbl, Qt::LeftButton);
        QTRY_VERIFY(Form->TexToTypPopupMenu->isVisible());
        QVERIFY(Form->Memo1->hasFocus());
        Form->TexToTypPopupMenu->hide();

        Form->Typing->LastTypedText = "see you soon";
        Form->KeywordEdit->setText(QStringLiteral("brb"));
        Form->RestoreLast1->trigger();
        QVERIFY(Form->KeywordEdit->text().isEmpty());
        QCOMPARE(Form->Memo1->toPlainText(), QStringLiteral("see you soon"));

        // Without a selection there is nothing to copy to the keyword box.
        Form->Memo1->moveCursor(QTextCursor::End);
        Form->TexToTypPopupMenuPopup();
        QVERIFY(!Form->CopytoKeywordBox1->isEnabled());
        QTextCursor c = Form->Memo1->textCursor();
        c.setPosition(4);
        c.setPosition(7, QTextCursor::KeepAnchor);
        Form->Memo1->setTextCursor(c);
        Form->TexToTypPopupMenuPopup();
        QVERIFY(Form->CopytoKeywordBox1->isEnabled());
        Form->CopytoKeywordBox1->trigger();
        QCOMPARE(Form->KeywordEdit->text(), QStringLiteral("you"));
        QCOMPARE(Form->KeywordEdit->selectedText(), QStringLiteral("you"));

        // The input panel's menu hides and shows the box, in step with the main menu.
        Form->ShowTexttoTypeBox2->trigger();
        QVERIFY(!Form->Memo1->isVisible());
        QVERIFY(!Form->ShowTexttoTypebox1->isChecked());
        Form->ShowTexttoTypeBox2->trigger();
        QVERIFY(Form->Memo1->isVisible());
    }

    void hideButtonSavesStopsASearchAndMinimises() {
        StartShown("[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nAutoSave1=1\r\n");
        Form->OpenDictionary(P("one.bxd"));

        Form->Searching = true;
        Form->HideBtn->click();
        QVERIFY(!Form->Searching);
        QVERIFY(Form->isVisible() && !Form->isMinimized()); // only the search ended

        Modify();
        Form->HideBtn->click();
        QCOMPARE(EntryCount(P("one.bxd")), 3);
        QTRY_VERIFY(!Form->isVisible() || Form->isMinimized());
        QCOMPARE(GetFSMState(), int(BX_FSM_WATCHING));
    }

    void startWithTheSessionAndNoNotificationArea() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        StartShown();
        const QString entry = config.filePath(QStringLiteral("autostart/brevix.desktop"));
        Form->StartWithSession1->trigger();
        QVERIFY(Form->StartWithSession1->isChecked());
        QVERIFY(ReadFile(entry).contains(" --autostart\n"));
        Form->StartWithSession1->trigger();
        QVERIFY(!QFile::exists(entry));
        qunsetenv("XDG_CONFIG_HOME");

        // Offscreen there is no notification area: the window minimises and says why.
        Form->HideBtn->click();
        QTRY_VERIFY(Form->isMinimized());
        QVERIFY(Form->StatusLbl->text().contains(QStringLiteral("No notification area")));
    }

    void minimisingLeavesNothingToTypeInto() {
        StartShown();
        Form->TypeItBtn->setEnabled(true);
        Form->SetFSM(BX_FSM_SUSPENDED);
        Form->showMinimized();
        QTRY_VERIFY(!Form->TypeItBtn->isEnabled());
        QCOMPARE(GetFSMState(), int(BX_FSM_WATCHING));
    }

    void suggestionWindowComesBackWhenTheMainWindowHides() {
        StartShown(SuggestIni);
        TAssistantForm* s = Suggestions();
        QVERIFY(s);
        QTRY_VERIFY(s->isVisible());
        s->HideTemporarily1->trigger();
        QVERIFY(!s->isVisible());
        Form->HideBtn->click();
        QTRY_VERIFY(s->isVisible());

        // Auto-hiding: away while the main window is up, back when it goes,
        // even after the user hid it while the main window was away.
        Form->Settings.Set(aoAutoHideSuggestionWindow, true);
        Form->Hints->ApplyOptions(Form->Settings.AutoReplaceOptions, true);
        Form->TrayOpenOptClick();
        QTRY_VERIFY(!s->isVisible());
        Form->HideBtn->click();
        QTRY_VERIFY(s->isVisible());
        s->HideTemporarily1->trigger();
        Form->TrayOpenOptClick();
        Form->HideBtn->click();
        QTRY_VERIFY(s->isVisible());
        Form->Settings.Set(aoAutoHideSuggestionWindow, false);
        Form->Hints->ApplyOptions(Form->Settings.AutoReplaceOptions, true);
        Form->TrayOpenOptClick();

        // "About..." is answered by the main window, which comes up for the box
        // and goes again.
        s->MenuBtn->click();
        QTRY_VERIFY(s->PopupMenu1->isVisible());
        QVERIFY(s->About1->isEnabled());
        QVERIFY(s->Preferences1->isEnabled());
        s->PopupMenu1->hide();
        bool shownForTheBox = false;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            driver.stop();
            shownForTheBox = Form->isVisible() && !Form->isMinimized();
            box->close();
        });
        driver.start(10);
        s->About1->trigger();
        QVERIFY(shownForTheBox);
        QTRY_VERIFY(!Form->isVisible() || Form->isMinimized());
    }

    void runFileConverterStartsItOrSaysWhyNot() {
        StartShown();
        QVERIFY(Form->RunFileConverter1->text().contains("&Run File Converter"));
        QCOMPARE(QFileInfo(Form->FileConverterProgram()).fileName(), QStringLiteral("bxconvert"));
        Form->FileConverterPath = P("no-such-converter");
        QString said;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            // The whole text, as the box keeps it before shortening it for the screen.
            auto* box = dynamic_cast<TMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            driver.stop();
            said = box->FullText() + "|" + box->windowTitle();
            box->close();
        });
        driver.start(10);
        Form->RunFileConverter1->trigger();
        QCOMPARE(said, "Brevix could not launch\n\"" + P("no-such-converter") + "\"|Brevix");
        // A program that is there is started and left to run on its own.
        QFile script(P("converter.sh"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$0.ran\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        Form->FileConverterPath = P("converter.sh");
        Form->RunFileConverter1->trigger();
        QTRY_VERIFY(QFileInfo::exists(P("converter.sh.ran")));
    }

    void consoleTakesTheSuggestionWindowAway() {
        StartShown(SuggestIni);
        TAssistantForm* s = Suggestions();
        QTRY_VERIFY(s && s->isVisible());
        bool hiddenMeanwhile = false;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            QWidget* console = QApplication::activeModalWidget();
            if (!console) return;
            driver.stop();
            hiddenMeanwhile = !s->isVisible() && !s->Enabled();
            console->close();
        });
        driver.start(10);
        RunTclScriptConsole(*Form->ScriptHost, Form->Tcl.get());
        QVERIFY(hiddenMeanwhile);
        QVERIFY(s->Enabled());
        QVERIFY(Form->SuggestionWanted);

        // Placing the main window (as each typing run ends) switches the
        // window back on, unless an editor or a console does not want it.
        s->SetShown(false);
        Form->SuggestionWanted = false;
        Form->PlaceWindow(Form.get(), false);
        QVERIFY(!s->Enabled());
        Form->SuggestionWanted = true;
        Form->PlaceWindow(Form.get(), false);
        QVERIFY(s->Enabled());
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TMainFormCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform_commands.moc"
