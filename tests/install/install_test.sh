#!/usr/bin/env bash
# The installation as a Linux user meets it: installed into a prefix, moved elsewhere, checked
# by the desktop's validators, and started from outside the build tree: the browser program on
# the demo magazine, the light one on a magazine folder of its own, and both scaled sizes of
# the nested screen on a larger desktop.
E2E_NAME=install
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/steps.sh"
: "${VARDEL_BINARY_DIR:?set by ctest}"

export XDG_DATA_HOME="$E2E_DIR/xdg" XDG_CACHE_HOME="$E2E_DIR/cache"
cmake --install "$VARDEL_BINARY_DIR" --prefix "$E2E_DIR/prefix" >"$E2E_DIR/install.log" || e2e_fail "the install failed"
# Relocatable: the tree works from wherever it is moved to.
prefix="$E2E_DIR/moved"
mv "$E2E_DIR/prefix" "$prefix"
folder="$prefix/lib/vardel"

e2e_log "installed files"
for file in bin/ondravia bin/ondravia-basic share/vardel/start.sh share/vardel/disc.sh \
            lib/vardel/ondravia lib/vardel/ondravia-basic lib/vardel/Extras/Tumblo/Tumblo.exe; do
  [ -x "$prefix/$file" ] || e2e_fail "$file is not an installed program"
done
for file in html.ocx mpegdll.dll webbrowser.so; do [ -f "$folder/$file" ] || e2e_fail "$file is not installed"; done
while read -r name; do
  [ -f "$folder/$name" ] || e2e_fail "the demo magazine's $name is not installed"
done <"$VARDEL_BINARY_DIR/content/content_outputs.txt"
for program in ondravia ondravia-basic; do
  readelf -d "$folder/$program" | grep -q 'RPATH\|RUNPATH' && e2e_fail "$program carries a library path"
done
grep -rlF -e "$VARDEL_BINARY_DIR" -e "$VARDEL_SOURCE_DIR" "$prefix/bin" "$prefix/share" && e2e_fail "installed files name the build"
for size in 16 22 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/es.ondravia.vardel.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] || e2e_fail "no ${size}x${size} icon"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/es.ondravia.vardel.svg" ] || e2e_fail "no scalable icon"

e2e_log "validators"
for entry in "$prefix"/share/applications/*.desktop; do
  out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || e2e_fail "desktop-file-validate $entry: $out"
  grep -q '^Name\[es\]=' "$entry" && grep -q '^Comment\[en\]=' "$entry" && grep -q '^Comment\[es\]=' "$entry" \
    || e2e_fail "$entry lacks Spanish or English texts"
done
[ "$(ls "$prefix"/share/applications/*.desktop | wc -l)" = 2 ] || e2e_fail "not one menu entry per program"
appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/es.ondravia.vardel.metainfo.xml >"$E2E_DIR/appstream.log" 2>&1 \
  || e2e_fail "appstreamcli: $(cat "$E2E_DIR/appstream.log")"
for program in ondravia ondravia-basic; do
  page="$prefix/share/man/man1/$program.1"
  out=$(groff -man -Tutf8 -ww -z "$page" 2>&1) && [ -z "$out" ] || e2e_fail "groff on $page: $out"
  grep -q VARDEL_SCALE "$page" || e2e_fail "$page does not tell VARDEL_SCALE"
  "$prefix/bin/$program" --help | grep -q 'VARDEL_SCALE=off' || e2e_fail "$program --help does not tell how to run unscaled"
done
status=0
out=$(VARDEL_SCALE=big "$prefix/bin/ondravia" 2>&1) || status=$?
[ "$status" = 2 ] && grep -q "not 'big'" <<<"$out" || e2e_fail "a wrong VARDEL_SCALE gave $status: $out"
status=0
out=$("$prefix/bin/ondravia-basic" "$E2E_DIR" 2>&1) || status=$?
[ "$status" = 1 ] && grep -q "has no Configuracion.ini" <<<"$out" || e2e_fail "a folder that is no magazine gave $status: $out"

title_is() { [ "$(e2e_widget_property /wIE4/WebBrowser title)" = "$1" ]; }

e2e_log "the browser program, from the moved installation, outside the build tree"
outside="$E2E_DIR/home"
mkdir -p "$outside"
e2e_start_xvfb 800x600
VARDEL_PROGRAM_DIR="$outside" e2e_run "$prefix/bin/ondravia"
e2e_until 15 visible frmPresenta || e2e_fail "the presentation did not appear"
[ "$(readlink "/proc/$E2E_APP_PID/exe")" = "$folder/ondravia" ] || e2e_fail "the program runs from $(readlink "/proc/$E2E_APP_PID/exe")"
sleep 9
skip_opening
ini="$folder/Configuracion.ini"
e2e_click $(( $(e2e_ini "$ini" Posiciones Ciudad1X) + 20 )) $(( $(e2e_ini "$ini" Posiciones Ciudad1Y) + 20 ))
expected=$(LC_ALL=C sed -n 's/.*<title>\([^<]*\)<\/title>.*/\1/p' "$folder/Ficheros/$(e2e_ini "$ini" Ficheros Ciudad1)")
e2e_until 15 title_is "$expected" || e2e_fail "the article shows '$(e2e_widget_property /wIE4/WebBrowser title)'"
grep -qF "$folder/webbrowser.so" "/proc/$E2E_APP_PID/maps" || e2e_fail "the browser control did not come from $folder"
grep -qxF "{B7FC355E-8CE7-11CF-9754-00AA00C00908}=$folder/html.ocx" "$XDG_DATA_HOME/vardel/controls.reg" \
  || e2e_fail "html.ocx was registered as: $(cat "$XDG_DATA_HOME/vardel/controls.reg")"
