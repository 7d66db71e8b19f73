# A fake magazine disc made from the demo magazine, with the quirks of the real one: names in
# upper case, articles under 8.3 names, read-only files and folders, Configuracion.ini in
# Windows-1252 with CRLF naming the articles in another case, articles in Windows-1252 without
# a declaration, links and pictures whose case differs from the file's, and the disc's own
# Windows program files. Source this file, then: fake_disc <program folder> <new folder>.
#
# The first city's article then has the title FAKE_DISC_TITLE (a Windows-1252 byte in it) and
# starts with a 600x120 picture linking to the second city's article.
FAKE_DISC_TITLE="ONDRAVIA VARDEL - Otoño en Vardel"

fake_disc() {
  local demo="$1" disc="$2" n name file upper links="" first="" second=""
  rm -rf "$disc"
  mkdir -p "$disc/GRAFICOS" "$disc/FICHEROS/IMAGENES" "$disc/MUSICA" "$disc/EXTRAS/TUMBLO"
  for file in "$demo"/Graficos/*; do cp "$file" "$disc/GRAFICOS/$(basename "$file" | tr a-z A-Z)"; done
  for file in "$demo"/Ficheros/imagenes/*; do cp "$file" "$disc/FICHEROS/IMAGENES/$(basename "$file" | tr a-z A-Z)"; done
  cp "$demo/Musica/Ondravia.mp3" "$disc/MUSICA/ONDRAVIA.MP3"
  cp "$demo/Extras/Tumblo/Tumblo.exe" "$disc/EXTRAS/TUMBLO/TUMBLO.EXE"
  printf 'MZ fake Windows file\r\n' >"$disc/HTML.OCX"
  printf 'MZ fake Windows file\r\n' >"$disc/MPEGDLL.DLL"
  printf 'MZ fake Windows file\r\n' >"$disc/ONDRAVIA.EXE"

  # City n's article becomes ARTn.HTM; the configuration and the links name it in other cases.
  local config=$'\n'
  while IFS='=' read -r n name; do
    n="${n#Ciudad}"
    [ -n "$first" ] || first="$name"
    [ -n "$second" ] || [ "$name" = "$first" ] || second="Art$n.Htm"
    config+="s/^Ciudad$n=.*\r\$/Ciudad$n=art$n.htm\r/"$'\n'
    links+="s/href=\"$name\\([#\"]\\)/href=\"Art$n.Htm\\1/g"$'\n'
  done < <(LC_ALL=C sed -n '/^\[Ficheros\]/,/^\[/{ s/\r$//; /^Ciudad[0-9]*=/p }' "$demo/Configuracion.ini")
  LC_ALL=C sed "/^\[Ficheros\]/,/^\[/{ $config }" "$demo/Configuracion.ini" >"$disc/Configuracion.ini"

  for file in "$demo"/Ficheros/*.html; do
    name=$(basename "$file")
    upper=$(LC_ALL=C grep -m1 -i "^Ciudad[0-9]*=$name"$'\r'"\$" "$demo/Configuracion.ini" | sed 's/^Ciudad\([0-9]*\)=.*/ART\1.HTM/' || true)
    [ -n "$upper" ] || upper=$(echo "$name" | tr a-z A-Z)
    # Only the Windows-1252 articles lose their declaration; a UTF-8 one keeps it.
    LC_ALL=C sed -e '/<meta[^>]*charset=windows-1252/Id' -e "$links" "$file" >"$disc/FICHEROS/$upper"
  done
  local title
  title=$(printf '%s' "$FAKE_DISC_TITLE" | iconv -f UTF-8 -t WINDOWS-1252)
  LC_ALL=C sed -i -e "s|<title>[^<]*</title>|<title>$title</title>|" \
    -e "0,/<body[^>]*>/s|<body[^>]*>|&<a href=\"$second\"><img src=\"imagenes/${first%.html}.jpg\" width=\"600\" height=\"120\" border=\"0\"></a>|" \
    "$disc/FICHEROS/ART1.HTM"
  chmod -R a-w "$disc"
}
