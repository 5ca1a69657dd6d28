#!/usr/bin/env bash
# The first run: sets up, builds, and shows the whole system working under Wine, as a user meets
# it. Hopinst registers HOPEXT.DLL; the stand-in Exchange client finds it through that registry
# value alone; its toolbar button drops down the forum menu; picking a forum starts the stand-in
# Konvera with it, and, once Konvera runs, asks it over DDE.
# Usage: demo.sh [--screenshot <file.png>]     (build dir: $HOPSTART_BUILD_DIR, default ./build)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HOPSTART_BUILD_DIR:-$root/build}
shot=""
case "${1:-}" in
  "") ;;
  --screenshot) shot=${2:?usage: demo.sh [--screenshot <file.png>]}; shot=$(realpath -m "$shot")
                rm -f "$shot" ;;
  *) echo "usage: demo.sh [--screenshot <file.png>]" >&2; exit 2 ;;
esac

started=$SECONDS
xvfb_pid=""
say() { echo "$*"; }
rel() { local p=$1; echo "${p#"$root"/}"; }
# Wine shows the Linux file system as drive Z:.
winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

stop_all() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k </dev/null >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}
fail() {
  stop_all
  say "demo: FAILURE ($1)"
  exit 1
}
trap 'stop_all' EXIT

# Every Wine program writes to a file, never to a pipe (Wine's helpers would hold it open).
wrun() {  # <output file> <program> <args...>
  local out=$1
  shift
  timeout 60 wine "$@" </dev/null >"$out" 2>&1
}

say "demo: Hopstart, first run"
say "demo: platform: this kernel cannot run 32-bit Linux programs, so 32-bit Wine cannot run here:"
say "      the demo runs the 64-bit build of the same sources ($(rel "$build")/win64/bin) under 64-bit Wine;"
say "      the shipped 32-bit binaries are in $(rel "$build")/win32/bin"

# 1. Set-up and build.
bash "$root/tools/setup.sh" || fail "tools/setup.sh could not install the packages"
t=$SECONDS
bash "$root/tools/build.sh" "$build" >/dev/null || fail "the build failed; see $(rel "$build")/win*/build.log"
tree=$build/win64
bin=$tree/bin
say "[1] built $(rel "$build")/win32 (shipped, 32-bit) and $(rel "$build")/win64 (this demo and the tests) in $((SECONDS - t)) s"
for f in Hopinst.exe HOPEXT.DLL exchclient.exe winkonvera.exe forumlib.exe; do
  [ -f "$bin/$f" ] || fail "$(rel "$bin")/$f was not built"
done

# 2. The demo's own Wine prefix: null display driver, or the normal one under Xvfb for a picture.
variant=demo
[ -n "$shot" ] && variant=demo-x11
bash "$root/tools/wineprefix.sh" "$tree" "$variant" || fail "could not create the Wine prefix"
export WINEPREFIX=$tree/wineprefix-$variant WINEDEBUG=-all
work=$tree/demo
rm -rf "$work"
mkdir -p "$work"
if [ -n "$shot" ]; then
  for n in $(seq 90 130); do [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -S "/tmp/.X11-unix/X$n" ] || fail "Xvfb did not start"
  export DISPLAY=":$n"
