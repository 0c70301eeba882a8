#!/usr/bin/env bash
# Brevix against AutoKey (Debian's autokey-gtk, keyboard mode), side by side
# in one desktop: Xvfb + openbox and one Tk text widget that writes its
# content to a file on every change. xdotool types a keyword; peer_probe
# sends the space that ends it and times until the file holds the whole
# expansion, for a short and a long text, on and off the keyboard layout.
# Brevix runs twice: default settings (paste) and UseClipboard=0
# (keystrokes). The floor (one plain key until the file shows it) is
# measured in every run; the ceiling is what the widget itself can take:
# every key event of the text sent in one batch with one flush. Then the
# idle cost of a hidden Brevix, from /proc.
#
# Usage: vs_peer.sh [build dir]; COUNT_SHORT=30, COUNT_LONG=10, IDLE_SECONDS=60,
# E2E_DISPLAYS="160 169" (the display numbers it may take).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
build="${1:-$root/build}"
bin="${BREVIX_BIN:-$build/bin/brevix}"
probe="$build/bin/peer_probe"
count_short="${COUNT_SHORT:-30}"
count_long="${COUNT_LONG:-10}"
idle_seconds="${IDLE_SECONDS:-60}"
for f in "$bin" "$probe" "$build/bin/bxdict"; do
    [ -x "$f" ] || { echo "vs_peer: $f is not built" >&2; exit 1; }
done

# The bench's own tools, installed when missing (as root, from Debian).
bench_packages=(xvfb openbox xdotool tk8.6 x11-utils dbus-daemon autokey-gtk)
missing=()
for p in "${bench_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
        echo "vs_peer: installing ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } \
            >/dev/null 2>&1 || echo "vs_peer: could not install ${missing[*]}" >&2
    else
        echo "vs_peer: missing ${missing[*]} (not root: not installed)" >&2
    fi
fi

export E2E_DISPLAYS="${E2E_DISPLAYS:-160 169}" E2E_TARGET_MODE=immediate
. "$root/tests/e2e/harness.sh"
e2e_start || exit $?
res="$(mktemp -d "${TMPDIR:-/tmp}/brevix-vs-peer.XXXXXX")"

