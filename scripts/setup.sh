#!/usr/bin/env bash
# Installs every Debian package needed to build, run, test and benchmark the magazine.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git
  # Qt: widgets, printing, SVG (content generator), WebEngine (browser control), Spanish dialogs
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev qt6-webengine-dev
  qt6-translations-l10n libgl1-mesa-dri libxkbcommon-dev
  # pictures, sound, CD, HTML, X11 window search
  libjpeg62-turbo-dev libmpg123-dev libout123-0 mpg123 libcdio-dev libcdio-paranoia-dev libsndfile1-dev
  libgumbo-dev libx11-dev libxcb1-dev libxcb-ewmh-dev
  # the size of a Wayland compositor's outputs, and the Wayland platform plug-in
  libwayland-dev qt6-wayland
  # demo content generation
  libmp3lame-dev lame
  # fonts with the metrics of the Windows core fonts
  fonts-liberation fonts-dejavu-core
  # tests: unit, widget, end to end, sound, text comparison
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils xauth imagemagick openbox xclip
  # the programs as native Wayland clients, on a compositor of the test's own
  weston
  pulseaudio pulseaudio-utils lynx w3m tesseract-ocr
  # the accessibility tree as a screen reader reads it, on a bus of the test's own
  at-spi2-core python3-pyatspi dbus-daemon
  # magazine discs and images (disc.sh), disc images made by tests
  libarchive-tools xorriso
  # the installation: icons rendered at build time, and the desktop's own validators
  librsvg2-bin desktop-file-utils appstream groff-base
  # printing through a real print service, read back from PDF; RTF readers to measure against
  cups-daemon cups-client printer-driver-cups-pdf poppler-utils unrtf pandoc
  # sanitizers and fuzzing
  clang-14 libclang-rt-14-dev
  # the source format check
  clang-format
  # the soak run: the suite under a CPU load on every core
  stress-ng
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${#missing[@]} package(s): ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
