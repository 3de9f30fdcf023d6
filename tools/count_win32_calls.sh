#!/usr/bin/env bash
# Counts the file-system calls that the archive step's own code makes per file: runs the Windows
# build of qnd_archive_bench under Wine with its call log (WINEDEBUG=+relay) on a copy of a tree
# and counts the calls whose return address lies in the program itself (not those the system DLLs
# make among themselves). Prints one line per function: calls, calls per file.
#
#   tools/count_win32_calls.sh EXE TREE [--verify|--whole]
#     EXE: build/windows64/bench/qnd_archive_bench.exe (64-bit) or build/windows/... (32-bit)
#     TREE: a folder, e.g. /tmp/qnd-bench/small/Quendra (bench/run_bench.sh small makes it)
# Environment: WINEPREFIX (default: a fresh prefix in a temporary folder).
set -euo pipefail
exe=$1
tree=$(realpath "$2")
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export WINEPREFIX=${WINEPREFIX:-$scratch/prefix} WINELOADER=/usr/lib/wine/wine64
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
[ -d "$WINEPREFIX" ] || WINEDEBUG=-all /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
# A copy, since --whole empties it.
cp -a "$tree" "$scratch/tree"
files=$(find "$tree" -type f | wc -l)
# The program's code: 0x140000000 up for the 64-bit build, 0x400000 up for the 32-bit one.
if file -L "$exe" | grep -q x86-64; then own='ret=0*140[0-9a-f]{6}$'; else own='ret=0*4[0-9a-f]{5}$'; fi
# --whole takes a temporary folder for its archive, the other modes the archive's path.
mkdir "$scratch/temp"
second=a.zip
[ "${1:-}" != --whole ] || second=temp
WINEDEBUG=+relay /usr/lib/wine/wine64 "$exe" "$@" "Z:${scratch//\//\\}\\tree" "Z:${scratch//\//\\}\\$second" 1 \
  2>"$scratch/relay.log" >&2
calls='CreateFileW|ReadFile|WriteFile|CloseHandle|GetFileInformationByHandle(Ex)?|SetFileInformationByHandle|FindFirstFileW|FindNextFileW|FindClose|SetFilePointerEx|FlushFileBuffers|GetFileAttributesW|SetFileAttributesW|MoveFileExW|CopyFileExW|RemoveDirectoryW|CreateDirectoryW|Nt[A-Za-z]+File'
echo "$files files; file-system calls from the program's own code (total, per file):"
grep -E "^[0-9a-f]+:Call [A-Za-z0-9_]+\.($calls)\(.*\) $own" "$scratch/relay.log" |
  sed -E 's/^[0-9a-f]+:Call [A-Za-z0-9_]+\.([A-Za-z0-9_]+)\(.*/\1/' | sort | uniq -c | sort -rn |
  awk -v n="$files" '{ printf "%8d  %6.2f  %s\n", $1, $1 / n, $2 }'
