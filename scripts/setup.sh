#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the timing
# station needs. Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain; lld links several times faster than the default linker
  # (cmake/BuildSpeed.cmake takes mold or lld when there, else the default)
  g++ cmake ninja-build pkg-config git ccache lld
  # Qt 6: widgets, network, serial ports, charts, printing, sound, D-Bus
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-charts-dev
  qt6-multimedia-dev gstreamer1.0-plugins-good qt6-l10n-tools
  # the toolkit's own dialogs in Czech
  qt6-translations-l10n
  libqt6opengl6-dev
  # libraries
  libasound2-dev zlib1g-dev libjpeg62-turbo-dev libcurl4-openssl-dev
  # the spectators' live results page: its HTTP server and the QR code of its address
  libmicrohttpd-dev libqrencode-dev
  # fonts for print-outs and the Czech interface
  fonts-liberation fonts-dejavu-core
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3 python3-pyftpdlib
  # a private sound server with a null sink, reached through ALSA's pulse plugin (mixer test)
  pulseaudio pulseaudio-utils libasound2-plugins
  # the live results page looked at in a headless browser
  chromium
  # the desktop's launcher, to start the station from the entries it writes
  libglib2.0-bin
  # the accessibility bus the screen-reader tests read the running station through
  at-spi2-core
  # the Debian package: its making, its checks, the manual pages' index
  dpkg-dev lintian appstream man-db
  # fuzz targets (fuzz/run.sh): clang, and the sanitizer and libFuzzer runtimes it only recommends
  clang libclang-rt-dev
  # headless display for widget tests and screenshots
  xvfb xauth x11-apps imagemagick poppler-utils xdotool
  # screen-saver tests on a private session bus, desktop entry check, a window manager for screenshots
  dbus-daemon desktop-file-utils openbox
  # a private print server for the printing tests
  cups-daemon cups-client
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
