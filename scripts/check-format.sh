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
bad=()
count=0
while IFS= read -r -d '' file; do
  [ -f "$file" ] || continue
  count=$((count + 1))
  "$format" --dry-run -Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  echo "not in the project's format (run clang-format -i on them):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "$count sources in the project's format"
