#!/usr/bin/env bash
# A hostile magazine disc: real Qt plug-ins in platformthemes/ and imageformats/ (and copies in
# platforms/, iconengines/), a qt.conf that points Qt's plug-ins and helper programs at the disc,
# ELF files under the names of the program's libraries and of Qt's (html.ocx, mpegdll.dll,
# webbrowser.so, libQt6Core.so.6...), a QtWebEngineProcess, autorun.inf, a .desktop file and a
# notas.rtf that links to a file of the person's. Every one of them leaves a mark when it runs.
# First the same plug-ins, put where the person tells Qt to look, do leave their mark (so that
# silence means something), while a qt.conf beside the programs pointing at them is not read; then
# the disc as an ISO image through disc.sh and as a folder given
# to start.sh --folder (as run.sh --folder gives it): start, skip the opening, open a city and
# the MP3 player; no mark, and no library of the disc mapped. With the image, the editor's Save
# As starts in the person's documents, refuses the planted link, and what was saved (there, or
# by the person into the run folder) survives a refresh of the run folder from a changed image.
#   hostile_disc_test.sh <ondravia|ondravia-basic>
program="$1"
E2E_NAME="hostile_disc_$program"
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/fake_disc.sh"
source "$(dirname "$0")/steps.sh"
: "${VARDEL_BINARY_DIR:?set by ctest}"

programs="$VARDEL_PROGRAM_DIR"
hostile="$VARDEL_BINARY_DIR/tests/fakes/hostile"
elf="$hostile/platformthemes/libmarker.so"
[ -f "$elf" ] && [ -f "$hostile/imageformats/libmarker.so" ] || e2e_fail "the hostile plug-ins are not built"
export XDG_DATA_HOME="$E2E_DIR/xdg" XDG_CACHE_HOME="$E2E_DIR/cache" HOME="$E2E_DIR/home"
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
marker="$E2E_DIR/marker.txt"
export VARDEL_HOSTILE_MARKER="$marker"
# A theme name the person's desktop may ask for: Qt then looks for it on every plug-in path.
export QT_QPA_PLATFORMTHEME=marker
victim="$E2E_DIR/privado.txt"
echo "privado" >"$victim"

disc="$E2E_DIR/disc"
fake_disc "$programs" "$disc"
chmod -R u+w "$disc"
cp -r "$hostile/platformthemes" "$hostile/imageformats" "$disc/"
for dir in platforms iconengines xcbglintegrations; do mkdir -p "$disc/$dir" && cp "$elf" "$disc/$dir/libmarker.so"; done
for name in html.ocx HTML.OCX mpegdll.dll MPEGDLL.DLL webbrowser.so libQt6Core.so.6 libQt6Gui.so.6 libQt6Widgets.so.6 \
            libQt6WebEngineCore.so.6 libmpg123.so.0 libout123.so.0; do
  cp "$elf" "$disc/$name"
done
printf '#!/bin/sh\necho "QtWebEngineProcess $0" >>"$VARDEL_HOSTILE_MARKER"\n' >"$disc/QtWebEngineProcess"
chmod +x "$disc/QtWebEngineProcess"
printf '[Paths]\nPrefix=.\nPlugins=.\nLibraryExecutables=.\nLibraries=.\nData=.\n' >"$disc/qt.conf"
cp "$disc/qt.conf" "$disc/qt6.conf"
printf '[autorun]\nopen=sh -c "echo autorun >>%s"\n' "$marker" >"$disc/autorun.inf"
printf '[Desktop Entry]\nType=Application\nName=Ondravia\nExec=sh -c "echo desktop >>%s"\n' "$marker" >"$disc/ondravia.desktop"
ln -s "$victim" "$disc/notas.rtf"
chmod -R a-w "$disc"

no_mark() { [ ! -s "$marker" ] || e2e_fail "the disc's code ran: $(cat "$marker")"; }
# No library of the content folder is mapped into the program.
no_library_from() {
  local real
  real=$(realpath -- "$1")
  if awk -v f="$real/" 'index($6, f) == 1 { print $6 }' "/proc/$E2E_APP_PID/maps" | grep -E '\.(so|dll|ocx)|lib' ; then
    e2e_fail "a library of $real is mapped"
  fi
}
stop_program() {
  kill "$E2E_APP_PID"
  e2e_wait_exit 20 >/dev/null
}

e2e_start_xvfb 800x600
e2e_start_wm

e2e_log "where the person points Qt, the marker plug-in leaves its mark"
QT_PLUGIN_PATH="$disc" VARDEL_PROGRAM_DIR="$HOME" e2e_run "$programs/$program"
e2e_until 60 grep -q platformthemes "$marker" || e2e_fail "the marker plug-in was not loaded even from QT_PLUGIN_PATH"
stop_program
rm -f "$marker"

e2e_log "a qt.conf beside the programs themselves is not read either"
copy="$E2E_DIR/copy"
e2e_copy_program_folder "$copy"
printf '[Paths]\nPrefix=%s\nPlugins=%s\n' "$hostile" "$hostile" >"$copy/qt.conf"
cp "$copy/qt.conf" "$copy/qt6.conf"
VARDEL_PROGRAM_DIR="$copy" e2e_run "./$program"
e2e_until 60 visible frmPresenta || e2e_fail "the presentation did not appear"
no_mark
stop_program

