#include "tests/dictionary/Fixtures.h"
#include "tests/tools/BxdictRunner.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
using bxtest::Bx;
using bxtest::Outcome;
using bxtest::Write;

} // namespace

TEST(Bxdict, DumpAndInfoConvertFromWindows1252) {
    QTemporaryDir dir;
    Fx::Header h;
    h.version = 5;
    h.flags = 2;
    h.info = {"Caf\xE9", "two", ""};
    h.name = "old.bxd";
    const QString path = Write(
        dir, "old.bxd",
        Fx::Scrambled(h) + Fx::RecordOld(5, {"Caf\xE9", "\x93q\x94", "a\r\n\"b\"\t\\", 8304, 1}) +
            Fx::RecordOld(5, {"b", "", "x\x01", 0, 0}));
    const Outcome dump = Bx({"dump", path});
    EXPECT_EQ(dump.code, 0) << dump.err.constData();
    EXPECT_EQ(dump.out.toStdString(),
              std::string("{\"keyword\":\"b\",\"description\":\"\",\"text\":\"x\\u0001\","
                          "\"shortcut\":0,\"flags\":0}\n"
                          "{\"keyword\":\"café\",\"description\":\"“q”\",\"text\":"
                          "\"a\\r\\n\\\"b\\\"\\t\\\\\",\"shortcut\":8304,\"flags\":1}\n"));
    const Outcome info = Bx({"info", path});
    EXPECT_EQ(info.out.toStdString(),
              std::string("{\"version\":7,\"flags\":2,\"info\":[\"Café\",\"two\",\"\"],"
                          "\"name\":\"old.bxd\",\"entries\":2}\n"));
}

TEST(Bxdict, NewRoundTripsThroughDump) {
    QTemporaryDir dir;
    const QString path = dir.filePath("made.bxd");
    const QByteArray lines =
        "{\"keyword\":\"Sig\",\"text\":\"Regards,\\r\\nAnn\",\"shortcut\":8275}\n"
        "\n"
        "{\"keyword\":\"àb\",\"description\":\"accent\",\"text\":\"€5\",\"flags\":32768}\n";
    const Outcome made = Bx({"create", path, "--info", "Made by test"}, lines);
    ASSERT_EQ(made.code, 0) << made.err.constData();
    const Outcome dump = Bx({"dump", path});
    EXPECT_EQ(
        dump.out.toStdString(),
        std::string("{\"keyword\":\"àb\",\"description\":\"accent\",\"text\":\"€5\","
                    "\"shortcut\":0,\"flags\":32768}\n"
                    "{\"keyword\":\"sig\",\"description\":\"\",\"text\":\"Regards,\\r\\nAnn\","
                    "\"shortcut\":8275,\"flags\":0}\n"));
    EXPECT_TRUE(Bx({"info", path})
                    .out.contains("\"info\":[\"Made by test\",\"\",\"\"],\"name\":\"made.bxd\""));
    EXPECT_EQ(Bx({"check", path}).code, 0);
}

TEST(Bxdict, NewRefusesBadLinesByNumberAndWritesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.bxd");
    const QByteArray lines = "{\"keyword\":\"ok\",\"text\":\"fine\"}\n"
                             "{\"keyword\":\"snow\",\"text\":\"☃\"}\n"
                             "{\"keyword\":\" OK \",\"text\":\"again\"}\n"
                             "{\"keyword\":\"x\"}\n"
                             "not json\n"
                             "{\"keyword\":\"y\",\"text\":\"t\",\"shortcut\":70000}\n";
    const Outcome r = Bx({"new", path}, lines);
    EXPECT_EQ(r.code, Bxdict::kFailed);
    for (const char* part :
         {"line 2: \"text\" holds U+2603", "line 3: duplicate keyword \"ok\" (first on line 1)",
          "line 4: \"text\" is missing", "line 5: not valid JSON", "line 6: \"shortcut\""})
        EXPECT_TRUE(r.err.contains(part)) << part << "\n" << r.err.constData();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Bxdict, RefusedHeaderExitsOneForEveryCommand) {
    QTemporaryDir dir;
    const QString path = Write(dir, "tiny.bxd", "12345");
    for (const QStringList& args :
         {QStringList{"dump", path}, QStringList{"info", path}, QStringList{"check", path},
          QStringList{"convert", path, dir.filePath("o.bxd")}}) {
        const Outcome r = Bx(args);
        EXPECT_EQ(r.code, Bxdict::kBadHeader) << args[0].toStdString();
        EXPECT_TRUE(
            r.err.contains("Unrecognized file header (you may need a newer version of Brevix)"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("o.bxd")));
}

TEST(Bxdict, CheckNamesTheOffsetWhereReadingStopped) {
    QTemporaryDir dir;
    const QByteArray good = Fx::Scrambled({}) + Fx::Record7({"a", "", "1"});
    const QString path = Write(dir, "cut.bxd", good + Fx::Record7({"b", "", "22"}).left(7));
    const Outcome r = Bx({"check", path});
    EXPECT_EQ(r.code, Bxdict::kDamaged);
    EXPECT_TRUE(r.err.contains(QByteArray("byte offset ") + QByteArray::number(good.size())))
        << r.err.constData();
    EXPECT_EQ(Bx({"check", Write(dir, "good.bxd", good)}).code, 0);
}

TEST(Bxdict, ConvertWritesVersion7) {
    QTemporaryDir dir;
    Fx::Header h;
    h.version = 6;
    const QString in = Write(dir, "six.bxd", Fx::Scrambled(h) + Fx::RecordOld(6, {"k", "d", "t"}));
    const QString out = dir.filePath("seven.bxd");
    ASSERT_EQ(Bx({"convert", in, out}).code, 0);
    QFile f(out);
    f.open(QIODevice::ReadOnly);
    const QByteArray data = f.readAll();
    Fx::Header expected;
    expected.name = "seven.bxd";
    EXPECT_EQ(data, Fx::Scrambled(expected) + Fx::Record7({"k", "d", "t"}));
}
