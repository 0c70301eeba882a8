#!/usr/bin/env bash
# Brevix under a real X server: the main window appears, a second copy hands
# over to the first and ends, and a session-end close writes the settings.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
shots="${1:-$here/../../build/screens}"
. "$here/../e2e/harness.sh"
e2e_start || exit $?
fail() { echo "FAIL: $*" >&2; cat "$E2E_DIR/brevix.log" >&2 2>/dev/null; exit 1; }

mkdir -p "$E2E_DIR/cfg" "$shots"
printf '[Preferences]\r\nRunMinimized=0\r\n' >"$E2E_DIR/cfg/Brevixo.ini"
# A dictionary to show, made with the command-line tool.
bxdict="$(dirname "${BREVIX_BIN:-$here/../../build/bin/brevix}")/bxdict"
"$bxdict" create "$E2E_DIR/cfg/Sample.bxd" --info "Sample" <"$here/../../resources/sample.jsonl" ||
    fail "bxdict create"
printf '%s\r\n' "$E2E_DIR/cfg/Sample.bxd" >"$E2E_DIR/cfg/PAGES.CFG"

e2e_start_brevix || fail "Brevix did not start"
win="$(xdotool search --sync --limit 1 --pid "$E2E_BREVIX_PID" --name "Brevix 10.00")" || fail "no main window"
title="$(xdotool getwindowname "$win")"
[ "$title" = "Brevix 10.00 - Sample.bxd" ] || fail "title is '$title'"
sleep 0.5
import -window root "$shots/mainform.png" 2>/dev/null || fail "screenshot"

# A second copy finds the first, brings it forward and ends by itself.
bin="${BREVIX_BIN:-$here/../../build/bin/brevix}"
timeout 20 "$bin" "/CFG=$E2E_DIR/cfg" >"$E2E_DIR/second.log" 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "second instance ended with $rc"
kill -0 "$E2E_BREVIX_PID" 2>/dev/null || fail "the first instance died"

# The desktop session ends: no question, settings written, clean exit.
kill -TERM "$E2E_BREVIX_PID"
for _ in $(seq 1 100); do kill -0 "$E2E_BREVIX_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$E2E_BREVIX_PID" 2>/dev/null && fail "Brevix did not close"
wait "$E2E_BREVIX_PID"
rc=$?
[ "$rc" -eq 0 ] || fail "Brevix exited with $rc"
ini="$E2E_DIR/cfg/Brevixo.ini"
grep -q '^\[MainForm\]' "$ini" || fail "no [MainForm] written"
grep -q '^SwitchFocusDelay=10' "$ini" || fail "SwitchFocusDelay not written"
grep -q 'Sample.bxd' "$E2E_DIR/cfg/HISTORY.CFG" || fail "history not written"
# Asked to end while a start-up dialog is up (a first start asks for a
# dictionary): the dialog is cancelled and the program ends by itself.
mkdir -p "$E2E_DIR/fresh"
"$bin" "/CFG=$E2E_DIR/fresh" >"$E2E_DIR/fresh.log" 2>&1 &
fresh=$!
E2E_PIDS+=("$fresh")
_e2e_wait 20 xdotool search --name "Open Dictionary" || fail "no start-up dialog"
kill -TERM "$fresh"
for _ in $(seq 1 100); do kill -0 "$fresh" 2>/dev/null || break; sleep 0.1; done
kill -0 "$fresh" 2>/dev/null && fail "a request to end during start-up was lost"
wait "$fresh" || fail "Brevix ended with $? after a request to end during start-up"
[ -f "$E2E_DIR/fresh/Brevixo.ini" ] || fail "no settings written after ending during start-up"
echo "e2e smoke: passed (screenshot $shots/mainform.png)"
