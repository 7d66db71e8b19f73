#!/usr/bin/env bash
# Builds everything and runs every test; then the unit and widget tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer. Both builds treat warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build -j "$jobs"
# The sanitizer build is made while the tests of the first one run: those mostly wait on their
# X servers and leave a core idle, and at the lowest priority the compiler takes only what they
# leave. Its output is shown once the tests are done.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARDEL_SANITIZE=ON \
  -DVARDEL_E2E=OFF -DVARDEL_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
asan_log=$(mktemp)
# A process group of its own, so that its compilers stop with it when the tests fail; not a
# session of its own: the kernel shares the processor between sessions before it weighs nice
# values, and the build would take half of it from the tests.
set -m
nice -n 19 cmake --build build-asan -j "$jobs" >"$asan_log" 2>&1 &
asan_build=$!
set +m
# The group is gone once the build has ended; under set -e a failed kill here would turn a
# passing run into a failing one.
trap 'kill -- -"$asan_build" 2>/dev/null || true; rm -f "$asan_log"' EXIT

(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

built=0
wait "$asan_build" || built=$?
cat "$asan_log"
[ "$built" -eq 0 ] || exit "$built"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest -L 'unit|widget' --output-on-failure -j "$jobs" --timeout 900)
