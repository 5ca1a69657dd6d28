#!/usr/bin/env bash
# Configures (once) and builds both trees: <build>/win32 holds the shipped 32-bit binaries,
# <build>/win64 the same sources as 64-bit programs with the tests, for 64-bit Wine.
# Usage: build.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

configure_and_build() {  # <tree> <toolchain> <extra cmake args...>
  local tree=$1 toolchain=$2
  shift 2
  mkdir -p "$tree"
  if [ ! -f "$tree/build.ninja" ]; then
    cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" "$@" >"$tree/configure.log" 2>&1 \
      || { cat "$tree/configure.log" >&2; exit 1; }
  fi
  cmake --build "$tree" >"$tree/build.log" 2>&1 || { cat "$tree/build.log" >&2; exit 1; }
}

configure_and_build "$build/win32" mingw-i686.cmake -DBUILD_TESTING=OFF
configure_and_build "$build/win64" mingw-x86_64.cmake -DHOPSTART_WIN32_BIN="$build/win32/bin"
