#!/usr/bin/env bash
# Installs everything Tavrin needs to build, run and test on Debian 12 or Ubuntu. Safe to run
# again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools
  libhidapi-dev libudev-dev
  libgtest-dev libgmock-dev
  umockdev libumockdev-dev libglib2.0-dev
  desktop-file-utils dpkg-dev file lintian
  xvfb xauth fonts-wqy-zenhei fonts-noto-cjk
  at-spi2-core gir1.2-atspi-2.0 python3-gi dbus-x11
)

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
