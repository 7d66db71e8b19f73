# End-to-end test helpers: a real Xvfb at 800x600, programs started from the program folder as
# a person would, driven with xdotool, screenshots kept under the build's test artefacts.
# Source this file from a test script; every helper fails the test loudly.
set -euo pipefail

: "${VARDEL_PROGRAM_DIR:?set by ctest}"
: "${VARDEL_TEST_ARTIFACTS:?set by ctest}"
E2E_NAME="${E2E_NAME:-$(basename "$0" .sh)}"
E2E_DIR="$VARDEL_TEST_ARTIFACTS/$E2E_NAME"
rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR"
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_WM_ARGS=()  # more arguments for openbox (a configuration file of the test's own)
E2E_APP_PID=""
E2E_OTHER_PIDS=()  # processes the program started that the test must end too (e2e_adopt)
E2E_PULSE_PID=""
E2E_PULSE_DIR=""
E2E_RECORDING_PID=""
E2E_PROBE="$E2E_DIR/probe.txt"
E2E_SHOTS=0
# Tesseract's worker threads spin while they wait: on a busy machine one reading took minutes
# instead of a second. One thread reads a screenshot in under a second.
export OMP_THREAD_LIMIT=1

e2e_log() { echo "[$E2E_NAME $(date +%T.%3N)] $*"; }
e2e_fail() {
  e2e_log "FAIL: $*"
  e2e_shot "failure" || true
  exit 1
}

e2e_cleanup() {
  if [ -n "$E2E_APP_PID" ]; then kill "$E2E_APP_PID" 2>/dev/null || true; wait "$E2E_APP_PID" 2>/dev/null || true; fi
  local pid
  for pid in "${E2E_OTHER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$E2E_RECORDING_PID" ]; then kill "$E2E_RECORDING_PID" 2>/dev/null || true; fi
  if [ -n "$E2E_PULSE_PID" ]; then kill "$E2E_PULSE_PID" 2>/dev/null || true; wait "$E2E_PULSE_PID" 2>/dev/null || true; fi
  if [ -n "$E2E_PULSE_DIR" ]; then rm -rf "$E2E_PULSE_DIR"; fi
  if [ -n "$E2E_WM_PID" ]; then kill "$E2E_WM_PID" 2>/dev/null || true; wait "$E2E_WM_PID" 2>/dev/null || true; fi
  if [ -n "$E2E_XVFB_PID" ]; then kill "$E2E_XVFB_PID" 2>/dev/null || true; wait "$E2E_XVFB_PID" 2>/dev/null || true; fi
}
trap e2e_cleanup EXIT

# e2e_start_xvfb [WIDTHxHEIGHT]: a fresh X server on a free display; sets DISPLAY.
e2e_start_xvfb() {
  local size="${1:-800x600}"
  local fdfile="$E2E_DIR/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fdfile" 2>"$E2E_DIR/xvfb.log" &
  E2E_XVFB_PID=$!
  for _ in $(seq 1 200); do [ -s "$fdfile" ] && break; sleep 0.05; done
  [ -s "$fdfile" ] || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$fdfile")"
  e2e_log "Xvfb $size on $DISPLAY"
}

# e2e_run <command> [args...]: starts a program with the program folder as current folder;
# its output goes to the artefacts. Sets E2E_APP_PID.
e2e_run() {
  local program="$1"
  shift
  (cd "$VARDEL_PROGRAM_DIR" && VARDEL_PROBE="$E2E_PROBE" exec "$program" "$@") \
    >"$E2E_DIR/$(basename "$program").out" 2>&1 &
  E2E_APP_PID=$!
  e2e_log "started $program (pid $E2E_APP_PID)"
}

# e2e_wait_window <exact title> [seconds]: waits until a visible window has that title.
e2e_wait_window() {
  local title="$1" timeout="${2:-10}" deadline
  deadline=$(( $(date +%s%N) / 1000000 + timeout * 1000 ))
  while [ $(( $(date +%s%N) / 1000000 )) -lt "$deadline" ]; do
    if xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  e2e_fail "no window titled '$title' within ${timeout}s"
}

