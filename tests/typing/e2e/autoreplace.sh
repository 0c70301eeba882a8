#!/usr/bin/env bash
# Auto-replace for real: a keyword typed in a Tk text widget, ended by a
# delimiter, becomes the entry's text; keystroke and clipboard paths both.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

start_brevix() { # useClipboard
    e2e_brevix_config Sample RunMinimized=1 "UseClipboard=$1" Pause=0 <"$root/resources/sample.jsonl" ||
        fail "bxdict create"
    BREVIX_BIN="$bin" e2e_start_watching_brevix
}

start_brevix 0
e2e_check "btw " "by the way "
e2e_check "I said Thx." "I said Thank you very much!."
e2e_check "teh cat" "the cat"
e2e_check "nothing here " "nothing here "
e2e_stop_brevix

start_brevix 1
e2e_check "fyi " "for your information "
e2e_stop_brevix
echo "e2e auto-replace: passed"
