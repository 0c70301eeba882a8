// The entry commands against a real dictionary file, with the editor, the
// questions and the clipboard played by the test.
#include "dictionary/EntryOperations.h"
#include "dictionary/Dict.h"
#include "dictionary/DictionarySession.h"
#include "dictionary/EntryClipboard.h"
#include "dictionary/EntryRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace {
const uint16_t CtrlF5 = 0x4000 | 0x74;
const uint16_t CtrlF6 = 0x4000 | 0x75;
const uint16_t HotKey = 0x8000 | 0x2000 | 'B';

struct TEdit {
    std::function<void(TDictionaryItem&)> change; // empty: Cancel
};

class TFakeHost : public TEntryHost {
public:
    std::deque<TEdit> Edits;
    QStringList Captions, Errors, Questions;
    QList<int> Options;
    bool Answer = true;
    std::optional<QByteArray> Clipboard;
    bool Tab = true;
    int Hidden = 0;

    bool EditEntry(TDictionaryItem& item, int options, const QString& captionWord) override {
        Captions << captionWord;
        Options << options;
        if (Edits.empty() || !Edits.front().change) {
            if (!Edits.empty()) Edits.pop_front();
            return false;
        }
        Edits.front().change(item);
        Edits.pop_front();
        return true;
    }
    void HideMainWindow() override { ++Hidden; }
    void ShowMainWindow() override { --Hidden; }
    void ShowError(const QString& message) override { Errors << message; }
    bool Confirm(const QString& message) override {
        Questions << message;
        return Answer;
    }
    void PutEntries(const QByteArray& block) override { Clipboard = block; }
    std::optional<QByteArray> Entries() const override { return Clipboard; }
    uint16_t HotKey() const override { return ::HotKey; }
    bool InTab() const override { return Tab; }
    QString LinkedSource(uint8_t) const override { return QStringLiteral("/home/u/Shared.bxd"); }
};

TEdit Set(const char* keyword, uint16_t shortcut = 0, const char* text = "typed") {
    return {[=](TDictionaryItem& item) {
        item.SetKeyword(keyword);
        item.SetShortcut(shortcut);
        item.SetText(text);
    }};
}
TEdit Cancel() {
    return {};
}

class EntryOperations : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("one.bxd");
        TDictionaryList list;
        for (auto [k, sc] : {std::pair{"addr", CtrlF5}, {"brb", 0}, {"btw", 0}}) {
            auto* item = new TDictionaryItem;
            item->SetKeyword(k);
            item->SetText(QByteArray("text of ") + k);
            item->SetShortcut(sc);
            list.Add(item);
        }
        DictFile::Save(path, list);
        session.Open(path, false);
    }
    QStringList Keywords() const {
        QStringList k;
        for (int i = 0; i < session.Dict().Count(); ++i)
            k << QString::fromLatin1(session.Dict().GetKeywordAt(i));
        return k;
    }
    int Row(const char* keyword) const { return session.Dict().IndexOfKeyword(keyword); }

    QTemporaryDir dir;
    QString path;
    TDictionarySession session;
    TFakeHost host;
    TEntryOperations ops{session, host};
};
} // namespace

TEST_F(EntryOperations, AddReopensTheEditorUntilKeywordAndShortcutAreFree) {
    host.Edits = {Set("  BRB "), Set("new", HotKey), Set("new", CtrlF5), Set("new", CtrlF6)};
    int row = -1;
    ASSERT_TRUE(ops.AddEntry(std::make_unique<TDictionaryItem>(), &row));
    EXPECT_EQ(host.Captions, QStringList(4, QStringLiteral("Add")));
    ASSERT_EQ(host.Errors.size(), 3);
    EXPECT_EQ(host.Errors[0], QStringLiteral("The keyword \"brb\" is already in use."));
    EXPECT_TRUE(host.Errors[1].contains("assigned to the hot key."));
    EXPECT_TRUE(host.Errors[2].contains("assigned to another keyword."));
    EXPECT_EQ(session.Dict().GetKeywordAt(row), "new");
    EXPECT_EQ(session.Dict().GetItem(row)->GetShortcut(), CtrlF6);
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(host.Hidden, 0); // the main window came back after every edit

    // Cancel adds nothing and changes nothing.
    session.SetModified(false);
    host.Edits = {Cancel()};
    EXPECT_FALSE(ops.AddEntry(std::make_unique<TDictionaryItem>()));
    EXPECT_EQ(session.Dict().Count(), 4);
    EXPECT_FALSE(session.Modified());
}

