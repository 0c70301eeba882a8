#include "dictionary/Dict.h"
#include "platform/Errors.h"
#include "tests/dictionary/Fixtures.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString kBadHeader =
    QStringLiteral("Unrecognized file header (you may need a newer version of Brevix)");

TLoadResult Load(TDictionaryList& list, QByteArray data, int mergeTag = 0,
                 TShortcutRegister* reg = nullptr, bool headerOnly = false) {
    QBuffer b(&data);
    b.open(QIODevice::ReadOnly);
    return list.LoadFromStream(b, mergeTag, headerOnly, reg);
}

QByteArray Save(const TDictionaryList& list) {
    QByteArray data;
    QBuffer b(&data);
    b.open(QIODevice::WriteOnly);
    list.SaveToStream(b);
    return data;
}

Fx::Entry E(const QByteArray& k, const QByteArray& t, const QByteArray& d = {}, uint16_t sc = 0,
            uint16_t flags = 0) {
    return Fx::Entry{k, d, t, sc, flags};
}

} // namespace

TEST(DictFormat, ChecksumIsCrc16Xmodem) {
    const QByteArray abc("abc"), digits("123456789");
    EXPECT_EQ(DictHeader::Crc16(reinterpret_cast<const uint8_t*>(abc.data()), 3), 0x9DD6);
    EXPECT_EQ(DictHeader::Crc16(reinterpret_cast<const uint8_t*>(digits.data()), 9), 0x31C3);
}

TEST(DictFormat, BareHeaderIsAnEmptyDictionary) {
    Fx::Header h;
    h.info = {"First", "Second", "Third"};
    h.name = "words.bxd";
    TDictionaryList list;
    const TLoadResult r = Load(list, Fx::Scrambled(h));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(r.complete);
    QByteArray a, b, c;
    list.GetInfoLines(a, b, c);
    EXPECT_EQ(QByteArrayList({a, b, c}), h.info);
    EXPECT_EQ(list.GetStoredFileName(), QByteArray("words.bxd"));
}

TEST(DictFormat, Version7RecordsLoadFirstDuplicateWinsAndKeywordsAreNormalised) {
    Fx::Header h;
    h.flags = 1; // the file's read-only bit goes to each entry
    const QByteArray data = Fx::Scrambled(h) + Fx::Record7(E("zz", "last", "", 0x2041, 0x8000)) +
                            Fx::Record7(E("  HeLLo ", "first\r\ntext", "Greeting")) +
                            Fx::Record7(E("hello", "second")) + Fx::Record7(E("empty", ""));
    TDictionaryList list;
    const TLoadResult r = Load(list, data);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.recordsRead, 4);
    EXPECT_EQ(r.duplicates, 1);
    ASSERT_EQ(list.Count(), 3);
    const TDictionaryItem& hello = *list.GetItem(list.IndexOfKeyword("hello"));
    EXPECT_EQ(hello.GetText(), QByteArray("first\r\ntext"));
    EXPECT_EQ(hello.GetDescription(), QByteArray("Greeting"));
    const TDictionaryItem& zz = *list.GetItem(2);
    EXPECT_EQ(zz.GetKeyword(), QByteArray("zz"));
    EXPECT_EQ(zz.GetShortcut(), 0x2041);
    EXPECT_EQ(zz.GetFlags(), 0x8001);
    EXPECT_TRUE(list.GetItem(0)->GetText().isEmpty());
}

TEST(DictFormat, DamagedLastRecordEndsLoadingQuietly) {
    const QByteArray good =
        Fx::Scrambled({}) + Fx::Record7(E("one", "1")) + Fx::Record7(E("two", "2"));
    const QByteArray last = Fx::Record7(E("three", "3333"));
    for (int cut = 1; cut < last.size(); ++cut) {
        TDictionaryList list;
        const TLoadResult r = Load(list, good + last.left(cut));
        EXPECT_EQ(list.Count(), 2) << cut;
        EXPECT_FALSE(r.complete);
        EXPECT_EQ(r.stopOffset, good.size());
    }
}

