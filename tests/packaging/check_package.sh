#!/usr/bin/env bash
# Usage: check_package.sh BUILD_DIR DESKTOP_FILE
# Packs the build as a .deb and checks its file list, its dependencies, the desktop entry, the
# hardening of its programs and the maintainer checks, then installs it into a throwaway root and
# upgrades it there, to see that the deployer's settings file is kept as a configuration file.
set -euo pipefail
build=$1
desktop=$2
for tool in cpack dpkg dpkg-deb desktop-file-validate lintian readelf; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh --test installs it)"
    exit 77
  fi
done
# The programs hold the paths of their installed files, so the package needs a build for /usr.
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if [ "$prefix" != /usr ]; then
  echo "the build is for $prefix, the package for /usr: configure it with -DCMAKE_INSTALL_PREFIX=/usr"
  exit 1
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
files=$(dpkg-deb -c "$deb")
status=0
for wanted in ./usr/bin/tavrin ./usr/bin/tavrin-cli ./usr/bin/tavrin-settings ./etc/tavrin/confight.ini \
              ./usr/share/tavrin/translations/tavrin_en.qm ./usr/share/man/man1/tavrin-cli.1.gz \
              ./usr/share/man/man1/tavrin.1.gz ./usr/share/man/man1/tavrin-settings.1.gz \
              ./usr/share/man/man5/tavrin-keymap.5.gz \
              ./usr/lib/udev/rules.d/60-tavrin.rules ./usr/share/tavrin/udev/61-tavrin-plugdev.rules \
              ./usr/share/applications/tavrin.desktop ./usr/share/metainfo/org.example.tavrin.metainfo.xml \
              ./usr/share/icons/hicolor/48x48/apps/tavrin.png ./usr/share/icons/hicolor/scalable/apps/tavrin.svg; do
  if ! grep -q " $wanted\$" <<<"$files"; then
    echo "missing from the package (or not a regular file): $wanted"
    status=1
  fi
done
# The programs are commands; the group rule is an example, active only where copied.
for unwanted in ./usr/lib/tavrin/ ./usr/lib/udev/rules.d/61-tavrin-plugdev.rules; do
  if grep -q " $unwanted" <<<"$files"; then
    echo "the package holds $unwanted"
    status=1
  fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libhidapi-hidraw0 libqt6widgets6 libstdc++6; do
  if ! grep -q "$library" <<<"$depends"; then
    echo "missing dependency: $library (Depends: $depends)"
    status=1
  fi
done
# Qt's translations are a large download the programs run without.
if grep -q qt6-translations-l10n <<<"$depends" || ! grep -q qt6-translations-l10n <<<"$(dpkg-deb -f "$deb" Recommends)"; then
  echo "qt6-translations-l10n is not a recommendation only (Depends: $depends)"
  status=1
fi
desktop-file-validate "$desktop" || status=1
if [ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)" != /etc/tavrin/confight.ini ]; then
  echo "/etc/tavrin/confight.ini is not the package's configuration file"
  status=1
fi
# Debian's hardening in every program: fortified functions, relocations read-only and bound at
# start; and the C++ runtime shared, as Debian links it.
dpkg-deb -x "$deb" "$out/unpacked"
for program in tavrin tavrin-cli tavrin-settings; do
  binary=$out/unpacked/usr/bin/$program
  elf=$(readelf -lW --dynamic --dyn-syms "$binary")
  grep -q GNU_RELRO <<<"$elf" || { echo "$program: no read-only relocations"; status=1; }
  grep -q 'BIND_NOW\|FLAGS_1.*NOW' <<<"$elf" || { echo "$program: relocations not bound at start"; status=1; }
  grep -q '__[a-z]*printf_chk' <<<"$elf" || { echo "$program: no fortified functions"; status=1; }
  grep -q 'NEEDED.*libstdc++' <<<"$elf" || { echo "$program: the C++ runtime is not shared"; status=1; }
done
if ! lintian --info --fail-on error,warning,info --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1; then
  cat "$out/lintian.log"
  echo "lintian finds errors, warnings or notes"
  status=1
fi

# Install and upgrade in a root and package database of our own; the machine's stay untouched.
root=$out/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/updates" "$admin/info"
touch "$admin/status" "$admin/available"
install_deb() {
  dpkg --root="$root" --admindir="$admin" --force-depends --force-script-chrootless --force-not-root \
       --force-confold --log=/dev/null -i "$1" >"$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; return 1; }
}
conffile=$root/etc/tavrin/confight.ini
install_deb "$deb" || status=1
printf '[String]\r\nman=deployer\r\n' >>"$conffile"
edited=$(cat "$conffile")

# The next version ships a changed default file.
dpkg-deb -R "$deb" "$out/next"
sed -i 's/^Version: .*/Version: 99.0.0/' "$out/next/DEBIAN/control"
printf '[extra]\r\n' >>"$out/next/etc/tavrin/confight.ini"
dpkg-deb --root-owner-group -b "$out/next" "$out/next.deb" >/dev/null
install_deb "$out/next.deb" || status=1
if [ "$(dpkg-query --admindir="$admin" -W -f='${Version}' tavrin)" != 99.0.0 ]; then
  echo "the upgrade did not install"
  status=1
elif [ "$(cat "$conffile")" != "$edited" ]; then
  echo "the upgrade replaced the deployer's edited settings file"
  status=1
elif ! cmp -s "$conffile.dpkg-dist" "$out/next/etc/tavrin/confight.ini"; then
  echo "the upgrade did not treat the edited settings file as a configuration file to ask about"
  status=1
fi
[ $status -eq 0 ] && echo "package $(basename "$deb") holds everything and keeps the deployer's settings"
exit $status
