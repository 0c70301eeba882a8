#include "typing/AppRules.h"
#include "platform/Ansi.h"
#include "platform/IniFile.h"
#include "platform/Keycodes.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

const QString kCount = QStringLiteral("Count");
// Stored values longer than any rule are not looked at.
constexpr int kMaxStoredLength = 512;

struct TFieldName {
    TAppField field;
    const char* prefix;
};
constexpr TFieldName kFields[] = {{TAppField::Class, "class:"},
                                  {TAppField::Instance, "instance:"},
                                  {TAppField::Process, "process:"}};

// Case-insensitive match with "*" (any run) and "?" (one character);
// backtracks only to the last star, so it stays linear in practice.
bool Wildcard(const QString& pattern, const QString& text) {
    qsizetype p = 0, t = 0, star = -1, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') ||
                                   pattern[p].toCaseFolded() == text[t].toCaseFolded())) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            star = p++;
            mark = t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

TAppRule Rule(TAppField field, const char* pattern, TAppAction action, uint16_t key = 0) {
    return {field, QString::fromLatin1(pattern), action, key};
}

} // namespace

TAppRules TAppRules::Defaults() {
    const uint16_t ctrlShiftV = TextToKeyCode("Ctrl+Shift+V");
    const uint16_t shiftIns = TextToKeyCode("Shift+Ins");
    TAppRules r;
    // Password managers and passphrase prompts: a keyword typed there is part
    // of a secret, and an expansion would leak it into the dictionary's text.
    for (const char* app : {"KeePassXC", "KeePass2", "Bitwarden", "1Password", "Seahorse",
                            "pinentry*", "gcr-prompter", "ssh-askpass*", "Enpass"})
        r.Rules.push_back(Rule(TAppField::Any, app, TAppAction::NoAutoReplace));
    // xterm and rxvt paste the primary selection with Shift+Insert.
    for (const char* app : {"XTerm", "UXTerm", "URxvt"})
        r.Rules.push_back(Rule(TAppField::Class, app, TAppAction::PasteKey, shiftIns));
    // Ctrl+V is a control character in a terminal; these paste with Ctrl+Shift+V.
    for (const char* app : {"Gnome-terminal", "konsole", "Xfce4-terminal", "Terminator", "Tilix",
                            "Alacritty", "kitty", "Lxterminal", "Mate-terminal", "qterminal",
                            "terminology", "*wezterm", "st-256color", "Guake", "Tilda", "Terminal"})
        r.Rules.push_back(Rule(TAppField::Class, app, TAppAction::PasteKey, ctrlShiftV));
    return r;
}

bool TAppRules::Matches(const TAppRule& rule, const TAppIdentity& app) {
    const auto any = [&](const QString& name) {
        return !name.isEmpty() && Wildcard(rule.Pattern, name);
    };
    switch (rule.Field) {
    case TAppField::Class:
        return any(app.ClassName);
    case TAppField::Instance:
        return any(app.Instance);
    case TAppField::Process:
        return std::any_of(app.Processes.begin(), app.Processes.end(), any);
    case TAppField::Any:
        return any(app.ClassName) || any(app.Instance) ||
               std::any_of(app.Processes.begin(), app.Processes.end(), any);
    }
    return false;
}

const TAppRule* TAppRules::Match(const TAppIdentity& app) const {
    for (const TAppRule& rule : Rules)
        if (Matches(rule, app)) return &rule;
    return nullptr;
}

QString TAppRules::Format(const TAppRule& rule) {
    QString out;
    for (const TFieldName& f : kFields)
        if (f.field == rule.Field) out = QString::fromLatin1(f.prefix);
    out += rule.Pattern + QLatin1Char(',');
    switch (rule.Action) {
    case TAppAction::NoAutoReplace:
        return out + QStringLiteral("off");
    case TAppAction::Keystrokes:
        return out + QStringLiteral("keystrokes");
    case TAppAction::PasteKey:
        return out + QStringLiteral("paste ") + Ansi::ToUnicode(KeyCodeToText(rule.PasteKey));
    }
    return out;
}

