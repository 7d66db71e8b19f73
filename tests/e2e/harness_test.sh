#!/usr/bin/env bash
# The end-to-end harness itself: a server, a real window, a click, a screenshot, a pixel.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 800x600
[ "$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')" = "800x600" ] || e2e_fail "screen is not 800x600"
e2e_run xmessage -geometry +100+100 -bg red -fg white -buttons "Vale:0" "Prueba del arnes"
e2e_wait_window "xmessage" 10
sleep 0.3
shot=$(e2e_shot "xmessage")
[ -s "$shot" ] || e2e_fail "no screenshot"
# The window's red background lies at its top-left corner, the empty screen elsewhere.
[ "$(e2e_pixel "$shot" 104 104)" = "255,0,0" ] || e2e_fail "expected the red window at 104,104, got $(e2e_pixel "$shot" 104 104)"
[ "$(e2e_pixel "$shot" 700 500)" != "255,0,0" ] || e2e_fail "the whole screen is red"
# A real click on its button ends it.
e2e_click 121 139
e2e_wait_exit 5 >/dev/null
status=$E2E_EXIT_STATUS
[ "$status" = 0 ] || e2e_fail "xmessage ended with $status"
e2e_log "ok"
