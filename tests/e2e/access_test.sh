#!/usr/bin/env bash
# The magazine from the keyboard and through a screen reader, under a real window manager:
#   access_test.sh <ondravia|ondravia-basic>
# nothing drawn before the first Tab; Tab x3 marks city 3 and nothing else changes on the screen;
# Enter opens it; the tree a screen reader reads (AT-SPI) has one button per city named by its
# hint, the fixed buttons, then the article's first sentence; Escape goes back to the map; the
# MP3 player opened by the screen reader's press, its buttons named, closed from the keyboard.
# Runs on a session bus and an accessibility bus of its own.
if [ -z "${E2E_OWN_BUS:-}" ]; then exec env E2E_OWN_BUS=1 dbus-run-session -- bash "$0" "$@"; fi
program="$1"
E2E_NAME="access_${program}"
source "$(dirname "$0")/lib.sh"

tree() { /usr/bin/python3 "$(dirname "$0")/atspi_tree.py" "$@"; }  # Debian's, which has pyatspi
a11y_bus_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner \
    string:org.a11y.Bus | grep -q 'boolean true'
}
config="$VARDEL_PROGRAM_DIR/Configuracion.ini"
rect_of() { e2e_widget "$1" | cut -f4; }  # x,y,w,h on the screen
mark_visible() { e2e_visible frmMapa/marcaTeclado; }
nivel() { [ "$(e2e_widget_property frmMapa Nivel)" = "$1" ]; }
mark_at() { [ "$(rect_of frmMapa/marcaTeclado)" = "$1" ]; }
hint_is() { [ "$(e2e_widget_text frmMapa/client/Label1)" = "$1" ]; }
map_only() { ! e2e_document_shown "$program"; }
mp3_closed() { ! e2e_visible frmMP3; }
# activate <title>: gives the program's visible window of that title the keyboard, as a click would.
is_active() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ]; }
activate() {
  local window
  for window in $(xdotool search --onlyvisible --pid "$E2E_APP_PID"); do  # its --name takes ' ' for any
    [ "$(xdotool getwindowname "$window")" = "$1" ] && xdotool windowactivate "$window"
  done
  e2e_until 10 is_active "$1" || e2e_fail "the window '$1' does not take the keyboard"
}
# pixels_changed <png> <png> <rect>: how many pixels differ inside the rectangle.
pixels_changed() {
  local x y w h
  IFS=, read -r x y w h <<<"$3"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage "$1.crop.png"
  convert "$2" -crop "${w}x${h}+${x}+${y}" +repage "$2.crop.png"
  compare -metric AE "$1.crop.png" "$2.crop.png" null: 2>&1 || true
}
# masked <png> <rect>...: the screenshot with those rectangles painted black, into <png>.masked.png
masked() {
  local png="$1" draw=() x y w h
  shift
  for r in "$@"; do
    IFS=, read -r x y w h <<<"$r"
    draw+=(-draw "rectangle $x,$y,$((x + w - 1)),$((y + h - 1))")
  done
  convert "$png" -fill black "${draw[@]}" "$png.masked.png"
  echo "$png.masked.png"
}

e2e_start_xvfb
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_DIR/atspi-bus.log" 2>&1 &
e2e_adopt $!
e2e_until 10 a11y_bus_up || e2e_fail "the accessibility bus did not start"
/usr/libexec/at-spi2-registryd >"$E2E_DIR/atspi-registry.log" 2>&1 &
e2e_adopt $!
e2e_start_wm
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

e2e_run "./$program"
e2e_skip_opening
activate VARDEL
sleep 0.5  # the skip's repaint settles
mark_visible && e2e_fail "a focus mark before any key"
before=$(e2e_shot map)

# What a screen reader finds on the map.
tree check "$E2E_APP_PID" --city-hints "$config" --timeout 30 --dump "$E2E_DIR/tree-map.txt" \
  --button "Cierra la aplicación y vuelve a Windows" \
  --button "Lector de MP3 de ONDRAVIA VARDEL, donde podrás escuchar tus ficheros MP3" \
  || e2e_fail "the map's buttons are not in the accessibility tree"

# Tab x3: city 3 is marked; the screen changes in the mark, the hint line and the clock only.
e2e_key Tab Tab Tab
e2e_until 10 mark_visible || e2e_fail "no focus mark after Tab"
IFS=, read -r cx cy cw ch <<<"$(rect_of frmMapa/client/c3)"
expected="$((cx - 2)),$((cy - 2)),$((cw + 4)),$((ch + 4))"
e2e_until 10 mark_at "$expected" || e2e_fail "the mark is at $(rect_of frmMapa/marcaTeclado), not round city 3"
hint3=$(/usr/bin/python3 -c 'import sys, configparser as c; p = c.ConfigParser(interpolation=None); p.read(sys.argv[1], encoding="cp1252"); print(p["Hints"]["Ciudad3"])' "$config")
e2e_until 10 hint_is "$hint3" || e2e_fail "the hint line does not name city 3"
sleep 0.3
after=$(e2e_shot tab3)
mask=("$expected" "$(rect_of frmMapa/client/Label1)" "$(rect_of frmMapa/client/lbReloj)")
[ "$(compare -metric AE "$(masked "$before" "${mask[@]}")" "$(masked "$after" "${mask[@]}")" null: 2>&1 || true)" = 0 ] \
  || e2e_fail "Tab changed the screen outside the mark, the hint line and the clock"
changed=$(pixels_changed "$before" "$after" "$expected")
[ "$changed" -ge "$((cw + ch))" ] || e2e_fail "the mark is not drawn ($changed pixels changed)"

# Enter opens city 3, as its click does; its article reaches the screen reader.
e2e_key Return
e2e_while_alive 30 e2e_document_shown "$program"
e2e_until 10 nivel 2 || e2e_fail "Enter did not open a document"
timeline="$E2E_DIR/timeline.txt"
e2e_timeline >"$timeline"
e2e_event_ns "$timeline" picture imgSecciones 's3.' >/dev/null || e2e_fail "Enter did not open city 3's section"
sentence="Nadie sabe con certeza quiénes fueron los primeros en pisar Ondravia."  # the demo's history article
tree check "$E2E_APP_PID" --text "$sentence" --timeout 30 --dump "$E2E_DIR/tree-article.txt" \
  || e2e_fail "the article's text is not in the accessibility tree"
e2e_shot article >/dev/null

# Escape: back to the map, as the small map's click does.
e2e_key Escape
e2e_until 10 nivel 1 || e2e_fail "Escape did not go back to the map"
e2e_until 10 map_only || e2e_fail "the document is still shown after Escape"

# The MP3 player, opened by the screen reader's press; its buttons are named by their hints.
tree press "$E2E_APP_PID" "Lector de MP3 de ONDRAVIA VARDEL, donde podrás escuchar tus ficheros MP3" \
  || e2e_fail "the MP3 button cannot be pressed through the accessibility tree"
e2e_while_alive 20 e2e_visible frmMP3
tree check "$E2E_APP_PID" --timeout 20 --dump "$E2E_DIR/tree-mp3.txt" \
  --button "Reproduce el actual fichero MP3" --button "Abre el menú de carga de ficheros MP3" \
  --button "Cierra el reproductor dejando el fichero MP3 en la configuración actual" \
  || e2e_fail "the MP3 player's buttons are not in the accessibility tree"
activate " "
# Its close button is the fifth stop.
e2e_key Tab Tab Tab Tab Tab Return
e2e_until 10 mp3_closed || e2e_fail "the MP3 player did not close from the keyboard"
e2e_alive || e2e_fail "the program ended"
e2e_log "PASS"
