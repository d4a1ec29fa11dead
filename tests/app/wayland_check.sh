#!/usr/bin/env bash
# Usage: wayland_check.sh TEST_PROGRAM
# Runs the test program as a native Wayland client of a headless weston. Skipped (77) where weston
# or Qt's Wayland platform plugin is missing.
set -euo pipefail
program=$1
if ! command -v weston >/dev/null; then
  echo "SKIPPED: weston is not installed (scripts/setup.sh --test installs it)"
  exit 77
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
socket=tavrin-test
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=$socket --idle-time=0 >"$runtime/weston.log" 2>&1 &
compositor=$!
trap 'kill "$compositor" 2>/dev/null; wait "$compositor" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do
  [ -S "$runtime/$socket" ] && break
  sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
  cat "$runtime/weston.log"
  echo "weston did not start"
  exit 1
fi
status=0
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$program" >"$runtime/out" 2>&1 || status=$?
if grep -q 'platform plugin "wayland"' "$runtime/out"; then
  echo "SKIPPED: Qt's Wayland platform plugin is missing (qt6-wayland)"
  exit 77
fi
cat "$runtime/out"
exit $status