fi
start_server() {
  wineserver -k </dev/null >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1 || fail "wineserver did not start"
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
start_server
if [ -n "$shot" ]; then
  # A virtual desktop: Wine draws the window frames and menus itself, no window manager needed.
  # It takes effect for the desktop the next server starts.
  wrun "$work/reg.out" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wrun "$work/reg.out" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  start_server
  say "[2] Wine prefix $(rel "$WINEPREFIX") with the X11 driver, on Xvfb display :$n"
else
  say "[2] Wine prefix $(rel "$WINEPREFIX") with the null display driver"
fi

# 3. What a machine with the client and Konvera already has: the client's extension key, the
#    groupware's registration, its ini file and a forum library.
ext_key='HKLM\SOFTWARE\Microsoft\Exchange\Client\Extensions'
wrun "$work/reg.out" reg add "$ext_key" /f || fail "could not create $ext_key"
wrun "$work/reg.out" reg delete "$ext_key" /v Hopstart /f
say "[3] client's extension key $ext_key exists (Hopinst never creates it)"

konvera=$(winpath "$bin/winkonvera.exe")
server_key='HKCR\Konvera.Document.2\protocol\StdFileEditing\server'
wrun "$work/reg.out" reg add "$server_key" /ve /d "$konvera" /f || fail "could not register Konvera"
say "[4] stand-in Konvera registered as the groupware: $server_key = $konvera"

listing=$root/docs/sample-forums.txt
library='C:\hopstart-demo\forums.kv1'
mkdir -p "$WINEPREFIX/drive_c/hopstart-demo"
wrun "$work/forumlib.out" "$bin/forumlib.exe" write "$(winpath "$listing")" "$library" \
  || fail "forumlib could not write the forum library: $(tr -d '\r' <"$work/forumlib.out")"
printf '[Konvera]\r\nLibraryFileVer2=%s\r\n' "$library" >"$WINEPREFIX/drive_c/windows/winkonvera.ini"
say "[5] forum library $library written by forumlib.exe from $(rel "$listing");"
say "    C:\\windows\\winkonvera.ini [Konvera] LibraryFileVer2=$library"

# 4. Registration, exactly as on a real machine.
winbin=$(winpath "$bin")
wrun "$work/hopinst.out" "$bin/Hopinst.exe" "$winbin"
rc=$?
[ $rc -eq 0 ] || fail "Hopinst.exe exited with $rc"
wrun "$work/query.out" reg query "$ext_key" /v Hopstart
value=$(tr -d '\r' <"$work/query.out" | sed -n 's/^ *Hopstart *REG_SZ *//p')
expected="4.0;$winbin\\HOPEXT.DLL;1;01000000000001;111000"
say "[6] Hopinst.exe $winbin"
say "    wrote Hopstart = $value"
[ "$value" == "$expected" ] || fail "the registry value is not $expected"

# 5. The client, twice: Konvera not running (started with the forum), then running (asked by DDE).
record=$work/konvera-record.txt
export KONVERA_RECORD=$(winpath "$record")
unset KONVERA_MODE KONVERA_FORUMS KONVERA_SHOW

wait_record() {  # <line>: waits up to 15 s for the stand-in Konvera to record it
  for _ in $(seq 150); do
    grep -qxF "$1" "$record" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

capture() {  # <bmp>: the client's own picture of its windows, made while it held the menu open
  [ -f "$1" ] && convert "bmp:$1" "png:$shot" 2>"$work/convert.out"
}

run_client() {  # <road number> <pick path>
  local log=$work/client$1.log args=()
  local bmp=$work/shot.bmp
  rm -f "$bmp"
  [ -n "$shot" ] && [ "$1" == 1 ] && args=(--hold 3000 --shot "$(winpath "$bmp")")
  wrun "$work/client$1.out" "$bin/exchclient.exe" --log "$(winpath "$log")" "${args[@]}" \
    click pick "$2"
  local rc=$?
  if [ -n "$shot" ] && [ "$1" == 1 ]; then
    capture "$bmp" || fail "the screenshot could not be taken"
  fi
  tr -d '\r' <"$log" >"$log.txt" 2>/dev/null
  [ $rc -eq 0 ] || fail "exchclient.exe exited with $rc; see $(rel "$log")"
  grep -qxF "loaded $winbin\\HOPEXT.DLL ordinal 1" "$log.txt" \
    || fail "the client did not load HOPEXT.DLL from the registry value; see $(rel "$log")"
  grep -qx 'install 0x00000000' "$log.txt" || fail "the extension did not install; see $(rel "$log")"
  grep -qxF "pick $2 picked" "$log.txt" || fail "\"$2\" could not be picked; see $(rel "$log")"
}

show_client() {  # <road number>
  local log=$work/client$1.log.txt
  say "    client: $(grep -m1 '^loaded ' "$log")"
  if [ "$1" == 1 ]; then
    say "    client: $(grep -m1 '^commands base ' "$log")"
    say "    client: the Tools menu's Hopstart popup, as the client holds it:"
    sed -n 's/^menu /        /p' "$log"
    local run
    run=$(sed -n 's/^commands base \([0-9]*\) .*/\1/p' "$log")
    grep -E "^toolbar [0-9]+ id $run " "$log" | sed 's/^/    client: the extension'"'"'s button: /'
  fi
  grep -E '^(click|dropdown|pick|docommand) ' "$log" | sed 's/^/    client: /'
}

decode() { local hex=${1%00}; printf '%b' "$(sed 's/../\\x&/g' <<<"$hex")"; }  # hex, NUL dropped

say "[7] road 1, Konvera not running: exchclient.exe (no --dll) clicks the button, picks Sales/Price list"
run_client 1 "Sales/Price list"
show_client 1
wait_record "opened Pricing" || fail "the stand-in Konvera did not open the Pricing forum; see $(rel "$record")"
wait_record "ready" || fail "the stand-in Konvera did not come up; see $(rel "$record")"
grep -qxF "cmdline Pricing" "$record" || fail "Konvera was not started with the forum name; see $(rel "$record")"
say "    konvera: started with command line \"$(sed -n 's/^cmdline //p' "$record" | head -1)\"; opened window \"Pricing Forum\""
[ -n "$shot" ] && say "    screenshot: $shot"

say "[8] road 2, Konvera running: the client again, picks Support/Known issues"
run_client 2 "Support/Known issues"
show_client 2
wait_record "opened Known issues" || fail "the running Konvera did not open Known issues; see $(rel "$record")"
[ "$(grep -c '^cmdline' "$record")" == 1 ] || fail "Konvera was started a second time instead of asked over DDE"
read -r _ exec_bytes exec_hex < <(grep -m1 '^execute ' "$record")
command=$(decode "${exec_hex:-}")
[ "$command" == '[open("Known issues")]' ] || fail "the DDE command was \"$command\""
say "    konvera: DDE execute, $exec_bytes bytes: $command (and its NUL); opened window \"Known issues Forum\""

wrun "$work/taskkill.out" taskkill /im winkonvera.exe
stop_all
say "demo: transcript files in $(rel "$work"); took $((SECONDS - started)) s"
say "demo: SUCCESS"