# walk <content folder>: start, skip the opening, a city, the MP3 player; nothing of the disc runs.
walk() {
  local folder="$1" x y
  # Qt says where it looks for plug-ins: never in the magazine's folder.
  QT_DEBUG_PLUGINS=1 VARDEL_PROGRAM_DIR="$HOME" e2e_run "$VARDEL_SOURCE_DIR/scripts/start.sh" --programs "$programs" \
    --folder "$folder" "$program"
  e2e_until 60 visible frmPresenta || e2e_fail "the presentation did not appear"
  [ "$(readlink "/proc/$E2E_APP_PID/exe")" = "$(realpath "$programs/$program")" ] \
    || e2e_fail "the program runs from $(readlink "/proc/$E2E_APP_PID/exe")"
  no_mark
  e2e_skip_opening
  read -r x y <<<"$(e2e_city_centre "$folder/Configuracion.ini" 1)"
  e2e_click "$x" "$y"
  e2e_until 30 e2e_document_shown "$program" || e2e_fail "the city's article did not open"
  e2e_click 99 581  # the MP3 player, which loads the decoder library
  e2e_until 15 visible frmMP3 || e2e_fail "the MP3 player did not open"
  e2e_shot "mp3-player" >/dev/null
  no_library_from "$folder"
  no_mark
  local log="$E2E_DIR/start.sh.out"
  grep -q "checking directory path" "$log" || e2e_fail "Qt's search for plug-ins was not logged"
  if grep "checking directory path \"$(realpath -- "$folder")" "$log"; then e2e_fail "Qt looked for plug-ins in the disc"; fi
}

e2e_log "the disc as an ISO image, through disc.sh"
image="$E2E_DIR/hostile.iso"
xorriso -as mkisofs -R -J -V ONDRAVIA -o "$image" "$disc" 2>"$E2E_DIR/xorriso.log" || e2e_fail "xorriso could not make the image"
folder=$("$VARDEL_SOURCE_DIR/scripts/disc.sh" --quiet "$image" 2>"$E2E_DIR/disc.log") || e2e_fail "disc.sh refused the image"
[ -L "$folder/notas.rtf" ] || e2e_fail "the image's link notas.rtf was not extracted as a link"
walk "$folder"

save_dialog_up() { xdotool search --onlyvisible --name '^Guardar' >/dev/null; }
refusal_up() { e2e_probe | awk -F'\t' '$2 == "QLabel" && $3 == 1 && index($5, "es un enlace") { found = 1 } END { exit !found }'; }
e2e_click 71 542  # the editor, on release
e2e_wait_window "SinTitulo - VARDEL" 20
panel_gone() { [ "$(e2e_widget_visible frmEditor/client/area/PanelMensaje)" = 0 ]; }
e2e_until 20 panel_gone || e2e_fail "the editor's import did not end"
e2e_until 20 e2e_focus_within frmEditor || e2e_fail "the editor has no keyboard focus"
# save_dialog <keys>: the keys that ask for the save dialog, until it is up.
save_dialog() {
  for _ in 1 2 3; do
    e2e_key "$1"
    e2e_until 5 save_dialog_up && return 0
  done
  e2e_fail "no save dialog"
}
save_dialog ctrl+g
xdotool type --delay 10 "$folder/notas"
# The name box's completion may take the first Return (it offers notas.rtf): then another.
e2e_key Return
for _ in 1 2 3; do
  e2e_until 5 refusal_up && break
  if save_dialog_up; then e2e_key Return; fi
done
e2e_wait_for_message "es un enlace" 10
e2e_shot "link-refused" >/dev/null
e2e_key Return
[ "$(cat "$victim")" = privado ] && [ -L "$folder/notas.rtf" ] || e2e_fail "the planted link was written through"
e2e_until 20 e2e_focus_within frmEditor || e2e_fail "the editor has no keyboard focus after the error box"
save_dialog ctrl+g
xdotool type --delay 10 "mis-notas"
e2e_key Return
e2e_wait_window "mis-notas.rtf - VARDEL" 10
saved="$HOME/Documents/mis-notas.rtf"
[ -s "$saved" ] || e2e_fail "Save As did not start in the person's documents: $(find "$HOME" "$folder" -name 'mis-notas*')"
no_mark
stop_program

e2e_log "what the person saved survives a refresh from a changed image"
echo "mío" >"$folder/mio.rtf"
touch -d '2001-01-01' "$image"
"$VARDEL_SOURCE_DIR/scripts/disc.sh" --quiet --refresh "$folder" >/dev/null 2>"$E2E_DIR/refresh.log" \
  || e2e_fail "the refresh failed: $(cat "$E2E_DIR/refresh.log")"
grep -q extracting "$E2E_DIR/refresh.log" || e2e_fail "the changed image was not extracted again"
[ "$(cat "$folder/mio.rtf")" = "mío" ] && [ -s "$saved" ] || e2e_fail "the refresh deleted the person's documents"
[ -f "$folder/Configuracion.ini" ] || e2e_fail "the refresh lost the disc's content"

e2e_log "the disc as a folder, given to start.sh --folder"
walk "$disc"
stop_program
no_mark
e2e_log "ok"
