// The open dictionary's session and the rules every entry operation shares.
#include "dictionary/DictionarySession.h"
#include "dictionary/Dict.h"
#include "dictionary/EntryRules.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const uint16_t CtrlF5 = 0x4000 | 0x74;
const uint16_t CtrlF6 = 0x4000 | 0x75;
const uint16_t AltX = 0x8000 | 'X';

struct TSpec {
    const char* keyword;
    uint16_t shortcut = 0;
};

void Fill(TDictionaryList& list, std::initializer_list<TSpec> entries) {
    for (const TSpec& e : entries) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(e.keyword);
        item->SetText(QByteArray("text of ") + e.keyword);
        item->SetShortcut(e.shortcut);
        if (list.Add(item) < 0) delete item;
    }
}

// A session on a real file: addr (Ctrl+F5), brb, btw.
class EntryRules : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("one.bxd");
        TDictionaryList list;
        Fill(list, {{"addr", CtrlF5}, {"brb"}, {"btw"}});
        DictFile::Save(path, list);
        session.Open(path, false);
    }
    void TearDown() override { QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner); }

    QTemporaryDir dir;
    QString path;
    TDictionarySession session;
    QStringList told;
    const TTellUser tell = [this](const QString& m) { told << m; };
};
} // namespace

TEST_F(EntryRules, KeywordInUseUnlessItIsTheRowItself) {
    EXPECT_TRUE(CheckKeyword(session, -1, "  BTW "));
    EXPECT_FALSE(CheckKeyword(session, 2, "btw")); // its own row
    EXPECT_TRUE(CheckKeyword(session, 0, "btw"));
    EXPECT_FALSE(CheckKeyword(session, -1, "new", tell));
    EXPECT_TRUE(CheckKeyword(session, -1, "Btw", tell));
    ASSERT_EQ(told.size(), 1); // only a conflict is told
    EXPECT_TRUE(told[0].contains(QStringLiteral("\"Btw\"")));
}

TEST_F(EntryRules, ShortcutTakenByHotKeyOrAnotherKeyword) {
    EXPECT_FALSE(CheckShortcut(session, AltX, "x", 0, tell));
    EXPECT_FALSE(CheckShortcut(session, AltX, " ADDR", CtrlF5, tell)); // the entry's own
    EXPECT_FALSE(CheckShortcut(session, AltX, "btw", 0x2000 | 0x74, tell));
    EXPECT_TRUE(CheckShortcut(session, AltX, "btw", CtrlF5, tell));
    EXPECT_TRUE(CheckShortcut(session, AltX, "addr", AltX, tell));
    // The user learns which key it is and whose.
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].contains(QStringLiteral("\"Ctrl+F5\" is already assigned to another")));
    EXPECT_TRUE(told[1].contains(QStringLiteral("\"Alt+X\" is already assigned to the hot key")));
}

TEST_F(EntryRules, ShortcutsChangedSinceTheLastIndexCount) {
    session.RebuildShortcutIndex(AltX);
    Fill(session.Dict(), {{"aaa", CtrlF6}}); // sorts first: every row of the old index moves
    EXPECT_TRUE(CheckShortcut(session, AltX, "btw", CtrlF6));
    EXPECT_FALSE(CheckShortcut(session, AltX, "addr", CtrlF5));
    EXPECT_TRUE(CheckShortcut(session, AltX, "aaa", CtrlF5));
}

TEST_F(EntryRules, AddAndRemoveFollowTheReadOnlyMarks) {
    TDictionaryList& dict = session.Dict();
    dict.GetItem(1)->SetReadOnly(true);
    EXPECT_TRUE(CanAdd(session, true));
    EXPECT_FALSE(CanAdd(session, false)); // no tab at all
    EXPECT_TRUE(CanRemove(session, dict.GetItem(0)));
    EXPECT_FALSE(CanRemove(session, dict.GetItem(1))); // read-only entry
    EXPECT_FALSE(CanRemove(session, nullptr));
    dict.GetItem(2)->SetLinked(1);
    EXPECT_FALSE(CanRemove(session, dict.GetItem(2)));

    // The file's read-only mark stops both, also for a user the mark does not stop.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_TRUE(FileIsReadOnly(path));
    EXPECT_FALSE(CanAdd(session, true));
    EXPECT_FALSE(CanRemove(session, dict.GetItem(0)));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(FileIsReadOnly(dir.filePath("missing.bxd")));

    dict.SetReadOnly(true);
    EXPECT_FALSE(CanAdd(session, true));
}

TEST(DictionarySession, ShortcutIndexStartsWithTheHotKeyThenEntriesInRowOrder) {
    TDictionarySession session;
    Fill(session.Dict(), {{"zed", CtrlF5}, {"mid"}, {"abc", AltX}});
    session.RebuildShortcutIndex(CtrlF6);
    const TDictionarySession::TShortcutIndex expected{{CtrlF6, -1}, {AltX, 0}, {CtrlF5, 2}};
    EXPECT_EQ(session.ShortcutIndex(), expected);
}

TEST(DictionarySession, OpenSaveAndCloseKeepNameMarkAndTitleInStep) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.bxd");
    {
        TDictionaryList list;
        Fill(list, {{"a"}, {"b"}});
        DictFile::Save(path, list);
    }
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

    QFile bad(dir.filePath("bad.bxd"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write(QByteArray(100, 'x')) == 100);
    bad.close();
    nameChanges = 0;
    EXPECT_ANY_THROW(session.Open(bad.fileName(), false));
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
