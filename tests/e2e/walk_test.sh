#!/usr/bin/env bash
# A person's whole walk through the magazine, under a real window manager (openbox) and with a
# sound server of the test's own whose null sink is recorded:
#   walk_test.sh <ondravia|ondravia-basic>
# the opening heard and skipped; three cities and the hidden document; an article taken into the
# editor, its first indent dragged, saved as RTF and opened again in a new editor; the CD player
# on a disc of tones; the MP3 player with the demo tune; the credits; the game; the magazine
# minimised and restored with its windows; the close answered No, then OK.
program="$1"
E2E_NAME="walk_${program}"
source "$(dirname "$0")/lib.sh"

ini="$VARDEL_PROGRAM_DIR/Configuracion.ini"
graficos="$VARDEL_PROGRAM_DIR/Graficos"
game_caption="Tumblo de ONDRAVIA Magazine"
DISC="$E2E_DIR/disco"
mkdir -p "$DISC"
e2e_wav "$DISC/01 Tono.wav" 5
e2e_wav "$DISC/02 Otro tono.wav" 4
export VARDEL_CD_DEVICE="$DISC"
export XDG_DATA_HOME="$E2E_DIR/xdg"
mkdir -p "$XDG_DATA_HOME"
# Loudness (root mean square) above which the monitor counts as playing, and under which as
# silent: the tones and the tune are in the thousands, silence is 0.
HEARD=300
SILENT=30

EDITOR="frmEditor/client/area/Editor"
FIRST_INDENT="frmEditor/client/area/Ruler/FirstInd"
editor_title() { e2e_wait_window "$1 - VARDEL" "${2:-10}"; }
editor_text() { e2e_widget_property "$EDITOR" plainText; }
text_holds() { editor_text | grep -qF -- "$1"; }
level_is() { [ "$(e2e_widget_property frmMapa Nivel)" = "$1" ]; }
hidden() { [ "$(e2e_widget_visible "$1")" = 0 ]; }
shown() { [ "$(e2e_widget_visible "$1")" = 1 ]; }
document_shown() { e2e_document_shown "$program"; }
# (xdotool's conditions are joined by "or" unless --all says "and".)
map_window() { xdotool search --all --onlyvisible --pid "$E2E_APP_PID" --name '^VARDEL$' | head -n1; }
state_is() { [ "$(e2e_window_state "$1")" = "$2" ]; }
map_shows() {  # map_shows <picture> <shot name>: the screen shows the picture as the map's background
  e2e_screen_matches_picture "$(e2e_shot "$2")" "$graficos/$1" 0 0 400,30 790,590 150,590 400,300
}
x_of() { e2e_widget "$1" | cut -f4 | cut -d, -f1; }
expect_heard() {  # <seconds> <name> <what>
  local level
  level=$(e2e_loudness "$1" "$2")
  e2e_log "$2: loudness $level"
  [ "$level" -ge "$HEARD" ] || e2e_fail "$3 is not heard (loudness $level)"
}
expect_silent() {
  local level
  level=$(e2e_loudness "$1" "$2")
  e2e_log "$2: loudness $level"
  [ "$level" -le "$SILENT" ] || e2e_fail "$3 (loudness $level)"
}

opening() {
  e2e_run "./$program"
  e2e_until 15 shown frmPresenta || e2e_fail "the presentation did not appear"
  e2e_until 5 shown frmPresenta/client/imgLogo || e2e_fail "the first picture did not appear"
  expect_heard 2 opening "the opening's music"
  e2e_shot opening >/dev/null
  e2e_skip_opening
  sleep 0.3
  map_shows p3 map || e2e_fail "the map is not on the screen after the skip"
  expect_silent 1 after-skip "the skip did not stop the music"
}