# The texts: name keyword text.
long_on=""
words=(The quick brown fox jumps over the LAZY dog 0123456789 and then, x=y+z. Hello World! a-b_c q?)
i=0
while [ ${#long_on} -lt 400 ]; do
    long_on+="${words[$((i % ${#words[@]}))]} "
    i=$((i + 1))
done
long_on="${long_on:0:399}."
long_off=""
for _ in $(seq 14); do long_off+="café € straße "; done
long_off+="café" # 200 characters
names=(short long short_off long_off)
declare -A keyword=([short]=brb [long]=lng [short_off]=cfs [long_off]=cfl)
declare -A text=([short]="be right back" [long]="$long_on" [short_off]="café € straße" [long_off]="$long_off")
declare -A rounds=([short]=$count_short [long]=$count_long [short_off]=$count_short [long_off]=$count_long)
chars() { printf '%s' "$1" | wc -m; }

# Prints "median p95 lost" (ms) of the microsecond figures of a file.
stats() {
    sort -n "$1" | awk '$1 == "lost" { lost++; next } { v[++n] = $1 } END {
        if (n == 0) { printf "nan nan %d\n", lost + 0; exit }
        m = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        i = int(n * 0.95 + 0.999999); if (i < 1) i = 1
        printf "%.2f %.2f %d\n", m / 1000, v[i] / 1000, lost + 0 }'
}

run_expander() { # label
    local name
    for name in "${names[@]}"; do
        "$probe" expand "$E2E_TARGET_OUT" "${rounds[$name]}" "${keyword[$name]}" "${text[$name]} " \
            "$res/$1.$name" "$res/$1.$name.floor" ||
            echo "vs_peer: $1, $name: some rounds lost (see above)" >&2
    done
}

brevix_run() { # label useClipboard
    local name
    for name in "${names[@]}"; do
        printf '{"keyword":"%s","description":"%s","text":"%s"}\n' "${keyword[$name]}" "$name" "${text[$name]}"
    done | BREVIX_BIN="$bin" e2e_brevix_config Peer RunMinimized=1 "UseClipboard=$2" ||
        { echo "vs_peer: bxdict create failed" >&2; return 1; }
    BREVIX_BIN="$bin" e2e_start_watching_brevix
    run_expander "$1"
}

# Wake-ups and CPU of a process and all its threads over some seconds: over
# the whole window, and from its 8th second on, after the keys the last text
# remapped have gone back (5 s after it), which is one event, not a tick.
idle_cost() { # pid seconds
    local pid=$1 s=$2 settle=8 w0 wm w1 c0 cm c1 tck
    tck=$(getconf CLK_TCK)
    sample() {
        cat /proc/"$pid"/task/*/status 2>/dev/null |
            awk '/^voluntary_ctxt_switches/ { v += $2 } /^nonvoluntary_ctxt_switches/ { v += $2 } END { print v + 0 }'
    }
    cpu() { awk '{ print $14 + $15 }' /proc/"$pid"/stat; }
    [ "$s" -gt "$settle" ] || settle=0
    w0=$(sample); c0=$(cpu)
    sleep "$settle"
    wm=$(sample); cm=$(cpu)
    sleep $((s - settle))
    w1=$(sample); c1=$(cpu)
    awk -v w=$((w1 - w0)) -v c=$((c1 - c0)) -v s="$s" -v t="$tck" -v wl=$((w1 - wm)) -v cl=$((c1 - cm)) \
        -v l=$((s - settle)) -v r=$((wm - w0)) 'BEGIN {
        printf "idle %d s, hidden, no keys: %.2f wake-ups/s, CPU %.3f %%\n", s, w / s, 100 * c / t / s
        if (l > 0 && l < s)
            printf "  from the %dth second on: %.2f wake-ups/s, CPU %.3f %% (before it: %d, the remapped keys going back)\n",
                s - l, wl / l, 100 * cl / t / l, r }'
}

echo "== ceiling: the widget alone"
for name in long long_off; do
    "$probe" ceiling "$E2E_TARGET_OUT" "$count_long" "${text[$name]}" "$res/ceiling.$name" ||
        echo "vs_peer: ceiling $name: lost" >&2
done

echo "== Brevix, paste (default)"
brevix_run paste 1
echo "== Brevix, keystrokes (UseClipboard=0)"
e2e_end_brevix 5 || echo "vs_peer: Brevix did not exit on SIGTERM; killed" >&2
brevix_run keys 0
e2e_focus_target
idle_line="$(idle_cost "$E2E_BREVIX_PID" "$idle_seconds")"
e2e_end_brevix 5 || echo "vs_peer: Brevix did not exit on SIGTERM; killed" >&2

autokey_ok=0
if command -v autokey-gtk >/dev/null && command -v dbus-run-session >/dev/null; then
    echo "== AutoKey, keyboard"
    ak="$E2E_DIR/autokey"
    mkdir -p "$ak/config/autokey/data/Bench" "$ak/data" "$ak/home"
    folder="$ak/config/autokey/data/Bench"
    none='"hotkey": {"modifiers": [], "hotKey": null}, "filter": {"regex": null, "isRecursive": false}'
    printf '{"type": "folder", "title": "Bench", "modes": [], "usageCount": 0, "showInTrayMenu": false, "abbreviation": {"abbreviations": [], "backspace": true, "ignoreCase": false, "immediate": false, "triggerInside": false, "wordChars": "[\\\\w]"}, %s}\n' \
        "$none" >"$folder/.folder.json"
    for name in "${names[@]}"; do
        printf '%s' "${text[$name]}" >"$folder/$name.txt"
        printf '{"type": "phrase", "description": "%s", "modes": [1], "usageCount": 0, "prompt": false, "omitTrigger": false, "matchCase": false, "showInTrayMenu": false, "abbreviation": {"abbreviations": ["%s"], "backspace": true, "ignoreCase": false, "immediate": false, "triggerInside": false, "wordChars": "[\\\\w]"}, %s, "sendMode": "kb"}\n' \
            "$name" "${keyword[$name]}" "$none" >"$folder/.$name.json"
    done
    autokey() { # log
        HOME="$ak/home" XDG_CONFIG_HOME="$ak/config" XDG_DATA_HOME="$ak/data" \
            dbus-run-session -- autokey-gtk >"$1" 2>&1 &
        ak_pid=$!
        E2E_PIDS+=("$ak_pid")
    }
    autokey_stop() {
        pkill -TERM -P "$ak_pid" 2>/dev/null
        kill "$ak_pid" 2>/dev/null
        wait "$ak_pid" 2>/dev/null
        rm -rf "$XDG_RUNTIME_DIR/autokey" # its lock
    }
    # A first run writes the default configuration; only the next one loads
    # folders of its own.
    autokey "$E2E_DIR/autokey-first.log"
    for _ in $(seq 200); do
        [ -s "$ak/config/autokey/autokey.json" ] && break
        sleep 0.1
    done
    sleep 1
    autokey_stop
    autokey "$E2E_DIR/autokey.log"
    # Ready once it expands.
    for _ in $(seq 60); do
        sleep 1
        e2e_target_clear
        e2e_focus_target
        xdotool type --delay 20 "brb "
        if e2e_wait_text "be right back " 2; then autokey_ok=1; break; fi
    done
    if [ "$autokey_ok" = 1 ]; then
        run_expander autokey
    else
        echo "vs_peer: AutoKey did not expand here; its figures are missing" >&2
        grep -v '^dbus-daemon' "$E2E_DIR/autokey.log" | tail -5 >&2
    fi
    autokey_stop
else
    echo "vs_peer: AutoKey (autokey-gtk, dbus-run-session) is not installed; its figures are missing" >&2
fi

echo
echo "Brevix against AutoKey ($(uptime | sed 's/.*load/load/'))"
echo "ms from the delimiter until the widget shows all; above floor = minus the run's floor median"
printf '%-10s %-9s %5s %8s %8s %8s %8s %8s  %s\n' run text chars floor median p95 above "chars/s" lost
declare -A above
for run in keys paste autokey; do
    for name in "${names[@]}"; do
        f="$res/$run.$name"
        [ -s "$f" ] || continue
        read -r fm _ _ <<<"$(stats "$f.floor")"
        read -r m p lost <<<"$(stats "$f")"
        n=$(chars "${text[$name]} ")
        a=$(awk -v m="$m" -v f="$fm" 'BEGIN { printf "%.2f", m - f }')
        above[$run.$name]=$a
        cps=$(awk -v a="$a" -v n="$n" 'BEGIN { printf "%.0f", (a > 0 ? n * 1000 / a : 0) }')
        printf '%-10s %-9s %5s %8s %8s %8s %8s %8s  %s\n' "$run" "$name" "$n" "$fm" "$m" "$p" "$a" "$cps" \
            "$([ "$lost" = 0 ] && echo "nothing lost" || echo "$lost of ${rounds[$name]} LOST")"
    done
done
if [ "$autokey_ok" = 1 ]; then
    echo "Brevix / AutoKey, time above the floor (below 1: Brevix faster)"
    for run in keys paste; do
        for name in "${names[@]}"; do
            b="${above[$run.$name]:-}" k="${above[autokey.$name]:-}"
            [ -n "$b" ] && [ -n "$k" ] || continue
            awk -v b="$b" -v k="$k" -v r="$run" -v n="$name" \
                'BEGIN { printf "  %-6s %-9s %.2f\n", r, n, (k > 0 ? b / k : 0) }'
        done
    done
fi
for name in long long_off; do
    f="$res/ceiling.$name"
    [ -s "$f" ] || continue
    read -r m p lost <<<"$(stats "$f")"
    n=$(chars "${text[$name]}")
    fm=$(stats "$res/keys.short.floor" | cut -d' ' -f1)
    verdict="nothing lost"
    [ "$lost" = 0 ] || verdict="$lost LOST"
    awk -v m="$m" -v p="$p" -v n="$n" -v f="$fm" -v name="$name" -v v="$verdict" 'BEGIN {
        a = m - f; printf "ceiling %-9s %d chars: median %.2f ms, p95 %.2f ms, %.2f above floor, %.0f chars/s, %s\n",
        name, n, m, p, a, (a > 0 ? n * 1000 / a : 0), v }'
    b="${above[keys.$name]:-}"
    [ -n "$b" ] && awk -v b="$b" -v c="$m" -v f="$fm" \
        'BEGIN { printf "  Brevix keystrokes take %.0f %% longer than the ceiling\n", 100 * (b / (c - f) - 1) }'
done
echo "$idle_line"
rm -rf "$res"
