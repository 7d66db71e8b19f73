#!/usr/bin/env bash
# The magazine's 800x600 screen as one window of a larger desktop with a window manager:
#   stage_test.sh <ondravia|ondravia-basic> <windows|services|panel>
# windows: on 1920x1080, the window's size for the fit; a city clicked at its scaled place; the
#   players; the map's minimise and restore; the editor typed into at once, above it the players
#   also after a click on it, typed into again after its Save As dialog; the desktop's minimise
#   and restore; Alt+Enter full screen and back; the desktop's close is the map's, whose editor
#   asks about its unsaved text.
# services: the clipboard both ways with another X client, and a file dropped from another
#   program onto the editor.
# panel: on 1920x1200 with a 40-pixel panel, the window fits above it; a city at its place.
program="$1"
scenario="$2"
E2E_NAME="stage_${program}_${scenario}"
source "$(dirname "$0")/lib.sh"

ini="$VARDEL_PROGRAM_DIR/Configuracion.ini"
graficos="$VARDEL_PROGRAM_DIR/Graficos"
EDITOR="frmEditor/client/area/Editor"
DISC="$E2E_DIR/disco"
mkdir -p "$DISC"
e2e_wav "$DISC/01 Tono.wav" 3
export VARDEL_CD_DEVICE="$DISC"
export XDG_DATA_HOME="$E2E_DIR/xdg"
mkdir -p "$XDG_DATA_HOME"

