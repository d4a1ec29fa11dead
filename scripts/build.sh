#!/usr/bin/env bash
# Configures and builds Tavrin into build/. Warnings are errors under CI.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -DTAVRIN_WERROR="$werror" "$@"
cmake --build build -j "$(nproc)"
