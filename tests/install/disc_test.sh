#!/usr/bin/env bash
# scripts/disc.sh on fake discs: folders and ISO 9660 images made here, never written to; what is
# refused and why; names kept exactly; read-only content replaced when the image changes.
set -euo pipefail
: "${VARDEL_PROGRAM_DIR:?set by ctest}" "${VARDEL_SOURCE_DIR:?set by ctest}" "${VARDEL_TEST_ARTIFACTS:?set by ctest}"
source "$(dirname "$0")/fake_disc.sh"
disc_sh="$VARDEL_SOURCE_DIR/scripts/disc.sh"
work="$VARDEL_TEST_ARTIFACTS/disc_test"
[ -d "$work" ] && chmod -R u+w "$work" && rm -rf "$work"
mkdir -p "$work"
export XDG_CACHE_HOME="$work/cache"

fail() { echo "FAIL: $*" >&2; exit 1; }
# manifest <tree>: every entry with its kind, mode, size and time; equal before and after = untouched.
manifest() { (cd "$1" && find . -printf '%p %y %m %s %T@\n' | LC_ALL=C sort); }
# refused <text> <disc.sh arguments...>: disc.sh fails and says <text>.
refused() {
  local text="$1" out status=0
  shift
  out=$("$disc_sh" "$@" 2>&1 >/dev/null) || status=$?
  [ "$status" != 0 ] || fail "disc.sh $* was accepted"
  grep -qF -- "$text" <<<"$out" || fail "disc.sh $* said '$out', not '$text'"
}

