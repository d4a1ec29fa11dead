#!/usr/bin/env bash
# Sets up, builds and starts Tavrin; with --demo, the same window against a virtual module, for
# trying it without one. Usage: scripts/start.sh [--demo] [--lang en|zh]
set -euo pipefail
cd "$(dirname "$0")/.."
program=tavrin
if [ "${1:-}" = "--demo" ]; then
  program=tavrin-demo
  shift
fi
scripts/setup.sh
# The tests are not built: their frameworks come with scripts/test.sh.
scripts/build.sh -DTAVRIN_BUILD_TESTS=OFF
exec "build/bin/$program" "$@"
