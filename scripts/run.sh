#!/usr/bin/env bash
# Builds the magazine and starts it on the demo content, on an 800x600 screen.
#   scripts/run.sh [ondravia|ondravia-basic]
# Uses the current display when it is 800x600; otherwise a nested Xephyr display that the
# program sees as 800x600, scaled up by the largest whole factor that fits the desktop;
# without any display, an Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-ondravia}"
case "$program" in
  ondravia|ondravia-basic) ;;
  *) echo "usage: scripts/run.sh [ondravia|ondravia-basic]" >&2; exit 2 ;;
esac

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
folder="$PWD/build/Ondravia"

free_display() {
  local n=20
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo "$n"
}

screen_size() {  # prints "W H" of the given display
  # awk reads to the end: an early exit would fail the pipeline with SIGPIPE.
  DISPLAY="$1" xdpyinfo 2>/dev/null | awk '/dimensions:/ && !done { split($2, s, "x"); print s[1], s[2]; done = 1 }'
}

server_pid=""
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true; }
trap cleanup EXIT

scale=1
if [ -n "${DISPLAY:-}" ] && size=$(screen_size "$DISPLAY") && [ -n "$size" ]; then
  read -r width height <<<"$size"
  if [ "$width" = 800 ] && [ "$height" = 600 ]; then
    echo "run: using the display $DISPLAY (800x600)"
  else
    scale=$(( width / 800 < height / 600 ? width / 800 : height / 600 ))
    [ "$scale" -ge 1 ] || scale=1
    n=$(free_display)
    Xephyr ":$n" -screen "$((800 * scale))x$((600 * scale))" -title "VARDEL" -no-host-grab -br >/dev/null 2>&1 &
    server_pid=$!
    export DISPLAY=":$n"
    echo "run: nested display $DISPLAY at scale $scale ($((800 * scale))x$((600 * scale)))"
  fi
else
  n=$(free_display)
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  server_pid=$!
  export DISPLAY=":$n"
  echo "run: no display found; running on the virtual display $DISPLAY (Xvfb, 800x600)."
  echo "run: take a screenshot with:  DISPLAY=$DISPLAY import -window root shot.png"
fi
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

if [ "$scale" -gt 1 ]; then export QT_SCALE_FACTOR="$scale"; fi
cd "$folder"
"./$program"
