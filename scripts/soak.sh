#!/usr/bin/env bash
# The whole suite under load: a CPU hog on every core (stress-ng) while every test of build/
# runs ROUNDS times in a row (5 by default). A test that waits for a wall clock instead of for
# what the program reports fails here first. Builds first, as test.sh does.
#   scripts/soak.sh [ROUNDS] [ctest arguments...]     e.g. scripts/soak.sh 5 -L e2e
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-5}"
shift || true
scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build -j "$jobs"

# Its own process group: stress-ng's workers outlive a signal sent to their parent alone.
setsid stress-ng --cpu "$jobs" --timeout 0 --quiet &
hog=$!
trap 'kill -- -$hog 2>/dev/null || true; wait $hog 2>/dev/null || true' EXIT
# --repeat until-fail: each test runs ROUNDS times and counts as failed at its first failure.
(cd build && ctest --output-on-failure -j "$jobs" --timeout 900 --repeat "until-fail:$rounds" "$@")
