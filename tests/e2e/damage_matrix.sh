#!/usr/bin/env bash
# Damaged content: every file of the content folder missing, empty, cut short and replaced by
# random bytes, each tried with the part of the magazine that uses it. The magazine must do
# what it does for that file (silent failures stay silent, messages come exactly), and never
# crash, hang or leave a window broken.
#   damage_matrix.sh <program>              runs every case, several at a time
#   damage_matrix.sh <program> --list       prints the cases
#   damage_matrix.sh <program> --case <c>   runs one case (its artefacts stay)
#
# The cases are generated from the files of the program folder: each file belongs to a part
# (part_of); a part is tried either once per file (start-up parts, where the file is read once
# as the program starts) or once with all its files damaged together (parts read on demand,
# where each file is read by its own click). A file no part claims fails the generation, so a
# new file must be given its part here.
program="$1"
mode="${2:-all}"
case_name="${3:-}"
if [ "$mode" = --case ]; then
  E2E_NAME="damage_${program}/${case_name//[:\/]/_}"
else
  E2E_NAME="damage_${program}"
fi
source "$(dirname "$0")/lib.sh"

damages=(missing empty truncated random)
per_file_parts=" cities viewer browser unused music first_picture map_picture "
# How long one case may take before it counts as a hang.
case_timeout=150

