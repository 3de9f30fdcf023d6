#!/usr/bin/env bash
# Does this machine run 32-bit Windows programs under Wine? Tries it once with a tiny program in
# the prefix that WINEPREFIX names, and prints why not when it does not.
#   probe_wine32.sh SCRATCH [COMMAND...]   SCRATCH: a folder for the probe; COMMAND: what runs Wine
#                                          (runuser -u USER --, say); exit status 0 when they run
set -uo pipefail
scratch=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
i686-w64-mingw32-gcc -O2 -o "$scratch/probe32.exe" "$root/tools/wine32_probe.c" || exit 1
chmod 755 "$scratch/probe32.exe"
# The program writes its line through the Windows console, which ends it with CR LF; what Wine
# itself says goes to the error output, kept for the answer.
output=$("$@" wine "$scratch/probe32.exe" 2>"$scratch/probe32.err" | tr -d '\r')
status=$?
grep -qx "32-bit Windows programs run here" <<<"$output" && exit 0
echo "the probe ended with status $status: $(head -n 1 <<<"$output$(cat "$scratch/probe32.err")")"
exit 1
