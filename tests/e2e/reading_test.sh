#!/usr/bin/env bash
# Find in the article, text size and history, on a real X server:
#   reading_test.sh <ondravia|ondravia-basic> <aids|default>
# aids:    an article in Windows-1252 with "canción" four ways: Ctrl+F finds "cancion" with its
#          count, Enter/F3 walk the matches, Escape takes the bar and its marks away; two
#          Ctrl++ (or two turns of Ctrl+wheel) make the glyphs 1.2 times taller, after a link and
#          back too, Ctrl+0 gives the very pixels of before; Alt+Left/Alt+Right and the mouse's side buttons walk the
#          articles back to the place scrolled to, and back past the city's first article to
#          the map.
# default: the opening, the map and an article show the same pixels whether the reading keys
#          were pressed where they do nothing (the opening, the map) or never.
program="$1"
scenario="$2"
E2E_NAME="reading_${program}_${scenario}"
source "$(dirname "$0")/lib.sh"

folder="$E2E_DIR/Ondravia"
cp -al "$VARDEL_PROGRAM_DIR" "$folder"
ini="$folder/Configuracion.ini"
article="$folder/Ficheros/$(e2e_ini "$ini" Ficheros Ciudad1 | tr -d '\r')"
rm -f "$article"
{
  printf '<html><head><title>Puerto</title></head><body>\n<p style="font-size:40px">HHHH</p>\n'
  printf '<p>La CANCIÓN del puerto, una canción de pescadores; la Canción sigue y otra cancion acaba.</p>\n'
  for n in $(seq 1 40); do
    printf '<p>Párrafo %s, de relleno para que el artículo sea largo. <a href="segunda.html">SIGUIENTE</a></p>\n' "$n"
  done
  printf '</body></html>\n'
} | iconv -f UTF-8 -t WINDOWS-1252 >"$article"
printf '<html><head><title>Segunda</title></head><body>\n<p style="font-size:40px">HHHH</p>\n<p>Segunda página.</p>\n</body></html>\n' \
  | iconv -f UTF-8 -t WINDOWS-1252 >"$folder/Ficheros/segunda.html"

level_is() { [ "$(e2e_widget_property frmMapa Nivel)" = "$1" ]; }
showing() {
  if [ "$program" = ondravia ]; then
    [ "$(e2e_widget_property WebBrowser title)" = "$1" ]
  else
    [[ "$(e2e_widget_property HtmlViewer plainText)" == *"$2"* ]]
  fi
}
# area <png> <out>: the article area without its scroll bar.
area() { convert "$1" -crop 620x600+150+0 +repage "$2"; }
# stable <name>: a shot of the article area once two in a row are the same; echoes its path.
stable() {
  local last="" now i
  for i in $(seq 1 100); do
    now="$E2E_DIR/$1-$i.png"
    area "$(e2e_shot "$1")" "$now"
    if [ -n "$last" ] && same "$last" "$now"; then echo "$now"; return 0; fi
    last="$now"
  done
  e2e_fail "the article area never settled ($1)"
}
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
# ink <png>: only the black text, as black on white (links, marks and the background go).
ink() { convert "$1" -channel RGB -separate -evaluate-sequence max -threshold 30% "$2"; }
same_ink() { ink "$1" "$E2E_DIR/ink-a.png"; ink "$2" "$E2E_DIR/ink-b.png"; same "$E2E_DIR/ink-a.png" "$E2E_DIR/ink-b.png"; }
# rows <mask png>: "first last" rows holding black pixels of the first run from the top.
first_run() {
  convert "$1" -negate -scale "1x$(identify -format %h "$1")!" -depth 16 txt:- |
    awk -F'[,:( ]+' 'NR > 1 { v = $4 + 0; if (v > 0 && start == "") start = $2; if (v == 0 && start != "" && end == "") end = $2 - 1 }
      END { if (start == "") exit 1; print start, end }'
}
# glyphs <area png>: the height of the big first line, in pixels.
glyphs() {
  local first last
  ink "$1" "$E2E_DIR/glyphs.png"
  read -r first last <<<"$(first_run "$E2E_DIR/glyphs.png")"
  echo $((last - first + 1))
}
# link_centre <area png>: "x y" on the screen of the first link, visited or not.
link_centre() {
  local mask="$E2E_DIR/link.png" y0 y1 x0 x1
  convert "$1" -fuzz 25% -fill '#0000ff' -opaque '#ff00ff' -fuzz 8% -opaque '#551a8b' -fuzz 25% -fill black +opaque '#0000ff' -fill white -opaque '#0000ff' -negate "$mask"
  read -r y0 y1 <<<"$(first_run "$mask")" || return 1
  convert "$mask" -crop "620x$((y1 - y0 + 1))+0+$y0" +repage -rotate 90 "$mask.col.png"
  read -r x0 x1 <<<"$(first_run "$mask.col.png")" || return 1
  echo "$((150 + (x0 + x1) / 2)) $(((y0 + y1) / 2))"
}
click_link() {
  local x y
  read -r x y <<<"$(link_centre "$(stable "$1")")" || e2e_fail "no link on display"
  e2e_click "$x" "$y"
}
# ratio_near <measured> <base> <want>: measured/base within 0.05 of want.
ratio_near() { awk -v m="$1" -v b="$2" -v w="$3" 'BEGIN { r = m / b; exit !(r > w - 0.05 && r < w + 0.05) }'; }
taller() { ratio_near "$(glyphs "$(stable "$1")")" "$base" 1.2; }
count_is() { [ "$(e2e_widget_text barraBuscar/resultadoBuscar)" = "$1" ]; }
expect_count() { e2e_while_alive 20 count_is "$1" || e2e_fail "the find bar says '$(e2e_widget_text barraBuscar/resultadoBuscar)', not '$1'"; }
bar_hidden() { [ "$(e2e_widget_visible barraBuscar)" = 0 ]; }
marks() { convert "$1" -fuzz 6% -fill white -opaque '#ffff00' -fill black +opaque white -format '%[fx:int(mean*w*h+0.5)]' info:; }
open_city() {
  local x y
  read -r x y <<<"$(e2e_city_centre "$ini" 1)"
  e2e_click "$x" "$y"
  e2e_while_alive 30 showing Puerto "CANCIÓN"
}

