#!/usr/bin/env bash
# The magazine search and printing an article, on a real X server:
#   search_print_test.sh <ondravia|ondravia-basic>
# Ctrl+Shift+F over the map, words that only one article holds (typed without their accents
# and in capitals), Enter opens that article as its city's click would; then Ctrl+P prints it to
# a PDF file through the print dialog, and the PDF is read back: its text, and its picture.
program="$1"
E2E_NAME="search_print_${program}"
source "$(dirname "$0")/lib.sh"

export XDG_DATA_HOME="$E2E_DIR/xdg"
export HOME="$E2E_DIR/home"          # the print dialog proposes its file here
export CUPS_SERVER="127.0.0.1:9"     # no print service: the dialog offers the PDF file alone
mkdir -p "$XDG_DATA_HOME" "$HOME"
ini="$VARDEL_PROGRAM_DIR/Configuracion.ini"
city=7
[ "$(e2e_ini "$ini" Ficheros "Ciudad$city")" = recetas.html ] || e2e_fail "city $city is not the cooking article"

e2e_start_xvfb
e2e_run "./$program"
e2e_skip_opening
e2e_visible frmMapa/client/Busqueda && e2e_fail "the search panel is there before its key"

# Without a window manager nothing makes the map the active window once the browser engine
# has started: a click on the hint's panel (no action there) does, as a person's first click.
e2e_click 60 200
e2e_key ctrl+shift+f
e2e_while_alive 20 e2e_has_focus /BusquedaTexto
xdotool type --delay 20 "COCINERAS islena"
listed() { [ "$(e2e_widget_property frmMapa/client/Busqueda pages)" = "$1" ]; }
e2e_while_alive 20 listed "$city:recetas.html"
e2e_log "found: $(e2e_widget_text /BusquedaEstado)"
e2e_shot results >/dev/null
e2e_key Return
e2e_while_alive 30 e2e_document_shown "$program"
e2e_visible frmMapa/client/Busqueda && e2e_fail "the search panel stayed over the article"
e2e_timeline >"$E2E_DIR/timeline.txt"
e2e_event_ns "$E2E_DIR/timeline.txt" picture /imgSecciones "s$city." >/dev/null ||
  e2e_fail "the section picture of city $city was not shown"
went_to_article() { e2e_timeline | awk -F'\t' '$2 == "navigate" && index($4, "recetas.html") { found = 1 } END { exit !found }'; }
if [ "$program" = ondravia ]; then e2e_while_alive 30 went_to_article; fi
e2e_shot article >/dev/null

pdf="$HOME/recetas.pdf"
e2e_key ctrl+p
e2e_while_alive 30 e2e_visible /filename
e2e_press /filename
e2e_key ctrl+a
xdotool type --delay 10 "$pdf"
e2e_shot print_dialog >/dev/null
e2e_key Return
printed() { e2e_timeline | grep -q "$(printf 'print\t')"; }
e2e_while_alive 60 printed
e2e_timeline | grep "$(printf 'print\t')" | grep -q "ok$" || e2e_fail "printing failed: $(e2e_timeline | grep print)"
[ -s "$pdf" ] || e2e_fail "no PDF at $pdf"
text=$(pdftotext "$pdf" - | tr '\n' ' ')
grep -q "cocineras del pueblo" <<<"$text" || e2e_fail "the PDF lacks the article's text: $text"
images=$(pdfimages -list "$pdf" | tail -n +3 | wc -l)
[ "$images" -ge 1 ] || e2e_fail "the PDF holds no picture"
e2e_log "PDF: $(wc -c <"$pdf") bytes, $images pictures"
