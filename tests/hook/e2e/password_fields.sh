#!/usr/bin/env bash
# Password fields for real: a Qt window with a normal and a password field,
# reported on the accessibility bus of a D-Bus session of the test's own.
# A keyword typed in the password field stays as typed and leaves nothing in
# Brevix's word: letters typed there and the rest typed in the normal field
# expand nothing. The same keyword in the normal field expands. With
# SkipPasswordFields=0 both do expand: the checks can tell.
#
#   password_fields.sh               the test
#   password_fields.sh --unguarded   the checks of the guarded case against
#                                    SkipPasswordFields=0: must fail
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."

# Never the user's session bus: a private one, with its own accessibility bus
# whose socket, without a runtime folder, would be ~/.cache/at-spi/bus, the
# same for every test run at the same time.
if [ -z "${BX_PASSWORD_E2E_SESSION:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "e2e: dbus-run-session is not installed" >&2; exit 77; }
    runtime="$(mktemp -d "${TMPDIR:-/tmp}/brevix-a11y.XXXXXX")" || exit 1
    XDG_RUNTIME_DIR="$runtime" BX_PASSWORD_E2E_SESSION=1 dbus-run-session -- bash "$0" "$@"
    rc=$?
    rm -rf "$runtime"
    exit "$rc"
fi
unset AT_SPI_BUS_ADDRESS

. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"
target="$(dirname "$bin")/bx_password_target"
[ -x "$target" ] || fail "$target is not built"

out="$E2E_DIR/fields.txt"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$target" "$out" >"$E2E_DIR/fields.log" 2>&1 &
target_pid=$!
E2E_PIDS+=("$target_pid")

field() { sed -n "s/^$1=//p" "$out" 2>/dev/null; }
e2e_target_text() { cat "$out" 2>/dev/null; }
e2e_focus_target() {
    local w
    w="$(xdotool search --sync --limit 1 --pid "$target_pid" --name "Brevix password target" 2>/dev/null | head -1)"
    [ -n "$w" ] && xdotool windowactivate --sync "$w" >/dev/null 2>&1
    [ -n "$w" ] && xdotool windowfocus --sync "$w" >/dev/null 2>&1
    return 0
}
is() { [ "$(field "$1")" = "$2" ]; }
isnt() { [ "$(field "$1")" != "$2" ]; }
expanded() { case "$(field "$1")" in *"the way "*) return 0 ;; esac; return 1; }

_e2e_wait 15 grep -q '^bus=' "$out" || fail "the Qt target did not start: $(cat "$E2E_DIR/fields.log")"
case "$(field bus)" in
none*)
    echo "e2e: no accessibility bus ($(field bus))" >&2
    exit 77
    ;;
esac

# A command the target carries out itself, without a key.
order() { # text
    echo "$1" >"$out.cmd"
    _e2e_wait 5 test ! -e "$out.cmd" || fail "the target did not do '$1'"
}
focus() { # normal|password
    order "focus $1"
    _e2e_wait 5 is focus "$1" || fail "the $1 field did not get the focus"
    # The focus event travels the accessibility bus while keys travel the
    # X server: Brevix must have heard of it before the first key.
    sleep 0.3
}
type_in() { # field keys
    focus "$1"
    xdotool type --delay 40 "$2"
}
# Waits until the field holds the text.
expect() { # field text what
    _e2e_wait 5 is "$1" "$2" || fail "$3: the $1 field holds '$(field "$1")', expected '$2'"
}
# An expansion shows within a second (see the unguarded run): the field must
# keep the text that long.
expect_kept() { # field text what
    expect "$@"
    ! _e2e_wait 2 isnt "$1" "$2" || fail "$3: the $1 field changed to '$(field "$1")'"
}

start_brevix() { # SkipPasswordFields
    e2e_brevix_config Sample RunMinimized=1 UseClipboard=0 Pause=0 "[Desktop]" \
        "SkipPasswordFields=$1" <"$root/resources/sample.jsonl" || fail "bxdict create"
    BREVIX_BIN="$bin" e2e_start_watching_brevix
    if [ "$1" = 1 ]; then
        # Brevix listens for focus changes once the bus has answered.
        _e2e_wait 20 isnt listeners "" || fail "Brevix never listened on the accessibility bus"
    fi
    sleep 0.6 # Brevix lets go of the keyboard asynchronously after starting
    order clear
}

guarded() { # SkipPasswordFields
    start_brevix "$1"
    type_in normal "btw "
    expect normal "by the way " "a keyword in the normal field"
    type_in password "btw "
    expect_kept password "btw " "a keyword in the password field"
    # Half a keyword in the password field, the rest in the normal one.
    order clear
    type_in password "bt"
    expect password "bt" "letters in the password field"
    type_in normal "w "
    expect_kept normal "w " "the rest of a keyword begun in the password field"
    is password "bt" || fail "the password field holds '$(field password)'"
    # Out of the password field, keywords expand again.
    order clear
    type_in normal "btw "
    expect normal "by the way " "a keyword typed after leaving the password field"
    e2e_stop_brevix
}

# Without the setting, the same steps expand in both places.
unguarded() {
    start_brevix 0
    type_in password "btw "
    expect password "by the way " "unguarded, a keyword in the password field"
    order clear
    type_in password "bt"
    expect password "bt" "unguarded, letters in the password field"
    type_in normal "w "
    # The erasing counts the keys of the whole keyword, some of which the
    # normal field never had: only the expansion itself is certain.
    _e2e_wait 5 expanded normal ||
        fail "unguarded, the rest of a keyword begun in the password field: the normal field holds '$(field normal)'"
    e2e_stop_brevix
}

if [ "${1:-}" = "--unguarded" ]; then
    guarded 0
    echo "e2e password fields: the guarded checks passed without the guard" >&2
    exit 1
fi
guarded 1
unguarded
echo "e2e password fields: passed"
