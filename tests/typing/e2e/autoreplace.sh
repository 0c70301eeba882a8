#!/usr/bin/env bash
# Auto-replace for real: a keyword typed in a Tk text widget, ended by a
# delimiter, becomes the entry's text; keystroke and clipboard paths both.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { cp "$E2E_DIR/brevix.log" /tmp/brevix-last.log 2>/dev/null; echo "FAIL: $*" >&2; echo "target: [$(e2e_target_text)]" >&2; cat "$E2E_DIR/brevix.log" >&2 2>/dev/null; exit 1; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

start_brevix() { # useClipboard
    mkdir -p "$E2E_DIR/cfg"
    printf '[Preferences]\r\nRunMinimized=1\r\nUseClipboard=%s\r\nPause=0\r\n' "$1" >"$E2E_DIR/cfg/Brevixo.ini"
    "$(dirname "$bin")/bxdict" create "$E2E_DIR/cfg/Sample.bxd" <"$root/resources/sample.jsonl" >/dev/null 2>&1 ||
        [ -f "$E2E_DIR/cfg/Sample.bxd" ] || fail "bxdict create"
    printf '%s\r\n' "$E2E_DIR/cfg/Sample.bxd" >"$E2E_DIR/cfg/PAGES.CFG"
    BREVIX_BIN="$bin" e2e_start_brevix || fail "Brevix did not start"
    # Started minimised to the tray: wait until it watches keys.
    sleep 1.5
    e2e_focus_target
}

stop_brevix() {
    cp "$E2E_DIR/brevix.log" /tmp/brevix-last.log 2>/dev/null; kill -TERM "$E2E_BREVIX_PID" 2>/dev/null
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