# The stage: the program's window titled VARDEL that the window manager manages. Looked up each
# time: the toolkit makes the window anew once the browser engine draws in it.
stage_window() {
  local w state
  for w in $(xdotool search --pid "$E2E_APP_PID" --name '^VARDEL$' 2>/dev/null); do
    state=$(e2e_window_state "$w")
    [ "$state" = Normal ] || [ "$state" = Iconic ] && { echo "$w"; return 0; }
  done
  return 1
}
hint_shown() { [ -n "$(e2e_widget_text frmMapa/client/Label1)" ]; }
level_is() { [ "$(e2e_widget_property frmMapa Nivel)" = "$1" ]; }
shown() { [ "$(e2e_widget_visible "$1")" = 1 ]; }
hidden() { [ "$(e2e_widget_visible "$1")" = 0 ]; }
# The editor's properties as one line (its text may hold the ';' that separates properties).
text_holds() { e2e_widget "$EDITOR" | cut -f6 | grep -qF -- "$1"; }
caption_is() { [ "$(e2e_widget_text frmEditor)" = "$1" ]; }
state_is() { [ "$(e2e_window_state "$(stage_window)")" = "$1" ]; }
# Back on the desktop: restored, on the screen and active.
stage_up() {
  state_is Normal && [ "$(xdotool getactivewindow 2>/dev/null)" = "$(stage_window)" ] &&
    xwininfo -id "$(stage_window)" | grep -q "Map State: IsViewable"
}
size_is() {  # size_is WxH: the stage window's inside
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$(stage_window)")"
  [ "${WIDTH}x${HEIGHT}" = "$1" ]
}
# The stage's screen on the display: its origin (the map's, at 0,0 of it) and its scale.
measure_screen() {
  local geometry w
  geometry=$(e2e_widget frmMapa | cut -f4)
  IFS=, read -r OX OY w _ <<<"$geometry"
  SCALE=$(awk -v w="$w" 'BEGIN { printf "%.4f", w / 800 }')
}
# at X Y: the display's point of the stage's screen point X,Y.
at() { awk -v ox="$OX" -v oy="$OY" -v s="$SCALE" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", ox + x * s + s / 2, oy + y * s + s / 2 }'; }
click_at() {
  local x y
  read -r x y <<<"$(at "$1" "$2")"
  e2e_click "$x" "$y"
}
# The forms in stacking order, bottom first (the probe lists them so).
stacked_above() { e2e_probe | awk -F'\t' -v a="$1" -v b="$2" '$1 == a { ia = NR } $1 == b { ib = NR } END { exit !(ia > ib && ib) }'; }
# <screenshot> <picture> <widget> <"x y"...>: the widget shows the picture at the stage's scale,
# judged at the points given (picture coordinates, away from what the window draws over it).
shows_picture() {
  local shot="$1" picture="$2" widget="$3" ix iy point px py
  shift 3
  IFS=, read -r ix iy _ _ <<<"$(e2e_widget "$widget" | cut -f4)"
  for point in "$@"; do
    read -r px py <<<"$point"
    e2e_colour_near "$(e2e_pixel "$shot" "$(awk -v o="$ix" -v p="$px" -v s="$SCALE" 'BEGIN { printf "%d", o + p * s + s / 2 }')" \
      "$(awk -v o="$iy" -v p="$py" -v s="$SCALE" 'BEGIN { printf "%d", o + p * s + s / 2 }')")" \
      "$(e2e_picture_pixel "$graficos/$picture" "$px" "$py")" 40 || return 1
  done
}
players_on_top() {
  local shot
  stacked_above frmLector frmEditor && stacked_above frmMP3 frmEditor || return 1
  shot=$(e2e_shot "$1")
  shows_picture "$shot" p6 frmLector/client/imgFondo "20 100" "140 250" "250 200" &&
    shows_picture "$shot" p9 frmMP3/client/imgFondo "15 100" "40 60" "250 250"
}
no_question() { ! e2e_probe | awk -F'\t' '$2 == "QLabel" && $3 == 1 { print $5 }' | grep -qF "Guardar los cambios"; }
document_shown() {
  if [ "$program" = ondravia ]; then
    [ "$(e2e_widget /wIE4 | cut -f4 | cut -d, -f2)" = "$OY" ]
  else
    e2e_visible /w
  fi
}

start() {  # start <expected window size>
  e2e_start_wm
  e2e_run "./$program"
  e2e_wait_window VARDEL 20
  e2e_until 10 stage_window || e2e_fail "no managed window titled VARDEL"
  e2e_until 10 size_is "$1" || e2e_fail "the stage is not $1 on this desktop"
  e2e_until 20 e2e_visible frmPresenta/client/lbURL || e2e_fail "the opening did not reach its second picture"
  e2e_shot opening >/dev/null
  e2e_press frmPresenta
  e2e_until 10 e2e_visible frmMapa/client/Label1 || e2e_fail "the skip did not finish the opening"
  measure_screen
  e2e_log "stage $1 at $OX,$OY, scale $SCALE"
}

city() {
  local x y
  read -r x y <<<"$(at $(e2e_city_centre "$ini" "$1"))"
  # Over the city first: its hint on the map says the map follows the pointer.
  e2e_move "$x" "$y"
  e2e_until 5 hint_shown || e2e_fail "the map shows no hint for city $1"
  e2e_click "$x" "$y"
  e2e_until 15 document_shown || e2e_fail "city $1 did not open its article"
  e2e_shot "city-$1" >/dev/null
}

editor() {  # editor <a text of the article>: opens the editor over the article, waits for the text in it
  click_at 71 542
  e2e_until 15 shown frmEditor || e2e_fail "the editor did not open"
  e2e_until 15 text_holds "$1" || e2e_fail "the article's text did not reach the editor"
  e2e_until 10 hidden frmEditor/client/area/PanelMensaje || e2e_fail "the import's panel is still shown"
}

type_and_expect() {  # keys typed at once go into the editor
  xdotool type --delay 20 "$1"
  e2e_until 5 text_holds "$1" || e2e_fail "'$1' typed $2 did not reach the editor"
}

windows() {
  start 1392x1044
  city 1
  click_at 20 20  # the small map leads back to the map
  e2e_until 10 level_is 1 || e2e_fail "the small map did not lead back"
  click_at 34 578
  e2e_until 10 shown frmLector || e2e_fail "the CD player did not open"
  click_at 99 581
  e2e_until 10 shown frmMP3 || e2e_fail "the MP3 player did not open"
  # The map's minimise minimises the desktop's window; brought back, all is there.
  click_at 747 14
  e2e_until 5 state_is Iconic || e2e_fail "the map's minimise did not minimise the window"
  e2e_shot map-minimised >/dev/null
  xdotool windowactivate "$(stage_window)"
  e2e_until 5 stage_up || e2e_fail "the window did not come back"
  shown frmLector && shown frmMP3 || e2e_fail "the players did not come back"
  city 15  # beside the players
  editor "RUTAS Y FIESTAS"
  type_and_expect "tecleado al abrir" "right after the editor opened"
  e2e_until 5 players_on_top editor-opened || e2e_fail "the players are not above the new editor"
  click_at 700 520  # the editor's text, beside the players
  sleep 0.3
  e2e_until 5 players_on_top editor-clicked || e2e_fail "the players sank below the clicked editor"
  e2e_key ctrl+g
  e2e_until 10 bash -c 'xdotool search --onlyvisible --name "^Guardar" >/dev/null' || e2e_fail "no save dialog"
  e2e_shot save-dialog >/dev/null
  xdotool type --delay 10 "$E2E_DIR/guardado"
  e2e_key Return
  e2e_until 10 caption_is "guardado.rtf - VARDEL" || e2e_fail "not saved: the editor is '$(e2e_widget_text frmEditor)'"
  type_and_expect "y tras guardar" "right after the save dialog closed"

  # The desktop's minimise, with the players and the editor open.
  xdotool windowminimize "$(stage_window)"
  e2e_until 5 state_is Iconic || e2e_fail "the window did not minimise"
  xdotool windowactivate "$(stage_window)"
  e2e_until 5 stage_up || e2e_fail "the window did not come back"
  e2e_until 5 players_on_top restored || e2e_fail "the players are not above the editor after the restore"
  type_and_expect "vuelta" "after the restore"

  e2e_key alt+Return
  e2e_until 5 size_is 1920x1080 || e2e_fail "Alt+Enter did not show the screen full"
  measure_screen
  local shot
  shot=$(e2e_shot full-screen)
  [ "${OX#-}" -ge 261 ] && [ "$OX" -le 267 ] && [ "$OY" -ge 15 ] && [ "$OY" -le 21 ] \
    || e2e_fail "the full screen's content is at $OX,$OY, not in the middle"
  e2e_colour_near "$(e2e_pixel "$shot" 100 540)" "0,0,0" 8 || e2e_fail "no black bar beside the full screen"
  e2e_key alt+Return
  e2e_until 5 size_is 1392x1044 || e2e_fail "Alt+Enter did not bring the window back"
  e2e_shot full-screen-left >/dev/null
  measure_screen

  # The desktop's close is the map's close: the editor asks about its unsaved text first, and
  # Cancel keeps everything open.
  e2e_key alt+F4
  e2e_wait_for_message "Guardar los cambios en"
  e2e_shot close-question >/dev/null
  e2e_key Escape
  e2e_until 5 no_question || e2e_fail "Escape did not answer the question"
  shown frmEditor || e2e_fail "the editor closed although the close was cancelled"
  e2e_alive || e2e_fail "the magazine ended although the question was not answered yes"
}

services() {
  start 1392x1044
  city 1
  editor "Bienvenidos a la isla"
  # Copied in the editor, pasted by another program.
  type_and_expect "para copiar" "right after the editor opened"
  e2e_key shift+Home ctrl+c  # the typed words, from the start of their line
  e2e_until 5 bash -c 'xclip -o -selection clipboard 2>/dev/null | grep -qF "para copiar"' \
    || e2e_fail "the editor's copy is not on the desktop's clipboard"
  # Copied by another program, pasted in the editor.
  printf 'traido de fuera' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  e2e_adopt $!
  e2e_until 5 bash -c '[ "$(xclip -o -selection clipboard 2>/dev/null)" = "traido de fuera" ]' || e2e_fail "xclip did not take the clipboard"
  e2e_key ctrl+End ctrl+v
  e2e_until 5 text_holds "traido de fuera" || e2e_fail "the desktop's clipboard did not reach the editor"
  e2e_shot pasted >/dev/null
  e2e_key ctrl+g
  e2e_until 10 bash -c 'xdotool search --onlyvisible --name "^Guardar" >/dev/null' || e2e_fail "no save dialog"
  xdotool type --delay 10 "$E2E_DIR/copiado"
  e2e_key Return
  e2e_until 10 caption_is "copiado.rtf - VARDEL" || e2e_fail "not saved: the editor is '$(e2e_widget_text frmEditor)'"

  # A file dragged from another program onto the editor opens in it.
  printf 'Un texto soltado desde fuera.\n' >"$E2E_DIR/soltado.txt"
  "$VARDEL_BINARY_DIR/tests/e2e/vardel_drag_source" "$E2E_DIR/soltado.txt" >"$E2E_DIR/drag.out" 2>&1 &
  e2e_adopt $!
  e2e_wait_window vardel-drag-source 10
  local source sx sy tx ty X Y WIDTH HEIGHT SCREEN WINDOW
  source=$(xdotool search --onlyvisible --name '^vardel-drag-source$' | head -n1)
  xdotool windowactivate --sync "$source" windowmove --sync "$source" 20 20
  eval "$(xdotool getwindowgeometry --shell "$source")"
  sx=$((X + WIDTH / 2))
  sy=$((Y + HEIGHT / 2))
  read -r tx ty <<<"$(at 400 350)"
  xdotool mousemove --sync "$sx" "$sy" mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --sync $((sx + (tx - sx) * step / 8)) $((sy + (ty - sy) * step / 8))
    sleep 0.1
  done
  e2e_shot dragging >/dev/null
  xdotool mouseup 1
  e2e_until 10 caption_is "soltado.txt - VARDEL" || e2e_fail "the dropped file did not open: the editor is '$(e2e_widget_text frmEditor)'"
  e2e_until 5 text_holds "Un texto soltado desde fuera." || e2e_fail "the dropped file's text is not in the editor"
  e2e_until 5 grep -q "drop accepted" "$E2E_DIR/drag.out" || e2e_fail "the drop was not taken: $(cat "$E2E_DIR/drag.out")"
  e2e_shot dropped >/dev/null
}

panel() {
  # openbox's margins stand for a panel: the work area leaves out the bottom 40 rows.
  local rc="$E2E_DIR/rc.xml"
  sed '/<margins>/,/<\/margins>/ s|<bottom>0</bottom>|<bottom>40</bottom>|' /etc/xdg/openbox/rc.xml >"$rc"
  grep -q '<bottom>40</bottom>' "$rc" || e2e_fail "no margins in openbox's configuration"
  E2E_WM_ARGS=(--config-file "$rc")
  start 1504x1128
  xprop -root _NET_WORKAREA | grep -q "0, 0, 1920, 1160" || e2e_fail "the work area is $(xprop -root _NET_WORKAREA)"
  [ $((OY + 1128)) -le 1160 ] || e2e_fail "the window reaches down to $((OY + 1128)), over the panel"
  city 3
}

if [ "$scenario" = panel ]; then e2e_start_xvfb 1920x1200; else e2e_start_xvfb 1920x1080; fi
"$scenario"
e2e_log "ok"
