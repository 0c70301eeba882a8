#!/usr/bin/env bash
# The X server goes away under a running Brevix: idle, and in the middle of
# typing a long expansion. Brevix must end by itself, with a status, never
# with a signal (a crash in the destructors under its own threads).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
. "$root/tests/e2e/harness.sh"
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

long="$(printf 'word%.0s ' $(seq 120))"
run() { # name typing(0|1)
    e2e_start || exit $?
    printf '{"keyword":"addr","text":"12 Harbour Street"}\n{"keyword":"lng","text":"%s"}\n' "$long" |
        e2e_brevix_config D RunMinimized=1 UseClipboard=0 Pause=0 || e2e_fail "bxdict create"
    BREVIX_BIN="$bin" e2e_start_watching_brevix
    e2e_check "addr " "12 Harbour Street "
    if [ "$2" = 1 ]; then
        e2e_ready
        xdotool type --delay 40 "lng "
        # Some of the text is typed, not all of it.
        for _ in $(seq 100); do [ "$(e2e_target_text | wc -c)" -gt 20 ] && break; sleep 0.02; done
    fi
    kill -KILL "${E2E_PIDS[0]}" # Xvfb
    local rc
    for _ in $(seq 200); do kill -0 "$E2E_BREVIX_PID" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$E2E_BREVIX_PID" 2>/dev/null && e2e_fail "$1: Brevix did not end within 10 s of the display"
    wait "$E2E_BREVIX_PID"
    rc=$?
    [ "$rc" -lt 128 ] || e2e_fail "$1: Brevix ended with signal $((rc - 128))"
    grep -q "the X display is gone" "$E2E_DIR/brevix.log" || e2e_fail "$1: no word of the lost display"
    e2e_stop
}
run idle 0
run typing 1
echo "e2e display lost: passed"