TEST(DictFormat, NonPositiveTextLengthIsAnEmptyTextWithNothingFollowing) {
    const QByteArray rec = Fx::Le16(0) + Fx::Le16(0) + char(1) + "a" + char(0) + Fx::Le32(-5);
    TDictionaryList list;
    Load(list, Fx::Scrambled({}) + rec + Fx::Record7(E("b", "bee")));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.GetItem(0)->GetText().isEmpty());
    EXPECT_EQ(list.GetItem(1)->GetText(), QByteArray("bee"));
}

// Fields are read in blocks that several entries share: each must stay its
// own, whole and NUL-terminated, through changes and after the list is gone.
TEST(DictFormat, FieldsReadTogetherStayApartWholeAndOwned) {
    QByteArray data = Fx::Scrambled({});
    std::vector<QByteArray> texts;
    for (int i = 0; i < 3000; ++i) { // sizes that cross the read-ahead blocks
        texts.push_back(QByteArray(1 + (i * 7919) % 700, char('a' + i % 26)));
        data += Fx::Record7(E(QByteArray::number(100000 + i), texts.back(),
                              i % 3 ? "about " + QByteArray::number(i) : QByteArray()));
    }
    QByteArray odd = Fx::Record7(E("zz-1", "no nul after me"));
    odd.back() = 'X'; // a damaged terminator must not run into the next text
    data += odd + Fx::Record7(E("zz-2", "next"));

    auto* list = new TDictionaryList;
    Load(*list, data);
    ASSERT_EQ(list->Count(), 3002);
    auto terminated = [](const QByteArray& a) { return a.constData()[a.size()] == '\0'; };
    for (int i = 0; i < 3000; ++i) {
        const TDictionaryItem& e = *list->GetItem(i);
        ASSERT_EQ(e.GetText(), texts[static_cast<size_t>(i)]) << i;
        ASSERT_EQ(e.GetKeyword(), QByteArray::number(100000 + i));
        ASSERT_EQ(e.GetDescription(), i % 3 ? "about " + QByteArray::number(i) : QByteArray());
        ASSERT_TRUE(terminated(e.GetKeyword()) && terminated(e.GetDescription())) << i;
    }
    TDictionaryItem* oddItem = list->GetItem(3000);
    EXPECT_EQ(oddItem->GetText(), QByteArray("no nul after me"));
    EXPECT_EQ(oddItem->GetText().constData()[oddItem->GetText().size()], '\0');
    EXPECT_EQ(qstrlen(list->GetItem(2999)->GetText().constData()), texts.back().size());

    QByteArray kept = list->GetItem(0)->GetText();
    QByteArray changed = list->GetItem(1)->GetText();
    changed.append("+tail");
    changed[0] = '!';
    EXPECT_EQ(list->GetItem(1)->GetText(), texts[1]);
    EXPECT_EQ(list->GetItem(2)->GetText(), texts[2]);
    list->GetItem(2)->SetText("replaced");
    EXPECT_EQ(list->GetItem(3)->GetText(), texts[3]);

    delete list;
    EXPECT_EQ(kept, texts[0]);
    kept.append("more"); // now alone with its block
    EXPECT_EQ(kept, texts[0] + "more");
    EXPECT_EQ(changed, "!" + texts[1].mid(1) + "+tail");
}

TEST(DictFormat, HugeTextLengthStopsWithoutAllocating) {
    const QByteArray rec =
        Fx::Le16(0) + Fx::Le16(0) + char(1) + "a" + char(0) + Fx::Le32(0x7FFFFFFF) + "xy";
    TDictionaryList list;
    const TLoadResult r = Load(list, Fx::Scrambled({}) + Fx::Record7(E("ok", "1")) + rec);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(r.complete);
}

