#!/usr/bin/env bash
# Installs what the build, the tests and the demo need from Debian's archive, when it is missing.
# Idempotent: on a machine that has everything it only checks, in well under a second.
set -euo pipefail

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake ninja-build wine wine64
          clang libclang-rt-14-dev xvfb xauth x11-apps imagemagick python3)
need=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "setup: installing ${need[*]}" >&2
$SUDO apt-get update -qq </dev/null >/dev/null
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" \
  </dev/null >/dev/null
