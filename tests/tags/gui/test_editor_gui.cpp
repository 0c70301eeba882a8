// The entry editor, its tag dialogs and the recorder, driven offscreen as a
// user would: what each writes into the text, what OK refuses, what is kept.
#include "dictionary/DictItem.h"
#include "dictionary/EntryEditOptions.h"
#include "hook/HookProtocol.h"
#include "platform/IniFile.h"
#include "tags/gui/DictionaryEditDlg.h"
#include "tags/gui/RecordDlg.h"
#include "tags/gui/TagDialogs.h"
#include "tags/gui/TagsMenu.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

class TEditorTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    TEditorServices services;
    std::unique_ptr<TDictionaryEditDlg> dlg;
    QStringList messages, questions;
    bool answer = true;

    TDictionaryEditDlg* Open(const char* keyword, const char* text, int options = editopt::All) {
        TDictionaryItem item;
        item.SetKeyword(keyword);
        item.SetText(text);
        dlg = std::make_unique<TDictionaryEditDlg>(services);
        dlg->ShowMessage = [this](const QString& m) { messages << m; };
        dlg->AskYes = [this](const QString& m) {
            questions << m;
            return answer;
        };
        dlg->SetEntry(item, options, QStringLiteral("Add"));
        dlg->show();
        return dlg.get();
    }
    QAction* Item(const char* name) {
        return dlg->TagsMenu->findChild<QAction*>(QLatin1String(name));
    }
    QString Text() const { return dlg->TextMemo->toPlainText(); }
    // Runs a menu item with the text "ab|cd" (caret at |), then one Undo.
    QString InsertedByItem(const char* name) {
        dlg->TextMemo->setPlainText(QStringLiteral("abcd"));
        QTextCursor c = dlg->TextMemo->textCursor();
        c.setPosition(2);
        dlg->TextMemo->setTextCursor(c);
        Item(name)->trigger();
        const QString after = Text();
        dlg->UndoBtn->click();
        if (Text() != QLatin1String("abcd")) return QStringLiteral("undo left: ") + Text();
        return after.mid(2, after.size() - 4);
    }

