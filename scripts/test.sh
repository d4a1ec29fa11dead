#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/build.sh -DTAVRIN_BUILD_TESTS=ON
cd build
ctest --output-on-failure -j "$(nproc)"
