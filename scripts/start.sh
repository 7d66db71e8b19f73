#!/usr/bin/env bash
# Starts one of the two programs on an 800x600 screen; shared by scripts/run.sh and the installed starters.
#   start.sh [--programs DIR] --folder FOLDER PROGRAM [ARGUMENT...]
#       runs PROGRAM of DIR on the magazine in FOLDER (the demo magazine beside the programs, a run
#       folder made by disc.sh, or any magazine folder)
#   start.sh --programs DIR PROGRAM [MAGAZINE] [ARGUMENT...]
#       the installed starters: DIR holds the programs and the demo magazine; a MAGAZINE (a folder,
#       an ISO 9660 image or a CD device) gets a run folder of its own, made by disc.sh
# DIR is by default the build's program folder in a source tree, else this installation's. The
# programs always run from DIR and are told the magazine's folder: nothing in that folder is ever
# loaded as a library, a plug-in or a configuration.
# The screen: the program fits itself to the current display (on any desktop but an 800x600 one it
# shows its 800x600 screen as one window, scaled to fit; VARDEL_SCALE chooses the scale,
# VARDEL_SCALE=off uses the desktop as it is); X11 first, else Wayland; without any display, an
# 800x600 Xvfb.
# Arguments that name existing files are made absolute, since the program runs in its own folder.
set -euo pipefail
here="$(cd "$(dirname "$(readlink -f "$0")")" && pwd)"

folder=""
programs=""
while :; do
  case "${1:-}" in
    --folder) folder="${2:?start.sh: --folder needs a folder}"; shift 2 ;;
    --programs) programs="${2:?start.sh: --programs needs a folder}"; shift 2 ;;
    *) break ;;
  esac
done
if [ -z "$folder" ] && [ -z "$programs" ]; then
  echo "usage: start.sh [--programs DIR] --folder FOLDER | --programs DIR  PROGRAM [ARGUMENT...]" >&2
  exit 2
fi
starter=0
[ -z "$folder" ] && starter=1
if [ -z "$programs" ]; then
  if [ -f "$here/../CMakeLists.txt" ]; then programs="$here/../build/Ondravia"; else programs="$here/../../lib/vardel"; fi
fi
program="${1:-}"
case "$program" in
  ondravia|ondravia-basic) shift ;;
  *) echo "start.sh: the program is ondravia or ondravia-basic, not '$program'" >&2; exit 2 ;;
esac
say() { echo "$program: $*" >&2; }

usage() {
  local viewer="the full browser engine"
  [ "$program" = ondravia-basic ] && viewer="the light HTML viewer"
  cat <<EOF
Usage: $program [MAGAZINE] [DOCUMENT]

Starts Ondravia VARDEL, the offline reader of the Ondravia electronic magazine,
with its articles shown in $viewer.

  MAGAZINE   a magazine disc: its folder (a mounted disc or a copy), an ISO 9660
             image (.iso) or a CD device. Without it, the demo magazine runs.
             The disc is never written to: a run folder for it is made under
             \${XDG_CACHE_HOME:-~/.cache}/vardel/discs/.
  DOCUMENT   a rich-text or text file that the editor opens when it is shown.

The magazine needs an 800x600 screen. On a desktop of another size it runs in
one window titled VARDEL that is its 800x600 screen, scaled to the largest size
that fits the desktop. Alt+Enter or F11 shows it full screen and back.
VARDEL_SCALE chooses:
  VARDEL_SCALE=2      scale by 2: a 1600x1200 window
  VARDEL_SCALE=1.5    scale by 1.5: a 1200x900 window
  VARDEL_SCALE=1      unscaled: an 800x600 window
  VARDEL_SCALE=off    on the desktop itself, as it is (only an 800x600 desktop
                      passes the magazine's own screen check)
  VARDEL_SCALE=auto   the largest scale that fits (the default)
For example:  VARDEL_SCALE=1 $program
EOF
}

if [ "$starter" = 1 ]; then
  case "${1:-}" in
    -h|--help) usage; exit 0 ;;
  esac
  folder="$programs"
  magazine="${1:-}"
  if [ -n "$magazine" ] && { [ -d "$magazine" ] || [ -b "$magazine" ] || [[ "${magazine,,}" == *.iso && -f "$magazine" ]]; }; then
    shift
    folder=$("$here/disc.sh" "$magazine") || exit 1
  fi
fi
programs="$(cd "$programs" 2>/dev/null && pwd)" || { say "no program folder at $programs: build first"; exit 1; }
[ -x "$programs/$program" ] || { say "$programs has no $program: build first"; exit 1; }
folder="$(cd "$folder" 2>/dev/null && pwd)" || { say "no magazine folder at $folder"; exit 1; }
# The program is told its content folder unless that is the demo magazine beside it.
content=()
[ "$(realpath -- "$folder")" = "$(realpath -- "$programs")" ] || content=(--content "$folder")

arguments=()
for argument in "$@"; do
  if [ -e "$argument" ] && [[ "$argument" != /* ]]; then argument="$PWD/$argument"; fi
  arguments+=("$argument")
done

scale="${VARDEL_SCALE:-auto}"
case "$scale" in
  auto|off) ;;
  0) export VARDEL_SCALE=off ;;
  *)
    if ! [[ "$scale" =~ ^[0-9]+(\.[0-9]+)?$ ]] || ! awk -v s="$scale" 'BEGIN { exit !(s >= 0.5 && s <= 8) }'; then
      say "VARDEL_SCALE is a scale from 0.5 to 8 (1 for an unscaled window, 1.5, 2...), 'auto' or 'off'; not '$scale'"
      exit 2
    fi
    ;;
esac

cd "$folder"
# Scaled, the program puts the desktop's Qt scaling settings aside itself while Qt starts, and
# gives them back to the programs it starts. On the desktop as it is, they would change the
# 800x600 screen.
if [ "${VARDEL_SCALE:-}" = off ]; then
  unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING QT_SCALE_FACTOR_ROUNDING_POLICY \
    QT_FONT_DPI QT_USE_PHYSICAL_DPI QT_DPI_ADJUSTMENT_POLICY
fi

# X11 first, also on a Wayland desktop (XWayland): there the game's window is found by its
# caption and brought up. A Wayland desktop without X11 runs it as a Wayland client.
if [ -n "${DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=xcb
  exec "$programs/$program" "${content[@]}" "${arguments[@]}"
fi
if [ -n "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=wayland
  exec "$programs/$program" "${content[@]}" "${arguments[@]}"
fi
export QT_QPA_PLATFORM=xcb

# No display at all: an 800x600 virtual one, which writes its number to a file once it accepts
# clients.
server_pid=""
program_pid=""
number_file=$(mktemp "${TMPDIR:-/tmp}/vardel-display.XXXXXX")
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -f "$number_file"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 1 200); do
  [ -s "$number_file" ] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.05
done
[ -s "$number_file" ] || { say "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$number_file")"
say "no display found; running on the virtual display $DISPLAY (Xvfb, 800x600)."
say "take a screenshot with:  DISPLAY=$DISPLAY import -window root shot.png"
"$programs/$program" "${content[@]}" "${arguments[@]}" &
program_pid=$!
status=0
wait "$program_pid" || status=$?
program_pid=""
exit "$status"
