#!/usr/bin/env bash
# Content that is not what it claims to be, or far larger than real content, on a real X server:
#   bounded_test.sh <ondravia|ondravia-basic> <scenario>
# Scenarios:
#   special_files  a picture that is a link to /dev/zero, the configuration file as a pipe, an
#                  article whose picture is /dev/zero and an article that is a folder: each is
#                  taken as missing, at once;
#   startup        100,000 cities in the configuration file, and opening music with millions of
#                  frames and no Info tag: the first window comes nearly as soon as normally;
#   window_open    an article that asks for a new window as it loads: refused once, no reload.
program="$1"
scenario="$2"
E2E_NAME="bounded_${program}_${scenario}"
source "$(dirname "$0")/lib.sh"

folder="$E2E_DIR/program"
ini="$folder/Configuracion.ini"
export XDG_DATA_HOME="$E2E_DIR/xdg"  # html.ocx registered, as an installed magazine has it
mkdir -p "$XDG_DATA_HOME/vardel"
echo "{B7FC355E-8CE7-11CF-9754-00AA00C00908}=$folder/html.ocx" >"$XDG_DATA_HOME/vardel/controls.reg"

# A copy of the program folder of hard links: a changed file is always removed and made anew.
fresh_folder() {
  rm -rf "$folder"
  cp -al "$VARDEL_PROGRAM_DIR" "$folder" 2>/dev/null || cp -a "$VARDEL_PROGRAM_DIR" "$folder"
}
replace() { rm -rf "${folder:?}/$1"; }