bool TAppRules::Parse(const QString& text, TAppRule& rule, QString& error) {
    if (text.size() > kMaxStoredLength) {
        error = QStringLiteral("the rule is too long");
        return false;
    }
    const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
    if (comma < 0) {
        error = QStringLiteral("no action after a comma");
        return false;
    }
    TAppRule r;
    QString pattern = text.left(comma).trimmed();
    for (const TFieldName& f : kFields)
        if (pattern.startsWith(QLatin1String(f.prefix), Qt::CaseInsensitive)) {
            r.Field = f.field;
            pattern = pattern.mid(qsizetype(qstrlen(f.prefix))).trimmed();
        }
    if (pattern.isEmpty() || pattern.size() > kMaxPatternLength ||
        pattern.contains(QLatin1Char(','))) {
        error = QStringLiteral("the application name is empty, too long or holds a comma");
        return false;
    }
    for (const QChar c : pattern)
        if (c.unicode() < 32) {
            error = QStringLiteral("the application name holds a control character");
            return false;
        }
    r.Pattern = pattern;
    const QString action = text.mid(comma + 1).trimmed();
    if (action.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
        r.Action = TAppAction::NoAutoReplace;
    } else if (action.compare(QLatin1String("keystrokes"), Qt::CaseInsensitive) == 0) {
        r.Action = TAppAction::Keystrokes;
    } else if (action.startsWith(QLatin1String("paste "), Qt::CaseInsensitive)) {
        r.Action = TAppAction::PasteKey;
        r.PasteKey = TextToKeyCode(Ansi::FromUnicode(action.mid(6).trimmed()));
        // The key must survive as a playback code, or nothing would paste.
        if (r.PasteKey == 0 || EncodeKeyInText(r.PasteKey).isEmpty()) {
            error = QStringLiteral("\"%1\" is not a key").arg(action.mid(6).trimmed());
            return false;
        }
    } else {
        error = QStringLiteral("unknown action \"%1\"").arg(action.left(40));
        return false;
    }
    rule = r;
    return true;
}

QString TAppRules::Describe(const TAppRule& rule) {
    switch (rule.Action) {
    case TAppAction::NoAutoReplace:
        return QStringLiteral("No auto-replace");
    case TAppAction::Keystrokes:
        return QStringLiteral("Type keystrokes");
    case TAppAction::PasteKey:
        return QStringLiteral("Paste with ") + Ansi::ToUnicode(KeyCodeToText(rule.PasteKey));
    }
    return {};
}

namespace AppRulesStore {

const QString kSection = QStringLiteral("AppRules");

TAppRules Load(const TIniFile& ini, QStringList* problems) {
    if (!ini.SectionExists(kSection)) return TAppRules::Defaults();
    static const QRegularExpression ruleKey(QStringLiteral("^Rule\\d{1,6}$"),
                                            QRegularExpression::CaseInsensitiveOption);
    TAppRules rules;
    for (const QString& key : ini.ReadSection(kSection)) {
        if (!ruleKey.match(key).hasMatch()) continue;
        if (static_cast<int>(rules.Rules.size()) >= TAppRules::kMaxRules) {
            if (problems)
                problems->append(QStringLiteral("[%1] more than %2 rules: the rest is ignored")
                                     .arg(kSection)
                                     .arg(TAppRules::kMaxRules));
            break;
        }
        TAppRule rule;
        QString error;
        if (TAppRules::Parse(ini.ReadString(kSection, key, QString()), rule, error))
            rules.Rules.push_back(rule);
        else if (problems)
            problems->append(QStringLiteral("[%1] %2: %3").arg(kSection, key, error));
    }
    return rules;
}

void Save(TIniFile& ini, const TAppRules& rules) {
    // Defaults never written stay defaults: a later version's list reaches the user.
    if (!ini.SectionExists(kSection) && rules.Rules == TAppRules::Defaults().Rules) return;
    ini.EraseSection(kSection);
    // The count marks the section as the user's even when it holds no rule.
    ini.WriteInteger(kSection, kCount, static_cast<int>(rules.Rules.size()));
    int n = 0;
    for (const TAppRule& rule : rules.Rules)
        ini.WriteString(kSection, QStringLiteral("Rule%1").arg(++n), TAppRules::Format(rule));
}

const QString kOptionsSection = QStringLiteral("Desktop");

TAppOptions LoadOptions(const TIniFile& ini) {
    TAppOptions o;
    o.SkipPasswordFields =
        ini.ReadBool(kOptionsSection, QStringLiteral("SkipPasswordFields"), o.SkipPasswordFields);
    o.RestoreClipboard =
        ini.ReadBool(kOptionsSection, QStringLiteral("RestoreClipboard"), o.RestoreClipboard);
    o.RestoreClipboardLimitKB =
        std::clamp(ini.ReadInteger(kOptionsSection, QStringLiteral("RestoreClipboardLimit"),
                                   o.RestoreClipboardLimitKB),
                   TAppOptions::kMinClipboardLimitKB, TAppOptions::kMaxClipboardLimitKB);
    return o;
}

void SaveOptions(TIniFile& ini, const TAppOptions& o) {
    ini.WriteBool(kOptionsSection, QStringLiteral("SkipPasswordFields"), o.SkipPasswordFields);
    ini.WriteBool(kOptionsSection, QStringLiteral("RestoreClipboard"), o.RestoreClipboard);
    ini.WriteInteger(kOptionsSection, QStringLiteral("RestoreClipboardLimit"),
                     o.RestoreClipboardLimitKB);
}

} // namespace AppRulesStore
