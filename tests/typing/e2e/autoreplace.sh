#!/usr/bin/env bash
# Auto-replace for real: a keyword typed in a Tk text widget, ended by a
# delimiter, becomes the entry's text; keystroke and clipboard paths both.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

start_brevix() { # useClipboard
    e2e_brevix_config Sample RunMinimized=1 "UseClipboard=$1" Pause=0 <"$root/resources/sample.jsonl" ||
        fail "bxdict create"
    BREVIX_BIN="$bin" e2e_start_brevix || fail "Brevix did not start"
    # Started minimised to the tray: wait until it watches keys.
    sleep 1.5
    e2e_focus_target
}

stop_brevix() {
    kill -TERM "$E2E_BREVIX_PID" 2>/dev/null
    wait "$E2E_BREVIX_PID" 2>/dev/null
}

check() { # typed expected
    e2e_target_clear
    e2e_focus_target
    # Our window lets go of the keyboard asynchronously; keys typed in the
    # same instant would still count as typed in Brevix.
    sleep 0.6
    xdotool type --delay 40 "$1"
    e2e_wait_text "$2" 5 || fail "typing '$1' gave '$(e2e_target_text)', expected '$2'"
}

start_brevix 0
check "btw " "by the way "
check "I said Thx." "I said Thank you very much!."
check "teh cat" "the cat"
check "nothing here " "nothing here "
stop_brevix

start_brevix 1
check "fyi " "for your information "
stop_brevix
echo "e2e auto-replace: passed"