TEST_F(EntryOperations, QuickAddProposalFillsTheEditorOnce) {
    ops.Propose("tyvm", QByteArray("thank you very much"));
    QByteArray seenKeyword, seenText;
    host.Edits = {{[&](TDictionaryItem& item) {
        seenKeyword = item.GetKeyword();
        seenText = item.GetText();
    }}};
    ASSERT_TRUE(ops.AddEntry(std::make_unique<TDictionaryItem>()));
    EXPECT_EQ(seenKeyword, "tyvm");
    EXPECT_EQ(seenText, "thank you very much");
    EXPECT_EQ(host.Options.last(), editopt::All | editopt::OkEnabled);
    EXPECT_FALSE(ops.HasProposal());
    host.Edits = {Cancel()};
    ops.AddEntry(std::make_unique<TDictionaryItem>());
    EXPECT_EQ(host.Options.last(), editopt::All);
}

TEST_F(EntryOperations, ReadOnlyFileRefusesAddAndTurnsModifyAndRemoveIntoViewing) {
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    ASSERT_TRUE(FileIsReadOnly(path));
    EXPECT_FALSE(ops.AddEntry(std::make_unique<TDictionaryItem>()));
    ASSERT_EQ(host.Errors.size(), 1);
    EXPECT_TRUE(host.Errors[0].contains("is marked READONLY"));
    EXPECT_TRUE(host.Captions.isEmpty());

    host.Edits = {Set("changed")};
    EXPECT_FALSE(ops.Modify(Row("brb")));
    EXPECT_EQ(host.Captions, QStringList{"Read Only"});
    EXPECT_EQ(host.Options, QList<int>{0});
    EXPECT_EQ(Keywords(), (QStringList{"addr", "brb", "btw"}));
    EXPECT_FALSE(ops.Remove(Row("brb"), Row("brb"), Row("brb")));
    EXPECT_EQ(session.Dict().Count(), 3);
    EXPECT_FALSE(session.Modified());
}

TEST_F(EntryOperations, ModifyMovesTheEntryAndKeepsItsOwnShortcut) {
    host.Edits = {Set("btw", CtrlF5), Set("zed", CtrlF5, "new text")};
    int row = -1;
    ASSERT_TRUE(ops.Modify(Row("addr"), &row));
    EXPECT_EQ(host.Errors, QStringList{"The keyword \"btw\" is already in use."});
    EXPECT_EQ(Keywords(), (QStringList{"brb", "btw", "zed"}));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(session.Dict().GetItem(row)->GetText(), "new text");
    EXPECT_EQ(session.Dict().GetItem(row)->GetShortcut(), CtrlF5);

    // Cancel leaves the list alone.
    session.SetModified(false);
    host.Edits = {Cancel()};
    EXPECT_FALSE(ops.Modify(Row("brb")));
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(session.Dict().GetItem(Row("brb"))->GetText(), "text of brb");
}

