#!/usr/bin/env bash
# A keyword typed into Brevix's own input form expands there, for real: keys
# typed into the field form's free text go through Qt and are also recorded
# by the hook; the keyword is replaced once, the delimiter follows it once,
# and the keys typed right after land behind it.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
. "$here/review.sh"
e2e_start || exit $?
shots="${1:-}"
shot() { [ -n "$shots" ] && mkdir -p "$shots" && e2e_screenshot "$shots/$1.png"; return 0; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

{
    printf '%s\n' '{"keyword":"letter","text":"Dear {@INPUT(Name) Your name?}, {@INPUT Fruit? @SINGLE\r\napple\r\npear}!"}'
    printf '%s\n' '{"keyword":"addr","text":"12 Harbour Street"}'
} | e2e_brevix_config Letters RunMinimized=1 UseClipboard=0 Pause=0 || e2e_fail "bxdict create"
BREVIX_BIN="$bin" e2e_start_watching_brevix

e2e_ready
xdotool type --delay 40 "letter "
e2e_brevix_window "Brevix Input Field #1" >/dev/null || e2e_fail "the input field form did not open"
sleep 0.5
xdotool type --delay 40 "at addr x"
sleep 0.3
shot own_input_field
xdotool key Return
e2e_brevix_window "Brevix Input Field #2" >/dev/null || e2e_fail "the pick list was not asked for"
sleep 0.5
xdotool key Down Return
# The filled-in fields changed the text: it is shown for review, where Enter types it.
want="Dear at 12 Harbour Street x, pear! "
e2e_wait_review || e2e_fail "the filled-in text was not shown for review"
sleep 0.3
[ -z "$(e2e_target_text)" ] || e2e_fail "the text was typed without a review"
shot own_input_review
xdotool key Return
e2e_wait_text "$want" 8 || e2e_fail "the text with the expansion made in the form did not reach the target"
e2e_stop_brevix
echo "e2e own input: passed"
