#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*_fuzz.cpp) with clang, ASan and UBSan in a build
# tree of their own and runs each for FUZZ_SECONDS (default 60) on a working copy of its seed
# corpus. Prints the executions per target; fails on the first finding, whose input is kept
# under <build>/fuzz-findings/<name>/.
#   scripts/fuzz.sh [build-dir] [target-name ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
shift || true
seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-2}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing (make fuzz installs it through scripts/setup.sh fuzz)" >&2
  exit 1
fi

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in tests/fuzz/*_fuzz.cpp; do
    n=$(basename "$f" .cpp)
    names+=("${n%_fuzz}")
  done
fi

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRACELY_TESTS=OFF -DTRACELY_FUZZ=ON >/dev/null
targets=()
for n in "${names[@]}"; do targets+=("${n}_fuzz"); done
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
summary=()
for n in "${names[@]}"; do
  corpus="$build/fuzz-corpus/$n"
  findings="$build/fuzz-findings/$n"
  mkdir -p "$corpus" "$findings"
  seeds="tests/fuzz/corpus/$n"
  log="$build/fuzz-$n.log"
  echo "fuzz: $n for ${seconds}s"
  if "$build/fuzz/${n}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1; then
    status=ok
  else
    status=FINDING
    failed=1
    tail -n 40 "$log" >&2
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("$(printf '%-14s %-8s %12s executions' "$n" "$status" "${runs:-?}")")
done
printf '%s\n' "${summary[@]}"
exit $failed
