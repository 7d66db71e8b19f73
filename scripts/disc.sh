#!/usr/bin/env bash
# Makes a runnable program folder from a magazine disc without writing anything to the disc.
#   disc.sh [--programs DIR] [--quiet] SOURCE [FOLDER]
#   disc.sh [--programs DIR] [--quiet] --refresh FOLDER
# SOURCE is the disc: its folder (a mounted disc or a copy), an ISO 9660 image or a CD device,
# read with bsdtar (no mounting, no root). FOLDER (by default one of its own under
# ${XDG_CACHE_HOME:-~/.cache}/vardel/discs/) receives the two programs and their libraries from
# DIR (by default the build's program folder, or this installation's) and every entry of the
# disc, linked from a folder or extracted from an image, with its name exactly as it is: the
# programs match names without regard to case. The disc's own Windows program files are left out.
# Running it again on the same FOLDER brings it up to date (an unchanged image is not extracted
# again); --refresh does so from the disc recorded in FOLDER. A FOLDER that holds anything else
# is refused. Prints FOLDER on standard output; everything else goes to standard error.
set -euo pipefail
shopt -s nullglob dotglob
here="$(cd "$(dirname "$(readlink -f "$0")")" && pwd)"

fail() { echo "disc: $*" >&2; exit 1; }
note() { echo "disc: $*" >&2; }

programs=""
quiet=0
refresh=0
positional=()
while [ $# -gt 0 ]; do
  case "$1" in
    --programs) [ $# -ge 2 ] || fail "--programs needs a folder"; programs="$2"; shift 2 ;;
    --quiet) quiet=1; shift ;;
    --refresh) refresh=1; shift ;;
    -h|--help) sed -n '2,13s/^# \{0,1\}//p' "$0"; exit 0 ;;
    --) shift; positional+=("$@"); break ;;
    -?*) fail "unknown option $1 (see disc.sh --help)" ;;
    *) positional+=("$1"); shift ;;
  esac
