#!/usr/bin/env bash
# Side by side: the viewer's text (html_dump, the path of GetDocumentText) against
# `lynx -dump -nolist` and `w3m -dump` — word-level agreement and whole-process time.
#   bench/compare_html_text.sh [build folder] [more articles...]
# Articles: the hand-made ones under tests/controls/data, generated ones of 200 KB and 2 MB,
# and any named on the command line (for instance the demo magazine's Ficheros/*.html).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true
dump="$build/bench/html_dump"
[ -x "$dump" ] || { echo "build $dump first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$dump" --generate 204800 >"$work/generado-200k.html"
"$dump" --generate 2097152 >"$work/generado-2m.html"
articles=(tests/controls/data/geografia.html tests/controls/data/historia.html tests/controls/data/fauna.html
          tests/controls/data/cultura.html tests/controls/data/cocina.html "$work/generado-200k.html" "$@")

echo "== word-level agreement (percent; words ours/theirs)"
printf '%-28s %-22s %-22s %-22s\n' article "ours vs lynx" "ours vs w3m" "lynx vs w3m"
for article in "${articles[@]}"; do
  name=$(basename "$article")
  charset=$("$dump" --charset "$article")
  "$dump" "$article" >"$work/ours.txt"
  lynx -dump -nolist -width=100000 -assume_charset="$charset" -display_charset=utf-8 "$article" >"$work/lynx.txt"
  w3m -dump -cols 100000 -I "$charset" -O UTF-8 -T text/html "$article" >"$work/w3m.txt"
  printf '%-28s %-22s %-22s %-22s\n' "$name" \
    "$(python3 bench/word_agreement.py "$work/ours.txt" "$work/lynx.txt")" \
    "$(python3 bench/word_agreement.py "$work/ours.txt" "$work/w3m.txt")" \
    "$(python3 bench/word_agreement.py "$work/lynx.txt" "$work/w3m.txt")"
  if [ -n "${SHOW_DIFF:-}" ]; then
    python3 bench/word_agreement.py "$work/ours.txt" "$work/lynx.txt" --diff "$SHOW_DIFF" | tail -n +2 | sed 's/^/    lynx /'
    python3 bench/word_agreement.py "$work/ours.txt" "$work/w3m.txt" --diff "$SHOW_DIFF" | tail -n +2 | sed 's/^/    w3m  /'
  fi
done

echo "== whole-process time (median of 15 runs, milliseconds)"
timed=("$work/generado-200k.html" "$work/generado-2m.html")
for article in "$@"; do  # and the given articles of 100 KB or more
  [ "$(stat -c %s "$article")" -ge 102400 ] && timed+=("$article")
done
python3 - "$dump" "${timed[@]}" <<'PY'
import statistics, subprocess, sys, time
dump, *files = sys.argv[1:]
def median_ms(command):
    times = []
    for _ in range(15):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)
print(f"{'article':<22} {'html_dump':>10} {'w3m -dump':>10} {'lynx -dump':>11} {'ratio to w3m':>13}")
for f in files:
    ours = median_ms([dump, f])
    charset = subprocess.run([dump, "--charset", f], capture_output=True, text=True).stdout.strip()
    w3m = median_ms(["w3m", "-dump", "-I", charset, "-O", "UTF-8", "-T", "text/html", f])
    lynx = median_ms(["lynx", "-dump", "-nolist", f"-assume_charset={charset}", "-display_charset=utf-8", f])
    name = f.rsplit("/", 1)[-1]
    print(f"{name:<22} {ours:>10.1f} {w3m:>10.1f} {lynx:>11.1f} {ours / w3m:>13.2f}")
PY