TEST_F(EntryOperations, LinkedEntriesAreOnlyViewedAndNeverCut) {
    session.Dict().GetItem(Row("brb"))->SetLinked(1);
    host.Edits = {Set("changed")};
    EXPECT_FALSE(ops.Modify(Row("brb")));
    EXPECT_EQ(host.Captions, QStringList{"Read Only - Linked from /HOME/U/SHARED.BXD"});

    // Three rows cut, one of them linked: two go, the clipboard holds all three.
    EXPECT_TRUE(ops.Remove(0, 0, 2));
    EXPECT_EQ(host.Questions.size(), 1);
    EXPECT_TRUE(host.Questions[0].startsWith("The 3 selected entries will be deleted"));
    EXPECT_EQ(Keywords(), QStringList{"brb"});
    EXPECT_EQ(host.Errors, QStringList{"The entry with the keyword \"brb\"\nis marked READONLY "
                                       "and cannot be removed.."});
    EXPECT_EQ(EntryClipboard::Decode(*host.Clipboard).Items.size(), 3u);
    EXPECT_TRUE(session.Modified());
}

TEST_F(EntryOperations, RemoveAsksFirstAndCutsToTheClipboard) {
    host.Answer = false;
    EXPECT_FALSE(ops.Remove(Row("btw"), Row("btw"), Row("btw")));
    EXPECT_EQ(session.Dict().Count(), 3);
    EXPECT_FALSE(host.Clipboard);
    host.Answer = true;
    EXPECT_TRUE(ops.Remove(Row("btw"), Row("btw"), Row("btw")));
    EXPECT_TRUE(host.Questions.last().startsWith("The entry with the keyword \"btw\"\nwill be"));
    EXPECT_EQ(Keywords(), (QStringList{"addr", "brb"}));
    const auto d = EntryClipboard::Decode(*host.Clipboard);
    ASSERT_EQ(d.Items.size(), 1u);
    EXPECT_EQ(d.Items[0]->GetText(), "text of btw");
}

TEST_F(EntryOperations, PasteRenamesNumbersAndDropsTakenShortcuts) {
    EXPECT_FALSE(ops.Copy(-1, -1, -1)); // no current entry: clipboard untouched
    EXPECT_FALSE(host.Clipboard);
    ASSERT_TRUE(ops.Copy(Row("addr"), Row("addr"), Row("addr")));
    int last = -1;
    EXPECT_EQ(ops.Paste(&last), 1);
    EXPECT_EQ(ops.Paste(), 1);
    EXPECT_EQ(session.Dict().GetKeywordAt(last), "addr (1)");
    EXPECT_TRUE(Keywords().contains("addr (2)"));
    // The shortcut stays with the original.
    EXPECT_EQ(session.Dict().GetItem(Row("addr (1)"))->GetShortcut(), 0);
    EXPECT_EQ(session.Dict().GetItem(Row("addr"))->GetShortcut(), CtrlF5);
    // Pasting the copy numbered 2 gives 3, not "addr (2) (1)".
    ASSERT_TRUE(ops.Copy(Row("addr (2)"), Row("addr (2)"), Row("addr (2)")));
    ops.Paste();
    EXPECT_TRUE(Keywords().contains("addr (3)"));

    // A 32-character keyword keeps 28 characters; the hot key is no shortcut;
    // a read-only record arrives writable.
    auto item = std::make_unique<TDictionaryItem>();
    item->SetKeyword(QByteArray(32, 'k'));
    item->SetShortcut(HotKey);
    item->SetReadOnly(true);
    TDictionaryItem twin;
    twin.Assign(*item);
    host.Clipboard = EntryClipboard::Encode({item.get(), &twin});
    EXPECT_EQ(ops.Paste(), 2);
    const int k = Row(QByteArray(32, 'k'));
    const int k1 = Row(QByteArray(28, 'k') + " (1)");
    ASSERT_GE(k, 0);
    ASSERT_GE(k1, 0);
    EXPECT_EQ(session.Dict().GetItem(k)->GetShortcut(), 0);
    EXPECT_FALSE(session.Dict().GetItem(k)->GetReadOnly());
}

