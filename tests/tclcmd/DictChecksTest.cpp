// The checks every entry operation shares, on the real main window.
#include "BxFixture.h"

#include "dictionary/Dict.h"
#include "platform/Keycodes.h"
#include "shell/DictChecks.h"

#include <QFile>
#include <QTabBar>

namespace {
const uint16_t CtrlF5 = 0x4000 | 0x74;
const uint16_t AltX = 0x8000 | 'X';
} // namespace

class DictChecks : public BxFixture {
protected:
    void SetUp() override {
        BxFixture::SetUp();
        MakeDictionary(P("one.bxd"), {{"addr", "12 Harbour Street", "", CtrlF5, 0},
                                      {"brb", "be right back", "", 0, 0},
                                      {"btw", "by the way", "", 0, 0}});
        WriteFile(P("Brevixo.ini"),
                  "[Preferences]\r\nNoConfirmExit=1\r\nRunMinimized=0\r\nHotKey=" +
                      QByteArray::number(AltX) + "\r\n");
    }
};

TEST_F(DictChecks, KeywordInUseUnlessItIsTheRowItself) {
    Start(P("one.bxd"));
    EXPECT_TRUE(CheckKeyword(*Form, -1, "  BTW ", false));
    EXPECT_FALSE(CheckKeyword(*Form, 2, "btw", false)); // its own row
    EXPECT_TRUE(CheckKeyword(*Form, 0, "btw", false));
    EXPECT_FALSE(CheckKeyword(*Form, -1, "new", true));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_TRUE(CheckKeyword(*Form, -1, "Btw", true));
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("The keyword \"Btw\" is already in use."));
}

TEST_F(DictChecks, ShortcutTakenByHotKeyOrAnotherKeyword) {
    Start(P("one.bxd"));
    ASSERT_EQ(Form->Settings.ProgramHotKey, AltX);
    EXPECT_FALSE(CheckShortcut(*Form, "x", 0, true));
    EXPECT_FALSE(CheckShortcut(*Form, " ADDR", CtrlF5, true)); // the entry's own
    EXPECT_TRUE(CheckShortcut(*Form, "btw", CtrlF5, false));
    EXPECT_FALSE(CheckShortcut(*Form, "btw", 0x2000 | 0x74, false));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_TRUE(CheckShortcut(*Form, "addr", AltX, true));
    EXPECT_TRUE(CheckShortcut(*Form, "btw", CtrlF5, true));
    ASSERT_EQ(Errors.size(), 2);
    EXPECT_EQ(Errors[0], QStringLiteral("The shortcut \"Alt+X\" is already assigned to the hot "
                                        "key.\nPlease specify another shortcut."));
    EXPECT_EQ(Errors[1], QStringLiteral("The shortcut \"Ctrl+F5\" is already assigned to another "
                                        "keyword.\nPlease specify another shortcut."));
}

TEST_F(DictChecks, ShortcutsChangedSinceTheLastRefreshCount) {
    Start(P("one.bxd"));
    auto* item = new TDictionaryItem;
    item->SetKeyword("aaa"); // sorts first: every row of the old index moves
    item->SetShortcut(0x4000 | 0x75);
    ASSERT_EQ(Form->Dict->Add(item), 0);
    EXPECT_TRUE(CheckShortcut(*Form, "btw", 0x4000 | 0x75, false));
    EXPECT_FALSE(CheckShortcut(*Form, "addr", CtrlF5, false));
    EXPECT_TRUE(CheckShortcut(*Form, "aaa", CtrlF5, false));
}

TEST_F(DictChecks, AddAndRemoveFollowTheReadOnlyMarks) {
    Start(P("one.bxd"));
    Form->Dict->GetItem(1)->SetReadOnly(true);
    EXPECT_TRUE(CanAdd(*Form));
    EXPECT_TRUE(CanRemove(*Form, Form->Dict->GetItem(0)));
    EXPECT_FALSE(CanRemove(*Form, Form->Dict->GetItem(1))); // read-only entry
    EXPECT_FALSE(CanRemove(*Form, nullptr));
    Form->Dict->GetItem(2)->SetLinked(1);
    EXPECT_FALSE(CanRemove(*Form, Form->Dict->GetItem(2)));

    // The file's read-only mark stops both, also for a user the mark does not stop.
    QFile::setPermissions(P("one.bxd"), QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_TRUE(FileIsReadOnly(P("one.bxd")));
    EXPECT_FALSE(CanAdd(*Form));
    EXPECT_FALSE(CanRemove(*Form, Form->Dict->GetItem(0)));
    QFile::setPermissions(P("one.bxd"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(FileIsReadOnly(P("missing.bxd")));

    Form->Dict->SetReadOnly(true);
    EXPECT_FALSE(CanAdd(*Form));
    Form->Dict->SetReadOnly(false);
    Form->CloseFile1Click();
    while (Form->TabSet1->count() > 0)
        Form->CloseFile1Click();
    EXPECT_FALSE(CanAdd(*Form)); // no tab at all
}
