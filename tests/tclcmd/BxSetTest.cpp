// bx_set on a real main window.
#include "BxFixture.h"

#include "typing/TypingController.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>

using BxSet = BxFixture;

TEST_F(BxSet, MessagesVerbatim) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"bx_set", "wrong # of args: should be \"bx_set option arg ?arg ...?\""},
        {"bx_set AutoReplace",
         "bad option \"AutoReplace\": must be autoreplace, clipboard, "
         "keyword_typed, lastTextToType, links, onTransfer, onTransferDone, "
         "suggestion_window, targetprocess, targetWindowHandle or textToType"},
        {"bx_set autoreplace 1 2", "wrong # of args: should be \"bx_set autoreplace ?1|0?\""},
        {"bx_set autoreplace on", "bad integer value \"on\""},
        {"bx_set links x", "bad integer value \"x\""},
        {"bx_set suggestion_window 1 1",
         "wrong # of args: should be \"bx_set suggestion_window ?1|0?\""},
        {"bx_set targetprocess 5", "Setting the process ID is not available since the "
                                   "\"/TARGETPROCESS\" command line parameter was not specified"},
        {"bx_set clipboard a b", "wrong # of args: should be \"bx_set clipboard ?string?\""},
        {"bx_set targetWindowHandle 1", "this command does not take any arguments"},
        {"bx_set keyword_typed x", "wrong # of args: should be \"bx_set keyword_typed\""},
        {"bx_set onTransfer a b", "wrong # of args: should be \"bx_set onTransfer $script\""},
        {"bx_set textToType a b", "wrong # of args: should be \"bx_set textToType ?string?\""},
        {"bx_set lastTextToType a b", "\"bx_set lastTextToType\" does not expect any arguments."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fails(c.script), c.message) << c.script;
    EXPECT_EQ(Ok("bx_set lastTextToType ignored"), ""); // one extra word is let through
}

TEST_F(BxSet, SwitchesGoThroughTheWindow) {
    Form->AutoReplaceChk->setChecked(true);
    EXPECT_EQ(Ok("bx_set autoreplace"), "1");
    EXPECT_EQ(Ok("bx_set autoreplace 0"), "0");
    EXPECT_FALSE(Form->AutoReplaceChk->isChecked());
    EXPECT_EQ(Ok("bx_set autoreplace 7"), "1");
    EXPECT_TRUE(Form->AutoReplaceChk->isChecked());

    EXPECT_EQ(Ok("bx_set suggestion_window 1"), "1");
    EXPECT_TRUE(Form->Settings.Has(aoAutoReplaceAlwaysShow));
    EXPECT_EQ(Ok("bx_set suggestion_window 0"), "0");
    EXPECT_FALSE(Form->Settings.Has(aoAutoReplaceAlwaysShow));
    // Nothing to link: links stay off.
    EXPECT_EQ(Ok("bx_set links 1"), "0");
}

TEST_F(BxSet, TextsAndScripts) {
    // Scripts and results cross in Windows-1252.
    EXPECT_EQ(Ok("bx_set clipboard {caf\xe9 au lait}"), "caf\xe9 au lait");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("café au lait"));

    EXPECT_EQ(Ok("bx_set textToType \"one\\ntwo\""), "one\r\ntwo");
    EXPECT_EQ(Form->Memo1->toPlainText(), QStringLiteral("one\ntwo"));

    Ok("bx_set onTransfer {set ::before 1}");
    Ok("bx_set onTransferDone {set ::after 1}");
    EXPECT_EQ(Form->Typing->OnTransferScript, "set ::before 1");
    EXPECT_EQ(Ok("bx_set onTransferDone"), "set ::after 1");

    Form->Typing->LastTypedText = "see you";
    EXPECT_EQ(Ok("bx_set lastTextToType"), "see you");
    Form->Typing->TargetForeground = 4242;
    EXPECT_EQ(Ok("bx_set targetWindowHandle"), "4242");
}

class BxSetTarget : public BxFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFile(P("Brevixo.tcl"), {}));
        MakeDictionary(P("one.bxd"), {{"brb", "be right back"}});
        WriteFile(P(QStringLiteral("Brevixo.ini")), QuietIni);
        Form = NewForm({QStringLiteral("/TARGETPROCESS=77")});
        ASSERT_TRUE(Form->Tcl && Form->Tcl->IsLoaded());
    }
};

TEST_F(BxSetTarget, ProcessIdKeepsItsLow32Bits) {
    EXPECT_EQ(Ok("bx_set targetprocess"), "77");
    EXPECT_EQ(Ok("bx_set targetprocess 4294967297"), "1");
    EXPECT_EQ(Fails("bx_set targetprocess twelve"),
              "bad process ID \"twelve\": must be an integer");
    EXPECT_EQ(Fails("bx_set targetprocess 1 2"),
              "wrong # of args: should be \"bx_set targetprocess ?processID?\"");
}
