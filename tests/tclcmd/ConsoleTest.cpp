// The Tcl script dialog as the F9 console, on the main window's interpreter.
#include "BxFixture.h"

#include "platform/Ansi.h"
#include "script/gui/InputTclDialog.h"
#include "script/gui/TclConsole.h"

#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

class Console : public BxFixture {
protected:
    void SetUp() override {
        BxFixture::SetUp();
        Dlg = std::make_unique<TInputTclTagDlg>(Form->Tcl.get());
        Dlg->AskOpenFile = [this](const QString&) { return NextFile; };
        Dlg->AskSaveFile = [this](const QString&) { return NextFile; };
        Dlg->AskSaveChanges = [this](const QString& text) {
            Asked << text;
            return Answer;
        };
        Dlg->ShowError = [this](const QString& text) { Errors << text; };
    }
    void TearDown() override {
        Dlg.reset();
        BxFixture::TearDown();
    }
    QString Eval(const QString& script) {
        Dlg->SetScript(script);
        Dlg->EvalBtnClick();
        return Dlg->ResultMemo->toPlainText();
    }
    std::unique_ptr<TInputTclTagDlg> Dlg;
};

TEST_F(Console, ShowsTheResultOrTheFailure) {
    EXPECT_EQ(Eval("set a 6; expr {$a * 7}"), QStringLiteral("42"));
    EXPECT_EQ(Eval("bx_list add fromconsole {a\nb}"), QStringLiteral("3"));
    EXPECT_EQ(Eval("bx_list text 3"), QStringLiteral("a\nb"));
    const QString failure = Eval("proc f {} {error boom}\nf");
    // The message, then the trace that shows where it came from.
    EXPECT_TRUE(failure.startsWith(QStringLiteral("boom\nSTACK TRACE:\nboom\n    while executing")))
        << failure.toStdString();
    EXPECT_EQ(failure, Ansi::ToUnicode(Form->Tcl->GetFailureText()).replace("\r\n", "\n"));

    // F9 evaluates from the script box.
    Dlg->SetScript("expr 1+1");
    Dlg->show();
    QApplication::setActiveWindow(Dlg.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Dlg.get()));
    QTest::keyClick(Dlg->ScriptMemo, Qt::Key_F9);
    EXPECT_EQ(Dlg->ResultMemo->toPlainText(), QStringLiteral("2"));
}

TEST_F(Console, MarksItsOwnEvaluations) {
    Form->Tcl->CreateCommand("probe", [](TTclInterface&, const QList<QByteArray>&, QByteArray& r) {
        r = TInputTclTagDlg::Evaluating() ? "dialog" : "elsewhere";
        return TTclInterface::TclOk;
    });
    EXPECT_EQ(Eval("probe"), QStringLiteral("dialog"));
    EXPECT_EQ(Ok("probe"), "elsewhere");
}

TEST_F(Console, OpenAndSave) {
    ASSERT_TRUE(WriteFile(P("in.tcl"), "set x \xe9t\xe9\n"));
    NextFile = P("in.tcl");
    Dlg->OpenBtnClick();
    EXPECT_EQ(Dlg->Script(), QStringLiteral("set x \u00e9t\u00e9\n"));
    EXPECT_FALSE(Dlg->ScriptModified());
    EXPECT_EQ(Eval(Dlg->Script()), QStringLiteral("\u00e9t\u00e9"));

    Dlg->ScriptMemo->appendPlainText("set y 2");
    EXPECT_TRUE(Dlg->ScriptModified());
    NextFile = P("out"); // the extension is added
    EXPECT_TRUE(Dlg->SaveBtnClick());
    EXPECT_EQ(ReadFile(P("out.tcl")), QByteArray("set x \xe9t\xe9\n\nset y 2"));
    EXPECT_FALSE(Dlg->ScriptModified());

    NextFile = P("missing.tcl");
    Dlg->OpenBtnClick();
    EXPECT_EQ(Errors.size(), 1);
    NextFile = P("no/dir/x.tcl");
    Dlg->ScriptMemo->appendPlainText("more");
    EXPECT_FALSE(Dlg->SaveBtnClick());
    EXPECT_TRUE(Dlg->ScriptModified());
}

TEST_F(Console, ModifiedScriptQuestionOnClose) {
    Dlg->show();
    Dlg->reject(); // unmodified: closes without asking
    EXPECT_FALSE(Dlg->isVisible());
    EXPECT_TRUE(Asked.isEmpty());

    Dlg->show();
    Dlg->ScriptMemo->setPlainText("puts hi");
    Dlg->ScriptMemo->document()->setModified(true);
    Answer = QMessageBox::Cancel;
    QTest::keyClick(Dlg.get(), Qt::Key_Escape); // Esc presses Cancel
    EXPECT_TRUE(Dlg->isVisible());
    EXPECT_EQ(Asked.size(), 1);

    Answer = QMessageBox::Yes;
    NextFile = P("no/dir/x.tcl"); // saving fails: the dialog stays
    Dlg->CancelBtn->click();
    EXPECT_TRUE(Dlg->isVisible());
    NextFile = P("kept.tcl");
    Dlg->CancelBtn->click();
    EXPECT_FALSE(Dlg->isVisible());
    EXPECT_TRUE(QFile::exists(P("kept.tcl")));

    Dlg->show();
    Dlg->ScriptMemo->document()->setModified(true);
    Answer = QMessageBox::No;
    Dlg->close();
    EXPECT_FALSE(Dlg->isVisible());
}

TEST_F(Console, RunFromTheMainWindow) {
    Form->show();
    Form->ShowEntry(0);
    bool consoleMode = false, wasHidden = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* console = qobject_cast<TInputTclTagDlg*>(QApplication::activeModalWidget());
        if (!console) return;
        driver.stop();
        consoleMode = !console->OKBtn->isVisible();
        wasHidden = !Form->isVisible();
        console->SetScript("bx_list add aaa first");
        console->EvalBtnClick();
        console->CancelBtn->click();
    });
    driver.start(10);
    RunTclScriptConsole(*Form->ScriptHost, Form->Tcl.get());
    EXPECT_TRUE(consoleMode); // a console, not the tag dialog
    EXPECT_TRUE(wasHidden);
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->Grid->verticalHeader()->count(), 4);
    EXPECT_EQ(Form->CurrentRow(), 0);
    EXPECT_EQ(Form->Memo1->toPlainText(), QStringLiteral("first")); // row 0 is the new entry
    // The console keeps its place in the settings file.
    EXPECT_TRUE(ReadFile(P("Brevixo.ini")).contains("[InputTclTagDlg]"));
}
