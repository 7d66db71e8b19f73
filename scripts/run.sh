#!/usr/bin/env bash
# Builds the magazine and starts it on an 800x600 screen.
#   scripts/run.sh [--folder FOLDER] [ondravia|ondravia-basic]
# Runs the demo magazine of the build; with --folder, the magazine in FOLDER: a run folder that
# scripts/disc.sh made from a magazine disc (brought up to date from the disc first), or any
# magazine folder. The programs always run from the build's program folder.
# Uses the current display when it is 800x600; otherwise a nested Xephyr display that the
# program sees as 800x600, scaled up by the largest whole factor that fits the desktop
# (VARDEL_SCALE=N chooses the factor, VARDEL_SCALE=off runs on the desktop as it is);
# without any display, an Xvfb display.
set -euo pipefail
folder=""
if [ "${1:-}" = --folder ]; then
  [ -n "${2:-}" ] || { echo "run: --folder needs a folder" >&2; exit 2; }
  folder="$(realpath -m -- "$2")"
  shift 2
fi
program="${1:-ondravia}"
case "$program" in
  ondravia|ondravia-basic) ;;
  *) echo "usage: scripts/run.sh [--folder FOLDER] [ondravia|ondravia-basic]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."

scripts/build.sh
if [ -z "$folder" ]; then
  folder="$PWD/build/Ondravia"
elif [ -f "$folder/.vardel-disc" ]; then
  scripts/disc.sh --quiet --refresh "$folder" >/dev/null
fi
exec scripts/start.sh --programs "$PWD/build/Ondravia" --folder "$folder" "$program"
