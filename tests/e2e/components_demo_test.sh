#!/usr/bin/env bash
# The gradient caption bar and the sliders on a real X server: pixels of the bars, activation,
# caption dragging, clicks, drags and keys on the sliders; screenshots kept for a person to see.
source "$(dirname "$0")/lib.sh"

px() { e2e_pixel "$@"; }
expect_pixel() {  # <png> x y r,g,b what
  local got
  got=$(px "$1" "$2" "$3")
  [ "$got" = "$4" ] || e2e_fail "$5: pixel $2,$3 is $got, expected $4"
}
expect_text() {  # <widget> <text>
  local got
  got=$(e2e_widget_text "$1")
  [ "$got" = "$2" ] || e2e_fail "$1 shows '$got', expected '$2'"
}

NAVY="0,0,128"
ACTIVE="16,132,208"
INACTIVE="128,128,128"

e2e_start_xvfb 800x600
e2e_run "$VARDEL_BINARY_DIR/demo/components_demo"
# (The window system's titles carry the application's name after the window text.)
e2e_wait_window "Componentes.*" 10
e2e_wait_window "Otra ventana con un título largo.*" 10
sleep 0.5

# The player-like window at 100,100 is active: navy at the left of its bar, the active caption
# colour at the right; the other window (8 colours, gradient only while active) is plain grey.
shot=$(e2e_shot "demo-start")
expect_pixel "$shot" 103 104 "$NAVY" "left end of the active bar"
expect_pixel "$shot" 397 104 "$ACTIVE" "right end of the active bar"
expect_pixel "$shot" 453 104 "$INACTIVE" "inactive bar of the other window"
expect_pixel "$shot" 700 104 "$INACTIVE" "inactive bar of the other window"

# Clicking the other window activates it: its gradient appears, the first bar ends in grey.
e2e_click 600 150 1
sleep 0.4
shot=$(e2e_shot "demo-other-active")
expect_pixel "$shot" 453 104 "$NAVY" "left end of the now active bar"
expect_pixel "$shot" 103 104 "$NAVY" "left end of the now inactive bar (gradient always)"
expect_pixel "$shot" 397 104 "$INACTIVE" "right end of the now inactive bar"

# Dragging the caption moves the window by the same amount.
xdotool mousemove --sync 250 110 mousedown 1
xdotool mousemove --sync 280 130
xdotool mousemove --sync 300 160 mouseup 1
sleep 0.4
shot=$(e2e_shot "demo-dragged")
expect_pixel "$shot" 153 154 "$NAVY" "left end of the moved bar"
expect_pixel "$shot" 447 154 "$ACTIVE" "right end of the moved bar"
# The client area starts at 153,172 now.

# The slider with tick marks (client 10,100, 200 x 40): a click right of the thumb steps once,
# then the keys take over.
e2e_click $((153 + 10 + 150)) $((172 + 100 + 14)) 1
sleep 0.2
expect_text "lbSlider2" "10"
e2e_key Right Right
sleep 0.2
expect_text "lbSlider2" "30"
e2e_key End
sleep 0.2
expect_text "lbSlider2" "100"

# The MP3 player's slider (client 10,10): drag its thumb 50 pixels to the right.
tx=$((153 + 10 + 6 + 4))
ty=$((172 + 10 + 6 + 8))
xdotool mousemove --sync $tx $ty mousedown 1
xdotool mousemove --sync $((tx + 25)) $ty
xdotool mousemove --sync $((tx + 50)) $ty
sleep 0.2
shot=$(e2e_shot "demo-dragging")
xdotool mouseup 1
sleep 0.2
expect_text "lbSlider1" "57"

# The vertical slider (stepped by 25): Up goes up.
e2e_click $((153 + 230 + 20)) $((172 + 10 + 40)) 1
sleep 0.2
e2e_key Home Up
sleep 0.2
expect_text "lbSlider3" "25"
shot=$(e2e_shot "demo-end")
e2e_log "ok"
