#!/usr/bin/env bash
# Runs every benchmark of a Release build tree.
set -euo pipefail
build=${1:-build-release}
status=0
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true || status=1
done
exit $status
