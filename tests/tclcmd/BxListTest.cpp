// bx_list on the open dictionary of a real main window.
#include "BxFixture.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableView>

class BxList : public BxFixture {
protected:
    void SetUp() override {
        BxFixture::SetUp();
        // Opening clears the marks of the file; entries become read-only in memory.
        Item("brb")->SetReadOnly(true);
    }
    TDictionaryItem* Item(const QByteArray& keyword) {
        return Form->Session.Dict().GetItem(Form->Session.Dict().IndexOfKeyword(keyword));
    }
};

TEST_F(BxList, MessagesVerbatim) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"bx_list", "wrong # of args: should be \"bx_list option ?arg ...?\""},
        {"bx_list Length", "bad option \"Length\": must be add, desc, keyword, length, readonly, "
                           "remove, search, shortcut or text"},
        {"bx_list length 1", "\"bx_list length\" does not expect any arguments."},
        {"bx_list add k", "wrong # of args: should be \"bx_list add keyword textToType "
                          "?description? ?shortcut?\""},
        {"bx_list add k t d F7 x", "wrong # of args: should be \"bx_list add keyword textToType "
                                   "?description? ?shortcut?\""},
        {"bx_list update k", "wrong # of args: should be \"bx_list update keyword textToType "
                             "?description? ?shortcut?\""},
        {"bx_list add addr t", "cannot add entry: keyword \"addr\" already exists"},
        {"bx_list add { Addr } t", "cannot add entry: keyword \" Addr \" already exists"},
        {"bx_list add new t d Nokey", "\"Nokey\" is not a valid shortcut code"},
        {"bx_list add new t d {}", "\"\" is not a valid shortcut code"},
        {"bx_list add new t d Ctrl+F5", "cannot add entry: shortcut is already in use"},
        {"bx_list add {   } t", "cannot add entry: the keyword is empty"},
        {"bx_list update {} t", "cannot add entry: the keyword is empty"},
        {"bx_list update brb t", "Keyword \"brb\" is read-only"},
        {"bx_list text", "wrong # of args: should be \"bx_list text index ?textToType?\""},
        {"bx_list text 0 a b", "wrong # of args: should be \"bx_list text index ?textToType?\""},
        {"bx_list text -1", "bad index \"-1\": must be a non-negative integer"},
        {"bx_list text {}", "bad index \"\": must be a non-negative integer"},
        {"bx_list text 3", "invalid index \"3\": out of range"},
        {"bx_list text 1 new", "Keyword \"brb\" is read-only"},
        {"bx_list shortcut", "wrong # of args: should be \"bx_list shortcut index ?shortcut?\""},
        {"bx_list shortcut 9", "invalid index \"9\": out of range"},
        {"bx_list shortcut 1 F7", "keyword \"brb\" is read-only"},
        {"bx_list shortcut 2 {}", "\"\" is not a valid shortcut code"},
        {"bx_list shortcut 2 Ctrl+F5", "cannot add entry: shortcut is already in use"},
        {"bx_list keyword", "wrong # of args: should be \"bx_list keyword index\""},
        {"bx_list keyword 0 1", "wrong # of args: should be \"bx_list keyword index\""},
        {"bx_list keyword z", "bad index \"z\": must be a non-negative integer"},
        {"bx_list readonly", "wrong # of args: should be \"bx_list readonly index\""},
        {"bx_list readonly 3", "invalid index \"3\": out of range"},
        {"bx_list desc", "wrong # of args: should be \"bx_list desc index ?description?\""},
        {"bx_list desc 1 d", "Keyword \"brb\" is read-only"},
        {"bx_list desc 1.5", "bad index \"1.5\": must be a non-negative integer"},
        {"bx_list remove", "wrong # of args: should be \"bx_list remove index\""},
        {"bx_list remove 1", "Keyword \"brb\" is read-only"},
        {"bx_list remove 99999999999", "bad index \"99999999999\": must be a non-negative integer"},
        {"bx_list search", "wrong # of args: should be \"bx_list search keyword\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fails(c.script), c.message) << c.script;
    EXPECT_FALSE(Form->Session.Modified()); // nothing refused changed anything
    EXPECT_EQ(Form->Session.Dict().Count(), 3);
    EXPECT_EQ(Item("brb")->GetText(), "be right back");
}

TEST_F(BxList, ReadsEntries) {
    EXPECT_EQ(Ok("bx_list length"), "3");
    EXPECT_EQ(Ok("bx_list keyword 0"), "addr");
    EXPECT_EQ(Ok("bx_list text 0"), "12 Harbour Street");
    EXPECT_EQ(Ok("bx_list desc 0"), "Address");
    EXPECT_EQ(Ok("bx_list shortcut 0"), "Ctrl+F5");
    EXPECT_EQ(Ok("bx_list shortcut 2"), "");
    EXPECT_EQ(Ok("bx_list readonly 0"), "0");
    EXPECT_EQ(Ok("bx_list readonly 1"), "1");
    EXPECT_EQ(Ok("bx_list readonly { 2 }"), "0");
    EXPECT_EQ(Ok("bx_list search BTW"), "2");
    EXPECT_EQ(Ok("bx_list search nothing"), "-1");
    Item("btw")->SetLinked(1);
    EXPECT_EQ(Ok("bx_list readonly 2"), "1");
    EXPECT_FALSE(Form->Session.Modified());
}

