#include "platform/IniFile.h"
#include "platform/Keycodes.h"
#include "platform/Placement.h"
#include "shell/Settings.h"
#include "tests/shell/IniFileFixture.h"

namespace {
struct SettingsTest : TIniFileFixture {};
} // namespace

TEST_F(SettingsTest, IniSemantics) {
    WriteFile("; comment\r\n[Prefs]\r\nAlpha = 1 \r\nalpha=2\r\nHex=0x1F\r\nBad=12a\r\n"
              "[prefs]\r\nBeta=x=y\r\nnoequals\r\n[Other]\r\nK=\xe9t\xe9\r\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("PREFS"), QStringLiteral("ALPHA"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Prefs"), QStringLiteral("Hex"), 0), 31);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Prefs"), QStringLiteral("Bad"), 7), 7);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Prefs"), QStringLiteral("Beta"), QString()),
              QStringLiteral("x=y"));
    EXPECT_EQ(
        ini.ReadString(QStringLiteral("Prefs"), QStringLiteral("Missing"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("prefs")),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("Hex"), QStringLiteral("Bad"),
                           QStringLiteral("Beta")}));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Other"), QStringLiteral("k"), QString()),
              QString::fromUtf8("été"));

    ini.EraseSection(QStringLiteral("OTHER"));
    ini.WriteString(QStringLiteral("New"), QStringLiteral("Key"), QString::fromUtf8("€"));
    ini.DeleteKey(QStringLiteral("Prefs"), QStringLiteral("bad"));
    ASSERT_TRUE(ini.UpdateFile());
    const QByteArray out = ReadFile();
    EXPECT_EQ(
        out,
        QByteArray("[Prefs]\r\nAlpha=1\r\nHex=0x1F\r\nBeta=x=y\r\n\r\n[New]\r\nKey=\x80\r\n\r\n"));
}

TEST_F(SettingsTest, FailedWriteKeepsTheOldFile) {
    WriteFile("[A]\r\nK=1\r\n");
    TIniFile ini(dir.filePath(QStringLiteral("no/such/folder/Brevixo.ini")));
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("K"), 2);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_FALSE(ini.ErrorString().isEmpty());
    EXPECT_EQ(ReadFile(), QByteArray("[A]\r\nK=1\r\n"));
}

TEST_F(SettingsTest, EmptyFileWritesSwitchFocusDelayOnce) {
    WriteFile("");
    TIniFile ini(Path());
    TSettingsDefaults d;
    d.GridColWidth = 70;
    const TSettings s = SettingsStore::Load(ini, d);
    EXPECT_EQ(s.KeyCol, 70);
    ASSERT_TRUE(ini.Modified());
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(ReadFile().contains("SwitchFocusDelay=10\r\n"));
    // A stored value stays as it is and nothing is written back.
    TIniFile again(Path());
    SettingsStore::Load(again, d);
    EXPECT_FALSE(again.Modified());
}

