// The checks every entry operation shares, on the real main window's session.
#include "BxFixture.h"

#include "dictionary/Dict.h"
#include "dictionary/EntryRules.h"
#include "platform/Keycodes.h"

#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>

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
    const TDictionarySession& session = Form->Session;
    EXPECT_TRUE(CheckKeyword(session, -1, "  BTW "));
    EXPECT_FALSE(CheckKeyword(session, 2, "btw")); // its own row
    EXPECT_TRUE(CheckKeyword(session, 0, "btw"));
    EXPECT_FALSE(CheckKeyword(session, -1, "new", Form->ShowError));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_TRUE(CheckKeyword(session, -1, "Btw", Form->ShowError));
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("The keyword \"Btw\" is already in use."));
}

TEST_F(DictChecks, ShortcutTakenByHotKeyOrAnotherKeyword) {
    Start(P("one.bxd"));
    ASSERT_EQ(Form->Settings.ProgramHotKey, AltX);
    TDictionarySession& session = Form->Session;
    const auto tell = Form->ShowError;
    EXPECT_FALSE(CheckShortcut(session, AltX, "x", 0, tell));
    EXPECT_FALSE(CheckShortcut(session, AltX, " ADDR", CtrlF5, tell)); // the entry's own
    EXPECT_TRUE(CheckShortcut(session, AltX, "btw", CtrlF5));
    EXPECT_FALSE(CheckShortcut(session, AltX, "btw", 0x2000 | 0x74));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_TRUE(CheckShortcut(session, AltX, "addr", AltX, tell));
    EXPECT_TRUE(CheckShortcut(session, AltX, "btw", CtrlF5, tell));
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
    ASSERT_EQ(Form->Session.Dict().Add(item), 0);
    EXPECT_TRUE(CheckShortcut(Form->Session, AltX, "btw", 0x4000 | 0x75));
    EXPECT_FALSE(CheckShortcut(Form->Session, AltX, "addr", CtrlF5));
    EXPECT_TRUE(CheckShortcut(Form->Session, AltX, "aaa", CtrlF5));
}

TEST_F(DictChecks, AddAndRemoveFollowTheReadOnlyMarks) {
    Start(P("one.bxd"));
    Form->Session.Dict().GetItem(1)->SetReadOnly(true);
    EXPECT_TRUE(CanAdd(Form->Session, Form->TabSet1->count() > 0));
    EXPECT_TRUE(CanRemove(Form->Session, Form->Session.Dict().GetItem(0)));
    EXPECT_FALSE(CanRemove(Form->Session, Form->Session.Dict().GetItem(1))); // read-only entry
    EXPECT_FALSE(CanRemove(Form->Session, nullptr));
    Form->Session.Dict().GetItem(2)->SetLinked(1);
    EXPECT_FALSE(CanRemove(Form->Session, Form->Session.Dict().GetItem(2)));

    // The file's read-only mark stops both, also for a user the mark does not stop.
    QFile::setPermissions(P("one.bxd"), QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_TRUE(FileIsReadOnly(P("one.bxd")));
    EXPECT_FALSE(CanAdd(Form->Session, Form->TabSet1->count() > 0));
    EXPECT_FALSE(CanRemove(Form->Session, Form->Session.Dict().GetItem(0)));
    QFile::setPermissions(P("one.bxd"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(FileIsReadOnly(P("missing.bxd")));

    Form->Session.Dict().SetReadOnly(true);
    EXPECT_FALSE(CanAdd(Form->Session, Form->TabSet1->count() > 0));
    Form->Session.Dict().SetReadOnly(false);
    Form->CloseFile1Click();
    while (Form->TabSet1->count() > 0)
        Form->CloseFile1Click();
    EXPECT_FALSE(CanAdd(Form->Session, Form->TabSet1->count() > 0)); // no tab at all
}

// The session alone, without a window.
TEST(DictionarySession, ShortcutIndexStartsWithTheHotKeyThenEntriesInRowOrder) {
    TDictionarySession session;
    for (const auto& [keyword, code] :
         {std::pair{"zed", CtrlF5}, {"mid", uint16_t(0)}, {"abc", AltX}}) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(keyword);
        item->SetShortcut(code);
        session.Dict().Add(item);
    }
    session.RebuildShortcutIndex(0x4000 | 0x70);
    const TDictionarySession::TShortcutIndex expected{{0x4000 | 0x70, -1}, {AltX, 0}, {CtrlF5, 2}};
    EXPECT_EQ(session.ShortcutIndex(), expected);
}

TEST(DictionarySession, OpenSaveAndCloseKeepNameMarkAndTitleInStep) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.bxd");
    MakeDictionary(path, {{"a", "one", "", 0, 0}, {"b", "two", "", 0, 0}});
    TDictionarySession session;
    int nameChanges = 0, markChanges = 0;
    session.FileNameChanged = [&] { ++nameChanges; };
    session.ModifiedChanged = [&] { ++markChanges; };

    session.Open(path, false);
    EXPECT_EQ(session.FileName(), path);
    EXPECT_EQ(session.Dict().Count(), 2);
    EXPECT_EQ(session.StatusText(), QString());
    session.Dict().GetItem(0)->SetReadOnly(true);
    session.SetModified(true);
    EXPECT_EQ(markChanges, 1);
    EXPECT_EQ(session.StatusText(), QStringLiteral(" (modified)"));
    session.Save(path, false);
    EXPECT_FALSE(session.Modified());
    EXPECT_FALSE(session.Dict().GetItem(0)->GetReadOnly());
    session.Dict().SetReadOnly(true);
    EXPECT_EQ(session.StatusText(), QStringLiteral(" (READONLY)"));

    WriteFile(dir.filePath("bad.bxd"), "not a dictionary, not even close.........................");
    nameChanges = 0;
    EXPECT_ANY_THROW(session.Open(dir.filePath("bad.bxd"), false));
    EXPECT_TRUE(session.FileName().isEmpty());
    EXPECT_EQ(session.Dict().Count(), 0);
    EXPECT_GE(nameChanges, 1);

    session.Open(path, false);
    session.SetModified(true);
    markChanges = nameChanges = 0;
    session.Close();
    EXPECT_FALSE(session.Modified());
    EXPECT_TRUE(session.FileName().isEmpty());
    EXPECT_EQ(session.Dict().Count(), 0);
    EXPECT_EQ(nameChanges, 1);
}
