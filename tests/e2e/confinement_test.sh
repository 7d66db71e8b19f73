#!/usr/bin/env bash
# A magazine that tries to reach outside its folder, on a real X server:
#   confinement_test.sh <ondravia|ondravia-basic>
# The content folder holds a hostile article (every way a page has to read files and reach the
# network, aimed at files beside the folder and at a listener of the test's own on 127.0.0.1),
# a link inside it pointing outside, and cities whose documents leave the folder. Nothing may
# reach the listener, no outside byte may show, and what leaves the folder is a missing file.
# In ondravia the article also tries WebRTC from every frame window it can reach past the
# profile's script (by index, by name, written, nested, srcdoc, navigated, javascript:, data:,
# a worker); its title names the routes that found it ("rutas=").
program="$1"
E2E_NAME="confinement_${program}"
source "$(dirname "$0")/lib.sh"
data="$(dirname "$0")/data"
export XDG_DATA_HOME="$E2E_DIR/xdg"
mkdir -p "$XDG_DATA_HOME"

# The world around the magazine: secrets beside its folder, the magazine inside.
world="$E2E_DIR/mundo"
folder="$world/revista"
mkdir -p "$world"
e2e_copy_program_folder "$folder"
ini="$folder/Configuracion.ini"
printf '<html><head><title>SECRETO VECINO</title></head><body><p>SECRETO VECINO</p></body></html>\n' >"$world/secreto.html"
echo "SECRETO VECINO" >"$world/secreto.txt"
convert -size 40x40 xc:'#fe01fd' "$world/secreto.png"
convert -size 40x40 xc:'#01fe02' "$folder/Ficheros/dentro.png"
echo "DENTRO" >"$folder/Ficheros/dentro.txt"
ln -s ../../secreto.html "$folder/Ficheros/enlace.html"

# The listener, and the hostile article as city 1's document, aimed at it.
python3 "$data/listener.py" "$E2E_DIR" &
e2e_adopt $!
e2e_until 10 test -s "$E2E_DIR/ports" || e2e_fail "the listener did not start"
read -r tcp udp <"$E2E_DIR/ports"
article=$(e2e_ini "$ini" Ficheros Ciudad1 | tr -d '\r')
sed -e "s/@TCP@/$tcp/g" -e "s/@UDP@/$udp/g" "$data/hostil.html" >"$folder/Ficheros/$article"
sed -e "s/@TCP@/$tcp/g" "$data/refresco.html" >"$folder/Ficheros/refresco.html"
# Cities 2 and 3 open documents outside the folder.
awk -v sec=0 '{ line = $0; sub(/\r$/, "", line) }
  /^\[/ { sec = (tolower(line) == "[ficheros]") }
  sec && tolower(line) ~ /^ciudad2=/ { print "Ciudad2=..\\..\\secreto.html\r"; next }
  sec && tolower(line) ~ /^ciudad3=/ { print "Ciudad3=/etc/passwd\r"; next }
  { print }' "$ini" >"$ini.new"
mv "$ini.new" "$ini"

listener_count() { cat "$E2E_DIR/count"; }
expect_silence() {
  [ "$(listener_count)" = "0 0" ] || e2e_fail "$1: the listener was reached (connections, datagrams: $(listener_count))"
}
# colour_pixels <png> <colour>: how many pixels of about that colour a screenshot holds.
colour_pixels() {
  convert "$1" -fuzz 4% -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:int(mean*w*h+0.5)]' info:
}
city() {
  local x y
  read -r x y <<<"$(e2e_city_centre "$ini" "$1")"
  e2e_click "$x" "$y"
}
document_shown() { e2e_document_shown "$program"; }
back_to_map() {
  e2e_until 10 e2e_visible frmMapa/client/imgMapita || e2e_fail "not at a document"
  e2e_click 20 20
  e2e_until 10 on_the_map || e2e_fail "the small map did not lead back"
}
on_the_map() { ! e2e_visible frmMapa/client/imgMapita; }
page_title() { e2e_widget_property WebBrowser title; }
title_done() { [[ "$(page_title)" == hecho* ]]; }
title_missing() { [[ "$(page_title)" == "No se ha encontrado el fichero: "* ]]; }
viewer_text() { e2e_widget_property HtmlViewer plainText; }
viewer_says() { [[ "$(viewer_text)" == *"$1"* ]]; }
# The article's three links are headings one under another at the top of the display, where
# each program lays them out with the same fonts every time (the light viewer's text is not read
# well enough by OCR to find them).
link_top() {
  local n="$1"
  if [ "$program" = ondravia ]; then echo $((27 + 59 * n)); else echo $((22 + 55 * n)); fi
}

e2e_start_xvfb 800x600
VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"
e2e_skip_opening

# Documents of cities that leave the folder: the map's missing-file message.
city 2
e2e_wait_for_message "No se ha encontrado el fichero: $folder/..\\..\\secreto.html" 20
e2e_shot "city-outside" >/dev/null
e2e_key Return
back_to_map
city 3
e2e_wait_for_message "No se ha encontrado el fichero: $folder//etc/passwd" 20
e2e_key Return
back_to_map

# The hostile article.
windows=$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)
city 1
e2e_until 20 document_shown || e2e_fail "the hostile article was not shown"
if [ "$program" = ondravia ]; then
  e2e_until 90 title_done || e2e_fail "the article never finished: '$(page_title)'"
  title=$(page_title)
  e2e_log "the article says: $title"
  [[ "$title" == *" fuga=0" ]] || e2e_fail "outside files reached the page: $title"
  [[ "$title" != *"dentro=0"* ]] || e2e_fail "the page could not read its own folder either: $title"
else
  e2e_until 20 viewer_says FUERA || e2e_fail "the viewer did not show the article"
  sleep 1  # the pictures are painted with the page
fi
shot=$(e2e_shot "hostile-article")
[ "$(colour_pixels "$shot" '#fe01fd')" = 0 ] || e2e_fail "the picture beside the folder was shown"
[ "$(colour_pixels "$shot" '#01fe02')" -gt 0 ] || e2e_fail "the picture inside the folder was not shown"
expect_silence "the hostile article"
[ "$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)" = "$windows" ] || e2e_fail "a window opened"

# Links out of the folder: "..", an absolute "file:" URL and a link inside pointing out.
n=0
for word in FUERA ABSOLUTO INTERNO; do
  e2e_click 180 "$(link_top $n)"
  n=$((n + 1))
  if [ "$program" = ondravia ]; then
    e2e_until 20 title_missing || e2e_fail "$word: not the missing-file message: '$(page_title)'"
    [[ "$(page_title)" != *SECRETO* && "$(page_title)" != *root:* ]] || e2e_fail "$word: the outside file was shown"
  else
    e2e_until 20 viewer_says "No se ha encontrado el fichero" ||
      e2e_fail "$word: not the missing-file page: $(viewer_text)"
    [[ "$(viewer_text)" != *SECRETO* ]] || e2e_fail "$word: the outside file was shown"
  fi
  e2e_shot "link-$word" >/dev/null
  back_to_map
  city 1
  e2e_until 20 document_shown || e2e_fail "the article did not come back"
  if [ "$program" = ondravia ]; then
    e2e_until 90 title_done || e2e_fail "the article never finished again"
  else
    e2e_until 20 viewer_says FUERA || e2e_fail "the article did not come back"
  fi
done
expect_silence "the links"
kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended"
e2e_log "ok"
