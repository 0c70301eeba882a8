#pragma once
// The user's settings as the main window keeps them, and their reading from
// and writing to "Brevixo.ini". Widgets apply them; nothing here needs a GUI.
#include "hook/HookProtocol.h"
#include "platform/FontSpec.h"
#include "platform/IniFile.h"
#include "platform/VirtualKeys.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <vector>

// GeneralOptions
enum TGeneralOption : uint16_t {
    goBeepOnHotKey = 1 << 0,
    goBeepOnEmptyText = 1 << 1,
    goUseClipboard = 1 << 3,
    goRunMinimized = 1 << 4,
    goNoConfirmExit = 1 << 5,
    goAutoSave1 = 1 << 6,
    goBeepAfterInsert = 1 << 7,
    goEnableDictionaryLinks = 1 << 9,
    goEnableSafetyChecks = 1 << 11,
};

// Bounds of the stored numbers that size or time something: a value outside
// is brought to the nearest bound before anything is made from it.
namespace SettingsLimits {
constexpr int kMaxFontSize = 144; // points; larger glyphs only fill memory
constexpr int kMaxPauseMsec = 60000;
constexpr int kMaxKeystrokeInterval = 9999;
constexpr int kMaxSwitchFocusDelay = 5000; // the main thread waits this long
constexpr int kMaxWSOMsec = 60000;
constexpr int kMaxAltInsMinWordLength = 256; // longer than any word the engine keeps
} // namespace SettingsLimits

// Values that depend on the windows: the defaults the settings fall back to.
struct TSettingsDefaults {
    int GridColWidth = 64;
    int ClientWidth = 600;
    int ClientHeight = 400;
    uint32_t BackgroundColor = 0xF0F0F0;
    TFontSpec MainFont;
    TFontSpec GridFont;
};

struct TSettings {
    uint16_t AutoReplaceOptions = 0;
    uint16_t GeneralOptions = 0;
    int32_t AltInsMinWordLength = 3;
    QString AltInsKeywordSuffix = QStringLiteral(" .");
    QString AltInsKeywordPrefix;
    uint8_t SuggestionShiftState = 0;
    QString AlphaChars;
    int32_t WSOLongMsec = 500;
    int32_t WSOShortMsec = 50;
    int32_t SwitchFocusDelay = 10;
    uint16_t ProgramHotKey = 0;
    uint16_t ClipboardCommand = 0;
    QByteArray ClipboardCommandKeys; // in-text key form of the paste key
    int32_t PauseMsec = 1000;
    int32_t PauseKeystrokeInterval = 40;
    // Seconds a script may keep the program from answering; 0 for no limit.
    int32_t ScriptTimeLimit = 10;
    uint32_t KeywordColor = 255;
    uint32_t LinkedKeywordColor = 0;
    uint32_t SuggestionWindowColor = 8454143;
    uint32_t BackgroundColor = 0xF0F0F0;
    TFontSpec EditorFont, GridFont, SuggestionFont;
    int KeyCol = 64, ShortCutCol = 64;
    int Grabbar = -1; // -1: keep the window's own splitter position
    bool DisplayShortCuts = true;
    bool ShowTextToTypeBox = true;
    bool DiagnosticLog = false; // "bx_debug msg" lines are kept
    QString SpellLanguage;      // a Hunspell dictionary's name; empty: the user's locale
    QStringList LinkedDictionaries;
    QStringList FileShortcutNames, FileShortcutCaptions;
    std::vector<uint16_t> FileShortcutCodes;
    uint32_t AutoKeys = 0, UserKeys = 0;
    QDateTime StatDate;

    bool Has(TAutoReplaceOption o) const { return AutoReplaceOptions & o; }
    bool Has(TGeneralOption o) const { return GeneralOptions & o; }
    bool IsFileShortcut(uint16_t code) const {
        return code != 0 && std::find(FileShortcutCodes.begin(), FileShortcutCodes.end(), code) !=
                                FileShortcutCodes.end();
    }
    void Set(TAutoReplaceOption o, bool on);
    void Set(TGeneralOption o, bool on);
};

namespace SettingsStore {
extern const QString kFileName; // "Brevixo.ini"

// Reads every key of the main window with its conversions. Writes
// "SwitchFocusDelay" back into ini when it was missing (the caller saves).
TSettings Load(TIniFile& ini, const TSettingsDefaults& defaults);

// The exit write of the main-window keys (placement is written by the caller).
void WriteExit(TIniFile& ini, const TSettings& s, int grabbarTop);

// Every key the preferences dialog owns.
void WritePreferences(TIniFile& ini, const TSettings& s);

// "yyyymmddhhnnss"; anything else reads as 30 December 1899.
QDateTime ParseStatDate(const QString& text);
QString FormatStatDate(const QDateTime& date);

// Extra word characters: codes above 32, lower-cased, in order.
QString NormaliseAlphaChars(const QString& raw);
// One pair of enclosing double quotes removed.
QString Unquote(const QString& value);
} // namespace SettingsStore