# e2e_wait_exit [seconds]: waits for the started program to end; echoes its exit status and
# keeps it in E2E_EXIT_STATUS. Call it in this shell, never inside $(...): a subshell cannot wait
# for a program that ends after it was forked (bash then answers -1).
e2e_wait_exit() {
  local timeout="${1:-10}"
  for _ in $(seq 1 $((timeout * 20))); do
    if ! kill -0 "$E2E_APP_PID" 2>/dev/null; then
      local status=0
      wait "$E2E_APP_PID" || status=$?
      E2E_APP_PID=""
      E2E_EXIT_STATUS=$status
      echo "$status"
      return 0
    fi
    sleep 0.05
  done
  e2e_fail "the program did not end within ${timeout}s"
}

# e2e_move x y: moves the pointer and waits until it is there. (xdotool's --sync would wait
# forever for a move to where the pointer already is.)
e2e_move() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  if [ "$X" != "$1" ] || [ "$Y" != "$2" ]; then xdotool mousemove --sync "$1" "$2"; fi
}
# e2e_click x y [button] [modifiers...]: e.g. e2e_click 10 10 1 ctrl alt
e2e_click() {
  local x="$1" y="$2" button="${3:-1}"
  shift 3 2>/dev/null || shift $#
  e2e_move "$x" "$y"
  for m in "$@"; do xdotool keydown "$m"; done
  xdotool click "$button"
  for m in "$@"; do xdotool keyup "$m"; done
}
e2e_key() { xdotool key "$@"; }

# e2e_shot <name>: saves the whole screen as <artefacts>/<nn>-<name>.png; echoes the path.
e2e_shot() {
  # Numbered from the shots already taken: callers usually run this in a $(...) subshell,
  # where a counter variable would not survive.
  E2E_SHOTS=$(( $(find "$E2E_DIR" -maxdepth 1 -name '[0-9][0-9]-*.png' | wc -l) + 1 ))
  local file
  file=$(printf '%s/%02d-%s.png' "$E2E_DIR" "$E2E_SHOTS" "$1")
  import -window root "$file" 2>/dev/null
  echo "$file"
}

# e2e_pixel <png> x y: prints "r,g,b" of one pixel.
e2e_pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info: 2>/dev/null
}

