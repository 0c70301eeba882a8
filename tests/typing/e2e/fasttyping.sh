#!/usr/bin/env bash
# Keys typed on the keyboard itself while a replacement is being typed:
# none is lost, none lands inside the replacement or under its Backspaces,
# and a keyword among them expands too. In keystroke and in paste mode, at
# a brisk pace, with each key pressed before the last is released, and
# faster than anybody types.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
bin="${BREVIX_BIN:-$root/build/bin/brevix}"
phys="$(dirname "$bin")/bx_physkeys"
[ -x "$phys" ] || e2e_fail "$phys is not built"

typed="Btw and then btw some more words "
expected="By the way and then by the way some more words "
for clip in 0 1; do
    e2e_brevix_config Fast RunMinimized=1 "UseClipboard=$clip" Pause=0 <<'EOF2' || e2e_fail "bxdict create"
{"keyword":"btw","description":"By the way","text":"by the way"}
EOF2
    BREVIX_BIN="$bin" e2e_start_watching_brevix
    for pace in "--delay 15" "--delay 8 --overlap" "--delay 2"; do
        e2e_ready
        # shellcheck disable=SC2086
        "$phys" $pace "$typed" || e2e_fail "bx_physkeys failed"
        e2e_wait_text "$expected" 5 ||
            e2e_fail "UseClipboard=$clip, $pace: '$typed' gave '$(e2e_target_text)'"
    done
    e2e_stop_brevix
done
echo "fast typing: nothing lost"
