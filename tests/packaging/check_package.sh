#!/usr/bin/env bash
# Usage: check_package.sh BUILD_DIR DESKTOP_FILE
# Packs the build as a .deb and checks its file list, its dependencies and the desktop entry.
set -euo pipefail
build=$1
desktop=$2
for tool in cpack dpkg-deb desktop-file-validate; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
files=$(dpkg-deb -c "$deb")
status=0
for wanted in ./usr/lib/tavrin/tavrin ./usr/lib/tavrin/confight.ini ./usr/lib/tavrin/tavrin-settings \
              ./usr/share/tavrin/translations/tavrin_en.qm \
              ./usr/bin/tavrin ./usr/lib/udev/rules.d/60-tavrin.rules ./usr/share/applications/tavrin.desktop \
              ./usr/share/icons/hicolor/48x48/apps/tavrin.png ./usr/share/icons/hicolor/scalable/apps/tavrin.svg; do
  if ! grep -q " $wanted\( ->.*\)\?\$" <<<"$files"; then
    echo "missing from the package: $wanted"
    status=1
  fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libhidapi-hidraw0 libqt6widgets6; do
  if ! grep -q "$library" <<<"$depends"; then
    echo "missing dependency: $library (Depends: $depends)"
    status=1
  fi
done
desktop-file-validate "$desktop" || status=1
[ $status -eq 0 ] && echo "package $(basename "$deb") holds everything"
exit $status
