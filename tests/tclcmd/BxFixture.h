#pragma once
// A real main window on a temporary configuration folder with the
// interpreter's bx_window, bx_file and bx_list registered, on one.bxd:
// addr (Ctrl+F5, "Address"), brb, btw.
#include "script/TclInterface.h"
#include "tests/shell/OffscreenDesktop.h"

#include <gtest/gtest.h>

class BxFixture : public testing::Test, public TFormHarness {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        // An empty start-up script: a missing one would raise a warning box.
        ASSERT_TRUE(WriteFile(P("Brevixo.tcl"), {}));
        MakeDictionary(P("one.bxd"), {{"addr", "12 Harbour Street", "Address", 0x4000 | 0x74},
                                      {"brb", "be right back"},
                                      {"btw", "by the way"}});
        Start(QByteArray(QuietIni) + "AutoSave1=0\r\n");
        ASSERT_TRUE(Form->Tcl && Form->Tcl->IsLoaded()) << "the Tcl library must be installed";
        ASSERT_TRUE(Form->OpenDictionary(P("one.bxd")));
    }
    void TearDown() override { Stop(); }

    struct TReply {
        bool Ok;
        QByteArray Text;
    };
    TReply Run(const QByteArray& script) {
        const bool ok = Form->Tcl->Eval(script);
        return {ok, Form->Tcl->GetResult()};
    }
    // The result of a script that must succeed.
    QByteArray Ok(const QByteArray& script) {
        const TReply r = Run(script);
        EXPECT_TRUE(r.Ok) << script.constData() << " failed: " << r.Text.constData();
        return r.Text;
    }
    // The message of a script that must fail.
    QByteArray Fails(const QByteArray& script) {
        const TReply r = Run(script);
        EXPECT_FALSE(r.Ok) << script.constData() << " succeeded: " << r.Text.constData();
        return r.Text;
    }
    // A file name as one Tcl word.
    QByteArray Word(const QString& name) const { return "{" + P(name).toUtf8() + "}"; }
};
