#!/usr/bin/env bash
# Builds, once, what Tavrin's Windows programs need and Debian does not package for mingw-w64:
# Qt 6 (from Debian's qt6-base source, the host's own version, as shared DLLs), hidapi (from
# Debian's hidapi source, unmodified) and GoogleTest (from Debian's googletest source). Everything
# lands in a cache folder outside the clone, $TAVRIN_WINDOWS_CACHE (default ~/.cache/tavrin-windows),
# and a part is built again only when its source or options change. The first run takes about 40
# minutes on two cores, nearly all of it Qt. It prints the folder the libraries are in.
# Usage: scripts/setup-windows.sh   (after scripts/setup.sh --test, which installs the compilers)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${TAVRIN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tavrin-windows}
prefix=$cache/prefix
toolchain=$here/cmake/mingw-w64.cmake
jobs=$(nproc)
mkdir -p "$cache/src" "$prefix"

# Debian's source packages through a sources list of our own, so the system's apt stays as it is.
fetch_source() { # package version
  local apt=$cache/apt
  if ! ls -d "$cache/src/$1"-*/ >/dev/null 2>&1; then
    mkdir -p "$apt/lists/partial" "$apt/archives/partial"
    local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::Archives=$apt/archives")
    if [ ! -f "$apt/sources.list" ]; then
      echo "deb-src http://deb.debian.org/debian bookworm main" > "$apt/sources.list"
      apt-get "${options[@]}" update -q
    fi
    (cd "$cache/src" && apt-get "${options[@]}" source -q "$1=$2")
  fi
}
source_version() { dpkg-query -W -f='${source:Version}' "$1"; }

# build_part NAME SOURCE [CMAKE OPTION...]: configures, builds and installs one library into the
# prefix, unless the same source was built with the same options before.
build_part() {
  local name=$1 src=$2
  shift 2
  local stamp=$prefix/.$name-built
  local wanted="$src $*"
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && return 0
  cmake -S "$src" -B "$cache/build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
  cmake --build "$cache/build/$name" -j "$jobs"
  cmake --install "$cache/build/$name"
  rm -rf "$cache/build/$name"
  echo "$wanted" > "$stamp"
}

build_qt() {
  fetch_source qt6-base "$(source_version qt6-base-dev)"
  # The host's Qt supplies the tools (moc, rcc, uic); the tarball lacks the tablet header the
  # windows plugin would include, so tablet events stay off, and without OpenGL its loader must be
  # off too. Only what Tavrin uses is built.
  build_part qt "$(ls -d "$cache/src"/qt6-base-*/ | head -n1)" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_icu=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_xml=OFF -DFEATURE_openssl=OFF
}

build_hidapi() {
  fetch_source hidapi "$(source_version libhidapi-dev)"
  # A static library, so the programs carry the very code Debian's source gives.
  build_part hidapi "$(ls -d "$cache/src"/hidapi-*/ | head -n1)" -DBUILD_SHARED_LIBS=OFF
}

# Header-only libraries are the host's own headers, copied so that the cross build sees no other
# host header beside them.
copy_header_libraries() {
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/CLI /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}

build_hidapi
build_part googletest /usr/src/googletest -Dgtest_disable_pthreads=OFF
copy_header_libraries
build_qt
echo "$prefix"
