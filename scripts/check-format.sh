#!/usr/bin/env bash
# Fails when a tracked C or C++ source is not in the project's format (.clang-format at the top);
# lists the files to run `clang-format -i` on. Without clang-format, or outside a git checkout,
# it says so and exits 77 (the test suite reports the check skipped).
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ] || ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "format check skipped: needs clang-format and a git checkout"
  exit 77
fi
files=()
while IFS= read -r -d '' file; do
  [ -f "$file" ] && files+=("$file")
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h')
# One clang-format for all of them: started once a file, it took most of a minute.
if ! report=$("$format" --dry-run -Werror "${files[@]}" 2>&1 >/dev/null); then
  echo "not in the project's format (run clang-format -i on them):"
  mapfile -t bad < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' <<<"$report" | sort -u)
  if [ ${#bad[@]} -gt 0 ]; then printf '  %s\n' "${bad[@]}"; else echo "$report"; fi
  exit 1
fi
echo "${#files[@]} sources in the project's format"
