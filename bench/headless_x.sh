# Sourced by the benchmark scripts: a private Xvfb at 800x600 as DISPLAY for the rest of the
# script, and `work`, a scratch folder; both go when the script exits.
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
