#include "shell/Settings.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"

namespace {
const QString kMain = QStringLiteral("MainForm");
const QString kPrefs = QStringLiteral("Preferences");
const QString kLinks = QStringLiteral("LinkedDictionaries");
const QString kFileShortcuts = QStringLiteral("FileShortcuts");

struct TBoolKey {
    const char* key;
    bool def;
    bool general; // GeneralOptions, else AutoReplaceOptions
    uint16_t bit;
};

// In the order the file is read and the dialog writes them.
const TBoolKey kBoolKeys[] = {
    {"AutoComplete", true, false, aoAutoComplete},
    {"AutoReplace", true, false, aoAutoReplace},
    {"AutoReplaceBeep", false, false, aoAutoReplaceBeep},
    {"AutoReplaceHint", true, false, aoAutoReplaceHint},
    {"AutoReplaceHintTrackCaret", true, false, aoAutoReplaceHintTrackCaret},
    {"AutoReplaceAlwaysShow", false, false, aoAutoReplaceAlwaysShow},
    {"AutoHideSuggestionWindow", true, false, aoAutoHideSuggestionWindow},
    {"UseCtrlSpace", true, false, aoUseCtrlSpace},
    {"RememberLastExpandedWord", true, false, aoRememberLastExpandedWord},
    {"SupportOnscreenKeyboards", true, false, aoSupportOnscreenKeyboards},
    {"UseShiftEnter", false, false, aoUseShiftEnter},
    {"UseAltIns", true, false, aoUseAltIns},
    {"BeepOnHotKey", false, true, goBeepOnHotKey},
    {"BeepAfterInsert", false, true, goBeepAfterInsert},
    {"BeepOnEmptyText", true, true, goBeepOnEmptyText},
    {"UseClipboard", true, true, goUseClipboard},
    {"EnableSafetyChecks", true, true, goEnableSafetyChecks},
    {"RunMinimized", true, true, goRunMinimized},
    {"AutoSave1", true, true, goAutoSave1},
    {"NoConfirmExit", false, true, goNoConfirmExit},
    {"EnableDictionaryLinks", true, true, goEnableDictionaryLinks},
};

// Written by the exit write, not by the dialog.
bool ExitOnly(const char* key) {
    return qstrcmp(key, "AutoReplace") == 0 || qstrcmp(key, "EnableDictionaryLinks") == 0;
}

bool Flag(const TSettings& s, const TBoolKey& k) {
    return k.general ? (s.GeneralOptions & k.bit) : (s.AutoReplaceOptions & k.bit);
}

uint8_t DecodeShiftState(int stored) {
    uint8_t r = 0;
    if (stored & 1) r |= ssCtrl;
    if (stored & 2) r |= ssShift;
    if (stored & 4) r |= ssAlt;
    return r;
}

int EncodeShiftState(uint8_t s) {
    return ((s & ssCtrl) ? 1 : 0) | ((s & ssShift) ? 2 : 0) | ((s & ssAlt) ? 4 : 0);
}

TFontSpec ReadFont(const TIniFile& ini, const QString& prefix, const TFontSpec& def) {
    TFontSpec f;
    const int size = ini.ReadInteger(kPrefs, prefix + QStringLiteral("FontSize"), def.Size);
    f.Size = size < 1 ? def.Size : std::min(size, SettingsLimits::kMaxFontSize);
    f.Name = ini.ReadString(kPrefs, prefix + QStringLiteral("FontName"), def.Name);
    f.Bold = ini.ReadBool(kPrefs, prefix + QStringLiteral("FontBold"), def.Bold);
    return f;
}

void WriteFont(TIniFile& ini, const QString& prefix, const TFontSpec& f) {
    ini.WriteInteger(kPrefs, prefix + QStringLiteral("FontSize"), f.Size);
    ini.WriteString(kPrefs, prefix + QStringLiteral("FontName"), f.Name);
    ini.WriteBool(kPrefs, prefix + QStringLiteral("FontBold"), f.Bold);
}

int ReadClamped(const TIniFile& ini, const char* key, int def, int low, int high) {
    return std::clamp(ini.ReadInteger(kPrefs, QLatin1String(key), def), low, high);
}

uint32_t ReadColor(const TIniFile& ini, const char* key, uint32_t def) {
    return static_cast<uint32_t>(
               ini.ReadInteger(kPrefs, QLatin1String(key), static_cast<int>(def))) &
           0xFFFFFF;
}
} // namespace

