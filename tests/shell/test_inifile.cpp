#include "platform/IniFile.h"
#include "tests/shell/IniFileFixture.h"

namespace {
struct IniFileTest : TIniFileFixture {
    static QString S(const char* s) { return QString::fromLatin1(s); }
};
} // namespace

// Files written by hand or by other programs repeat keys and sections: the
// first occurrence of a key wins, a repeated section continues the first one,
// and a write replaces the surviving value without bringing the others back.
TEST_F(IniFileTest, DuplicateKeysAndSections) {
    WriteFile("[A]\r\nKey=first\r\nKEY=second\r\nOther=1\r\n[B]\r\nKey=b\r\n"
              "[a]\r\nkey=third\r\nLate=late\r\nOther=2\r\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString(S("a"), S("key"), QString()), S("first"));
    EXPECT_EQ(ini.ReadInteger(S("A"), S("Other"), 0), 1);
    EXPECT_EQ(ini.ReadString(S("A"), S("Late"), QString()), S("late"));
    EXPECT_EQ(ini.ReadSection(S("A")), (QStringList{S("Key"), S("Other"), S("Late")}));
    EXPECT_EQ(ini.ReadSections(), (QStringList{S("A"), S("B")}));

    ini.WriteString(S("A"), S("kEy"), S("new"));
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadFile(), QByteArray("[A]\r\nKey=new\r\nOther=1\r\nLate=late\r\n\r\n"
                                     "[B]\r\nKey=b\r\n\r\n"));
}

// Deleting keys and sections keeps every other name reachable, in order.
TEST_F(IniFileTest, LookupsAfterDeletes) {
    QByteArray text = "[S0]\r\n";
    for (int i = 0; i < 50; ++i)
        text += "K" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    text += "[S1]\r\nX=1\r\n[S2]\r\nY=2\r\n";
    WriteFile(text);
    TIniFile ini(Path());
    for (int i = 0; i < 50; i += 2)
        ini.DeleteKey(S("s0"), QStringLiteral("k%1").arg(i));
    ini.EraseSection(S("S1"));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(ini.ValueExists(S("S0"), QStringLiteral("K%1").arg(i)), i % 2 == 1) << i;
    EXPECT_EQ(ini.ReadInteger(S("S0"), S("K49"), 0), 49);
    EXPECT_FALSE(ini.SectionExists(S("S1")));
    EXPECT_EQ(ini.ReadInteger(S("s2"), S("y"), 0), 2);
    ini.WriteString(S("S0"), S("K0"), S("back"));
    ini.WriteString(S("S1"), S("X"), S("again"));
    EXPECT_EQ(ini.ReadSection(S("S0")).first(), S("K1"));
    EXPECT_EQ(ini.ReadSection(S("S0")).last(), S("K0"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{S("S0"), S("S2"), S("S1")}));
    EXPECT_EQ(ini.ReadString(S("S1"), S("x"), QString()), S("again"));
}
