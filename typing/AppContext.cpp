#include "typing/AppContext.h"
#include "platform/Keycodes.h"
#include "typing/TypingHost.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {
// How long what is known of a window is trusted; asking again costs a few
// round trips to the X server.
constexpr int64_t kCacheMsec = 10000;
constexpr int kNameSize = 256;

int64_t Now() {
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

TAppContext::TAppContext()
    : identify_(&TAppContext::DesktopIdentity), passwordFocus_(&BxPasswordFocusProcess) {}

void TAppContext::Configure(const TAppRules& rules, const TAppOptions& options) {
    SetRules(rules);
    skipPasswords_ = options.SkipPasswordFields;
    // Starts following the focus now, not at the first key typed.
    if (skipPasswords_ && passwordFocus_) passwordFocus_();
    BxSetClipboardRestore(options.RestoreClipboard ? 1 : 0, options.RestoreClipboardLimitKB);
}

void TAppContext::SetRules(const TAppRules& rules) {
    rules_ = rules;
    cache_.fill({});
}

void TAppContext::SetIdentify(TIdentify identify) {
    identify_ = std::move(identify);
    cache_.fill({});
}

const TAppContext::TCached& TAppContext::Lookup(BxHwnd window) {
    const int64_t now = Now();
    for (const TCached& c : cache_)
        if (c.window == window && c.expires > now) return c;
    const TAppIdentity app = identify_(window);
    const TAppRule* rule = rules_.Match(app);
    TCached& slot = cache_[nextSlot_++ % cache_.size()];
    slot = {window, rule ? static_cast<int>(rule - rules_.Rules.data()) : -1, app.Pid,
            now + kCacheMsec};
    return slot;
}

const TAppRule* TAppContext::RuleFor(BxHwnd window) {
    if (!window || rules_.Rules.empty()) return nullptr;
    const TCached& c = Lookup(window);
    return c.rule < 0 ? nullptr : &rules_.Rules[static_cast<size_t>(c.rule)];
}

bool TAppContext::PasswordFocused(BxHwnd window) {
    if (!skipPasswords_ || !passwordFocus_) return false;
    const uint32_t pid = passwordFocus_();
    if (pid == 0) return false;
    // The bus knows no window: the field counts only while its own
    // application is the one typed into.
    return pid == UINT32_MAX || !window || Lookup(window).pid == pid;
}

bool TAppContext::FollowsKeys(BxHwnd window, bool* entered) {
    const TAppRule* rule = nullptr;
    const bool follows = !PasswordFocused(window) &&
                         (!(rule = RuleFor(window)) || rule->Action != TAppAction::NoAutoReplace);
    if (entered) *entered = !follows && following_;
    following_ = follows;
    return follows;
}

void TAppContext::AdjustTyping(TTypingOptions& options, BxHwnd window) {
    if (rules_.Rules.empty()) return;
    const TAppRule* rule = RuleFor(window ? window : BxFocusWindow());
    if (!rule) return;
    if (rule->Action == TAppAction::Keystrokes) options.UseClipboard = false;
    if (rule->Action == TAppAction::PasteKey) {
        const QByteArray keys = EncodeKeyInText(rule->PasteKey);
        if (!keys.isEmpty()) options.ClipboardCommandKeys = keys;
    }
}

TAppIdentity TAppContext::DesktopIdentity(BxHwnd window) {
    TAppIdentity id;
    char cls[kNameSize] = {}, instance[kNameSize] = {};
    if (BxWindowAppClass(window, cls, kNameSize, instance, kNameSize)) {
        id.ClassName = QString::fromUtf8(cls);
        id.Instance = QString::fromUtf8(instance);
    }
    id.Pid = BxWindowProcess(window);
    id.Processes = ProcessNames(id.Pid);
    return id;
}

QStringList TAppContext::ProcessNames(uint32_t pid) {
    QStringList names;
    if (pid == 0) return names;
    const QString dir = QStringLiteral("/proc/%1/").arg(pid);
    QFile comm(dir + QStringLiteral("comm"));
    if (comm.open(QIODevice::ReadOnly)) {
        const QString name = QString::fromUtf8(comm.read(64)).trimmed();
        if (!name.isEmpty()) names << name;
    }
    // The command is cut to 15 characters; the executable's name is whole.
    QString exe = QFileInfo(QFile::symLinkTarget(dir + QStringLiteral("exe"))).fileName();
    exe.remove(QStringLiteral(" (deleted)"));
    if (!exe.isEmpty() && !names.contains(exe)) names << exe;
    return names;
}
