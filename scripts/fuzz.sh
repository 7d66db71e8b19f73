#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one of them for a given time.
#   scripts/fuzz.sh <target> [seconds] [libFuzzer options...]   e.g. scripts/fuzz.sh fuzz_jpeg 600 -timeout=10
# Corpora grow under build-fuzz/corpus/<target>; seeds come from fuzz/seeds/<target> and, for
# some targets, from the public test corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh <target> [seconds]}"
seconds="${2:-60}"
shift $(( $# < 2 ? $# : 2 ))
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARDEL_FUZZ=ON -DVARDEL_SANITIZE=ON -DVARDEL_TESTS=OFF -DVARDEL_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "$target"
corpus="build-fuzz/corpus/$target"
mkdir -p "$corpus" build-fuzz/artifacts
seeds=()
[ -d "fuzz/seeds/$target" ] && seeds+=("fuzz/seeds/$target")
case "$target" in
  fuzz_jpeg) [ -d ../shared/corpus/jpeg-images/tests ] && seeds+=(../shared/corpus/jpeg-images/tests/reftest/images ../shared/corpus/jpeg-images/tests/crashtest/images) ;;
  fuzz_mpeg*) [ -d ../shared/corpus/mpeg-vectors/vectors ] && seeds+=(../shared/corpus/mpeg-vectors/vectors) ;;
  fuzz_html_text) seeds+=(tests/controls/data) ;;
  fuzz_rtf) seeds+=(tests/data/rtf) ;;
esac
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
# Inputs up to 1 MB (libFuzzer's own default is 4 KB, far below the sizes where content has
# made readers freeze or grow), each given at most 30 s; options given on the line win.
"build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
  -max_len=1048576 -timeout=30 -artifact_prefix=build-fuzz/artifacts/ "$@" "$corpus" "${seeds[@]}"
