#!/usr/bin/env bash
# The magazine's responsiveness on an 800x600 Xvfb, both programs side by side:
#   - from the launch to the presentation's first painted frame, beside two floors: a bare
#     800x600 Qt window, and one holding a browser engine view (bench/first_frame_floor.cpp);
#   - from a city click to its article painted (the demo articles, the 230 KB almanac among them),
#     also on a 1920x1080 desktop where the magazine is scaled to fit;
#   - CPU of the idle map over 30 s, and its resident memory (ondravia: with the browser engine's
#     helper processes).
# Usage: bench/magazine_bench.sh [build folder]   (builds nothing; run after a build)
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
build=$(cd "$build" && pwd)
folder="$build/Ondravia"
bench="$build/bench/magazine_bench"
export VARDEL_AUDIO_DRIVER=dummy
source "$(dirname "$0")/headless_x.sh"
export XDG_DATA_HOME="$work/xdg"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# From the launch to the first painted frame, in ms. The floors print the moment themselves;
# the programs are the real executables started from the program folder, and their window probe
# (ui/probe.h) reports the moment of the presentation's first paint.
# Every process is launched the same way, from a subshell in the background: a pipeline would
# cost the floors the start of its other end.
floor_frame() {
  local t0
  t0=$(date +%s%N)
  ("$build/bench/$1" >"$work/floor.out" 2>/dev/null) &
  wait $!
  awk -v t0="$t0" '{ printf "%.1f\n", ($2 - t0) / 1e6 }' "$work/floor.out"
}
program_frame() {
  local t0 pid probe="$work/probe"
  rm -f "$probe.done"
  t0=$(date +%s%N)
  (cd "$folder" && VARDEL_PROBE="$probe" exec "./$1") >/dev/null 2>&1 &
  pid=$!
  # The frame carries its own time: nothing is asked of the display until the start-up is
  # surely over, so that the measuring does not slow what it measures.
  sleep 1
  for _ in $(seq 1 500); do xdotool search --pid "$pid" >/dev/null 2>&1 && break; sleep 0.02; done
  for _ in $(seq 1 100); do
    kill -USR1 "$pid" 2>/dev/null || break
    for _ in $(seq 1 50); do [ -f "$probe.done" ] && break; sleep 0.01; done
    grep -q "paint	frmPresenta" "$probe.done" 2>/dev/null && break
    rm -f "$probe.done"
  done
  awk -F'\t' -v t0="$t0" '$1 == "#event" && $3 == "paint" && $4 == "frmPresenta" { printf "%.1f\n", ($2 - t0) / 1e6; exit }' "$probe.done"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
}
# Register html.ocx once, as a first start does, so every measured start is an ordinary one.
program_frame ondravia-basic >/dev/null

rounds=${VARDEL_BENCH_ROUNDS:-7}
echo "== first painted frame of the presentation (ms from the launch, median of $rounds, interleaved)"
: >"$work/frames"
for _ in $(seq 1 "$rounds"); do
  echo "bare $(floor_frame first_frame_floor)" >>"$work/frames"
  [ -x "$build/bench/first_frame_floor_web" ] && echo "web $(floor_frame first_frame_floor_web)" >>"$work/frames"
  echo "basic $(program_frame ondravia-basic)" >>"$work/frames"
  echo "browser $(program_frame ondravia)" >>"$work/frames"
done
bare=$(awk '$1 == "bare" { print $2 }' "$work/frames" | median)
for row in "bare:bare Qt window (floor)" "web:bare window + web view (floor)" "basic:ondravia-basic" "browser:ondravia"; do
  key="${row%%:*}"
  value=$(awk -v k="$key" '$1 == k { print $2 }' "$work/frames" | median)
  [ -n "$value" ] && awk -v n="${row#*:}" -v v="$value" -v b="$bare" 'BEGIN { printf "%-36s %7.1f ms  %.2fx the bare window\n", n ":", v, v / b }'
done