e2e_start_xvfb 800x600
VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"

if [ "$scenario" = default ]; then
  # screen <name>: the whole screen once settled, the clock's digits blacked out.
  screen() {
    local last="" now i clock x y w h
    for i in $(seq 1 100); do
      now="$E2E_DIR/$1-$i.png"
      IFS=, read -r x y w h <<<"$(e2e_widget frmMapa/client/lbReloj | cut -f4)"
      convert "$(e2e_shot "$1")" -fill black -draw "rectangle $x,$y $((x + w + 40)),$((y + h))" "$now"
      if [ -n "$last" ] && same "$last" "$now"; then echo "$now"; return 0; fi
      last="$now"
    done
    e2e_fail "the screen never settled ($1)"
  }
  # The keys where they have nothing to act on, or undone at once.
  idle_keys() {
    e2e_key ctrl+plus ctrl+minus ctrl+0 alt+Left alt+Right F3 shift+F3 ctrl+f
    xdotool click 8 click 9
  }
  # walk <run> <keys 0|1>: the opening's logo, the map and the first article of one run.
  walk() {
    local x y w h
    if [ "$2" = 1 ]; then e2e_until 30 e2e_visible frmPresenta/client/lbURL && idle_keys; fi
    e2e_until 30 e2e_visible frmPresenta/client/lbURL || e2e_fail "the opening did not reach its second picture"
    IFS=, read -r x y w h <<<"$(e2e_widget frmPresenta/client/imgLogo | cut -f4)"
    convert "$(e2e_shot "opening$1")" -crop "${w}x${h}+$x+$y" +repage "$E2E_DIR/opening$1.png"
    e2e_skip_opening
    e2e_move 790 300
    [ "$2" = 1 ] && idle_keys
    cp "$(screen "map$1")" "$E2E_DIR/map$1.png"
    open_city
    if [ "$2" = 1 ]; then
      e2e_key ctrl+plus ctrl+plus ctrl+0 ctrl+f Escape
      e2e_while_alive 10 bar_hidden || e2e_fail "Escape left the find bar"
    fi
    e2e_move 790 300
    cp "$(screen "article$1")" "$E2E_DIR/article$1.png"
  }
  walk plain 0
  kill "$E2E_APP_PID"; wait "$E2E_APP_PID" 2>/dev/null || true
  VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"
  walk keys 1
  for view in opening map article; do
    same "$E2E_DIR/${view}plain.png" "$E2E_DIR/${view}keys.png" || e2e_fail "the $view differs once the reading keys were pressed"
  done
  e2e_log "PASS"
  exit 0