TEST_F(SettingsTest, ConversionsOnLoad) {
    WriteFile(
        "[Preferences]\r\nKeyCol=3\r\nShortCutCol=120\r\nAlphaChars=\xC4 b-\x01\r\n"
        "AltInsKeywordSuffix=\" x "
        "\"\r\nAltInsKeywordPrefix=\"\r\nSuggestionShortcutShiftState=5\r\n"
        "Pause=-4\r\nPauseKeystrokeInterval=0\r\nScriptTimeLimit=99999\r\nClipboardCommand="
        "nonsense\r\nShowTextToTypeBox="
        "0\r\n"
        "[FileShortcuts]\r\n/usr/bin/calc=112,Calculator\r\n/tmp/notes.txt=abc,Notes\r\n/x= 7 \r\n"
        "[LinkedDictionaries]\r\n/d/one.bxd=0\r\n/d/two.bxd=0\r\n");
    TIniFile ini(Path());
    TSettingsDefaults d;
    d.GridColWidth = 64;
    d.ClientWidth = 600;
    const TSettings s = SettingsStore::Load(ini, d);
    EXPECT_EQ(s.KeyCol, 64) << "below 8 falls back to the default width";
    EXPECT_EQ(s.ShortCutCol, 120);
    EXPECT_EQ(s.AlphaChars, QString::fromUtf8("äb-"));
    EXPECT_EQ(s.AltInsKeywordSuffix, QStringLiteral(" x "));
    EXPECT_EQ(s.AltInsKeywordPrefix, QStringLiteral("\"")) << "one quote is not a pair";
    EXPECT_EQ(s.SuggestionShiftState, ssCtrl | ssAlt);
    EXPECT_EQ(s.PauseMsec, 0);
    EXPECT_EQ(s.PauseKeystrokeInterval, 1);
    EXPECT_EQ(s.ScriptTimeLimit, 3600) << "clamped to an hour";
    EXPECT_EQ(s.ClipboardCommand, 0x202D) << "an unknown paste key falls back to Shift+Ins";
    EXPECT_FALSE(s.ShowTextToTypeBox);
    ASSERT_EQ(s.FileShortcutNames.size(), 3);
    EXPECT_EQ(s.FileShortcutCodes[0], 112);
    EXPECT_EQ(s.FileShortcutCaptions[0], QStringLiteral("Calculator"));
    EXPECT_EQ(s.FileShortcutCodes[1], 0);
    EXPECT_EQ(s.FileShortcutCaptions[1], QString());
    EXPECT_EQ(s.FileShortcutCodes[2], 7);
    EXPECT_EQ(s.LinkedDictionaries,
              (QStringList{QStringLiteral("/d/one.bxd"), QStringLiteral("/d/two.bxd")}));
}

TEST_F(SettingsTest, PreferencesAndExitWritesReadBack) {
    TIniFile ini(Path());
    TSettings s = SettingsStore::Load(ini, {});
    s.AltInsKeywordSuffix = QStringLiteral("  ;");
    s.SuggestionShiftState = ssShift | ssCtrl;
    s.Set(goNoConfirmExit, true);
    s.ClipboardCommand = TextToKeyCode("Ctrl+V");
    s.FileShortcutNames = {QStringLiteral("/a b/c.bxd")};
    s.FileShortcutCaptions = {QStringLiteral("Work, texts")};
    s.FileShortcutCodes = {0x4070};
    s.StatDate = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
    SettingsStore::WritePreferences(ini, s);
    SettingsStore::WriteExit(ini, s, 120);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(ReadFile().contains("ShowTextToTypeBox=1\r\n"));
    EXPECT_TRUE(ReadFile().contains("StatDate=20260102030405\r\n"));

    TIniFile back(Path());
    const TSettings r = SettingsStore::Load(back, {});
    EXPECT_EQ(r.AltInsKeywordSuffix, QStringLiteral("  ;"));
    EXPECT_EQ(r.SuggestionShiftState, ssShift | ssCtrl);
    EXPECT_TRUE(r.Has(goNoConfirmExit));
    EXPECT_EQ(r.ClipboardCommand, s.ClipboardCommand);
    EXPECT_EQ(r.FileShortcutCaptions, s.FileShortcutCaptions);
    EXPECT_EQ(r.FileShortcutCodes, s.FileShortcutCodes);
    EXPECT_EQ(r.StatDate, s.StatDate);
}

