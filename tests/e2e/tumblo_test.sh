#!/usr/bin/env bash
# The game on the disc: started from its folder as the magazine starts it, its window shows the
# caption the magazine searches for within 5 s, it plays, and it keeps its records in its folder.
source "$(dirname "$0")/lib.sh"

caption="Tumblo de ONDRAVIA Magazine"
game_dir="$VARDEL_PROGRAM_DIR/Extras/Tumblo"
[ -x "$game_dir/Tumblo.exe" ] || e2e_fail "no $game_dir/Tumblo.exe"

# tumblo_start <folder>: starts Tumblo.exe with <folder> as its current folder.
tumblo_start() {
  (cd "$1" && exec ./Tumblo.exe) >"$E2E_DIR/tumblo.out" 2>&1 &
  E2E_APP_PID=$!
}

e2e_start_xvfb 800x600
start=$(date +%s%N)
tumblo_start "$game_dir"
e2e_wait_window "$caption" 5
e2e_log "window up after $(( ($(date +%s%N) - start) / 1000000 )) ms"
sleep 0.5
window=$(xdotool search --onlyvisible --name "^${caption}\$" | head -n1)
eval "$(xdotool getwindowgeometry --shell "$window")"
shot=$(e2e_shot "tumblo")
# The window's own dark blue shows at its corner, centred on the screen.
[ "$(e2e_pixel "$shot" $((X + 4)) $((Y + 4)))" = "30,34,70" ] || e2e_fail "game window not painted at $X,$Y"
[ "$X" -gt 100 ] && [ "$Y" -ge 0 ] || e2e_fail "window not centred: $X,$Y"

# Play: a few hard drops change the well.
e2e_move $((X + 100)) $((Y + 300))
before=$(e2e_shot "before-drops")
for _ in 1 2 3; do e2e_key space; sleep 0.1; done
sleep 0.3
after=$(e2e_shot "after-drops")
[ "$(compare -metric AE "$before" "$after" null: 2>&1 || true)" != "0" ] || e2e_fail "the game did not react to the keyboard"
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true
E2E_APP_PID=""

# Records: in a copy of the game's folder, end a game and sign the record; the table is written
# beside the game.
copy="$E2E_DIR/folder"
mkdir -p "$copy"
cp "$game_dir/Tumblo.exe" "$copy/"
tumblo_start "$copy"
e2e_wait_window "$caption" 5
sleep 0.3
window=$(xdotool search --onlyvisible --name "^${caption}\$" | head -n1)
eval "$(xdotool getwindowgeometry --shell "$window")"
e2e_move $((X + 100)) $((Y + 300))
dialog=""
for _ in $(seq 1 60); do
  e2e_key space
  sleep 0.15
  dialog=$(xdotool search --onlyvisible --name "^${caption}\$" | grep -v "^${window}\$" | head -n1 || true)
  [ -n "$dialog" ] && break
done
[ -n "$dialog" ] || e2e_fail "no record dialog at the end of the game"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
e2e_move $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
e2e_shot "record-dialog" >/dev/null
xdotool type --delay 30 "Prueba"
e2e_key Return
e2e_until 5 grep -q "Prueba" "$copy/Tumblo.txt" || e2e_fail "no records file in the game's folder"
e2e_shot "records" >/dev/null
e2e_log "ok: $(cat "$copy/Tumblo.txt")"
