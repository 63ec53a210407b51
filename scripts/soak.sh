#!/usr/bin/env bash
# The long runs: repeat mode against the simulator with faults at random, seeded moments, for
# SOAK_MINUTES (default 30), then kills the program SOAK_KILLS times (1,000) during its save.
# Prints captures, faults, recoveries, RSS and idle CPU, and fails
# on growth, stalls, spinning or a program that no longer draws a clean capture.
#   SOAK_MINUTES=10 make soak      shorter
#   SOAK_SEED=7 SOAK_FAULT_EVERY=10 make soak
set -euo pipefail
build=${1:-build}
export SOAK_MINUTES=${SOAK_MINUTES:-30}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
unset SOAK_SECONDS
status=0

echo "== chaos in repeat mode, ${SOAK_MINUTES} min (seed ${SOAK_SEED:-1}, a fault every ~${SOAK_FAULT_EVERY:-25} traces)"
"$build/tests/soak/test_soak" --gtest_brief=1 || status=1

echo "== kill during save: ${SOAK_KILLS:-1000} kills at random moments of the program's save"
TRACELY_KILL_RUNS=${SOAK_KILLS:-1000} ctest --test-dir "$build" -R '^test_kill_during_save$' \
    --output-on-failure -V || status=1

exit $status
