#!/usr/bin/env bash
# Regenerates the RTF files other programs write from the HTML sources beside this script:
# LibreOffice Writer (soffice) and AbiWord. The test suite reads the committed results and
# needs neither program; run this by hand after changing a source.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for source in carta formatos; do
  HOME="$work" soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf --outdir "$work" "$source.html" >/dev/null
  mv "$work/$source.rtf" "$source-libreoffice.rtf"
  HOME="$work" abiword --to=rtf -o "$source-abiword.rtf" "$source.html"
done
