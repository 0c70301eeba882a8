// Linked dictionaries merged into the open one: who wins a keyword or a
// shortcut, which file each merged entry came from, links that fail, and
// that nothing linked is ever written back.
#include "dictionary/DictLinks.h"
#include "dictionary/DictFile.h"
#include "dictionary/DictionarySession.h"
#include "dictionary/EntryRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct TSpec {
    const char* keyword;
    uint16_t shortcut = 0;
    const char* text = "text";
};

class DictLinks : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString P(const QString& name) const { return dir.filePath(name); }

    QString Make(const QString& name, std::initializer_list<TSpec> entries) {
        TDictionaryList list;
        for (const TSpec& e : entries) {
            auto* item = new TDictionaryItem;
            item->SetKeyword(e.keyword);
            item->SetShortcut(e.shortcut);
            item->SetText(QByteArray(e.text) + " from " + name.toLatin1());
            if (list.Add(item) < 0) delete item;
        }
        DictFile::Save(P(name), list);
        return P(name);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static const TDictionaryItem& Entry(const TDictionaryList& list, const char* keyword) {
        const int i = list.IndexOfKeyword(keyword);
        EXPECT_GE(i, 0) << keyword;
        static TDictionaryItem none;
        return i < 0 ? none : *list.GetItem(i);
    }
};

TEST_F(DictLinks, OpenDictionaryWinsThenLinksInListOrder) {
    const QString own = Make("own.bxd", {{"a"}, {"b", 0x2041}});
    const QString first = Make("first.bxd", {{"b"}, {"c", 0x2041}, {"d", 0x2042}});
    const QString second = Make("second.bxd", {{"c"}, {"d"}, {"e", 0x2042}, {"f", 0x2043}});
    TDictionarySession session;
    TLinkMerge merge;
    merge.Links = {first, second};
    session.Open(own, false, nullptr, &merge);
    const TDictionaryList& dict = session.Dict();

    ASSERT_EQ(dict.Count(), 6);
    EXPECT_EQ(merge.Merged, 4);
    EXPECT_EQ(merge.Duplicates, 3);
    // The open file's own entry, untouched, is the one found.
    EXPECT_EQ(Entry(dict, "b").GetText(), "text from own.bxd");
    EXPECT_EQ(Entry(dict, "b").GetLinked(), 0);
    EXPECT_EQ(Entry(dict, "b").GetShortcut(), 0x2041);
    // The earlier link wins a keyword both links have.
    EXPECT_EQ(Entry(dict, "c").GetText(), "text from first.bxd");
    EXPECT_EQ(Entry(dict, "d").GetText(), "text from first.bxd");
    // Tags are positions in the link list, and lead back to the file.
    EXPECT_EQ(Entry(dict, "c").GetLinked(), 1);
    EXPECT_EQ(Entry(dict, "e").GetLinked(), 2);
    EXPECT_EQ(session.LinkedSource(Entry(dict, "e")), second);
    EXPECT_EQ(session.LinkedSource(Entry(dict, "a")), QString());
    // A taken shortcut is lost by the later entry: own over linked, earlier link over later.
    EXPECT_EQ(Entry(dict, "c").GetShortcut(), 0);
    EXPECT_EQ(Entry(dict, "d").GetShortcut(), 0x2042);
    EXPECT_EQ(Entry(dict, "e").GetShortcut(), 0);
    EXPECT_EQ(Entry(dict, "f").GetShortcut(), 0x2043);
    // Linked entries are read-only everywhere the entry rules are asked.
    EXPECT_TRUE(CanRemove(session, &Entry(dict, "a")));
    EXPECT_FALSE(CanRemove(session, &Entry(dict, "e")));
}

TEST_F(DictLinks, SelfLinksAndRepeatsAreSkipped) {
    const QString own = Make("own.bxd", {{"a"}});
    const QString link = Make("link.bxd", {{"x"}});
    QDir(dir.path()).mkdir("sub");
    TDictionarySession session;
    TLinkMerge merge;
    merge.Links = {P("sub/../own.bxd"), link, P("sub/../link.bxd"), QString()};
    session.Open(own, false, nullptr, &merge);
    EXPECT_EQ(session.Dict().Count(), 2);
    EXPECT_EQ(merge.Skipped, (QStringList{P("sub/../own.bxd"), P("sub/../link.bxd"), QString()}));
    EXPECT_EQ(Entry(session.Dict(), "x").GetLinked(), 2);
}

