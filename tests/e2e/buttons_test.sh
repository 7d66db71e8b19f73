#!/usr/bin/env bash
# The map's buttons as a person uses them, under a real window manager (openbox):
#   buttons_test.sh <ondravia|ondravia-basic>
# credits and back, the game started and brought up again after minimising it, the magazine
# minimised and restored, then the close question answered with Escape, with No, and with OK.
program="$1"
E2E_NAME="buttons_${program}"
source "$(dirname "$0")/lib.sh"

graficos="$VARDEL_PROGRAM_DIR/Graficos"
game_caption="Tumblo de ONDRAVIA Magazine"
export XDG_DATA_HOME="$E2E_DIR/xdg"
mkdir -p "$XDG_DATA_HOME"

hidden() { [ "$(e2e_widget_visible "$1")" = 0 ]; }
property() { e2e_widget_property "$1" "$2"; }
map_shows() {  # map_shows <picture>: the screen shows a picture as the map's background
  e2e_screen_matches_picture "$(e2e_shot "$2")" "$graficos/$1" 0 0 400 30 790 590 150 590
}
centre_of() { e2e_centre "$1"; }

credits() {
  e2e_click 69 19
  e2e_until 5 e2e_visible frmMapa/client/panelAcercaDe || e2e_fail "the credits did not open"
  [ "$(property frmMapa/client/panelAcercaDe/imgAcercaDe hasPicture)" = true ] || e2e_fail "p4 is not loaded"
  [ "$(e2e_widget_text frmMapa/client/panelAcercaDe/Label12)" = VOLVER ] || e2e_fail "no VOLVER label"
  sleep 0.3
  e2e_screen_matches_picture "$(e2e_shot credits)" "$graficos/p4" 0 0 30 30 770 30 30 570 770 570 \
    || e2e_fail "the credits do not show p4"
  e2e_click 490 475
  e2e_until 5 hidden frmMapa/client/panelAcercaDe || e2e_fail "VOLVER did not close the credits"
  [ "$(property frmMapa/client/panelAcercaDe/imgAcercaDe hasPicture)" = false ] || e2e_fail "p4 was not released"
  sleep 0.3
  map_shows p3 back-from-credits || e2e_fail "the map is not back after the credits"
}

game() {
  local window pid cwd
  [ -z "$(xdotool search --name "^${game_caption}\$" 2>/dev/null)" ] || e2e_fail "a game window exists already"
  e2e_click 66 500
  e2e_wait_window "$game_caption" 20
  window=$(xdotool search --onlyvisible --name "^${game_caption}\$" | head -n1)
  pid=$(xdotool getwindowpid "$window")
  e2e_adopt "$pid"
  e2e_log "game up: window $window, process $pid"
  # Started from its folder, with none of the magazine's open files.
  cwd=$(readlink "/proc/$pid/cwd")
  [ "$cwd" = "$(readlink -f "$VARDEL_PROGRAM_DIR/Extras/Tumblo")" ] || e2e_fail "the game runs in $cwd"
  [ "$(readlink "/proc/$E2E_APP_PID/cwd")" = "$cwd" ] || e2e_fail "the magazine's current folder is not the game's"
  local ours theirs
  ours=$(find "/proc/$E2E_APP_PID/fd" -mindepth 1 -printf '%l\n' 2>/dev/null | sort -u)
  theirs=$(find "/proc/$pid/fd" -mindepth 1 -name '[3-9]*' -printf '%l\n' 2>/dev/null | sort -u)
  # Sockets and pipes name their own inode; anonymous descriptors (eventfd) all look alike.
  shared=$(comm -12 <(echo "$ours") <(echo "$theirs") | grep -v -e '^/dev/' -e '^anon_inode:' || true)
  [ -z "$shared" ] || e2e_fail "the game inherited open files of the magazine: $shared"
  sleep 0.5
  e2e_shot game-started >/dev/null
  # Minimised, then the button again: the same game comes back.
  xdotool windowminimize "$window"
  e2e_until 5 bash -c '[ "$(xprop -id "$0" WM_STATE | sed -n "s/^[[:space:]]*window state: //p")" = Iconic ]' "$window" \
    || e2e_fail "the game did not minimise"
  e2e_shot game-minimised >/dev/null
  e2e_click 66 500
  e2e_until 5 bash -c '[ "$(xprop -id "$0" WM_STATE | sed -n "s/^[[:space:]]*window state: //p")" = Normal ]' "$window" \
    || e2e_fail "the game button did not bring the game back"
  e2e_until 5 bash -c '[ "$(xdotool getactivewindow)" = "$0" ]' "$window" || e2e_fail "the game is not the active window"
  [ "$(xdotool search --name "^${game_caption}\$" | wc -l)" = 1 ] || e2e_fail "a second game was started"
  sleep 0.5
  e2e_shot game-brought-up >/dev/null
  kill "$pid"
  e2e_until 5 bash -c '! kill -0 "$0" 2>/dev/null' "$pid" || e2e_fail "the game did not end"
}

