#!/usr/bin/env bash
# Application rules for real: two Tk windows of different classes, one
# excluded from auto-replace; a rule found by the process name (Tk sets no
# _NET_WM_PID, so only the X server's resource extension names it) forcing
# keystrokes where the text would be pasted; the target counts its pastes.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"

start_brevix() { # rules...
    e2e_brevix_config Sample RunMinimized=1 UseClipboard=1 Pause=0 <"$root/resources/sample.jsonl" ||
        fail "bxdict create"
    local rule n=0
    printf '[AppRules]\r\n' >>"$E2E_DIR/cfg/Brevixo.ini"
    for rule in "$@"; do
        n=$((n + 1))
        printf 'Rule%d=%s\r\n' "$n" "$rule" >>"$E2E_DIR/cfg/Brevixo.ini"
    done
    BREVIX_BIN="$bin" e2e_start_watching_brevix
}

# Two Tk windows, neither with a _NET_WM_PID: each is found by its instance name.
focus_window() { # instance
    local w
    w="$(xdotool search --sync --limit 1 --classname "^$1\$")"
    xdotool windowactivate --sync "$w" >/dev/null 2>&1
    xdotool windowfocus --sync "$w" >/dev/null 2>&1
    return 0
}
e2e_focus_target() { focus_window 'target\.tcl'; }

pastes() { cat "$E2E_TARGET_OUT.pastes" 2>/dev/null || echo 0; }

# A second Tk window; Tk names the class after the script: "Other.tcl".
other_out="$E2E_DIR/other.txt"
cp "$root/tests/e2e/target.tcl" "$E2E_DIR/other.tcl"
wish "$E2E_DIR/other.tcl" "$other_out" >"$E2E_DIR/other.log" 2>&1 &
other_pid=$!
E2E_PIDS+=("$other_pid")
for _ in $(seq 200); do [ -s "$other_out.ready" ] && break; sleep 0.05; done
[ -s "$other_out.ready" ] || fail "the second Tk window did not start"
xprop -id "$(xdotool search --limit 1 --classname '^other\.tcl$')" WM_CLASS | grep -q '"Other.tcl"' ||
    fail "the second window is not of class Other.tcl"

# The target (class Target.tcl) is excluded; the other window is not.
start_brevix "class:Target.tcl,off"
e2e_check "btw " "btw "
focus_window 'other\.tcl'
sleep 0.6
xdotool type --delay 40 "btw "
for _ in $(seq 100); do [ "$(cat "$other_out" 2>/dev/null)" = "by the way " ] && break; sleep 0.05; done
[ "$(cat "$other_out")" = "by the way " ] || fail "the other window got '$(cat "$other_out")'"
e2e_stop_brevix

# Pasting is on, but the rule found by process name types the keys.
before="$(pastes)"
start_brevix "process:wish*,keystrokes"
e2e_check "fyi " "for your information "
[ "$(pastes)" = "$before" ] || fail "the text was pasted ($(pastes) pastes)"
e2e_stop_brevix

# Without a rule the same text is pasted: the count above means something.
start_brevix
e2e_check "fyi " "for your information "
[ "$(pastes)" -gt "$before" ] || fail "the text was not pasted"
e2e_stop_brevix
# The clipboard kept: another program's text and image on the clipboard
# before a pasted expansion are there again afterwards.
cat >"$E2E_DIR/owner.tcl" <<'TCL'
wm withdraw .
proc text {offset max} { return [string range "kept text" $offset [expr {$offset + $max - 1}]] }
proc image {offset max} { return [string range "PNG-bytes-0123456789" $offset [expr {$offset + $max - 1}]] }
selection handle -selection CLIPBOARD -type UTF8_STRING . text
selection handle -selection CLIPBOARD -type image/png . image
selection own -selection CLIPBOARD .
TCL
cat >"$E2E_DIR/reader.tcl" <<'TCL'
wm withdraw .
foreach type {UTF8_STRING image/png} {
    if {[catch {selection get -selection CLIPBOARD -type $type} v]} { set v "(none)" }
    puts "$type=$v"
}
exit
TCL
wish "$E2E_DIR/owner.tcl" >/dev/null 2>&1 &
E2E_PIDS+=("$!")
clipboard() { timeout 10 wish "$E2E_DIR/reader.tcl" 2>/dev/null | tr '\n' ' '; }
held="UTF8_STRING=kept text image/png=PNG-bytes-0123456789 "
for _ in $(seq 100); do [ "$(clipboard)" = "$held" ] && break; sleep 0.1; done
[ "$(clipboard)" = "$held" ] || fail "the clipboard owner did not start: $(clipboard)"
e2e_brevix_config Sample RunMinimized=1 UseClipboard=1 Pause=0 "[Desktop]" RestoreClipboard=1 \
    <"$root/resources/sample.jsonl" || fail "bxdict create"
BREVIX_BIN="$bin" e2e_start_watching_brevix
before="$(pastes)"
e2e_check "fyi " "for your information "
[ "$(pastes)" -gt "$before" ] || fail "the text was not pasted"
for _ in $(seq 50); do [ "$(clipboard)" = "$held" ] && break; sleep 0.1; done
[ "$(clipboard)" = "$held" ] || fail "the clipboard holds '$(clipboard)' after the paste"
e2e_stop_brevix
echo "e2e application rules: passed"
