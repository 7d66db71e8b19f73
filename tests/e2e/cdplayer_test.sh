#!/usr/bin/env bash
# The CD player window on a real X server with a virtual disc of generated tracks: every
# hotspot clicked, the labels read back, screenshots kept with the content's picture, with the
# built-in one, and without a drive.
source "$(dirname "$0")/lib.sh"

DEMO="$VARDEL_BINARY_DIR/demo/cdplayer_demo"


DISC="$E2E_DIR/disco"
mkdir -p "$DISC"
e2e_wav "$DISC/01 Puerto Vardel.wav" 4
e2e_wav "$DISC/02 Monte Ondra.wav" 3
e2e_wav "$DISC/03 Despedida.wav" 63
echo "no es audio" >"$DISC/notas.txt"

center() { e2e_centre "frmLector/client/$1"; }
click() { e2e_press "frmLector/client/$1"; }
text() { e2e_widget_text "frmLector/client/$1"; }
mode() { e2e_widget_property "frmLector" ModoAnterior | head -n1; }
text_is() { [ "$(text "$1")" = "$2" ]; }
mode_is() { [ "$(mode)" = "$1" ]; }
hidden() { [ "$(e2e_widget_visible frmLector)" = 0 ]; }
expect_text() { e2e_until 5 text_is "$1" "$2" || e2e_fail "$1 shows '$(text "$1")', expected '$2'"; }
expect_mode() { e2e_until 5 mode_is "$1" || e2e_fail "mode $(mode), expected $1"; }
e2e_start_xvfb 800x600

# With the content folder's picture p6.
VARDEL_CD_DEVICE="$DISC" e2e_run "$DEMO" "$VARDEL_PROGRAM_DIR"
e2e_until 10 e2e_widget frmLector || e2e_fail "the CD player did not open"
expect_mode 525
expect_text NumeroPistas 3
expect_text DuracionDisco " 0: 1:10"
sleep 0.3
shot=$(e2e_shot "cd-stopped")
read -r ix iy < <(e2e_widget "frmLector/client/imgFondo" | cut -f4 | awk -F, '{ print $1, $2 }')
e2e_screen_matches_picture "$shot" "$VARDEL_PROGRAM_DIR/Graficos/p6" "$ix" "$iy" 20,100 140,250 250,200 ||
  e2e_fail "the window does not show Graficos/p6"
# The caption bar runs from navy at the left.
read -r fx fy < <(e2e_widget "frmLector" | cut -f4 | awk -F, '{ print $1, $2 }')
e2e_colour_near "$(e2e_pixel "$shot" $((fx + 4)) $((fy + 8)))" "0,0,128" 16 || e2e_fail "no navy at the left of the caption"

# The hotspot text follows the pointer.
e2e_move $(center Shape22)
expect_text Label7 "Avanza a la siguiente pista de audio"
e2e_move $(center Shape26)
expect_text Label7 "Cierra el reproductor dejando el lector de CD en la configuración actual"

click Shape24  # play
expect_mode 526
expect_text PistaActual 1
expect_text DuracionPista " 0: 4"
expect_text PosicionPista " 0: 1"
e2e_shot "cd-playing" >/dev/null
click Shape22  # next
expect_text PistaActual 2
expect_text DuracionPista " 0: 3"
click Shape22
expect_text PistaActual 3
expect_text DuracionPista " 1: 3"
click Shape22  # the last track: stays
sleep 0.6
expect_text PistaActual 3
click Shape25  # previous
expect_text PistaActual 2
click Shape23  # stop
expect_mode 525
click Shape21  # the tray opens
expect_mode 530
e2e_shot "cd-open" >/dev/null
click Shape21  # and closes, through not ready
expect_mode 524
expect_mode 525
expect_text NumeroPistas 3
click Shape26  # close: only hidden
e2e_until 5 hidden || e2e_fail "the close hotspot did not hide the window"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"
e2e_shot "cd-hidden" >/dev/null
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true
E2E_APP_PID=""

# Without p6: the picture's error ends the set-up; the built-in panel stays (its track display is
# a pale green) and the drive is not opened.
EMPTY="$E2E_DIR/sin-graficos"
mkdir -p "$EMPTY"
VARDEL_CD_DEVICE="$DISC" e2e_run "$DEMO" "$EMPTY"
e2e_wait_for_message "p6" 10
e2e_shot "cd-picture-error" >/dev/null
e2e_key Return
e2e_until 10 e2e_widget frmLector || e2e_fail "the CD player did not open"
sleep 0.3
shot=$(e2e_shot "cd-built-in-picture")
read -r ix iy < <(e2e_widget "frmLector/client/imgFondo" | cut -f4 | awk -F, '{ print $1, $2 }')
e2e_colour_near "$(e2e_pixel "$shot" $((ix + 275)) $((iy + 115)))" "214,228,200" 12 ||
  e2e_fail "the built-in picture is not shown"
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true
E2E_APP_PID=""

# No drive at all: the message, and no window.
VARDEL_CD_DEVICE="$E2E_DIR/no-hay-lector" e2e_run "$DEMO" "$VARDEL_PROGRAM_DIR"
e2e_wait_for_message "No es posible abrir el dispositivo del CD de Audio" 10
e2e_shot "cd-no-drive" >/dev/null
e2e_key Return
sleep 0.5
[ "$(e2e_widget_visible frmLector)" != 1 ] || e2e_fail "the window stayed after the failed open"
e2e_log "ok"