// Whatever the file holds, the window comes up on the screen, at least half
// of it visible, no smaller than a usable size and no larger than the screen.
TEST_F(SettingsTest, PlacementOfExtremeValuesStaysOnTheScreen) {
    const QRect screen(50, 20, 1000, 800);
    const QRect designed(0, 0, 400, 300);
    const char* values[] = {"-2147483648", "2147483647", "0", "-1", "-400", "2000000000"};
    QByteArray text;
    int section = 0;
    for (const char* top : values)
        for (const char* size : values)
            text += "[W" + QByteArray::number(section++) + "]\r\nTop=" + top + "\r\nLeft=" + size +
                    "\r\nWidth=" + size + "\r\nHeight=" + top + "\r\n";
    WriteFile(text);
    TIniFile ini(Path());
    for (int i = 0; i < section; ++i) {
        const QString name = QStringLiteral("W%1").arg(i);
        const QRect r = Placement::Read(ini, name, designed, screen, true, 50).Rect;
        const QByteArray stored =
            ini.ReadString(name, QStringLiteral("Top"), QString()).toLatin1() + " / " +
            ini.ReadString(name, QStringLiteral("Width"), QString()).toLatin1();
        EXPECT_GE(r.width(), 100) << stored.constData();
        EXPECT_GE(r.height(), 100) << stored.constData();
        EXPECT_LE(r.width(), screen.width()) << stored.constData();
        EXPECT_LE(r.height(), screen.height()) << stored.constData();
        const QRect visible = r.intersected(screen);
        EXPECT_GE(visible.width() * 2, r.width()) << stored.constData();
        EXPECT_GE(visible.height() * 2, r.height()) << stored.constData();
    }
}

TEST(StatDate, MalformedGivesTheZeroDate) {
    const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    EXPECT_EQ(SettingsStore::ParseStatDate(QStringLiteral("2026010203040")), zero);
    EXPECT_EQ(SettingsStore::ParseStatDate(QStringLiteral("2026x102030405")), zero);
    EXPECT_EQ(SettingsStore::ParseStatDate(QStringLiteral("20261399030405")), zero);
    EXPECT_EQ(SettingsStore::ParseStatDate(QStringLiteral("20261201030405")),
              QDateTime(QDate(2026, 12, 1), QTime(3, 4, 5)));
}

TEST_F(SettingsTest, PlacementRules) {
    const QRect screen(0, 0, 1000, 800);
    const QRect designed(0, 0, 400, 300);
    {
        TIniFile empty(Path());
        const TPlacement p =
            Placement::Read(empty, QStringLiteral("MainForm"), designed, screen, true, 50);
        EXPECT_EQ(p.Rect, QRect(300, 250, 400, 300)) << "centred when nothing is stored";
        EXPECT_FALSE(p.Maximized);
    }
    WriteFile("[MainForm]\r\nTop=-500\r\nLeft=900\r\nWidth=-500\r\nHeight=200\r\nMaximized=1\r\n"
              "[Fixed]\r\nTop=10\r\nLeft=20\r\nWidth=900\r\nMaximized=1\r\n");
    TIniFile ini(Path());
    const TPlacement p =
        Placement::Read(ini, QStringLiteral("MainForm"), designed, screen, true, 50);
    // Half of the window must stay visible: left 900 + 250 > 1000 moves it to 750.
    EXPECT_EQ(p.Rect, QRect(750, 0, 500, 200));
    EXPECT_TRUE(p.Maximized);
    const TPlacement f =
        Placement::Read(ini, QStringLiteral("Fixed"), designed, screen, false, 100);
    EXPECT_EQ(f.Rect, QRect(20, 10, 400, 300)) << "a fixed-size window keeps its size";
    EXPECT_FALSE(f.Maximized);
    // Larger than the screen: pushed past the edge, then a negative position becomes 100.
    const TPlacement big =
        Placement::Read(ini, QStringLiteral("None"), QRect(0, 0, 1200, 900), screen, true, 100);
    EXPECT_EQ(big.Rect.topLeft(), QPoint(100, 100));

    Placement::Write(ini, QStringLiteral("MainForm"), QRect(1, 2, 3, 4), true, false);
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("MainForm"), QStringLiteral("Top")));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("MainForm"), QStringLiteral("Maximized"), false));
    Placement::Write(ini, QStringLiteral("MainForm"), QRect(1, 2, 3, 4), false, false);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MainForm"), QStringLiteral("Left"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MainForm"), QStringLiteral("Height"), 0), 4);
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("MainForm"), QStringLiteral("Maximized")));
    Placement::Write(ini, QStringLiteral("MainForm"), QRect(1, 2, 3, 4), false, true);
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("MainForm")).isEmpty());
}