cities() {
  local n x y
  for n in 1 3 2; do
    read -r x y <<<"$(e2e_city_centre "$ini" "$n")"
    e2e_click "$x" "$y"
    e2e_until 10 level_is 2 || e2e_fail "city $n did not open"
    e2e_until 10 document_shown || e2e_fail "city $n: the document is not shown"
    shown frmMapa/client/imgMapita || e2e_fail "city $n: no small map"
    e2e_until 5 section_shows "$n" || e2e_fail "city $n: its section picture s$n is not at 4,121"
    e2e_click 20 20
    e2e_until 10 level_is 1 || e2e_fail "the small map did not lead back from city $n"
    document_shown && e2e_fail "city $n: the document stayed on the map"
  done
  sleep 0.3
  map_shows p3 back-to-map || e2e_fail "the map is not back after the cities"
  # The hidden document: Control+Alt+click on the small map of a city.
  read -r x y <<<"$(e2e_city_centre "$ini" 1)"
  e2e_click "$x" "$y"
  e2e_until 10 level_is 2 || e2e_fail "city 1 did not open again"
  e2e_until 10 document_shown || e2e_fail "city 1: the document is not shown again"
  sleep 0.5
  e2e_click 20 20 1 ctrl alt
  # Its dark page where the article's page was light.
  e2e_until 10 hidden_document_on_screen || e2e_fail "extra1.html is not on display"
  if [ "$program" = ondravia ]; then
    [[ "$(e2e_widget_property frmMapa URLActual)" == file*/Ficheros/extra1.html ]] \
      || e2e_fail "the browser shows $(e2e_widget_property frmMapa URLActual)"
  fi
  level_is 2 || e2e_fail "Control+Alt+click left the document level"
  e2e_click 20 20
  e2e_until 10 level_is 1 || e2e_fail "the small map did not lead back from extra1.html"
}

section_shows() { e2e_screen_matches_picture "$(e2e_shot "city-$1")" "$graficos/s$1" 4 121 10,10 60,100; }
hidden_document_on_screen() {
  local shot p
  shot=$(e2e_shot extra1-page)
  for p in "700 80" "650 475" "780 190"; do
    e2e_colour_near "$(e2e_pixel "$shot" ${p% *} ${p#* })" "20,20,60" 8 || { rm -f "$shot"; return 1; }
  done
}

editor() {
  local x y ex ey left_before left_after left_reopened indent_before indent_after marker_x marker_y before after reopened
  local target="$E2E_DIR/paseo"
  # The article on display goes into the editor the map's button opens.
  read -r x y <<<"$(e2e_city_centre "$ini" 2)"
  e2e_click "$x" "$y"
  e2e_until 10 document_shown || e2e_fail "city 2: the document is not shown"
  sleep 1
  e2e_shot article >/dev/null
  e2e_click 71 542  # Shape21 acts on release: a whole click
  editor_title SinTitulo 15
  e2e_until 15 text_holds "Una isla en forma de hoja" || e2e_fail "the article's text did not reach the editor"
  e2e_until 5 hidden frmEditor/client/area/PanelMensaje || e2e_fail "the import's panel is still shown"
  sleep 0.5
  before=$(e2e_shot editor-with-article)
  # The first-indent marker dragged 100 pixels to the right: the first line follows it.
  indent_before=$(x_of "$FIRST_INDENT")
  read -r marker_x marker_y <<<"$(e2e_centre "$FIRST_INDENT")"
  read -r ex ey _ _ <<<"$(e2e_widget "$EDITOR" | cut -f4 | tr , ' ')"
  left_before=$(first_line_left "$before" "$ex" "$ey")
  xdotool mousemove --sync "$marker_x" "$marker_y" mousedown 1
  xdotool mousemove --sync $((marker_x + 50)) "$marker_y"
  xdotool mousemove --sync $((marker_x + 100)) "$marker_y" mouseup 1
  sleep 0.4
  after=$(e2e_shot first-indent-dragged)
  indent_after=$(x_of "$FIRST_INDENT")
  [ $((indent_after - indent_before)) -ge 95 ] && [ $((indent_after - indent_before)) -le 106 ] || e2e_fail "the first-indent marker moved from $indent_before to $indent_after"
  left_after=$(first_line_left "$after" "$ex" "$ey")
  e2e_log "first line starts at $left_before, then at $left_after"
  [ $((left_after - left_before)) -ge 95 ] && [ $((left_after - left_before)) -le 106 ] \
    || e2e_fail "the first line moved from $left_before to $left_after"
  # Saved as RTF through the save dialog, the name typed.
  e2e_key ctrl+g
  e2e_until 10 save_dialog_up || e2e_fail "no save dialog"
  sleep 0.5
  e2e_shot save-dialog >/dev/null
  xdotool type --delay 10 "$target"
  e2e_key Return
  editor_title paseo.rtf 10
  [ -s "$target.rtf" ] || e2e_fail "nothing was written to $target.rtf"
  grep -q '\\fi' "$target.rtf" || e2e_fail "the file holds no first indent"
  # Closed; a new editor (over the same article) opens the file again.
  e2e_key alt+x
  e2e_until 10 bash -c '! xdotool search --onlyvisible --name "^paseo.rtf - VARDEL\$" >/dev/null' \
    || e2e_fail "the editor did not close"
  e2e_click 71 542
  editor_title SinTitulo 15
  e2e_until 15 text_holds "Una isla en forma de hoja" || e2e_fail "the second editor did not take the article"
  e2e_key ctrl+a
  # The imported article counts as changed: the question about it comes first, answered No.
  e2e_until 10 open_dialog_or_question || e2e_fail "neither the open dialog nor a question came"
  if ! open_dialog_up; then e2e_key n; fi
  e2e_until 10 open_dialog_up || e2e_fail "no open dialog"
  sleep 0.5
  e2e_shot open-dialog >/dev/null
  xdotool type --delay 10 "$target.rtf"
  e2e_key Return
  editor_title paseo.rtf 10
  sleep 0.5
  text_holds "Una isla en forma de hoja" || e2e_fail "the reopened file lost its text"
  [ "$(x_of "$FIRST_INDENT")" = "$indent_after" ] || e2e_fail "the reopened file's first indent stands at $(x_of "$FIRST_INDENT"), not $indent_after"
  reopened=$(e2e_shot editor-reopened)
  read -r ex ey _ _ <<<"$(e2e_widget "$EDITOR" | cut -f4 | tr , ' ')"
  # Within the caret's width: it blinks at the start of the line.
  left_reopened=$(first_line_left "$reopened" "$ex" "$ey")
  [ $((left_reopened - left_after)) -ge -3 ] && [ $((left_reopened - left_after)) -le 3 ] \
    || e2e_fail "the reopened first line starts at $left_reopened, not at $left_after"
}

