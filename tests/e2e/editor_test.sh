#!/usr/bin/env bash
# The editor window on a real X server, opened over an article as the map opens it:
#   editor_test.sh <ondravia|ondravia-basic>
# The article's text on screen, the first-indent marker dragged and the paragraph moved, then
# text typed, formatted with the keyboard, saved, opened again and compared, then opened from
# the command line; screenshots kept.
program="$1"
E2E_NAME="editor_${program}"
source "$(dirname "$0")/lib.sh"

export XDG_DATA_HOME="$E2E_DIR/xdg"
mkdir -p "$XDG_DATA_HOME"
EDITOR_PATH="frmEditor/client/area/Editor"
MENU=19
RULER_TOP=$((MENU + 28))
TEXT_TOP=$((RULER_TOP + 32))

editor_text() { e2e_widget_property "$EDITOR_PATH" plainText; }
# The control's properties as one line (its html holds the ';' that separates properties).
editor_html() { e2e_widget "$EDITOR_PATH" | cut -f6; }
text_holds() { editor_text | grep -qF -- "$1"; }
text_is() { [ "$(editor_text)" = "$1" ]; }
first_indent_at() { [ "$(x_of frmEditor/client/area/Ruler/FirstInd)" = "$1" ]; }
underline_ticked() { e2e_probe | awk -F'\t' '$2 == "QCheckBox" && $5 == "S&ubrayado"' | grep -q "checked=true"; }
x_of() { e2e_widget "$1" | cut -f4 | cut -d, -f1; }
# Leftmost dark column of the first line of text on a screenshot.
first_line_left() {
  convert "$1" -crop 760x12+1+$((TEXT_TOP + 5)) +repage -colorspace gray -threshold 50% -negate -trim \
    -format '%X' info: 2>/dev/null | tr -d '+'
}
ocr_has() {
  local shot="$E2E_DIR/ocr.png"
  import -window root "$shot" 2>/dev/null
  tesseract "$shot" - 2>/dev/null | grep -qiF -- "$1"
}
wait_title() { e2e_wait_window "$1( .*)?" "${2:-10}"; }

e2e_start_xvfb 800x600
VARDEL_EDITOR_PROGRAM="$program" VARDEL_EDITOR_ARTICLE="$VARDEL_PROGRAM_DIR/Ficheros/geografia.html" \
  e2e_run "$VARDEL_BINARY_DIR/demo/editor_demo"
wait_title "SinTitulo - VARDEL" 15

# The article arrives as text, the message panel goes.
e2e_until 10 text_holds "Una isla en forma de hoja" || e2e_fail "the article's text did not arrive"
[ "$(e2e_widget_visible frmEditor/client/area/PanelMensaje)" = 0 ] || e2e_fail "the import's panel is still shown"
before=$(e2e_shot "imported")
e2e_until 5 ocr_has "Una isla en forma de hoja" || e2e_fail "the article's text is not on the screen"
status=$(e2e_widget frmEditor/client/area/StatusBar | cut -f6)
[[ "$status" == *"Panel0=Línea:   1   Columna:   1"* ]] || e2e_fail "caret panel: $status"

# Drag the first-indent marker 100 pixels to the right: the first line follows it.
left_before=$(first_line_left "$before")
marker_y=$((RULER_TOP + 8))
xdotool mousemove --sync 8 "$marker_y" mousedown 1
xdotool mousemove --sync 58 "$marker_y"
xdotool mousemove --sync 108 "$marker_y" mouseup 1
e2e_until 10 first_indent_at 103 || true
[ "$(x_of frmEditor/client/area/Ruler/FirstInd)" = 103 ] || e2e_fail "FirstInd stands at $(x_of frmEditor/client/area/Ruler/FirstInd)"
# The line is judged on the screen, once the screen shows it moved.
for _ in $(seq 1 50); do
  after=$(e2e_shot "first-indent-dragged")
  left_after=$(first_line_left "$after")
  [ "$left_after" != "$left_before" ] && break
  rm -f "$after"
  sleep 0.1
done
e2e_log "first line starts at $left_before, then at $left_after"
[ $((left_after - left_before)) -ge 95 ] && [ $((left_after - left_before)) -le 106 ] \
  || e2e_fail "the first line moved from $left_before to $left_after"

