#!/usr/bin/env bash
# The suggestion window and the hint box for real: while a word is typed in a
# Tk text widget the suggestion window lists the entries it begins, F2 expands
# the second one, a typed keyword brings the hint box at the key's release,
# and the target keeps the keyboard focus throughout.
# Screenshots go to ${1:-build/screens}.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../../.."
shots="${1:-$root/build/screens}"
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
fail() { e2e_fail "$@"; }
bin="${BREVIX_BIN:-$root/build/bin/brevix}"
mkdir -p "$shots" || fail "cannot make $shots"

e2e_brevix_config Sample RunMinimized=1 UseClipboard=0 Pause=0 AutoReplace=1 AutoReplaceAlwaysShow=1 \
    AutoReplaceHint=1 AutoHideSuggestionWindow=0 <"$root/resources/sample.jsonl" || fail "bxdict create"
BREVIX_BIN="$bin" e2e_start_brevix || fail "Brevix did not start"

# Brevix's visible windows whose name matches exactly.
visible_named() { # regex
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_BREVIX_PID" --name "$1" 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null | grep -Eq "$1" && echo "$w"
    done
}
suggestion_window() { visible_named '^Brevix: SAMPLE\.BXD$' | head -1; }
hint_box() { visible_named '^Brevix$' | head -1; }
wait_for() { # seconds function
    local i limit=$(($1 * 20)) w
    for ((i = 0; i < limit; i++)); do
        w="$($2)"
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.05
    done
    return 1
}
shot() { # window name
    import -window "$1" "$shots/$2" 2>/dev/null || fail "no screenshot of $2"
}

# Started minimised to the tray: the suggestion window comes with it.
sugg="$(wait_for 10 suggestion_window)" || fail "the suggestion window did not show"
e2e_focus_target
target="$(xdotool getwindowfocus 2>/dev/null)"
[ -n "$target" ] && [ "$target" != "$sugg" ] || fail "the target has no focus"
case " $(xdotool search --pid "$E2E_BREVIX_PID" 2>/dev/null | tr '\n' ' ') " in
*" $target "*) fail "a Brevix window has the focus at the start" ;;
esac
focus_kept() { # step
    local now
    now="$(xdotool getwindowfocus 2>/dev/null)"
    [ "$now" = "$target" ] || fail "after $1 the focus is on $now, not on the target $target"
}
focus_kept "showing the suggestion window"
e2e_target_clear
sleep 0.3

# One letter: the window lists teh, thx, today, ty.
xdotool type --delay 60 "t"
e2e_wait_text "t" 5 || fail "typing 't' gave '$(e2e_target_text)'"
focus_kept "typing 't'"
sleep 0.5
[ -n "$(suggestion_window)" ] || fail "the suggestion window went away while typing"
shot "$sugg" suggestion-window.png
e2e_screenshot "$shots/suggest-desktop.png"

# F2 expands the second suggestion, "thx", in place of the "t".
xdotool key F2
e2e_wait_text "Thank you very much!" 5 || fail "F2 gave '$(e2e_target_text)', expected 'Thank you very much!'"
focus_kept "F2"

# A whole keyword: its hint box shows at the key's release.
xdotool type --delay 60 " ty"
e2e_wait_text "Thank you very much! ty" 5 || fail "typing ' ty' gave '$(e2e_target_text)'"
hint="$(wait_for 5 hint_box)" || fail "the hint box did not show for 'ty'"
focus_kept "the hint box"
sleep 0.3
shot "$hint" hint-box.png
shot "$sugg" suggestion-window-ty.png
e2e_screenshot "$shots/hint-desktop.png"

# The keyword still expands when ended, and the box goes.
xdotool type --delay 60 " "
e2e_wait_text "Thank you very much! thank you " 5 || fail "ending 'ty' gave '$(e2e_target_text)'"
focus_kept "the expansion of 'ty'"
kill -TERM "$E2E_BREVIX_PID" 2>/dev/null
wait "$E2E_BREVIX_PID" 2>/dev/null
echo "e2e suggestions: passed (screenshots in $shots)"
