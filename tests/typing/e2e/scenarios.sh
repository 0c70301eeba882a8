#!/usr/bin/env bash
# Everyday use for real, in a Tk text widget: case adaptation, key tags typed
# key by key while plain text is pasted, an entry shortcut typing without
# raising the main window, the hot key raising it, line deletion, no-space and
# dates.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"
main_title='^Brevix 10\.00'

start_brevix() { # useClipboard
    # 0x6070: Ctrl+Shift+F1.
    e2e_brevix_config Scen RunMinimized=1 "UseClipboard=$1" Pause=0 <<'EOF' || fail "bxdict create"
{"keyword":"btw","description":"By the way","text":"by the way"}
{"keyword":"fyi","description":"For your information","text":"for your information"}
{"keyword":"tabs","description":"Keys","text":"a{@KEY Tab 3}b{@CR}c"}
{"keyword":"sc","description":"Shortcut","text":"from the shortcut","shortcut":24688}
{"keyword":"dl","description":"Deleted line","text":"keep{@CR}drop me{@DELETELINE}{@CR}Date {@SHORTDATE}{@NOSPACE}"}
EOF
    BREVIX_BIN="$bin" e2e_start_watching_brevix
}

pastes() { cat "$E2E_TARGET_OUT.pastes" 2>/dev/null || echo 0; }


main_window_visible() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_BREVIX_PID" --name "$main_title" 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null | grep -Eq "$main_title" && echo "$w" && return 0
    done
    return 1
}

target_window() {
    xdotool search --limit 1 --pid "$E2E_TARGET_PID" --name "Brevix e2e target" 2>/dev/null | head -1
}

start_brevix 1
target="$(target_window)"
[ -n "$target" ] || fail "no target window"

# Case follows the keyword as typed.
e2e_check "btw " "by the way "
e2e_check "Btw " "By the way "

# Plain text goes by paste; key tags force keystrokes even in clipboard mode.
before="$(pastes)"
e2e_check "fyi " "for your information "
[ "$(pastes)" -gt "$before" ] || fail "plain text was not pasted"
before="$(pastes)"
e2e_check "tabs " $'a\t\t\tb\nc '
[ "$(pastes)" = "$before" ] || fail "a text with key tags was pasted"

# Line deletion, no trailing delimiter, today's date.
e2e_ready
xdotool type --delay 40 "dl "
for _ in $(seq 100); do
    case "$(e2e_target_text)" in *[0-9]) break ;; esac
    sleep 0.05
done
sleep 0.3
got="$(e2e_target_text)"
case "$got" in
"keep"$'\n'"Date "*[0-9]*) ;;
*) fail "line deletion, no-space and date gave '$got'" ;;
esac
case "$got" in *" ") fail "no-space kept the delimiter: '$got'" ;; esac
case "$got" in *drop*) fail "the deleted line was typed: '$got'" ;; esac
year="$(date +%Y)"
case "$got" in *"$year"* | *"${year#20}"*) ;; *) fail "no date of today in '$got'" ;; esac

# An entry shortcut types its entry; the main window stays away.
e2e_ready
xdotool key ctrl+shift+F1
e2e_wait_text "from the shortcut" 5 || fail "the entry shortcut gave '$(e2e_target_text)'"
sleep 0.5
main_window_visible >/dev/null && fail "the entry shortcut showed the main window"
[ "$(xdotool getactivewindow 2>/dev/null)" = "$target" ] || fail "the entry shortcut took the focus from the target"
[ "$(xdotool getwindowfocus 2>/dev/null)" = "$target" ] || fail "the target lost the keyboard focus"

# The hot key brings up the main window with the focus.
e2e_ready
xdotool key F10
main=""
for _ in $(seq 100); do
    main="$(main_window_visible)" && break
    sleep 0.05
done
[ -n "$main" ] || fail "F10 did not show the main window"
for _ in $(seq 100); do
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$main" ] && break
    sleep 0.05
done
[ "$(xdotool getactivewindow 2>/dev/null)" = "$main" ] || fail "F10 did not activate the main window"
[ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] || fail "F10 did not give the main window the keyboard focus"
[ -z "$(e2e_target_text)" ] || fail "F10 typed into the target: '$(e2e_target_text)'"
e2e_stop_brevix

echo "e2e scenarios: passed"
