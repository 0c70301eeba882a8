// bx_file on the tabs and files of a real main window.
#include "BxFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTabBar>

class BxFile : public BxFixture {
protected:
    void SetUp() override {
        BxFixture::SetUp();
        MakeDictionary(P("two.bxd"), {{"sig", "Kind regards"}});
    }
    // Opens a dictionary, changes it and takes its folder away, so that
    // saving it fails whoever runs the test.
    void ChangeUnsaveable() {
        ASSERT_TRUE(QDir().mkpath(P("sub")));
        MakeDictionary(P("sub/three.bxd"), {{"one", "1"}});
        ASSERT_TRUE(Form->OpenDictionary(P("sub/three.bxd")));
        Ok("bx_list add another x");
        ASSERT_TRUE(QDir(P("sub")).removeRecursively());
    }
    // Lets the unsaveable dictionary be saved again (closing would fail otherwise).
    void MakeSaveable() { ASSERT_TRUE(QDir().mkpath(P("sub"))); }
};

TEST_F(BxFile, MessagesVerbatim) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"bx_file Open x", "bad option \"Open\": must be open, close or save"},
        {"bx_file open", "wrong # of args: should be \"bx_file open filename\""},
        {"bx_file open a b", "wrong # of args: should be \"bx_file open filename\""},
        {"bx_file save a b", "wrong # of args: should be \"bx_file save ?saveAsFilename?\""},
        {"bx_file close now", "\"bx_file close\" does not expect any arguments."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fails(c.script), c.message) << c.script;
}

TEST_F(BxFile, OpenSwitchesOrCreates) {
    EXPECT_EQ(Ok("bx_file"), P("one.bxd").toUtf8());
    Ok("bx_list add new x");
    EXPECT_EQ(Ok("bx_file open " + Word("two.bxd")), "");
    EXPECT_EQ(Form->Session.FileName(), P("two.bxd"));
    EXPECT_EQ(EntryCount(P("one.bxd")), 4); // saved without asking
    EXPECT_TRUE(Asked.isEmpty());
    EXPECT_EQ(Ok("bx_list length"), "1");

    EXPECT_EQ(Ok("bx_file open " + Word("fresh.bxd")), "");
    EXPECT_EQ(Form->Session.FileName(), P("fresh.bxd"));
    EXPECT_TRUE(QFileInfo::exists(P("fresh.bxd")));
    EXPECT_EQ(Ok("bx_list length"), "0");
    EXPECT_GE(Form->FindTab(P("two.bxd")), 0);
}

TEST_F(BxFile, OpenFailures) {
    // A file that cannot be created leaves the open dictionary alone.
    EXPECT_EQ(Fails("bx_file open " + Word("no/such/dir/x.bxd")), "cannot create new file");
    EXPECT_EQ(Form->Session.FileName(), P("one.bxd"));
    EXPECT_EQ(Form->Session.Dict().Count(), 3);

    // A file that is no dictionary: code 1, empty result, the old one back in its tab.
    const int tabs = Form->TabSet1->count();
    ASSERT_TRUE(WriteFile(P("bad.bxd"), QByteArray(100, 'x')));
    EXPECT_EQ(Fails("bx_file open " + Word("bad.bxd")), "");
    EXPECT_EQ(Form->Session.FileName(), P("one.bxd"));
    EXPECT_EQ(Form->Session.Dict().Count(), 3);
    EXPECT_EQ(Form->TabSet1->count(), tabs);

    // Changes that cannot be saved stop the switch instead of being dropped.
    ChangeUnsaveable();
    EXPECT_EQ(Fails("bx_file open " + Word("two.bxd")), "cannot save current dictionary");
    EXPECT_EQ(Form->Session.FileName(), P("sub/three.bxd"));
    EXPECT_EQ(Ok("bx_list search another"), "0");
    MakeSaveable();
    // A save the window declines (a read-only dictionary) counts as failed too.
    Form->OpenDictionary(P("one.bxd"));
    Form->Session.Dict().SetReadOnly(true);
    Form->Session.SetModified(true);
    EXPECT_EQ(Fails("bx_file open " + Word("two.bxd")), "cannot save current dictionary");
    EXPECT_EQ(Form->Session.FileName(), P("one.bxd"));
}

TEST_F(BxFile, SaveAndSaveAs) {
    Ok("bx_list add new x");
    EXPECT_EQ(Ok("bx_file save"), "");
    EXPECT_FALSE(Form->Session.Modified());
    EXPECT_EQ(EntryCount(P("one.bxd")), 4);

    Ok("bx_list add newer y");
    EXPECT_EQ(Ok("bx_file save " + Word("copy.bxd")), "");
    EXPECT_EQ(Form->Session.FileName(), P("copy.bxd"));
    EXPECT_EQ(EntryCount(P("copy.bxd")), 5);
    EXPECT_EQ(EntryCount(P("one.bxd")), 4);
    EXPECT_LT(Form->FindTab(P("one.bxd")), 0); // the copy took its tab

    ChangeUnsaveable();
    EXPECT_EQ(Fails("bx_file save"),
              "error occurred while saving  \"" + P("sub/three.bxd").toUtf8() + "\"");
    EXPECT_TRUE(Form->Session.Modified());
    MakeSaveable();
}

TEST_F(BxFile, CloseSavesFirst) {
    Form->OpenDictionary(P("two.bxd"));
    Form->OpenDictionary(P("one.bxd"));
    const int tabs = Form->TabSet1->count();
    Ok("bx_list add new x");
    EXPECT_EQ(Ok("bx_file close"), "");
    EXPECT_EQ(Form->TabSet1->count(), tabs - 1);
    EXPECT_LT(Form->FindTab(P("one.bxd")), 0);
    EXPECT_EQ(EntryCount(P("one.bxd")), 4);

    ChangeUnsaveable();
    EXPECT_EQ(Fails("bx_file close"),
              "error occurred while saving  \"" + P("sub/three.bxd").toUtf8() + "\"");
    EXPECT_EQ(Form->Session.FileName(), P("sub/three.bxd")); // still open, changes kept
    EXPECT_EQ(Ok("bx_list search another"), "0");
    MakeSaveable();
}