part_of() {
  case "$1" in
    Configuracion.ini) echo cities ;;
    html.ocx) echo viewer ;;
    webbrowser.so) if [ "$program" = ondravia ]; then echo browser; else echo unused; fi ;;
    mpegdll.dll | Musica/Ondravia.mp3) echo music ;;
    Graficos/p1) echo first_picture ;;
    Graficos/p8) echo map_picture ;;
    Graficos/p2 | Graficos/p3) echo opening ;;
    Graficos/p4 | Graficos/p5 | Extras/Tumblo/*) echo extras ;;
    Graficos/p6 | Graficos/p9) echo players ;;
    Graficos/s[0-9]*) echo sections ;;
    Ficheros/*) echo articles ;;
    ondravia | ondravia-basic) echo program ;;
    *) echo unknown ;;
  esac
}

content_files() { (cd "$VARDEL_PROGRAM_DIR" && find . -type f -printf '%P\n' | sort); }

list_cases() {
  local file part damage
  declare -A grouped=()
  while read -r file; do
    part=$(part_of "$file")
    case "$part" in
      unknown) echo "no part of the magazine is known to use $file: give it one in $0" >&2; return 1 ;;
      program) continue ;;
    esac
    if [[ "$per_file_parts" == *" $part "* ]]; then
      for damage in "${damages[@]}"; do echo "$part:$damage:$file"; done
    else
      grouped[$part]=1
    fi
  done < <(content_files)
  for part in $(printf '%s\n' "${!grouped[@]}" | sort); do
    for damage in "${damages[@]}"; do echo "$part:$damage"; done
  done
}

# ---- one case ------------------------------------------------------------------------------

folder=""
# damage <relative file> <kind>: damages the case folder's copy (a hard link until then: the
# damaged file is always written anew, never changed in place).
damage() {
  local file="$folder/$1" size keep
  [ -f "$file" ] || return 0
  size=$(stat -c %s "$file")
  case "$2" in
    missing) rm -f "$file" ;;
    empty) : >"$file.new" ;;
    truncated)
      case "$1" in
        mpegdll.dll) keep=30000 ;;
        html.ocx) keep=100000 ;;
        webbrowser.so) keep=60000 ;;
        Extras/Tumblo/Tumblo.exe) keep=30000 ;;  # inside its code: half would cut debugging data only
        *) keep=$((size / 2)) ;;
      esac
      head -c "$keep" "$file" >"$file.new"
      ;;
    random) head -c "$size" /dev/urandom >"$file.new" ;;
  esac
  if [ -f "$file.new" ]; then
    chmod --reference="$file" "$file.new"
    mv -f "$file.new" "$file"
  fi
}

# Libraries and programs are cut inside what the loader maps, as a copy off a scratched disc
# often is; other files lose their second half.
# Whether a picture of this damage can still give a picture (a JPEG cut short decodes in part).
picture_lost() { [ "$damage_kind" != truncated ]; }

ini() { e2e_ini "$folder/Configuracion.ini" "$1" "$2" | iconv -f WINDOWS-1252 -t UTF-8; }
original_ini() { e2e_ini "$VARDEL_PROGRAM_DIR/Configuracion.ini" "$1" "$2" | iconv -f WINDOWS-1252 -t UTF-8; }
property() { e2e_widget_property "$1" "$2"; }
has_picture() { [ "$(property "$1" hasPicture)" = true ]; }
level_is() { [ "$(property frmMapa Nivel)" = "$1" ]; }
# The texts of the message boxes on the screen, one a line.
messages() { e2e_probe | awk -F'\t' '$1 ~ /^Message(Box|Dialog)\// && $2 == "QLabel" && $3 == 1 && $5 != "" { print $5 }'; }
no_messages() { [ -z "$(messages || true)" ]; }
message_about() { messages | grep -qF -- "$1"; }
panel_hidden() { [ "$(e2e_widget_visible frmMapa/client/panelAcercaDe)" = 0 ]; }
expect_silence() {
  e2e_alive || e2e_fail "$1: the program is gone"
  local shown
  shown=$(messages || true)
  [ -z "$shown" ] || e2e_fail "$1: unexpected message: $shown"
}
document_shown() { e2e_document_shown "$program"; }
city_centre() { e2e_city_centre "$VARDEL_PROGRAM_DIR/Configuracion.ini" "$1"; }
# Clicks city n and waits for the document level.
open_city() {
  local x y
  read -r x y <<<"$(city_centre "$1")"
  e2e_click "$x" "$y"
  e2e_while_alive 15 level_is 2
}
back_to_map() {
  e2e_click 20 20
  e2e_while_alive 10 level_is 1
}
start() {
  VARDEL_PROGRAM_DIR="$folder" e2e_run "./$program"
}
started() {
  start
  e2e_while_alive 60 e2e_visible frmPresenta
}
# A message that must come, alone, after which the program ends on its own.
expect_message_then_end() {
  start
  e2e_while_alive 60 message_about "$1"
  local shown
  shown=$(messages)
  [ "$shown" = "$1" ] || e2e_fail "expected only '$1', got: $shown"
  e2e_shot message >/dev/null
  e2e_key Return
  e2e_wait_exit 30 >"$E2E_DIR/exit-status"
  [ "$(cat "$E2E_DIR/exit-status")" = 1 ] || e2e_fail "the program ended with status $(cat "$E2E_DIR/exit-status")"
}

check_cities() {
  started
  sleep 1
  local map x y c1 count
  map=$(e2e_widget frmMapa | cut -f4)
  IFS=, read -r x y _ _ <<<"$map"
  c1=$(e2e_widget frmMapa/client/c1 | cut -f4)
  [ -n "$c1" ] || e2e_fail "city 1 is missing"
  count=$(e2e_probe | awk -F'\t' '$1 ~ /^frmMapa\/client\/c([0-9]|1[0-5])$/' | wc -l)
  if [ "$damage_kind" = missing ] || [ "$damage_kind" = empty ]; then
    IFS=, read -r cx cy cw ch <<<"$c1"
    [ "$((cx - x)),$((cy - y)),$cw,$ch" = "0,0,50,50" ] || e2e_fail "city 1 is not the default one: $c1 (map at $x,$y)"
    [ "$count" = 1 ] || e2e_fail "$count cities instead of the default one"
  else
    [ "$count" -ge 1 ] && [ "$count" -le 15 ] || e2e_fail "$count cities"
  fi
  expect_silence "with a damaged configuration"
}

check_viewer() {
  if [ "$damage_kind" = missing ]; then
    expect_message_then_end "Error. No se encuentra el OCX"
  else
    expect_message_then_end "Error al cargar el OCX"
  fi
}

check_browser() {
  if [ "$damage_kind" = missing ] && [ -e "$(e2e_system_browser)" ]; then
    started  # the installed browser library takes its place
    expect_silence "with the installed browser"
  else
    expect_message_then_end "Debes instalar primero la versión 4.x del Internet Explorer"
  fi
}
e2e_system_browser() { echo "${VARDEL_SYSTEM_CONTROL_DIR:-/usr/local/lib/vardel}/webbrowser.so"; }

check_unused() {
  started
  sleep 1
  expect_silence "with a library this program does not use"
}

check_music() {
  started
  e2e_until 10 e2e_visible frmPresenta/client/imgLogo || e2e_fail "the first picture did not appear"
  sleep 2
  expect_silence "without its music"
}

check_first_picture() {
  started
  e2e_until 10 e2e_visible frmPresenta/client/imgLogo || e2e_fail "the picture control did not appear"
  if picture_lost; then has_picture frmPresenta/client/imgLogo && e2e_fail "a damaged p1 gave a picture"; fi
  e2e_shot presentation >/dev/null
  expect_silence "without p1"
}

check_map_picture() {
  started
  sleep 1
  if picture_lost; then has_picture frmMapa/client/ImgFondo && e2e_fail "a damaged p8 gave a picture"; fi
  expect_silence "without p8"
}

check_opening() {
  damage Graficos/p2 "$damage_kind"
  damage Graficos/p3 "$damage_kind"
  started
  e2e_until 30 e2e_visible frmPresenta/client/lbURL || e2e_fail "the opening did not reach its second step"
  sleep 0.3
  local shot
  shot=$(e2e_shot second-step)
  if picture_lost; then
    e2e_screen_matches_picture "$shot" "$VARDEL_PROGRAM_DIR/Graficos/p1" 0 0 400 150 300 300 100 100 \
      || e2e_fail "the first picture should have stayed"
  fi
  e2e_click 400 300
  e2e_until 10 e2e_visible frmMapa/client/Label1 || e2e_fail "the skip did not finish the opening"
  sleep 0.5
  shot=$(e2e_shot map)
  if picture_lost; then
    e2e_screen_matches_picture "$shot" "$VARDEL_PROGRAM_DIR/Graficos/p8" 0 0 400 30 790 590 150 590 \
      || e2e_fail "the first background should have stayed"
  fi
  expect_silence "without p2 and p3"
}

check_sections() {
  local n
  for n in $(seq 1 15); do damage "Graficos/s$n" "$damage_kind"; done
  started
  e2e_skip_opening
  for n in $(seq 1 15); do
    open_city "$n"
    e2e_until 10 document_shown || e2e_fail "city $n: the document is not shown"
    if picture_lost; then
      has_picture frmMapa/client/imgSecciones && e2e_fail "city $n: a damaged s$n gave a picture"
      has_picture frmMapa/client/imgMapita && e2e_fail "city $n: the small map loaded after a failed s$n"
    fi
    [ "$n" = 1 ] && e2e_shot "city-1" >/dev/null
    expect_silence "city $n without its section picture"
    back_to_map "$n"
  done
}

check_articles() {
  local file n name shown
  while read -r file; do
    [[ "$(part_of "$file")" == articles ]] && damage "$file" "$damage_kind"
  done < <(content_files)
  started
  e2e_skip_opening
  for n in $(seq 1 15); do
    name=$(original_ini Ficheros "Ciudad$n")
    open_city "$n"
    if [ "$damage_kind" = missing ]; then
      e2e_wait_for_message "No se ha encontrado el fichero: $folder/$name" 15
      shown=$(messages)
      [ "$shown" = "No se ha encontrado el fichero: $folder/$name" ] || e2e_fail "city $n: $shown"
      [ "$n" = 1 ] && e2e_shot "city-1" >/dev/null
      e2e_key Return
      e2e_until 5 no_messages || e2e_fail "city $n: the message did not go"
    else
      e2e_until 10 document_shown || e2e_fail "city $n: the document is not shown"
      sleep 0.3
      [ "$n" = 1 ] && e2e_shot "city-1" >/dev/null
    fi
    expect_silence "city $n with its document $damage_kind"
    back_to_map "$n"
  done
  # The hidden document: from the small map with Control+Alt+left button.
  open_city 1
  if [ "$damage_kind" = missing ]; then
    e2e_until 15 message_about "$(original_ini Ficheros Ciudad1)" || e2e_fail "city 1: no message"
    e2e_key Return
    e2e_until 5 no_messages || e2e_fail "city 1: the message did not go"
  fi
  e2e_click 20 20 1 ctrl alt
  if [ "$damage_kind" = missing ]; then
    e2e_until 15 message_about extra1.html || e2e_fail "no message about the missing extra1.html: '$(messages)'"
    e2e_shot extra1 >/dev/null
    e2e_key Return
    e2e_until 5 no_messages || e2e_fail "the message about extra1.html did not go"
  else
    sleep 1
    e2e_shot extra1 >/dev/null
  fi
  level_is 2 || e2e_fail "the hidden document left the document level"
  expect_silence "after the hidden document"
  back_to_map extra1
}

check_extras() {
  damage Graficos/p4 "$damage_kind"
  damage Graficos/p5 "$damage_kind"
  damage Extras/Tumblo/Tumblo.exe "$damage_kind"
  started
  e2e_skip_opening
  # Credits without their picture: the silver panel, and back.
  e2e_click 69 19
  e2e_until 10 e2e_visible frmMapa/client/panelAcercaDe || e2e_fail "the credits did not open"
  if picture_lost; then has_picture frmMapa/client/panelAcercaDe/imgAcercaDe && e2e_fail "a damaged p4 gave a picture"; fi
  e2e_shot credits >/dev/null
  e2e_click 490 475
  e2e_until 10 panel_hidden || e2e_fail "VOLVER did not close the credits"
  expect_silence "credits without p4"
  # A city without the small map's picture: the way back is still there.
  open_city 1
  has_picture frmMapa/client/imgSecciones || e2e_fail "s1 was not loaded"
  if picture_lost; then has_picture frmMapa/client/imgMapita && e2e_fail "a damaged p5 gave a picture"; fi
  e2e_shot small-map >/dev/null
  back_to_map 1
  expect_silence "without p5"
  # The game cannot start, or dies at once: nothing is said and the map answers at once.
  e2e_click 66 500
  e2e_until 10 level_is 1 || e2e_fail "the map does not answer after the game button"
  sleep 0.5
  xdotool search --name "^Tumblo de ONDRAVIA Magazine\$" >/dev/null 2>&1 && e2e_fail "a damaged game showed a window"
  [ "$(readlink "/proc/$E2E_APP_PID/cwd")" = "$(readlink -f "$folder/Extras/Tumblo")" ] \
    || e2e_fail "the current folder is not the game's"
  expect_silence "with a damaged game"
}

# The players' pictures, each read as its window is first opened by its map button. A lost p6
# ends the CD player's set-up with the picture's message: its drawn panel stays and the drive
# is not opened. A lost p9 ends the MP3 window's set-up with its message: the image stays empty
# and the decoder is not loaded. Either way the window answers its hotspots.
check_players() {
  damage Graficos/p6 "$damage_kind"
  damage Graficos/p9 "$damage_kind"
  export VARDEL_CD_DEVICE="$E2E_DIR/disco"
  mkdir -p "$VARDEL_CD_DEVICE"
  e2e_wav "$VARDEL_CD_DEVICE/01 Pista.wav" 2
  started
  e2e_skip_opening
  e2e_click 34 578
  if picture_lost; then
    expect_only_message "$folder/Graficos\p6.: "  # the picture's own name, and why it failed
    e2e_shot cd-message >/dev/null
    e2e_key Return
    e2e_until 5 no_messages || e2e_fail "the message about p6 did not go"
  fi
  e2e_while_alive 10 e2e_visible frmLector
  has_picture frmLector/client/imgFondo || e2e_fail "the CD player has no picture at all"
  if picture_lost; then
    sleep 0.3
    local shot ix iy
    shot=$(e2e_shot cd-built-in-picture)
    IFS=, read -r ix iy _ _ <<<"$(e2e_widget frmLector/client/imgFondo | cut -f4)"
    e2e_colour_near "$(e2e_pixel "$shot" $((ix + 275)) $((iy + 115)))" "214,228,200" 12 \
      || e2e_fail "the CD player's drawn panel is not shown"
    [ "$(property frmLector ModoAnterior)" = 0 ] || e2e_fail "the drive was opened after the picture failed"
  else
    e2e_while_alive 10 cd_mode_is 525
    e2e_shot cd >/dev/null
  fi
  e2e_press frmLector/client/Shape26
  e2e_while_alive 5 hidden_window frmLector
  expect_silence "CD player with p6 $damage_kind"
  e2e_click 99 581
  if picture_lost; then
    expect_only_message "$folder/Graficos\p9.: "
    e2e_shot mp3-message >/dev/null
    e2e_key Return
    e2e_until 5 no_messages || e2e_fail "the message about p9 did not go"
  fi
  e2e_while_alive 10 e2e_visible frmMP3
  if picture_lost; then has_picture frmMP3/client/imgFondo && e2e_fail "a damaged p9 gave a picture"; fi
  # The hints work at once, also after a message shown from the button's press.
  e2e_move $(e2e_centre frmMP3/client/PlayBtn)
  e2e_while_alive 5 mp3_hint_is "Reproduce el actual fichero MP3"
  e2e_shot mp3 >/dev/null
  e2e_press frmMP3/client/Shape21
  e2e_while_alive 5 hidden_window frmMP3
  e2e_click 99 581
  e2e_while_alive 5 e2e_visible frmMP3
  expect_silence "MP3 player with p9 $damage_kind"
}
cd_mode_is() { [ "$(property frmLector ModoAnterior)" = "$1" ]; }
hidden_window() { [ "$(e2e_widget_visible "$1")" = 0 ]; }
mp3_hint_is() { [ "$(e2e_widget_text frmMP3/client/Label3)" = "$1" ]; }
# expect_only_message <text>: a message box containing <text> comes, and no other.
expect_only_message() {
  e2e_while_alive 15 message_about "$1"
  local shown
  shown=$(messages)
  [ "$(echo "$shown" | wc -l)" = 1 ] || e2e_fail "expected one message about '$1', got: $shown"
  e2e_log "message: $shown"
}

run_case() {
  local part file
  IFS=: read -r part damage_kind file <<<"$case_name"
  declare -F "check_$part" >/dev/null || e2e_fail "unknown case $case_name"
  folder="$E2E_DIR/program"
  # Hard links: a case costs no copy of the libraries; damaged files are written anew.
  cp -al "$VARDEL_PROGRAM_DIR" "$folder" 2>/dev/null || cp -a "$VARDEL_PROGRAM_DIR" "$folder"
  export XDG_DATA_HOME="$E2E_DIR/xdg"  # html.ocx registered, as an installed magazine has it
  mkdir -p "$XDG_DATA_HOME/vardel"
  echo "{B7FC355E-8CE7-11CF-9754-00AA00C00908}=$folder/html.ocx" >"$XDG_DATA_HOME/vardel/controls.reg"
  [ -n "$file" ] && damage "$file" "$damage_kind"
  e2e_start_xvfb 800x600
  "check_$part"
  if [ -n "$E2E_APP_PID" ]; then
    e2e_alive || e2e_fail "the program ended"
    kill "$E2E_APP_PID"
    e2e_wait_exit 20 >/dev/null
  fi
  rm -rf "$folder"  # kept only when the case fails
  e2e_log "ok"
}

# ---- all cases -----------------------------------------------------------------------------

run_all() {
  local cases jobs start failed=0 total
  cases=$(list_cases) || e2e_fail "the cases could not be generated"
  total=$(echo "$cases" | wc -l)
  jobs="${VARDEL_MATRIX_JOBS:-$(( $(nproc) * 2 ))}"
  start=$(date +%s)
  e2e_log "$total cases, $jobs at a time"
  echo "$cases" | xargs -P "$jobs" -I{} bash -c \
    'if timeout -k 10 '"$case_timeout"' bash "$0" "$1" --case "$2" >"$3/$(echo "$2" | tr ":/" "__").log" 2>&1; then echo "pass $2"; else echo "FAIL $2"; fi' \
    "$0" "$program" {} "$E2E_DIR" >"$E2E_DIR/results.txt" || true
  failed=$(grep -c '^FAIL' "$E2E_DIR/results.txt" || true)
  e2e_log "$((total - failed)) of $total cases passed in $(( $(date +%s) - start )) s"
  if [ "$failed" -gt 0 ]; then
    local c
    for c in $(sed -n 's/^FAIL //p' "$E2E_DIR/results.txt"); do
      echo "---- $c"
      tail -n 15 "$E2E_DIR/$(echo "$c" | tr ':/' '__').log"
    done
    exit 1
  fi
}

case "$mode" in
  --list) list_cases ;;
  --case) run_case ;;
  all) run_all ;;
  *) e2e_fail "usage: $0 <program> [--list | --case <case>]" ;;
esac