# Leftmost dark column of the first line of text inside the editor's text at ex,ey.
first_line_left() {
  convert "$1" -crop 700x12+$(($2 + 1))+$(($3 + 5)) +repage -colorspace gray -threshold 50% -negate -trim \
    -format '%X' info: 2>/dev/null | tr -d '+'
}
save_dialog_up() { xdotool search --onlyvisible --name '^Guardar' >/dev/null; }
open_dialog_up() { xdotool search --onlyvisible --name '^Abrir' >/dev/null; }
open_dialog_or_question() {
  open_dialog_up || e2e_probe | awk -F'\t' '$2 == "QLabel" { print $5 }' | grep -qF "Guardar los cambios"
}

# The task bar's way to a window of the magazine: activate it.
# The window manager may still be giving the focus to the next window after one closed: the
# window counts as up when it is still the active one a moment after.
bring_up() {
  for _ in $(seq 1 10); do
    xdotool windowactivate "$1" 2>/dev/null || true
    sleep 0.3
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
  done
  e2e_fail "window $1 did not come up"
}

cd_player() {
  local mode
  bring_up "$(map_window)"
  e2e_click 34 578  # Shape23 acts on press
  e2e_until 10 shown frmLector || e2e_fail "the CD player did not open"
  e2e_until 10 cd_mode_is 525 || e2e_fail "the CD player's disc is not ready (mode $(cd_mode))"
  [ "$(e2e_widget_text frmLector/client/NumeroPistas)" = 2 ] || e2e_fail "the disc's tracks: $(e2e_widget_text frmLector/client/NumeroPistas)"
  e2e_press frmLector/client/Shape24  # play
  e2e_until 5 cd_mode_is 526 || e2e_fail "play did not start (mode $(cd_mode))"
  expect_heard 1.5 cd-playing "the CD's track"
  e2e_shot cd-playing >/dev/null
  e2e_press frmLector/client/Shape23  # stop
  e2e_until 5 cd_mode_is 525 || e2e_fail "stop did not stop (mode $(cd_mode))"
  expect_silent 1 cd-stopped "the CD still plays after stop"
}
cd_mode() { e2e_widget_property frmLector ModoAnterior | head -n1; }
cd_mode_is() { [ "$(cd_mode)" = "$1" ]; }

