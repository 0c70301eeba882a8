// bx_input on a real main window: each box confirmed and cancelled, and the
// messages of wrong calls.
#include "BxFixture.h"

#include "tags/gui/DateEdit.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputMemoDlg.h"
#include "tags/gui/PickList.h"
#include "typing/TypingController.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using BxInput = BxFixture;

namespace {

// Acts on the input box once it shows.
void OnBox(std::function<void(TInputFieldForm&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* box = qobject_cast<TInputFieldForm*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(*box);
    });
    timer->start();
}

// The spelling check ends with a message box before the box can be confirmed.
void AfterSpellCheck(std::function<void(TInputFieldForm&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            box->accept();
            timer->stop();
            timer->deleteLater();
            OnBox(act);
        }
    });
    timer->start();
}

void Confirm(TInputFieldForm& f) {
    f.NextBtn->click();
}
void CancelBox(TInputFieldForm& f) {
    f.BackBtn->click();
}

} // namespace

TEST_F(BxInput, MessagesVerbatim) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"bx_input", "wrong # of args: should be \"bx_input option prompt ?args?\""},
        {"bx_input nope p", "bad option \"nope\": must be string, memo, date, list, list1, open, "
                            "save or show "},
        {"bx_input string", "wrong # of args: should be \"bx_input string prompt ?defaultValue?\""},
        {"bx_input memo p d x",
         "wrong # of args: should be \"bx_input memo prompt ?defaultValue?\""},
        {"bx_input msg p m x", "wrong # of args: should be \"bx_input msg prompt ?message?\""},
        {"bx_input date", "wrong # of args: should be \"bx_input date prompt ?defaultValue?\""},
        {"bx_input spellcheck p", "wrong # of args: should be \"bx_input spellcheck prompt text\""},
        {"bx_input list p", "wrong # of args: should be \"bx_input list prompt {listItems} "
                            "?{defaultSelections}?\""},
        {"bx_input list1 p", "wrong # of args: should be \"bx_input list1 prompt {listItems} "
                             "?defaultSelection?\""},
        {"bx_input open", "wrong # of args: should be \"bx_input open prompt ?-filter fileFilters? "
                          "?defaultFilename?\""},
        {"bx_input save p -filter", "wrong # of args: should be \"bx_input save prompt ?-filter "
                                    "fileFilter? ?defaultFilename?\""},
        {"bx_input show 1 2", "wrong # of args: should be \"bx_input show ?1|0?\""},
        {"bx_input show yes", "bad value \"yes\": must be either \"1\" (show) or \"0\" (hide)"},
        {"set l \"a {b\"; bx_input list p $l", "unmatched open brace in list"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fails(c.script), c.message) << c.script;
    EXPECT_EQ(Ok("bx_input show"), "0");
    EXPECT_EQ(Ok("bx_input show 1"), "0"); // no form while no fields are asked for
}

TEST_F(BxInput, BoxesConfirmedAndCancelled) {
    OnBox([](TInputFieldForm& f) {
        EXPECT_EQ(f.TitleLbl->text(), "Name");
        EXPECT_EQ(f.OneLineEdit->text(), "Ann");
        f.OneLineEdit->setText("Bob");
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input string Name Ann"), "Bob");
    OnBox(CancelBox);
    EXPECT_EQ(Ok("bx_input string Name"), "BX_CANCEL");

    OnBox([](TInputFieldForm& f) {
        EXPECT_EQ(f.Memo1->toPlainText(), "one\ntwo");
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input memo Notes \"one\\ntwo\""), "one\r\ntwo");
    OnBox(CancelBox);
    EXPECT_EQ(Ok("bx_input memo Notes x"), "BX_CANCEL");
    AfterSpellCheck([](TInputFieldForm& f) {
        EXPECT_TRUE(f.SpellBtn->isVisible());
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input spellcheck Check {some text}"), "some text");

    OnBox([](TInputFieldForm& f) {
        EXPECT_EQ(f.MsgMemo->toPlainText(), "line1\nline2");
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input msg Note \"line1\\nline2\""), "");
    OnBox(CancelBox);
    EXPECT_EQ(Ok("bx_input msg Note hi"), "BX_CANCEL");

    OnBox([](TInputFieldForm& f) {
        QTest::keyClick(f.DateEdit, 'R');
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input date When 03/04/2025"), "12/31/2025");
    OnBox(CancelBox);
    EXPECT_EQ(Ok("bx_input date When"), "BX_CANCEL");

    OnBox([](TInputFieldForm& f) {
        EXPECT_EQ(f.PickList1->Chosen(), (QList<int>{1}));
        f.PickList1->Choose(2, true);
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input list Pick {a {b c} d} {1 7}"), "1 2");
    OnBox(CancelBox);
    EXPECT_EQ(Ok("bx_input list Pick {a b}"), "BX_CANCEL");

    OnBox([](TInputFieldForm& f) {
        EXPECT_EQ(f.PickList1->currentRow(), 2);
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input list1 One {a b c} 2"), "2");
    OnBox([](TInputFieldForm& f) {
        f.PickList1->clearSelection();
        Confirm(f);
    });
    EXPECT_EQ(Fails("bx_input list1 One {a b c}"), ""); // confirmed with nothing chosen
}

// "bx_input show" finds the form of a script's input box too, hidden or not.
TEST_F(BxInput, ShowFindsTheInputBoxOfAScript) {
    QByteArrayList seen;
    OnBox([this, &seen](TInputFieldForm& f) {
        seen << Ok("bx_input show");
        seen << Ok("bx_input show 0") << QByteArray(f.isVisible() ? "visible" : "hidden");
        seen << Ok("bx_input show") << Ok("bx_input show 1")
             << QByteArray(f.isVisible() ? "visible" : "hidden");
        Confirm(f);
    });
    EXPECT_EQ(Ok("bx_input string Name Ann"), "Ann");
    EXPECT_EQ(seen, (QByteArrayList{"1", "0", "hidden", "0", "1", "visible"}));
    EXPECT_EQ(Ok("bx_input show"), "0"); // the box is gone with its call
}

// The main window's typing path: a text with an input field opens the input
// text window; an entry typed meanwhile goes into the answer; the finished
// text is typed once the window closes.
TEST_F(BxInput, TextWithInputFieldsGoesThroughTheInputTextWindow) {
    Form->TypeText("Hi {@INPUT Name?}!");
    TInputMemoDlg* dlg = TInputMemoDlg::Instance();
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(Form->Typing->InputFormMode);
    QStringList asked;
    dlg->Process().OnFormMade = [&](TInputFieldForm& form) {
        QObject::connect(&form, &TInputFieldForm::WaitStarted, &form, [&] {
            asked << form.TitleLbl->text();
            Form->TypeText("be right back"); // into the answer box, not typed
            form.NextBtn->click();
        });
    };
    QSignalSpy review(dlg, &TInputMemoDlg::ReviewShown);
    ASSERT_TRUE(review.wait(5000));
    EXPECT_EQ(asked, QStringList{"Name?"});
    EXPECT_EQ(dlg->Memo1->toPlainText(), "Hi be right back!");
    QPointer<TInputMemoDlg> alive(dlg);
    dlg->TypeItBtn->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alive; }, 5000));
    EXPECT_FALSE(Form->Typing->InputFormMode);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Form->Typing->LastTypedText == "Hi be right back!"; }, 5000))
        << Form->Typing->LastTypedText.constData();
}
