#!/usr/bin/env bash
# A magazine disc image as a person meets it: an ISO 9660 image of a fake disc (upper-case and
# 8.3 names, read-only, Windows-1252 without declarations) made into a program folder by
# scripts/disc.sh and started through scripts/start.sh (the programs from the build, told the run
# folder); then the opening, a city's hint and
# article, a link whose case differs from the file's, and the way back.
#   disc_magazine_test.sh <ondravia|ondravia-basic>
program="$1"
E2E_NAME="disc_magazine_$program"
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/fake_disc.sh"
source "$(dirname "$0")/steps.sh"

export XDG_DATA_HOME="$E2E_DIR/xdg" XDG_CACHE_HOME="$E2E_DIR/cache"
fake_disc "$VARDEL_PROGRAM_DIR" "$E2E_DIR/disc"
xorriso -as mkisofs -R -J -V ONDRAVIA -o "$E2E_DIR/ondravia.iso" "$E2E_DIR/disc" 2>"$E2E_DIR/xorriso.log" \
  || e2e_fail "xorriso could not make the image"
chmod -R u+w "$E2E_DIR/disc" && rm -rf "$E2E_DIR/disc"   # from here on only the image exists
folder=$("$VARDEL_SOURCE_DIR/scripts/disc.sh" --quiet "$E2E_DIR/ondravia.iso") \
  || e2e_fail "disc.sh refused the image"
[[ "$folder" == "$XDG_CACHE_HOME/vardel/discs/ondravia-"* ]] || e2e_fail "the run folder is $folder"
ini="$folder/Configuracion.ini"

display_widget=/w/HtmlViewer
title_property=documentTitle
if [ "$program" = ondravia ]; then display_widget=/wIE4/WebBrowser; title_property=title; fi
shown_title() { e2e_widget_property "$display_widget" "$title_property"; }
title_is() { [ "$(shown_title)" = "$1" ]; }
document_shown() {
  if [ "$program" = ondravia ]; then [ "$(e2e_widget frmMapa/client/wIE4 | cut -f4 | cut -d, -f2)" = 0 ]; else visible frmMapa/client/w; fi
}

e2e_start_xvfb 800x600
programs="$VARDEL_PROGRAM_DIR"
VARDEL_PROGRAM_DIR="$XDG_CACHE_HOME" e2e_run "$VARDEL_SOURCE_DIR/scripts/start.sh" --programs "$programs" --folder "$folder" "$program"
e2e_until 15 visible frmPresenta || e2e_fail "the presentation did not appear"
e2e_until 5 shows_picture "$folder/GRAFICOS/P1" 0 0 400 150 300 300 100 100 || e2e_fail "GRAFICOS/P1 is not on the screen"
e2e_shot "first-picture" >/dev/null
sleep 7   # the second picture, on which a click skips the opening
skip_opening
e2e_until 5 shows_picture "$folder/GRAFICOS/P3" 0 0 400 30 790 590 150 590 || e2e_fail "GRAFICOS/P3 is not the map"
e2e_shot "map" >/dev/null

# The hint comes from a Windows-1252 file with CRLF lines.
x=$(e2e_ini "$ini" Posiciones Ciudad1X) y=$(e2e_ini "$ini" Posiciones Ciudad1Y)
w=$(e2e_ini "$ini" Tamanios Ciudad1Ancho) h=$(e2e_ini "$ini" Tamanios Ciudad1Alto)
hint=$(e2e_ini "$ini" Hints Ciudad1 | iconv -f WINDOWS-1252 -t UTF-8)
e2e_move $((x + w / 2)) $((y + h / 2))
e2e_until 3 bash -c '[ "$(e2e_widget_text frmMapa/client/Label1)" = "$0" ]' "$hint" 2>/dev/null || true
[ "$(e2e_widget_text frmMapa/client/Label1)" = "$hint" ] || e2e_fail "hint '$(e2e_widget_text frmMapa/client/Label1)' instead of '$hint'"

# The configuration names art1.htm; the disc holds FICHEROS/ART1.HTM, without a declaration.
e2e_click $((x + w / 2)) $((y + h / 2))
e2e_until 10 document_shown || e2e_fail "the document display did not appear"
e2e_until 10 title_is "$FAKE_DISC_TITLE" || e2e_fail "the article's title is '$(shown_title)', not '$FAKE_DISC_TITLE'"
e2e_until 5 shows_picture "$folder/GRAFICOS/S1" 4 121 10 10 60 60 || e2e_fail "GRAFICOS/S1 is not at 4,121"
e2e_shot "article" >/dev/null

# Its first picture links to Art2.Htm, a name in another case than ART2.HTM.
second_title=$(LC_ALL=C sed -n 's/.*<title>\([^<]*\)<\/title>.*/\1/p' "$folder/FICHEROS/ART2.HTM" | iconv -f WINDOWS-1252 -t UTF-8)
e2e_click 400 60
e2e_until 10 title_is "$second_title" || e2e_fail "the link led to '$(shown_title)', not '$second_title'"
e2e_shot "linked-article" >/dev/null

# The way back.
e2e_click 20 20
for _ in $(seq 1 30); do visible frmMapa/client/imgMapita || break; sleep 0.1; done
visible frmMapa/client/imgMapita && e2e_fail "the small map is still shown"
document_shown && e2e_fail "the document is still shown"
[ "$(e2e_widget_property frmMapa Nivel)" = 1 ] || e2e_fail "not back at the map"
e2e_shot "back-to-map" >/dev/null
e2e_log "ok"
