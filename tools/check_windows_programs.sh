#!/usr/bin/env bash
# Checks the product as built by the windows preset: both programs are PE32 files for Intel 80386
# and import only DLLs of the system (no compiler runtime, no zlib DLL beside them).
#   check_windows_programs.sh <build folder of the windows preset>
set -euo pipefail
build=$1
objdump=i686-w64-mingw32-objdump
system_dlls="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll version.dll"
status=0
for program in "$build/local_updater/QNDUpdater.exe" "$build/dir_updater/QNDUpdaterP2.exe"; do
  name=$(basename "$program")
  header=$($objdump -f "$program")
  magic=$($objdump -p "$program" | awk '$1 == "Magic" { print $2 }')
  if ! grep -q "file format pei-i386" <<<"$header" || ! grep -q "architecture: i386" <<<"$header" ||
     [ "$magic" != "010b" ]; then
    echo "=== $name is no PE32 program for Intel 80386:"; echo "$header"; status=1; continue
  fi
  dlls=$($objdump -p "$program" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
  foreign=$(comm -23 <(echo "$dlls") <(tr ' ' '\n' <<<"$system_dlls" | sort))
  if [ -n "$foreign" ]; then
    echo "=== $name imports DLLs that are not the system's: $foreign"; status=1; continue
  fi
  echo "=== $name: PE32, Intel 80386, imports only $(echo $dlls)"
done
exit "$status"
