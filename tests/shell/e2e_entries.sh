#!/usr/bin/env bash
# Entries made from another program, for real: a word typed in the Tk target
# and Alt+Insert open the entry editor on it; its text is typed over, keys
# typed in the target are recorded into it with "&Record", and once confirmed
# the new entry expands in the target. SCREENS=folder keeps screenshots.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
shots="${SCREENS:-}"
shot() { [ -n "$shots" ] && mkdir -p "$shots" && e2e_screenshot "$shots/$1.png"; return 0; }
find_window() { # name
    local w i
    # Only a managed top-level window counts: native child windows of a dialog
    # that steps aside can carry the same name for a moment.
    for i in $(seq 200); do
        for w in $(xdotool search --onlyvisible --pid "$E2E_BREVIX_PID" --name "$1" 2>/dev/null); do
            xprop -id "$w" WM_STATE 2>/dev/null | grep -q "Normal" && { echo "$w"; return 0; }
        done
        sleep 0.05
    done
    return 1
}
gone() { # window
    local i
    for i in $(seq 200); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable" || return 0
        sleep 0.05
    done
    return 1
}

e2e_brevix_config Quick RunMinimized=1 Pause=0 AltInsKeywordPrefix= 'AltInsKeywordSuffix=""' \
    AltInsMinWordLength=3 <<<'{"keyword":"btw","text":"by the way"}' || fail "bxdict create"
e2e_start_watching_brevix

# Quick add: the editor comes up on the word.
e2e_ready
xdotool type --delay 40 "tyvm"
xdotool key alt+Insert
editor="$(find_window 'Dictionary Text \[Add\]')" || fail "no entry editor after Alt+Insert"
sleep 0.5
shot editor_quickadd
# Keyword box, shortcut button, then the text: typed over.
xdotool key --window "$editor" Tab Tab ctrl+a
xdotool type --delay 20 "thank you"

# Record: keys typed in the target become text with tags.
xdotool key alt+r
recorder="$(find_window 'Recording Keystrokes')" || fail "no recorder"
sleep 0.5
e2e_focus_target
sleep 0.3
xdotool key --delay 60 shift+h i Return
sleep 0.5
shot recorder
# Looked up again: the window first found can be one the toolkit has since replaced.
recorder="$(find_window 'Recording Keystrokes')" || fail "the recorder went away"
eval "$(xdotool getwindowgeometry --shell "$recorder")"
# The Stop button sits at the left of the button row.
xdotool mousemove --window "$recorder" "$((WIDTH / 4))" "$((HEIGHT - 18))"
sleep 0.2
xdotool click 1
gone "$recorder" || fail "the recorder did not stop"
sleep 0.5
shot editor_recorded
xdotool key alt+o
gone "$editor" || fail "the editor did not close on OK"
sleep 1

e2e_ready
xdotool type --delay 40 "tyvm "
for _ in $(seq 100); do
    case "$(e2e_target_text)" in "thank youHi"*) break ;; esac
    sleep 0.05
done
got="$(e2e_target_text)"
case "$got" in
"thank youHi"*) ;;
*) fail "the new entry typed '$got', expected 'thank youHi', a new line and a blank" ;;
esac
e2e_stop_brevix
echo "e2e entries: passed"
