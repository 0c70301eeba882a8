// bxdict import and export end to end: files in, dictionaries out, exit
// codes, and round trips through every format that can be read back.
#include "tests/tools/BxdictRunner.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
using bxtest::Bx;
using bxtest::Outcome;
using bxtest::Write;

QByteArray Read(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A dictionary whose texts try every corner of the formats.
QString Tricky(const QTemporaryDir& dir) {
    const QString path = dir.filePath("tricky.bxd");
    const QByteArray lines =
        R"({"keyword":"sig","description":"Signature, short","text":"Regards,\r\n\"Ann\"\r\n"})"
        "\n"
        R"({"keyword":"euro","description":"“quoted” €","text":"5 € – {not a tag} {{x}} a,b"})"
        "\n"
        R"({"keyword":"ask","text":"Dear {@INPUT(name) Name},\r\n{name}\r\n  indented\ttab "})"
        "\n"
        R"({"keyword":"pick","text":"{@INPUT(c) Colour @SINGLE\r\nred\r\nblue}"})"
        "\n"
        R"({"keyword":"e.g.","text":"for example: #1 - [x] 'q' % \\ end"})"
        "\n"
        R"({"keyword":"empty","text":""})"
        "\n";
    const Outcome made = Bx({"create", path}, lines);
    EXPECT_EQ(made.code, 0) << made.err.constData();
    return path;
}

} // namespace

TEST(BxdictImport, CreatesThenExtendsWithoutLosingEntries) {
    QTemporaryDir dir;
    const QString dict = dir.filePath("mine.bxd");
    const QString csv1 = Write(dir, "one.csv", "keyword,text,description\r\nhi,Hello,greeting\r\n");
    const Outcome first = Bx({"import", "--from", "csv", csv1, dict});
    ASSERT_EQ(first.code, 0) << first.err.constData();
    EXPECT_TRUE(first.out.contains("1 entries imported"));
    const Outcome second = Bx({"import", Write(dir, "two.csv", "bye,Goodbye\n"), "--from=x", dict});
    EXPECT_EQ(second.code, Bxdict::kFailed); // unknown option
    const Outcome third =
        Bx({"import", Write(dir, "two.csv", "bye,Goodbye\n"), dict, "--from", "CSV"});
    ASSERT_EQ(third.code, 0) << third.err.constData();
    const QByteArray dump = Bx({"dump", dict}).out;
    EXPECT_TRUE(
        dump.contains("\"keyword\":\"hi\",\"description\":\"greeting\",\"text\":\"Hello\""));
    EXPECT_TRUE(dump.contains("\"keyword\":\"bye\""));
    // The dictionary that was extended is kept as its backup.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("mine.~BX")));
}

TEST(BxdictImport, FaultsStopTheImportUnlessSkipped) {
    QTemporaryDir dir;
    const QString dict = dir.filePath("d.bxd");
    ASSERT_EQ(Bx({"import", "--from", "csv", Write(dir, "a.csv", "keep,me\n"), dict}).code, 0);
    const QByteArray before = Read(dict);
    const QString bad = Write(dir, "bad.csv", "Keep,again\nnew,one\n,blank\nsnow,\xE2\x98\x83\n");
    const Outcome refused = Bx({"import", "--from", "csv", bad, dict});
    EXPECT_EQ(refused.code, Bxdict::kRefused);
    EXPECT_TRUE(refused.err.contains("line 1: the keyword \"keep\" is already in the dictionary"));
    EXPECT_TRUE(refused.err.contains("line 3: The keyword is blank."));
    EXPECT_TRUE(refused.err.contains("line 4: \"text\" holds U+2603"));
    EXPECT_TRUE(refused.err.contains("nothing was written"));
    EXPECT_EQ(Read(dict), before);

    const Outcome skipped = Bx({"import", "--skip-bad", "--from", "csv", bad, dict});
    EXPECT_EQ(skipped.code, Bxdict::kSkipped) << skipped.err.constData();
    EXPECT_TRUE(skipped.err.contains("skipped: line 3"));
    const QByteArray dump = Bx({"dump", dict}).out;
    EXPECT_TRUE(dump.contains("\"keyword\":\"keep\",\"description\":\"\",\"text\":\"me\""));
    EXPECT_TRUE(dump.contains("\"keyword\":\"new\""));
}

TEST(BxdictImport, ADamagedOrForeignDictionaryIsNeverWritten) {
    QTemporaryDir dir;
    const QString dict = Tricky(dir);
    const QByteArray whole = Read(dict);
    const QString cut = Write(dir, "cut.bxd", whole.left(whole.size() - 5));
    const QString csv = Write(dir, "n.csv", "new,one\n");
    const Outcome damaged = Bx({"import", "--from", "csv", csv, cut});
    EXPECT_EQ(damaged.code, Bxdict::kDamaged);
    EXPECT_TRUE(damaged.err.contains("no entry is lost"));
    EXPECT_EQ(Read(cut), whole.left(whole.size() - 5));
    const QString foreign = Write(dir, "notes.bxd", "not a dictionary at all");
    EXPECT_EQ(Bx({"import", "--from", "csv", csv, foreign}).code, Bxdict::kBadHeader);
    EXPECT_EQ(Read(foreign), "not a dictionary at all");
    const Outcome missing = Bx({"import", "--from", "espanso", dir.filePath("none.yml"), dict});
    EXPECT_EQ(missing.code, Bxdict::kFailed);
    const Outcome wrong = Bx({"import", "--from", "espanso", csv, dict});
    EXPECT_EQ(wrong.code, Bxdict::kFailed);
    EXPECT_TRUE(wrong.err.contains("not an espanso match file"));
    EXPECT_EQ(Read(dict), whole);
}

