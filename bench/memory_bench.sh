#!/usr/bin/env bash
# Resident memory over long use, both programs, on an 800x600 Xvfb (ondravia counts the browser
# engine's helper processes too):
#   - 600 city visits on the demo magazine, every city in turn;
#   - 300 visits of an article holding a 1000x1000 picture (a copy of the program folder where
#     city 2 leads to it), alternating with city 1;
#   - 100 editors opened on city 1's article and closed.
# Each run prints its memory every 30 visits or openings and the growth after the first 30.
# Usage: bench/memory_bench.sh [build folder] [visits] [picture visits] [editors]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
build=$(cd "$build" && pwd)
visits="${2:-600}"
picture_visits="${3:-300}"
editors="${4:-100}"
export VARDEL_AUDIO_DRIVER=dummy
source "$(dirname "$0")/headless_x.sh"

# The copy with the picture: hard links, but for the one article written anew.
copy="$work/Ondravia"
cp -al "$build/Ondravia" "$copy"
convert -size 1000x1000 gradient:navy-gold "$copy/Ficheros/foto.png"
# City 2's file, of the [Ficheros] section (other sections name the cities too).
article=$(awk 'BEGIN { IGNORECASE = 1 } { sub(/\r$/, "") } /^\[/ { files = (tolower($0) == "[ficheros]"); next }
  files && tolower($0) ~ /^ciudad2=/ { print substr($0, 9); exit }' "$copy/Configuracion.ini")
[ -f "$copy/Ficheros/$article" ] || { echo "city 2's article not found in the copy" >&2; exit 1; }
rm -f "$copy/Ficheros/$article"
printf '<html><body><h1>Foto</h1><img src="foto.png" width=1000 height=1000><p>Fin</p></body></html>' \
  >"$copy/Ficheros/$article"

# Every run as a first start: the copy's controls, registered by a run, must not stand in for
# the program folder's in the next.
for program in ondravia-basic ondravia; do
  echo "== $program: $visits city visits"
  XDG_DATA_HOME="$work/xdg-$program" "$build/bench/magazine_bench" visits "$program" "$visits" $(seq 1 15) 2>/dev/null
  echo "== $program: $picture_visits visits of a 1000x1000 picture"
  XDG_DATA_HOME="$work/xdg-$program-copy" VARDEL_BENCH_FOLDER="$copy/" \
    "$build/bench/magazine_bench" visits "$program" $((picture_visits * 2)) 2 1 2>/dev/null
  echo "== $program: $editors editors"
  XDG_DATA_HOME="$work/xdg-$program-editors" "$build/bench/magazine_bench" editors "$program" "$editors" 1 2>/dev/null
done