done
set -- "${positional[@]}"
if [ "$refresh" = 1 ]; then
  [ $# = 1 ] || fail "usage: disc.sh [--programs DIR] --refresh FOLDER"
else
  [ $# = 1 ] || [ $# = 2 ] || fail "usage: disc.sh [--programs DIR] SOURCE [FOLDER]"
fi

# What this program puts into the folder, and what of the disc it leaves out in their place
# (compared without regard to case: a disc carries HTML.OCX and MPEGDLL.DLL for Windows).
program_files=(ondravia ondravia-basic html.ocx mpegdll.dll webbrowser.so)
marker=.vardel-disc
lock=.vardel-disc.lock
is_program_file() {  # name
  local name="${1,,}" own
  for own in "${program_files[@]}"; do [ "$name" = "$own" ] && return 0; done
  return 1
}
# True for a name that this script owns in a folder.
is_ours() { is_program_file "$1" || [ "${1,,}" = "$marker" ] || [ "${1,,}" = "$lock" ]; }

# The programs: the installation's (given by its starter), else the build's in a source tree.
if [ -z "$programs" ]; then
  if [ -f "$here/../CMakeLists.txt" ] && [ -x "$here/build.sh" ]; then
    programs="$here/../build/Ondravia"
    if [ ! -x "$programs/ondravia" ] || [ ! -x "$programs/ondravia-basic" ]; then
      note "the programs are not built yet: building them first"
      "$here/build.sh" >&2
    fi
  else
    programs="$here/../../lib/vardel"
  fi
fi
programs="$(cd "$programs" 2>/dev/null && pwd)" || fail "no program folder at $programs"
for p in ondravia ondravia-basic; do
  [ -x "$programs/$p" ] || fail "$programs has no $p"
done

marker_value() {  # folder key: a value recorded in the folder's marker
  [ -f "$1/$marker" ] || return 0
  sed -n "s/^$2=//p" "$1/$marker" | head -n1
}

folder=""
if [ "$refresh" = 1 ]; then
  folder="$(realpath -m -- "$1")"
  [ -f "$folder/$marker" ] || fail "$folder was not made by disc.sh"
  source="$(marker_value "$folder" source)"
  [ -e "$source" ] || fail "the disc of $folder, $source, is not there any more (is it still mounted?)"
else
  [ -e "$1" ] || fail "$1 does not exist"
  source="$(realpath -- "$1")"
  [ $# = 2 ] && folder="$(realpath -m -- "$2")"
fi

is_iso_image() {  # An ISO 9660 volume descriptor lies at byte 32769 of sector 16.
  [ "$(dd if="$1" bs=1 skip=32769 count=5 2>/dev/null)" = CD001 ]
}
if [ -d "$source" ]; then
  kind=folder
elif { [ -f "$source" ] || [ -b "$source" ]; } && is_iso_image "$source"; then
  kind=image
  command -v bsdtar >/dev/null || fail "reading a disc image needs bsdtar (Debian package libarchive-tools)"
else
  fail "$source is neither a folder nor an ISO 9660 disc image"
fi

# The disc's entries: top-level names, and the names one level down (for the hints below).
if [ "$kind" = image ]; then
  entries=$(bsdtar -tf "$source" 2>/dev/null) \
    || fail "cannot read $source: $(bsdtar -tf "$source" 2>&1 >/dev/null | head -n1)"
  entries=$(sed 's|^\./||; s|/$||' <<<"$entries")
fi
top_names() {
  if [ "$kind" = folder ]; then
    local entry
    for entry in "$source"/*; do printf '%s\n' "${entry##*/}"; done
  else
    grep -v '/' <<<"$entries" || true
  fi
}
second_names() {
  if [ "$kind" = folder ]; then
    local entry
    for entry in "$source"/*/*; do printf '%s\n' "${entry#"$source"/}"; done
  else
    grep -E '^[^/]+/[^/]+$' <<<"$entries" || true
  fi
}
listing=$(top_names)
has_entry() { grep -qixF -- "$1" <<<"$listing"; }

if ! has_entry Configuracion.ini; then
  message="$source has no Configuracion.ini, so it is not a magazine disc"
  message+=" (a disc holds Configuracion.ini, Graficos, Ficheros, Musica and Extras)"
  deeper=$(second_names | grep -iE '(^|/)configuracion\.ini$' | head -n1 || true)
  if [ -n "$deeper" ] && [ "$kind" = folder ]; then
    message+="; there is one in $source/${deeper%/*}: use that folder"
  elif [ -n "$deeper" ]; then
    message+="; the image has one in its folder ${deeper%/*}"
  elif has_entry CONFIGUR.INI; then
    message+="; it has CONFIGUR.INI, a name cut to 8.3 characters: was the image made without Joliet or Rock Ridge names?"
  fi
  fail "$message"
fi
for part in Graficos Ficheros; do
  has_entry "$part" || note "warning: $source has no $part folder: the magazine will miss it"
done

if [ -z "$folder" ]; then
  name="$(basename -- "$source")"
  name="${name%.[iI][sS][oO]}"
  name="$(printf '%s' "$name" | tr -c 'A-Za-z0-9._-' '_')"
  id="$(printf '%s' "$source" | sha1sum | cut -c1-8)"
  folder="${XDG_CACHE_HOME:-$HOME/.cache}/vardel/discs/$name-$id"
fi
case "$folder/" in
  "$source"/*) fail "the folder $folder lies inside the disc $source, which is never written to" ;;
esac
case "$programs/" in
  "$folder"/*) fail "the folder $folder holds the programs themselves; choose another folder" ;;
esac

# A folder is ours when it carries the marker, or when it is empty.
foreign_entries() {
  local entry
  for entry in "$folder"/*; do is_ours "${entry##*/}" || { echo x; return; }; done
}
if [ -e "$folder" ] || [ -L "$folder" ]; then
  [ -d "$folder" ] || fail "$folder exists and is not a folder"
  if [ ! -f "$folder/$marker" ] && [ -n "$(foreign_entries)" ]; then
    fail "$folder already holds files that disc.sh did not put there; choose a new or empty folder"
  fi
fi
mkdir -p -- "$folder" || fail "cannot make the folder $folder"
[ -w "$folder" ] || fail "cannot write into $folder"
exec 9>"$folder/$lock"
flock 9

previous_source="$(marker_value "$folder" source)"
previous_kind="$(marker_value "$folder" kind)"
previous_stamp="$(marker_value "$folder" stamp)"
if [ -n "$previous_source" ] && [ "$previous_source" != "$source" ]; then
  note "$folder held $previous_source; it now holds $source"
fi

# Removes every entry of the disc from the folder. Links are removed as links; extracted
# folders, read-only as they came off the disc, are made writable first (find does not follow
# links, so nothing outside the folder changes).
clear_content() {
  local entry
  for entry in "$folder"/*; do
    is_ours "${entry##*/}" && continue
    if [ -d "$entry" ] && [ ! -L "$entry" ]; then
      find "$entry" -type d ! -perm -u+wx -exec chmod u+wx {} +
    fi
    rm -rf -- "$entry"
  done
}