TEST(BxdictImport, UsageAndFormatsAreChecked) {
    EXPECT_EQ(Bx({"import", "--from", "csv", "only-one"}).code, Bxdict::kFailed);
    const Outcome unknown = Bx({"import", "--from", "textexpander", "a", "b"});
    EXPECT_EQ(unknown.code, Bxdict::kFailed);
    EXPECT_TRUE(unknown.err.contains("espanso, autokey, beeftext, csv, jsonl"));
    EXPECT_EQ(Bx({"export", "--to", "autokey", "a", "b"}).code, Bxdict::kFailed);
    EXPECT_EQ(Bx({"export", "--skip-bad", "--to", "csv", "a", "b"}).code, Bxdict::kFailed);
    const QByteArray help = Bx({"--help"}).out;
    EXPECT_TRUE(help.contains("import --from FORMAT [--skip-bad] INPUT DICTIONARY"));
    EXPECT_TRUE(help.contains("export --to FORMAT DICTIONARY OUTPUT"));
}

TEST(BxdictExport, EveryFormatRoundTrips) {
    QTemporaryDir dir;
    const QString dict = Tricky(dir);
    const QByteArray original = Bx({"dump", dict}).out;
    for (const char* format : {"csv", "jsonl", "espanso"}) {
        const QString file = dir.filePath(QStringLiteral("out.") + format);
        const Outcome out = Bx({"export", "--to", format, dict, file});
        ASSERT_EQ(out.code, 0) << format << out.err.constData();
        const QString back = dir.filePath(QStringLiteral("back-%1.bxd").arg(format));
        const Outcome in = Bx({"import", "--from", format, file, back});
        ASSERT_EQ(in.code, 0) << format << in.err.constData();
        EXPECT_EQ(Bx({"dump", back}).out.toStdString(), original.toStdString()) << format;
    }
}

TEST(BxdictExport, ReportsWhatTheFormatCannotHold) {
    QTemporaryDir dir;
    const QString dict = dir.filePath("k.bxd");
    ASSERT_EQ(Bx({"create", dict}, R"({"keyword":"k","text":"{@KEY Tab}","shortcut":8275})").code,
              0);
    const Outcome csv = Bx({"export", "--to", "csv", dict, dir.filePath("k.csv")});
    EXPECT_EQ(csv.code, 0);
    EXPECT_TRUE(csv.err.contains("not carried over: entry \"k\": its shortcut key"));
    const Outcome yml = Bx({"export", "--to", "espanso", dict, dir.filePath("k.yml")});
    EXPECT_TRUE(yml.err.contains("the tag {@KEY Tab} has no espanso counterpart"));
    const Outcome jsonl = Bx({"export", "--to", "jsonl", dict, dir.filePath("k.jsonl")});
    EXPECT_TRUE(jsonl.err.isEmpty());
    EXPECT_EQ(Read(dir.filePath("k.jsonl")), Bx({"dump", dict}).out);
    // An output that cannot be written leaves nothing half-done behind.
    const Outcome blocked = Bx({"export", "--to", "csv", dict, dir.filePath("no/such/dir.csv")});
    EXPECT_EQ(blocked.code, Bxdict::kFailed);
}

TEST(BxdictImport, FoldersAndComboFilesFromTheFixtures) {
    QTemporaryDir dir;
    const QString dict = dir.filePath("moved.bxd");
    const QString autokey = QStringLiteral(FIXTURES "/autokey");
    const Outcome refused = Bx({"import", "--from", "autokey", autokey, dict});
    EXPECT_EQ(refused.code, Bxdict::kRefused);
    EXPECT_TRUE(refused.err.contains("Private/Cafe.txt: .Cafe.json is not valid JSON"));
    EXPECT_FALSE(QFileInfo::exists(dict));
    const Outcome skipped = Bx({"import", "--skip-bad", "--from", "autokey", autokey, dict});
    EXPECT_EQ(skipped.code, Bxdict::kSkipped);
    EXPECT_TRUE(skipped.out.contains("3 entries imported"));
    const Outcome combos =
        Bx({"import", "--from", "beeftext", QStringLiteral(FIXTURES "/beeftext.json"), dict});
    // "addr" came from AutoKey already.
    EXPECT_EQ(combos.code, Bxdict::kRefused);
    EXPECT_TRUE(combos.err.contains("combo 1 (\"addr\"): the keyword \"addr\" is already"));
    const QByteArray dump = Bx({"dump", dict}).out;
    EXPECT_TRUE(dump.contains("\"keyword\":\"tdy\",\"description\":\"Date\""));
    EXPECT_FALSE(dump.contains("\"keyword\":\"letter\""));
}

TEST(BxdictConvert, ADamagedFileIsNeverWrittenOverItself) {
    QTemporaryDir dir;
    const QByteArray whole = Read(Tricky(dir));
    const QString cut = Write(dir, "cut.bxd", whole.left(whole.size() - 5));
    const Outcome inPlace = Bx({"convert", cut, cut});
    EXPECT_EQ(inPlace.code, Bxdict::kDamaged);
    EXPECT_EQ(Read(cut), whole.left(whole.size() - 5));
    // Elsewhere, what could be read is written, and the damage still told.
    const Outcome elsewhere = Bx({"convert", cut, dir.filePath("saved.bxd")});
    EXPECT_EQ(elsewhere.code, Bxdict::kDamaged);
    EXPECT_TRUE(elsewhere.err.contains("reading stopped at byte offset"));
    EXPECT_EQ(Bx({"check", dir.filePath("saved.bxd")}).code, 0);
}
