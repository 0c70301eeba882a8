// Application rules: matching, the stored form, and what they change on the
// typing path, with the desktop's answers played by the test.
#include "platform/IniFile.h"
#include "platform/Keycodes.h"
#include "typing/AppContext.h"
#include "typing/TypingHost.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>

namespace {

TAppIdentity App(const char* cls, const char* instance, QStringList processes = {},
                 uint32_t pid = 0) {
    return {QString::fromLatin1(cls), QString::fromLatin1(instance), processes, pid};
}

TAppRule Parsed(const char* text) {
    TAppRule rule;
    QString error;
    EXPECT_TRUE(TAppRules::Parse(QString::fromLatin1(text), rule, error))
        << text << ": " << error.toStdString();
    return rule;
}

// An INI file written as given, read back as the program reads it.
struct TIniOnDisk {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Brevixo.ini"));
    TIniFile Write(const QByteArray& content) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        return TIniFile(path);
    }
};

} // namespace

TEST(AppRules, MatchByClassInstanceOrProcessWithWildcards) {
    TAppRules rules;
    rules.Rules = {Parsed("class:XTerm,paste Shift+Ins"), Parsed("instance:mutt*,keystrokes"),
                   Parsed("process:keepass?c,off"), Parsed("*wezterm,paste Ctrl+Shift+V")};
    const auto action = [&](const TAppIdentity& app) {
        const TAppRule* r = rules.Match(app);
        return r ? static_cast<int>(r->Action) : -1;
    };
    EXPECT_EQ(action(App("xterm", "")), int(TAppAction::PasteKey)); // case ignored
    EXPECT_EQ(action(App("", "xterm")), -1);                        // class only
    EXPECT_EQ(action(App("Mutt", "mutt-2.2")), int(TAppAction::Keystrokes));
    EXPECT_EQ(action(App("Other", "x", {QStringLiteral("sh"), QStringLiteral("keepassxc")})),
              int(TAppAction::NoAutoReplace));
    EXPECT_EQ(action(App("", "", {QStringLiteral("keepass")})), -1); // "?" is one character
    EXPECT_EQ(action(App("org.wezfurlong.wezterm", "")), int(TAppAction::PasteKey));
    EXPECT_EQ(action(App("wezterm-gui", "")), -1); // no star after the name
    EXPECT_EQ(action(App("", "")), -1);            // nothing known matches nothing

    // The first rule that matches wins.
    rules.Rules.insert(rules.Rules.begin(), Parsed("X*,off"));
    EXPECT_EQ(action(App("XTerm", "")), int(TAppAction::NoAutoReplace));
}

TEST(AppRules, DefaultsCoverTerminalsAndPasswordManagers) {
    const TAppRules d = TAppRules::Defaults();
    const TAppRule* xterm = d.Match(App("XTerm", "xterm"));
    ASSERT_NE(xterm, nullptr);
    EXPECT_EQ(xterm->PasteKey, TextToKeyCode("Shift+Ins"));
    const TAppRule* gnome = d.Match(App("Gnome-terminal", "gnome-terminal-server"));
    ASSERT_NE(gnome, nullptr);
    EXPECT_EQ(gnome->PasteKey, TextToKeyCode("Ctrl+Shift+V"));
    const TAppRule* keepass = d.Match(App("KeePassXC", "keepassxc"));
    ASSERT_NE(keepass, nullptr);
    EXPECT_EQ(keepass->Action, TAppAction::NoAutoReplace);
    EXPECT_EQ(d.Match(App("", "", {QStringLiteral("pinentry-gtk-2")}))->Action,
              TAppAction::NoAutoReplace);
    EXPECT_EQ(d.Match(App("firefox", "Navigator", {QStringLiteral("firefox-esr")})), nullptr);
    // Every default survives its stored form.
    for (const TAppRule& rule : d.Rules)
        EXPECT_EQ(Parsed(TAppRules::Format(rule).toLatin1().constData()), rule)
            << TAppRules::Format(rule).toStdString();
}