private slots:
    void init() {
        services = TEditorServices();
        services.IniPath = dir.filePath(QStringLiteral("Brevixo.ini"));
        QFile::remove(services.IniPath);
        messages.clear();
        questions.clear();
        answer = true;
    }
    void cleanup() { dlg.reset(); }

    void keywordTrimmedLoweredAndRequired() {
        Open("", "text");
        dlg->KeywordEdit->setText(QStringLiteral("  MyWord "));
        dlg->OKBtnClick();
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        TDictionaryItem item;
        dlg->GetEntry(item);
        QCOMPARE(item.GetKeyword(), QByteArray("myword"));
        QCOMPARE(dlg->KeywordEdit->maxLength(), 32);

        Open("", "text");
        dlg->KeywordEdit->setText(QStringLiteral("   "));
        dlg->OKBtnClick();
        QCOMPARE(messages, QStringList{"Please enter a keyword"});
        QVERIFY(dlg->isVisible());
    }

    void unbalancedBraceKeepsTheEditorOpen() {
        Open("k", "Dear {@KEY Enter");
        dlg->OKBtnClick();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith("The text contains a left brace '{'  without"));
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->TextMemo->textCursor().selectedText(), QStringLiteral("{"));
        QCOMPARE(dlg->TextMemo->textCursor().selectionStart(), 5);

        Open("k", "Dear {@LEFTBRACE} and a {b} c");
        dlg->OKBtnClick();
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        // Without the tags button nothing is checked.
        Open("k", "Dear {@KEY Enter", editopt::All | editopt::Restricted);
        QVERIFY(!dlg->TagsBtn->isVisible());
        dlg->OKBtnClick();
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
    }

    void optionsWord() {
        Open("k", "t", 0);
        QVERIFY(dlg->KeywordEdit->isReadOnly());
        QVERIFY(dlg->DescEdit->isReadOnly());
        QVERIFY(dlg->TextMemo->isReadOnly());
        QVERIFY(!dlg->ShortcutBtn->isEnabled());
        QVERIFY(!dlg->ButtonPnl->isVisible());
        QVERIFY(!dlg->RecordBtn->isVisible());
        QVERIFY(!dlg->OKBtn->isEnabled());
        QCOMPARE(dlg->TextMemo->contextMenuPolicy(), Qt::NoContextMenu);

        Open("k", "t", editopt::Description);
        QVERIFY(dlg->KeywordEdit->isReadOnly());
        QVERIFY(!dlg->DescEdit->isReadOnly());
        dlg->DescEdit->setText(QStringLiteral("new description"));
        emit dlg->DescEdit->textEdited(dlg->DescEdit->text());
        QVERIFY(dlg->OKBtn->isEnabled()); // a change enables OK
        dlg->KeywordEdit->setText(QStringLiteral("other"));
        dlg->OKBtnClick();
        TDictionaryItem item;
        item.SetKeyword("k");
        dlg->GetEntry(item);
        QCOMPARE(item.GetKeyword(), QByteArray("k")); // only what was editable is stored
        QCOMPARE(item.GetDescription(), QByteArray("new description"));

        Open("k", "t", editopt::All | editopt::OkEnabled);
        QVERIFY(dlg->OKBtn->isEnabled());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Dictionary Text [Add]"));
    }

    void everyTagItemInsertsOneUndoableTag() {
        Open("k", "");
        dlg->TagsMenu->AskText = [](const QString& prompt, QString& value) {
            value = prompt.startsWith("Enter # of seconds") ? QStringLiteral("3")
                                                            : QStringLiteral("note to self");
            return true;
        };
        QCOMPARE(InsertedByItem("Pause1"), QStringLiteral("{@PAUSE 3}"));
        QCOMPARE(InsertedByItem("Remark1"), QStringLiteral("{@REM note to self}"));
        QCOMPARE(InsertedByItem("DeleteLine1"), QStringLiteral("{@DELETELINE}"));
        QCOMPARE(InsertedByItem("NoSpace1"), QStringLiteral("{@NOSPACE}"));
        QCOMPARE(InsertedByItem("LeftBrace1"), QStringLiteral("{@LEFTBRACE}"));
        QCOMPARE(InsertedByItem("RightBrace1"), QStringLiteral("{@RIGHTBRACE}"));
        QCOMPARE(InsertedByItem("LongDate1"), QStringLiteral("{@LONGDATE}"));
        QCOMPARE(InsertedByItem("ShortTime1"), QStringLiteral("{@SHORTTIME}"));
        QCOMPARE(InsertedByItem("Tab1"), QStringLiteral("\t"));

        dlg->TagsMenu->PrepareDialog = [](QDialog* d) {
            if (auto* in = qobject_cast<TInputTagDlg*>(d)) {
                in->NameEdit->setText(QStringLiteral("first name"));
                in->PromptEdit->setText(QStringLiteral("Your name?"));
                in->PickListMemo->setPlainText(QStringLiteral("Ann\nBob\n"));
                QCOMPARE(in->ItemsLbl->text(), QStringLiteral("2 items"));
            } else if (auto* date = qobject_cast<TInputDateTagDlg*>(d)) {
                date->NameEdit->setText(QStringLiteral("due"));
                date->LongRadio->setChecked(true);
            } else if (auto* file = qobject_cast<TInputFileTagDlg*>(d)) {
                QVERIFY(!file->OKBtn->isEnabled());
                file->FileEdit->setText(QStringLiteral("note.txt"));
                QVERIFY(file->OKBtn->isEnabled());
            } else if (auto* msg = qobject_cast<TInputMsgTagDlg*>(d)) {
                msg->MsgMemo->setPlainText(QStringLiteral("Hello"));
            }
            d->accept();
        };
        QCOMPARE(InsertedByItem("InputField1"),
                 QStringLiteral("{@INPUT(first_name) Your name? @SEP=\", \"\r\nAnn\r\nBob\r\n}")
                     .replace("\r\n", "\n"));
        QCOMPARE(InsertedByItem("InputDate1"), QStringLiteral("{@INPUTDATE(due) @LONG}"));
        QCOMPARE(InsertedByItem("InputFile1"), QStringLiteral("{@INPUTFILE note.txt}"));
        QCOMPARE(InsertedByItem("Message1"), QStringLiteral("{@INPUTMSG Hello}"));

        // A cancelled dialog inserts nothing.
        dlg->TagsMenu->PrepareDialog = [](QDialog* d) { d->done(QDialog::Rejected); };
        QCOMPARE(InsertedByItem("InputDate1"), QString());
    }

    void tagReplacesTheSelection() {
        Open("k", "one TWO three");
        QTextCursor c = dlg->TextMemo->textCursor();
        c.setPosition(4);
        c.setPosition(7, QTextCursor::KeepAnchor);
        dlg->TextMemo->setTextCursor(c);
        dlg->InsertTag(QStringLiteral(" KEY Enter "));
        QCOMPARE(Text(), QStringLiteral("one {@KEY Enter} three"));
        dlg->TextMemo->undo();
        QCOMPARE(Text(), QStringLiteral("one TWO three"));
    }

    void variableMenuListsTheNamedFields() {
        Open("k", "{@INPUT(city) Where?}{@inputdate(when)} {@INPUT no name}");
        dlg->TagsMenu->RebuildVariables();
        QStringList captions;
        for (QAction* a : dlg->TagsMenu->InsertVariable1->actions())
            captions << a->text();
        QCOMPARE(captions, (QStringList{"Define New Variable", "", "{city}", "{when}"}));
        dlg->TagsMenu->InsertVariable1->actions().last()->trigger();
        QVERIFY(Text().contains("{when}"));
    }

    void optionsKeptInTheSettings() {
        Open("k", "a\nb\nc");
        QCOMPARE(dlg->LinesLbl->text(), QStringLiteral("Word Wrap Enabled"));
        dlg->WordWrap1->trigger();
        QCOMPARE(dlg->LinesLbl->text(), QStringLiteral("3 lines"));
        dlg->WantReturns1->trigger();
        // Enter now presses OK instead of starting a line.
        QTest::keyClick(dlg->TextMemo, Qt::Key_Return);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(Text(), QStringLiteral("a\nb\nc"));
        dlg.reset();
        TIniFile ini(services.IniPath);
        QCOMPARE(ini.ReadBool("DictEdit", "WordWrap", true), false);
        QCOMPARE(ini.ReadBool("DictEdit", "WantReturns", true), false);
        QCOMPARE(ini.ReadBool("DictEdit", "WantTabs", true), false);
        Open("k", "");
        QVERIFY(!dlg->WordWrap);
        QCOMPARE(dlg->TextMemo->lineWrapMode(), QPlainTextEdit::NoWrap);
    }

    void cancelAsksOnlyAfterAChange() {
        Open("k", "t");
        dlg->reject();
        QVERIFY(questions.isEmpty());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        Open("k", "t");
        dlg->TextMemo->insertPlainText(QStringLiteral("more"));
        answer = false;
        dlg->reject();
        QCOMPARE(questions, QStringList{"Abandon changes.     \nAre you sure?"});
        QVERIFY(dlg->isVisible());
    }

    void shortcutAndRecordThroughTheirServices() {
        services.ShortcutDialog = [](uint16_t& code, QWidget*) {
            code = 0x4000 | 0x74;
            return true;
        };
        services.Record = [](QWidget*) {
            return QStringLiteral("{@KEYDOWN Shift}h{@KEYUP Shift}");
        };
        Open("k", "start");
        QVERIFY(!dlg->OKBtn->isEnabled());
        dlg->ShortcutBtn->click();
        QCOMPARE(dlg->Shortcut(), uint16_t(0x4074));
        QCOMPARE(dlg->ShortcutEdit->text(), QStringLiteral("Ctrl+F5"));
        QVERIFY(dlg->OKBtn->isEnabled());
        dlg->TextMemo->moveCursor(QTextCursor::Start);
        dlg->RecordBtn->click();
        QCOMPARE(Text(), QStringLiteral("start{@KEYDOWN Shift}h{@KEYUP Shift}"));
        QVERIFY(dlg->isVisible());
        QVERIFY(!dlg->SpellBtn->isEnabled()); // no checker given
        services.SpellCheck = [](QWidget*, QString& text) {
            text.replace(QStringLiteral("strat"), QStringLiteral("start"));
            return true;
        };
        Open("k", "strat here");
        QVERIFY(dlg->SpellBtn->isEnabled());
        dlg->SpellBtn->click();
        QCOMPARE(Text(), QStringLiteral("start here"));
        dlg->UndoBtn->click();
        QCOMPARE(Text(), QStringLiteral("strat here"));
    }

    // Recording inside the running editor leaves it open: the text comes back into it.
    void recordingKeepsTheModalEditorOpen() {
        services.Record = [](QWidget*) { return QStringLiteral("{@KEY Enter}"); };
        TDictionaryItem item;
        item.SetKeyword("k");
        item.SetText("x");
        const bool ok = EditDictionaryEntry(item, editopt::All, QStringLiteral("Add"), services,
                                            nullptr, [](TDictionaryEditDlg* d) {
                                                QTimer::singleShot(0, d, [d] {
                                                    d->RecordBtn->click();
                                                    d->OKBtnClick();
                                                });
                                            });
        QVERIFY(ok);
        QCOMPARE(item.GetText(), QByteArray("x{@KEY Enter}"));
    }

    void recorderCountsKeysAndStops() {
        TRecorderHost host;
        int fsm = 0;
        host.SetFSM = [&fsm](int s) { fsm = s; };
        bool tray = false;
        host.TrayRecording = [&tray](bool on) { tray = on; };
        uint32_t front = 5;
        host.Foreground = [&front] { return front; };
        const QString text = RecordKeystrokes(host, nullptr, [&](TRecordDlg* r) {
            QCOMPARE(fsm, int(BX_FSM_RECORDING));
            QVERIFY(tray);
            QCOMPARE(TRecordDlg::Active(), r);
            QCOMPARE(r->CountLbl->text(), QStringLiteral("0 Keys"));
            const auto key = [r](uint16_t code, bool down) {
                r->WndProc(BX_MSG_RECORD_KEY, code, (down ? BX_KEYFLAG_DOWN : BX_KEYFLAG_UP) << 16);
                QTest::qWait(12);
            };
            key('O', true);
            key('O', false);
            // The main window's key message is not the recorder's.
            r->WndProc(BX_MSG_KEY, 'X', BX_KEYFLAG_DOWN << 16);
            key('K', true);
            front = 6;
            key(0x0D, true);
            QCOMPARE(r->CountLbl->text(), QStringLiteral("3 Keys"));
            r->StopBtnClick();
        });
        QCOMPARE(text, QStringLiteral("ok{@PAUSE}{@KEY Enter}"));
        QCOMPARE(fsm, int(BX_FSM_SUSPENDED));
        QVERIFY(!tray);
        QCOMPARE(TRecordDlg::Active(), nullptr);

        // Cancel with keys asks; No keeps recording, Yes gives nothing back.
        int asked = 0;
        // The question comes while the recorder runs, so the recording goes on after No.
        const QString none = RecordKeystrokes(host, nullptr, [&](TRecordDlg* r) {
            r->WndProc(BX_MSG_RECORD_KEY, 'A', BX_KEYFLAG_DOWN << 16);
            r->AskYes = [&](const QString&) { return ++asked == 2; };
            r->CancelBtnClick();
            QVERIFY(r->isVisible()); // No: still recording
            r->CancelBtnClick();
        });
        QCOMPARE(asked, 2);
        QVERIFY(none.isEmpty());
    }

    // The hook library is pointed at the recorder's native window as it is
    // shown, and again when that window is made anew.
    void recorderFollowsItsNativeWindow() {
        TRecorderHost host;
        QList<BxHwnd> watched, unwatched;
        host.Watch = [&](BxHwnd w, TRecorderHost::THandler) { watched << w; };
        host.Unwatch = [&](BxHwnd w) { unwatched << w; };
        BxHwnd first = 0, second = 0;
        RecordKeystrokes(host, nullptr, [&](TRecordDlg* r) {
            QCOMPARE(r->Handle(), BxHwnd(0)); // no native window before it shows
            QTimer::singleShot(0, r, [&, r] {
                first = r->Handle();
                QCOMPARE(first, BxHwnd(r->winId()));
                // The desktop window made again, as the platform may do.
                struct TNative : QWidget {
                    static void Recreate(QWidget* w) {
                        (w->*&TNative::destroy)(true, true);
                        (w->*&TNative::create)(0, true, true);
                    }
                };
                TNative::Recreate(r);
                r->show();
                second = r->Handle();
                QCOMPARE(second, BxHwnd(r->winId()));
                r->StopBtnClick();
            });
        });
        QVERIFY(first != 0);
        QVERIFY(second != 0 && second != first);
        QCOMPARE(watched, (QList<BxHwnd>{first, second}));
        QCOMPARE(unwatched, (QList<BxHwnd>{first, second}));
    }

    void screenshots() {
        const QString out = qEnvironmentVariable("BREVIX_SCREENS");
        if (out.isEmpty()) QSKIP("set BREVIX_SCREENS to a folder to grab the windows");
        Open("sig", "Kind regards,\n{@INPUT(name) Your name?}\n{@KEY Enter}");
        dlg->DescEdit->setText(QStringLiteral("Signature"));
        dlg->resize(640, 420);
        dlg->grab().save(out + "/editor.png");
        dlg->TagsMenu->popup(QPoint(0, 0));
        dlg->TagsMenu->grab().save(out + "/tagsmenu.png");
        dlg->TagsMenu->hide();
        TInputTagDlg in(services, true, nullptr);
        in.show();
        in.grab().save(out + "/inputtag.png");
        TInputFileTagDlg file(services, nullptr);
        file.show();
        file.grab().save(out + "/filetag.png");
        TRecorderHost host;
        TRecordDlg rec(host);
        rec.show();
        rec.grab().save(out + "/recorder.png");
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("BREVIX_HOOK", "virtual");
    QApplication app(argc, argv);
    TEditorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_editor_gui.moc"
