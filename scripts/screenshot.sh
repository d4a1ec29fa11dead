#!/bin/sh
# Takes the README's screenshot of the demo window after a search, or of its key table, in one
# language, on a virtual X server. Usage: scripts/screenshot.sh zh|en OUTPUT.png [table]
# (after a build in build/)
set -eu
language=$1
output=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
bin="$here/../build/bin"
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-shot.XXXXXX")
trap 'kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/app/translations" "$work/fb" "$work/runtime"
chmod 700 "$work/runtime"
# A copy beside a copy of the settings file, so nothing the demo saves lands in the build.
cp "$bin/tavrin-demo" "$bin/confight.ini" "$work/app/"
cp "$bin/translations/"*.qm "$work/app/translations/"
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x1024x24 -fbdir "$work/fb" -noreset -nocursor >/dev/null 2>&1 &
server=$!
sleep 1
export DISPLAY="$display" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
dbus-run-session -- /usr/bin/python3 "$here/screenshot.py" "$work/app/tavrin-demo" "$language" "$output" \
  "$work/fb/Xvfb_screen0" "${3:-window}"
