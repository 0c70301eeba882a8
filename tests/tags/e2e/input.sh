#!/usr/bin/env bash
# Input fields for real: a keyword typed in the Tk target whose text asks for
# a name and a choice opens the form; keys typed into the form fill it; the
# filled-in text is edited in the review; the finished text and the keyword's
# delimiter land in the target, which has the focus again.
# Screenshots of the form's pages and of the input text window go to $1 when given.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
. "$here/review.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
shots="${1:-}"
shot() { [ -n "$shots" ] && mkdir -p "$shots" && e2e_screenshot "$shots/$1.png"; return 0; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

printf '%s\n' '{"keyword":"letter","description":"Letter","text":"Dear {@INPUT(Name) Your name?}, {@INPUT Fruit? @SINGLE\r\napple\r\npear}! Bye {Name}"}' |
    e2e_brevix_config Letters RunMinimized=1 UseClipboard=0 Pause=0 || fail "bxdict create"
BREVIX_BIN="$bin" e2e_start_watching_brevix

e2e_ready
xdotool type --delay 40 "letter "
form="$(e2e_brevix_window "Brevix Input Field #1")" || fail "the input field form did not open"
sleep 0.5
shot form_text
xdotool type --delay 40 "Ann"
xdotool key Return
e2e_brevix_window "Brevix Input Field #2" >/dev/null || fail "the pick list was not asked for"
sleep 0.5
shot form_picklist
xdotool key Down Return
e2e_wait_review || fail "the filled-in text was not shown for review"
sleep 0.3
[ -z "$(e2e_target_text)" ] || fail "the text was typed without a review"
shot input_text_window
# The review: Type It has the focus; Shift+Tab goes to the text, which the
# user edits; Enter types it, followed by the Space that ended the keyword.
xdotool key shift+Tab ctrl+End
xdotool type --delay 40 " Thanks"
sleep 0.3
shot input_text_window_edited
xdotool key Return
e2e_wait_text "Dear Ann, pear! Bye Ann Thanks " 8 || fail "the reviewed text and its delimiter did not reach the target"
target="$(xdotool search --limit 1 --pid "$E2E_TARGET_PID" --name "Brevix e2e target" | head -1)"
[ "$(xdotool getactivewindow 2>/dev/null)" = "$target" ] || fail "the target does not have the focus again"
# Keys typed now go to the target, not to a Brevix window.
xdotool type --delay 40 "ok"
e2e_wait_text "Dear Ann, pear! Bye Ann Thanks ok" 5 || fail "the target did not get the keys typed after"
e2e_stop_brevix
echo "e2e input fields: passed"
