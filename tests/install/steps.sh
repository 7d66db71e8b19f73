# Steps shared by the end-to-end tests of discs and of the installation; source after e2e/lib.sh.

visible() { [ "$(e2e_widget_visible "$1")" = 1 ]; }

# Skips the opening from its second picture. A click on the first picture does nothing, so on
# a slow machine, where the second one may come late, the click is simply repeated.
skip_opening() {
  for _ in 1 2 3 4 5; do
    e2e_click 400 300
    e2e_until 2 visible frmMapa/client/Label1 && return 0
  done
  e2e_fail "the skip did not show the map"
}

# shows_picture <picture> <x0> <y0> <points...>: the screen shows the picture placed at x0,y0
# (see e2e_screen_matches_picture); for e2e_until, since a loaded machine may draw late.
shows_picture() {
  local shot="$E2E_DIR/now.png"
  import -window root "$shot" 2>/dev/null
  e2e_screen_matches_picture "$shot" "$@"
}
