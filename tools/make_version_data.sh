#!/usr/bin/env bash
# Regenerates the small PE files with known version resources that the tests read
# (tests/data/version/*.exe), from the resource scripts and program.c beside them, with the
# mingw-w64 tools of packages g++-mingw-w64-i686 and g++-mingw-w64-x86-64. Every file is linked by
# the 32-bit tools; v8_pe32plus.exe is v8.rc linked by the 64-bit tools, a PE32+ optional header.
# The files are reproducible: the linker writes 0 for the time stamp, and nothing else in them
# depends on the time or the folder. They do depend on the tools' versions (the compiler names
# itself in the program), so other versions than Debian 12's give other bytes.
# Usage: make_version_data.sh [--check]   (--check: regenerate into a temporary folder and compare)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sources="$root/tests/data/version"
check=0
if [ "${1:-}" = --check ]; then check=1; shift; fi
[ $# -eq 0 ] || { echo "usage: $0 [--check]" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
out="$sources"
if [ "$check" -eq 1 ]; then out="$scratch/out"; mkdir -p "$out"; fi

# No C runtime: the files are only read, never run, and stay a few KiB small.
link=(-nostdlib -s -Wl,--entry=qnd_start -Wl,--no-insert-timestamp)
# link_pe PREFIX OUTPUT [RC]: program.c with the resources of RC, by the tools of PREFIX.
link_pe() {
  local prefix=$1 output=$2 rc=${3:-} objects=()
  if [ -n "$rc" ]; then
    "$prefix-windres" -O coff -i "$sources/$rc" -o "$scratch/$output.o"
    objects=("$scratch/$output.o")
  fi
  "$prefix-gcc" "${link[@]}" -o "$out/$output" "$sources/program.c" "${objects[@]}"
  chmod 644 "$out/$output"  # read by the tests, never run
}

link_pe i686-w64-mingw32 no_resources.exe
for name in v8 v10 no_version other_name two_languages; do
  link_pe i686-w64-mingw32 "$name.exe" "$name.rc"
done
link_pe x86_64-w64-mingw32 v8_pe32plus.exe v8.rc

if [ "$check" -eq 1 ]; then
  status=0
  for file in "$out"/*.exe; do
    name=$(basename "$file")
    cmp -s "$file" "$sources/$name" || { echo "differs: $name"; status=1; }
  done
  [ "$status" -ne 0 ] || echo "tests/data/version: every file as generated"
  exit "$status"
fi
echo "Version data in $out"