TEST_F(DictLinks, FailingLinksAreToldOnceWithTheReasonAndMayBeRemoved) {
    const QString own = Make("own.bxd", {{"a"}});
    const QString good = Make("good.bxd", {{"g"}});
    const QString broken = P("broken.bxd");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a dictionary at all");
    f.close();
    const QString missing = P("missing.bxd");

    QStringList told;
    TDictionarySession session;
    TLinkMerge merge;
    merge.Links = {missing, broken, good, broken};
    merge.Failed = [&](const QString& path, const QString& reason) {
        told << path + " | " + reason;
        return path == missing; // remove the missing one, keep the broken one
    };
    session.Open(own, false, nullptr, &merge);

    ASSERT_EQ(told.size(), 2); // the repeated broken link is not asked again
    EXPECT_TRUE(told[0].startsWith(missing + " | ")) << told[0].toStdString();
    EXPECT_GT(told[0].size(), missing.size() + 3);
    EXPECT_TRUE(told[1].contains("Unrecognized file header")) << told[1].toStdString();
    EXPECT_EQ(merge.Removed, QStringList{missing});
    EXPECT_EQ(merge.Links, (QStringList{broken, good, broken}));
    EXPECT_EQ(session.LinkedFiles(), merge.Links);
    // The link after the removed one took its place, and its tag says so.
    EXPECT_EQ(Entry(session.Dict(), "g").GetLinked(), 2);
    EXPECT_EQ(session.LinkedSource(Entry(session.Dict(), "g")), good);
    EXPECT_EQ(session.FileName(), own);
}

// A link to a named pipe or a folder must not make the load wait.
TEST_F(DictLinks, PipesAndFoldersAreRefusedWithoutWaiting) {
    const QString own = Make("own.bxd", {{"a"}});
    ASSERT_EQ(mkfifo(P("pipe.bxd").toLocal8Bit().constData(), 0600), 0);
    QDir(dir.path()).mkdir("folder.bxd");
    TDictionarySession session;
    TLinkMerge merge;
    merge.Links = {P("pipe.bxd"), P("folder.bxd"), Make("good.bxd", {{"g"}})};
    int failures = 0;
    merge.Failed = [&](const QString&, const QString&) {
        ++failures;
        return false;
    };
    session.Open(own, false, nullptr, &merge);
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(Entry(session.Dict(), "g").GetLinked(), 3);
}

TEST_F(DictLinks, DamagedLinkGivesWhatCameBeforeTheDamage) {
    const QString own = Make("own.bxd", {{"a"}});
    const QString link = Make("link.bxd", {{"x1"}, {"x2"}, {"x3"}});
    QByteArray bytes = Read(link);
    bytes.chop(3); // the last record cut short
    QFile f(link);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    TDictionarySession session;
    TLinkMerge merge;
    merge.Links = {link};
    bool asked = false;
    merge.Failed = [&](const QString&, const QString&) { return asked = true; };
    session.Open(own, false, nullptr, &merge);
    EXPECT_FALSE(asked);
    EXPECT_EQ(session.Dict().Count(), 3);
    ASSERT_EQ(merge.Damaged.size(), 1);
    EXPECT_TRUE(merge.Damaged[0].startsWith(link));
}

TEST_F(DictLinks, SavingWithLinksWritesTheOwnEntriesByteForByte) {
    const QString own = Make("own.bxd", {{"a", 0x2041}, {"b"}, {"shared"}});
    const QString link = Make("link.bxd", {{"shared"}, {"x", 0x2041}, {"y"}});
    TDictionarySession plain;
    plain.Open(own, false);
    plain.Save(own, false);
    const QByteArray alone = Read(own);

    TDictionarySession linked;
    TLinkMerge merge;
    merge.Links = {link};
    linked.Open(own, false, nullptr, &merge);
    ASSERT_EQ(linked.Dict().Count(), 5);
    linked.Save(own, false);
    EXPECT_EQ(Read(own), alone);
    linked.Save(P("copy.bxd"), false);
    TDictionarySession copy;
    copy.Open(P("copy.bxd"), false);
    EXPECT_EQ(copy.Dict().Count(), 3);
    EXPECT_EQ(copy.Dict().IndexOfKeyword("x"), -1);
    // The linked file itself is never written.
    EXPECT_EQ(QFileInfo(link).size(), Read(link).size());
}

TEST_F(DictLinks, ReopeningReadsAChangedLinkedFileAgain) {
    const QString own = Make("own.bxd", {{"a"}});
    const QString link = Make("link.bxd", {{"x"}});
    TDictionarySession session;
    TLinkMerge merge;
    merge.Links = {link};
    session.Open(own, false, nullptr, &merge);
    EXPECT_EQ(session.Dict().Count(), 2);
    Make("link.bxd", {{"x"}, {"new"}});
    TLinkMerge again;
    again.Links = {link};
    session.Open(own, false, nullptr, &again);
    EXPECT_GE(session.Dict().IndexOfKeyword("new"), 0);
}

TEST_F(DictLinks, NoLinkPastTheLastTagIsMerged) {
    const QString own = Make("own.bxd", {{"a"}});
    TLinkMerge merge;
    for (int i = 0; i < kMaxDictionaryLinks; ++i)
        merge.Links << P(QStringLiteral("missing%1.bxd").arg(i));
    const QString last = Make("last.bxd", {{"z"}});
    merge.Links << last;
    int failures = 0;
    merge.Failed = [&](const QString&, const QString&) {
        ++failures;
        return false;
    };
    TDictionarySession session;
    session.Open(own, false, nullptr, &merge);
    EXPECT_EQ(failures, kMaxDictionaryLinks);
    // Its tag would read as 0, an own entry, and be saved into the open file.
    EXPECT_EQ(session.Dict().IndexOfKeyword("z"), -1);
    EXPECT_EQ(merge.Skipped, QStringList{last});
}

} // namespace