e2e_shot "installed-article" >/dev/null
kill "$E2E_APP_PID"
e2e_wait_exit 10 >/dev/null

e2e_log "the light program on a magazine folder of its own, with a document after it"
magazine="$E2E_DIR/revista"
mkdir -p "$magazine"
cp -r "$folder"/{Configuracion.ini,Graficos,Ficheros,Musica,Extras} "$magazine"
convert -size 800x600 xc:'#30c050' "jpeg:$magazine/Graficos/p1"
chmod -R a-w "$magazine"
manifest() { (cd "$1" && find . -printf '%p %y %m %s %T@\n' | LC_ALL=C sort); }
before=$(manifest "$magazine")
echo "hola" >"$outside/nota.txt"
VARDEL_PROGRAM_DIR="$outside" e2e_run "$prefix/bin/ondravia-basic" "$magazine" nota.txt
e2e_until 15 visible frmPresenta || e2e_fail "the presentation did not appear"
e2e_until 10 shows_picture "$magazine/Graficos/p1" 0 0 400 150 100 100 || e2e_fail "the magazine's own p1 is not shown"
e2e_shot "own-magazine" >/dev/null
# The program stays in the installation and is told the disc's run folder.
[ "$(readlink "/proc/$E2E_APP_PID/exe")" = "$folder/ondravia-basic" ] \
  || e2e_fail "the program runs from $(readlink "/proc/$E2E_APP_PID/exe")"
given=$(tr '\0' ' ' <"/proc/$E2E_APP_PID/cmdline")
[[ "$given" == "$folder/ondravia-basic --content $XDG_CACHE_HOME/vardel/discs/revista-"*" $outside/nota.txt " ]] \
  || e2e_fail "the program was given: $given"
kill "$E2E_APP_PID"
e2e_wait_exit 10 >/dev/null
[ "$(manifest "$magazine")" = "$before" ] || e2e_fail "the magazine folder was written to"

e2e_log "a larger desktop: the 800x600 screen as one window, fitted and unscaled"
kill "$E2E_XVFB_PID"
wait "$E2E_XVFB_PID" 2>/dev/null || true
e2e_start_xvfb 1700x1300
nested_window() { xdotool search --onlyvisible --name '^VARDEL$' 2>/dev/null | head -n1; }
# True when the window at X,Y shows p1 scaled by $factor.
nested_shows_p1() {
  local shot="$E2E_DIR/nested.png" point px py
  import -window root "$shot" 2>/dev/null
  for point in "400 150" "100 100" "700 300"; do
    read -r px py <<<"$point"
    e2e_colour_near "$(e2e_pixel "$shot" "$(awk -v o="$X" -v p="$px" -v f="$factor" 'BEGIN { printf "%d", o + p * f }')" \
      "$(awk -v o="$Y" -v p="$py" -v f="$factor" 'BEGIN { printf "%d", o + p * f }')")" \
      "$(e2e_picture_pixel "$folder/Graficos/p1" "$px" "$py")" 40 || return 1
  done
}
for scale in auto 1; do
  VARDEL_SCALE=$scale VARDEL_PROGRAM_DIR="$outside" e2e_run "$prefix/bin/ondravia-basic"
  e2e_wait_window VARDEL 15
  # The largest that fits 1700x1300 with a title bar: 1268 rows of 600, 2.11.
  factor=2.11
  size=1688x1266
  [ "$scale" = 1 ] && factor=1 && size=800x600
  eval "$(xdotool getwindowgeometry --shell "$(nested_window)")"
  [ "${WIDTH}x${HEIGHT}" = "$size" ] || e2e_fail "the window is ${WIDTH}x${HEIGHT} at scale $scale"
  e2e_until 15 nested_shows_p1 || e2e_fail "p1 is not shown scaled by $factor"
  e2e_shot "nested-$scale" >/dev/null
  kill "$E2E_APP_PID"
  e2e_wait_exit 10 >/dev/null
  e2e_until 5 bash -c '[ -z "$(xdotool search --onlyvisible --name "^VARDEL\$" 2>/dev/null)" ]' || e2e_fail "the nested screen stayed"
done
e2e_log "ok"