mp3_player() {
  local tune="$VARDEL_PROGRAM_DIR/Musica/Ondravia.mp3"
  e2e_click 99 581  # Shape27 acts on press
  e2e_until 10 shown frmMP3 || e2e_fail "the MP3 player did not open"
  sleep 0.3
  e2e_shot mp3-player >/dev/null
  expect_silent 1.5 mp3-opened "something of the opening plays again"
  e2e_press frmMP3/client/OpenBtn
  e2e_wait_window "Abrir.*" 10
  e2e_wait_focus "^Abrir" 10 || e2e_fail "the open dialog did not take the keyboard"
  e2e_shot mp3-open-dialog >/dev/null
  xdotool type --delay 10 "$tune"
  e2e_key Return
  e2e_until 10 mp3_number_at_least LengthLabel 40 || e2e_fail "the tune was not opened (length '$(mp3_number LengthLabel)')"
  e2e_press frmMP3/client/PlayBtn
  e2e_until 10 mp3_number_at_least Label5 1 || e2e_fail "the tune's position does not advance"
  expect_heard 1.5 mp3-playing "the demo tune"
  e2e_shot mp3-playing >/dev/null
  e2e_press frmMP3/client/StopBtn
  sleep 0.3
  expect_silent 1.5 mp3-stopped "something plays after the MP3 player's stop"
}
# The players' close hotspots only hide them (their sound and state stay).
close_players() {
  e2e_press frmLector/client/Shape26
  e2e_until 5 hidden frmLector || e2e_fail "the CD player's close did not hide it"
  e2e_press frmMP3/client/Shape21
  e2e_until 5 hidden frmMP3 || e2e_fail "the MP3 player's close did not hide it"
}

credits() {
  e2e_click 20 20  # the small map: back to the map
  e2e_until 10 level_is 1 || e2e_fail "the small map did not lead back to the map"
  e2e_click 69 19
  e2e_until 5 shown frmMapa/client/panelAcercaDe || e2e_fail "the credits did not open"
  [ "$(e2e_widget_text frmMapa/client/panelAcercaDe/Label12)" = VOLVER ] || e2e_fail "no VOLVER label"
  sleep 0.3
  e2e_screen_matches_picture "$(e2e_shot credits)" "$graficos/p4" 0 0 30,30 770,30 30,570 770,570 \
    || e2e_fail "the credits do not show p4"
  e2e_press frmMapa/client/panelAcercaDe/Shape25
  e2e_until 5 hidden frmMapa/client/panelAcercaDe || e2e_fail "VOLVER did not close the credits"
  sleep 0.3
  map_shows p3 back-from-credits || e2e_fail "the map is not back after the credits"
}

game() {
  local window pid
  e2e_click 66 500
  e2e_wait_window "$game_caption" 20
  window=$(xdotool search --onlyvisible --name "^${game_caption}\$" | head -n1)
  pid=$(xdotool getwindowpid "$window")
  e2e_adopt "$pid"
  sleep 0.5
  e2e_shot game >/dev/null
  xdotool windowminimize "$window"
  e2e_until 5 state_is "$window" Iconic || e2e_fail "the game did not minimise"
  e2e_click 66 500
  e2e_until 5 state_is "$window" Normal || e2e_fail "the game button did not bring the game back"
  [ "$(xdotool search --name "^${game_caption}\$" | wc -l)" = 1 ] || e2e_fail "a second game was started"
  sleep 0.3
  e2e_shot game-restored >/dev/null
  kill "$pid"
  e2e_until 5 bash -c '! kill -0 "$0" 2>/dev/null' "$pid" || e2e_fail "the game did not end"
}

# The magazine's windows on the screen (the map, an editor, the players), by title.
magazine_windows() { xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | sort; }

