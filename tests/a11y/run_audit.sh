#!/bin/sh
# Runs the accessibility audit of the demo window on a virtual X server, with a private session bus
# that starts the accessibility bus on demand and folders of its own for everything the run writes.
# Usage: run_audit.sh <tavrin-demo> <audit.py>
# Exits 77, which ctest counts as skipped, with the reason when a package the audit needs is missing.
set -u
demo=$1
audit=$2

skip() {
  echo "SKIPPED: $*"
  exit 77
}

[ -x /usr/bin/python3 ] || skip "/usr/bin/python3 is missing (Debian packages python3-gi gir1.2-atspi-2.0)"
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' 2>/dev/null ||
  skip "/usr/bin/python3 cannot load gi.repository.Atspi (Debian packages python3-gi gir1.2-atspi-2.0)"
for tool in xvfb-run xauth dbus-run-session dbus-daemon; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing (Debian packages xvfb xauth dbus-bin dbus-daemon)"
done
[ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "the accessibility bus is missing (Debian package at-spi2-core)"

settings="$(dirname "$demo")/confight.ini"
if [ ! -x "$demo" ] || [ ! -f "$settings" ]; then
  echo "FAILED: $demo or the settings file beside it is missing; build the project first"
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-a11y.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
mkdir -p "$work/app" "$work/runtime" "$work/config" "$work/data" "$work/cache" "$work/state"
chmod 700 "$work/runtime"
# The demo runs from a copy beside a copy of its settings file, so nothing it saves lands in the build.
cp "$demo" "$settings" "$work/app/"

export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state"
# The audit reads the Chinese window, whatever the locale of the machine.
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TAVRIN_LANG=zh
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS

# -noreset: the accessibility bus launcher is the server's first client and soon leaves again; a
# server that resets then refuses the demo if it connects at that moment.
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
  dbus-run-session -- /usr/bin/python3 "$audit" "$work/app/$(basename "$demo")"
