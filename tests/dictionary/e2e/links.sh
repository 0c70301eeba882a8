#!/usr/bin/env bash
# A keyword that only a linked dictionary has expands like an own one; the
# open dictionary's own entry wins a keyword both have.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"
bxdict="$(dirname "$bin")/bxdict"

printf '%s\n' '{"keyword":"own","text":"from the own dictionary"}' \
    '{"keyword":"both","text":"own wins"}' |
    e2e_brevix_config Mine RunMinimized=1 UseClipboard=0 Pause=0 EnableDictionaryLinks=1 ||
    fail "bxdict create Mine"
printf '%s\n' '{"keyword":"teamsig","text":"The Team, Bristol"}' \
    '{"keyword":"both","text":"team loses"}' |
    "$bxdict" create "$E2E_DIR/cfg/Team.bxd" >/dev/null || fail "bxdict create Team"
printf '[LinkedDictionaries]\r\n%s=0\r\n' "$E2E_DIR/cfg/Team.bxd" >>"$E2E_DIR/cfg/Brevixo.ini"

BREVIX_BIN="$bin" e2e_start_watching_brevix
e2e_check "teamsig " "The Team, Bristol "
e2e_check "both " "own wins "
e2e_check "own " "from the own dictionary "
e2e_stop_brevix
echo "e2e links: passed"
