#!/usr/bin/env bash
# scripts/disc.sh on fake discs: folders and ISO 9660 images made here, never written to; what is
# refused and why; names kept exactly; read-only content replaced when the image changes; only
# what disc.sh put into its folder removed, whatever the person saved there kept.
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
refused "has no Configuracion.ini" "$work/empty"
refused "there is one in $work/nested/ONDRAVIA" "$work/nested"
xorriso -as mkisofs --norock -o "$work/short-names.iso" "$disc" 2>/dev/null
refused "CONFIGUR.INI" "$work/short-names.iso"
refused "neither a folder nor an ISO 9660 disc image" "$disc/Configuracion.ini"
refused "does not exist" "$work/nowhere"
[ ! -e "$XDG_CACHE_HOME/vardel/discs" ] || [ -z "$(ls -A "$XDG_CACHE_HOME/vardel/discs")" ] || fail "a refused disc left a folder"

echo "# a folder: every entry linked under its exact name, the disc's Windows files left out, no program"
folder=$("$disc_sh" --quiet "$disc") || fail "the folder was refused"
[[ "$folder" == "$XDG_CACHE_HOME/vardel/discs/disc-"* ]] || fail "the default folder is $folder"
for name in Configuracion.ini GRAFICOS FICHEROS MUSICA EXTRAS ONDRAVIA.EXE "Léeme primero.txt" -raro; do
  [ -L "$folder/$name" ] && [ "$(readlink "$folder/$name")" = "$disc/$name" ] || fail "$name is not linked to the disc"
done
[ ! -e "$folder/HTML.OCX" ] && [ ! -e "$folder/MPEGDLL.DLL" ] || fail "the disc's own libraries were linked"
for p in ondravia ondravia-basic html.ocx mpegdll.dll webbrowser.so; do
  [ ! -e "$folder/$p" ] || fail "$p was put into the folder"
done
[ "$("$disc_sh" --quiet "$disc")" = "$folder" ] || fail "the same disc got another folder"
refused "lies inside the disc" "$disc" "$disc/run"

echo "# a folder that holds something else is left alone"
mkdir -p "$work/mine"
echo keep >"$work/mine/notes.txt"
refused "did not put there" "$disc" "$work/mine"
[ "$(ls -A "$work/mine")" = notes.txt ] && [ "$(cat "$work/mine/notes.txt")" = keep ] || fail "the other folder was changed"

echo "# refreshed: the disc is read again; what the person saved there stays"
echo mine >"$folder/carta.rtf"
mkdir "$folder/Mis cosas" && echo mine >"$folder/Mis cosas/x"
rm "$folder/GRAFICOS"
"$disc_sh" --quiet --refresh "$folder" >/dev/null || fail "the refresh failed"
[ -L "$folder/GRAFICOS" ] || fail "the refresh did not link the disc again"
[ "$(cat "$folder/carta.rtf")" = mine ] && [ "$(cat "$folder/Mis cosas/x")" = mine ] || fail "the refresh removed the person's files"
echo "# a folder made before the manifest: its programs and the disc's names go, the person's files stay"
legacy="$work/legacy"
mkdir -p "$legacy"
printf 'source=%s\nkind=folder\nstamp=\n' "$disc" >"$legacy/.vardel-disc"
for name in ondravia html.ocx GRAFICOS Configuracion.ini; do echo old >"$legacy/$name"; done
echo mine >"$legacy/carta.rtf"
"$disc_sh" --quiet "$disc" "$legacy" >/dev/null || fail "the old folder was refused"
[ ! -e "$legacy/ondravia" ] && [ ! -e "$legacy/html.ocx" ] && [ -L "$legacy/GRAFICOS" ] || fail "the old folder was not renewed"
[ "$(cat "$legacy/carta.rtf")" = mine ] || fail "the old folder lost the person's file"
mv "$disc" "$work/moved-disc"
refused "is not there any more" --refresh "$folder"
mv "$work/moved-disc" "$disc"
[ "$(manifest "$disc")" = "$before" ] || fail "the folder disc was changed"

echo "# an ISO 9660 image, extracted as a user who may not write into what came off the disc"
# Staged under /tmp, which that user can reach wherever the build lies; the user has a cache of
# its own.
stage=$(mktemp -d "${TMPDIR:-/tmp}/vardel-disc-test.XXXXXX")
trap 'find "$stage" -type d ! -perm -u+w -exec chmod u+w {} + 2>/dev/null; rm -rf "$stage"' EXIT
chmod 755 "$stage"
cp "$disc_sh" "$stage/disc.sh"
image="$stage/ondravia.iso"
xorriso -as mkisofs -R -J -V ONDRAVIA -o "$image" "$disc" 2>/dev/null
image_sum=$(sha1sum <"$image")
head -c 300000 "$image" >"$work/truncated.iso"
refused "cannot read $work/truncated.iso: bsdtar: Truncated" "$work/truncated.iso"
export XDG_CACHE_HOME="$stage/cache"
as_user=()
if [ "$(id -u)" = 0 ]; then
  install -d -o nobody "$XDG_CACHE_HOME"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run_image() { "${as_user[@]}" "$stage/disc.sh" --quiet "$image" 2>"$work/image.log"; }
folder=$(run_image) || fail "the image was refused: $(cat "$work/image.log")"
grep -q extracting "$work/image.log" || fail "the image was not extracted"
diff -r --no-dereference "$disc" "$folder" -x '.vardel-disc*' -x HTML.OCX -x MPEGDLL.DLL >"$work/diff.txt" 2>&1 || fail "the extracted disc differs: $(head -5 "$work/diff.txt")"
[ ! -e "$folder/HTML.OCX" ] && [ ! -e "$folder/MPEGDLL.DLL" ] || fail "the image's own libraries were kept"
[ "$(stat -c %a "$folder/GRAFICOS")" = 555 ] && [ "$(stat -c %a "$folder/FICHEROS/ART1.HTM")" = 444 ] || fail "the disc's modes were not kept"
inode=$(stat -c %i "$folder/GRAFICOS/P3")
run_image >/dev/null || fail "the second run failed"
! grep -q extracting "$work/image.log" && [ "$(stat -c %i "$folder/GRAFICOS/P3")" = "$inode" ] || fail "an unchanged image was extracted again"
# A file the person saved into the run folder.
"${as_user[@]}" sh -c 'echo mine >"$1/carta.rtf"' - "$folder"
touch -d '2001-01-01' "$image"
run_image >/dev/null || fail "a changed image was refused: $(cat "$work/image.log")"
grep -q extracting "$work/image.log" && [ -f "$folder/GRAFICOS/P3" ] || fail "a changed image was not extracted again"
[ "$(cat "$folder/carta.rtf")" = mine ] || fail "the refresh removed the person's file"
[ "$(sha1sum <"$image")" = "$image_sum" ] || fail "the image was changed"
[ "$(manifest "$disc")" = "$before" ] || fail "the folder disc was changed"
echo "ok"
