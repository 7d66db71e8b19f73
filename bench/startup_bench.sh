#!/usr/bin/env bash
# Start-up with huge content: the time to the first window with the demo magazine, with
# 100,000 cities in Configuracion.ini and with opening music of millions of frames without an
# Info tag, and each against the normal start. Needs a built program folder.
#   bench/startup_bench.sh [ondravia|ondravia-basic] [build folder]
#   VARDEL_BENCH_ROUNDS=5 (starts per case, the median counts), VARDEL_BENCH_GIGABYTE=1 (also a
#   real 1 GB MP3, written to the artefacts folder and removed afterwards)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-ondravia-basic}"
build="$(cd "${2:-$here/../build}" && pwd)"
export VARDEL_PROGRAM_DIR="$build/Ondravia"
mkdir -p "${VARDEL_TEST_ARTIFACTS:-$build/bench-artifacts}"
VARDEL_TEST_ARTIFACTS="$(cd "${VARDEL_TEST_ARTIFACTS:-$build/bench-artifacts}" && pwd)"
export VARDEL_TEST_ARTIFACTS
exec bash "$here/../tests/e2e/bounded_test.sh" "$program" startup_figures
