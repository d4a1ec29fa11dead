#!/usr/bin/env bash
# Sets up, builds and runs every test: the Linux build and its tests, then the Windows programs,
# cross-built, with their tests under Wine. The first run builds Qt for Windows (about 45 minutes
# on two cores); later runs reuse it. Usage: scripts/test.sh [--linux-only]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/build.sh -DTAVRIN_BUILD_TESTS=ON
(cd build && ctest --output-on-failure -j "$(nproc)")
[ "${1:-}" = "--linux-only" ] && exit 0
scripts/build-windows.sh -DTAVRIN_BUILD_TESTS=ON
cd build-windows
ctest --output-on-failure -j "$(nproc)"
