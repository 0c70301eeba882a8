#!/usr/bin/env bash
# End-to-end test harness: a private X server (Xvfb) with openbox, a Tk text
# widget as the typing target and, on request, Brevix itself. Source it:
#
#   . tests/e2e/harness.sh
#   e2e_start                 # DISPLAY, E2E_DIR, E2E_TARGET_OUT, E2E_TARGET_PID set
#   e2e_start_brevix          # optional; BREVIX_BIN overrides build/bin/brevix
#   e2e_target_text           # what the target holds now
#   e2e_wait_text "abc" [s]   # waits until the target holds exactly that
#   e2e_target_clear
#   e2e_screenshot out.png
#   e2e_stop                  # also run by the EXIT trap, even on failure
#
# e2e_start returns 77 (the skip code) when Xvfb is not installed.

E2E_PIDS=()
E2E_DIR=""
E2E_TARGET_OUT=""
E2E_TARGET_PID=""
E2E_HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

_e2e_wait() { # seconds command...
    local limit=$(($1 * 20)) i=0
    shift
    until "$@" >/dev/null 2>&1; do
        i=$((i + 1))
        [ "$i" -ge "$limit" ] && return 1
        sleep 0.05
    done
}

_e2e_free_display() {
    local n
    # E2E_DISPLAYS="FIRST LAST" (or E2E_DISPLAY_FIRST/LAST) keeps a run within its own numbers.
    for n in $(seq ${E2E_DISPLAYS:-${E2E_DISPLAY_FIRST:-91} ${E2E_DISPLAY_LAST:-250}}); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

_e2e_wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}

e2e_start() {
    command -v Xvfb >/dev/null || { echo "e2e: Xvfb is not installed" >&2; return 77; }
    local tool
    for tool in openbox wish xdotool xprop xdpyinfo; do
        command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2; return 1; }
    done
    E2E_DIR="$(mktemp -d "${TMPDIR:-/tmp}/brevix-e2e.XXXXXX")"
    trap e2e_stop EXIT
    trap 'exit 130' INT TERM
    local n tries
    for tries in 1 2 3; do
        n="$(_e2e_free_display)" || { echo "e2e: no free display" >&2; return 1; }
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$E2E_DIR/xvfb.log" 2>&1 &
        local xpid=$!
        export DISPLAY=":$n"
        if _e2e_wait 10 xdpyinfo; then
            E2E_PIDS+=("$xpid")
            break
        fi
        kill "$xpid" 2>/dev/null
        wait "$xpid" 2>/dev/null
        [ "$tries" -eq 3 ] && { echo "e2e: Xvfb did not start" >&2; return 1; }
    done
    # The runtime dir keeps the hook library's per-display lock away from the user's.
    export XDG_RUNTIME_DIR="$E2E_DIR/run"
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
    E2E_PIDS+=("$!")
    _e2e_wait 10 _e2e_wm_running || { echo "e2e: openbox did not start" >&2; return 1; }
    E2E_TARGET_OUT="$E2E_DIR/target.txt"
    # shellcheck disable=SC2086 # E2E_TARGET_MODE: empty or "immediate"
    wish "$E2E_HERE/target.tcl" "$E2E_TARGET_OUT" ${E2E_TARGET_MODE:-} >"$E2E_DIR/target.log" 2>&1 &
    E2E_TARGET_PID=$!
    E2E_PIDS+=("$E2E_TARGET_PID")
    _e2e_wait 10 test -s "$E2E_TARGET_OUT.ready" || { echo "e2e: the Tk target did not start" >&2; return 1; }
    e2e_focus_target
    export E2E_DIR E2E_TARGET_OUT E2E_TARGET_PID
    return 0
}

e2e_focus_target() {
    local w
    w="$(xdotool search --sync --limit 1 --pid "$E2E_TARGET_PID" --name "Brevix e2e target" 2>/dev/null | head -1)"
    [ -n "$w" ] && xdotool windowactivate --sync "$w" >/dev/null 2>&1
    [ -n "$w" ] && xdotool windowfocus --sync "$w" >/dev/null 2>&1
    return 0
}

e2e_start_brevix() {
    local bin="${BREVIX_BIN:-$E2E_HERE/../../build/bin/brevix}"
    [ -x "$bin" ] || { echo "e2e: $bin is not built" >&2; return 1; }
    mkdir -p "$E2E_DIR/cfg"
    "$bin" "/CFG=$E2E_DIR/cfg" "$@" >"$E2E_DIR/brevix.log" 2>&1 &
    E2E_BREVIX_PID=$!
    E2E_PIDS+=("$E2E_BREVIX_PID")
    export E2E_BREVIX_PID
    _e2e_wait 20 xdotool search --pid "$E2E_BREVIX_PID" --name "Brevix" || {
        echo "e2e: Brevix did not show a window" >&2
        return 1
    }
}

