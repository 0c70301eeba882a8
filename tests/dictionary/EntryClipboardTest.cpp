// The entry block: what another running copy of the program reads back, and
// what it keeps of a block that is damaged, cut short or lies about its size.
#include "dictionary/EntryClipboard.h"
#include "dictionary/DictItem.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {
std::unique_ptr<TDictionaryItem> Entry(const char* keyword, const QByteArray& text,
                                       uint16_t shortcut = 0) {
    auto item = std::make_unique<TDictionaryItem>();
    item->SetKeyword(keyword);
    item->SetText(text);
    item->SetDescription(QByteArray("about ") + keyword);
    item->SetShortcut(shortcut);
    return item;
}

QByteArray Int32(qint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

std::unique_ptr<TDictionaryItem> First() {
    return Entry("addr", "12 Harbour Street\r\nPort", 0x4074);
}

QByteArray TwoEntries() {
    auto b = Entry("sig", QByteArray("caf\xe9", 4));
    return EntryClipboard::Encode({First().get(), b.get()});
}
} // namespace

TEST(EntryClipboard, RoundTripKeepsEveryField) {
    const QByteArray block = TwoEntries();
    // Count, two records, end mark.
    EXPECT_EQ(block.left(4), Int32(2));
    EXPECT_EQ(block.right(4), Int32(0));
    const auto d = EntryClipboard::Decode(block);
    ASSERT_EQ(d.Items.size(), 2u);
    EXPECT_TRUE(d.Problem.isEmpty());
    EXPECT_EQ(d.Items[0]->GetKeyword(), "addr");
    EXPECT_EQ(d.Items[0]->GetText(), "12 Harbour Street\r\nPort");
    EXPECT_EQ(d.Items[0]->GetDescription(), "about addr");
    EXPECT_EQ(d.Items[0]->GetShortcut(), 0x4074);
    EXPECT_EQ(d.Items[1]->GetText(), QByteArray("caf\xe9", 4));
}

TEST(EntryClipboard, ShortAndEmptyBlocksAddNothing) {
    for (const QByteArray& block : {QByteArray(), QByteArray("\x05", 1), Int32(3)}) {
        const auto d = EntryClipboard::Decode(block);
        EXPECT_TRUE(d.Items.empty());
        EXPECT_EQ(d.Declared, 0);
    }
}

TEST(EntryClipboard, DamagedBlocksKeepTheRecordsReadSoFar) {
    const QByteArray good = TwoEntries();
    const QByteArray one = EntryClipboard::Encode({First().get()});
    const qsizetype firstRecord = one.size() - 8;
    const qsizetype firstText = First()->GetText().size() + 1;
    struct {
        const char* what;
        QByteArray block;
        size_t kept;
        bool problem;
    } cases[] = {
        {"cut inside the second record", good.left(4 + firstRecord + 7), 1, true},
        {"cut inside the first record", good.left(10), 0, true},
        {"end mark missing", good.left(good.size() - 4), 2, false},
        {"count larger than the records", Int32(1000000000) + good.mid(4), 2, true},
        {"negative count", Int32(-5) + good.mid(4), 0, false},
        {"text length past the block",
         Int32(1) + one.mid(4, firstRecord - firstText - 4) + "\xff\xff\xff\x7f" + "abc", 0, true},
    };
    for (const auto& c : cases) {
        const auto d = EntryClipboard::Decode(c.block);
        EXPECT_EQ(d.Items.size(), c.kept) << c.what;
        EXPECT_EQ(!d.Problem.isEmpty(), c.problem) << c.what;
        if (c.kept > 0) {
            EXPECT_EQ(d.Items[0]->GetKeyword(), "addr") << c.what;
        }
    }
}

TEST(EntryClipboard, AnEntryTheFormatCannotHoldOffersNothing) {
    auto ok = Entry("ok", "x");
    auto tooLong = Entry("long", "x");
    tooLong->SetDescription(QByteArray(300, 'd'));
    QString problem;
    EXPECT_TRUE(EntryClipboard::Encode({ok.get(), tooLong.get()}, &problem).isEmpty());
    EXPECT_FALSE(problem.isEmpty());
}