TEST(AppRules, ParseRefusesWhatIsNotARule) {
    for (const char* bad :
         {"xterm", ",off", "class:,off", "xterm,", "xterm,sometimes", "xterm,paste",
          "xterm,paste Ctrl+Nothing", "a,b,off", "tab\there,off"}) {
        TAppRule rule;
        QString error;
        EXPECT_FALSE(TAppRules::Parse(QString::fromLatin1(bad), rule, error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    TAppRule rule;
    QString error;
    EXPECT_FALSE(TAppRules::Parse(
        QString(TAppRules::kMaxPatternLength + 1, u'x') + QStringLiteral(",off"), rule, error));
    EXPECT_FALSE(TAppRules::Parse(QString(100000, u'x'), rule, error));
    // Blanks around the parts do not count.
    EXPECT_EQ(Parsed("  Process: vim , KEYSTROKES "),
              (TAppRule{TAppField::Process, QStringLiteral("vim"), TAppAction::Keystrokes, 0}));
}

TEST(AppRulesStore, MissingSectionGivesDefaultsAndSavedRulesComeBack) {
    TIniOnDisk disk;
    TIniFile empty = disk.Write("[Preferences]\r\nAutoReplace=1\r\n");
    EXPECT_EQ(AppRulesStore::Load(empty).Rules, TAppRules::Defaults().Rules);
    EXPECT_EQ(AppRulesStore::LoadOptions(empty), TAppOptions{});

    AppRulesStore::Save(empty, TAppRules::Defaults());
    EXPECT_FALSE(empty.SectionExists(AppRulesStore::kSection));

    TAppRules mine;
    mine.Rules = {Parsed("class:Emacs,keystrokes"), Parsed("st-256color,paste Ctrl+Shift+V")};
    TAppOptions options;
    options.SkipPasswordFields = false;
    options.RestoreClipboard = true;
    options.RestoreClipboardLimitKB = 512;
    AppRulesStore::Save(empty, mine);
    AppRulesStore::SaveOptions(empty, options);
    ASSERT_TRUE(empty.UpdateFile());
    TIniFile back(disk.path);
    EXPECT_EQ(AppRulesStore::Load(back).Rules, mine.Rules);
    EXPECT_EQ(AppRulesStore::LoadOptions(back), options);

    // A user who removed every rule keeps none: the defaults do not return.
    AppRulesStore::Save(back, TAppRules{});
    ASSERT_TRUE(back.UpdateFile());
    EXPECT_TRUE(AppRulesStore::Load(TIniFile(disk.path)).Rules.empty());
}

TEST(AppRulesStore, HostileSectionKeepsWhatIsGood) {
    TIniOnDisk disk;
    QByteArray ini = "[AppRules]\r\nCount=99999\r\nRule1=class:XTerm,paste Shift+Ins\r\n"
                     "Rule2=garbage\r\nRule3=,off\r\nRuleX=vim,off\r\nRule4=" +
                     QByteArray(5000, 'x') +
                     ",off\r\nRule5=process:vim,keystrokes\r\n"
                     "[Desktop]\r\nRestoreClipboard=banana\r\n"
                     "RestoreClipboardLimit=-7\r\n";
    QStringList problems;
    TAppRules rules = AppRulesStore::Load(disk.Write(ini), &problems);
    ASSERT_EQ(rules.Rules.size(), 2u);
    EXPECT_EQ(rules.Rules[1].Pattern, QStringLiteral("vim"));
    EXPECT_EQ(problems.size(), 3); // Rule2, Rule3, Rule4; "RuleX" is no rule key
    EXPECT_TRUE(problems[0].contains(QStringLiteral("Rule2")));
    const TAppOptions o = AppRulesStore::LoadOptions(TIniFile(disk.path));
    EXPECT_FALSE(o.RestoreClipboard);
    EXPECT_EQ(o.RestoreClipboardLimitKB, TAppOptions::kMinClipboardLimitKB);

    // More rules than the limit: the rest is left out, and said so.
    QByteArray many = "[AppRules]\r\n";
    for (int i = 1; i <= TAppRules::kMaxRules + 10; ++i)
        many += "Rule" + QByteArray::number(i) + "=app" + QByteArray::number(i) + ",off\r\n";
    problems.clear();
    EXPECT_EQ(AppRulesStore::Load(disk.Write(many), &problems).Rules.size(),
              size_t(TAppRules::kMaxRules));
    EXPECT_EQ(problems.size(), 1);
}

class AppContextTest : public ::testing::Test {
protected:
    std::map<BxHwnd, TAppIdentity> apps{
        {1, App("KeePassXC", "keepassxc", {}, 100)},
        {2, App("XTerm", "xterm", {}, 200)},
        {3, App("Mousepad", "mousepad", {}, 300)},
        {4, App("Emacs", "emacs", {}, 400)},
    };
    std::map<BxHwnd, int> asked;
    uint32_t passwordPid = 0;
    TAppContext context;

    void SetUp() override {
        TAppRules rules = TAppRules::Defaults();
        rules.Rules.push_back(Parsed("class:Emacs,keystrokes"));
        context.SetRules(rules);
        context.SetIdentify([this](BxHwnd w) {
            ++asked[w];
            return apps[w];
        });
        context.SetPasswordFocus([this] { return passwordPid; });
    }
};

TEST_F(AppContextTest, RulesAndPasswordFieldsDecideWhetherKeysAreFollowed) {
    EXPECT_FALSE(context.FollowsKeys(1)); // a password manager
    EXPECT_TRUE(context.FollowsKeys(2));
    EXPECT_TRUE(context.FollowsKeys(3));

    // A password field of the program typed into stops the following; one
    // of another program does not.
    passwordPid = 300;
    bool entered = false;
    EXPECT_FALSE(context.FollowsKeys(3, &entered));
    EXPECT_TRUE(entered);
    EXPECT_FALSE(context.FollowsKeys(3, &entered));
    EXPECT_FALSE(entered); // only the first key after followed ones
    EXPECT_TRUE(context.FollowsKeys(2, &entered));
    passwordPid = UINT32_MAX; // the bus could not name the process: any window
    EXPECT_FALSE(context.FollowsKeys(2));
    context.SetSkipPasswordFields(false);
    EXPECT_TRUE(context.FollowsKeys(2));

    // Each window was asked about once: the answers are kept.
    for (const auto& [window, count] : asked)
        EXPECT_EQ(count, 1) << window;
}

TEST_F(AppContextTest, TypingFollowsTheTargetsRule) {
    TTypingOptions base;
    base.UseClipboard = true;
    base.ClipboardCommandKeys = EncodeKeyInText(TextToKeyCode("Shift+Ins"));

    TTypingOptions o = base;
    context.AdjustTyping(o, 3);
    EXPECT_TRUE(o.UseClipboard);
    EXPECT_EQ(o.ClipboardCommandKeys, base.ClipboardCommandKeys);

    o = base;
    context.AdjustTyping(o, 4);
    EXPECT_FALSE(o.UseClipboard); // keystrokes forced

    apps[5] = App("Gnome-terminal", "gnome-terminal-server");
    o = base;
    context.AdjustTyping(o, 5);
    EXPECT_TRUE(o.UseClipboard);
    EXPECT_EQ(o.ClipboardCommandKeys, EncodeKeyInText(TextToKeyCode("Ctrl+Shift+V")));

    // New rules apply at once, without waiting for the kept answers to expire.
    context.SetRules(TAppRules{});
    o = base;
    context.AdjustTyping(o, 4);
    EXPECT_TRUE(o.UseClipboard);
}