TEST_F(BxList, AddConvertsAndMarksModified) {
    EXPECT_EQ(Ok("bx_list add {  Cya } \"see\\nyou\\r\\nlater\" {  bye  } Alt+F3"), "3");
    const TDictionaryItem* item = Item("cya");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->GetText(), "see\r\nyou\r\nlater");
    EXPECT_EQ(item->GetDescription(), "bye");
    EXPECT_EQ(item->GetShortcut(), 0x8000 | 0x72);
    EXPECT_TRUE(Form->Session.Modified());
    EXPECT_TRUE(Form->windowTitle().endsWith(QStringLiteral(" (modified)")));
    EXPECT_EQ(Ok("bx_list add zz z"), "4");
    EXPECT_EQ(Item("zz")->GetShortcut(), 0);
    // The same shortcut again is taken now, before any grid refresh.
    EXPECT_EQ(Fails("bx_list add yy y {} Alt+F3"), "cannot add entry: shortcut is already in use");
}

TEST_F(BxList, UpdateReplacesOnlyWhenEveryCheckPasses) {
    EXPECT_EQ(Ok("bx_list update btw {by the way!} new F7"), "2");
    EXPECT_EQ(Item("btw")->GetText(), "by the way!");
    EXPECT_EQ(Item("btw")->GetShortcut(), 0x76);
    EXPECT_EQ(Ok("bx_list update fresh x"), "3"); // a new keyword is simply added
    EXPECT_EQ(Ok("bx_list length"), "4");
    // A refused update leaves the entry as it was.
    EXPECT_EQ(Fails("bx_list update btw other {} Ctrl+F5"),
              "cannot add entry: shortcut is already in use");
    EXPECT_EQ(Fails("bx_list update btw other {} bogus"), "\"bogus\" is not a valid shortcut code");
    EXPECT_EQ(Item("btw")->GetText(), "by the way!");
    EXPECT_EQ(Item("btw")->GetShortcut(), 0x76);
    // Its own shortcut is no conflict.
    EXPECT_EQ(Ok("bx_list update addr {new address} {} Ctrl+F5"), "0");
}

TEST_F(BxList, ChangesEntries) {
    EXPECT_EQ(Ok("bx_list text 2 \"one\\ntwo\""), "one\r\ntwo");
    EXPECT_EQ(Item("btw")->GetText(), "one\r\ntwo");
    EXPECT_TRUE(Form->Session.Modified());
    Form->Session.SetModified(false);
    EXPECT_EQ(Ok("bx_list desc 2 {  a note  }"), "a note");
    EXPECT_TRUE(Form->Session.Modified());
    Form->Session.SetModified(false);
    EXPECT_EQ(Ok("bx_list shortcut 2 ctrl+alt+f1"), "Ctrl+Alt+F1");
    EXPECT_EQ(Item("btw")->GetShortcut(), 0x4000 | 0x8000 | 0x70);
    EXPECT_TRUE(Form->Session.Modified()); // else a switch of dictionary would drop it
    EXPECT_EQ(Ok("bx_list shortcut 2 ctrl+alt+f1"), "Ctrl+Alt+F1"); // its own, again
    EXPECT_EQ(Ok("bx_list remove 0"), "2");
    EXPECT_EQ(Item("addr"), nullptr);
    EXPECT_EQ(Ok("bx_list keyword 0"), "brb");
}

TEST_F(BxList, ReadOnlyDictionaryOrFileRefusesAdding) {
    QFile::setPermissions(P("one.bxd"), QFile::ReadOwner);
    EXPECT_EQ(Fails("bx_list add new text"), "cannot add entry: dictionary is read-only");
    EXPECT_EQ(Fails("bx_list remove 0"), "Keyword \"addr\" is read-only");
    EXPECT_EQ(Ok("bx_list readonly 0"), "1");
    QFile::setPermissions(P("one.bxd"), QFile::ReadOwner | QFile::WriteOwner);
    Form->Session.Dict().SetReadOnly(true);
    EXPECT_EQ(Fails("bx_list update addr text"), "cannot add entry: dictionary is read-only");
    EXPECT_EQ(Form->Session.Dict().Count(), 3);
}

TEST_F(BxList, EntriesTheFileCannotHoldAreRefused) {
    const QByteArray longWord(300, 'k');
    const QByteArray message = Fails("bx_list add " + longWord + " text");
    EXPECT_TRUE(message.startsWith("cannot add entry: The keyword")) << message.constData();
    EXPECT_TRUE(Fails("bx_list desc 0 " + QByteArray(256, 'd')).contains("longer than 255"));
    EXPECT_EQ(Item("addr")->GetDescription(), "Address");
    EXPECT_EQ(Form->Session.Dict().Count(), 3);
    EXPECT_EQ(Ok("bx_file save"), ""); // the dictionary still saves
}

TEST_F(BxList, GridFollowsOnceTheEventLoopRuns) {
    Form->ShowEntry(2);
    Ok("bx_list add aaa first; bx_list add aab second");
    // The shortcut index follows at once: key dispatch uses its rows.
    EXPECT_EQ(Ok("bx_list shortcut 0 F8"), "F8");
    const auto& index = Form->Session.ShortcutIndex();
    EXPECT_EQ(std::count(index.begin(), index.end(), std::pair<uint16_t, int>(0x77, 0)), 1);
    EXPECT_TRUE(SpinUntil([&] { return Form->Grid->verticalHeader()->count() == 5; }));
    // The current row stays; it shows the entry now in that row.
    EXPECT_EQ(Form->CurrentRow(), 2);
    EXPECT_EQ(Form->Memo1->toPlainText(), QStringLiteral("12 Harbour Street"));
}
