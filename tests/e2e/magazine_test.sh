#!/usr/bin/env bash
# The magazine as a person uses it, on a real X server:
#   magazine_test.sh <ondravia|ondravia-basic> <scenario>
# Scenarios: opening (the whole opening in real time, then hints, a city, the way back and the
# hidden document), skip (from the second picture), background (the map's background skip),
# screen (a 801x600 screen), no_ocx (html.ocx missing), no_browser (the browser control
# missing, ondravia), damaged (pictures, configuration and a document missing).
program="$1"
scenario="$2"
E2E_NAME="magazine_${program}_${scenario}"
source "$(dirname "$0")/lib.sh"

ini="$VARDEL_PROGRAM_DIR/Configuracion.ini"
graficos="$VARDEL_PROGRAM_DIR/Graficos"
export XDG_DATA_HOME="$E2E_DIR/xdg"   # a person who never registered html.ocx
mkdir -p "$XDG_DATA_HOME"

visible() { [ "$(e2e_widget_visible "$1")" = 1 ]; }
hidden() { [ "$(e2e_widget_visible "$1")" = 0 ]; }
hint_is() { [ "$(e2e_widget_text frmMapa/client/Label1)" = "$1" ]; }
expect_visible() { visible "$1" || e2e_fail "$2: $1 should be visible"; }
expect_hidden() { visible "$1" && e2e_fail "$2: $1 should be hidden"; return 0; }
geometry_of() { e2e_widget "$1" | cut -f4; }
map_at_origin() { visible frmMapa && [ "$(geometry_of frmMapa | cut -d, -f1-2)" = "0,0" ]; }
city_rect() {  # x y w h of city n
  echo "$(e2e_ini "$ini" Posiciones "Ciudad$1X") $(e2e_ini "$ini" Posiciones "Ciudad$1Y") $(e2e_ini "$ini" Tamanios "Ciudad$1Ancho") $(e2e_ini "$ini" Tamanios "Ciudad$1Alto")"
}
city_hint() { e2e_ini "$ini" Hints "Ciudad$1" | iconv -f WINDOWS-1252 -t UTF-8; }
document_display_shown() { e2e_document_shown "$program"; }

# The opening runs on its own timers: the test waits for each state the program reports and
# judges the times from the program's own timeline, so a busy machine delays it but never
# makes it fail.
start_opening() {
  e2e_run "./$program"
  e2e_until 60 visible frmPresenta || e2e_fail "the presentation did not appear"
  e2e_log "presentation shown"
}
# shot_while <name> <path> <what> [detail] [after ns]: a screenshot taken before the event <what>
# of <path> (the end of the state being judged; the first such event after the given time)
# happened; echoes its file.
shot_while() {
  local file taken ended
  file=$(e2e_shot "$1")
  taken=$(e2e_now_ns)
  e2e_timeline >"$E2E_DIR/timeline.txt" || e2e_timeline >"$E2E_DIR/timeline.txt"
  if ended=$(e2e_event_ns "$E2E_DIR/timeline.txt" "$3" "$2" "${4-}" "${5-}") && [ "$ended" -lt "$taken" ]; then
    e2e_fail "the screenshot '$1' came after $2's $3 ${4-}: the state it judges had ended" >&2
  fi
  echo "$file"
}
# event_now <what> <path> [detail]: the time of that event, read from the program now.
event_now() {
  e2e_timeline >"$E2E_DIR/timeline.txt" || e2e_timeline >"$E2E_DIR/timeline.txt"
  e2e_event_ns "$E2E_DIR/timeline.txt" "$@"
}
# step <label> <from ns> <to ns> <nominal ms>: one step of the timeline took its nominal time,
# never less (a timer does not fire early) and not much more (a late timer on a busy machine).
step() {
  local ms=$(( ($3 - $2) / 1000000 ))
  e2e_log "$1: ${ms} ms (nominal $4)"
  [ "$ms" -ge $(( $4 - 2 )) ] && [ "$ms" -le $(( $4 + 1500 )) ] || e2e_fail "$1 after ${ms} ms instead of $4 ms"
}