echo "== city click to the painted article (ms, median of 5 rounds), at 800x600 and on a 1920x1080"
echo "   desktop with the magazine fitted to it; the two screens in alternation, one round each"
cities="1 2 5 9 15"   # editorial, geografia, juegos, almanaque (230 KB), rutas
Xvfb -displayfd 4 -screen 0 1920x1080x24 -nolisten tcp -noreset 4>"$work/wide" 2>/dev/null &
wide=$!
trap 'kill $xvfb $wide 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do [ -s "$work/wide" ] && break; sleep 0.05; done
# ondravia also at 800x600 with its view composed through OpenGL (QT_QUICK_BACKEND=rhi), the
# way it drew before the software scene graph: the figure the scaled screen is held to.
for program in ondravia-basic ondravia; do
  : >"$work/clicks"
  : >"$work/wide-clicks"
  : >"$work/gl-clicks"
  for _ in 1 2 3 4 5; do
    "$bench" city-click "$program" 1 $cities >>"$work/clicks" 2>/dev/null
    DISPLAY=":$(cat "$work/wide")" "$bench" city-click "$program" 1 $cities >>"$work/wide-clicks" 2>/dev/null
    [ "$program" = ondravia ] && QT_QUICK_BACKEND=rhi "$bench" city-click "$program" 1 $cities >>"$work/gl-clicks" 2>/dev/null
  done
  for c in $cities; do
    narrow=$(awk -v c="$c" '$2 == c { print $4 }' "$work/clicks" | median)
    fitted=$(awk -v c="$c" '$2 == c { print $4 }' "$work/wide-clicks" | median)
    gl=$(awk -v c="$c" '$2 == c { print $4 }' "$work/gl-clicks" | median)
    # The light viewer's clicks also timed at the event loop's next turn after the frame, when
    # the window system has taken it and what the program queued behind it is done.
    narrow_turn=$(awk -v c="$c" '$2 == c && $6 != "" { print $6 }' "$work/clicks" | median)
    fitted_turn=$(awk -v c="$c" '$2 == c && $6 != "" { print $6 }' "$work/wide-clicks" | median)
    awk -v p="$program" -v c="$c" -v f="$(awk -v c="$c" '$2 == c { print $3; exit }' "$work/clicks")" \
      -v n="$narrow" -v w="$fitted" -v g="$gl" -v nt="$narrow_turn" -v wt="$fitted_turn" 'BEGIN {
        printf "%s city %s (%s): %.1f; fitted to 1920x1080: %.1f (%.2fx)", p, c, f, n, w, w / n
        if (g != "") printf "; 800x600 through OpenGL: %.1f (fitted %.2fx it)", g, w / g
        if (nt != "" && wt != "") printf "; at the next turn: %.1f, fitted %.1f (%.2fx)", nt, wt, wt / nt
        printf "\n" }'
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

echo "== idle map: CPU over 30 s and resident memory (800x600, then fitted to 1920x1080)"
hz=$(getconf CLK_TCK)
for screen in "800x600:$DISPLAY" "1920x1080:$(cat "$work/wide" | sed 's/^/:/')"; do
  for program in ondravia-basic ondravia ondravia:rhi; do
    [ "$program" = ondravia:rhi ] && [ "${screen%%:*}" != 800x600 ] && continue
    backend=""
    [ "$program" = ondravia:rhi ] && backend=rhi
    (cd "$folder" && DISPLAY="${screen#*:}" exec env ${backend:+QT_QUICK_BACKEND=$backend} "./${program%%:*}") >/dev/null 2>&1 &
    pid=$!
    sleep 9
    # Skip from the cover: a click in the middle of the screen the magazine sees (on the wide
    # desktop, the middle of its one window).
    if [ "${screen%%:*}" = 800x600 ]; then
      xdotool mousemove 400 300 click 1
    else
      window=$(DISPLAY="${screen#*:}" xdotool search --name '^VARDEL$' | head -1)
      eval "$(DISPLAY="${screen#*:}" xdotool getwindowgeometry --shell "$window")"
      DISPLAY="${screen#*:}" xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
    fi
    sleep 5
    before=$(cpu_ticks "$pid")
    sleep 30
    after=$(cpu_ticks "$pid")
    rss=$(rss_kb "$pid")
    pss=$(pss_kb "$pid")
    processes=$(family "$pid" | wc -l)
    awk -v p="${program/:rhi/ through OpenGL} at ${screen%%:*}" -v d=$((after - before)) -v hz="$hz" -v rss="$rss" -v pss="$pss" -v n="$processes" \
      'BEGIN { printf "%s: CPU %.2f%% of one core; memory of %d process(es): %.1f MB proportional (PSS), %.1f MB summed RSS\n", p, 100 * d / hz / 30, n, pss / 1024, rss / 1024 }'
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  done
done
kill "$wide" 2>/dev/null || true
