// A keyword with input fields expanded in another program: the keyword is
// erased at once, the fields are asked for, the review edited, and the
// finished text is typed into that program followed by the delimiter that
// ended the keyword. The virtual desktop stands in for the other program.
#include "hook/HookApi.h"
#include "script/TclInterface.h"
#include "tags/gui/InputMemoDlg.h"
#include "tests/shell/OffscreenDesktop.h"
#include "tests/tags/gui/ScriptedForms.h"
#include "typing/TypingController.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TInputReviewTest : public QObject, TFormHarness {
    Q_OBJECT

    BxHwnd target_ = 0;
    QPointer<TInputMemoDlg> dlg_;
    bool reviewed_ = false;

    static QByteArray Text(BxHwnd w) {
        char buffer[512] = {};
        BxVirtualGetText(w, buffer, sizeof buffer);
        return buffer;
    }
    bool Idle() { return Form->Typing->Idle() && BxWaitIdle(0); }
    // Types keys into the target and answers the forms of the window that opens.
    void TypeKeyword(const char* keys, std::deque<TAction> answers) {
        auto actions = std::make_shared<std::deque<TAction>>(std::move(answers));
        reviewed_ = false;
        TInputMemoDlg::Made = [this, actions](TInputMemoDlg& dlg) {
            dlg_ = &dlg;
            Script(&dlg, actions);
            connect(&dlg, &TInputMemoDlg::ReviewShown, this, [this] { reviewed_ = true; });
        };
        BxVirtualSetFocus(target_);
        BxVirtualSetText(target_, "");
        BxVirtualType(keys);
    }
    static TAction Answer(const char* text) {
        return [text](TInputFieldForm& f) {
            f.Memo1->setPlainText(text);
            f.NextBtn->click();
        };
    }

private slots:
    void init() {
        Reset();
        MakeDictionary(P("d.bxd"),
                       {{"letter", "Dear {@INPUT Name}!"}, {"addr", "12 Harbour Street"}});
        WriteFile(P("PAGES.CFG"), P("d.bxd").toUtf8() + "\r\n");
        Start();
        Form->show();
        QVERIFY(SpinUntil([this] { return Form->StartupDone; }));
        Form->hide();
        target_ = BxVirtualCreateWindow(20);
    }
    void cleanup() {
        TInputMemoDlg::Made = nullptr;
        if (dlg_) QTest::keyClick(dlg_->Memo1, Qt::Key_Escape);
        SpinUntil([this] { return !dlg_; });
        Stop();
    }

    void theDelimiterFollowsTheReviewedText() {
        TypeKeyword("letter ", {Answer("Ann")});
        QVERIFY(SpinUntil([this] { return reviewed_; }));
        // The keyword went at once; the text waits for the review.
        QCOMPARE(Text(target_), QByteArray());
        dlg_->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(dlg_->Memo1, " See you");
        QTest::keyClick(dlg_->Memo1, Qt::Key_Return);
        QVERIFY(SpinUntil([this] { return !dlg_ && Idle(); }));
        QCOMPARE(Text(target_), QByteArray("Dear Ann! See you "));

        // An expansion made in the review, and Type It clicked: the same. The
        // expansion into the review ends as any other: its transfer-done
        // script runs.
        TypeKeyword("letter ", {Answer("Bo")});
        QVERIFY(SpinUntil([this] { return reviewed_; }));
        QVERIFY(Form->Tcl && Form->Tcl->Eval("set ::done 0"));
        Form->Typing->OnTransferDoneScript = "incr ::done";
        dlg_->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(dlg_->Memo1, " addr ");
        QCOMPARE(dlg_->Memo1->toPlainText(), QString("Dear Bo! 12 Harbour Street "));
        QVERIFY(Form->Tcl->Eval("set ::done"));
        QCOMPARE(Form->Tcl->GetResult(), QByteArray("1"));
        Form->Typing->OnTransferDoneScript.clear();
        dlg_->TypeItBtn->click();
        QVERIFY(SpinUntil([this] { return !dlg_ && Idle(); }));
        QCOMPARE(Text(target_), QByteArray("Dear Bo! 12 Harbour Street  "));
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TInputReviewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_input_review.moc"