fi

e2e_skip_opening
open_city
top=$(stable top)

# Find: four ways of writing the word, one of them without its accent.
e2e_key ctrl+f
e2e_while_alive 10 e2e_visible barraBuscar || e2e_fail "Ctrl+F opened no find bar"
xdotool type --delay 20 cancion
expect_count "1 de 4"
e2e_key Return; expect_count "2 de 4"
e2e_key shift+Return; expect_count "1 de 4"
e2e_key F3; e2e_key F3; expect_count "3 de 4"
e2e_key shift+F3; expect_count "2 de 4"
marked=$(stable marked)
[ "$(marks "$marked")" -gt 0 ] || e2e_fail "the matches are not marked"
e2e_key ctrl+a; xdotool type --delay 20 zzzq
expect_count "Sin resultados"
e2e_key Escape
e2e_while_alive 10 bar_hidden || e2e_fail "Escape left the find bar"
same "$(stable closed)" "$top" || e2e_fail "the article is not as it was once the bar closed"

# Text size: the big first line, 1.2 times taller after two steps, on the next article too.
base=$(glyphs "$top")
click_link top
e2e_while_alive 30 showing Segunda "Segunda"
second=$(stable second)
e2e_key ctrl+plus; e2e_key ctrl+plus
e2e_while_alive 20 taller bigger || e2e_fail "two steps did not make the text 1.2 times taller"
e2e_key alt+Left
e2e_while_alive 30 showing Puerto "CANCIÓN"
e2e_while_alive 20 taller back-bigger || e2e_fail "the first article went back to its size"
click_link back-bigger
e2e_while_alive 30 showing Segunda "Segunda"
e2e_while_alive 20 taller link-bigger || e2e_fail "the linked article went back to its size"
e2e_key ctrl+0
e2e_while_alive 20 same "$(stable normal)" "$second" || e2e_fail "Ctrl+0 did not give back the pixels of before"
e2e_move 470 300
xdotool keydown ctrl click 4 click 4 keyup ctrl
e2e_while_alive 20 taller wheel-bigger || e2e_fail "two turns of Ctrl+wheel did not make the text 1.2 times taller"
e2e_key ctrl+0
e2e_while_alive 20 same "$(stable wheel-normal)" "$second" || e2e_fail "Ctrl+0 after the wheel did not give back the pixels"

# History: back to the place scrolled to, forward, and past the first article to the map.
e2e_key alt+Left
e2e_while_alive 30 showing Puerto "CANCIÓN"
e2e_move 470 300
for _ in 1 2 3 4 5 6; do xdotool click 5; done
scrolled=$(stable scrolled)
! same_ink "$scrolled" "$top" || e2e_fail "the wheel did not scroll the article"
click_link scrolled
e2e_while_alive 30 showing Segunda "Segunda"
e2e_key alt+Left
e2e_while_alive 30 showing Puerto "CANCIÓN"
e2e_while_alive 20 same_ink "$(stable restored)" "$scrolled" || e2e_fail "back did not return to the place scrolled to"
e2e_key alt+Right
e2e_while_alive 30 showing Segunda "Segunda"
e2e_while_alive 20 same "$(stable forward)" "$second" || e2e_fail "forward did not show the second article at its top"
xdotool click 8
e2e_while_alive 30 showing Puerto "CANCIÓN"
xdotool click 8
e2e_while_alive 20 level_is 1 || e2e_fail "back past the city's first article did not return to the map"
e2e_visible frmMapa/client/imgMapita && e2e_fail "the small map stayed after going back to the map"
xdotool click 9
e2e_while_alive 20 level_is 2 || e2e_fail "forward from the map did not open the article again"
e2e_while_alive 20 same_ink "$(stable reopened)" "$scrolled" || e2e_fail "the article opened again elsewhere than where it was left"
e2e_log "PASS"