minimise_and_restore() {
  local map windows w
  map=$(map_window)
  bring_up "$map"
  # The players again by their buttons: the same windows, where they were hidden.
  e2e_click 34 578
  e2e_until 5 shown frmLector || e2e_fail "the CD button did not show the player again"
  [ "$(e2e_widget_text frmLector/client/NumeroPistas)" = 2 ] || e2e_fail "the CD player shown again lost its disc"
  e2e_click 99 581
  e2e_until 5 shown frmMP3 || e2e_fail "the MP3 button did not show the player again"
  [ "$(mp3_number LengthLabel)" -ge 40 ] || e2e_fail "the MP3 player shown again lost its tune"
  xdotool search --onlyvisible --name '^paseo.rtf - VARDEL$' >/dev/null || e2e_fail "the editor is gone"
  windows=$(magazine_windows)
  [ "$(echo "$windows" | wc -l)" -ge 4 ] || e2e_fail "not all the windows are up: $windows"
  sleep 0.3
  players_on_screen "$(e2e_shot before-minimise)" || e2e_fail "the players shown again are not on the screen"
  e2e_click 747 14  # Shape24
  e2e_until 5 state_is "$map" Iconic || e2e_fail "the map did not minimise"
  e2e_until 5 bash -c '[ -z "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null)" ]' "$E2E_APP_PID" \
    || e2e_fail "windows of the magazine stayed on the screen: $(magazine_windows)"
  sleep 0.3
  e2e_shot minimised >/dev/null
  xdotool windowactivate "$map"
  e2e_until 5 state_is "$map" Normal || e2e_fail "the map did not come back"
  e2e_until 5 bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | sort)" = "$1" ]' "$E2E_APP_PID" "$windows" \
    || e2e_fail "not all windows came back: $(magazine_windows) instead of $windows"
  for w in $windows; do state_is "$w" Normal || e2e_fail "window $w is $(e2e_window_state "$w") after the restore"; done
  shown frmLector && shown frmMP3 || e2e_fail "the players were not restored"
  sleep 0.5
  # The players stay on top of the map that came back with them.
  players_on_screen "$(e2e_shot restored)" || e2e_fail "the restored players are not on the screen above the map"
}

close_question() {
  local x y status
  bring_up "$(map_window)"
  e2e_click 779 13
  e2e_wait_for_message "¿Quieres cerrar ONDRAVIA VARDEL?"
  e2e_shot close-question >/dev/null
  read -r x y <<<"$(e2e_centre MessageDialog/button1)"
  [ "$(e2e_widget_text MessageDialog/button1)" = "&No" ] || e2e_fail "the first button is not No"
  e2e_click "$x" "$y"
  e2e_until 5 bash -c '! xdotool search --onlyvisible --name "^Information$" >/dev/null' || e2e_fail "No did not answer"
  sleep 0.5
  kill -0 "$E2E_APP_PID" || e2e_fail "No closed the magazine"
  [ "$(magazine_windows | wc -l)" -ge 4 ] || e2e_fail "windows went after No: $(magazine_windows)"
  e2e_click 779 13
  e2e_wait_for_message "¿Quieres cerrar ONDRAVIA VARDEL?"
  e2e_key Return  # OK, the default
  e2e_wait_exit 20 >"$E2E_DIR/exit-status"  # not in a subshell: only this shell can wait for it
  status=$(cat "$E2E_DIR/exit-status")
  [ "$status" = 0 ] || e2e_fail "the magazine ended with status $status"
}

players_on_screen() {  # <screenshot>: the CD player shows p6 and the MP3 player p9
  local ix iy
  IFS=, read -r ix iy _ _ <<<"$(e2e_widget frmLector/client/imgFondo | cut -f4)"
  e2e_screen_matches_picture "$1" "$graficos/p6" "$ix" "$iy" 20,100 140,250 250,200 || return 1
  IFS=, read -r ix iy _ _ <<<"$(e2e_widget frmMP3/client/imgFondo | cut -f4)"
  e2e_screen_matches_picture "$1" "$graficos/p9" "$ix" "$iy" 40,60 150,150 250,250
}
mp3_number() { e2e_widget_text "frmMP3/client/Panel1/$1"; }
mp3_number_at_least() { [ "$(mp3_number "$1")" -ge "$2" ] 2>/dev/null; }

e2e_start_xvfb 800x600
e2e_start_wm
e2e_start_pulse
opening
cities
editor
cd_player
mp3_player
close_players
credits
game
minimise_and_restore
close_question
e2e_log "ok"
