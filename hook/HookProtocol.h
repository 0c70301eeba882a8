#pragma once
/* The protocol between the hook library and the program: the state machine,
 * the messages either side sends, the option bits of auto-replace, the codes
 * inside a playback text and the modifier bits of a shortcut code. The
 * numbers are stored in files and settings or cross a process boundary, so
 * they never change. No Qt; the plain enums are usable from C. */
#include <stdint.h>

typedef uint32_t BxHwnd; /* X11 window id; 0 = none */

/* States of the library's state machine. */
enum {
    BX_FSM_WATCHING = 1,
    BX_FSM_SUSPENDED = 3,
    BX_FSM_TYPING = 4,
    BX_FSM_TYPING2 = 5,
    BX_FSM_HANDED_OVER = 8,
    BX_FSM_NEXTKEY = 9,
    BX_FSM_RECORDING = 10
};

/* Messages the library sends to the main window. */
enum {
    BX_MSG_KEY = 0x464,      /* wParam shortcut code; HIWORD(lParam) 1 down, 2 perform, 0 up */
    BX_MSG_PLAYBACK = 0x466, /* call InstallPlayBackFunc(1) */
    BX_MSG_QUERY = 0x467,    /* result 0 */
    BX_MSG_IGNORED1 = 0x468,
    BX_MSG_MOUSE_RESET = 0x469, /* mouse click while mouse resets are on */
    BX_MSG_IGNORED2 = 0x46A,
    BX_MSG_NEXT_KEY = 0x46C,   /* to the SetGetNextKeyHwnd window: wParam shortcut code */
    BX_MSG_PREV_CHAR = 0x46D,  /* wParam a character; result the previous key's character */
    BX_MSG_RECORD_KEY = 0x46E, /* state 10: every key to the recorder window, as BX_MSG_KEY */
    BX_MSG_SHOW_MAIN = 0x40E   /* from a second instance: open as from the tray */
};

#define BX_KEYFLAG_UP 0
#define BX_KEYFLAG_DOWN 1
#define BX_KEYFLAG_PERFORM 2

#ifdef __cplusplus

/* The main window's service messages: what the auto-replace engine asks of it. */
namespace svc {
constexpr uint32_t PostKey = 0x400;           // wParam virtual key for one of our own controls
constexpr uint32_t Lookup = 0x401;            // exact keyword lookup
constexpr uint32_t CallingWindow = 0x402;     // GetCallingHwnd()
constexpr uint32_t LookupDescription = 0x403; // like Lookup, description only
constexpr uint32_t OwnInputControl = 0x404;   // the program's own input control, or 0
constexpr uint32_t SetPrefixSuffix = 0x405;   // wParam 0 BackspacePrefix, 1 KeySuffix
constexpr uint32_t Unused406 = 0x406;         // answers 0
constexpr uint32_t ShortcutKind = 0x407;      // what a shortcut code is registered as
constexpr uint32_t DictionaryRef = 0x408;     // the current dictionary (in-process)
constexpr uint32_t CaretPos = 0x409;          // GetCaretScreenPos()
constexpr uint32_t CompletionLookup = 0x40A;  // keyword followed by commas
constexpr uint32_t AddEntry = 0x40B;          // posted: add-entry request
constexpr uint32_t KeywordBox = 0x40C;        // posted: keyword box request
constexpr uint32_t WaitSetFSM = 0x40D;        // wait lParam ms, then SetFSMState(wParam)
constexpr uint32_t ShowMainWindow = BX_MSG_SHOW_MAIN;
} // namespace svc

/* What the main window posts to itself. */
namespace wm {
constexpr uint32_t FileShortcut = 0x4C8; // wParam the shortcut code, lParam 1 from the window
constexpr uint32_t TypeNow = 0x4CA;      // type the text to type
constexpr uint32_t TypeAfterInput = 0x4CB;
constexpr uint32_t AfterMinimise = 0x4CC;
constexpr uint32_t HideShow = 0x4CD; // wParam 1 show, 0 hide
constexpr uint32_t FirstShow = 0x4CE;
constexpr uint32_t ReturnFocus = 0x4CF;
constexpr uint32_t Deactivate = 0x4D0;
constexpr uint32_t ScriptUp = 0x4D1;   // a script started
constexpr uint32_t ScriptDown = 0x4D2; // a script ended
constexpr uint32_t RestoreApp = 0x4D3;
} // namespace wm

/* AutoReplaceOptions, as stored in the settings. */
enum TAutoReplaceOption : uint16_t {
    aoAutoReplace = 1 << 0,
    aoAutoReplaceBeep = 1 << 1,
    aoAutoReplaceHint = 1 << 2,
    aoAutoComplete = 1 << 3,
    aoAutoReplaceAlwaysShow = 1 << 4,
    aoUseShiftEnter = 1 << 5,
    aoUseCtrlSpace = 1 << 6,
    aoUseAltIns = 1 << 7,
    aoAutoReplaceHintTrackCaret = 1 << 8,
    aoRememberLastExpandedWord = 1 << 9,
    aoAutoHideSuggestionWindow = 1 << 10,
    aoSupportOnscreenKeyboards = 1 << 11,
};
/* What the engine starts with before any settings reach it. */
constexpr uint16_t aoInitialOptions = aoAutoReplace | aoAutoReplaceHint | aoAutoComplete;

/* Shortcut codes (a virtual key plus the modifier bits shortcut::Shift, Ctrl,
 * Alt) are stored in files and settings, so they are defined with the
 * virtual keys, at the bottom layer. */
#include "platform/VirtualKeys.h"

/* The control codes inside a playback text: Lead, a kind byte, an argument
 * byte. The kind's low five bits tell the kind, its high three bits carry
 * the modifiers; the argument is the value + 1, so no byte of a code is NUL. */
namespace playback {
constexpr char Lead = '\x01';
constexpr int CodeLength = 3;
constexpr uint8_t KindPress = 0x01, KindSeconds = 0x02, KindDown = 0x04, KindUp = 0x06,
                  KindMilliseconds = 0x08;
constexpr uint8_t KindMask = 0x1F, ModifierBits = 0xE0;
constexpr uint8_t ModShift = 0x20, ModCtrl = 0x40, ModAlt = 0x80;
constexpr int MaxSeconds = 254, MaxMilliseconds = 200;
} // namespace playback

#endif
