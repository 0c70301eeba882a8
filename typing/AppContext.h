#pragma once
// Where the keys go: the application rules and the password-field check,
// asked on every key, so the answers about a window are kept for a while
// and the password state is a flag the hook library keeps up to date.
// UI thread only.
#include "hook/HookApi.h"
#include "typing/AppRules.h"

#include <array>
#include <cstdint>
#include <functional>

struct TTypingOptions;

class TAppContext {
public:
    // How a window's application is found out; the desktop's by default.
    using TIdentify = std::function<TAppIdentity(BxHwnd)>;
    // The process whose password field has the focus, 0 none, all ones
    // when its process is not known.
    using TPasswordFocus = std::function<uint32_t()>;

    TAppContext();

    // The user's rules and options; the clipboard option goes to the hook library.
    void Configure(const TAppRules& rules, const TAppOptions& options);
    void SetRules(const TAppRules& rules);
    const TAppRules& Rules() const { return rules_; }
    void SetSkipPasswordFields(bool on) { skipPasswords_ = on; }
    void SetIdentify(TIdentify identify);
    void SetPasswordFocus(TPasswordFocus query) { passwordFocus_ = std::move(query); }

    // The rule for the application of window; null when none applies.
    const TAppRule* RuleFor(BxHwnd window);
    // A password field of window's application has the focus.
    bool PasswordFocused(BxHwnd window);
    // Keys typed in window are to be followed by auto-replace: no rule
    // turns it off there and no password field has the focus. entered is
    // set when this key is the first that is not followed after some that were.
    bool FollowsKeys(BxHwnd window, bool* entered = nullptr);
    // A typing run's options as the target's application wants them.
    void AdjustTyping(TTypingOptions& options, BxHwnd window);

    // The application behind a window on this desktop: WM_CLASS through the
    // hook library, the process names from /proc.
    static TAppIdentity DesktopIdentity(BxHwnd window);
    // The names a local process goes by: its command and executable.
    static QStringList ProcessNames(uint32_t pid);

private:
    struct TCached {
        BxHwnd window = 0;
        int rule = -1; // index into rules_, -1 none
        uint32_t pid = 0;
        int64_t expires = 0;
    };
    TAppRules rules_;
    TIdentify identify_;
    TPasswordFocus passwordFocus_;
    bool skipPasswords_ = true;
    bool following_ = true;
    // Recently asked windows; a window id can be reused by another program,
    // so an answer is asked again after a while.
    std::array<TCached, 8> cache_{};
    size_t nextSlot_ = 0;
    const TCached& Lookup(BxHwnd window);
};
