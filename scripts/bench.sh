#!/usr/bin/env bash
# Runs every benchmark that was built and prints its figures. Benchmarks that
# type into a real X client run inside the end-to-end desktop.
set -uo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
found=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  found=1
  name=$(basename "$b")
  echo "== $name"
  case "$name" in
    bench_typing) bash "$root/tests/e2e/run_with_display.sh" "$b" --benchmark_min_time=0.2 2>&1 ;;
    *) "$b" --benchmark_min_time=0.2 2>&1 ;;
  esac || echo "benchmark $name failed"
done
[ "$found" = 1 ] || echo "no benchmarks built"
# Expansion latency brings its own desktop; fewer rounds than the 200 of a
# full measurement keep this run short.
if [ -x "$build/bin/latency_probe" ] && [ -x "$build/bin/brevix" ]; then
  echo "== expand_latency"
  COUNT="${COUNT:-50}" bash "$root/bench/expand_latency.sh" "$build" 2>&1 || echo "benchmark expand_latency failed"
fi
# The script port under hostile clients, against a started Brevix.
if [ -x "$build/bin/port_hostile" ] && [ -x "$build/bin/brevix" ]; then
  echo "== port_hostile"
  bash "$root/bench/port_hostile.sh" "$build" 2>&1 || echo "benchmark port_hostile failed"
fi
# Brevix against AutoKey in one desktop (installs the peer when missing).
if [ -x "$build/bin/peer_probe" ] && [ -x "$build/bin/brevix" ]; then
  echo "== vs_peer"
  bash "$root/bench/vs_peer.sh" "$build" 2>&1 | grep -v '^dbus-daemon' || echo "benchmark vs_peer failed"
fi