messages() { e2e_probe | awk -F'\t' '$1 ~ /^Message(Box|Dialog)\// && $2 == "QLabel" && $3 == 1 && $5 != "" { print $5 }'; }
message_is() { [ "$(messages)" = "$1" ]; }
no_messages() { [ -z "$(messages || true)" ]; }
property() { e2e_widget_property "$1" "$2"; }
level_is() { [ "$(property frmMapa Nivel)" = "$1" ]; }
has_picture() { [ "$(property "$1" hasPicture)" = true ]; }
document_shown() { e2e_document_shown "$program"; }
# Resident memory of the program, in MB.
resident_mb() { awk '/^VmRSS:/ { print int($2 / 1024) }' "/proc/$E2E_APP_PID/status"; }
start() { VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"; }
stop() {
  kill "$E2E_APP_PID" 2>/dev/null || true
  e2e_wait_exit 20 >/dev/null
}
open_city() {
  local x y
  read -r x y <<<"$(e2e_city_centre "$ini" "$1")"
  e2e_click "$x" "$y"
  e2e_while_alive 15 level_is 2
}
back_to_map() {
  e2e_click 20 20
  e2e_while_alive 10 level_is 1
}
# set_article <n> <file name>: city n opens that file of Ficheros (the configuration is rewritten).
set_article() {
  local tmp="$ini.new"
  awk -v key="Ciudad$1" -v name="$2" 'BEGIN { IGNORECASE = 1 }
    { line = $0; sub(/\r$/, "", line) }
    /^\[/ { insec = (tolower(line) == "[ficheros]") }
    insec && tolower(line) ~ "^" tolower(key) "=" { print key "=" name "\r"; next }
    { print }' "$ini" >"$tmp"
  rm -f "$ini"
  mv "$tmp" "$ini"
}

# ---- special files ---------------------------------------------------------------------------

special_files() {
  # The configuration file as a pipe nobody writes, the first background a link to a device.
  fresh_folder
  replace Configuracion.ini
  mkfifo "$ini"
  replace Graficos/p8
  ln -s /dev/zero "$folder/Graficos/p8"
  start
  e2e_while_alive 30 e2e_visible frmPresenta
  has_picture frmMapa/client/ImgFondo && e2e_fail "a link to /dev/zero gave the map a picture"
  local cities
  cities=$(e2e_probe | awk -F'\t' '$1 ~ /^frmMapa\/client\/c([0-9]|1[0-5])$/' | wc -l)
  [ "$cities" = 1 ] || e2e_fail "a pipe as configuration gave $cities cities, not the default one"
  no_messages || e2e_fail "unexpected message: $(messages)"
  e2e_log "pipe configuration and /dev/zero picture: started with the defaults"
  stop

  # An article whose picture is /dev/zero, and an article that is a folder.
  fresh_folder
  printf '<html><body><p>Un artículo con una imagen imposible.</p><img src="/dev/zero"><img src="cero"></body></html>\n' \
    >"$folder/Ficheros/cero.html"
  ln -s /dev/zero "$folder/Ficheros/cero"
  mkdir "$folder/Ficheros/carpeta.html"
  set_article 1 cero.html
  set_article 2 carpeta.html
  start
  e2e_skip_opening
  open_city 1
  e2e_while_alive 15 document_shown
  sleep 1  # time enough to read far more of /dev/zero than any picture holds
  local rss
  rss=$(resident_mb)
  e2e_log "article with a /dev/zero picture shown; $rss MB resident"
  [ "$rss" -lt 1024 ] || e2e_fail "the program holds $rss MB after an article with a /dev/zero picture"
  e2e_until 10 e2e_probe || e2e_fail "the window does not answer"
  e2e_shot dev-zero-picture >/dev/null
  no_messages || e2e_fail "unexpected message: $(messages)"
  back_to_map
  open_city 2
  local expected="No se ha encontrado el fichero: $folder/carpeta.html"
  e2e_while_alive 15 message_is "$expected"
  e2e_shot folder-article >/dev/null
  e2e_key Return
  e2e_until 5 no_messages || e2e_fail "the message did not go"
  stop
}

# ---- start-up time ---------------------------------------------------------------------------

# first_window_ms: starts the program on the folder and sets E2E_MS to the milliseconds from the
# start to the opening's first picture, read from the program's own timeline. The opening's
# window is up, white, before anything is read; its picture comes 0.8 s after the map, the
# configuration and the music are ready, or as soon as they are when that takes longer.
first_window_ms() {
  local started shown
  started=$(e2e_now_ns)
  start
  e2e_while_alive 120 e2e_visible frmPresenta/client/imgLogo
  e2e_timeline >"$E2E_DIR/timeline.txt" || e2e_timeline >"$E2E_DIR/timeline.txt"
  shown=$(e2e_event_ns "$E2E_DIR/timeline.txt" show frmPresenta/client/imgLogo) || e2e_fail "no first picture"
  stop
  E2E_MS=$(( (shown - started) / 1000000 ))
}

# many_cities_ini <file> <count>: the demo's cities, then thousands more that nothing reads.
many_cities_ini() {
  local source="$VARDEL_PROGRAM_DIR/Configuracion.ini"
  awk -v count="$2" -v src="$source" 'BEGIN {
      n = split("Tamanios Hints Posiciones Ficheros", sections, " ")
      printf "[Mapa]\r\nNCiudades=%d\r\n", count
      for (s = 1; s <= n; s++) {
        printf "[%s]\r\n", sections[s]
        while ((getline line < src) > 0) {
          sub(/\r$/, "", line)
          if (line ~ /^\[/) { insec = (tolower(line) == "[" tolower(sections[s]) "]"); continue }
          if (insec && line != "") printf "%s\r\n", line
        }
        close(src)
        for (c = 16; c <= count; c++) {
          if (sections[s] == "Tamanios") printf "Ciudad%dAncho=40\r\nCiudad%dAlto=40\r\n", c, c
          else if (sections[s] == "Hints") printf "Ciudad%d=Ciudad número %d\r\n", c, c
          else if (sections[s] == "Posiciones") printf "Ciudad%dX=%d\r\nCiudad%dY=%d\r\n", c, c % 760, c, c % 560
          else printf "Ciudad%d=ciudad%d.html\r\n", c, c
        }
      }
    }' >"$1"
}

# long_music <file> <frames>: an MP3 of that many frames without an Info tag, so nothing but a
# scan of every frame gives its length. The smallest frames there are (24 bytes: MPEG-2 Layer III,
# 8 kbit/s, 24 kHz) give the frame count of a 1 GB file of 128 kbit/s music in about 60 MB.
long_music() {
  local seed="$E2E_DIR/seed"
  head -c $((24000 * 2 * 4)) /dev/zero >"$seed.raw"  # four seconds of silence
  lame --quiet -r -s 24 --bitwidth 16 -m m -b 8 -t --resample 24 "$seed.raw" "$seed.mp3" 2>/dev/null \
    || e2e_fail "lame could not make the seed frames"
  # Whole frames from the middle of the seed (past the encoder's start-up), repeated.
  local size=24 skip=40 count=100
  dd if="$seed.mp3" of="$seed.frames" bs="$size" skip="$skip" count="$count" status=none
  head -c $((size * skip)) "$seed.mp3" >"$1"
  local block="$seed.block" copies
  cp "$seed.frames" "$block"
  while [ $(( $(stat -c %s "$block") / size )) -lt $(( $2 / 64 )) ]; do cat "$block" "$block" >"$block.2"; mv "$block.2" "$block"; done
  copies=$(( $2 / ($(stat -c %s "$block") / size) + 1 ))
  for _ in $(seq 1 "$copies"); do cat "$block"; done >>"$1"
  rm -f "$seed".* "$block"
}

# of_two_starts <best|worst>: E2E_MS of two starts, the shorter or the longer. A burst of load on
# a busy machine stretches one start; it seldom stretches both.
of_two_starts() {
  local first
  first_window_ms
  first=$E2E_MS
  first_window_ms
  if [ "$1" = best ]; then
    [ "$first" -lt "$E2E_MS" ] && E2E_MS=$first
  else
    [ "$first" -gt "$E2E_MS" ] && E2E_MS=$first
  fi
  return 0
}

startup() {
  fresh_folder
  local normal cities music bound
  of_two_starts worst
  normal=$E2E_MS
  e2e_log "normal start: first picture after $normal ms"

  replace Configuracion.ini
  many_cities_ini "$ini" 100000
  e2e_log "configuration with 100,000 cities: $(( $(stat -c %s "$ini") / 1048576 )) MB"
  of_two_starts best
  cities=$E2E_MS
  e2e_log "100,000 cities: first picture after $cities ms"

  fresh_folder
  replace Musica/Ondravia.mp3
  long_music "$folder/Musica/Ondravia.mp3" 2500000
  e2e_log "music without an Info tag: $(( $(stat -c %s "$folder/Musica/Ondravia.mp3") / 1048576 )) MB"
  of_two_starts best
  music=$E2E_MS
  e2e_log "music of 2.5 million frames: first picture after $music ms"

  # Wanted: within twice the normal start (bench/startup_bench.sh measures the ratio), here with
  # a second to spare for a busy machine. Reading the configuration once per city, or scanning
  # every frame of the music, takes several seconds more.
  bound=$(( normal * 2 + 1000 ))
  [ "$cities" -le "$bound" ] || e2e_fail "100,000 cities: $cities ms against a normal $normal ms"
  [ "$music" -le "$bound" ] || e2e_fail "long music: $music ms against a normal $normal ms"
}

# The figures behind the bound above (bench/startup_bench.sh): the median of a few starts of
# each. VARDEL_BENCH_GIGABYTE=1 adds a real 1 GB file of 128 kbit/s frames (written, then removed).
median_ms() {
  local values=() _
  for _ in $(seq 1 "${VARDEL_BENCH_ROUNDS:-3}"); do
    first_window_ms
    values+=("$E2E_MS")
  done
  E2E_MEDIAN=$(printf '%s\n' "${values[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
}
startup_figures() {
  local normal value
  fresh_folder
  median_ms
  normal=$E2E_MEDIAN
  echo "normal start                    $normal ms"
  replace Configuracion.ini
  many_cities_ini "$ini" 100000
  median_ms
  value=$E2E_MEDIAN
  echo "100,000 cities                  $value ms  ($(awk -v a="$value" -v b="$normal" 'BEGIN { printf "%.2f", a / b }')x)"
  fresh_folder
  replace Musica/Ondravia.mp3
  long_music "$folder/Musica/Ondravia.mp3" 2500000
  median_ms
  value=$E2E_MEDIAN
  echo "music of 2.5 million frames     $value ms  ($(awk -v a="$value" -v b="$normal" 'BEGIN { printf "%.2f", a / b }')x)"
  if [ "${VARDEL_BENCH_GIGABYTE:-0}" = 1 ]; then
    replace Musica/Ondravia.mp3
    local seed="$E2E_DIR/seed"
    e2e_wav "$seed.wav" 4
    lame --quiet -t --resample 48 -b 128 "$seed.wav" "$seed.mp3" || e2e_fail "lame could not make the seed frames"
    # 384 bytes a frame at 48 kHz: whole frames from the middle, doubled to 1 GB.
    dd if="$seed.mp3" of="$seed.block" bs=384 skip=20 count=100 status=none
    while [ "$(stat -c %s "$seed.block")" -lt $((1 << 30)) ]; do cat "$seed.block" "$seed.block" >"$seed.2"; mv "$seed.2" "$seed.block"; done
    head -c $((384 * 20)) "$seed.mp3" | cat - "$seed.block" >"$folder/Musica/Ondravia.mp3"
    rm -f "$seed".*
    median_ms
    value=$E2E_MEDIAN
    echo "1 GB of 128 kbit/s music        $value ms  ($(awk -v a="$value" -v b="$normal" 'BEGIN { printf "%.2f", a / b }')x)"
  fi
}

# ---- window.open -----------------------------------------------------------------------------

navigations_to() { awk -F'\t' -v n="$1" '$2 == "navigate" && index($4, n) { c++ } END { print c + 0 }' "$E2E_DIR/timeline.txt"; }
new_windows() { awk -F'\t' '$2 == "newwindow" { c++ } END { print c + 0 }' "$E2E_DIR/timeline.txt"; }
timeline_has() { e2e_timeline >"$E2E_DIR/timeline.txt" && grep -qP "$1" "$E2E_DIR/timeline.txt"; }

asked_for_window() { [[ "$(e2e_widget_property WebBrowser title)" == pedida* ]]; }

window_open() {
  fresh_folder
  printf '<html><body onload="%s"><p>Este artículo pide una ventana nueva.</p></body></html>\n' \
    "var w = window.open('abre.html'); document.title = 'pedida ' + (w ? 'abierta' : 'negada');" \
    >"$folder/Ficheros/abre.html"
  printf '<html><body><p>Otro artículo.</p></body></html>\n' >"$folder/Ficheros/otro.html"
  set_article 1 abre.html
  set_article 2 otro.html
  start
  e2e_skip_opening
  open_city 1
  e2e_while_alive 15 document_shown
  if [ "$program" = ondravia ]; then
    # The engine refuses a window a script asks for on its own; the map refuses one that gets
    # past it. Either way the request has been made once the page says so.
    e2e_while_alive 30 asked_for_window
    # Another article afterwards: a reload loop would have shown the first one again before it.
    back_to_map
    open_city 2
    e2e_while_alive 30 timeline_has '\tnavigate\t.*otro\.html'
    e2e_timeline >"$E2E_DIR/timeline.txt"
    [ "$(navigations_to abre.html)" = 1 ] || e2e_fail "abre.html was loaded $(navigations_to abre.html) times"
    [ "$(new_windows)" -le 1 ] || e2e_fail "$(new_windows) new windows were asked for"
  else
    sleep 1  # the light viewer runs no scripts: nothing may open
  fi
  local windows
  windows=$(e2e_probe | awk -F'\t' '$1 !~ /\// && $3 == 1 { print $1 }' | sort -u)
  [ "$windows" = frmMapa ] || e2e_fail "windows shown: ${windows//$'\n'/ }"
  no_messages || e2e_fail "unexpected message: $(messages)"
  e2e_shot article >/dev/null
  stop
}

e2e_start_xvfb 800x600
case "$scenario" in
  special_files | startup | startup_figures | window_open) "$scenario" ;;
  *) e2e_fail "unknown scenario $scenario" ;;
esac
rm -rf "$folder"  # kept only when the test fails
e2e_log "ok"
