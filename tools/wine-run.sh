#!/usr/bin/env bash
# Runs a Windows program of this build under Wine, in the build tree's private prefix.
# The prefix lives beside the binaries: <build>/wineprefix, found from this script's caller's
# build directory (HOPSTART_BUILD) or from the program's own path.
set -u
prog=$1; shift
build=${HOPSTART_BUILD:-}
if [ -z "$build" ]; then
  d=$(cd "$(dirname "$prog")" && pwd)
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  build=$d
fi
export WINEPREFIX="$build/wineprefix" WINEDEBUG=${WINEDEBUG:--all}
exec wine "$prog" "$@"
