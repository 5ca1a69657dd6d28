#!/usr/bin/env bash
# Creates the build tree's Wine prefix once, with the null graphics driver so that windows,
# menus and toolbars work without a display. Usage: wineprefix.sh <build dir> [variant]
# A variant gets its own prefix, <build dir>/wineprefix-<variant>; a variant named "x11" or ending
# in "-x11" keeps Wine's normal display driver (for pictures under Xvfb).
set -eu
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/wineprefix${2:+-$2}" WINEDEBUG=-all
[ -f "$WINEPREFIX/.hopstart-ready" ] && exit 0
rm -rf "$WINEPREFIX"
# Wine's helper processes inherit our stdio: keep them off any pipe.
wineboot -i </dev/null >/dev/null 2>&1
if [[ "${2:-}" != x11 && "${2:-}" != *-x11 ]]; then
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
fi
wineserver -w
touch "$WINEPREFIX/.hopstart-ready"
