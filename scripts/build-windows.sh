#!/usr/bin/env bash
# Cross-builds Tavrin's Windows programs and their tests into build-windows/ with mingw-w64, on
# the libraries scripts/setup-windows.sh built, and packs the Windows release zip. The Linux build
# in build/ comes first: the Windows end-to-end tests run the module emulator it builds. Warnings
# are errors under CI.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(scripts/setup-windows.sh | tail -n1)
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DTAVRIN_WINDOWS_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DTAVRIN_WERROR="$werror" -DTAVRIN_LINUX_BUILD="$PWD/build" "$@"
cmake --build build-windows -j "$(nproc)"
(cd build-windows && cpack -G ZIP >/dev/null && ls "$PWD"/tavrin-*-windows-x64.zip)
