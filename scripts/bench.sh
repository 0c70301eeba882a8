#!/usr/bin/env bash
# Runs every benchmark that was built and prints its figures.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2 2>&1 || echo "benchmark $(basename "$b") failed"
done
[ "$found" = 1 ] || echo "no benchmarks built"
