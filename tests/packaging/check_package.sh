#!/usr/bin/env bash
# Usage: check_package.sh BUILD_DIR DESKTOP_FILE
# Packs the build as a .deb and checks its file list, its dependencies, the desktop entry and the
# maintainer checks, then installs it into a throwaway root and upgrades it there, to see that
# the deployer's settings file is kept as a configuration file.
set -euo pipefail
build=$1
desktop=$2
for tool in cpack dpkg dpkg-deb desktop-file-validate lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh --test installs it)"
    exit 77
  fi
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
files=$(dpkg-deb -c "$deb")
status=0
for wanted in ./usr/lib/tavrin/tavrin ./etc/tavrin/confight.ini ./usr/lib/tavrin/tavrin-settings \
              ./usr/bin/tavrin ./usr/share/tavrin/translations/tavrin_en.qm ./usr/lib/tavrin/tavrin-cli ./usr/bin/tavrin-cli ./usr/share/man/man1/tavrin-cli.1.gz \
              ./usr/share/man/man1/tavrin.1.gz ./usr/share/man/man1/tavrin-settings.1.gz \
              ./usr/lib/udev/rules.d/60-tavrin.rules ./usr/share/applications/tavrin.desktop \
              ./usr/share/metainfo/org.example.tavrin.metainfo.xml \
              ./usr/share/icons/hicolor/48x48/apps/tavrin.png ./usr/share/icons/hicolor/scalable/apps/tavrin.svg; do
  if ! grep -q " $wanted\( ->.*\)\?\$" <<<"$files"; then
    echo "missing from the package: $wanted"
    status=1
  fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libhidapi-hidraw0 libqt6widgets6 qt6-translations-l10n; do
  if ! grep -q "$library" <<<"$depends"; then
    echo "missing dependency: $library (Depends: $depends)"
    status=1
  fi
done
desktop-file-validate "$desktop" || status=1
if ! grep -q ' ./usr/lib/tavrin/confight.ini -> /etc/tavrin/confight.ini$' <<<"$files"; then
  echo "the settings file beside the programs is not a link to /etc/tavrin/confight.ini"
  status=1
fi
if [ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)" != /etc/tavrin/confight.ini ]; then
  echo "/etc/tavrin/confight.ini is not the package's configuration file"
  status=1
fi
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1; then
  cat "$out/lintian.log"
  echo "lintian finds errors or warnings"
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
