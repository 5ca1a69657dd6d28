#!/usr/bin/env bash
# Checks the shipped binaries: 32-bit PE, HOPEXT.DLL exporting ExchEntryPoint by name at
# ordinal 1, Hopinst.exe a GUI-subsystem program, and nothing imported but system DLLs.
set -u
objdump=$1
bin=$2
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

dll=$bin/HOPEXT.DLL
exe=$bin/Hopinst.exe
d=$("$objdump" -p "$dll")
check "HOPEXT.DLL is PE32 (i386)" 'grep -q "^Magic[[:space:]]*010b" <<<"$d" && "$objdump" -f "$dll" | grep -q "pei-i386"'
check "export ordinal base is 1" 'grep -q "Ordinal Base[[:space:]]*1$" <<<"$d"'
check "ExchEntryPoint is export [0] (ordinal 1) by its plain name" 'grep -Eq "^\s*\[ *0\] ExchEntryPoint$" <<<"$d"'
check "HOPEXT.DLL imports only system DLLs" '! grep "DLL Name:" <<<"$d" | grep -viE "DLL Name: (KERNEL32|USER32|ADVAPI32|GDI32|COMCTL32|msvcrt)\.dll"'

if [ -f "$exe" ]; then
  e=$("$objdump" -p "$exe")
  check "Hopinst.exe is PE32 (i386)" 'grep -q "^Magic[[:space:]]*010b" <<<"$e"'
  check "Hopinst.exe is a Windows GUI program" 'grep -Eq "^Subsystem[[:space:]]+00000002" <<<"$e"'
  check "Hopinst.exe imports only system DLLs" '! grep "DLL Name:" <<<"$e" | grep -viE "DLL Name: (KERNEL32|ADVAPI32|msvcrt)\.dll"'
else
  echo "FAIL: $exe is missing"; fail=1
fi
exit $fail
