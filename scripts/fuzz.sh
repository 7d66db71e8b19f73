#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one of them, or each in turn, for a given time.
#   scripts/fuzz.sh <target|all> [seconds] [libFuzzer options...]   e.g. scripts/fuzz.sh fuzz_jpeg 600 -timeout=10
# Inputs go up to 4 MB (the sizes where readers used to blow up) and each may take 30 s at most;
# options given here come after these and win.
# Corpora grow under build-fuzz/corpus/<target>; seeds come from fuzz/seeds/<target> and, for
# some targets, from the public test corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh <target|all> [seconds]}"
seconds="${2:-60}"
shift $(( $# < 2 ? $# : 2 ))
if [ "$target" = all ]; then
  for t in $(sed -n 's/^vardel_fuzz_target(\([a-z_0-9]*\).*/\1/p' fuzz/CMakeLists.txt); do
    "$0" "$t" "$seconds" "$@"
  done
  exit 0
fi
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
  fuzz_html_text|fuzz_html_display) seeds+=(tests/controls/data) ;;
  fuzz_rtf|fuzz_plain_text) seeds+=(tests/data/rtf) ;;
esac
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
"build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
  -max_len=4194304 -timeout=30 -malloc_limit_mb=4096 \
  -artifact_prefix=build-fuzz/artifacts/ "$@" "$corpus" "${seeds[@]}"
