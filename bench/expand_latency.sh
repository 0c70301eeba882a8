#!/usr/bin/env bash
# Expansion latency on a virtual desktop: from the delimiter key press to the
# last character of a 20-character expansion in the target, in keystroke mode
# and in paste mode, default settings otherwise. The target is latency_probe:
# it sends the keys itself and times its own key events, so no file polling
# blurs the figures. The harness floor (one plain key until the target shows
# it) is measured the same way, interleaved with the expansions, and taken
# off. Usage: expand_latency.sh [build dir]; COUNT=200, PAUSE_MS=50 (the gap
# between the keyword and the delimiter), EXTRA_INI (more Preferences lines).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
build="${1:-$root/build}"
bin="${BREVIX_BIN:-$build/bin/brevix}"
probe="${LATENCY_PROBE:-$(dirname "$bin")/latency_probe}"
count="${COUNT:-200}"
text="abcdefghijklmnopqrst"
[ -x "$probe" ] || { echo "expand_latency: $probe is not built" >&2; exit 1; }
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() {
    echo "expand_latency: $*" >&2
    kill -0 "${E2E_BREVIX_PID:-0}" 2>/dev/null || echo "expand_latency: Brevix is not running" >&2
    tail -5 "$E2E_DIR/brevix.log" >&2 2>/dev/null
    exit 1
}

# A hang never stalls the figures: reported, and Brevix killed.
stop_brevix() {
    e2e_end_brevix 5 || echo "expand_latency: Brevix did not exit on SIGTERM; killed" >&2
}

measure() { # name useClipboard
    # shellcheck disable=SC2086 # EXTRA_INI holds several Key=Value words
    printf '{"keyword":"zq","description":"Latency","text":"%s"}\n' "$text" |
        BREVIX_BIN="$bin" e2e_brevix_config Lat RunMinimized=1 "UseClipboard=$2" ${EXTRA_INI:-} ||
        fail "bxdict create failed"
    BREVIX_BIN="$bin" e2e_start_watching_brevix
    "$probe" "$count" zq "$text " "$E2E_DIR/$1" "$E2E_DIR/$1.floor" "${PAUSE_MS:-50}" ||
        fail "$1: the probe failed"
    stop_brevix
}

# Prints "median p95" in milliseconds of the microsecond figures in a file.
stats() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "nan nan"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        i = int(NR * 0.95 + 0.999999); if (i < 1) i = 1
        printf "%.2f %.2f\n", m / 1000, v[i] / 1000 }'
}

measure keys 0
measure paste 1

echo "expansion latency, ${#text}-character text, $count runs each (ms; above floor: minus the floor's median)"
printf '%-12s %8s %8s %14s %14s\n' run median p95 "median-floor" "p95-floor"
for mode in keys paste; do
    read -r fm f95 <<<"$(stats "$E2E_DIR/$mode.floor")"
    read -r m p <<<"$(stats "$E2E_DIR/$mode")"
    printf '%-12s %8s %8s\n' "$mode floor" "$fm" "$f95"
    printf '%-12s %8s %8s %14s %14s\n' "$mode" "$m" "$p" \
        "$(awk -v a="$m" -v b="$fm" 'BEGIN { printf "%.2f", a - b }')" \
        "$(awk -v a="$p" -v b="$fm" 'BEGIN { printf "%.2f", a - b }')"
done
