#!/usr/bin/env bash
# The MP3 player window on a real X server, as a person uses it: the hint under the pointer, a
# file opened through the real dialog by typing its name (spaces and accents), play, pause,
# resume, stop, play again, hide and show; screenshots kept for a person to see.
source "$(dirname "$0")/lib.sh"

FORM="frmMP3"
centre() { e2e_centre "$@"; }
press() { e2e_press "$FORM/client/$1"; }  # <hotspot>
text() { e2e_widget_text "$FORM/client/$1"; }
position() { text Panel1/Label5; }
wait_text() {  # <widget> <test command on $value> <what>
  local widget="$1" check="$2" what="$3" value
  for _ in $(seq 1 100); do
    value=$(text "$widget")
    if eval "$check"; then return 0; fi
    sleep 0.1
  done
  e2e_fail "$what ($widget shows '$value')"
}

folder="$E2E_DIR/Música del año"
mkdir -p "$folder"
tune="$folder/canción 1.mp3"
cp "$VARDEL_PROGRAM_DIR/Musica/Ondravia.mp3" "$tune"

e2e_start_xvfb 800x600
e2e_run "$VARDEL_BINARY_DIR/demo/mp3_demo" "$VARDEL_PROGRAM_DIR"
for _ in $(seq 1 100); do [ "$(e2e_widget_visible "$FORM" 2>/dev/null)" = 1 ] && break; sleep 0.1; done
[ "$(e2e_widget_visible "$FORM")" = 1 ] || e2e_fail "the MP3 window did not appear"
sleep 0.3

# The panel picture p9 fills the window's picture.
shot=$(e2e_shot "window")
IFS=, read -r ix iy _ _ <<<"$(e2e_widget "$FORM/client/imgFondo" | cut -f4)"
e2e_screen_matches_picture "$shot" "$VARDEL_PROGRAM_DIR/Graficos/p9" "$ix" "$iy" 40,60 150,150 250,250 ||
  e2e_fail "the window does not show picture p9"

# The hint of the hotspot under the pointer.
xy=$(centre "$FORM/client/PlayBtn")
e2e_move ${xy% *} ${xy#* }
wait_text Label3 '[ "$value" = "Reproduce el actual fichero MP3" ]' "no hint over the play hotspot"

# The open hotspot: the dialog, the name given in full.
press OpenBtn
e2e_wait_window "Abrir.*" 10
e2e_wait_focus "^Abrir" 10 || e2e_fail "the open dialog did not take the keyboard"
e2e_shot "dialog" >/dev/null
# The name is pasted: typing a letter the keyboard map lacks (the ñ) makes xdotool remap a key
# for it, which a busy machine can lose.
printf %s "$tune" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
E2E_OTHER_PIDS+=("$!")
e2e_until 5 bash -c '[ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]' _ "$tune" ||
  e2e_fail "xclip did not take the clipboard"
e2e_key ctrl+a
e2e_key ctrl+v
e2e_key Return
wait_text Panel1/LengthLabel '[ "$value" -ge 40 ] 2>/dev/null' "the chosen file was not opened"
e2e_log "opened: length $(text Panel1/LengthLabel)"

press PlayBtn
wait_text Panel1/Label5 '[ "$value" -ge 2 ] 2>/dev/null' "the position does not advance while playing"
e2e_shot "playing" >/dev/null

press PauseBtn
sleep 0.3
paused=$(position)
sleep 1.5
[ "$(position)" = "$paused" ] || e2e_fail "the position moved while paused ($paused, then $(position))"
e2e_shot "paused" >/dev/null

press PlayBtn  # resumes where it stood
wait_text Panel1/Label5 "[ \"\$value\" -gt $paused ] 2>/dev/null" "play did not resume"

xy=$(centre "$FORM/client/StopBtn")
e2e_click ${xy% *} ${xy#* } 1
sleep 0.3
stopped=$(position)
sleep 1.2
[ "$(position)" = "$stopped" ] || e2e_fail "the position moved after stop"
e2e_shot "stopped" >/dev/null

press PlayBtn  # the file again, from its beginning
wait_text Panel1/Label5 "[ \"\$value\" -lt $stopped ] 2>/dev/null" "play after stop did not start at the beginning"

# The close hotspot only hides; the music goes on, and the owner shows the same window again.
press Shape21
sleep 0.3
[ "$(e2e_widget_visible "$FORM")" = 0 ] || e2e_fail "the close hotspot did not hide the window"
before=$(position)
sleep 1.5
e2e_click 100 100 1
sleep 0.3
[ "$(e2e_widget_visible "$FORM")" = 1 ] || e2e_fail "the window did not come back"
[ "$(position)" -gt "$before" ] || e2e_fail "the music stopped while the window was hidden"
e2e_shot "shown-again" >/dev/null
e2e_log "ok"
