// The input windows offscreen: a whole form letter through the input text
// window, the pick list, the date box, file and Tcl fields, the preview and
// sessions, the script input boxes.
#include "InputGuiTestSupport.h"
#include "ScriptedForms.h"
#include "platform/Ansi.h"
#include "tags/InputSession.h"
#include "tags/gui/DateEdit.h"
#include "tags/gui/InputBoxes.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputMemoDlg.h"
#include "tags/gui/PickList.h"
#include "tags/gui/PreviewDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

namespace {

TAction Type(const QString& text) {
    return [text](TInputFieldForm& f) {
        QCOMPARE(f.Notebook1->currentWidget(), f.FreeFormPage);
        f.Memo1->selectAll();
        QTest::keyClicks(f.Memo1, text);
        QVERIFY(f.NextBtn->isEnabled());
        QTest::keyClick(f.Memo1, Qt::Key_Return); // Enter presses Next
    };
}

TAction Click(QPushButton* TInputFieldForm::*button) {
    return [button](TInputFieldForm& f) {
        QVERIFY((f.*button)->isEnabled());
        (f.*button)->click();
    };
}

QString Shot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("BREVIX_SHOTS");
    if (dir.isEmpty()) return {};
    const QString file = QDir(dir).filePath(name + ".png");
    w->grab().save(file);
    return file;
}

} // namespace

class TInputFormTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    THostDouble host_;

