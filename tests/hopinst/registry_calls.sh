#!/usr/bin/env bash
# The registry calls Hopinst.exe makes, as Wine's relay trace shows them: read back, the registry
# cannot tell whether the NUL was counted, the trace shows the length Hopinst passed.
# Usage: registry_calls.sh <Wine prefix> <bin dir>
set -u
export WINEPREFIX=$1 WINEDEBUG=-all
exe=$2/Hopinst.exe
key='HKLM\SOFTWARE\Microsoft\Exchange\Client\Extensions'
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
fail=0

# The advapi32 registry calls of one run, addresses and handles replaced by "#".
calls() {  # <directory>
  WINEDEBUG=+relay wine "$exe" "$1" </dev/null >"$trace" 2>&1
  sed -n 's/^[0-9a-f]*:Call advapi32\.\(Reg[A-Za-z]*(.*)\) ret=.*/\1/p' "$trace" \
    | sed -E 's/\b[0-9a-f]{8,16} "/"/g; s/^(RegCloseKey)\([0-9a-f]+\)/\1(#)/; s/^(RegSetValueExA)\([0-9a-f]+,/\1(#,/; s/^(RegOpenKeyA\(.*),[0-9a-f]+\)$/\1,#)/; s/(00000001),[0-9a-f]{8,16},/\1,#,/'
}

expect() {  # <what> <directory> <expected calls, one per line>
  local got
  got=$(calls "$2")
  if [ "$got" == "$3" ]; then
    echo "ok: $1"
  else
    printf 'FAIL: %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$3" "$got"
    fail=1
  fi
}

open='RegOpenKeyA(ffffffff80000002,"SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions",#)'
wine reg add "$key" /f </dev/null >/dev/null 2>&1
expect "D:\\APPS: key opened, 46 characters written, key closed once" 'D:\APPS' "$open
RegSetValueExA(#,\"Hopstart\",00000000,00000001,#,0000002e)
RegCloseKey(#)"
expect "260-character directory: 299 characters" "C:\\$(printf 'd%.0s' {1..257})" "$open
RegSetValueExA(#,\"Hopstart\",00000000,00000001,#,0000012b)
RegCloseKey(#)"
expect "261-character directory: nothing written" "C:\\$(printf 'd%.0s' {1..258})" ""
wine reg delete "$key" /f </dev/null >/dev/null 2>&1
expect "missing key: opened only, nothing written or closed" 'D:\APPS' "$open"
exit $fail