// Numbers that size or time something come back inside their bounds
// whatever the file holds; numbers that are no int give the defaults.
TEST_F(SettingsTest, ExtremeIntegersAreBounded) {
    const char* keys[] = {"EditorFontSize",
                          "GridFontSize",
                          "SuggestionFontSize",
                          "Pause",
                          "PauseKeystrokeInterval",
                          "SwitchFocusDelay",
                          "WSOLongMsec",
                          "WSOShortMsec",
                          "AltInsMinWordLength",
                          "HotKey",
                          "KeyCol",
                          "ShortCutCol",
                          "Grabbar"};
    const char* values[] = {"2147483647",
                            "-2147483648",
                            "-1",
                            "0",
                            "9223372036854775808",
                            "-9223372036854775809",
                            "99999999999999999999",
                            "0x7FFFFFFF",
                            "$FFFFFFFF",
                            "12garbage",
                            "65536"};
    TSettingsDefaults d;
    d.MainFont.Size = 10;
    d.GridFont.Size = 11;
    for (const char* value : values) {
        QByteArray text = "[Preferences]\r\n";
        for (const char* key : keys)
            text += QByteArray(key) + '=' + value + "\r\n";
        WriteFile(text);
        TIniFile ini(Path());
        const TSettings s = SettingsStore::Load(ini, d);
        for (const TFontSpec& f : {s.EditorFont, s.GridFont, s.SuggestionFont}) {
            EXPECT_GE(f.Size, 1) << value;
            EXPECT_LE(f.Size, SettingsLimits::kMaxFontSize) << value;
        }
        EXPECT_GE(s.PauseMsec, 0) << value;
        EXPECT_LE(s.PauseMsec, SettingsLimits::kMaxPauseMsec) << value;
        EXPECT_GE(s.PauseKeystrokeInterval, 1) << value;
        EXPECT_LE(s.PauseKeystrokeInterval, SettingsLimits::kMaxKeystrokeInterval) << value;
        EXPECT_GE(s.SwitchFocusDelay, 0) << value;
        EXPECT_LE(s.SwitchFocusDelay, SettingsLimits::kMaxSwitchFocusDelay) << value;
        for (int wso : {s.WSOLongMsec, s.WSOShortMsec}) {
            EXPECT_GE(wso, 0) << value;
            EXPECT_LE(wso, SettingsLimits::kMaxWSOMsec) << value;
        }
        EXPECT_GE(s.AltInsMinWordLength, 0) << value;
        EXPECT_LE(s.AltInsMinWordLength, SettingsLimits::kMaxAltInsMinWordLength) << value;
        EXPECT_GE(s.KeyCol, 8) << value;
        EXPECT_LE(s.KeyCol, d.ClientWidth - 8) << value;
        EXPECT_TRUE(s.Grabbar == -1 || (s.Grabbar > 8 && s.Grabbar < d.ClientHeight - 8)) << value;
    }
    // In range, values are kept as stored; out of range, the nearest bound or
    // the default where no bound is a sensible size.
    WriteFile("[Preferences]\r\nEditorFontSize=2147483647\r\nGridFontSize=-5\r\n"
              "SuggestionFontSize=36\r\nPause=2147483647\r\nSwitchFocusDelay=250\r\n"
              "HotKey=65648\r\nAltInsMinWordLength=5\r\n");
    TIniFile ini(Path());
    const TSettings s = SettingsStore::Load(ini, d);
    EXPECT_EQ(s.EditorFont.Size, SettingsLimits::kMaxFontSize);
    EXPECT_EQ(s.GridFont.Size, 11);
    EXPECT_EQ(s.SuggestionFont.Size, 36);
    EXPECT_EQ(s.PauseMsec, SettingsLimits::kMaxPauseMsec);
    EXPECT_EQ(s.SwitchFocusDelay, 250);
    EXPECT_EQ(s.ProgramHotKey, TextToKeyCode("F10")) << "65648 is no 16-bit code";
    EXPECT_EQ(s.AltInsMinWordLength, 5);
}
