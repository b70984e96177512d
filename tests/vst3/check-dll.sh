#!/usr/bin/env bash
# check-dll.sh OBJDUMP DLL: the VST 3 DLL imports only DLLs that ship with
# Windows and exports exactly GetPluginFactory, InitDll and ExitDll.
set -u
objdump=$1 dll=$2
dump=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
status=0
system="advapi32.dll comctl32.dll d2d1.dll dwrite.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
shell32.dll user32.dll windowscodecs.dll uxtheme.dll imm32.dll shlwapi.dll version.dll winmm.dll"
while read -r name; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
  if ! grep -qw -- "$lower" <<<"$system" && [[ $lower != api-ms-win-* ]]; then
    echo "imports $name, which does not ship with Windows"; status=1
  fi
done < <(sed -nE 's/^\s*DLL Name: (.*)$/\1/p' <<<"$dump")
exports=$(sed -nE 's/^\s*\[ *[0-9]+\] ([A-Za-z_][A-Za-z0-9_@]*)$/\1/p' <<<"$dump" | sort | tr '\n' ' ')
if [ "$exports" != "ExitDll GetPluginFactory InitDll " ]; then
  echo "exports: $exports"; status=1
fi
[ $status -eq 0 ] && echo "imports and exports as they should be"
exit $status
