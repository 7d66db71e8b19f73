#!/usr/bin/env bash
# Builds the magazine and starts it on an 800x600 screen.
#   scripts/run.sh [--folder FOLDER] [ondravia|ondravia-basic]
# Runs the demo magazine of the build; with --folder, the magazine in FOLDER: a run folder that
# scripts/disc.sh made from a magazine disc (brought up to date from the disc first), or any
# magazine folder. The programs always run from the build's program folder.
# Uses the current display: on an 800x600 one the program runs on it as it is, on any other
# it shows its 800x600 screen as one window scaled to fit (VARDEL_SCALE=N chooses the scale,
# VARDEL_SCALE=off runs on the desktop as it is); without any display, an Xvfb display.
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