private slots:
    void init() {
        host_ = {};
        host_.Ini = dir_.filePath("Brevixo.ini");
        host_.DictDir = dir_.path();
    }

    void FormLetterWithReferencesBackRestartAndPreview() {
        const QByteArray letter = "Dear {@INPUT(Name) Your name?},\r\n{@INPUT(City) City?} is "
                                  "nice. Greetings to {name} in {City}.{@INPUT(Sign) Sign?}";
        auto actions = std::make_shared<std::deque<TAction>>();
        QStringList captions;
        *actions = {
            [&](TInputFieldForm& f) {
                captions << f.windowTitle();
                QVERIFY(!f.BackBtn->isEnabled());
                QVERIFY(!f.NextBtn->isEnabled()); // empty answer
                QCOMPARE(f.TitleLbl->text(), QString("Your name?"));
                QVERIFY(host_.FormMode);
                QVERIFY(f.SpellBtn->isEnabled());
                Shot(&f, "form_freeform");
                Type("Ann")(f);
            },
            Type("Oslo"),
            Click(&TInputFieldForm::BackBtn),
            [&](TInputFieldForm& f) {
                QCOMPARE(f.Memo1->toPlainText(), QString("Oslo")); // the answer given before
                Type("Bergen")(f);
            },
            [&](TInputFieldForm& f) {
                f.Memo1->setPlainText("A.");
                OnNextModal([&](QWidget* w) {
                    auto* p = qobject_cast<TPreviewDlg*>(w);
                    QVERIFY(p);
                    QCOMPARE(p->Memo1->toPlainText(),
                             QString("Dear Ann,\nBergen is nice. Greetings to Ann in Bergen.A."));
                    Shot(p, "preview");
                    p->OKBtn->click();
                });
                f.PreviewBtn->click();
            },
            [&](TInputFieldForm& f) {
                QCOMPARE(f.Memo1->toPlainText(), QString("A.")); // asked again after the preview
                f.RestartBtn->click();
            },
            [&](TInputFieldForm& f) {
                captions << f.windowTitle();
                QCOMPARE(f.Memo1->toPlainText(), QString("Ann"));
                f.NextBtn->click();
            },
            Click(&TInputFieldForm::NextBtn),
            Type("Bo"),
        };
        QSignalSpy review(this, &QObject::destroyed);
        TInputMemoDlg* dlg = TInputMemoDlg::StartInputText(host_, letter);
        Script(dlg, actions);
        QSignalSpy shown(dlg, &TInputMemoDlg::ReviewShown);
        QVERIFY(shown.wait(5000));
        QVERIFY(actions->empty());
        QCOMPARE(captions, (QStringList{"Brevix Input Field #1", "Brevix Input Field #1"}));
        QCOMPARE(dlg->Memo1->toPlainText(),
                 QString("Dear Ann,\nBergen is nice. Greetings to Ann in Bergen.Bo"));
        QVERIFY(dlg->isVisible());
        Shot(dlg, "input_text_window");
        QPointer<TInputMemoDlg> alive(dlg);
        dlg->TypeItBtn->click(); // no fields left: typed
        QTRY_VERIFY(!alive);
        QCOMPARE(host_.Typed,
                 QList<QByteArray>{"Dear Ann,\r\nBergen is nice. Greetings to Ann in Bergen.Bo"});
        QVERIFY(!host_.FormMode);
    }

    void OnlyFileTclAndMessageFieldsTypeWithoutReview() {
        QFile f(dir_.filePath("part.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("caf\xC3\xA9"); // UTF-8
        f.close();
        host_.Tcl.Answer = [](const QByteArray& s, QByteArray& r) {
            r = s == "expr 6*7" ? "42" : "?";
            return true;
        };
        auto actions = std::make_shared<std::deque<TAction>>();
        *actions = {[](TInputFieldForm& f) {
            QCOMPARE(f.TitleLbl->text(), QString("User Message"));
            QCOMPARE(f.MsgMemo->toPlainText(), QString("Hello"));
            f.NextBtn->click();
        }};
        TInputMemoDlg* dlg = TInputMemoDlg::StartInputText(
            host_, "{@INPUTFILE part.txt}-{@INPUTTCL expr 6*7}{@INPUTMSG Hello}!");
        Script(dlg, actions);
        QPointer<TInputMemoDlg> alive(dlg);
        QTRY_VERIFY(!alive);
        QCOMPARE(host_.Typed, QList<QByteArray>{"caf\xE9-42!"});
    }

    void ReviewFollowsWhatTheRunChanged() {
        // Filled-in fields changed the text: it is shown for review.
        auto actions = std::make_shared<std::deque<TAction>>();
        *actions = {Type("Ann"), Type("Bo")};
        TInputMemoDlg* dlg = TInputMemoDlg::StartInputText(host_, "Hi {@INPUT A} {@INPUT B}");
        Script(dlg, actions);
        QSignalSpy shown(dlg, &TInputMemoDlg::ReviewShown);
        QVERIFY(shown.wait(5000));
        QCOMPARE(dlg->Memo1->toPlainText(), QString("Hi Ann Bo"));
        QVERIFY(host_.Typed.isEmpty());

        // The user's edit and an input tag typed in: the tag is asked for,
        // and the changed text is shown again.
        dlg->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(dlg->Memo1, " and {@INPUT C}");
        actions->push_back(Type("Cy"));
        dlg->TypeItBtn->click();
        QTRY_COMPARE(shown.count(), 2);
        QCOMPARE(dlg->Memo1->toPlainText(), QString("Hi Ann Bo and Cy"));
        QVERIFY(host_.Typed.isEmpty());

        // Edited once more, with no field left: typed as it stands. Ctrl+Tab
        // types a tab; Tab goes on to Type It, and Shift+Tab back.
        dlg->Memo1->moveCursor(QTextCursor::End);
        QApplication::setActiveWindow(dlg);
        dlg->Memo1->setFocus();
        QTest::keyClick(dlg->Memo1, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(dlg->Memo1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg->TypeItBtn);
        QTest::keyClick(dlg->TypeItBtn, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), dlg->Memo1);
        QTest::keyClicks(dlg->Memo1, "!");
        QPointer<TInputMemoDlg> alive(dlg);
        QTest::keyClick(dlg->Memo1, Qt::Key_Return);
        QTRY_VERIFY(!alive);
        QCOMPARE(shown.count(), 2);
        QCOMPARE(host_.Typed, QList<QByteArray>{"Hi Ann Bo and Cy\t!"});
    }

    void EntryInsertedWhileAFieldIsAskedIsNotLost() {
        // On the free-text page an entry goes into the answer; on any other
        // page it is refused: the text is not on show, and the field's answer
        // would overwrite what went into it.
        auto actions = std::make_shared<std::deque<TAction>>();
        *actions = {[](TInputFieldForm& f) {
                        QVERIFY(TInputMemoDlg::Instance()->InsertEntryText("addr"));
                        QCOMPARE(f.Memo1->toPlainText(), QString("addr"));
                        f.NextBtn->click();
                    },
                    [](TInputFieldForm& f) {
                        QCOMPARE(f.Notebook1->currentWidget(), f.PickListPage);
                        TInputMemoDlg* dlg = TInputMemoDlg::Instance();
                        const QString before = dlg->Memo1->toPlainText();
                        QVERIFY(!dlg->InsertEntryText("sig"));
                        QCOMPARE(dlg->Memo1->toPlainText(), before);
                        f.PickList1->setCurrentRow(1);
                        f.NextBtn->click();
                    }};
        TInputMemoDlg* dlg = TInputMemoDlg::StartInputText(
            host_, "To {@INPUT Who?}: {@INPUT Fruit? @SINGLE\r\napple\r\npear}.");
        Script(dlg, actions);
        QSignalSpy shown(dlg, &TInputMemoDlg::ReviewShown);
        QVERIFY(shown.wait(5000));
        QVERIFY(actions->empty());
        QCOMPARE(dlg->Memo1->toPlainText(), QString("To addr: pear."));
        // In the review the entry goes in at the caret.
        dlg->Memo1->moveCursor(QTextCursor::End);
        QVERIFY(dlg->InsertEntryText(" sig"));
        QCOMPARE(dlg->Memo1->toPlainText(), QString("To addr: pear. sig"));
    }

    void MissingFileAndFailingTclShowTheErrorPage() {
        TInputFieldForm form(&host_);
        QByteArray value;
        TInputField field = ParseInputTag(u"{@INPUTFILE nowhere.txt}");
        QStringList titles, messages;
        connect(&form, &TInputFieldForm::WaitStarted, &form, [&] {
            // Checked after the wait: a failure here must not leave the form waiting.
            titles << (form.Notebook1->currentWidget() == form.ErrorPage ? "page ok" : "page?");
            titles << form.TitleLbl->text();
            messages << form.MsgMemo->toPlainText();
            Shot(&form, "form_error");
            form.NextBtn->click();
        });
        QCOMPARE(form.ReadFile("Brevix Input Field #1", field, value, 1), int(nav::Next));
        QCOMPARE(titles, (QStringList{"page ok", "ERROR!"}));
        QVERIFY(messages.last().contains("Unable to open the input file\nnowhere.txt"));
        QCOMPARE(value, QByteArray(1, '\0'));

        host_.Tcl.Answer = [](const QByteArray&, QByteArray& r) {
            r = "invalid command name \"oops\"";
            return false;
        };
        QCOMPARE(form.RunTcl("c", "oops", 2, value), int(nav::Next));
        QVERIFY(messages.last().contains("STACK TRACE:"));
        QCOMPARE(titles.last(), QString("@INPUTTCL ERROR!"));
        // BX_BACK from a script goes back without asking.
        host_.Tcl.Answer = [](const QByteArray&, QByteArray& r) {
            r = "BX_BACK";
            return true;
        };
        QCOMPARE(form.RunTcl("c", "bx", 3, value), int(nav::Back));
    }

    // Help opens the page about the kind of field on show; F1 finds the same page.
    void HelpShowsThePageOfTheFieldOnShow() {
        TInputFieldForm form(&host_);
        QStringList f1;
        connect(&form, &TInputFieldForm::WaitStarted, &form, [&] {
            f1 << form.property("helpPage").toString();
            form.HelpBtn->click();
            form.SetResult(nav::Next);
        });
        QByteArray value;
        form.AskText("c", ParseInputTag(u"{@INPUT Name}"), value, 1);
        form.AskPickList("c", ParseInputTag(u"{@INPUT Pick\r\na\r\nb}"), 2, value);
        form.AskDate("c", ParseInputTag(u"{@INPUTDATE When}"), value, 3);
        form.ReadFile("c", ParseInputTag(u"{@INPUTFILE nowhere.txt}"), value, 4);
        host_.Tcl.Answer = [](const QByteArray&, QByteArray& r) {
            r = "oops";
            return false;
        };
        form.RunTcl("c", "oops", 5, value);
        form.ShowFieldMessage("c", "Note", 6, "Read me");
        const QStringList expected{"inputfields.html#text", "inputfields.html#picklist",
                                   "inputfields.html#date", "inputfields.html#file",
                                   "inputfields.html#tcl",  "inputfields.html#message"};
        QCOMPARE(host_.HelpPages, expected);
        QCOMPARE(f1, expected);

        // The script's input box and the review window have pages of their own.
        TInputFieldForm box(&host_, true);
        OnNextModal([&](QWidget*) {
            QCOMPARE(box.property("helpPage").toString(), QString("inputfields.html#inputbox"));
            box.BackBtn->click();
        });
        QString text;
        QVERIFY(!box.BoxLine(text, "Name"));
        TInputMemoDlg* dlg = TInputMemoDlg::StartInputText(host_, "Hi {@INPUT Name}");
        Script(dlg, std::make_shared<std::deque<TAction>>(std::deque<TAction>{Type("Ann")}));
        QSignalSpy review(dlg, &TInputMemoDlg::ReviewShown);
        QVERIFY(review.wait(5000));
        host_.HelpPages.clear();
        dlg->HelpBtn->click();
        QCOMPARE(host_.HelpPages, QStringList{"inputfields.html#review"});
        // Without a help window, a note instead of nothing.
        host_.HelpWindow = false;
        bool noted = false;
        OnNextModal([&](QWidget* w) {
            if (auto* b = qobject_cast<QMessageBox*>(w)) {
                noted = b->text().contains("inputfields.html#review");
                b->accept();
            }
        });
        dlg->HelpBtn->click();
        QVERIFY(noted);
        QPointer<TInputMemoDlg> alive(dlg);
        QTest::keyClick(dlg->Memo1, Qt::Key_Escape);
        QTRY_VERIFY(!alive);
    }

    void PickListWithGroupsSingleAndNumbers() {
        TInputFieldForm form(&host_);
        const TInputField single = ParseInputTag(
            u"{@INPUT Who? @SINGLE @GROUPBOLD @AUTONUMBER\r\n*Staff\r\nAnn\r\nBob{@REM Robert}}");
        QByteArray value;
        connect(&form, &TInputFieldForm::WaitStarted, &form, [&] {
            TPickList* l = form.PickList1;
            QCOMPARE(l->count(), 3);
            QCOMPARE(l->item(2)->text(), QString("2. Robert"));
            QCOMPARE(l->currentRow(), 1); // the header is passed over
            QVERIFY(form.StatusLbl->text().isEmpty());
            QVERIFY(!form.PickAllBtn->isEnabled());
            QVERIFY(!form.SpellBtn->isEnabled()); // only answers typed in are checked
            QTest::keyClicks(form.SearchEdit, "2");
            QCOMPARE(l->currentRow(), 2);
            QTest::keyClick(form.SearchEdit, Qt::Key_Up);
            QCOMPARE(l->currentRow(), 1);
            QTest::keyClick(form.SearchEdit, Qt::Key_Up); // onto the header: not chosen
            QVERIFY(!form.NextBtn->isEnabled());
            QTest::keyClick(form.SearchEdit, Qt::Key_Down);
            QTest::keyClick(form.SearchEdit, Qt::Key_Down);
            Shot(&form, "form_picklist_single");
            QVERIFY(form.NextBtn->isEnabled());
            form.NextBtn->click();
        });
        QCOMPARE(form.AskPickList("c", single, 1, value), int(nav::Next));
        QCOMPARE(ValueText(value), QString("Bob"));
        form.disconnect();

        // Multiple choice: headers never chosen, the status counts, Back offers the choice again.
        const TInputField multi = ParseInputTag(
            u"{@INPUT Food @GROUPPRINT\r\n*Fruit: \r\napple\r\npear\r\n*Veg: \r\nleek}");
        value.clear();
        int round = 0;
        connect(&form, &TInputFieldForm::WaitStarted, &form, [&] {
            TPickList* l = form.PickList1;
            if (round++ == 0) {
                QCOMPARE(form.StatusLbl->text(), QString("0 items selected  "));
                QVERIFY(!form.NextBtn->isEnabled());
                form.PickAllBtn->click();
                QCOMPARE(l->Chosen(), (QList<int>{1, 2, 4}));
                QCOMPARE(form.StatusLbl->text(), QString("3 items selected  "));
                QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                                  l->visualItemRect(l->item(0)).center());
                QCOMPARE(l->Chosen(), (QList<int>{1, 2, 4}));
                l->setCurrentRow(2, QItemSelectionModel::NoUpdate);
                QTest::keyClick(form.SearchEdit, Qt::Key_Space); // pear off
                QCOMPARE(form.StatusLbl->text(), QString("2 items selected  "));
                Shot(&form, "form_picklist_groups");
            } else {
                QCOMPARE(l->Chosen(), (QList<int>{1, 4}));
            }
            form.NextBtn->click();
        });
        QCOMPARE(form.AskPickList("c", multi, 1, value), int(nav::Next));
        QCOMPARE(ValueText(value), QString("Fruit: apple, Veg: leek"));
        QCOMPARE(form.AskPickList("c", multi, 1, value), int(nav::Next));
    }

    void DateKeysAndFormats() {
        const QDate d(2026, 3, 2), today(2026, 12, 7);
        QCOMPARE(DateKeyTarget('Y', d, today, false), QDate(2026, 1, 1));
        QCOMPARE(DateKeyTarget('y', QDate(2026, 1, 1), today, false), QDate(2025, 1, 1));
        QCOMPARE(DateKeyTarget('R', d, today, false), QDate(2026, 12, 31));
        QCOMPARE(DateKeyTarget('r', QDate(2026, 12, 31), today, false), QDate(2027, 12, 31));
        QCOMPARE(DateKeyTarget('M', d, today, false), QDate(2026, 3, 1));
        QCOMPARE(DateKeyTarget('m', QDate(2026, 3, 1), today, false), QDate(2026, 2, 1));
        QCOMPARE(DateKeyTarget('H', d, today, false), QDate(2026, 3, 31));
        QCOMPARE(DateKeyTarget('h', QDate(2026, 1, 31), today, false), QDate(2026, 2, 28));
        QCOMPARE(DateKeyTarget('+', d, today, false), QDate(2026, 3, 3));
        QCOMPARE(DateKeyTarget('=', d, today, false), QDate(2026, 3, 3));
        QCOMPARE(DateKeyTarget('-', d, today, false), QDate(2026, 3, 1));
        QVERIFY(!DateKeyTarget('-', d, today, true).isValid());
        QCOMPARE(DateKeyTarget('t', d, today, false), today);
        QVERIFY(!DateKeyTarget('x', d, today, false).isValid());
        QCOMPARE(DateEditMask("M/d/yy"), QString("99\\/99\\/9999;_"));
        QCOMPARE(DateEditMask("dd.MM.yyyy"), QString("99\\.99\\.9999;_"));

        TInputFieldForm form(&host_);
        QByteArray value;
        const TInputField field = ParseInputTag(u"{@INPUTDATE When? @LONG}");
        int round = 0;
        connect(&form, &TInputFieldForm::WaitStarted, &form, [&] {
            if (round++ == 0) {
                QVERIFY(form.LongDateRadio->isChecked());
                form.DateEdit->SetDate(d);
                QTest::keyClick(form.DateEdit, 'Y');
                QCOMPARE(form.DateEdit->Date(), QDate(2026, 1, 1));
                QTest::keyClick(form.DateEdit, 'Y');
                QCOMPARE(form.DateEdit->Date(), QDate(2025, 1, 1));
                QTest::keyClick(form.DateEdit, '+');
                QVERIFY(form.ShortDateRadio->text().startsWith("&2. "));
                form.ShortDateRadio->setChecked(true);
                Shot(&form, "form_date");
                QTest::keyClick(form.DateEdit, Qt::Key_Return); // Enter takes the date and Next
            } else {
                // Back to the field: the date and format chosen before.
                QCOMPARE(form.DateEdit->Date(), QDate(2025, 1, 2));
                QVERIFY(form.ShortDateRadio->isChecked());
                form.NextBtn->click();
            }
        });
        QCOMPARE(form.AskDate("c", field, value, 1), int(nav::Next));
        QCOMPARE(ValueText(value), FormatInputDate(QDate(2025, 1, 2), false, QLocale::system()));
        QCOMPARE(form.AskDate("c", field, value, 2), int(nav::Next));

        // An invalid text is refused and the last date comes back.
        TDateEdit edit;
        edit.SetDate(d);
        edit.setText("99/99/9999");
        AnswerBox(QMessageBox::Ok);
        QVERIFY(!edit.CheckText());
        QCOMPARE(edit.Date(), d);
    }

    void SessionSavedAndRestoredFromTheForm() {
        // The user's procedures keep the session.
        QByteArray kept;
        host_.Tcl.Procs = {"bx_OnSaveSession", "bx_OnRestoreSession"};
        host_.Tcl.Answer = [&](const QByteArray& s, QByteArray& r) {
            if (s.startsWith("bx_OnSaveSession ")) kept = s.mid(17);
            if (s == "bx_OnRestoreSession") r = kept;
            return true;
        };
        auto actions = std::make_shared<std::deque<TAction>>();
        *actions = {Type("one"), Click(&TInputFieldForm::SaveSessionBtn), [](TInputFieldForm& f) {
                        QCOMPARE(f.windowTitle(), QString("Brevix Input Field #2"));
                        AnswerBox(QMessageBox::Yes);
                        f.CancelBtn->click();
                    }};
        TInputMemoDlg* dlg = TInputMemoDlg::StartInputText(host_, "{@INPUT A} {@INPUT B}");
        Script(dlg, actions);
        QPointer<TInputMemoDlg> alive(dlg);
        QTRY_VERIFY(!alive);
        QCOMPARE(host_.Cancelled, 1);
        QVERIFY(kept.startsWith("04000000"));

        // Another day: restored, it asks on from the second field.
        actions = std::make_shared<std::deque<TAction>>();
        *actions = {Click(&TInputFieldForm::RestoreSessionBtn), [](TInputFieldForm& f) {
                        QCOMPARE(f.windowTitle(), QString("Brevix Input Field #2"));
                        Type("two")(f);
                    }};
        dlg = TInputMemoDlg::StartInputText(host_, "{@INPUT Other}");
        Script(dlg, actions);
        QSignalSpy shown(dlg, &TInputMemoDlg::ReviewShown);
        QVERIFY(shown.wait(5000));
        QCOMPARE(dlg->Memo1->toPlainText(), QString("one two"));

        // A damaged session: a message, and the input goes on as it was.
        kept = "04000000ZZ";
        actions->push_back([](TInputFieldForm& f) {
            AnswerBox(QMessageBox::Ok);
            f.RestoreSessionBtn->click();
        });
        actions->push_back([](TInputFieldForm& f) {
            QCOMPARE(f.TitleLbl->text(), QString("New?"));
            Type("three")(f);
        });
        dlg->Memo1->moveCursor(QTextCursor::End);
        dlg->InsertEntryText("{@INPUT New?}");
        QCOMPARE(dlg->Memo1->toPlainText(), QString("one two{@INPUT FIELD #1}"));
        dlg->TypeItBtn->click();
        QTRY_COMPARE(dlg->Memo1->toPlainText(), QString("one twothree"));
        QPointer<TInputMemoDlg> alive2(dlg);
        dlg->TypeItBtn->click();
        QTRY_VERIFY(!alive2);
        QCOMPARE(host_.Typed, QList<QByteArray>{"one twothree"});
    }

    void InputBoxesConfirmAndCancel() {
        QString text = "start";
        OnNextModal([](QWidget* w) {
            auto* f = qobject_cast<TInputFieldForm*>(w);
            QVERIFY(f);
            QCOMPARE(f->windowTitle(), QString("Brevix Input Box"));
            QCOMPARE(f->NextBtn->text(), QString("&OK"));
            QVERIFY(f->RestartBtn->isHidden() && f->CancelBtn->isHidden() &&
                    f->SpellBtn->isHidden());
            Shot(f, "inputbox_line");
            QTest::keyClicks(f->OneLineEdit, "ed");
            f->NextBtn->click();
        });
        QVERIFY(InputBoxes::Line(&host_, text, "Name"));
        QCOMPARE(text, QString("ed"));
        OnNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QVERIFY(!InputBoxes::Line(&host_, text, "Name"));

        text = "a\r\nb";
        OnNextModal([](QWidget* w) {
            auto* f = qobject_cast<TInputFieldForm*>(w);
            QCOMPARE(f->Memo1->toPlainText(), QString("a\nb"));
            QTest::keyClick(f->Memo1, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(f->Memo1, Qt::Key_Return); // Enter is typed into a memo box
            f->NextBtn->click();
        });
        QVERIFY(InputBoxes::Memo(&host_, text, "Memo", false));
        QCOMPARE(text, QString("a\r\nb\r\n"));

        QList<int> chosen{2};
        OnNextModal([](QWidget* w) {
            auto* f = qobject_cast<TInputFieldForm*>(w);
            QCOMPARE(f->PickList1->Chosen(), QList<int>{2});
            f->PickList1->Choose(0, true);
            f->BackBtn->click(); // the box's Cancel
        });
        QVERIFY(!InputBoxes::PickList(&host_, chosen, {"a", "b", "c"}, "Pick", true));
        OnNextModal([](QWidget* w) {
            auto* f = qobject_cast<TInputFieldForm*>(w);
            f->PickList1->Choose(0, true);
            f->NextBtn->click();
        });
        QVERIFY(InputBoxes::PickList(&host_, chosen, {"a", "b", "c"}, "Pick", true));
        QCOMPARE(chosen, (QList<int>{0, 2}));

        QString date = "02/29/2024";
        OnNextModal([](QWidget* w) {
            auto* f = qobject_cast<TInputFieldForm*>(w);
            QVERIFY(f->LongDateRadio->isHidden());
            QTest::keyClick(f->DateEdit, '+');
            f->NextBtn->click();
        });
        QVERIFY(InputBoxes::Date(&host_, date, "When"));
        QCOMPARE(date, QString("03/01/2024"));

        // One box at a time.
        OnNextModal([&](QWidget* w) {
            QString other;
            QVERIFY(InputBoxes::IsOpen());
            QVERIFY(!InputBoxes::Line(&host_, other, "second"));
            qobject_cast<TInputFieldForm*>(w)->NextBtn->click();
        });
        QVERIFY(InputBoxes::Message(&host_, "Read me", "Note"));
        QVERIFY(!InputBoxes::IsOpen());
    }
};

QTEST_MAIN(TInputFormTest)
#include "InputFormTest.moc"