TEST_F(EntryOperations, PasteOfShortOrDamagedBlocks) {
    host.Clipboard = QByteArray(4, '\0');
    EXPECT_EQ(ops.Paste(), 0);
    EXPECT_TRUE(session.Modified()); // nothing added, yet marked
    EXPECT_TRUE(host.Errors.isEmpty());

    auto a = std::make_unique<TDictionaryItem>();
    a->SetKeyword("alpha");
    auto b = std::make_unique<TDictionaryItem>();
    b->SetKeyword("beta");
    const QByteArray block = EntryClipboard::Encode({a.get(), b.get()});
    host.Clipboard = block.left(block.size() - 7);
    EXPECT_EQ(ops.Paste(), 1);
    EXPECT_GE(Row("alpha"), 0);
    EXPECT_LT(Row("beta"), 0);
    ASSERT_EQ(host.Errors.size(), 1);
    EXPECT_TRUE(host.Errors[0].startsWith("Only 1 of the 2 entries"));

    host.Clipboard.reset();
    EXPECT_EQ(ops.Paste(), 0); // no entries on the clipboard
}

TEST_F(EntryOperations, DuplicateAsksForANewKeyword) {
    session.Dict().GetItem(Row("addr"))->SetLinked(2);
    QByteArray seen;
    host.Edits = {{[&](TDictionaryItem& item) { seen = item.GetText(); }},
                  Set("addr2", CtrlF6, "text of addr")};
    int row = -1;
    ASSERT_TRUE(ops.Duplicate(Row("addr"), &row));
    EXPECT_EQ(seen, "text of addr");
    EXPECT_EQ(host.Errors, QStringList{"The keyword \"addr\" is already in use."});
    EXPECT_EQ(session.Dict().GetKeywordAt(row), "addr2");
    EXPECT_EQ(session.Dict().GetItem(row)->GetLinked(), 0);
}

TEST_F(EntryOperations, CommandStates) {
    const int addr = Row("addr");
    auto s = ops.CommandState(addr, addr, addr, false);
    EXPECT_TRUE(s.Add && s.Modify && s.Remove && s.Copy && s.Duplicate);
    EXPECT_FALSE(s.Paste);
    s = ops.CommandState(-1, -1, -1, true);
    EXPECT_TRUE(s.Add && s.Paste);
    EXPECT_FALSE(s.Modify || s.Remove || s.Copy || s.Duplicate);
    s = ops.CommandState(0, 0, 2, true);
    EXPECT_TRUE(s.Remove && s.Copy);
    EXPECT_FALSE(s.Modify || s.Duplicate);
    session.Dict().GetItem(addr)->SetLinked(1);
    s = ops.CommandState(addr, addr, addr, false);
    EXPECT_TRUE(s.Modify); // it opens the viewer
    EXPECT_FALSE(s.Remove);
    host.Tab = false;
    s = ops.CommandState(addr, addr, addr, true);
    EXPECT_FALSE(s.Add || s.Paste || s.Duplicate);
}

TEST(EntryNumbering, SuffixReplacedNotStacked) {
    EXPECT_EQ(TEntryOperations::NumberedKeyword("addr", 1), "addr (1)");
    EXPECT_EQ(TEntryOperations::NumberedKeyword("addr (2)", 3), "addr (3)");
    EXPECT_EQ(TEntryOperations::NumberedKeyword("addr (12)", 13), "addr (13)");
    // Too little before the blank, no digits, no blank: the ending stays.
    EXPECT_EQ(TEntryOperations::NumberedKeyword("a (2)", 1), "a (2) (1)");
    EXPECT_EQ(TEntryOperations::NumberedKeyword("ab ()", 1), "ab () (1)");
    EXPECT_EQ(TEntryOperations::NumberedKeyword("ab(2)", 1), "ab(2) (1)");
    EXPECT_EQ(TEntryOperations::NumberedKeyword(QByteArray(32, 'x'), 10),
              QByteArray(27, 'x') + " (10)");
}
