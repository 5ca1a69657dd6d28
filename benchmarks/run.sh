#!/usr/bin/env bash
# Benchmarks: what the extension costs the client, each figure a ratio against the bare platform
# work measured side by side in the same run. Not part of the test suite; nothing here asserts a
# time. Usage: bash benchmarks/run.sh [build dir]   (default <repo>/build-benchmarks)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${HOPSTART_BUILD_DIR:-$root/build-benchmarks}}
bash "$root/tools/setup.sh"
"$root/tools/build.sh" "$build"
tree=$build/win64

# A prefix of the benchmarks' own, with the null display driver, made the way the tests' is.
export WINEPREFIX="$tree/wineprefix-bench" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/.hopstart-ready" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.hopstart-ready"
fi

# Wine's helpers inherit stdio: the server and a warm-up run off any pipe, output into files.
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

out=$tree/benchmarks-output
mkdir -p "$out"
echo "Hopstart benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(wine --version </dev/null 2>/dev/null), 64-bit build under wine64"
echo "times from QueryPerformanceCounter; A and B runs interleaved; ratios are per pair"
# A stripped copy of the library shows what its debug sections cost at load.
x86_64-w64-mingw32-strip -o "$out/hopext_stripped.dll" "$tree/bin/HOPEXT.DLL"
stripped="Z:$(echo "$out/hopext_stripped.dll" | tr / '\\')"
for prog in bench_startup bench_reader bench_commands; do
  status=0
  args=()
  [ $prog = bench_startup ] && args=("$stripped")
  wine "$tree/bin/$prog.exe" "${args[@]}" </dev/null >"$out/$prog.txt" 2>&1 || status=$?
  cat "$out/$prog.txt"
  [ $status -eq 0 ] || echo "  ($prog exited with $status)"
done