# e2e_probe_ready: the program has a window, so its probe answers (a test whose program is no
# X client defines its own).
e2e_probe_ready() { xdotool search --pid "$E2E_APP_PID" >/dev/null 2>&1; }
# e2e_probe: asks the running program for its widget dump (see ui/probe.h); prints it. Fails
# (without ending the test) while the program is not running or not yet answering: the probe
# exists once the program has a window, and before that the signal would end it.
e2e_probe() {
  [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null || return 1
  e2e_probe_ready || return 1
  rm -f "$E2E_PROBE.done"
  kill -USR1 "$E2E_APP_PID" 2>/dev/null || return 1
  for _ in $(seq 1 100); do [ -f "$E2E_PROBE.done" ] && break; sleep 0.02; done
  [ -f "$E2E_PROBE.done" ] || return 1
  cat "$E2E_PROBE.done"
}

# e2e_widget <path suffix>: the probe line of the first widget whose path ends with it.
# (Every awk over the probe reads the dump to its end: one that stopped early would end the probe's
# writer with SIGPIPE, a failed pipeline, once the dump outgrows the pipe.)
e2e_widget() { e2e_probe | awk -F'\t' -v s="$1" '!done && index($1, s) && substr($1, length($1) - length(s) + 1) == s { print; done = 1 }'; }
# e2e_widget_text <path suffix>: that widget's text.
e2e_widget_text() { e2e_widget "$1" | cut -f5; }
# e2e_widget_property <path suffix> <name>: one of the properties the widget's class declares.
e2e_widget_property() { e2e_widget "$1" | cut -f6 | tr ';' '\n' | sed -n "s/^$2=//p"; }
# e2e_widget_visible <path suffix>: 1 or 0.
e2e_widget_visible() { e2e_widget "$1" | cut -f3; }
# e2e_focused_class <class>: true while a widget of that class has the keyboard focus.
e2e_focused_class() { e2e_probe | awk -F'\t' -v c="$1" '$2 == c && $7 == 1 { found = 1 } END { exit !found }'; }
# e2e_has_focus <path suffix>: true while that widget has the keyboard focus.
e2e_has_focus() { [ "$(e2e_widget "$1" | cut -f7)" = 1 ]; }
# e2e_focus_within <window name>: true while a widget of that top-level window has the focus.
e2e_focus_within() { e2e_probe | awk -F'\t' -v w="$1" '(index($1, w "/") == 1 || $1 == w) && $7 == 1 { found = 1 } END { exit !found }'; }
# e2e_class_visible <class>: true while a widget of that class is visible (a menu, a dialog).
e2e_class_visible() { e2e_probe | awk -F'\t' -v c="$1" '$2 == c && $3 == 1 { found = 1 } END { exit !found }'; }

# e2e_timeline: the program's timeline (see ui/probe.h), one event a line:
#   <ns since the epoch>\t<what>\t<object path>\t<detail>
e2e_timeline() { e2e_probe | awk -F'\t' '$1 == "#event" { print $2 "\t" $3 "\t" $4 "\t" $5 }'; }
# e2e_event_ns <timeline file> <what> <path suffix> [detail] [after ns]: the time of the first
# matching event (after the given time, if any); fails when there is none.
e2e_event_ns() {
  awk -F'\t' -v w="$2" -v s="$3" -v d="${4-}" -v after="${5:-0}" '
    $2 == w && substr($3, length($3) - length(s) + 1) == s && (d == "" || index($4, d)) && $1 + 0 > after + 0 { print $1; found = 1; exit }
    END { exit !found }' "$1"
}
# e2e_now_ns: the present moment on the timeline's clock.
e2e_now_ns() { date +%s%N; }

# e2e_until <seconds> <command...>: retries the command until it succeeds.
e2e_until() {
  local timeout="$1"
  shift
  for _ in $(seq 1 $((timeout * 20))); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  return 1
}

# e2e_alive: the program started by e2e_run is still running.
e2e_alive() { kill -0 "$E2E_APP_PID" 2>/dev/null; }
# e2e_while_alive <seconds> <command...>: retries the command until it succeeds; fails at once
# when the program ends meanwhile (a crash says so here rather than as a time-out).
e2e_while_alive() {
  local timeout="$1" status
  shift
  for _ in $(seq 1 $((timeout * 10))); do
    if ! e2e_alive; then
      status=0
      wait "$E2E_APP_PID" || status=$?
      E2E_APP_PID=""
      e2e_fail "the program ended (status $status) while waiting for: $*"
    fi
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  e2e_fail "timed out after ${timeout}s waiting for: $*"
}

# e2e_ini <file> <section> <key>: a value of an INI file (CRLF or LF), empty when missing.
e2e_ini() {
  awk -v s="$2" -v k="$3" 'BEGIN { IGNORECASE = 1 }
    { sub(/\r$/, "") }
    /^\[/ { insec = (tolower($0) == "[" tolower(s) "]"); next }
    insec { eq = index($0, "="); if (eq && tolower(substr($0, 1, eq - 1)) == tolower(k)) { print substr($0, eq + 1); exit } }' "$1"
}

# e2e_copy_program_folder <dest>: a copy of the program folder to change for one test.
e2e_copy_program_folder() {
  rm -rf "$1"
  cp -a "$VARDEL_PROGRAM_DIR" "$1"
}

# e2e_colour_near <"r,g,b"> <"r,g,b"> [tolerance]: true when every channel is within tolerance.
e2e_colour_near() {
  local IFS=,
  read -r r1 g1 b1 <<<"$1"
  read -r r2 g2 b2 <<<"$2"
  local t="${3:-24}"
  [ $(( (r1 - r2) * (r1 - r2) <= t * t && (g1 - g2) * (g1 - g2) <= t * t && (b1 - b2) * (b1 - b2) <= t * t )) = 1 ]
}

# e2e_picture_pixel <picture file> x y: a pixel of a content picture (JPEG without extension).
e2e_picture_pixel() {
  convert "jpeg:$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info: 2>/dev/null
}

# e2e_screen_matches_picture <screenshot> <picture> <x0> <y0> [points...]: the screenshot shows the
# picture placed at x0,y0, judged at a few points inside it (each "x,y", or "x y" as two words, in
# picture coordinates). A point outside the screen or the picture fails: it would judge nothing.
e2e_screen_matches_picture() {
  local shot="$1" picture="$2" x0="$3" y0="$4"
  shift 4
  local x y on_screen in_picture sw sh pw ph
  read -r sw sh <<<"$(identify -format '%w %h' "$shot")"
  read -r pw ph <<<"$(identify -format '%w %h' "jpeg:$picture")"
  while [ $# -gt 0 ]; do
    if [[ "$1" == *,* ]]; then
      x="${1%,*}"; y="${1#*,}"; shift
    else
      x="$1"; y="${2:?a point without its y}"; shift 2
    fi
    if [ "$x" -ge "${pw:-0}" ] || [ "$y" -ge "${ph:-0}" ] || [ $((x0 + x)) -ge "${sw:-0}" ] || [ $((y0 + y)) -ge "${sh:-0}" ]; then
      e2e_log "point $x,$y lies outside the screen or $picture"
      return 1
    fi
    on_screen=$(e2e_pixel "$shot" $((x0 + x)) $((y0 + y)))
    in_picture=$(e2e_picture_pixel "$picture" "$x" "$y")
    e2e_colour_near "$on_screen" "$in_picture" 40 || return 1
  done
}

# e2e_wait_for_message <text> [seconds]: waits for a message box whose text contains <text>.
e2e_wait_for_message() {
  local text="$1" timeout="${2:-10}" window=""
  for _ in $(seq 1 $((timeout * 10))); do
    if [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; then
      window=$(e2e_probe 2>/dev/null | awk -F'\t' -v t="$text" '!done && $2 == "QLabel" && $3 == 1 && index($5, t) { split($1, p, "/"); print p[1]; done = 1 }') || true
      [ -n "$window" ] && break
    fi
    sleep 0.1
  done
  [ -n "$window" ] || e2e_fail "no message box saying '$text' within ${timeout}s"
  # The keys a test sends next go to the box once it has the keyboard focus.
  e2e_until 10 e2e_focus_within "$window" || e2e_log "the message box '$text' has no keyboard focus"
}

# e2e_adopt <pid>: a process the program started (the game) that the test ends at its end.
e2e_adopt() { E2E_OTHER_PIDS+=("$1"); }

# e2e_start_wm: a real window manager (openbox) on the current display; returns once it manages
# windows (its own announcement comes before that).
e2e_start_wm() {
  openbox --sm-disable "${E2E_WM_ARGS[@]}" >"$E2E_DIR/openbox.log" 2>&1 &
  E2E_WM_PID=$!
  local probe="" window="" tries=0
  for _ in $(seq 1 300); do
    kill -0 "$E2E_WM_PID" 2>/dev/null || e2e_fail "openbox ended: $(cat "$E2E_DIR/openbox.log")"
    # A window of the test's own; one mapped while openbox was still starting may never be
    # taken in, so a new one every three seconds.
    if [ $((tries % 30)) = 0 ]; then
      [ -n "$probe" ] && { kill "$probe" 2>/dev/null || true; wait "$probe" 2>/dev/null || true; }
      xmessage -title vardel-wm-probe ready >/dev/null 2>&1 &
      probe=$!
    fi
    tries=$((tries + 1))
    window=$(xdotool search --name '^vardel-wm-probe$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && [ "$(e2e_window_state "$window")" = Normal ] && break
    window=""
    sleep 0.1
  done
  kill "$probe" 2>/dev/null || true
  wait "$probe" 2>/dev/null || true
  [ -n "$window" ] || e2e_fail "openbox did not start managing windows within 30s"
  e2e_log "openbox on $DISPLAY"
}

# e2e_window_state <window id>: the window manager's state of a window: Normal, Iconic, or empty.
e2e_window_state() {
  xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/^[[:space:]]*window state: //p' | head -n1
}

# e2e_visible <path suffix>: true when that widget is visible.
e2e_visible() { [ "$(e2e_widget_visible "$1")" = 1 ]; }

# e2e_presses_since <ns>: the mouse presses the program saw since then, as "<widget> (x,y) ...".
e2e_presses_since() {
  e2e_timeline | awk -F'\t' -v t="$1" '$2 == "press" && $1 > t { printf "%s (%s) ", $3, $4 }' || true
}

# e2e_skip_opening: skips the rest of the opening from its second picture, as a person would,
# and waits until the map is interactive. A click that leaves the opening on screen is logged,
# with the presses the program saw since and the window under the pointer, and made again, as
# a person would (a click on the map after the opening's end finds no city at the centre).
e2e_skip_opening() {
  e2e_until 30 e2e_visible frmPresenta/client/lbURL || e2e_fail "the opening did not reach its second picture"
  local attempt since presses
  for attempt in 1 2 3; do
    since=$(e2e_now_ns)
    e2e_click 400 300
    if e2e_until 10 e2e_visible frmMapa/client/Label1; then
      # The wait may outlast the opening: an end the click had no part in is said too.
      presses=$(e2e_presses_since "$since")
      if [ -n "$presses" ]; then e2e_log "opening skipped"; else e2e_log "the opening ended, but the program saw no press"; fi
      return 0
    fi
    presses=$(e2e_presses_since "$since")
    e2e_log "click $attempt left the opening on screen; presses seen: ${presses:-none};" \
      "pointer: $(xdotool getmouselocation --shell 2>&1 | tr '\n' ' ')"
  done
  e2e_fail "the skip did not finish the opening"
}

# e2e_centre <path suffix>: "x y", the screen coordinates of a widget's centre.
e2e_centre() {
  local geometry x y w h
  geometry=$(e2e_widget "$1" | cut -f4)
  [ -n "$geometry" ] || e2e_fail "no widget $1"
  IFS=, read -r x y w h <<<"$geometry"
  echo "$((x + w / 2)) $((y + h / 2))"
}
# e2e_press <path suffix>: a left click on the centre of a widget.
e2e_press() {
  local x y
  read -r x y <<<"$(e2e_centre "$1")"
  e2e_click "$x" "$y" 1
}

# e2e_city_centre <configuration file> <n>: "x y", the centre of city n on the map.
e2e_city_centre() {
  local x y w h
  x=$(e2e_ini "$1" Posiciones "Ciudad${2}X")
  y=$(e2e_ini "$1" Posiciones "Ciudad${2}Y")
  w=$(e2e_ini "$1" Tamanios "Ciudad${2}Ancho")
  h=$(e2e_ini "$1" Tamanios "Ciudad${2}Alto")
  echo "$((x + w / 2)) $((y + h / 2))"
}

# e2e_document_shown <program>: true while the map shows a document (the browser at the top of
# the map in ondravia, the viewer visible in ondravia-basic).
e2e_document_shown() {
  if [ "$1" = ondravia ]; then
    [ "$(e2e_widget /wIE4 | cut -f4 | cut -d, -f2)" = 0 ]
  else
    e2e_visible /w
  fi
}

# e2e_ocr_find <word>: "x y" of the centre of <word> on the screen, read by OCR; fails when absent.
e2e_ocr_find() {
  local shot="$E2E_DIR/ocr.png"
  import -window root "$shot" 2>/dev/null
  tesseract "$shot" - tsv 2>/dev/null | awk -F'\t' -v w="$1" 'tolower($12) == w { print int($7 + $9 / 2), int($8 + $10 / 2); found = 1; exit } END { exit !found }'
}

# e2e_wait_focus <name pattern> <seconds>: the window of that name has the keyboard, so keys sent
# now reach it (a window can be shown a while before it is given the focus).
e2e_wait_focus() {
  e2e_until "$2" bash -c 'xdotool getwindowfocus getwindowname 2>/dev/null | grep -q "$1"' _ "$1"
}

# e2e_screen_settled <WxH+X+Y>: that part of the screen is the same in two grabs 0.3 s apart: a
# scroll or a page's drawing has come to rest.
e2e_screen_settled() {
  local before after
  before=$(import -window root -crop "$1" rgb:- 2>/dev/null | md5sum)
  sleep 0.3
  after=$(import -window root -crop "$1" rgb:- 2>/dev/null | md5sum)
  [ "$before" = "$after" ]
}

# e2e_le32 <n>: four bytes, n little-endian.
e2e_le32() {
  local v=$1
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))"
}
# e2e_wav <file> <seconds>: a 44.1 kHz stereo track holding a 441 Hz square tone at a quarter of
# full scale, loud on any recording and cheap to write from the shell.
e2e_wav() {
  local bytes=$(( $2 * 44100 * 4 )) samples="$1.samples" i
  # One period: 50 frames at +8000, 50 at -8000 (16-bit little-endian, both channels), then
  # doubled until it is long enough.
  : >"$samples"
  for i in $(seq 1 50); do printf '\x40\x1f\x40\x1f' >>"$samples"; done
  for i in $(seq 1 50); do printf '\xc0\xe0\xc0\xe0' >>"$samples"; done
  while [ "$(stat -c %s "$samples")" -lt "$bytes" ]; do cat "$samples" "$samples" >"$samples.2"; mv "$samples.2" "$samples"; done
  {
    printf 'RIFF'; e2e_le32 $((bytes + 36))
    printf 'WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00data'
    e2e_le32 "$bytes"
    head -c "$bytes" "$samples"
  } >"$1"
  rm -f "$samples"
}

# e2e_start_pulse: a PulseAudio server of the test's own with a null sink, which programs
# started afterwards play into (PULSE_SERVER; the decoder's driver forced to pulse).
e2e_start_pulse() {
  # A short folder of its own: a socket's path may not be longer than 107 bytes.
  E2E_PULSE_DIR=$(mktemp -d /tmp/vardel-pulse.XXXXXX)
  local socket="$E2E_PULSE_DIR/native"
  HOME="$E2E_PULSE_DIR" XDG_RUNTIME_DIR="$E2E_PULSE_DIR" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --disallow-exit --use-pid-file=no -L "module-null-sink sink_name=null" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" >"$E2E_DIR/pulseaudio.log" 2>&1 &
  E2E_PULSE_PID=$!
  for _ in $(seq 1 200); do [ -S "$socket" ] && break; sleep 0.05; done
  [ -S "$socket" ] || e2e_fail "PulseAudio did not start: $(tail -n 5 "$E2E_DIR/pulseaudio.log")"
  export PULSE_SERVER="unix:$socket"
  export VARDEL_AUDIO_DRIVER=pulse
  e2e_until 10 pactl info || e2e_fail "PulseAudio does not answer"
  e2e_log "PulseAudio on $socket"
}

# e2e_record_start <name>: records the null sink's monitor (mono, 11025 Hz) into <name>.raw.
e2e_record_start() {
  local file="$E2E_DIR/$1.raw"
  parec --device=null.monitor --format=s16le --rate=11025 --channels=1 --raw --latency-msec=50 >"$file" 2>/dev/null &
  E2E_RECORDING_PID=$!
  # The recording runs once its first samples have arrived.
  for _ in $(seq 1 200); do [ -s "$file" ] && break; sleep 0.02; done
  [ -s "$file" ] || e2e_fail "the monitor of the null sink does not record"
  E2E_RECORDING_FILE="$file"
}
# e2e_record_stop: ends the recording; echoes its loudness, the root mean square of its samples
# (0 for silence, thousands for music or a tone).
e2e_record_stop() {
  kill "$E2E_RECORDING_PID" 2>/dev/null || true
  wait "$E2E_RECORDING_PID" 2>/dev/null || true
  E2E_RECORDING_PID=""
  od -An -v -t d2 -w2 "$E2E_RECORDING_FILE" | awk '{ s += $1 * $1; n++ } END { printf "%d\n", n ? sqrt(s / n) : 0 }'
}
# e2e_loudness <seconds> <name>: records the monitor that long; echoes the loudness.
e2e_loudness() {
  e2e_record_start "$2"
  sleep "$1"
  e2e_record_stop
}
