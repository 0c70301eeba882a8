#!/usr/bin/env bash
# Brevix with its script port on a virtual desktop: an endless script is
# cancelled and the port answers again; SIGTERM during an endless script
# cancels it and ends the program cleanly.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../e2e/harness.sh"
e2e_start || exit $?
fail() { echo "FAIL: $*" >&2; cat "$E2E_DIR/brevix.log" >&2 2>/dev/null; exit 1; }

# Reads the reply on fd 3 until it holds `want` (a hang guard of 20 s per byte).
reply_holds() { # want
    local out="" c
    while IFS= read -r -t 20 -N 1 c <&3; do
        out+="$c"
        [[ "$out" == *"$1"* ]] && return 0
    done
    echo "reply so far: '$out'" >&2
    return 1
}

port=$((20000 + RANDOM % 20000))
e2e_brevix_config Port RunMinimized=1 ScriptTimeLimit=2 || fail "bxdict create failed"
e2e_start_brevix "/PORT=$port" || fail "Brevix did not start"
# "command": a connection refused must not end the script.
for _ in $(seq 200); do
    { command exec 3<>"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null && IFS= read -r -t 2 -N 2 greeting <&3
    [ "${greeting:-}" = OK ] && break
    exec 3>&-
    sleep 0.1
done
[ "${greeting:-}" = OK ] || fail "the port never greeted with OK"

printf 'while 1 {}' >&3
reply_holds "*** Script cancelled: it kept Brevix from answering for more than 2 seconds" ||
    fail "the endless script was not cancelled"
printf 'bx_list length' >&3
reply_holds "0" || fail "no answer after the cancelled script"

printf 'while 1 {}' >&3
sleep 0.5
kill -TERM "$E2E_BREVIX_PID"
reply_holds "*** Script cancelled: Brevix is closing" || fail "SIGTERM did not cancel the script"
for _ in $(seq 200); do kill -0 "$E2E_BREVIX_PID" 2>/dev/null || break; sleep 0.05; done
kill -0 "$E2E_BREVIX_PID" 2>/dev/null && fail "Brevix did not end after SIGTERM"
wait "$E2E_BREVIX_PID"
rc=$?
[ "$rc" -eq 0 ] || fail "Brevix ended with $rc"
grep -q '^\[MainForm\]' "$E2E_DIR/cfg/Brevixo.ini" || fail "the settings were not saved"
echo "e2e port scripts: passed"