# A new text (the imported one is given up), typed and underlined with the keyboard.
e2e_key ctrl+n
e2e_wait_for_message "Guardar los cambios en SinTitulo?" 5
e2e_key n
e2e_until 10 text_is "" || true
[ -z "$(editor_text)" ] || e2e_fail "New left text behind"
e2e_click 400 300  # into the text (there is no window manager to give the focus back)
xdotool type --delay 20 "Hola desde la prueba"
e2e_key shift+Home
e2e_key alt+e
e2e_until 10 e2e_class_visible QMenu || e2e_fail "Alt+E did not open the menu"
e2e_key f
e2e_until 10 xdotool search --onlyvisible --name '^Fuente' || e2e_fail "no font dialog"
e2e_until 10 e2e_focus_within FontDialog || e2e_fail "the font dialog has no focus"
e2e_key alt+u
e2e_until 3 underline_ticked || e2e_fail "Alt+U did not tick the underline effect"
e2e_shot "font-dialog" >/dev/null
e2e_key Return
e2e_until 3 bash -c '! xdotool search --onlyvisible --name "^Fuente"' || e2e_fail "Enter did not close the font dialog"
editor_html | grep -q "text-decoration: underline" || e2e_fail "the text is not underlined"
e2e_shot "typed-and-underlined" >/dev/null

# Save under a new name: the name gets .rtf.
target="$E2E_DIR/prueba"
e2e_click 400 300  # the window active again after the dialog
e2e_key ctrl+g
e2e_until 10 e2e_visible SaveDialog || e2e_fail "Ctrl+G showed no save dialog"
e2e_until 10 e2e_focused_class QLineEdit || e2e_fail "the save dialog's name field has no focus"
e2e_shot "save-dialog" >/dev/null
xdotool type --delay 10 "$target"
e2e_key Return
wait_title "prueba.rtf - VARDEL" 10
[ -s "$target.rtf" ] || e2e_fail "nothing was written to $target.rtf"
grep -q '\\ul' "$target.rtf" || e2e_fail "the file holds no underline"

# A new empty text, then the file opened again: the same text, still underlined.
e2e_click 400 300
e2e_key ctrl+n
wait_title "SinTitulo - VARDEL" 10
e2e_until 10 text_is "" || true
[ -z "$(editor_text)" ] || e2e_fail "New left text behind"
e2e_click 400 300
e2e_key ctrl+a
e2e_until 10 e2e_visible OpenDialog || e2e_fail "Ctrl+A showed no open dialog"
e2e_until 10 e2e_focused_class QLineEdit || e2e_fail "the open dialog's name field has no focus"
xdotool type --delay 10 "$target.rtf"
e2e_key Return
wait_title "prueba.rtf - VARDEL" 10
e2e_until 10 text_is "Hola desde la prueba" || true
[ "$(editor_text)" = "Hola desde la prueba" ] || e2e_fail "reopened text: '$(editor_text)'"
editor_html | grep -q "text-decoration: underline" || e2e_fail "the reopened text is not underlined"
e2e_shot "reopened" >/dev/null

# Alt+X closes the window; nothing is left to save. The key goes to the editor once its text
# has the focus back (there is no window manager to give it after the dialog).
e2e_click 400 300
e2e_until 10 e2e_has_focus "$EDITOR_PATH" || e2e_fail "the text did not take the focus back"
e2e_key alt+x
e2e_wait_exit 30 >/dev/null
status=$E2E_EXIT_STATUS
[ "$status" = 0 ] || e2e_fail "the editor demo ended with $status"

# Started with the document on the command line: it opens when the window shows, and the
# article that arrives afterwards does not take its place.
VARDEL_EDITOR_PROGRAM="$program" VARDEL_EDITOR_ARTICLE="$VARDEL_PROGRAM_DIR/Ficheros/geografia.html" \
  e2e_run "$VARDEL_BINARY_DIR/demo/editor_demo" "$target.rtf"
wait_title "prueba.rtf - VARDEL" 15
e2e_until 10 text_is "Hola desde la prueba" || true
[ "$(editor_text)" = "Hola desde la prueba" ] || e2e_fail "command-line document: '$(editor_text)'"
[ "$(e2e_widget_visible frmEditor/client/area/PanelMensaje)" = 0 ] || e2e_fail "the import's panel is still shown"
e2e_shot "command-line-document" >/dev/null
e2e_log "ok"
