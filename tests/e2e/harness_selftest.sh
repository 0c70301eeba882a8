#!/usr/bin/env bash
# The harness itself: a desktop comes up, a real X client's keys reach the
# target, a screenshot is taken, and everything is gone after e2e_stop.
. "$(dirname "$0")/harness.sh"
e2e_start || exit $?
fail() { echo "FAIL: $*" >&2; exit 1; }

xdotool type --delay 0 "Hello, e2e"
xdotool key Return Tab x
e2e_wait_text $'Hello, e2e\n\tx' || fail "target holds \"$(e2e_target_text)\""
e2e_target_clear || fail "clear"
[ -z "$(e2e_target_text)" ] || fail "not cleared"
e2e_screenshot "$E2E_DIR/shot.png" && [ -s "$E2E_DIR/shot.png" ] || fail "no screenshot"

display="$DISPLAY" pids=("${E2E_PIDS[@]}") dir="$E2E_DIR"
e2e_stop
for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && fail "process $p survived"; done
[ -e "$dir" ] && fail "$dir left behind"
DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && fail "X server still up"
echo "harness ok"