TEST(DictFormat, RefusedHeaders) {
    QByteArray badSum = Fx::Scrambled({});
    badSum[100] = char(badSum[100] ^ 0x10);
    Fx::Header v8;
    v8.version = 8;
    QByteArray wrongSize = Fx::Plain({});
    wrongSize.replace(0, 2, Fx::Le16(208));
    Fx::Header v5;
    v5.version = 5;
    QByteArray v5AsV7 = Fx::Plain(v5);
    v5AsV7.replace(2, 2, Fx::Le16(7));
    const QByteArray cases[] = {badSum,
                                Fx::Scrambled(v8),
                                Fx::Scrambled({}).left(5),
                                QByteArray(),
                                Fx::Scrambled({}).left(211),
                                Fx::Scramble(wrongSize),
                                Fx::Scramble(v5AsV7) + QByteArray(4, '\0')};
    int i = 0;
    for (const QByteArray& data : cases) {
        TDictionaryList list;
        list.SetInfoLines("stale", "", "");
        auto* stale = new TDictionaryItem;
        stale->SetKeyword("stale");
        list.Add(stale);
        try {
            Load(list, data + Fx::Record7(E("k", "t")));
            ADD_FAILURE() << "case " << i << " accepted";
        } catch (const EBrevix& e) {
            EXPECT_EQ(e.Message(), kBadHeader) << i;
        }
        EXPECT_EQ(list.Count(), 0) << i;
        ++i;
    }
}

TEST(DictFormat, Version5IsConvertedAndSavedAsVersion7) {
    Fx::Header h;
    h.version = 5;
    h.flags = 0x0102;
    h.reserved8 = 9;
    h.info = {"Info one", "Info two", "Info three"};
    h.reservedA = "carried";
    h.reservedB = "dropped";
    h.name = "old.bxd";
    const QByteArray data = Fx::Scrambled(h) + Fx::RecordOld(5, E("Kw", "text5", "D5", 7, 0x10)) +
                            Fx::RecordOld(5, E("a", ""));
    TDictionaryList list;
    ASSERT_TRUE(Load(list, data).complete);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItem(1)->GetKeyword(), QByteArray("kw"));
    EXPECT_EQ(list.GetItem(1)->GetText(), QByteArray("text5"));
    EXPECT_EQ(list.GetItem(1)->GetDescription(), QByteArray("D5"));
    EXPECT_EQ(list.GetItem(1)->GetShortcut(), 7);

    Fx::Header expected;
    expected.flags = 0x0102;
    expected.reserved8 = 9;
    expected.info = h.info;
    expected.reservedA = "carried";
    expected.name = "old.bxd";
    const QByteArray saved = Save(list);
    EXPECT_EQ(saved.left(212).toHex(), Fx::Scrambled(expected).toHex());
    EXPECT_EQ(saved.mid(212),
              Fx::Record7(E("a", "")) + Fx::Record7(E("kw", "text5", "D5", 7, 0x10)));
}

TEST(DictFormat, Version6RecordsAndAnUnknownRecordVersionEndsTheList) {
    Fx::Header h;
    h.version = 6;
    const QByteArray longKeyword(32, 'k');
    QByteArray bogus = Fx::RecordOld(6, E("bogus", "x"));
    bogus.replace(2, 2, Fx::Le16(9));
    const QByteArray data = Fx::Scrambled(h) + Fx::RecordOld(6, E(longKeyword, "six")) +
                            Fx::RecordOld(5, E("five", "5")) + bogus +
                            Fx::RecordOld(6, E("after", "never"));
    TDictionaryList list;
    const TLoadResult r = Load(list, data);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(r.complete);
    EXPECT_GE(list.IndexOfKeyword(longKeyword), 0);
    EXPECT_EQ(list.IndexOfKeyword("after"), -1);
    EXPECT_EQ(list.Header.Version(), 7);
}

TEST(DictFormat, ReservedFieldsAreCarriedAndEmptyTextIsWrittenAsOneNul) {
    Fx::Header h;
    h.reserved10 = 0xBEEF;
    h.reserved12 = 0x1234;
    h.reservedA = "alpha";
    h.reservedB = "omega";
    h.flags = 0x8000;
    const QByteArray data = Fx::Scrambled(h) + Fx::Record7(E("e", ""));
    TDictionaryList list;
    Load(list, data);
    EXPECT_EQ(Save(list), data);
    EXPECT_TRUE(Save(list).endsWith(Fx::Le32(1) + QByteArray(1, '\0')));
}

