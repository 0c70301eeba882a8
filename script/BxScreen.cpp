// bx_screen: other windows and the keyboard, through the hook library.
#include "hook/HookApi.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "platform/VirtualKeys.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace BxArgs;

namespace {

constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;
constexpr int MaxClassName = 255;

QByteArray Number(qulonglong n) {
    return QByteArray::number(n);
}

// A window handle: a decimal number that fits an X window id.
std::optional<BxHwnd> ParseHandle(const QByteArray& text) {
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 10);
    return ok && v <= 0xFFFFFFFFull ? std::optional<BxHwnd>(static_cast<BxHwnd>(v)) : std::nullopt;
}

QByteArray BadHandle(const QByteArray& text) {
    return "bad handle value \"" + text + "\"";
}

// Script texts are Windows-1252, the desktop's UTF-8.
std::string ToDesktop(const QByteArray& ansi) {
    return Ansi::ToUnicode(ansi).toUtf8().toStdString();
}

// A text the hook library copies out (class name, title); empty for an unknown window.
std::optional<QByteArray> Fetch(int (*get)(BxHwnd, char*, int), BxHwnd window) {
    const int length = get(window, nullptr, 0);
    if (length < 0) return std::nullopt;
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    if (get(window, buffer.data(), static_cast<int>(buffer.size())) < 0) return std::nullopt;
    return Ansi::FromUnicode(QString::fromUtf8(buffer.data()));
}

// The modifiers of a key code as virtual keys, in the order they are pressed.
std::vector<int> Modifiers(uint16_t code) {
    std::vector<int> keys;
    if (code & shortcut::Shift) keys.push_back(vk::Shift);
    if (code & shortcut::Ctrl) keys.push_back(vk::Control);
    if (code & shortcut::Alt) keys.push_back(vk::Menu);
    return keys;
}

bool IsDown(uint16_t code) {
    const int key = code & 0xFF;
    const std::vector<int> mods = Modifiers(code);
    if (mods.empty()) return BxKeyIsDown(key) != 0; // the locks answer their state
    for (int m : mods)
        if (!BxKeyIsDown(m)) return false;
    return key == 0 || BxKeyIsDown(key);
}

void Press(uint16_t code) {
    const std::vector<int> mods = Modifiers(code);
    constexpr int Down = 0, Up = 2;
    for (int m : mods)
        SimKey(m, 0, Down, 0);
    SimKey(code & 0xFF, 0, Down, 0);
    SimKey(code & 0xFF, 0, Up, 0);
    for (int m : mods)
        SimKey(m, 0, Up, 0);
}

// The window of this program that is active; 0 when another program's is.
BxHwnd OwnActiveWindow() {
    const BxHwnd fg = BxForegroundWindow();
    return fg && BxWindowProcess(fg) == static_cast<uint32_t>(getpid()) ? fg : 0;
}

// Each top-level window in turn until the procedure answers "0".
int EnumWindows(TBxContext& ctx, const QByteArray& proc, const QByteArray& clientData,
                QByteArray& result) {
    std::vector<BxHwnd> windows(256);
    int n = BxTopWindows(windows.data(), static_cast<int>(windows.size()));
    if (n > static_cast<int>(windows.size())) {
        windows.resize(static_cast<size_t>(n));
        n = BxTopWindows(windows.data(), n);
    }
    if (n < 0) {
        result = "-1";
        return Ok;
    }
    windows.resize(std::min(windows.size(), static_cast<size_t>(n)));
    const QByteArray data = ctx.Tcl.Merge({clientData});
    for (BxHwnd w : windows) {
        // A failing procedure ends the enumeration with its error.
        if (!ctx.Tcl.Eval(proc + ' ' + Number(w) + ' ' + data)) {
            result = ctx.Tcl.GetResult();
            return Error;
        }
        if (ctx.Tcl.GetResult() == "0") {
            result = Number(w);
            return Ok;
        }
    }
    result = "0";
    return Ok;
}

} // namespace

int BxScreenCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    if (argv.size() < 2) {
        result = WrongArgs(argv.value(0) + " option arg ?arg ...?");
        return Error;
    }
    const QByteArray& option = argv[1];
    const qsizetype argc = argv.size();
    const auto fail = [&](const QByteArray& message) {
        result = message;
        return Error;
    };
    // "option ?handle?": false with the message set when the arguments are wrong.
    std::optional<BxHwnd> handle;
    const auto optionalHandle = [&](const QByteArray& usage) {
        if (argc > 3) {
            result = WrongArgs("bx_screen " + usage);
            return false;
        }
        if (argc == 3 && !(handle = ParseHandle(argv[2]))) {
            result = BadHandle(argv[2]);
            return false;
        }
        return true;
    };

    if (option == "foregroundwindow" || option == "_foregroundwindow") {
        if (!optionalHandle(option + " ?handle?")) return Error;
        if (handle) {
            if (option == "foregroundwindow") {
                // As for a file dialog: the program is in front first.
                if (ctx.Host.IsMinimized()) ctx.Host.ShowNormal();
                ctx.Host.Activate();
                ctx.Host.SetFSM(BX_FSM_SUSPENDED);
            }
            if (!BxSetForegroundWindow(*handle))
                return fail("unable to set foreground window " + Number(*handle));
        }
        result = Number(BxForegroundWindow());
        return Ok;
    }
    if (option == "findwindow") {
        if (argc < 3 || argc > 4)
            return fail(WrongArgs("bx_screen findwindow className ?windowName?"));
        const std::string title = argc == 4 ? ToDesktop(argv[3]) : std::string();
        result =
            Number(BxFindWindow(ToDesktop(argv[2]).c_str(), argc == 4 ? title.c_str() : nullptr));
        return Ok;
    }
    if (option == "classname") {
        if (argc != 3) return fail(WrongArgs("bx_screen classname handle"));
        const std::optional<BxHwnd> h = ParseHandle(argv[2]);
        if (!h) return fail(BadHandle(argv[2]));
        const std::optional<QByteArray> name = Fetch(BxWindowClass, *h);
        if (!name) return fail("unable to get class name (bad handle?)");
        result = name->left(MaxClassName);
        return Ok;
    }
    if (option == "windowtext") {
        if (argc < 3 || argc > 4) return fail(WrongArgs("bx_screen windowtext handle ?text?"));
        const std::optional<BxHwnd> h = ParseHandle(argv[2]);
        if (!h) return fail(BadHandle(argv[2]));
        if (argc == 4 && !BxSetWindowTitle(*h, ToDesktop(argv[3]).c_str()))
            return fail("unable to set window text (bad handle?)");
        const std::optional<QByteArray> title = Fetch(BxWindowTitle, *h);
        if (!title) return fail(BadHandle(argv[2]));
        result = *title;
        return Ok;
    }
    if (option == "iskeydown") {
        if (argc != 3) return fail(WrongArgs("bx_screen iskeydown keyCode"));
        const uint16_t code = TextToKeyCode(argv[2]);
        if (!code) return fail("bad key code: " + argv[2]);
        result = IsDown(code) ? "1" : "0";
        return Ok;
    }
    if (option == "key") {
        if (argc < 3) return fail(WrongArgs("bx_screen key keyCode1 keyCode2 ..."));
        // Keys go out one text at a time: those before a bad one are sent.
        for (qsizetype i = 2; i < argc; ++i) {
            const uint16_t code = TextToKeyCode(argv[i]);
            if (!(code & 0xFF)) return fail("bad key code: " + argv[i]);
            Press(code);
        }
        return Ok;
    }
    if (option == "enumwindows") {
        if (argc != 4) return fail(WrongArgs("bx_screen enumwindows tclProc clientData"));
        return EnumWindows(ctx, argv[2], argv[3], result);
    }
    if (option == "focus") {
        if (!optionalHandle("focus ?handle?")) return Error;
        if (handle && !BxSetFocusWindow(*handle)) return fail(BadHandle(argv[2]));
        result = Number(BxFocusWindow());
        return Ok;
    }
    if (option == "getthreadid") {
        if (!optionalHandle("getthreadid ?handle?")) return Error;
        // X has no thread owning a window: its process stands for it, and
        // this program's main thread, whose id is the process id, for ours.
        if (handle && !BxWindowExists(*handle)) return fail(BadHandle(argv[2]));
        result = Number(handle ? BxWindowProcess(*handle) : static_cast<uint32_t>(getpid()));
        return Ok;
    }
    if (option == "attachthreadinput") {
        if (argc != 4) return fail(WrongArgs("bx_screen attachthreadinput threadid 1|0"));
        const std::optional<int> thread = ParseInt(argv[2]);
        if (!thread) return fail("bad threadId value \"" + argv[2] + "\"");
        if (!ParseInt(argv[3]))
            return fail("bad value \"" + argv[3] +
                        "\": must be either \"1\" (attach) or \"0\" (detach)");
        if (*thread == getpid()) return fail("threadId cannot be the same as current thread id");
        // X shares one input among all clients: there is nothing to attach.
        return Ok;
    }
    if (option == "activewindow") {
        if (!optionalHandle("activewindow ?handle?")) return Error;
        if (handle) {
            if (!BxWindowExists(*handle)) return fail(BadHandle(argv[2]));
            BxSetForegroundWindow(*handle);
        }
        result = Number(OwnActiveWindow());
        return Ok;
    }
    if (option == "setwindowtop") {
        if (argc != 3) return fail(WrongArgs("bx_screen setwindowtop ?handle?"));
        const std::optional<BxHwnd> h = ParseHandle(argv[2]);
        if (!h || !BxRaiseWindow(*h)) return fail(BadHandle(argv[2]));
        return Ok;
    }
    return fail(BadOption(option, "classname, findwindow, foregroundwindow, iskeydown, key or "
                                  "windowtext"));
}
