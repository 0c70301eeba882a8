#pragma once
// Per-application exceptions to how keywords are expanded: some programs
// must not see expansions at all (password managers), some take keystrokes
// but garble a paste, and terminals paste with a key of their own. A rule
// names an application by a wildcard pattern over the focused window's class
// or instance name or its process name. No GUI; stored in "Brevixo.ini".
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class TIniFile;

enum class TAppAction : uint8_t {
    NoAutoReplace, // keywords typed there are not followed
    Keystrokes,    // texts are typed key by key even when pasting is on
    PasteKey,      // pasted with the rule's own paste key
};

// Which name of the application a pattern is compared with.
enum class TAppField : uint8_t { Any, Class, Instance, Process };

struct TAppRule {
    TAppField Field = TAppField::Any;
    QString Pattern; // "*" and "?" wildcards, case ignored
    TAppAction Action = TAppAction::NoAutoReplace;
    uint16_t PasteKey = 0; // shortcut code, for TAppAction::PasteKey

    bool operator==(const TAppRule&) const = default;
};

// What is known of the application behind a window; empty when unknown.
struct TAppIdentity {
    QString ClassName, Instance;
    QStringList Processes; // the names a process goes by (command, executable)
    uint32_t Pid = 0;
};

class TAppRules {
public:
    static constexpr int kMaxRules = 256;
    static constexpr int kMaxPatternLength = 200;

    std::vector<TAppRule> Rules;

    // Terminals and password managers of the common desktops.
    static TAppRules Defaults();
    // The first rule that matches, or null.
    const TAppRule* Match(const TAppIdentity& app) const;
    static bool Matches(const TAppRule& rule, const TAppIdentity& app);

    // One rule as stored, e.g. "class:XTerm,paste Shift+Ins", and back.
    static QString Format(const TAppRule& rule);
    // False, with the reason in error, for a text that is not a rule.
    static bool Parse(const QString& text, TAppRule& rule, QString& error);
    // "Ctrl+Shift+V paste", "no auto-replace", "keystrokes" for a list.
    static QString Describe(const TAppRule& rule);
};

// The settings of the desktop around the rules.
struct TAppOptions {
    static constexpr int kMinClipboardLimitKB = 64;
    static constexpr int kMaxClipboardLimitKB = 256 * 1024;
    // No expansion, suggestions or word tracking in password fields.
    bool SkipPasswordFields = true;
    // After a pasted expansion, the clipboard and the primary selection get
    // back what they held before, up to the limit.
    bool RestoreClipboard = false;
    int RestoreClipboardLimitKB = 16 * 1024;

    bool operator==(const TAppOptions&) const = default;
};

namespace AppRulesStore {
extern const QString kSection; // "AppRules"

// The rules of the section; the defaults when the file has none. Stored
// rules that cannot be read are left out, each with a line in problems.
TAppRules Load(const TIniFile& ini, QStringList* problems = nullptr);
void Save(TIniFile& ini, const TAppRules& rules);

extern const QString kOptionsSection; // "Desktop"
TAppOptions LoadOptions(const TIniFile& ini);
void SaveOptions(TIniFile& ini, const TAppOptions& options);
} // namespace AppRulesStore