TEST(DictFormat, MergeKeepsHeaderTagsEntriesAndClearsCollidingShortcuts) {
    TDictionaryList list;
    Fx::Header own;
    own.info = {"Own", "", ""};
    Load(list, Fx::Scrambled(own) + Fx::Record7(E("mine", "m", "", 100)));
    TShortcutRegister reg{QStringLiteral("100")};
    Fx::Header other;
    other.info = {"Other", "", ""};
    other.flags = 1;
    const TLoadResult r =
        Load(list,
             Fx::Scrambled(other) + Fx::Record7(E("mine", "dup", "", 5)) +
                 Fx::Record7(E("theirs", "t", "", 100)) + Fx::Record7(E("more", "t", "", 200)),
             3, &reg);
    EXPECT_EQ(r.duplicates, 1);
    ASSERT_EQ(list.Count(), 3);
    QByteArray a, b, c;
    list.GetInfoLines(a, b, c);
    EXPECT_EQ(a, QByteArray("Own"));
    const TDictionaryItem& theirs = *list.GetItem(list.IndexOfKeyword("theirs"));
    EXPECT_EQ(theirs.GetLinked(), 3);
    EXPECT_EQ(theirs.GetShortcut(), 0);
    EXPECT_FALSE(theirs.GetReadOnly()); // the list's header decides, not the merged file's
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("more"))->GetShortcut(), 200);
    EXPECT_TRUE(reg.contains("200"));
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("mine"))->GetText(), QByteArray("m"));

    // Only own entries are saved.
    TDictionaryList reread;
    Load(reread, Save(list));
    EXPECT_EQ(reread.Count(), 1);
}

TEST(DictFormat, HeaderOnlyStopsAfterTheHeader) {
    Fx::Header h;
    h.name = "only.bxd";
    TDictionaryList list;
    Load(list, Fx::Scrambled(h) + Fx::Record7(E("a", "b")), 0, nullptr, true);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.GetStoredFileName(), QByteArray("only.bxd"));
}

TEST(DictFormat, UnsortedInputEndsUpSortedLikeOneByOneAdds) {
    QByteArray data = Fx::Scrambled({});
    TDictionaryList oneByOne;
    uint32_t seed = 12345;
    for (int i = 0; i < 500; ++i) {
        seed = seed * 1103515245u + 12345u;
        const QByteArray k = QByteArray::number((seed >> 8) % 300, 36) + (i % 3 ? "" : "-X");
        data += Fx::Record7(E(k, QByteArray::number(i)));
        auto* e = new TDictionaryItem;
        e->SetKeyword(k);
        e->SetText(QByteArray::number(i));
        if (oneByOne.Add(e) < 0) delete e;
    }
    TDictionaryList loaded;
    Load(loaded, data);
    ASSERT_EQ(loaded.Count(), oneByOne.Count());
    for (int i = 0; i < loaded.Count(); ++i) {
        EXPECT_EQ(loaded.GetKeywordAt(i), oneByOne.GetKeywordAt(i));
        EXPECT_EQ(loaded.GetItem(i)->GetText(), oneByOne.GetItem(i)->GetText());
    }
    EXPECT_EQ(loaded.TotalChars(), oneByOne.TotalChars());
}

TEST(DictFormat, OverlongFieldsAreRefusedBeforeAnythingIsWritten) {
    for (const bool inDescription : {false, true}) {
        TDictionaryList list;
        auto* e = new TDictionaryItem;
        e->SetKeyword(inDescription ? QByteArray("k") : QByteArray(256, 'k'));
        e->SetDescription(inDescription ? QByteArray(256, 'd') : QByteArray());
        list.Add(e);
        QByteArray data;
        QBuffer b(&data);
        b.open(QIODevice::WriteOnly);
        try {
            list.SaveToStream(b);
            ADD_FAILURE() << "saved";
        } catch (const EBrevix& ex) {
            EXPECT_TRUE(ex.Message().contains("longer than 255 characters")) << ex.what();
        }
        EXPECT_TRUE(data.isEmpty());
    }
}
