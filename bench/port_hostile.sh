#!/usr/bin/env bash
# A hostile run against the script port of a Brevix started on a virtual
# desktop: port_hostile's connections of every kind, then its checks that
# replies are still correct, with Brevix's resident memory and open file
# descriptors before and after. Usage: port_hostile.sh [build dir];
# CONNECTIONS=200 (per kind).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
build="${1:-$root/build}"
bin="${BREVIX_BIN:-$build/bin/brevix}"
tool="$build/bin/port_hostile"
[ -x "$tool" ] || { echo "port_hostile: $tool is not built" >&2; exit 1; }
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { echo "port_hostile: $*" >&2; tail -5 "$E2E_DIR/brevix.log" >&2 2>/dev/null; exit 1; }

port=$((20000 + RANDOM % 20000))
BREVIX_BIN="$bin" e2e_brevix_config Hostile RunMinimized=1 || fail "bxdict create failed"
BREVIX_BIN="$bin" e2e_start_brevix "/PORT=$port" || fail "Brevix did not start"
# Ready once start-up has finished: the greeting turns from BUSY to OK.
for _ in $(seq 200); do
    { command exec 3<>"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null && IFS= read -r -t 2 -N 2 greeting <&3
    exec 3>&-
    [ "${greeting:-}" = OK ] && break
    sleep 0.1
done
[ "${greeting:-}" = OK ] || fail "the port never answered OK"

figures() { # label
    local rss fds
    rss="$(awk '/^VmRSS/ { print $2, $3 }' "/proc/$E2E_BREVIX_PID/status")"
    fds="$(find "/proc/$E2E_BREVIX_PID/fd" -mindepth 1 2>/dev/null | wc -l)"
    printf '%-8s VmRSS %s, open file descriptors %s\n' "$1" "$rss" "$fds"
}

figures before
"$tool" "$port" "${CONNECTIONS:-200}"
rc=$?
# Idle connections the server closes itself are gone by now or soon; the
# figures are taken once the run's own sockets have been let go.
sleep 1
figures after
kill -0 "$E2E_BREVIX_PID" 2>/dev/null || fail "Brevix died during the run"
e2e_end_brevix 10 || fail "Brevix did not end within 10 s of SIGTERM"
exit "$rc"
