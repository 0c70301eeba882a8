#!/usr/bin/env bash
# Under a real window manager the suggestion window and the hint box appear
# while the Tk target keeps the keyboard focus. Usage: assist_focus.sh demo [screenshot.png]
. "$(dirname "$0")/../../e2e/harness.sh"
e2e_start || exit $?
demo="$1"
shot="${2:-}"
target="$(xdotool getwindowfocus)"
eval "$(xdotool getwindowgeometry --shell "$target")"
"$demo" "$X,$Y,$WIDTH,$HEIGHT" >"$E2E_DIR/demo.out" 2>"$E2E_DIR/demo.err" &
demo_pid=$!
E2E_PIDS+=("$demo_pid")
for step in $(seq 60); do
    now="$(xdotool getwindowfocus)"
    if [ "$now" != "$target" ]; then
        echo "focus moved from $target to $now (step $step)" >&2
        exit 1
    fi
    grep -q shown "$E2E_DIR/demo.out" && [ "$step" -gt 20 ] && break
    sleep 0.05
done
grep -q shown "$E2E_DIR/demo.out" || { echo "the demo did not show its windows" >&2; cat "$E2E_DIR/demo.err" >&2; exit 1; }
xdotool search --pid "$demo_pid" --name "Brevix: DEMO.BXD" >/dev/null || { echo "no suggestion window" >&2; exit 1; }
[ "$(xdotool getwindowfocus)" = "$target" ] || { echo "focus lost at the end" >&2; exit 1; }
# Typing still reaches the target.
xdotool type --delay 20 "ok"
e2e_wait_text "ok" 5 || { echo "the target did not receive the keys: '$(e2e_target_text)'" >&2; exit 1; }
[ -n "$shot" ] && e2e_screenshot "$shot"
echo "focus kept by $target"