stamp=""
if [ "$kind" = image ]; then
  stamp="$(stat -L -c '%s:%Y' -- "$source")"
fi
write_marker() {
  printf 'source=%s\nkind=%s\nstamp=%s\n' "$source" "$kind" "$1" >"$folder/$marker.new"
  mv -f "$folder/$marker.new" "$folder/$marker"
}

left_out=()
if [ "$kind" = folder ]; then
  write_marker ""
  clear_content
  for entry in "$source"/*; do
    name="${entry##*/}"
    if is_ours "$name"; then left_out+=("$name"); continue; fi
    ln -s -- "$entry" "$folder/$name"
  done
elif [ "$previous_source" = "$source" ] && [ "$previous_kind" = image ] && [ -n "$previous_stamp" ] \
     && [ "$previous_stamp" = "$stamp" ]; then
  : # the same image, already extracted completely
else
  # The marker without a stamp says "incomplete" until the extraction has succeeded.
  write_marker ""
  clear_content
  if [ -f "$source" ]; then
    need=$(( $(stat -L -c %s -- "$source") / 1024 ))
    room=$(df -Pk -- "$folder" | awk 'NR == 2 { print $4 }')
    [ "$need" -lt "$room" ] || fail "$folder has room for $((room / 1024)) MB; the image needs $((need / 1024)) MB"
  fi
  note "extracting $source into $folder"
  if ! errors=$(bsdtar -xf "$source" -C "$folder" --no-same-owner 2>&1); then
    chmod u+wx "$folder"
    clear_content
    rm -f -- "$folder/$marker"
    fail "cannot read $source: $errors"
  fi
  chmod u+wx "$folder"   # the image's root entry may have made it read-only
  for entry in "$folder"/*; do
    name="${entry##*/}"
    is_program_file "$name" || continue
    left_out+=("$name")
    [ -d "$entry" ] && [ ! -L "$entry" ] && find "$entry" -type d ! -perm -u+wx -exec chmod u+wx {} +
    rm -rf -- "$entry"
  done
  write_marker "$stamp"
fi
for name in "${left_out[@]}"; do
  note "left out the disc's own $name: this program's files take its place"
done

# The programs: hard links where the file system allows, else copies; replaced through a
# temporary name, so a program that is running keeps its file.
for name in "${program_files[@]}"; do
  target="$folder/$name"
  if [ ! -e "$programs/$name" ]; then
    rm -f -- "$target"
    continue
  fi
  if [ -e "$target" ] && { [ "$target" -ef "$programs/$name" ] || cmp -s -- "$target" "$programs/$name"; }; then
    continue
  fi
  rm -f -- "$target.new"
  ln -- "$programs/$name" "$target.new" 2>/dev/null || cp --preserve=mode,timestamps -- "$programs/$name" "$target.new" \
    || fail "cannot copy $programs/$name into $folder"
  mv -f -- "$target.new" "$target"
done

if [ "$quiet" = 0 ]; then
  note "$folder is ready; run it with: scripts/run.sh --folder $folder [ondravia|ondravia-basic]"
fi
printf '%s\n' "$folder"
