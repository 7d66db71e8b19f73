#!/usr/bin/env bash
# Makes a magazine's run folder from a magazine disc without writing anything to the disc.
#   disc.sh [--quiet] SOURCE [FOLDER]
#   disc.sh [--quiet] --refresh FOLDER
# SOURCE is the disc: its folder (a mounted disc or a copy), an ISO 9660 image or a CD device,
# read with bsdtar (no mounting, no root). FOLDER (by default one of its own under
# ${XDG_CACHE_HOME:-~/.cache}/vardel/discs/) receives every entry of the disc, linked from a
# folder or extracted from an image, with its name exactly as it is: the programs match names
# without regard to case. The folder is content only: the programs stay where they are installed
# and are told the folder (start.sh --folder FOLDER). Running it again on the same FOLDER brings
# it up to date (an unchanged image is not extracted again); --refresh does so from the disc
# recorded in FOLDER. Only what disc.sh put there is ever removed: a file saved into FOLDER stays,
# and keeps its name against the disc. A FOLDER that holds anything else is refused.
# Prints FOLDER on standard output; everything else goes to standard error.
set -euo pipefail
shopt -s nullglob dotglob
here="$(cd "$(dirname "$(readlink -f "$0")")" && pwd)"

fail() { echo "disc: $*" >&2; exit 1; }
note() { echo "disc: $*" >&2; }

quiet=0
refresh=0
positional=()
while [ $# -gt 0 ]; do
  case "$1" in
    --quiet) quiet=1; shift ;;
    --refresh) refresh=1; shift ;;
    -h|--help) sed -n '2,14s/^# \{0,1\}//p' "$0"; exit 0 ;;
    --) shift; positional+=("$@"); break ;;
    -?*) fail "unknown option $1 (see disc.sh --help)" ;;
    *) positional+=("$1"); shift ;;
  esac
done
set -- "${positional[@]}"
if [ "$refresh" = 1 ]; then
  [ $# = 1 ] || fail "usage: disc.sh [--quiet] --refresh FOLDER"
else
  [ $# = 1 ] || [ $# = 2 ] || fail "usage: disc.sh [--quiet] SOURCE [FOLDER]"
fi

# The names of the program's own files, which earlier versions of this script put into the
# folder and a disc never brings in (compared without regard to case: a disc carries HTML.OCX
# and MPEGDLL.DLL for Windows; they are data here, but a library's name is kept free of them).
program_files=(ondravia ondravia-basic html.ocx mpegdll.dll webbrowser.so)
# The marker (the disc and its state), the manifest of what this script put into the folder
# (top-level names, each ended by a NUL), and the lock.
marker=.vardel-disc
manifest=.vardel-disc.entries
lock=.vardel-disc.lock
is_program_file() {  # name
  local name="${1,,}" own
  for own in "${program_files[@]}"; do [ "$name" = "$own" ] && return 0; done
  return 1
}
# True for the names of this script's own bookkeeping, which no disc may bring in.
is_ours() { [[ "${1,,}" == "$marker"* ]]; }

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

# The names this script put into the folder, one a line of output ended by NUL. A folder made
# before the manifest existed counts as this script's the program files and the disc's
# top-level names; anything else there is the person's.
own_entries() {
  if [ -f "$folder/$manifest" ]; then
    cat -- "$folder/$manifest"
    return
  fi
  [ -f "$folder/$marker" ] || return 0
  local name
  for name in "${program_files[@]}"; do printf '%s\0' "$name"; done
  while IFS= read -r name; do [ -n "$name" ] && printf '%s\0' "$name"; done <<<"$(top_names)"
}
write_manifest() {  # names...
  local name
  for name in "$@"; do printf '%s\0' "$name"; done >"$folder/$manifest.new"
  mv -f -- "$folder/$manifest.new" "$folder/$manifest"
}
# Every entry name present in the folder, apart from the bookkeeping.
present_entries() {
  local entry
  for entry in "$folder"/*; do is_ours "${entry##*/}" || printf '%s\0' "${entry##*/}"; done
}

# Removes what this script put into the folder, and nothing else. Links are removed as links;
# extracted folders, read-only as they came off the disc, are made writable first (find does
# not follow links, so nothing outside the folder changes).
clear_content() {
  local name entry
  while IFS= read -r -d '' name; do
    case "$name" in ''|.|..|*/*) continue ;; esac
    is_ours "$name" && continue
    entry="$folder/$name"
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    if [ -d "$entry" ] && [ ! -L "$entry" ]; then
      find "$entry" -type d ! -perm -u+wx -exec chmod u+wx {} +
    fi
    rm -rf -- "$entry"
  done < <(own_entries)
  write_manifest
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
kept=()
made=()
if [ "$kind" = folder ]; then
  write_marker ""
  clear_content
  for entry in "$source"/*; do
    name="${entry##*/}"
    if is_ours "$name" || is_program_file "$name"; then left_out+=("$name"); continue; fi
    if [ -e "$folder/$name" ] || [ -L "$folder/$name" ]; then kept+=("$name"); continue; fi
    ln -s -- "$entry" "$folder/$name"
    made+=("$name")
  done
  write_manifest "${made[@]}"
elif [ "$previous_source" = "$source" ] && [ "$previous_kind" = image ] && [ -n "$previous_stamp" ] \
     && [ "$previous_stamp" = "$stamp" ] && [ -f "$folder/$manifest" ]; then
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
  # What is there now is the person's: extraction keeps it (-k) and the manifest leaves it out.
  declare -A before=()
  while IFS= read -r -d '' name; do before["$name"]=1; done < <(present_entries)
  note "extracting $source into $folder"
  if ! errors=$(bsdtar -xkf "$source" -C "$folder" --no-same-owner --exclude "$marker*" 2>&1); then
    chmod u+wx "$folder"
    while IFS= read -r -d '' name; do [ -n "${before[$name]:-}" ] || made+=("$name"); done < <(present_entries)
    write_manifest "${made[@]}"
    clear_content   # the marker stays, without a stamp: incomplete, and the person's files stay too
    fail "cannot read $source: $errors"
  fi
  chmod u+wx "$folder"   # the image's root entry may have made it read-only
  while IFS= read -r -d '' name; do
    [ -n "${before[$name]:-}" ] && continue
    entry="$folder/$name"
    if is_program_file "$name"; then
      left_out+=("$name")
      [ -d "$entry" ] && [ ! -L "$entry" ] && find "$entry" -type d ! -perm -u+wx -exec chmod u+wx {} +
      rm -rf -- "$entry"
      continue
    fi
    made+=("$name")
  done < <(present_entries)
  for name in "${!before[@]}"; do
    has_entry "$name" && kept+=("$name")
  done
  write_manifest "${made[@]}"
  write_marker "$stamp"
fi
for name in "${left_out[@]}"; do
  note "left out the disc's own $name: the programs use only their own libraries"
done
for name in "${kept[@]}"; do
  note "kept $folder/$name, which is not the disc's: the disc's $name is left out"
done

if [ "$quiet" = 0 ]; then
  note "$folder is ready; run it with: scripts/run.sh --folder $folder [ondravia|ondravia-basic]"
fi
printf '%s\n' "$folder"
