#!/usr/bin/env bash
# The scripted demo of `make run` without a display: a virtual X desktop, a
# text window, Brevix with the sample dictionary, and keywords typed into
# the text window as a user would. Prints what happened.
set -u
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
export BREVIX_BIN="$root/$build/bin/brevix"
. "$root/tests/e2e/harness.sh"
e2e_start || { echo "demo: cannot start a virtual display (is Xvfb installed?)"; exit 1; }

cfg="$E2E_DIR/cfg"
mkdir -p "$cfg"
printf '[Preferences]\r\nRunMinimized=1\r\n' >"$cfg/Brevixo.ini"
"$root/$build/bin/bxdict" create "$cfg/Sample.bxd" --info "Sample dictionary" <"$root/resources/sample.jsonl" >/dev/null
printf '%s\r\n' "$cfg/Sample.bxd" >"$cfg/PAGES.CFG"

echo "demo: virtual display $DISPLAY, configuration folder $cfg"
echo "demo: the sample dictionary holds:"
"$root/$build/bin/bxdict" dump "$cfg/Sample.bxd" | sed 's/^/    /'
e2e_start_brevix || { echo "demo: Brevix did not start"; cat "$E2E_DIR/brevix.log"; exit 1; }
echo "demo: Brevix is running (process $E2E_BREVIX_PID), hidden as at every start"
sleep 1.5

type_and_show() {
    e2e_target_clear
    e2e_focus_target
    sleep 0.3
    xdotool type --delay 60 "$1"
    sleep 1.2
    printf 'demo: typed %-18s -> the text window holds "%s"\n' "\"$1\"" "$(e2e_target_text | tr '\n' '|')"
}

type_and_show "btw "
type_and_show "I said thx."
type_and_show "teh cat "
type_and_show "Fyi, "
type_and_show "addr "
shots="$root/$build/screens"
mkdir -p "$shots"
e2e_screenshot "$shots/demo.png" && echo "demo: screenshot $shots/demo.png"

kill -TERM "$E2E_BREVIX_PID"
wait "$E2E_BREVIX_PID" 2>/dev/null
echo "demo: Brevix closed; it wrote $(grep -c . "$cfg/Brevixo.ini") lines of settings to $cfg/Brevixo.ini"
