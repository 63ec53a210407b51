#!/usr/bin/env bash
# Runs every benchmark of a Release build tree: the Google Benchmark programs with tabular
# counters, the end-to-end ones (which print their own tables) as they are.
set -euo pipefail
build=${1:-build-release}
status=0
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  case "$(basename "$b")" in
    bench_capture_rate | bench_gui_busy) "$b" || status=1 ;;
    *) "$b" --benchmark_counters_tabular=true || status=1 ;;
  esac
done
exit $status
