# Sourced by the input-field scripts after the harness.
# Waits until the input text window shows the filled-in text for review and
# has the keyboard; the window exists, hidden, while the fields are asked for.
e2e_wait_review() {
    local w
    for _ in $(seq 100); do
        w="$(xdotool search --onlyvisible --pid "$E2E_BREVIX_PID" --name '^Brevix  Text To Type$' 2>/dev/null | head -1)"
        [ -n "$w" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ] && return 0
        sleep 0.1
    done
    return 1
}