# Programs that are small stand-ins, so that replacing them is cheap to watch.
programs="$work/programs"
mkdir -p "$programs"
for p in ondravia ondravia-basic html.ocx mpegdll.dll webbrowser.so; do printf '#!/bin/sh\n# %s 1\n' "$p" >"$programs/$p"; done
chmod +x "$programs"/*

disc="$work/disc"
fake_disc "$VARDEL_PROGRAM_DIR" "$disc"
chmod u+w "$disc"
printf 'x' >"$disc/Léeme primero.txt"
printf 'x' >"$disc/-raro"
chmod a-w "$disc" "$disc/Léeme primero.txt" "$disc/-raro"
before=$(manifest "$disc")

echo "# what is not a magazine disc is refused, naming what is missing"
mkdir -p "$work/empty/GRAFICOS" "$work/nested/ONDRAVIA"
cp "$disc/Configuracion.ini" "$work/nested/ONDRAVIA/CONFIGURACION.INI"
refused "has no Configuracion.ini" --programs "$programs" "$work/empty"
refused "there is one in $work/nested/ONDRAVIA" --programs "$programs" "$work/nested"
xorriso -as mkisofs --norock -o "$work/short-names.iso" "$disc" 2>/dev/null
refused "CONFIGUR.INI" --programs "$programs" "$work/short-names.iso"
refused "neither a folder nor an ISO 9660 disc image" --programs "$programs" "$disc/Configuracion.ini"
refused "does not exist" --programs "$programs" "$work/nowhere"
[ ! -e "$XDG_CACHE_HOME/vardel/discs" ] || [ -z "$(ls -A "$XDG_CACHE_HOME/vardel/discs")" ] || fail "a refused disc left a folder"

echo "# a folder: every entry linked under its exact name, the disc's Windows files left out"
folder=$("$disc_sh" --programs "$programs" --quiet "$disc") || fail "the folder was refused"
[[ "$folder" == "$XDG_CACHE_HOME/vardel/discs/disc-"* ]] || fail "the default folder is $folder"
for name in Configuracion.ini GRAFICOS FICHEROS MUSICA EXTRAS ONDRAVIA.EXE "Léeme primero.txt" -raro; do
  [ -L "$folder/$name" ] && [ "$(readlink "$folder/$name")" = "$disc/$name" ] || fail "$name is not linked to the disc"
done
[ ! -e "$folder/HTML.OCX" ] && [ ! -e "$folder/MPEGDLL.DLL" ] || fail "the disc's own libraries were linked"
for p in ondravia ondravia-basic html.ocx mpegdll.dll webbrowser.so; do
  cmp -s "$folder/$p" "$programs/$p" && [ -x "$folder/$p" ] || fail "$p is not in the folder"
done
[ "$("$disc_sh" --programs "$programs" --quiet "$disc")" = "$folder" ] || fail "the same disc got another folder"
refused "lies inside the disc" --programs "$programs" "$disc" "$disc/run"

echo "# a folder that holds something else is left alone"
mkdir -p "$work/mine"
echo keep >"$work/mine/notes.txt"
refused "did not put there" --programs "$programs" "$disc" "$work/mine"
[ "$(ls -A "$work/mine")" = notes.txt ] && [ "$(cat "$work/mine/notes.txt")" = keep ] || fail "the other folder was changed"

echo "# refreshed: new programs come in, those gone leave, the disc is read again"
printf '#!/bin/sh\n# ondravia 2\n' >"$programs/ondravia.new" && chmod +x "$programs/ondravia.new"
mv -f "$programs/ondravia.new" "$programs/ondravia"
rm "$programs/webbrowser.so"
"$disc_sh" --programs "$programs" --quiet --refresh "$folder" >/dev/null || fail "the refresh failed"
cmp -s "$folder/ondravia" "$programs/ondravia" || fail "the refresh kept the old program"
[ ! -e "$folder/webbrowser.so" ] || fail "the refresh kept a library that is gone"
mv "$disc" "$work/moved-disc"
refused "is not there any more" --programs "$programs" --refresh "$folder"
mv "$work/moved-disc" "$disc"
[ "$(manifest "$disc")" = "$before" ] || fail "the folder disc was changed"

echo "# an ISO 9660 image, extracted as a user who may not write into what came off the disc"
# Staged under /tmp, which that user can reach wherever the build lies; the programs stay
# another's, so they are copied, not linked; the user has a cache of its own.
stage=$(mktemp -d "${TMPDIR:-/tmp}/vardel-disc-test.XXXXXX")
trap 'find "$stage" -type d ! -perm -u+w -exec chmod u+w {} + 2>/dev/null; rm -rf "$stage"' EXIT
chmod 755 "$stage"
cp "$disc_sh" "$stage/disc.sh"
cp -r "$programs" "$stage/programs"
programs="$stage/programs"
image="$stage/ondravia.iso"
xorriso -as mkisofs -R -J -V ONDRAVIA -o "$image" "$disc" 2>/dev/null
image_sum=$(sha1sum <"$image")
head -c 300000 "$image" >"$work/truncated.iso"
refused "cannot read $work/truncated.iso: bsdtar: Truncated" --programs "$programs" "$work/truncated.iso"
export XDG_CACHE_HOME="$stage/cache"
as_user=()
if [ "$(id -u)" = 0 ]; then
  install -d -o nobody "$XDG_CACHE_HOME"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run_image() { "${as_user[@]}" "$stage/disc.sh" --programs "$programs" --quiet "$image" 2>"$work/image.log"; }
folder=$(run_image) || fail "the image was refused: $(cat "$work/image.log")"
grep -q extracting "$work/image.log" || fail "the image was not extracted"
diff -r --no-dereference "$disc" "$folder" -x ondravia -x ondravia-basic -x html.ocx -x mpegdll.dll -x webbrowser.so \
  -x '.vardel-disc*' -x HTML.OCX -x MPEGDLL.DLL >"$work/diff.txt" 2>&1 || fail "the extracted disc differs: $(head -5 "$work/diff.txt")"
[ ! -e "$folder/HTML.OCX" ] && [ ! -e "$folder/MPEGDLL.DLL" ] || fail "the image's own libraries were kept"
[ "$(stat -c %a "$folder/GRAFICOS")" = 555 ] && [ "$(stat -c %a "$folder/FICHEROS/ART1.HTM")" = 444 ] || fail "the disc's modes were not kept"
for p in ondravia ondravia-basic html.ocx mpegdll.dll; do
  cmp -s "$folder/$p" "$programs/$p" && [ -x "$folder/$p" ] || fail "$p is not in the folder"
done
inode=$(stat -c %i "$folder/GRAFICOS/P3")
run_image >/dev/null || fail "the second run failed"
! grep -q extracting "$work/image.log" && [ "$(stat -c %i "$folder/GRAFICOS/P3")" = "$inode" ] || fail "an unchanged image was extracted again"
touch -d '2001-01-01' "$image"
run_image >/dev/null || fail "a changed image was refused: $(cat "$work/image.log")"
grep -q extracting "$work/image.log" && [ -f "$folder/GRAFICOS/P3" ] || fail "a changed image was not extracted again"
[ "$(sha1sum <"$image")" = "$image_sum" ] || fail "the image was changed"
[ "$(manifest "$disc")" = "$before" ] || fail "the folder disc was changed"
echo "ok"
