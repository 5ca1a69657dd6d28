#!/usr/bin/env bash
# The whole test suite: set-up, both builds, a private Wine prefix, then CTest under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HOPSTART_BUILD_DIR:-$root/build}
bash "$root/tools/setup.sh"
"$root/tools/build.sh" "$build"
tree=$build/win64
"$root/tools/wineprefix.sh" "$tree"

export WINEPREFIX="$tree/wineprefix" WINEDEBUG=-all
# A persistent server keeps each test process start cheap; it is started with its stdio off any
# pipe (Wine's helpers inherit it) and stopped at the end.
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
status=0
(cd "$tree" && ctest --output-on-failure "$@") || status=$?
wineserver -k </dev/null >/dev/null 2>&1 || true
exit $status
