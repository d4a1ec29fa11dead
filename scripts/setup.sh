#!/usr/bin/env bash
# Installs what Tavrin needs to build and run on Debian 12 or Ubuntu; with --test, also what its
# tests need (scripts/test.sh passes it). Safe to run again: it installs only what is missing.
set -euo pipefail

# Building and running: the compiler, Qt with its translation tools and its own dialogs' Chinese,
# hidapi, udev and logind, the command-line and JSON libraries, and a font with the Chinese characters.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libhidapi-dev libudev-dev libsystemd-dev libcli11-dev nlohmann-json3-dev
  fonts-wqy-zenhei
)
# Testing: the test frameworks, the emulated hidraw nodes, the package and manual page checks (the
# desktop entry and the software centres' description too), virtual X and Wayland displays, the
# second CJK font, and the screen reader's view of the window; for the Windows programs, the
# mingw-w64 cross compiler, Ninja, Wine to run them under and a look at its windows
# (scripts/setup-windows.sh builds the libraries they need from Debian's sources).
test_packages=(
  libgtest-dev libgmock-dev
  umockdev libumockdev-dev libglib2.0-dev
  desktop-file-utils appstream dpkg-dev file lintian mandoc
  xvfb xauth fonts-noto-cjk
  weston qt6-wayland
  at-spi2-core gir1.2-atspi-2.0 python3-gi dbus-x11
  poppler-utils
  g++-mingw-w64-x86-64-posix mingw-w64-tools ninja-build wine wine64 x11-utils python3
)
case "${1:-}" in
  --test) packages+=("${test_packages[@]}") ;;
  "") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