opening() {
  start_opening
  e2e_until 30 visible frmPresenta/client/lbPresenta || e2e_fail "PRESENTA never showed"
  shot=$(shot_while "first-picture" frmPresenta/client/imgLogo picture p2.)
  e2e_screen_matches_picture "$shot" "$graficos/p1" 0 0 400 150 300 300 100 100 || e2e_fail "picture p1 is not on the screen"
  [ "$(geometry_of frmMapa | cut -d, -f1)" -le -5000 ] 2>/dev/null || expect_hidden frmMapa "with the first picture"
  e2e_until 30 visible frmPresenta/client/lbN || e2e_fail "the title never showed"
  shot=$(shot_while "title" frmPresenta/client/lbN hide)
  n=$(geometry_of frmPresenta/client/lbN)
  nx=$(( $(echo "$n" | cut -d, -f1) + $(echo "$n" | cut -d, -f3) / 2 ))
  red=$(convert "$shot" -crop "$(echo "$n" | cut -d, -f3)x$(echo "$n" | cut -d, -f4)+$(echo "$n" | cut -d, -f1)+$(echo "$n" | cut -d, -f2)" \
        -fx '(r > 0.55 && g < 0.25 && b < 0.4) ? 1 : 0' -format '%[fx:int(mean*w*h)]' info:)
  [ "$red" -gt 30 ] || e2e_fail "no red N over the title at x $nx ($red red pixels)"
  e2e_until 30 visible frmPresenta/client/lbURL || e2e_fail "the status line never showed"
  shot=$(shot_while "second-picture" frmMapa show "" "$(event_now picture frmPresenta/client/imgLogo p2.)")
  e2e_screen_matches_picture "$shot" "$graficos/p2" 0 0 400 150 100 100 700 100 || e2e_fail "picture p2 is not on the screen"
  e2e_until 60 map_at_origin || e2e_fail "the map never came to 0,0"
  expect_hidden frmMapa/client/Label1 "at the hand-over"
  shot=$(shot_while "map-first-background" frmMapa/client/ImgFondo picture p3.)
  e2e_screen_matches_picture "$shot" "$graficos/p8" 0 0 400 30 790 590 150 590 || e2e_fail "picture p8 is not the map's background"
  expect_visible frmPresenta "before the end of the opening (closed only at the second tick)"
  e2e_until 60 visible frmMapa/client/Label1 || e2e_fail "the opening never ended"
  expect_visible frmMapa/client/lbReloj "at the end of the opening"
  expect_hidden frmPresenta "at the end of the opening"
  shot=$(e2e_shot "map-interactive")
  e2e_screen_matches_picture "$shot" "$graficos/p3" 0 0 400 30 790 590 150 590 || e2e_fail "picture p3 is not the map's background"
  clock=$(e2e_widget_text frmMapa/client/lbReloj)
  [[ "$clock" =~ ^[0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] || e2e_fail "clock shows '$clock'"

  # The timeline, from the presentation's first frame on screen. A timer keeps its cadence, so a
  # tick that came late makes the next interval short: each event is judged from the moment its
  # timer was started (an event recorded just after), never from the previous tick. The second
  # tick of tmTexto restarts it before p2 is decoded, so the hand-over counts from the first
  # picture too.
  local t="$E2E_DIR/timeline.txt" first logo presenta title second handover p3 end text at
  e2e_timeline >"$t"
  first=$(e2e_event_ns "$t" paint frmPresenta) || e2e_fail "no first frame of the presentation"
  logo=$(e2e_event_ns "$t" show frmPresenta/client/imgLogo) || e2e_fail "the first picture was never shown"
  step "first picture" "$first" "$logo" 800
  presenta=$(e2e_event_ns "$t" show frmPresenta/client/lbPresenta) || e2e_fail "PRESENTA was never shown"
  step "PRESENTA" "$logo" "$presenta" 2250
  title=$(e2e_event_ns "$t" show frmPresenta/client/lbOndravia) || e2e_fail "the title was never shown"
  step "the title" "$logo" "$title" 4500
  step "the red N" "$logo" "$(e2e_event_ns "$t" show frmPresenta/client/lbN)" 4500
  second=$(e2e_event_ns "$t" picture frmPresenta/client/imgLogo p2.) || e2e_fail "p2 was never loaded"
  step "the second picture" "$logo" "$second" 6750
  step "the status line" "$logo" "$(e2e_event_ns "$t" show frmPresenta/client/lbURL)" 6750
  step "PRESENTA hidden" "$logo" "$(e2e_event_ns "$t" hide frmPresenta/client/lbPresenta)" 6750
  at=2000
  for text in "Buscando ficheros añadidos" "Buscando módulos multimedia adicionales" "Comprobando validez de ficheros" \
              "Generando interfaz gráfico" "Llegando a la isla de ONDRAVIA VARDEL..."; do
    step "status '$text'" "$second" "$(e2e_event_ns "$t" text frmPresenta/client/lbURL "$text" "$first")" "$at"
    at=$((at + 2000))
  done
  handover=$(e2e_event_ns "$t" show frmMapa "" "$second") || e2e_fail "the map was never shown"
  step "the hand-over" "$logo" "$handover" 19950
  p3=$(e2e_event_ns "$t" picture frmMapa/client/ImgFondo p3.) || e2e_fail "p3 was never loaded"
  step "the final background" "$handover" "$p3" 6600
  end=$(e2e_event_ns "$t" show frmMapa/client/Label1) || e2e_fail "the hint label was never shown"
  step "the end of the opening" "$p3" "$end" 5250
  step "the presentation closed" "$p3" "$(e2e_event_ns "$t" hide frmPresenta)" 5250
  # It started unregistered: the start-up registered html.ocx itself.
  grep -q "^{B7FC355E-8CE7-11CF-9754-00AA00C00908}=.*html.ocx" "$XDG_DATA_HOME/vardel/controls.reg" \
    || e2e_fail "html.ocx was not registered"
  navigation
}

navigation() {
  read -r x y w h <<<"$(city_rect 1)"
  e2e_move $((x + w / 2)) $((y + h / 2))
  expected=$(city_hint 1)
  e2e_until 10 hint_is "$expected" || true
  [ "$(e2e_widget_text frmMapa/client/Label1)" = "$expected" ] || e2e_fail "hint '$(e2e_widget_text frmMapa/client/Label1)' instead of '$expected'"
  e2e_shot "hint" >/dev/null
  e2e_click $((x + w / 2)) $((y + h / 2))
  e2e_until 5 document_display_shown || e2e_fail "the document display did not appear"
  expect_visible frmMapa/client/imgSecciones "after a city click"
  expect_visible frmMapa/client/imgMapita "after a city click"
  sleep 1.5
  shot=$(e2e_shot "article")
  e2e_screen_matches_picture "$shot" "$graficos/s1" 4 121 10 10 || e2e_fail "section picture s1 is not at 4,121"
  e2e_screen_matches_picture "$shot" "$graficos/p5" 0 0 60 40 || e2e_fail "the small map is not at 0,0"
  # Back to the map.
  e2e_click 20 20
  e2e_until 10 hidden frmMapa/client/imgMapita || true
  expect_hidden frmMapa/client/imgMapita "after the small map"
  expect_hidden frmMapa/client/imgSecciones "after the small map"
  document_display_shown && e2e_fail "the display is still shown"
  e2e_shot "back-to-map" >/dev/null
  # Control+Alt+click on the small map opens the hidden document and stays at the document.
  e2e_click $((x + w / 2)) $((y + h / 2))
  e2e_until 5 document_display_shown || e2e_fail "the display did not appear again"
  sleep 1
  e2e_click 20 20 1 ctrl alt
  sleep 1.5
  expect_visible frmMapa/client/imgMapita "after Control+Alt+click"
  [ "$(e2e_widget_property frmMapa Nivel)" = 2 ] || e2e_fail "Control+Alt+click left the document level"
  document_display_shown || e2e_fail "Control+Alt+click hid the display"
  e2e_shot "extra1" >/dev/null
  # The hidden page greets whoever found it.
  e2e_until 5 ocr_find "encontrado!" || e2e_fail "extra1.html is not on display"
}

# Waits for the second picture, the first moment a click on it skips the opening.
until_second_picture() {
  e2e_until 60 visible frmPresenta/client/lbURL || e2e_fail "the second picture never showed"
}

skip_from_second_picture() {
  start_opening
  e2e_until 30 visible frmPresenta/client/lbPresenta || e2e_fail "PRESENTA never showed"
  e2e_click 400 300   # on the first picture: nothing happens
  until_second_picture
  expect_visible frmPresenta "after a click on the first picture"
  expect_hidden frmMapa/client/Label1 "after a click on the first picture"
  e2e_click 400 300
  e2e_until 10 visible frmMapa/client/Label1 || e2e_fail "the skip did not show the map"
  expect_hidden frmPresenta "after the skip"
  [ "$(geometry_of frmMapa | cut -d, -f1-2)" = "0,0" ] || e2e_fail "the map is not at 0,0 after the skip"
  sleep 0.5
  shot=$(e2e_shot "skipped")
  e2e_screen_matches_picture "$shot" "$graficos/p3" 0 0 400 30 790 590 150 590 || e2e_fail "p3 is not shown after the skip"
  navigation
}

background_skip() {
  start_opening
  e2e_until 60 map_at_origin || e2e_fail "the map never came to 0,0"
  expect_hidden frmMapa/client/Label1 "before the background click"
  e2e_click 700 585   # the sea near the bottom edge: no city and no button
  e2e_until 10 visible frmMapa/client/Label1 || e2e_fail "the background click did not finish the opening"
  expect_hidden frmPresenta "after the background click"
  sleep 0.5
  shot=$(e2e_shot "background-skip")
  e2e_screen_matches_picture "$shot" "$graficos/p3" 0 0 400 30 790 590 150 590 || e2e_fail "p3 is not shown after the background click"
}

ocr_find() { e2e_ocr_find "$@"; }

# scroll_to_word <word>: scrolls the document display down until <word> shows; echoes "x y".
scroll_to_word() {
  local at
  e2e_move 450 400
  # A notch at a time, each read once the page has come to rest (the engine scrolls smoothly,
  # and a busy machine draws the scroll late): the word is read at several heights, as the OCR
  # can miss a word at one of them.
  for _ in $(seq 1 36); do
    e2e_until 10 e2e_screen_settled 640x600+150+0 || true
    if at=$(ocr_find "$1"); then echo "$at"; return 0; fi
    xdotool click 5
  done
  return 1
}

map_url() { e2e_widget_property frmMapa "$1"; }
# url_is <property> <pattern>: the map's URL property matches the glob pattern.
url_is() {
  local url
  url=$(map_url "$1")
  # shellcheck disable=SC2053
  [[ "$url" == $2 ]]
}

# Follows a link that asks for a new window: the map opens its document in place instead.
follow_new_window_link() {
  local city="$1" word="$2" target="$3" x y w h at
  read -r x y w h <<<"$(city_rect "$city")"
  e2e_click $((x + w / 2)) $((y + h / 2))
  e2e_until 10 document_display_shown || e2e_fail "the display did not appear for city $city"
  sleep 2
  at=$(scroll_to_word "$word") || e2e_fail "no '$word' link found on the page of city $city"
  read -r x y <<<"$at"
  e2e_move "$x" "$y"
  e2e_until 10 url_is URLEnlace "file*/Ficheros/$target" || true
  sleep 0.5
  [[ "$(map_url URLEnlace)" == file*/Ficheros/"$target" ]] || e2e_fail "pointing at the link left URLEnlace at '$(map_url URLEnlace)'"
  e2e_shot "link-$target" >/dev/null
  local windows
  windows=$(xdotool search --onlyvisible --name "." 2>/dev/null | wc -l)
  e2e_click "$x" "$y"
  for _ in $(seq 1 50); do [[ "$(map_url URLActual)" == file*"/Ficheros/$target" ]] && break; sleep 0.1; done
  [[ "$(map_url URLActual)" == file*/Ficheros/"$target" ]] || e2e_fail "the new-window link did not open '$target' in place: URLActual '$(map_url URLActual)'"
  sleep 1
  [ "$(xdotool search --onlyvisible --name "." 2>/dev/null | wc -l)" = "$windows" ] || e2e_fail "a second window opened"
  e2e_shot "opened-$target" >/dev/null
  e2e_click 20 20   # back to the map
  sleep 0.5
}

links() {
  start_opening
  until_second_picture
  e2e_click 400 300
  e2e_until 10 visible frmMapa/client/Label1 || e2e_fail "the skip did not show the map"
  # The map's own URL form first, then the browser's report of it, from "file" on.
  read -r x y w h <<<"$(city_rect 1)"
  e2e_click $((x + w / 2)) $((y + h / 2))
  e2e_until 10 url_is URLActual "file:///*/Ficheros/editorial.html" || true
  sleep 1
  [[ "$(map_url URLActual)" == file:///*/Ficheros/editorial.html ]] || e2e_fail "URLActual '$(map_url URLActual)'"
  [[ "$(map_url URLEnlace)" == "file:$VARDEL_PROGRAM_DIR/Ficheros\\editorial.html" ]] || e2e_fail "URLEnlace '$(map_url URLEnlace)'"
  e2e_click 20 20
  sleep 0.5
  follow_new_window_link 15 naturaleza naturaleza.html   # target="_blank"
  follow_new_window_link 5 ayuda informatica.html         # window.open
}

wrong_screen() {
  E2E_SCREEN=801x600
  # The check is the program's own when it runs on the display as it is; on its stage (the
  # default on any other size) the screen it sees is 800x600.
  VARDEL_SCALE=off e2e_run "./$program"
  e2e_wait_for_message "Tu sistema está configurado a 801x600. La resolución de pantalla debe ser de 800x600 píxeles." 20
  e2e_shot "resolution-message" >/dev/null
  visible frmMapa && e2e_fail "the map was shown"
  e2e_key Return
  e2e_wait_exit 20 >/dev/null
}

missing_ocx() {
  local folder="$E2E_DIR/program"
  e2e_copy_program_folder "$folder"
  rm -f "$folder/html.ocx"
  VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"
  e2e_wait_for_message "Error. No se encuentra el OCX" 20
  e2e_shot "no-ocx" >/dev/null
  e2e_key Return
  e2e_wait_exit 20 >/dev/null
}

missing_browser() {
  local folder="$E2E_DIR/program"
  e2e_copy_program_folder "$folder"
  find "$folder" -maxdepth 1 -name '*webbrowser*' -delete
  VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"
  e2e_wait_for_message "Debes instalar primero la versión 4.x del Internet Explorer" 30
  e2e_shot "no-browser" >/dev/null
  e2e_key Return
  e2e_wait_exit 20 >/dev/null
}

damaged() {
  local folder="$E2E_DIR/program"
  e2e_copy_program_folder "$folder"
  rm -f "$folder/Graficos/p1" "$folder/Graficos/p8" "$folder/Graficos/s1"
  : >"$folder/Configuracion.ini"
  VARDEL_PROGRAM_DIR="$folder" start_opening
  until_second_picture
  e2e_click 400 300   # p2 is still there: skip
  e2e_until 10 visible frmMapa/client/Label1 || e2e_fail "the skip did not show the map"
  # The one default city, 50x50 at the corner, partly under the credits hotspot.
  e2e_click 25 45
  # Its document is a blank name: both displays refuse it, and the map says so.
  e2e_wait_for_message "No se ha encontrado el fichero: $folder/ " 10
  e2e_shot "missing-document" >/dev/null
  e2e_key Return
  sleep 0.5
  kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended"
}

if [ "$scenario" = screen ]; then e2e_start_xvfb 801x600; else e2e_start_xvfb 800x600; fi
case "$scenario" in
  opening) opening ;;
  skip) skip_from_second_picture ;;
  background) background_skip ;;
  screen) wrong_screen ;;
  no_ocx) missing_ocx ;;
  no_browser) missing_browser ;;
  damaged) damaged ;;
  links) links ;;
  *) e2e_fail "unknown scenario $scenario" ;;
esac
e2e_log "ok"