void TSettings::Set(TAutoReplaceOption o, bool on) {
    AutoReplaceOptions = on ? (AutoReplaceOptions | o) : (AutoReplaceOptions & ~o);
}

void TSettings::Set(TGeneralOption o, bool on) {
    GeneralOptions = on ? (GeneralOptions | o) : (GeneralOptions & ~o);
}

namespace SettingsStore {
const QString kFileName = QStringLiteral("Brevixo.ini");

QDateTime ParseStatDate(const QString& text) {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    if (text.size() != 14) return zero;
    for (QChar c : text)
        if (!c.isDigit()) return zero;
    const QDateTime d = QDateTime::fromString(text, QStringLiteral("yyyyMMddHHmmss"));
    return d.isValid() ? d : zero;
}

QString FormatStatDate(const QDateTime& date) {
    return date.toString(QStringLiteral("yyyyMMddHHmmss"));
}

QString NormaliseAlphaChars(const QString& raw) {
    QString out;
    for (QChar c : raw)
        if (c.unicode() > 32) out += Ansi::ToUnicode(Ansi::Lower(Ansi::FromUnicode(QString(c))));
    return out;
}

QString Unquote(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

TSettings Load(TIniFile& ini, const TSettingsDefaults& d) {
    TSettings s;
    // Statistics: a negative counter restarts the period.
    s.StatDate = QDateTime::currentDateTime();
    const int autoKeys = ini.ReadInteger(kMain, QStringLiteral("AutoKeys"), 0);
    const int userKeys = ini.ReadInteger(kMain, QStringLiteral("UserKeys"), 0);
    if (autoKeys >= 0 && userKeys >= 0) {
        s.AutoKeys = static_cast<uint32_t>(autoKeys);
        s.UserKeys = static_cast<uint32_t>(userKeys);
        if (ini.ValueExists(kMain, QStringLiteral("StatDate")))
            s.StatDate =
                ParseStatDate(ini.ReadString(kMain, QStringLiteral("StatDate"), QString()));
    }

    const auto colWidth = [&](const char* key) {
        const int v = ini.ReadInteger(kPrefs, QLatin1String(key), d.GridColWidth);
        return (v < 8 || v > d.ClientWidth - 8) ? d.GridColWidth : v;
    };
    s.KeyCol = colWidth("KeyCol");
    s.ShortCutCol = colWidth("ShortCutCol");
    const int grab = ini.ReadInteger(kPrefs, QStringLiteral("Grabbar"), 0);
    s.Grabbar = (grab > 8 && grab < d.ClientHeight - 8) ? grab : -1;

    for (const TBoolKey& k : kBoolKeys) {
        const bool on = ini.ReadBool(kPrefs, QLatin1String(k.key), k.def);
        if (k.general)
            s.Set(static_cast<TGeneralOption>(k.bit), on);
        else
            s.Set(static_cast<TAutoReplaceOption>(k.bit), on);
    }
    s.AlphaChars =
        NormaliseAlphaChars(ini.ReadString(kPrefs, QStringLiteral("AlphaChars"), QString()));
    s.AltInsMinWordLength =
        ReadClamped(ini, "AltInsMinWordLength", 3, 0, SettingsLimits::kMaxAltInsMinWordLength);
    s.AltInsKeywordSuffix = Unquote(
        ini.ReadString(kPrefs, QStringLiteral("AltInsKeywordSuffix"), QStringLiteral(" .")));
    s.AltInsKeywordPrefix =
        Unquote(ini.ReadString(kPrefs, QStringLiteral("AltInsKeywordPrefix"), QString()));
    s.SuggestionShiftState = DecodeShiftState(
        ini.ReadInteger(kPrefs, QStringLiteral("SuggestionShortcutShiftState"), 0));
    s.WSOLongMsec = ReadClamped(ini, "WSOLongMsec", 500, 0, SettingsLimits::kMaxWSOMsec);
    s.WSOShortMsec = ReadClamped(ini, "WSOShortMsec", 50, 0, SettingsLimits::kMaxWSOMsec);
    s.SwitchFocusDelay = ini.ReadInteger(kPrefs, QStringLiteral("SwitchFocusDelay"), -999);
    if (s.SwitchFocusDelay == -999) {
        s.SwitchFocusDelay = 10;
        ini.WriteInteger(kPrefs, QStringLiteral("SwitchFocusDelay"), 10);
    }
    s.SwitchFocusDelay = std::clamp(s.SwitchFocusDelay, 0, SettingsLimits::kMaxSwitchFocusDelay);
    s.DisplayShortCuts = ini.ReadBool(kPrefs, QStringLiteral("DisplayShortCuts"), true);
    s.ShowTextToTypeBox = ini.ReadBool(kPrefs, QStringLiteral("ShowTextToTypebox"), true);
    s.DiagnosticLog = ini.ReadBool(kPrefs, QStringLiteral("DiagnosticLog"), false);
    s.SpellLanguage = ini.ReadString(kPrefs, QStringLiteral("SpellLanguage"), QString()).trimmed();
    // A number that is no 16-bit code would name some other key.
    const int hotKey = ini.ReadInteger(kPrefs, QStringLiteral("HotKey"), TextToKeyCode("F10"));
    s.ProgramHotKey =
        static_cast<uint16_t>(hotKey >= 0 && hotKey <= 0xFFFF ? hotKey : TextToKeyCode("F10"));
    s.ClipboardCommand = TextToKeyCode(Ansi::FromUnicode(
        ini.ReadString(kPrefs, QStringLiteral("ClipboardCommand"), QStringLiteral("Shift+Ins"))));
    if (s.ClipboardCommand == 0) s.ClipboardCommand = TextToKeyCode("Shift+Ins");
    s.ClipboardCommandKeys = EncodeKeyInText(s.ClipboardCommand);
    s.PauseMsec = ReadClamped(ini, "Pause", 1000, 0, SettingsLimits::kMaxPauseMsec);
    s.PauseKeystrokeInterval =
        ReadClamped(ini, "PauseKeystrokeInterval", 40, 1, SettingsLimits::kMaxKeystrokeInterval);
    s.ScriptTimeLimit = ReadClamped(ini, "ScriptTimeLimit", 10, 0, 3600);
    s.BackgroundColor = ReadColor(ini, "BackgroundColor", d.BackgroundColor);
    s.KeywordColor = ReadColor(ini, "KeywordColor", 255);
    s.LinkedKeywordColor = ReadColor(ini, "LinkedKeywordColor", 0);
    s.EditorFont = ReadFont(ini, QStringLiteral("Editor"), d.MainFont);
    s.GridFont = ReadFont(ini, QStringLiteral("Grid"), d.GridFont);
    TFontSpec suggestionDefault = d.MainFont;
    suggestionDefault.Bold = false;
    s.SuggestionFont = ReadFont(ini, QStringLiteral("Suggestion"), suggestionDefault);
    s.SuggestionWindowColor = ReadColor(ini, "SuggestionWindowColor", 8454143);

    s.LinkedDictionaries = ini.ReadSection(kLinks);
    for (const QString& key : ini.ReadSection(kFileShortcuts)) {
        const QString value = ini.ReadString(kFileShortcuts, key, QString());
        const qsizetype comma = value.indexOf(QLatin1Char(','));
        bool ok = false;
        const uint code = value.left(comma < 0 ? value.size() : comma).trimmed().toUInt(&ok);
        const bool valid = ok && code <= 0xFFFF;
        s.FileShortcutNames << key;
        s.FileShortcutCaptions << (valid && comma >= 0 ? value.mid(comma + 1).trimmed()
                                                       : QString());
        s.FileShortcutCodes.push_back(valid ? static_cast<uint16_t>(code) : 0);
    }
    return s;
}

void WriteExit(TIniFile& ini, const TSettings& s, int grabbarTop) {
    ini.WriteInteger(kMain, QStringLiteral("UserKeys"), static_cast<int>(s.UserKeys));
    ini.WriteInteger(kMain, QStringLiteral("AutoKeys"), static_cast<int>(s.AutoKeys));
    ini.WriteString(kMain, QStringLiteral("StatDate"), FormatStatDate(s.StatDate));
    ini.WriteInteger(kPrefs, QStringLiteral("KeyCol"), s.KeyCol);
    ini.WriteInteger(kPrefs, QStringLiteral("ShortCutCol"), s.ShortCutCol);
    ini.WriteBool(kPrefs, QStringLiteral("DisplayShortCuts"), s.DisplayShortCuts);
    ini.WriteBool(kPrefs, QStringLiteral("ShowTextToTypeBox"), s.ShowTextToTypeBox);
    ini.WriteBool(kPrefs, QStringLiteral("DiagnosticLog"), s.DiagnosticLog);
    ini.WriteInteger(kPrefs, QStringLiteral("Grabbar"), grabbarTop);
    ini.WriteBool(kPrefs, QStringLiteral("AutoReplace"), s.Has(aoAutoReplace));
    ini.WriteBool(kPrefs, QStringLiteral("EnableDictionaryLinks"), s.Has(goEnableDictionaryLinks));
    ini.EraseSection(kLinks);
    for (const QString& link : s.LinkedDictionaries)
        ini.WriteString(kLinks, link, QStringLiteral("0"));
    ini.EraseSection(kFileShortcuts);
    for (qsizetype i = 0; i < s.FileShortcutNames.size(); ++i)
        ini.WriteString(kFileShortcuts, s.FileShortcutNames[i],
                        QString::number(i < qsizetype(s.FileShortcutCodes.size())
                                            ? s.FileShortcutCodes[i]
                                            : 0) +
                            QLatin1Char(',') + s.FileShortcutCaptions.value(i));
}

void WritePreferences(TIniFile& ini, const TSettings& s) {
    for (const TBoolKey& k : kBoolKeys)
        if (!ExitOnly(k.key)) ini.WriteBool(kPrefs, QLatin1String(k.key), Flag(s, k));
    ini.WriteString(kPrefs, QStringLiteral("AlphaChars"), s.AlphaChars);
    ini.WriteString(kPrefs, QStringLiteral("SpellLanguage"), s.SpellLanguage);
    ini.WriteInteger(kPrefs, QStringLiteral("AltInsMinWordLength"), s.AltInsMinWordLength);
    // Quoted so that leading and trailing blanks survive.
    ini.WriteString(kPrefs, QStringLiteral("AltInsKeywordSuffix"),
                    QLatin1Char('"') + s.AltInsKeywordSuffix + QLatin1Char('"'));
    ini.WriteString(kPrefs, QStringLiteral("AltInsKeywordPrefix"),
                    QLatin1Char('"') + s.AltInsKeywordPrefix + QLatin1Char('"'));
    ini.WriteInteger(kPrefs, QStringLiteral("SuggestionShortcutShiftState"),
                     EncodeShiftState(s.SuggestionShiftState));
    ini.WriteInteger(kPrefs, QStringLiteral("WSOLongMsec"), s.WSOLongMsec);
    ini.WriteInteger(kPrefs, QStringLiteral("WSOShortMsec"), s.WSOShortMsec);
    ini.WriteInteger(kPrefs, QStringLiteral("SwitchFocusDelay"), s.SwitchFocusDelay);
    ini.WriteInteger(kPrefs, QStringLiteral("HotKey"), s.ProgramHotKey);
    ini.WriteString(kPrefs, QStringLiteral("ClipboardCommand"),
                    Ansi::ToUnicode(KeyCodeToText(s.ClipboardCommand)));
    ini.WriteInteger(kPrefs, QStringLiteral("Pause"), s.PauseMsec);
    ini.WriteInteger(kPrefs, QStringLiteral("PauseKeystrokeInterval"), s.PauseKeystrokeInterval);
    ini.WriteInteger(kPrefs, QStringLiteral("BackgroundColor"),
                     static_cast<int>(s.BackgroundColor));
    ini.WriteInteger(kPrefs, QStringLiteral("KeywordColor"), static_cast<int>(s.KeywordColor));
    ini.WriteInteger(kPrefs, QStringLiteral("LinkedKeywordColor"),
                     static_cast<int>(s.LinkedKeywordColor));
    WriteFont(ini, QStringLiteral("Editor"), s.EditorFont);
    WriteFont(ini, QStringLiteral("Grid"), s.GridFont);
    WriteFont(ini, QStringLiteral("Suggestion"), s.SuggestionFont);
    ini.WriteInteger(kPrefs, QStringLiteral("SuggestionWindowColor"),
                     static_cast<int>(s.SuggestionWindowColor));
}
} // namespace SettingsStore
