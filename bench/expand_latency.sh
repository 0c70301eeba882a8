#!/usr/bin/env bash
# Expansion latency on a virtual desktop: from the delimiter key press to the
# last character of a 20-character expansion in a Tk text widget, in
# keystroke mode and in paste mode, default settings otherwise. The harness
# floor (one plain key until the widget shows it) is measured in the same
# run and taken off. Usage: expand_latency.sh [build dir]; COUNT=200.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
build="${1:-$root/build}"
bin="${BREVIX_BIN:-$build/bin/brevix}"
count="${COUNT:-200}"
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() {
    echo "expand_latency: $*" >&2
    kill -0 "${E2E_BREVIX_PID:-0}" 2>/dev/null || echo "expand_latency: Brevix is not running" >&2
    tail -5 "$E2E_DIR/brevix.log" >&2 2>/dev/null
    exit 1
}
text="abcdefghijklmnopqrst"

# A sleep that forks nothing, so polling stays cheap.
mkfifo "$E2E_DIR/tick"
exec 9<>"$E2E_DIR/tick"
nap() { read -r -t "$1" -u 9 _ || true; }

now_us() { local t="${EPOCHREALTIME/./}"; echo "$t"; }

current=""
read_target() { current=""; read -r -d '' current <"$E2E_TARGET_OUT" || true; }

wait_for() { # expected; echoes the microseconds at which it showed
    local i
    for ((i = 0; i < 20000; i++)); do
        read_target
        if [ "$current" = "$1" ]; then
            now_us
            return 0
        fi
        nap 0.0005
    done
    return 1
}

start_brevix() { # useClipboard
    rm -rf "$E2E_DIR/cfg"
    mkdir -p "$E2E_DIR/cfg"
    printf '[Preferences]\r\nRunMinimized=1\r\nUseClipboard=%s\r\n%s' "$1" "${EXTRA_INI:-}" >"$E2E_DIR/cfg/Brevixo.ini"
    printf '{"keyword":"zq","description":"Latency","text":"%s"}\n' "$text" |
        "$(dirname "$bin")/bxdict" create "$E2E_DIR/cfg/Lat.bxd" >/dev/null 2>&1
    [ -f "$E2E_DIR/cfg/Lat.bxd" ] || fail "bxdict create failed"
    printf '%s\r\n' "$E2E_DIR/cfg/Lat.bxd" >"$E2E_DIR/cfg/PAGES.CFG"
    BREVIX_BIN="$bin" e2e_start_brevix 9>&- || fail "Brevix did not start"
    sleep 1.5
    e2e_focus_target
    sleep 0.6
}

stop_brevix() {
    kill -TERM "$E2E_BREVIX_PID" 2>/dev/null
    wait "$E2E_BREVIX_PID" 2>/dev/null
}

# Prints "median p95" in milliseconds of the microsecond figures in a file.
stats() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "nan nan"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        i = int(NR * 0.95 + 0.999999); if (i < 1) i = 1
        printf "%.2f %.2f\n", m / 1000, v[i] / 1000 }'
}

floor_run() { # out
    local i t0 t1
    : >"$1"
    for ((i = 0; i < count; i++)); do
        e2e_target_clear
        wait_for "" >/dev/null || fail "the target did not clear"
        t0="$(now_us)"
        xdotool key x
        t1="$(wait_for "x")" || fail "the plain key did not arrive"
        echo $((t1 - t0)) >>"$1"
    done
}

expand_run() { # out
    local i t0 t1
    : >"$1"
    for ((i = 0; i < count; i++)); do
        e2e_target_clear
        wait_for "" >/dev/null || fail "the target did not clear"
        xdotool type --delay 20 "zq"
        wait_for "zq" >/dev/null || fail "the keyword did not arrive: '$current'"
        nap "${SETTLE:-0}"
        t0="$(now_us)"
        xdotool key space
        t1="$(wait_for "$text ")" || fail "expansion $i gave '$current'"
        echo $((t1 - t0)) >>"$1"
    done
}

start_brevix 0
expand_run "$E2E_DIR/keys"
# After the expansions: the plain keys make one long word that expands nothing.
floor_run "$E2E_DIR/floor"
stop_brevix
start_brevix 1
expand_run "$E2E_DIR/paste"
stop_brevix

read -r fm f95 <<<"$(stats "$E2E_DIR/floor")"
echo "expansion latency, ${#text}-character text, $count runs each (ms)"
printf '%-10s %8s %8s %14s %14s\n' mode median p95 "median-floor" "p95-floor"
printf '%-10s %8s %8s\n' floor "$fm" "$f95"
for mode in keys paste; do
    read -r m p <<<"$(stats "$E2E_DIR/$mode")"
    printf '%-10s %8s %8s %14s %14s\n' "$mode" "$m" "$p" \
        "$(awk -v a="$m" -v b="$fm" 'BEGIN { printf "%.2f", a - b }')" \
        "$(awk -v a="$p" -v b="$fm" 'BEGIN { printf "%.2f", a - b }')"
done
