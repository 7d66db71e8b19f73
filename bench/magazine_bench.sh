#!/usr/bin/env bash
# The magazine's responsiveness on an 800x600 Xvfb, both programs side by side:
#   - from the launch to the presentation's first painted frame (median of 5);
#   - from a city click to its article painted (the demo articles, the 230 KB almanac among them);
#   - CPU of the idle map over 30 s, and its resident memory (ondravia: with the browser engine's
#     helper processes).
# Usage: bench/magazine_bench.sh [build folder]   (builds nothing; run after a build)
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
build=$(cd "$build" && pwd)
folder="$build/Ondravia"
bench="$build/bench/magazine_bench"
work=$(mktemp -d)
export XDG_DATA_HOME="$work/xdg"
export VARDEL_AUDIO_DRIVER=dummy
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
# Register html.ocx once, as a first start does, so every measured start is an ordinary one.
"$bench" first-frame ondravia-basic "$(date +%s%N)" >/dev/null

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "== first painted frame of the presentation (ms, median of 5)"
for program in ondravia-basic ondravia; do
  for _ in 1 2 3 4 5; do "$bench" first-frame "$program" "$(date +%s%N)" | awk '{ print $2 }'; done | median | sed "s/^/$program: /"
done

echo "== city click to the painted article (ms, median of 5 rounds)"
cities="1 2 5 9 15"   # editorial, geografia, juegos, almanaque (230 KB), rutas
for program in ondravia-basic ondravia; do
  "$bench" city-click "$program" 5 $cities >"$work/clicks" 2>/dev/null
  for c in $cities; do
    awk -v c="$c" '$2 == c { print $4 }' "$work/clicks" | median |
      sed "s/^/$program city $c ($(awk -v c="$c" '$2 == c { print $3; exit }' "$work/clicks")): /"
  done
done

# All the processes of a program: itself and its descendants.
family() {
  local pid="$1"
  echo "$pid"
  for child in $(pgrep -P "$pid" 2>/dev/null); do family "$child"; done
}
cpu_ticks() { local t=0; for p in $(family "$1"); do t=$(( t + $(awk '{ print $14 + $15 }' "/proc/$p/stat" 2>/dev/null || echo 0) )); done; echo "$t"; }
rss_kb() { local t=0; for p in $(family "$1"); do t=$(( t + $(awk '/^VmRSS/ { print $2 }' "/proc/$p/status" 2>/dev/null || echo 0) )); done; echo "$t"; }
# Proportional set size: shared pages (the Qt and engine libraries every helper process maps)
# counted once across the family instead of once per process.
pss_kb() { local t=0; for p in $(family "$1"); do t=$(( t + $(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0) )); done; echo "$t"; }

echo "== idle map: CPU over 30 s and resident memory"
hz=$(getconf CLK_TCK)
for program in ondravia-basic ondravia; do
  (cd "$folder" && exec "./$program") >/dev/null 2>&1 &
  pid=$!
  sleep 9
  xdotool mousemove 400 300 click 1   # skip from the cover
  sleep 5
  before=$(cpu_ticks "$pid")
  sleep 30
  after=$(cpu_ticks "$pid")
  rss=$(rss_kb "$pid")
  pss=$(pss_kb "$pid")
  processes=$(family "$pid" | wc -l)
  awk -v p="$program" -v d=$((after - before)) -v hz="$hz" -v rss="$rss" -v pss="$pss" -v n="$processes" \
    'BEGIN { printf "%s: CPU %.2f%% of one core; memory of %d process(es): %.1f MB proportional (PSS), %.1f MB summed RSS\n", p, 100 * d / hz / 30, n, pss / 1024, rss / 1024 }'
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done