minimise() {
  local window
  window=$(xdotool search --all --onlyvisible --pid "$E2E_APP_PID" --name '^VARDEL$' | head -n1)
  [ -n "$window" ] || e2e_fail "no map window"
  e2e_click 747 14
  e2e_until 5 bash -c '[ "$(xprop -id "$0" WM_STATE | sed -n "s/^[[:space:]]*window state: //p")" = Iconic ]' "$window" \
    || e2e_fail "the map did not minimise"
  sleep 0.3
  e2e_shot minimised >/dev/null
  xdotool search --onlyvisible --pid "$E2E_APP_PID" >/dev/null 2>&1 && e2e_fail "a window of the magazine is still on the screen"
  # The task bar's way back: activate it.
  xdotool windowactivate "$window"
  e2e_until 5 bash -c '[ "$(xprop -id "$0" WM_STATE | sed -n "s/^[[:space:]]*window state: //p")" = Normal ]' "$window" \
    || e2e_fail "the map did not come back"
  sleep 0.5
  map_shows p3 restored || e2e_fail "the restored map is not on the screen"
}

close_question() {
  local no ok
  e2e_click 779 13
  e2e_wait_for_message "¿Quieres cerrar ONDRAVIA VARDEL?"
  [ "$(e2e_widget MessageDialog | cut -f5)" = Information ] || e2e_fail "the question's caption"
  [ "$(e2e_widget_text MessageDialog/button1)" = "&No" ] && [ "$(e2e_widget_text MessageDialog/button2)" = OK ] \
    || e2e_fail "the question's buttons"
  no=$(e2e_widget MessageDialog/button1 | cut -f4 | cut -d, -f1)
  ok=$(e2e_widget MessageDialog/button2 | cut -f4 | cut -d, -f1)
  [ "$no" -lt "$ok" ] || e2e_fail "No is not left of OK"
  e2e_shot close-question >/dev/null
  e2e_key Escape
  e2e_until 5 bash -c '! xdotool search --onlyvisible --name "^Information$" >/dev/null' || e2e_fail "Escape did not answer"
  kill -0 "$E2E_APP_PID" || e2e_fail "Escape closed the magazine"
  # No, clicked.
  e2e_click 779 13
  e2e_wait_for_message "¿Quieres cerrar ONDRAVIA VARDEL?"
  read -r x y <<<"$(centre_of MessageDialog/button1)"
  e2e_click "$x" "$y"
  e2e_until 5 bash -c '! xdotool search --onlyvisible --name "^Information$" >/dev/null' || e2e_fail "No did not answer"
  sleep 0.3
  kill -0 "$E2E_APP_PID" || e2e_fail "No closed the magazine"
  map_shows p3 after-no || e2e_fail "the map is not as it was after No"
  # OK, the default: Return.
  e2e_click 779 13
  e2e_wait_for_message "¿Quieres cerrar ONDRAVIA VARDEL?"
  e2e_key Return
  local status
  e2e_wait_exit 20 >"$E2E_DIR/exit-status"  # not in a subshell: only this shell can wait for it
  status=$(cat "$E2E_DIR/exit-status")
  [ "$status" = 0 ] || e2e_fail "the magazine ended with status $status"
}

e2e_start_xvfb 800x600
e2e_start_wm
e2e_run "./$program"
e2e_skip_opening
credits
game
minimise
close_question
e2e_log "ok"