e2e_target_text() {
    cat "$E2E_TARGET_OUT" 2>/dev/null
}

e2e_wait_text() { # expected [seconds]
    local expected="$1" limit=$((${2:-5} * 20)) i=0
    while [ "$(e2e_target_text)" != "$expected" ]; do
        i=$((i + 1))
        [ "$i" -ge "$limit" ] && return 1
        sleep 0.05
    done
}

e2e_target_clear() {
    echo clear >"$E2E_TARGET_OUT.cmd"
    _e2e_wait 5 test ! -e "$E2E_TARGET_OUT.cmd" || return 1
    e2e_wait_text "" 5
}

e2e_screenshot() { # file
    if command -v import >/dev/null; then
        import -window root "$1"
    else
        xwd -root -silent | convert xwd:- "$1"
    fi
}

# Waits for a window of the started Brevix with that title and prints its id.
e2e_brevix_window() { # title
    local w=""
    for _ in $(seq 100); do
        w="$(xdotool search --pid "$E2E_BREVIX_PID" --name "^$1\$" 2>/dev/null | head -1)"
        [ -n "$w" ] && xdotool getwindowname "$w" >/dev/null 2>&1 && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

e2e_stop() {
    local i pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid="${E2E_PIDS[$i]}"
        kill "$pid" 2>/dev/null
    done
    for pid in "${E2E_PIDS[@]}"; do
        for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    E2E_PIDS=()
    if [ -n "$E2E_DIR" ] && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_DIR"; fi
    E2E_DIR=""
}

# Stops a test: the message, what the target holds and Brevix's log.
e2e_fail() {
    echo "FAIL: $*" >&2
    echo "target: [$(e2e_target_text)]" >&2
    cat "$E2E_DIR/brevix.log" >&2 2>/dev/null
    exit 1
}

# A configuration folder for Brevix: Brevixo.ini [Preferences] with the
# given lines (each "Key=Value"), a dictionary NAME.bxd made by bxdict from
# the JSON lines on standard input, and PAGES.CFG naming it.
e2e_brevix_config() { # name key=value...
    local name="$1" line bxdict
    shift
    bxdict="$(dirname "${BREVIX_BIN:-$E2E_HERE/../../build/bin/brevix}")/bxdict"
    mkdir -p "$E2E_DIR/cfg"
    rm -f "$E2E_DIR/cfg/$name.bxd"
    { printf '[Preferences]\r\n'; for line in "$@"; do printf '%s\r\n' "$line"; done; } >"$E2E_DIR/cfg/Brevixo.ini"
    "$bxdict" create "$E2E_DIR/cfg/$name.bxd" >/dev/null || return 1
    printf '%s\r\n' "$E2E_DIR/cfg/$name.bxd" >"$E2E_DIR/cfg/PAGES.CFG"
}

# Brevix on the folder e2e_brevix_config made, started hidden, and the
# target focused again once Brevix watches keys.
e2e_start_watching_brevix() {
    e2e_start_brevix || e2e_fail "Brevix did not start"
    sleep 1.5
    e2e_focus_target
}

# SIGTERM, as at the end of a session; SIGKILL and status 1 when Brevix has
# not ended within the given seconds (10).
e2e_end_brevix() { # [seconds]
    local i hung=0
    kill -TERM "$E2E_BREVIX_PID" 2>/dev/null
    for ((i = 0; i < ${1:-10} * 20; i++)); do
        kill -0 "$E2E_BREVIX_PID" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$E2E_BREVIX_PID" 2>/dev/null; then
        kill -KILL "$E2E_BREVIX_PID" 2>/dev/null
        hung=1
    fi
    wait "$E2E_BREVIX_PID" 2>/dev/null
    return "$hung"
}

# Brevix must end on SIGTERM; one that hangs fails the test.
e2e_stop_brevix() {
    e2e_end_brevix || e2e_fail "Brevix did not end within 10 s of SIGTERM"
}

# An empty, focused target. Brevix lets go of the keyboard asynchronously:
# keys typed in the same instant would still count as typed in Brevix.
e2e_ready() {
    e2e_target_clear || e2e_fail "the target was not cleared: '$(e2e_target_text)'"
    e2e_focus_target
    sleep 0.6
}

# Types into a fresh target and expects the text it ends with.
e2e_check() { # typed expected [delay]
    e2e_ready
    xdotool type --delay "${3:-40}" "$1"
    e2e_wait_text "$2" 5 || e2e_fail "typing '$1' gave '$(e2e_target_text)', expected '$2'"
}
